#include "simlink.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace telx5;
using telx5::testing::SimLink;

class TestSerialLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesQueuedBeforeCloseArrive_data();
    void bytesQueuedBeforeCloseArrive();
    void deviceBytesArriveAsReceived();
    void portNameIsFixedWhileOpen();
    void sendFailsOnAClosedPort();
    void openFailureSaysWhichPortAndWhy_data();
    void openFailureSaysWhichPortAndWhy();
    void reopenAfterCloseWorks();
    void vanishedDeviceClosesThePort();
};

void TestSerialLink::bytesQueuedBeforeCloseArrive_data()
{
    QTest::addColumn<QList<QByteArray>>("sends");
    QTest::newRow("restart pair") << QList<QByteArray>{"REBOOT#\r\n", "REBOOT#\r\n"};
    QTest::newRow("last firmware frame")
        << QList<QByteArray>{QByteArray(2048, '\x12') + QByteArray(1, '\x00')};
    QTest::newRow("several frames at once")
        << QList<QByteArray>(6, QByteArray(2049, '\x5A') + QByteArray("\x01\x02", 2));
}

void TestSerialLink::bytesQueuedBeforeCloseArrive()
{
    QFETCH(QList<QByteArray>, sends);
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QByteArray expected;
    for (const QByteArray &bytes : std::as_const(sends)) {
        QVERIFY(sim.link.send(bytes));
        expected += bytes;
    }
    // Closed at once, with no event dispatched since the sends.
    sim.link.close();
    QVERIFY(!sim.link.isOpen());
    QTRY_COMPARE(sim.device.received(), expected);
}

void TestSerialLink::deviceBytesArriveAsReceived()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QSignalSpy spy(&sim.link, &SerialLink::received);
    QVERIFY(sim.link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(sim.arrived, QByteArray("CONNECT\r\n"));
    QVERIFY(spy.count() >= 1);
}

void TestSerialLink::portNameIsFixedWhileOpen()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QString path = sim.device.portPath();
    QCOMPARE(sim.link.portName(), path);
    QVERIFY(!sim.link.setPortName(QStringLiteral("/dev/ttyS3")));
    QCOMPARE(sim.link.portName(), path);
    sim.link.close();
    QVERIFY(sim.link.setPortName(QStringLiteral("/dev/ttyS3")));
    QCOMPARE(sim.link.portName(), QStringLiteral("/dev/ttyS3"));
}

void TestSerialLink::sendFailsOnAClosedPort()
{
    SimLink sim;
    QString error;
    QVERIFY(sim.device.start(&error));
    QVERIFY(sim.link.setPortName(sim.device.portPath()));
    QVERIFY(!sim.link.isOpen());
    QVERIFY(!sim.link.send("AT+READ#\r\n"));
    QVERIFY(sim.link.open(&error));
    QVERIFY(sim.link.send("AT+READ#\r\n"));
    sim.link.close();
    QVERIFY(!sim.link.send("AT+READ#\r\n"));
    QTRY_COMPARE(sim.device.received(), QByteArray("AT+READ#\r\n"));
}

void TestSerialLink::openFailureSaysWhichPortAndWhy_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing") << QStringLiteral("/dev/ttyNOSUCHPORT9") << QStringLiteral("no such");
    QTest::newRow("none chosen") << QString() << QStringLiteral("no port chosen");
}

void TestSerialLink::openFailureSaysWhichPortAndWhy()
{
    QFETCH(QString, port);
    QFETCH(QString, reason);
    QtSerialLink link;
    QVERIFY(link.setPortName(port));
    QString error;
    QVERIFY(!link.open(&error));
    QVERIFY(!link.isOpen());
    QVERIFY2(error.contains(port), qPrintable(error));
    QVERIFY2(error.contains(reason, Qt::CaseInsensitive), qPrintable(error));
}

void TestSerialLink::reopenAfterCloseWorks()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    for (int round = 0; round < 3; ++round) {
        sim.arrived.clear();
        QVERIFY(sim.link.send("\r\nSETUP#\r\n"));
        QTRY_COMPARE(sim.arrived, QByteArray("CONNECT\r\n"));
        sim.link.close();
        QString again;
        QVERIFY2(sim.link.open(&again), qPrintable(again));
    }
}

void TestSerialLink::vanishedDeviceClosesThePort()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    sim.device.vanish();
    QVERIFY(sim.device.hasVanished());
    // The pulled cable shows as a closed port: sends fail instead of
    // vanishing silently.
    QTRY_VERIFY(!sim.link.isOpen());
    QVERIFY(!sim.link.send("AT+READ#\r\n"));
    // Its path is not opened again here: the system may already have given
    // it to another program's pseudo-terminal.
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "tst_seriallink.moc"
