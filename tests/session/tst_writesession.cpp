#include "delay.h"
#include "ports.h"
#include "sessions.h"
#include "simrig.h"

#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

namespace {

// The window's values of a write: field names of the window and their texts.
const QMap<QString, Field> FieldNames = {
    {QStringLiteral("Callsign"), Field::Callsign}, {QStringLiteral("Ssid"), Field::Ssid},
    {QStringLiteral("Pass"), Field::Pass},         {QStringLiteral("Dhcp"), Field::Dhcp},
    {QStringLiteral("Ip1"), Field::Ip1},           {QStringLiteral("Ip2"), Field::Ip2},
    {QStringLiteral("Ip3"), Field::Ip3},           {QStringLiteral("Ip4"), Field::Ip4},
    {QStringLiteral("Mask1"), Field::Mask1},       {QStringLiteral("Mask2"), Field::Mask2},
    {QStringLiteral("Mask3"), Field::Mask3},       {QStringLiteral("Mask4"), Field::Mask4},
    {QStringLiteral("Gate1"), Field::Gate1},       {QStringLiteral("Gate2"), Field::Gate2},
    {QStringLiteral("Gate3"), Field::Gate3},       {QStringLiteral("Gate4"), Field::Gate4},
    {QStringLiteral("Dns1"), Field::Dns1},         {QStringLiteral("Dns2"), Field::Dns2},
    {QStringLiteral("Dns3"), Field::Dns3},         {QStringLiteral("Dns4"), Field::Dns4},
    {QStringLiteral("Position"), Field::Position}, {QStringLiteral("Comment"), Field::Comment},
    {QStringLiteral("Server"), Field::Server},     {QStringLiteral("SentTime"), Field::SentTime},
    {QStringLiteral("Filter"), Field::Filter},     {QStringLiteral("Backlight"), Field::Backlight},
    {QStringLiteral("Unit"), Field::Unit},         {QStringLiteral("Digi"), Field::Digi},
    {QStringLiteral("Mod"), Field::Mod},           {QStringLiteral("Path"), Field::Path},
    {QStringLiteral("Alias"), Field::Alias},       {QStringLiteral("Freq"), Field::Freq},
};

const QStringList DhcpWindow = {
    QStringLiteral("Callsign"),  QStringLiteral("AB1C"),
    QStringLiteral("Ssid"),      QStringLiteral("7"),
    QStringLiteral("Pass"),      QStringLiteral("12345"),
    QStringLiteral("Dhcp"),      QStringLiteral("DHCP"),
    QStringLiteral("Position"),  QStringLiteral("3113.12N/12129.34E>"),
    QStringLiteral("Comment"),   QStringLiteral("hello, world#1"),
    QStringLiteral("Server"),    QStringLiteral("china.aprs2.net"),
    QStringLiteral("SentTime"),  QStringLiteral("600"),
    QStringLiteral("Filter"),    QStringLiteral("m/50"),
    QStringLiteral("Backlight"), QStringLiteral("ON"),
    QStringLiteral("Unit"),      QStringLiteral("公里"),
    QStringLiteral("Digi"),      QStringLiteral("1"),
    QStringLiteral("Mod"),       QStringLiteral("3"),
    QStringLiteral("Path"),      QStringLiteral("WIDE1-1"),
    QStringLiteral("Alias"),     QStringLiteral("WIDE1+WIDE2"),
    QStringLiteral("Freq"),      QStringLiteral("144.6400"),
};

const QByteArray DhcpLines = QByteArrayLiteral("AT+CALL,AB1C  -7#\r\n"
                                               "AT+PASS,12345#\r\n"
                                               "AT+DHCP,1#\r\n"
                                               "AT+POSI,3113.12N/12129.34E>#\r\n"
                                               "AT+COMMENT,hello, world#1#\r\n"
                                               "AT+SERVER,china.aprs2.net#\r\n"
                                               "AT+TIME,600#\r\n"
                                               "AT+FILTER,m/50#\r\n"
                                               "AT+BACKLIGHT,00#\r\n"
                                               "AT+UNIT,3#\r\n"
                                               "AT+DIGI,1#\r\n"
                                               "AT+MOD,3#\r\n"
                                               "AT+PATH,1#\r\n"
                                               "AT+ALIAS,3#\r\n"
                                               "\r\nAT+FREQ,144.6400#\r\n");

const QStringList StaticWindow = {
    QStringLiteral("Callsign"),  QStringLiteral("BG5ABC"),
    QStringLiteral("Ssid"),      QStringLiteral("15"),
    QStringLiteral("Pass"),      QStringLiteral("2468"),
    QStringLiteral("Dhcp"),      QStringLiteral("STATIC IP"),
    QStringLiteral("Ip1"),       QStringLiteral("192"),
    QStringLiteral("Ip2"),       QStringLiteral("168"),
    QStringLiteral("Ip3"),       QStringLiteral("1"),
    QStringLiteral("Ip4"),       QStringLiteral("99"),
    QStringLiteral("Mask1"),     QStringLiteral("255"),
    QStringLiteral("Mask2"),     QStringLiteral("255"),
    QStringLiteral("Mask3"),     QStringLiteral("255"),
    QStringLiteral("Mask4"),     QStringLiteral("0"),
    QStringLiteral("Gate1"),     QStringLiteral("192"),
    QStringLiteral("Gate2"),     QStringLiteral("168"),
    QStringLiteral("Gate3"),     QStringLiteral("1"),
    QStringLiteral("Gate4"),     QStringLiteral("1"),
    QStringLiteral("Dns1"),      QStringLiteral("8"),
    QStringLiteral("Dns2"),      QStringLiteral(""),
    QStringLiteral("Dns3"),      QStringLiteral("8"),
    QStringLiteral("Dns4"),      QStringLiteral("8"),
    QStringLiteral("Position"),  QStringLiteral("3958.56N/11623.37E-"),
    QStringLiteral("Comment"),   QStringLiteral("TELX5"),
    QStringLiteral("Server"),    QStringLiteral("euro.aprs2.net"),
    QStringLiteral("SentTime"),  QStringLiteral("1200"),
    QStringLiteral("Filter"),    QStringLiteral(""),
    QStringLiteral("Backlight"), QStringLiteral("30"),
    QStringLiteral("Unit"),      QStringLiteral("mi"),
    QStringLiteral("Digi"),      QStringLiteral("0"),
    QStringLiteral("Mod"),       QStringLiteral("5"),
    QStringLiteral("Path"),      QStringLiteral("None"),
    QStringLiteral("Alias"),     QStringLiteral("WIDE2"),
    QStringLiteral("Freq"),      QStringLiteral("144.3900"),
};

const QByteArray StaticLines = QByteArrayLiteral("AT+CALL,BG5ABC-15#\r\n"
                                                 "AT+PASS,2468#\r\n"
                                                 "AT+DHCP,0#\r\n"
                                                 "AT+IP,192,168,1,99#\r\n"
                                                 "AT+SUB,255,255,255,0#\r\n"
                                                 "AT+GW,192,168,1,1#\r\n"
                                                 "AT+DNS,8,,8,8#\r\n"
                                                 "AT+POSI,3958.56N/11623.37E-#\r\n"
                                                 "AT+COMMENT,TELX5#\r\n"
                                                 "AT+SERVER,euro.aprs2.net#\r\n"
                                                 "AT+TIME,1200#\r\n"
                                                 "AT+FILTER,#\r\n"
                                                 "AT+BACKLIGHT,30#\r\n"
                                                 "AT+UNIT,2#\r\n"
                                                 "AT+DIGI,0#\r\n"
                                                 "AT+MOD,5#\r\n"
                                                 "AT+PATH,0#\r\n"
                                                 "AT+ALIAS,2#\r\n"
                                                 "\r\nAT+FREQ,144.3900#\r\n");

void fill(DeviceView &view, const QStringList &values)
{
    for (qsizetype index = 0; index + 1 < values.size(); index += 2)
        view.setText(FieldNames.value(values.at(index)), values.at(index + 1));
}

QList<Field> writtenFields(const QStringList &values)
{
    QList<Field> fields;
    for (qsizetype index = 0; index < values.size(); index += 2)
        fields.append(FieldNames.value(values.at(index)));
    return fields;
}

} // namespace

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
    QTest::addColumn<QStringList>("window");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");

    QTest::newRow("dhcp") << QStringLiteral("2") << DhcpWindow << DhcpLines
                          << QStringLiteral("Writing......\r\nWrite complete")
                          << QStringLiteral("Write data");
    QTest::newRow("static address")
        << QStringLiteral("2") << StaticWindow << StaticLines
        << QStringLiteral("Writing......\r\nWrite complete") << QStringLiteral("Write data");
    QTest::newRow("chinese window")
        << QStringLiteral("1") << StaticWindow << StaticLines
        << QStringLiteral("写入中......\r\n写入完成") << QStringLiteral("写入数据");
}

void TestWriteSession::sendsEveryLineAndIsConfirmed()
{
    QFETCH(QString, language);
    QFETCH(QStringList, window);
    QFETCH(QByteArray, expected);
    QFETCH(QString, status);
    QFETCH(QString, caption);

    SimRig rig(language);
    QVERIFY(rig.start());
    fill(rig.host.record, window);
    QStringList writeCaptions;
    rig.pressWhen([&] { return rig.link.isOpen(); },
                  [&] { writeCaptions.append(rig.host.caption(Button::Write)); });

    Command7_Click(rig.context);

    QCOMPARE(rig.receivedSoFar(), expected);
    QCOMPARE(writeCaptions,
             QStringList{language == QStringLiteral("1") ? QStringLiteral("写入中")
                                                         : QStringLiteral("Writing")});
    for (Field field : writtenFields(window))
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

    QTest::newRow("english") << QStringLiteral("2") << false
                             << QStringLiteral("Writing......Write fail，Please try again.\r\n")
                             << QStringLiteral("Write data");
    QTest::newRow("chinese") << QStringLiteral("1") << false
                             << QStringLiteral("写入中......写入失败.请重试一遍\r\n")
                             << QStringLiteral("写入数据");
    QTest::newRow("confirmation of an earlier write")
        << QStringLiteral("2") << true
        << QStringLiteral("Writing......Write fail，Please try again.\r\n")
        << QStringLiteral("Write data");
}

void TestWriteSession::unconfirmedWriteSaysSo()
{
    QFETCH(QString, language);
    QFETCH(bool, staleConfirmation);
    QFETCH(QString, status);
    QFETCH(QString, caption);

    SimRig rig(language);
    rig.sim.setSilent(true);
    QVERIFY(rig.start());
    fill(rig.host.record, DhcpWindow);
    rig.host.flagState.freqSaved = staleConfirmation;

    Command7_Click(rig.context);

    QCOMPARE(rig.receivedSoFar(), DhcpLines);
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
    fill(rig.host.record, DhcpWindow);
    rig.host.record.setText(Field::Callsign, QStringLiteral("BG5ABCD"));

    Command7_Click(rig.context);

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
    fill(rig.host.record, DhcpWindow);
    rig.host.record.setStatusText(QStringLiteral("old"));
    QVERIFY(rig.link.open());

    Command7_Click(rig.context);

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
    QTest::newRow("windows name") << QStringLiteral("COM4") << Ports::replacement();
}

void TestWriteSession::portThatCannotOpenStillRunsTheWaits()
{
    QFETCH(QString, portText);
    QFETCH(QString, shownPort);

    SimRig rig;
    QVERIFY(rig.link.setPortName(rig.dir.filePath(QStringLiteral("ttyMissing"))));
    rig.host.port = portText;
    fill(rig.host.record, DhcpWindow);

    Command7_Click(rig.context);

    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Writing......Write fail，Please try again.\r\n"));
    QCOMPARE(rig.host.caption(Button::Write), QStringLiteral("Write data"));
    QCOMPARE(rig.host.portText(), shownPort);
    QVERIFY(rig.host.dialogState.messages.isEmpty());
    QVERIFY(!rig.link.isOpen());
}

void TestWriteSession::portTakenAwayDropsTheRemainingLines()
{
    SimRig rig;
    QVERIFY(rig.start());
    fill(rig.host.record, DhcpWindow);
    rig.pressWhen([&] { return rig.sim.received().contains("AT+SERVER,"); },
                  [&] { Command9_Click(rig.context); });

    Command7_Click(rig.context);

    const QByteArray sent = rig.receivedSoFar();
    QVERIFY2(sent.startsWith(DhcpLines.left(DhcpLines.indexOf("AT+TIME,"))), sent.constData());
    QVERIFY(!sent.contains("AT+FREQ,"));
    QCOMPARE(rig.host.caption(Button::Restart), QStringLiteral("Port is open"));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Writing......Write fail，Please try again.\r\n"));
    QCOMPARE(rig.host.caption(Button::Write), QStringLiteral("Write data"));
    QVERIFY(!rig.link.isOpen());
}

QTEST_GUILESS_MAIN(TestWriteSession)
#include "tst_writesession.moc"
