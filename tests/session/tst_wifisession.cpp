#include "delay.h"
#include "ports.h"
#include "sessions.h"
#include "simrig.h"

#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray Reboot = QByteArrayLiteral("REBOOT#\r\n");

} // namespace

class TestWifiSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }

    void applySendsTheCredentials_data();
    void applySendsTheCredentials();
    void applyWhilePortIsOpenClosesIt();
    void applyOnPortThatCannotOpen();
    void applyLosesThePortBeforeSending();
    void restart_data();
    void restart();
    void restartLosesThePortBetweenTheLines();
    void lastLineArrivesWholeOnAPacedLine_data();
    void lastLineArrivesWholeOnAPacedLine();
};

void TestWifiSession::applySendsTheCredentials_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("confirmedBefore");
    QTest::addColumn<QString>("ssid");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("status");

    const QString complete =
        QStringLiteral("WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n");
    const QString failed = QStringLiteral("WIFI Writing.....\r\nWIFI Write Fail\r\n");

    QTest::newRow("confirmed") << QStringLiteral("2") << false << false << QStringLiteral("home")
                               << QStringLiteral("secret")
                               << QByteArrayLiteral("AT+WIFI,home,secret#\r\n") + Reboot
                               << complete;
    QTest::newRow("confirmed, chinese window")
        << QStringLiteral("1") << false << false << QStringLiteral("home")
        << QStringLiteral("secret") << QByteArrayLiteral("AT+WIFI,home,secret#\r\n") + Reboot
        << complete;
    QTest::newRow("not confirmed")
        << QStringLiteral("2") << true << false << QStringLiteral("home")
        << QStringLiteral("secret") << QByteArrayLiteral("AT+WIFI,home,secret#\r\n") << failed;
    QTest::newRow("confirmed before the press")
        << QStringLiteral("2") << true << true << QStringLiteral("home") << QStringLiteral("secret")
        << QByteArrayLiteral("AT+WIFI,home,secret#\r\n") + Reboot << complete;
    QTest::newRow("empty boxes") << QStringLiteral("2") << true << false << QString() << QString()
                                 << QByteArrayLiteral("AT+WIFI,,#\r\n") << failed;
    QTest::newRow("separators in the name")
        << QStringLiteral("2") << true << false << QStringLiteral("a,b#c") << QStringLiteral("p w")
        << QByteArrayLiteral("AT+WIFI,a,b#c,p w#\r\n") << failed;
}

void TestWifiSession::applySendsTheCredentials()
{
    QFETCH(QString, language);
    QFETCH(bool, silent);
    QFETCH(bool, confirmedBefore);
    QFETCH(QString, ssid);
    QFETCH(QString, password);
    QFETCH(QByteArray, sent);
    QFETCH(QString, status);

    SimRig rig(language);
    rig.sim.setSilent(silent);
    QVERIFY(rig.start());
    rig.host.record.setText(Field::WifiSsid, ssid);
    rig.host.record.setText(Field::WifiPass, password);
    rig.host.record.setStatusText(QStringLiteral("earlier text"));
    rig.host.flagState.wifiWriteOk = confirmedBefore;
    QStringList applyCaptions;
    rig.pressWhen([&] { return rig.link.isOpen(); },
                  [&] { applyCaptions.append(rig.host.caption(Button::Apply)); });

    const SessionOutcome outcome = applyWifi(rig.context);
    // The device restarts exactly when the credentials took.
    QCOMPARE(outcome.ok(), sent.endsWith(Reboot));
    QCOMPARE(outcome.confirmed, sent.endsWith(Reboot));

    QCOMPARE(rig.receivedSoFar(sent), sent);
    QCOMPARE(applyCaptions, QStringList{QStringLiteral("Write")});
    QCOMPARE(rig.host.record.statusText(), status);
    QCOMPARE(rig.host.caption(Button::Apply), QStringLiteral("Apply"));
    QVERIFY(!rig.host.flagState.wifiWriteOk);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.host.dialogState.messages.isEmpty());
    QCOMPARE(rig.host.record.text(Field::WifiSsid), ssid);
    QCOMPARE(rig.host.record.text(Field::WifiPass), password);
}

void TestWifiSession::applyWhilePortIsOpenClosesIt()
{
    SimRig rig(QStringLiteral("1"));
    QVERIFY(rig.start());
    rig.host.record.setText(Field::WifiSsid, QStringLiteral("home"));
    QVERIFY(rig.link.open());

    applyWifi(rig.context);

    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is open or no")});
    QCOMPARE(rig.host.caption(Button::Read), QStringLiteral("Port is open"));
    QCOMPARE(rig.host.caption(Button::Apply), QStringLiteral("Apply"));
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.receivedSoFar(), QByteArray());
}

void TestWifiSession::applyOnPortThatCannotOpen()
{
    SimRig rig;
    const QString missing = rig.dir.filePath(QStringLiteral("ttyMissing"));
    rig.host.port = missing;
    rig.host.record.setStatusText(QStringLiteral("earlier text"));

    applyWifi(rig.context);

    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is open or no")});
    QCOMPARE(rig.host.caption(Button::Apply), QStringLiteral("Apply"));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("earlier text\r\nCannot open %1: no such port").arg(missing));
}

void TestWifiSession::applyLosesThePortBeforeSending()
{
    SimRig rig;
    QVERIFY(rig.start());
    rig.host.port = rig.sim.portPath().mid(5);
    rig.host.record.setText(Field::WifiSsid, QStringLiteral("home"));
    // The restart button, pressed while Apply waits, takes the port away.
    rig.pressWhen([&] { return rig.link.isOpen(); }, [&] { restartDevice(rig.context); });

    applyWifi(rig.context);

    QCOMPARE(rig.receivedSoFar(), QByteArray());
    QCOMPARE(rig.host.caption(Button::Apply), QStringLiteral("Write"));
    QCOMPARE(rig.host.caption(Button::Restart), QStringLiteral("Port is open"));
    QCOMPARE(rig.host.portText(), rig.sim.portPath());
    QVERIFY(rig.host.dialogState.messages.isEmpty());
    QVERIFY(!rig.link.isOpen());
}

void TestWifiSession::restart_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<bool>("portExists");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("statusAdded");

    QTest::newRow("port closed") << QStringLiteral("2") << false << true << Reboot + Reboot
                                 << QStringLiteral("restart") << QStringList() << QString();
    QTest::newRow("port closed, chinese window")
        << QStringLiteral("1") << false << true << Reboot + Reboot << QStringLiteral("restart")
        << QStringList() << QString();
    QTest::newRow("port open") << QStringLiteral("2") << true << true << QByteArray()
                               << QStringLiteral("Port is open") << QStringList() << QString();
    QTest::newRow("port cannot open")
        << QStringLiteral("1") << false << false << QByteArray() << QStringLiteral("restart")
        << QStringList{QStringLiteral("Port is open or no")}
        << QStringLiteral("\r\nCannot open %1: no such port");
}

void TestWifiSession::restart()
{
    QFETCH(QString, language);
    QFETCH(bool, portOpen);
    QFETCH(bool, portExists);
    QFETCH(QByteArray, sent);
    QFETCH(QString, caption);
    QFETCH(QStringList, messages);
    QFETCH(QString, statusAdded);

    SimRig rig(language);
    QVERIFY(rig.start());
    const QString missing = rig.dir.filePath(QStringLiteral("ttyMissing"));
    if (!portExists)
        rig.host.port = missing;
    if (portOpen)
        QVERIFY(rig.link.open());
    rig.host.record.setStatusText(QStringLiteral("earlier text"));

    using enum SessionOutcome::Result;
    QCOMPARE(restartDevice(rig.context).result, portOpen     ? Cancelled
                                                : portExists ? Ok
                                                             : CouldNotOpen);

    QCOMPARE(rig.receivedSoFar(sent), sent);
    QCOMPARE(rig.host.caption(Button::Restart), caption);
    QCOMPARE(rig.host.dialogState.messages, messages);
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("earlier text") +
                 (statusAdded.isEmpty() ? QString() : statusAdded.arg(missing)));
    QVERIFY(!rig.link.isOpen());
}

void TestWifiSession::restartLosesThePortBetweenTheLines()
{
    SimRig rig;
    QVERIFY(rig.start());
    QStringList captionsSeen;
    rig.host.dialogState.onMessage = [&] {
        captionsSeen.append(rig.host.caption(Button::Restart));
    };
    rig.pressWhen([&] { return rig.sim.received().contains(Reboot); },
                  [&] { restartDevice(rig.context); });

    restartDevice(rig.context);

    QCOMPARE(rig.receivedSoFar(Reboot), Reboot);
    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is open or no")});
    // The second press said "Port is open" before the first one reported.
    QCOMPARE(captionsSeen, QStringList{QStringLiteral("Port is open")});
    QCOMPARE(rig.host.caption(Button::Restart), QStringLiteral("restart"));
    QVERIFY(!rig.link.isOpen());
}

void TestWifiSession::lastLineArrivesWholeOnAPacedLine_data()
{
    QTest::addColumn<bool>("apply");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("restart") << false << Reboot + Reboot;
    QTest::newRow("apply") << true << QByteArrayLiteral("AT+WIFI,home,secret#\r\n") + Reboot;
}

// The port is closed right after the last line: on a line at 115200 baud that
// line is still on the wire then, and must not go out at the old speed.
void TestWifiSession::lastLineArrivesWholeOnAPacedLine()
{
    QFETCH(bool, apply);
    QFETCH(QByteArray, sent);

    SimRig rig;
    rig.sim.setPacedLine(true);
    QVERIFY(rig.start());
    rig.host.record.setText(Field::WifiSsid, QStringLiteral("home"));
    rig.host.record.setText(Field::WifiPass, QStringLiteral("secret"));

    if (apply)
        applyWifi(rig.context);
    else
        restartDevice(rig.context);

    QCOMPARE(rig.receivedSoFar(sent), sent);
}

QTEST_GUILESS_MAIN(TestWifiSession)
#include "tst_wifisession.moc"
