#include "delay.h"
#include "ports.h"
#include "sessions.h"
#include "simrig.h"
#include "writefixtures.h"

#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

class TestWriteSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }

    void sendsEveryLineAndIsConfirmed_data();
    void sendsEveryLineAndIsConfirmed();
    void unconfirmedWriteSaysSo_data();
    void unconfirmedWriteSaysSo();
    void callsignTooLongIsReported_data();
    void callsignTooLongIsReported();
    void pressWhilePortIsOpenClosesIt_data();
    void pressWhilePortIsOpenClosesIt();
    void portThatCannotOpenStillRunsTheWaits_data();
    void portThatCannotOpenStillRunsTheWaits();
    void portTakenAwayDropsTheRemainingLines();
};

void TestWriteSession::sendsEveryLineAndIsConfirmed_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<WriteFixture>("write");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");
    // When the device confirms, in ms of a wait scaled to a tenth: 0 at once.
    QTest::addColumn<int>("confirmsAfterMs");

    QTest::newRow("dhcp") << QStringLiteral("2") << dhcpWrite()
                          << QStringLiteral("Writing......\r\nWrite complete")
                          << QStringLiteral("Write data") << 0;
    // The confirmation is waited for 8 s: one after 5 s still counts.
    QTest::newRow("confirmed late, within the wait")
        << QStringLiteral("2") << dhcpWrite() << QStringLiteral("Writing......\r\nWrite complete")
        << QStringLiteral("Write data") << 500;
    QTest::newRow("static address")
        << QStringLiteral("2") << staticWrite() << QStringLiteral("Writing......\r\nWrite complete")
        << QStringLiteral("Write data") << 0;
    QTest::newRow("chinese window")
        << QStringLiteral("1") << staticWrite() << QStringLiteral("写入中......\r\n写入完成")
        << QStringLiteral("写入数据") << 0;

    // The Chinese window speaks GB18030 on the wire.
    WriteFixture chinese = staticWrite();
    chinese.window.append({Field::Comment, QStringLiteral("你好 TELX5")});
    chinese.lines.replace("AT+COMMENT,TELX5#", "AT+COMMENT,\xC4\xE3\xBA\xC3 TELX5#");
    QTest::newRow("chinese comment")
        << QStringLiteral("1") << chinese << QStringLiteral("写入中......\r\n写入完成")
        << QStringLiteral("写入数据") << 0;
}

void TestWriteSession::sendsEveryLineAndIsConfirmed()
{
    QFETCH(QString, language);
    QFETCH(WriteFixture, write);
    QFETCH(QString, status);
    QFETCH(QString, caption);
    QFETCH(int, confirmsAfterMs);

    SimRig rig(language);
    if (confirmsAfterMs > 0) {
        setDelayTimeScale(0.1);
        rig.sim.setAnswerDelay(confirmsAfterMs);
    }
    QVERIFY(rig.start());
    write.fill(rig.host.record);
    QStringList writeCaptions;
    rig.pressWhen([&] { return rig.link.isOpen(); },
                  [&] { writeCaptions.append(rig.host.caption(Button::Write)); });

    QCOMPARE(writeSettings(rig.context).result, SessionOutcome::Result::Ok);

    QCOMPARE(rig.receivedSoFar(), write.lines);
    QCOMPARE(writeCaptions,
             QStringList{language == QStringLiteral("1") ? QStringLiteral("写入中")
                                                         : QStringLiteral("Writing")});
    for (Field field : write.fields())
        QCOMPARE(rig.sim.settings().text(field), rig.host.record.text(field));
    QCOMPARE(rig.host.record.statusText(), status);
    QCOMPARE(rig.host.caption(Button::Write), caption);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

void TestWriteSession::unconfirmedWriteSaysSo_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("staleConfirmation");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");
    // When the device confirms, in ms of a wait scaled to a tenth: 0 never.
    QTest::addColumn<int>("confirmsAfterMs");

    const QString failed = QStringLiteral("Writing......Write fail，Please try again.\r\n");
    QTest::newRow("english") << QStringLiteral("2") << false << failed
                             << QStringLiteral("Write data") << 0;
    QTest::newRow("chinese") << QStringLiteral("1") << false
                             << QStringLiteral("写入中......写入失败.请重试一遍\r\n")
                             << QStringLiteral("写入数据") << 0;
    QTest::newRow("confirmation of an earlier write")
        << QStringLiteral("2") << true << failed << QStringLiteral("Write data") << 0;
    // After the 8 s the confirmation is waited for: too late.
    QTest::newRow("confirmed after the wait")
        << QStringLiteral("2") << false << failed << QStringLiteral("Write data") << 1100;
}

void TestWriteSession::unconfirmedWriteSaysSo()
{
    QFETCH(QString, language);
    QFETCH(bool, staleConfirmation);
    QFETCH(QString, status);
    QFETCH(QString, caption);
    QFETCH(int, confirmsAfterMs);

    SimRig rig(language);
    if (confirmsAfterMs > 0) {
        setDelayTimeScale(0.1);
        rig.sim.setAnswerDelay(confirmsAfterMs);
    } else {
        rig.sim.setSilent(true);
    }
    QVERIFY(rig.start());
    dhcpWrite().fill(rig.host.record);
    rig.host.flagState.freqSaved = staleConfirmation;

    QCOMPARE(writeSettings(rig.context).result, SessionOutcome::Result::NotConfirmed);

    QCOMPARE(rig.receivedSoFar(), dhcpWrite().lines);
    QCOMPARE(rig.host.record.statusText(), status);
    QCOMPARE(rig.host.caption(Button::Write), caption);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

void TestWriteSession::callsignTooLongIsReported_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<QString>("status");

    QTest::newRow("confirmed")
        << QStringLiteral("2") << false
        << QStringLiteral(
               "Writing......\r\nCallsign longer than 6 characters: not written\r\nWrite complete");
    QTest::newRow("not confirmed")
        << QStringLiteral("2") << true
        << QStringLiteral("Writing......\r\nCallsign longer than 6 characters: not "
                          "written\r\nWrite fail，Please try again.\r\n");
    QTest::newRow("chinese") << QStringLiteral("1") << false
                             << QStringLiteral(
                                    "写入中......\r\n呼号超过6个字符,未写入\r\n写入完成");
}

void TestWriteSession::callsignTooLongIsReported()
{
    QFETCH(QString, language);
    QFETCH(bool, silent);
    QFETCH(QString, status);

    SimRig rig(language);
    rig.sim.setSilent(silent);
    QVERIFY(rig.start());
    const QString deviceCallsign = rig.sim.settings().text(Field::Callsign);
    dhcpWrite().fill(rig.host.record);
    rig.host.record.setText(Field::Callsign, QStringLiteral("BG5ABCD"));

    writeSettings(rig.context);

    const QByteArray sent = rig.receivedSoFar();
    QVERIFY(!sent.contains("AT+CALL,"));
    QVERIFY(sent.startsWith("AT+PASS,12345#\r\n"));
    QVERIFY(sent.endsWith("\r\nAT+FREQ,144.6400#\r\n"));
    QCOMPARE(rig.sim.settings().text(Field::Callsign), deviceCallsign);
    QCOMPARE(rig.host.record.statusText(), status);
}

void TestWriteSession::pressWhilePortIsOpenClosesIt_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("readCaption");
    QTest::addColumn<QString>("writeCaption");

    QTest::newRow("english") << QStringLiteral("2") << QStringLiteral("Port is open")
                             << QStringLiteral("Write data");
    QTest::newRow("chinese") << QStringLiteral("1") << QStringLiteral("端口已打开")
                             << QStringLiteral("写入数据");
}

void TestWriteSession::pressWhilePortIsOpenClosesIt()
{
    QFETCH(QString, language);
    QFETCH(QString, readCaption);
    QFETCH(QString, writeCaption);

    SimRig rig(language);
    QVERIFY(rig.start());
    dhcpWrite().fill(rig.host.record);
    rig.host.record.setStatusText(QStringLiteral("old"));
    QVERIFY(rig.link.open());

    QCOMPARE(writeSettings(rig.context).result, SessionOutcome::Result::Cancelled);

    QCOMPARE(rig.host.caption(Button::Read), readCaption);
    QCOMPARE(rig.host.caption(Button::Write), writeCaption);
    QVERIFY(rig.host.isEnabled(Button::Write));
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.host.record.statusText(), QString());
    QCOMPARE(rig.receivedSoFar(), QByteArray());
}

void TestWriteSession::portThatCannotOpenStillRunsTheWaits_data()
{
    QTest::addColumn<QString>("portText");
    QTest::addColumn<QString>("shownPort");

    QTest::newRow("device path") << QStringLiteral("/dev/ttyTELX5missing")
                                 << QStringLiteral("/dev/ttyTELX5missing");
    QTest::newRow("name without /dev/")
        << QStringLiteral("ttyTELX5missing") << QStringLiteral("/dev/ttyTELX5missing");
}

void TestWriteSession::portThatCannotOpenStillRunsTheWaits()
{
    QFETCH(QString, portText);
    QFETCH(QString, shownPort);

    SimRig rig;
    rig.host.port = portText;
    dhcpWrite().fill(rig.host.record);

    QCOMPARE(writeSettings(rig.context).result, SessionOutcome::Result::CouldNotOpen);

    // The status box says which port failed and why, the failure on its own line.
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Writing......\r\nCannot open %1: no such port\r\n"
                            "Write fail，Please try again.\r\n")
                 .arg(shownPort));
    QCOMPARE(rig.host.caption(Button::Write), QStringLiteral("Write data"));
    QCOMPARE(rig.host.portText(), shownPort);
    QVERIFY(rig.host.dialogState.messages.isEmpty());
    QVERIFY(!rig.link.isOpen());
}

void TestWriteSession::portTakenAwayDropsTheRemainingLines()
{
    SimRig rig;
    QVERIFY(rig.start());
    dhcpWrite().fill(rig.host.record);
    rig.pressWhen([&] { return rig.sim.received().contains("AT+SERVER,"); },
                  [&] { restartDevice(rig.context); });

    QCOMPARE(writeSettings(rig.context).result, SessionOutcome::Result::Cancelled);

    const QByteArray sent = rig.receivedSoFar();
    const QByteArray lines = dhcpWrite().lines;
    QVERIFY2(sent.startsWith(lines.left(lines.indexOf("AT+TIME,"))), sent.constData());
    QVERIFY(!sent.contains("AT+FREQ,"));
    QCOMPARE(rig.host.caption(Button::Restart), QStringLiteral("Port is open"));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Writing......Write fail，Please try again.\r\n"));
    QCOMPARE(rig.host.caption(Button::Write), QStringLiteral("Write data"));
    QVERIFY(!rig.link.isOpen());
}

QTEST_GUILESS_MAIN(TestWriteSession)
#include "tst_writesession.moc"
