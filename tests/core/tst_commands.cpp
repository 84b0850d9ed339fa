#include "codepage.h"
#include "commands.h"
#include "devicesettings.h"
#include "settingsrecord.h"

#include <QTest>

using namespace telx5;

class TestCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void bytesOnTheWire_data();
    void bytesOnTheWire();
    void callsignTooLong();
    void writePlan_data();
    void writePlan();
    void writePlanSkipsLongCallsign();
};

void TestCommands::bytesOnTheWire_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");

    const auto s = [](const char *text) { return QString::fromUtf8(text); };
    const auto a = Address::Ip;

    QTest::newRow("connect") << Commands::connect() << QByteArray("\r\nSETUP#\r\n");
    QTest::newRow("read") << Commands::read() << QByteArray("AT+READ#\r\n");
    QTest::newRow("reboot") << Commands::reboot() << QByteArray("REBOOT#\r\n");
    QTest::newRow("reset") << Commands::resetEeram() << QByteArray("AT+RESET#\r\n");
    QTest::newRow("wifi") << Commands::wifi(s("home,1"), s("p#w"))
                          << QByteArray("AT+WIFI,home,1,p#w#\r\n");
    QTest::newRow("wifi empty") << Commands::wifi({}, {}) << QByteArray("AT+WIFI,,#\r\n");
    QTest::newRow("call padded") << *Commands::call(s("AB1C"), s("7"))
                                 << QByteArray("AT+CALL,AB1C  -7#\r\n");
    QTest::newRow("call six") << *Commands::call(s("NOCALL"), s("10"))
                              << QByteArray("AT+CALL,NOCALL-10#\r\n");
    QTest::newRow("call empty") << *Commands::call({}, s("0"))
                                << QByteArray("AT+CALL,      -0#\r\n");
    QTest::newRow("pass") << Commands::pass(s("40417")) << QByteArray("AT+PASS,40417#\r\n");
    QTest::newRow("dhcp") << Commands::dhcp(false) << QByteArray("AT+DHCP,1#\r\n");
    QTest::newRow("static") << Commands::dhcp(true) << QByteArray("AT+DHCP,0#\r\n");
    QTest::newRow("ip") << Commands::address(a, s("192"), s("168"), s("1"), s("99"))
                        << QByteArray("AT+IP,192,168,1,99#\r\n");
    QTest::newRow("ip empty box") << Commands::address(a, s("192"), {}, s("1"), s("99"))
                                  << QByteArray("AT+IP,192,,1,99#\r\n");
    QTest::newRow("mask") << Commands::address(Address::Mask, s("255"), s("255"), s("255"), s("0"))
                          << QByteArray("AT+SUB,255,255,255,0#\r\n");
    QTest::newRow("gate") << Commands::address(Address::Gate, s("10"), s("0"), s("0"), s("1"))
                          << QByteArray("AT+GW,10,0,0,1#\r\n");
    QTest::newRow("dns") << Commands::address(Address::Dns, s("8"), s("8"), s("4"), s("4"))
                         << QByteArray("AT+DNS,8,8,4,4#\r\n");
    QTest::newRow("position") << Commands::position(s("!3035.00N/11417.00Er"))
                              << QByteArray("AT+POSI,!3035.00N/11417.00Er#\r\n");
    QTest::newRow("comment untrimmed")
        << Commands::comment(s(" hi ")) << QByteArray("AT+COMMENT, hi #\r\n");
    QTest::newRow("server") << Commands::server(s("china.aprs2.net"))
                            << QByteArray("AT+SERVER,china.aprs2.net#\r\n");
    QTest::newRow("time") << Commands::sentTime(s("600")) << QByteArray("AT+TIME,600#\r\n");
    QTest::newRow("filter") << Commands::filter(s("b/TELX5"))
                            << QByteArray("AT+FILTER,b/TELX5#\r\n");
    QTest::newRow("backlight on") << Commands::backlight(s("ON"))
                                  << QByteArray("AT+BACKLIGHT,00#\r\n");
    QTest::newRow("backlight 30") << Commands::backlight(s("30"))
                                  << QByteArray("AT+BACKLIGHT,30#\r\n");
    QTest::newRow("backlight on lower")
        << Commands::backlight(s("on")) << QByteArray("AT+BACKLIGHT,on#\r\n");
    QTest::newRow("unit km") << Commands::unit(s("km")) << QByteArray("AT+UNIT,1#\r\n");
    QTest::newRow("unit mi") << Commands::unit(s("mi")) << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("unit chinese") << Commands::unit(s("公里")) << QByteArray("AT+UNIT,3#\r\n");
    QTest::newRow("unit empty") << Commands::unit({}) << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("unit typed") << Commands::unit(s("KM")) << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("digi ticked") << Commands::digi(s("1")) << QByteArray("AT+DIGI,1#\r\n");
    QTest::newRow("digi clear") << Commands::digi(s("0")) << QByteArray("AT+DIGI,0#\r\n");
    QTest::newRow("digi other") << Commands::digi(s("2")) << QByteArray("AT+DIGI,0#\r\n");
    QTest::newRow("mod") << Commands::mod(s("3")) << QByteArray("AT+MOD,3#\r\n");
    QTest::newRow("path none") << Commands::path(s("None")) << QByteArray("AT+PATH,0#\r\n");
    QTest::newRow("path 1") << Commands::path(s("WIDE1-1")) << QByteArray("AT+PATH,1#\r\n");
    QTest::newRow("path 2") << Commands::path(s("WIDE1-1WIDE2-1")) << QByteArray("AT+PATH,2#\r\n");
    QTest::newRow("path 3") << Commands::path(s("WIDE1-1WIDE2-2")) << QByteArray("AT+PATH,3#\r\n");
    QTest::newRow("path empty") << Commands::path({}) << QByteArray("AT+PATH,1#\r\n");
    QTest::newRow("alias 1") << Commands::alias(s("WIDE1")) << QByteArray("AT+ALIAS,1#\r\n");
    QTest::newRow("alias 2") << Commands::alias(s("WIDE2")) << QByteArray("AT+ALIAS,2#\r\n");
    QTest::newRow("alias 3") << Commands::alias(s("WIDE1+WIDE2")) << QByteArray("AT+ALIAS,3#\r\n");
    QTest::newRow("alias empty") << Commands::alias({}) << QByteArray("AT+ALIAS,3#\r\n");
    QTest::newRow("freq") << Commands::freq(s("144.6400"))
                          << QByteArray("\r\nAT+FREQ,144.6400#\r\n");
}

void TestCommands::bytesOnTheWire()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    QCOMPARE(TextCodec(CodePage::Windows1252).encode(command), bytes);
}

void TestCommands::callsignTooLong()
{
    QVERIFY(!Commands::call(QStringLiteral("ABCDEFG"), QStringLiteral("1")).has_value());
}

void TestCommands::writePlan_data()
{
    QTest::addColumn<QString>("dhcp");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<QList<int>>>("waits");

    const QStringList head{QStringLiteral("AT+CALL,NOCALL-10#\r\n"),
                           QStringLiteral("AT+PASS,40417#\r\n")};
    const QStringList tail{QStringLiteral("AT+POSI,!3035.00N/11417.00ErPHG1010#\r\n"),
                           QStringLiteral("AT+COMMENT,TELX5 144.640MHz#\r\n"),
                           QStringLiteral("AT+SERVER,china.aprs2.net#\r\n"),
                           QStringLiteral("AT+TIME,0600#\r\n"),
                           QStringLiteral("AT+FILTER,b/TELX5#\r\n"),
                           QStringLiteral("AT+BACKLIGHT,00#\r\n"),
                           QStringLiteral("AT+UNIT,1#\r\n"),
                           QStringLiteral("AT+DIGI,0#\r\n"),
                           QStringLiteral("AT+MOD,3#\r\n"),
                           QStringLiteral("AT+PATH,1#\r\n"),
                           QStringLiteral("AT+ALIAS,3#\r\n"),
                           QStringLiteral("\r\nAT+FREQ,144.6400#\r\n")};
    QList<QList<int>> tailWaits(tail.size(), {200});
    tailWaits[tail.size() - 2] = {};
    const QStringList staticLines{
        QStringLiteral("AT+DHCP,0#\r\n"), QStringLiteral("AT+IP,192,168,1,99#\r\n"),
        QStringLiteral("AT+SUB,255,255,255,0#\r\n"), QStringLiteral("AT+GW,192,168,1,1#\r\n"),
        QStringLiteral("AT+DNS,8,8,8,8#\r\n")};
    const QList<QList<int>> staticWaits{{200}, {200}, {200}, {200}, {200, 200}};
    const QStringList dhcpLine{QStringLiteral("AT+DHCP,1#\r\n")};

    QTest::newRow("DHCP") << QStringLiteral("DHCP") << head + dhcpLine + tail
                          << QList<QList<int>>{{200}, {200}, {200}} + tailWaits;
    QTest::newRow("typed text") << QStringLiteral("static ip") << head + dhcpLine + tail
                                << QList<QList<int>>{{200}, {200}, {200}} + tailWaits;
    QTest::newRow("STATIC IP") << QStringLiteral("STATIC IP") << head + staticLines + tail
                               << QList<QList<int>>{{200}, {200}} + staticWaits + tailWaits;
}

void TestCommands::writePlan()
{
    QFETCH(QString, dhcp);
    QFETCH(QStringList, lines);
    QFETCH(QList<QList<int>>, waits);

    SettingsRecord record;
    DeviceSettings::applyDefaults(record);
    record.setText(Field::Dhcp, dhcp);

    QStringList sent;
    QList<QList<int>> paused;
    for (const Commands::WriteStep &step : Commands::writePlan(record)) {
        sent << step.line.value_or(QStringLiteral("(not sent)"));
        paused << step.waitsMs;
    }
    QCOMPARE(sent, lines);
    QCOMPARE(paused, waits);
}

void TestCommands::writePlanSkipsLongCallsign()
{
    SettingsRecord record;
    DeviceSettings::applyDefaults(record);
    record.setText(Field::Callsign, QStringLiteral("ABCDEFGHI"));
    const QList<Commands::WriteStep> plan = Commands::writePlan(record);
    QVERIFY(!plan.constFirst().line.has_value());
    QCOMPARE(plan.constFirst().waitsMs, QList<int>{200});
    QCOMPARE(plan.at(1).line, QStringLiteral("AT+PASS,40417#\r\n"));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
