#include "delay.h"
#include "ports.h"
#include "portsettingsstore.h"
#include "sessions.h"
#include "simrig.h"

#include <QFile>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray ConnectLine = QByteArrayLiteral("\r\nSETUP#\r\n");
const QByteArray ReadLine = QByteArrayLiteral("AT+READ#\r\n");

} // namespace

class TestReadSession : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }

    void readsEveryFieldOfAnAnsweringDevice_data();
    void readsEveryFieldOfAnAnsweringDevice();
    void silentDeviceUsesEveryAttempt_data();
    void silentDeviceUsesEveryAttempt();
    void slowDeviceIsReadInALaterAttempt();
    void secondPressCancelsTheRunningRead_data();
    void secondPressCancelsTheRunningRead();
    void portThatCannotOpenEndsWithTheMessage();
    void portTextNamesThePort_data();
    void portTextNamesThePort();
    void pressWhilePortIsOpenClosesIt_data();
    void pressWhilePortIsOpenClosesIt();
};

void TestReadSession::readsEveryFieldOfAnAnsweringDevice_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("connected");
    QTest::addColumn<QString>("readOk");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QString>("reading");

    QTest::newRow("english") << QStringLiteral("2") << QStringLiteral("Connection is successful")
                             << QStringLiteral("read ok") << QStringLiteral("read data")
                             << QStringLiteral("73 de TELX5") << QStringLiteral("reading");
    QTest::newRow("chinese") << QStringLiteral("1") << QStringLiteral("连接就绪")
                             << QStringLiteral("读取成功") << QStringLiteral("读取数据")
                             << QStringLiteral("你好 TELX5") << QStringLiteral("读取中");
}

void TestReadSession::readsEveryFieldOfAnAnsweringDevice()
{
    QFETCH(QString, language);
    QFETCH(QString, connected);
    QFETCH(QString, readOk);
    QFETCH(QString, caption);
    QFETCH(QString, comment);
    QFETCH(QString, reading);

    // The device must answer well inside one attempt's second.
    setDelayTimeScale(0.2);
    SimRig rig(language);
    QVERIFY(rig.start());
    rig.sim.settings().setText(Field::Comment, comment);
    rig.host.record.setText(Field::WifiSsid, QStringLiteral("home"));
    rig.host.record.setText(Field::WifiPass, QStringLiteral("secret"));

    const SessionOutcome outcome = readSettings(rig.context);
    QCOMPARE(outcome.result, SessionOutcome::Result::Ok);
    // Every setting of the answer, version included, in 33 fields.
    QCOMPARE(outcome.received.arrivedFieldCount(), 33);
    QCOMPARE(outcome.received.text(Field::Comment), comment);

    // The answer to the first setup line is seen after the second one; the
    // read line follows at once.
    QCOMPARE(rig.receivedSoFar(), ConnectLine + ConnectLine + ReadLine);
    for (Field field : reportedFields())
        QCOMPARE(rig.host.record.text(field), rig.sim.settings().text(field));
    QCOMPARE(rig.host.record.text(Field::Comment), comment);
    QCOMPARE(rig.host.record.text(Field::WifiSsid), QStringLiteral("home"));
    QCOMPARE(rig.host.record.text(Field::WifiPass), QStringLiteral("secret"));
    QVERIFY(rig.host.record.statusHistory.contains(
        QStringLiteral("Please restart TELX5......Connection 2/20Times......\r\n") + connected));
    QVERIFY(!rig.host.record.statusText().isEmpty());
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Connection OK\r\nReading 1/20Times......\r\n") + readOk);
    QCOMPARE(rig.host.stepText(), QStringLiteral("Connection is successful\r\n"));
    QCOMPARE(rig.host.readCaptions, (QStringList{reading, caption}));
    QVERIFY(rig.host.isEnabled(Button::Write));
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.rememberedPort(), rig.sim.portPath());
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par4"),
                                          rig.host.ini),
             QStringLiteral("115200"));
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

void TestReadSession::silentDeviceUsesEveryAttempt_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");

    QTest::newRow("english") << QStringLiteral("2") << QStringLiteral("read data");
    QTest::newRow("chinese") << QStringLiteral("1") << QStringLiteral("读取数据");
}

void TestReadSession::silentDeviceUsesEveryAttempt()
{
    QFETCH(QString, language);
    QFETCH(QString, caption);

    setDelayTimeScale(0.02);
    SimRig rig(language);
    rig.sim.setSilent(true);
    QVERIFY(rig.start());
    for (Field field : reportedFields())
        rig.host.record.setText(field, QStringLiteral("9"));
    rig.host.lineBufferState.setLine("CALLSI");

    const SessionOutcome outcome = readSettings(rig.context);
    QCOMPARE(outcome.result, SessionOutcome::Result::NotConfirmed);
    QCOMPARE(outcome.missing, QStringLiteral("READ END"));
    QCOMPARE(outcome.received.arrivedFieldCount(), 0);

    QCOMPARE(rig.receivedSoFar(), ConnectLine.repeated(20) + ReadLine.repeated(20));
    QStringList expected;
    for (int i = 1; i <= 20; ++i)
        expected.append(
            QStringLiteral("Please restart TELX5......Connection %1/20Times......").arg(i));
    for (int j = 1; j <= 20; ++j)
        expected.append(QStringLiteral("Connection OK\r\nReading %1/20Times......").arg(j));
    QStringList shown = rig.host.record.statusHistory;
    shown.removeAll(QString());
    QCOMPARE(shown, expected);
    QCOMPARE(rig.host.caption(Button::Read), caption);
    QVERIFY(rig.host.isEnabled(Button::Write));
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.host.lineBufferState.line().isEmpty());
    // No value from before the read is left for the device's own: the lists
    // show their blank entry, the digipeater box is unticked.
    const QList<Field> lists{Field::Dhcp, Field::Server, Field::Unit, Field::Ssid,
                             Field::Backlight};
    QStringList cleared;
    QStringList blank;
    for (Field field : reportedFields()) {
        const QString none = field == Field::Digi    ? QStringLiteral("0")
                             : lists.contains(field) ? QStringLiteral(" ")
                                                     : QString();
        cleared.append(QString::number(int(field)) + u':' + rig.host.record.text(field));
        blank.append(QString::number(int(field)) + u':' + none);
    }
    QCOMPARE(cleared, blank);
    QCOMPARE(rig.host.stepText(), QStringLiteral("0/10"));
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

void TestReadSession::slowDeviceIsReadInALaterAttempt()
{
    // Each answer comes one and a half attempts after its line, so the read
    // must give each read line its whole second.
    setDelayTimeScale(0.2);
    SimRig rig;
    rig.sim.setAnswerDelay(int(1500 * delayTimeScale()));
    QVERIFY(rig.start());

    readSettings(rig.context);

    QVERIFY2(rig.host.record.statusText().endsWith(QStringLiteral("\r\nread ok")),
             qPrintable(rig.host.record.statusText()));
    QCOMPARE(rig.host.record.text(Field::Callsign), rig.sim.settings().text(Field::Callsign));
}

void TestReadSession::secondPressCancelsTheRunningRead_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("answersConnect");
    QTest::addColumn<QString>("pressAt");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("apply"); // Apply pressed instead of Read

    QTest::newRow("connect phase")
        << QStringLiteral("2") << false << QStringLiteral("Connection 3/20")
        << ConnectLine.repeated(3) << QStringLiteral("test fail") << QStringLiteral("Port is open")
        << false;
    QTest::newRow("connect phase, chinese")
        << QStringLiteral("1") << false << QStringLiteral("Connection 3/20")
        << ConnectLine.repeated(3) << QStringLiteral("test fail") << QStringLiteral("端口已打开")
        << false;
    QTest::newRow("connect phase, chinese, Apply pressed")
        << QStringLiteral("1") << false << QStringLiteral("Connection 3/20")
        << ConnectLine.repeated(3) << QStringLiteral("test fail") << QStringLiteral("Port is open")
        << true;
    QTest::newRow("read phase") << QStringLiteral("2") << true << QStringLiteral("Reading 2/20")
                                << ConnectLine.repeated(2) + ReadLine.repeated(3)
                                << QStringLiteral("Connection is successful\r\n")
                                << QStringLiteral("Port is open") << false;
}

void TestReadSession::secondPressCancelsTheRunningRead()
{
    QFETCH(QString, language);
    QFETCH(bool, answersConnect);
    QFETCH(QString, pressAt);
    QFETCH(QByteArray, sent);
    QFETCH(QString, step);
    QFETCH(QString, caption);
    QFETCH(bool, apply);

    // A device that answers must do so inside the first attempt's second.
    setDelayTimeScale(0.2);
    SimRig rig(language);
    if (answersConnect)
        rig.sim.setIgnoredCommands({QStringLiteral("AT+READ")});
    else
        rig.sim.setSilent(true);
    QVERIFY(rig.start());

    bool pressed = false;
    rig.pressWhen([&] { return rig.host.record.statusText().contains(pressAt); },
                  [&] {
                      pressed = true;
                      if (apply) {
                          applyWifi(rig.context);
                          return;
                      }
                      rig.host.record.setText(Field::Callsign, QStringLiteral("AB1C"));
                      readSettings(rig.context);
                  });

    QCOMPARE(readSettings(rig.context).result, SessionOutcome::Result::Cancelled);

    QVERIFY(pressed);
    // Apply says why it did not run; the read ends as cancelled either way.
    QCOMPARE(rig.host.dialogState.messages,
             QStringList(apply ? 2 : 1, QStringLiteral("Port is open or no")));
    QCOMPARE(rig.host.caption(Button::Read), caption);
    QCOMPARE(rig.host.stepText(), step);
    QVERIFY(apply || rig.host.isEnabled(Button::Write));
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.host.record.text(Field::Callsign), QString());
    QCOMPARE(rig.receivedSoFar(), sent);
}

void TestReadSession::portThatCannotOpenEndsWithTheMessage()
{
    SimRig rig;
    const QString missing = rig.dir.filePath(QStringLiteral("ttyMissing"));
    rig.host.port = missing;

    QCOMPARE(readSettings(rig.context).result, SessionOutcome::Result::CouldNotOpen);

    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is open or no")});
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("\r\nCannot open %1: no such port").arg(missing));
    QCOMPARE(rig.host.caption(Button::Read), QStringLiteral("reading"));
    QVERIFY(!rig.host.isEnabled(Button::Write));
    QVERIFY(!QFile::exists(rig.host.ini));
}

void TestReadSession::portTextNamesThePort_data()
{
    // "%1": the device's path, "%3": the same without "/dev/", "%2": the test's folder.
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("failure");

    QTest::newRow("device path") << QStringLiteral("%1") << QString();
    QTest::newRow("name without /dev/") << QStringLiteral("%3") << QString();
    QTest::newRow("empty") << QString() << QStringLiteral("No port chosen");
    QTest::newRow("regular file") << QStringLiteral("%2/plain")
                                  << QStringLiteral("Cannot open %2/plain: not a serial port");
    QTest::newRow("folder") << QStringLiteral("%2")
                            << QStringLiteral("Cannot open %2: not a serial port");
    QTest::newRow("missing device")
        << QStringLiteral("ttyTELX5missing")
        << QStringLiteral("Cannot open /dev/ttyTELX5missing: no such port");
    // A character device that is no terminal, made in the test's folder.
    QTest::newRow("device that is no terminal")
        << QStringLiteral("%2/null") << QStringLiteral("Cannot open %2/null: not a serial port");
}

void TestReadSession::portTextNamesThePort()
{
    QFETCH(QString, typed);
    QFETCH(QString, failure);

    SimRig rig;
    QVERIFY(rig.start());
    QFile plain(rig.dir.filePath(QStringLiteral("plain")));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    if (typed.endsWith(QLatin1String("/null"))) {
        if (::geteuid() != 0)
            QSKIP("making a device node needs root");
        const QByteArray node = QFile::encodeName(rig.dir.filePath(QStringLiteral("null")));
        QCOMPARE(::mknod(node.constData(), S_IFCHR | 0600, makedev(1, 3)), 0);
    }
    const QString device = rig.sim.portPath();
    rig.host.port = typed.replace(QStringLiteral("%1"), device)
                        .replace(QStringLiteral("%3"), device.mid(5))
                        .replace(QStringLiteral("%2"), rig.dir.path());
    failure.replace(QStringLiteral("%2"), rig.dir.path());

    readSettings(rig.context);

    if (failure.isEmpty()) {
        QCOMPARE(rig.host.portText(), device);
        QCOMPARE(rig.rememberedPort(), device);
        QCOMPARE(rig.host.record.text(Field::Callsign), rig.sim.settings().text(Field::Callsign));
    } else {
        // No other port is tried: the device hears nothing.
        QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is open or no")});
        QCOMPARE(rig.host.record.statusText(), QStringLiteral("\r\n") + failure);
        QCOMPARE(rig.rememberedPort(), QString());
        QCOMPARE(rig.receivedSoFar(), QByteArray());
    }
}

void TestReadSession::pressWhilePortIsOpenClosesIt_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("caption");

    QTest::newRow("english") << QStringLiteral("2") << QStringLiteral("Port is open");
    QTest::newRow("chinese") << QStringLiteral("1") << QStringLiteral("端口已打开");
}

void TestReadSession::pressWhilePortIsOpenClosesIt()
{
    QFETCH(QString, language);
    QFETCH(QString, caption);

    SimRig rig(language);
    QVERIFY(rig.start());
    QVERIFY(rig.link.open());
    rig.host.record.setText(Field::Callsign, QStringLiteral("AB1C"));
    rig.host.record.setText(Field::Dhcp, QStringLiteral("DHCP"));
    rig.host.record.setStatusText(QStringLiteral("old"));

    QCOMPARE(readSettings(rig.context).result, SessionOutcome::Result::Cancelled);

    QCOMPARE(rig.host.caption(Button::Read), caption);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.host.isEnabled(Button::Write));
    QCOMPARE(rig.host.record.text(Field::Callsign), QString());
    QCOMPARE(rig.host.record.text(Field::Dhcp), QStringLiteral(" "));
    QCOMPARE(rig.host.record.statusText(), QString());
    QVERIFY(rig.host.dialogState.messages.isEmpty());
    QVERIFY(!QFile::exists(rig.host.ini));
    QCOMPARE(rig.receivedSoFar(), QByteArray());
}

QTEST_GUILESS_MAIN(TestReadSession)
#include "tst_readsession.moc"
