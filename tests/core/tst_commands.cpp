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
    // The line that writes `setting` from a record holding `values`.
    const auto line = [](Setting setting,
                         std::initializer_list<std::pair<Field, const char *>> values) {
        SettingsRecord record;
        for (const auto &[field, text] : values)
            record.setText(field, QString::fromUtf8(text));
        return Commands::settingLine(setting, record).value_or(QStringLiteral("(not sent)"));
    };
    const auto octets = [&line](Setting setting, Field first, const char *a, const char *b,
                                const char *c, const char *d) {
        return line(setting, {{first, a},
                              {Field(int(first) + 1), b},
                              {Field(int(first) + 2), c},
                              {Field(int(first) + 3), d}});
    };

    QTest::newRow("connect") << Commands::connect() << QByteArray("\r\nSETUP#\r\n");
    QTest::newRow("read") << Commands::read() << QByteArray("AT+READ#\r\n");
    QTest::newRow("reboot") << Commands::reboot() << QByteArray("REBOOT#\r\n");
    QTest::newRow("reset") << Commands::resetEeram() << QByteArray("AT+RESET#\r\n");
    QTest::newRow("wifi") << Commands::wifi(s("home,1"), s("p#w"))
                          << QByteArray("AT+WIFI,home,1,p#w#\r\n");
    QTest::newRow("wifi empty") << Commands::wifi({}, {}) << QByteArray("AT+WIFI,,#\r\n");
    QTest::newRow("call padded") << line(Setting::Callsign,
                                         {{Field::Callsign, "AB1C"}, {Field::Ssid, "7"}})
                                 << QByteArray("AT+CALL,AB1C  -7#\r\n");
    QTest::newRow("call six") << line(Setting::Callsign,
                                      {{Field::Callsign, "NOCALL"}, {Field::Ssid, "10"}})
                              << QByteArray("AT+CALL,NOCALL-10#\r\n");
    QTest::newRow("call empty") << line(Setting::Callsign, {{Field::Ssid, "0"}})
                                << QByteArray("AT+CALL,      -0#\r\n");
    QTest::newRow("pass") << line(Setting::Pass, {{Field::Pass, "40417"}})
                          << QByteArray("AT+PASS,40417#\r\n");
    QTest::newRow("dhcp") << line(Setting::Dhcp, {{Field::Dhcp, "DHCP"}})
                          << QByteArray("AT+DHCP,1#\r\n");
    QTest::newRow("static") << line(Setting::Dhcp, {{Field::Dhcp, "STATIC IP"}})
                            << QByteArray("AT+DHCP,0#\r\n");
    QTest::newRow("ip") << octets(Setting::Ip, Field::Ip1, "192", "168", "1", "99")
                        << QByteArray("AT+IP,192,168,1,99#\r\n");
    QTest::newRow("ip empty box") << octets(Setting::Ip, Field::Ip1, "192", "", "1", "99")
                                  << QByteArray("AT+IP,192,,1,99#\r\n");
    QTest::newRow("mask") << octets(Setting::Mask, Field::Mask1, "255", "255", "255", "0")
                          << QByteArray("AT+SUB,255,255,255,0#\r\n");
    QTest::newRow("gate") << octets(Setting::Gate, Field::Gate1, "10", "0", "0", "1")
                          << QByteArray("AT+GW,10,0,0,1#\r\n");
    QTest::newRow("dns") << octets(Setting::Dns, Field::Dns1, "8", "8", "4", "4")
                         << QByteArray("AT+DNS,8,8,4,4#\r\n");
    QTest::newRow("position") << line(Setting::Position,
                                      {{Field::Position, "!3035.00N/11417.00Er"}})
                              << QByteArray("AT+POSI,!3035.00N/11417.00Er#\r\n");
    QTest::newRow("comment untrimmed")
        << line(Setting::Comment, {{Field::Comment, " hi "}}) << QByteArray("AT+COMMENT, hi #\r\n");
    QTest::newRow("server") << line(Setting::Server, {{Field::Server, "china.aprs2.net"}})
                            << QByteArray("AT+SERVER,china.aprs2.net#\r\n");
    QTest::newRow("time") << line(Setting::SentTime, {{Field::SentTime, "600"}})
                          << QByteArray("AT+TIME,600#\r\n");
    QTest::newRow("filter") << line(Setting::Filter, {{Field::Filter, "b/TELX5"}})
                            << QByteArray("AT+FILTER,b/TELX5#\r\n");
    QTest::newRow("backlight on") << line(Setting::Backlight, {{Field::Backlight, "ON"}})
                                  << QByteArray("AT+BACKLIGHT,00#\r\n");
    QTest::newRow("backlight 30") << line(Setting::Backlight, {{Field::Backlight, "30"}})
                                  << QByteArray("AT+BACKLIGHT,30#\r\n");
    QTest::newRow("backlight on lower") << line(Setting::Backlight, {{Field::Backlight, "on"}})
                                        << QByteArray("AT+BACKLIGHT,on#\r\n");
    QTest::newRow("unit km") << line(Setting::Unit, {{Field::Unit, "km"}})
                             << QByteArray("AT+UNIT,1#\r\n");
    QTest::newRow("unit mi") << line(Setting::Unit, {{Field::Unit, "mi"}})
                             << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("unit chinese") << line(Setting::Unit, {{Field::Unit, "公里"}})
                                  << QByteArray("AT+UNIT,3#\r\n");
    QTest::newRow("unit empty") << line(Setting::Unit, {}) << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("unit typed") << line(Setting::Unit, {{Field::Unit, "KM"}})
                                << QByteArray("AT+UNIT,2#\r\n");
    QTest::newRow("digi ticked") << line(Setting::Digi, {{Field::Digi, "1"}})
                                 << QByteArray("AT+DIGI,1#\r\n");
    QTest::newRow("digi clear") << line(Setting::Digi, {{Field::Digi, "0"}})
                                << QByteArray("AT+DIGI,0#\r\n");
    QTest::newRow("digi other") << line(Setting::Digi, {{Field::Digi, "2"}})
                                << QByteArray("AT+DIGI,0#\r\n");
    QTest::newRow("mod") << line(Setting::Mod, {{Field::Mod, "3"}}) << QByteArray("AT+MOD,3#\r\n");
    QTest::newRow("path none") << line(Setting::Path, {{Field::Path, "None"}})
                               << QByteArray("AT+PATH,0#\r\n");
    QTest::newRow("path 1") << line(Setting::Path, {{Field::Path, "WIDE1-1"}})
                            << QByteArray("AT+PATH,1#\r\n");
    QTest::newRow("path 2") << line(Setting::Path, {{Field::Path, "WIDE1-1WIDE2-1"}})
                            << QByteArray("AT+PATH,2#\r\n");
    QTest::newRow("path 3") << line(Setting::Path, {{Field::Path, "WIDE1-1WIDE2-2"}})
                            << QByteArray("AT+PATH,3#\r\n");
    QTest::newRow("path empty") << line(Setting::Path, {}) << QByteArray("AT+PATH,1#\r\n");
    QTest::newRow("alias 1") << line(Setting::Alias, {{Field::Alias, "WIDE1"}})
                             << QByteArray("AT+ALIAS,1#\r\n");
    QTest::newRow("alias 2") << line(Setting::Alias, {{Field::Alias, "WIDE2"}})
                             << QByteArray("AT+ALIAS,2#\r\n");
    QTest::newRow("alias 3") << line(Setting::Alias, {{Field::Alias, "WIDE1+WIDE2"}})
                             << QByteArray("AT+ALIAS,3#\r\n");
    QTest::newRow("alias empty") << line(Setting::Alias, {}) << QByteArray("AT+ALIAS,3#\r\n");
    QTest::newRow("freq") << line(Setting::Freq, {{Field::Freq, "144.6400"}})
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
    SettingsRecord record;
    record.setText(Field::Callsign, QStringLiteral("ABCDEFG"));
    record.setText(Field::Ssid, QStringLiteral("1"));
    QVERIFY(!Commands::settingLine(Setting::Callsign, record).has_value());
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
