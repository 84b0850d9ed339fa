#include "fakelink.h"
#include "ports.h"
#include "simlink.h"

#include <QtTest>

using namespace telx5;
using telx5::testing::FakeLink;
using telx5::testing::SimLink;

class TestPorts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesFollowThePlatform();
    void startUpPortComesFromTheRememberedText_data();
    void startUpPortComesFromTheRememberedText();
    void pickingAnEntryChoosesIt_data();
    void pickingAnEntryChoosesIt();
    void pickingWhileOpenKeepsThePort();
    void probeListsOpenablePortsInOrder();
};

void TestPorts::namesFollowThePlatform()
{
    QCOMPARE(Ports::namePrefix(), QStringLiteral("/dev/"));
    QVERIFY(Ports::isPseudoTerminal(QStringLiteral("/dev/pts/3")));
    QVERIFY(!Ports::isPseudoTerminal(QStringLiteral("/dev/ttyUSB0")));
}

void TestPorts::startUpPortComesFromTheRememberedText_data()
{
    QTest::addColumn<QString>("remembered");
    QTest::addColumn<QString>("chosen");
    // The port the text names, never another one.
    QTest::newRow("device path") << QStringLiteral("/dev/ttyUSB3")
                                 << QStringLiteral("/dev/ttyUSB3");
    QTest::newRow("name without its folder")
        << QStringLiteral("ttyUSB0") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("pseudo-terminal") << QStringLiteral("pts/3") << QStringLiteral("/dev/pts/3");
    QTest::newRow("no file yet: no port") << QString() << QString();
    QTest::newRow("windows name") << QStringLiteral("COM3") << QStringLiteral("/dev/COM3");
}

void TestPorts::startUpPortComesFromTheRememberedText()
{
    QFETCH(QString, remembered);
    QFETCH(QString, chosen);
    FakeLink link;
    link.setPortName(QStringLiteral("/dev/ttyS0"));
    link.open();
    Ports::configurePort(link, remembered);
    QVERIFY(!link.isOpen());
    QCOMPARE(link.portName(), chosen);
}

void TestPorts::pickingAnEntryChoosesIt_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("first usb adapter") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("tenth and later ports too") << QStringLiteral("/dev/ttyS12");
    QTest::newRow("simulated device") << QStringLiteral("/dev/pts/4");
}

void TestPorts::pickingAnEntryChoosesIt()
{
    QFETCH(QString, entry);
    FakeLink link;
    link.setPortName(QStringLiteral("/dev/ttyS0"));
    QVERIFY(Ports::choosePort(link, entry));
    QCOMPARE(link.portName(), entry);
    QVERIFY(!link.isOpen());
}

void TestPorts::pickingWhileOpenKeepsThePort()
{
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!Ports::choosePort(sim.link, QStringLiteral("/dev/ttyUSB0")));
    QCOMPARE(sim.link.portName(), sim.device.portPath());
    QVERIFY(sim.link.isOpen());
    QVERIFY(sim.link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(sim.arrived, QByteArray("CONNECT\r\n"));
}

void TestPorts::probeListsOpenablePortsInOrder()
{
    const QStringList candidates = Ports::candidatePorts();
    QStringList names = candidates;
    for (QString &name : names)
        name = name.section(QLatin1Char('/'), -1);
    QStringList sorted = names;
    sorted.sort();
    QCOMPARE(names, sorted);
    for (const QString &port : candidates)
        QVERIFY2(port.startsWith(Ports::namePrefix()), qPrintable(port));

    // The probe keeps the candidates' order and lists only ports it could
    // open; none stays open afterwards, so each can be opened again.
    const QStringList probed = Ports::probePorts();
    qsizetype at = 0;
    for (const QString &port : probed) {
        at = candidates.indexOf(port, at);
        QVERIFY2(at >= 0, qPrintable(port));
        QtSerialLink link;
        link.setPortName(port);
        QString error;
        QVERIFY2(link.open(&error), qPrintable(error));
        link.close();
    }
}

QTEST_GUILESS_MAIN(TestPorts)
#include "tst_ports.moc"
