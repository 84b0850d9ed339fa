#include "checks.h"
#include "codepage.h"
#include "devicesettings.h"
#include "settingsrecord.h"

#include <QTest>

using namespace telx5;

namespace {

using Changes = QList<std::pair<Field, QString>>;

// The Default values, static addressing, sound Wi-Fi credentials, and the
// passcode that belongs to the callsign: a record without problems.
SettingsRecord soundRecord()
{
    SettingsRecord record;
    DeviceSettings::applyDefaults(record);
    record.setText(Field::Callsign, QStringLiteral("N0CALL"));
    record.setText(Field::Pass, QStringLiteral("13023"));
    record.setText(Field::Dhcp, DeviceSettings::StaticIp);
    record.setText(Field::WifiSsid, QStringLiteral("home"));
    record.setText(Field::WifiPass, QStringLiteral("12345678"));
    return record;
}

QList<Problem> problemsAfter(const Changes &changes)
{
    SettingsRecord record = soundRecord();
    for (const auto &[field, text] : changes)
        record.setText(field, text);
    return Checks::problems(record, Checks::Scope::WithWifi, TextCodec());
}

} // namespace

Q_DECLARE_METATYPE(Changes)
Q_DECLARE_METATYPE(Barrier)

class TestChecks : public QObject
{
    Q_OBJECT

private slots:
    void passcode_data();
    void passcode();
    void soundRecordHasNoProblem();
    void defaultsHaveNoError();
    void problem_data();
    void problem();
    void sound_data();
    void sound();
    void describePosition_data();
    void describePosition();
};

void TestChecks::passcode_data()
{
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<int>("expected");
    QTest::newRow("N0CALL") << "N0CALL" << 13023;
    QTest::newRow("lower case") << "n0call" << 13023;
    // Both characters of every pair count in upper case.
    QTest::newRow("lower case in every pair") << "bh4abc" << 18344;
    QTest::newRow("SSID left out") << "N0CALL-9" << 13023;
    QTest::newRow("NOCALL") << "NOCALL" << 12960;
    QTest::newRow("WB4APR") << "WB4APR" << 16563;
    QTest::newRow("odd length") << "W5ISP" << 15748;
}

void TestChecks::passcode()
{
    QFETCH(QString, callsign);
    QFETCH(int, expected);
    QCOMPARE(Checks::passcode(callsign), expected);
}

void TestChecks::soundRecordHasNoProblem()
{
    QCOMPARE(Checks::problems(soundRecord(), Checks::Scope::WithWifi, TextCodec()).size(), 0);
}

void TestChecks::defaultsHaveNoError()
{
    SettingsRecord record;
    DeviceSettings::applyDefaults(record);
    const QList<Problem> found = Checks::problems(record, Checks::Scope::FileSettings, TextCodec());
    QVERIFY2(!Checks::hasErrors(found), qPrintable(found.value(2).text));
    // The placeholder callsign is none, and the default passcode is not its.
    QCOMPARE(found.size(), 2);
    QCOMPARE(found[0].field, Field::Callsign);
    QCOMPARE(found[1].field, Field::Pass);
    QCOMPARE(found[1].text, QStringLiteral("Pass 40417 does not belong to NOCALL; its passcode is "
                                           "12960"));
}

void TestChecks::problem_data()
{
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<Field>("field");
    QTest::addColumn<Severity>("severity");
    QTest::addColumn<QString>("text"); // empty: not compared
    QTest::addColumn<Barrier>("barrier");

    const auto E = Severity::Error;
    const auto W = Severity::Warning;
    const auto row = [](const char *name, Changes changes, Field field, Severity severity,
                        const char *text = "", Barrier barrier = Barrier::None) {
        QTest::newRow(name) << changes << field << severity << QString::fromUtf8(text) << barrier;
    };
    // How a value travels: what the gate stops, on every text setting.
    const auto Strict = Barrier::Strict;
    row("line feed in the comment", {{Field::Comment, "abc\nAT+RESET\nxyz"}}, Field::Comment, E,
        "Holds the control character U+000A, which would change the command the device receives",
        Barrier::Meaning);
    row("CR in the filter", {{Field::Filter, "b/A\rB"}}, Field::Filter, E, "", Barrier::Meaning);
    row("NUL in the comment", {{Field::Comment, QStringLiteral("a%1b").arg(QChar(0))}},
        Field::Comment, E, "", Barrier::Meaning);
    row("ESC in the position", {{Field::Position, "!3035.00N/11417.00Er\x1b[2J"}}, Field::Position,
        E, "", Barrier::Meaning);
    row("DEL in the comment", {{Field::Comment, "x\x7f"}}, Field::Comment, E, "", Barrier::Meaning);
    row("comment beyond the code page", {{Field::Comment, "\u4E2D\u6587"}}, Field::Comment, E,
        "2 characters cannot be sent in this language setting and would become '?'",
        Barrier::CodePage);
    row("# in the comment", {{Field::Comment, "a#b"}}, Field::Comment, W, "", Strict);
    row("symbol filter of the digipeater", {{Field::Filter, "s//#"}}, Field::Filter, W, "", Strict);
    row("comment of 41", {{Field::Comment, QString(41, QLatin1Char('c'))}}, Field::Comment, W,
        "41 characters: its box takes 40", Strict);
    row("filter of 17", {{Field::Filter, "b/N0CALL/BH4ABC/X"}}, Field::Filter, W, "", Strict);
    row("position of 62",
        {{Field::Position, "!3035.00N/11417.00Er" + QString(42, QLatin1Char('p'))}},
        Field::Position, W, "", Strict);
    row("kept unit code", {{Field::Unit, "code 0"}}, Field::Unit, W,
        "Code 0 is none this program knows: it is kept and written back as it is");
    row("unit typed", {{Field::Unit, "xx"}}, Field::Unit, E,
        "“xx” is not one of the list's entries: it would be written as code 2");
    row("dhcp typed", {{Field::Dhcp, "dhcp"}}, Field::Dhcp, E);
    row("backlight typed", {{Field::Backlight, "45"}}, Field::Backlight, W,
        "“45” is not one of the list's entries; it is sent as it stands");
    row("mod 6", {{Field::Mod, "6"}}, Field::Mod, W);
    row("server of its own", {{Field::Server, "rotate.aprs2.net"}}, Field::Server, W);
    row("Wi-Fi name with a comma", {{Field::WifiSsid, "my,net"}}, Field::WifiSsid, W, "", Strict);
    row("Wi-Fi password with #", {{Field::WifiPass, "pass#word"}}, Field::WifiPass, W, "", Strict);
    row("Wi-Fi password with LF", {{Field::WifiPass, "password\n"}}, Field::WifiPass, E, "",
        Barrier::Meaning);
    row("Wi-Fi name beyond the code page", {{Field::WifiSsid, "caf\u00e9\u2603"}}, Field::WifiSsid,
        E, "", Barrier::CodePage);
    row("Wi-Fi password empty", {{Field::WifiPass, ""}}, Field::WifiPass, W, "", Strict);

    row("callsign without digit", {{Field::Callsign, "NOCALL"}, {Field::Pass, "12960"}},
        Field::Callsign, W, "NOCALL is not a callsign: it needs letters and a digit");
    row("callsign of seven", {{Field::Callsign, "BH4ABCD"}}, Field::Callsign, E);
    row("SSID 16", {{Field::Ssid, "16"}}, Field::Ssid, E, "SSID “16” is not a number from 0 to 15");
    row("pass of another callsign", {{Field::Pass, "12960"}}, Field::Pass, W,
        "Pass 12960 does not belong to N0CALL; its passcode is 13023");

    row("latitude 90 and a minute", {{Field::Position, "!9000.01N/11417.00Er"}}, Field::Position,
        E);
    row("longitude 180 and a minute", {{Field::Position, "!3035.00N/18000.01Er"}}, Field::Position,
        E);
    row("minutes 60", {{Field::Position, "!3060.00N/11417.00Er"}}, Field::Position, E,
        "Minutes 60.00 are not below 60");
    row("hemisphere X", {{Field::Position, "!3035.00X/11417.00Er"}}, Field::Position, W,
        "X is not N or S");
    row("longitude hemisphere N", {{Field::Position, "!3035.00N/11417.00Nr"}}, Field::Position, W);
    row("no report", {{Field::Position, "hello"}}, Field::Position, W);
    row("bad PHG", {{Field::Position, "!3035.00N/11417.00ErPHG10"}}, Field::Position, W);
    row("bad symbol table", {{Field::Position, "!3035.00N*11417.00Er"}}, Field::Position, W);

    row("octet 256", {{Field::Ip3, "256"}}, Field::Ip3, E, "256 is over 255");
    row("empty octet", {{Field::Gate2, ""}}, Field::Gate2, E, "Empty octet");
    row("mask with a gap", {{Field::Mask2, "0"}}, Field::Mask3, E);
    row("mask not contiguous in an octet", {{Field::Mask4, "5"}}, Field::Mask4, E);
    row("gateway outside", {{Field::Gate3, "2"}}, Field::Gate3, W,
        "The gateway is outside the subnet of the IP address");
    row("network address", {{Field::Ip4, "0"}}, Field::Ip4, W);
    row("broadcast address", {{Field::Ip4, "255"}}, Field::Ip4, W);
    row("broadcast of a /16", {{Field::Mask3, "0"}, {Field::Ip3, "255"}, {Field::Ip4, "255"}},
        Field::Ip3, W);

    row("unknown filter", {{Field::Filter, "x/ABC"}}, Field::Filter, W);
    row("range without distance", {{Field::Filter, "r/30/114"}}, Field::Filter, W,
        "r/30/114 does not have the form r/lat/lon/dist");
    row("range latitude 91", {{Field::Filter, "r/91/114/50"}}, Field::Filter, W);
    row("empty budlist", {{Field::Filter, "b/"}}, Field::Filter, W);
    row("unknown type", {{Field::Filter, "t/x"}}, Field::Filter, W);
    row("area of three", {{Field::Filter, "a/31/113/30"}}, Field::Filter, W);
    row("q of unknown construct", {{Field::Filter, "q/Y"}}, Field::Filter, W);
    row("my range of text", {{Field::Filter, "m/far"}}, Field::Filter, W);
    row("friend without distance", {{Field::Filter, "f/BH4ABC"}}, Field::Filter, W);
    row("second term bad", {{Field::Filter, "m/50 z"}}, Field::Filter, W);

    row("frequency 999", {{Field::Freq, "999"}}, Field::Freq, W);
    row("frequency just past the band", {{Field::Freq, "148.0001"}}, Field::Freq, W);
    row("frequency just below the band", {{Field::Freq, "143.9999"}}, Field::Freq, W);
    row("frequency abc", {{Field::Freq, "abc"}}, Field::Freq, E, "“abc” is not a frequency in MHz");
    row("frequency with slash", {{Field::Freq, "144/64"}}, Field::Freq, E);
    row("interval zero", {{Field::SentTime, "0000"}}, Field::SentTime, W);
    row("interval empty", {{Field::SentTime, ""}}, Field::SentTime, W);
    row("path typed", {{Field::Path, "WIDE2-2"}}, Field::Path, E);
    row("alias typed", {{Field::Alias, "WIDE3"}}, Field::Alias, E);

    row("mask 0.0.0.0",
        {{Field::Mask1, "0"}, {Field::Mask2, "0"}, {Field::Mask3, "0"}, {Field::Mask4, "0"}},
        Field::Mask1, E);
    row("device on loopback", {{Field::Ip1, "127"}}, Field::Ip1, E);
    row("device on multicast", {{Field::Ip1, "224"}}, Field::Ip1, E);
    row("device on the last unicast block", {{Field::Ip1, "223"}}, Field::Gate1, W);
    row("name server 0.0.0.0",
        {{Field::Dns1, "0"}, {Field::Dns2, "0"}, {Field::Dns3, "0"}, {Field::Dns4, "0"}},
        Field::Dns1, E);
    row("server empty", {{Field::Server, ""}}, Field::Server, E);
    row("server not a host name", {{Field::Server, "bad host!"}}, Field::Server, E);
    row("server octet 999", {{Field::Server, "999.1.1.1"}}, Field::Server, E);
    row("receive-only pass", {{Field::Pass, "-1"}}, Field::Pass, W,
        "Receive-only: the APRS-IS server will not gate this device's packets");
    row("lower-case callsign", {{Field::Callsign, "n0call"}}, Field::Callsign, W);
    row("interval of 59 s", {{Field::SentTime, "59"}}, Field::SentTime, W);
    row("timestamp goes stale", {{Field::Position, "@092345z3035.00N/11417.00Er"}}, Field::Position,
        W);
    row("timestamp of day 32", {{Field::Position, "@322345z3035.00N/11417.00Er"}}, Field::Position,
        W);
    row("ambiguity unlike", {{Field::Position, "!3035.  N/11417.0 Er"}}, Field::Position, W);
    row("blank amid the digits", {{Field::Position, "!30 5.00N/11417.00Er"}}, Field::Position, W);
    row("compressed cut short", {{Field::Position, "!/5L!!<*e7>7P"}}, Field::Position, W);
    row("compressed beyond 90", {{Field::Position, "!/{{{{<*e7>7P["}}, Field::Position, E);
    row("course 361", {{Field::Position, "!3035.00N/11417.00Er361/010"}}, Field::Position, E,
        "Course 361 is beyond 360°");
    row("area corners reversed", {{Field::Filter, "a/30/-90/40/-100"}}, Field::Filter, W);
    row("q empty", {{Field::Filter, "q/"}}, Field::Filter, W);
    row("prefix with a wildcard", {{Field::Filter, "p/BG*"}}, Field::Filter, W);
    row("range under 0.1 km", {{Field::Filter, "m/0.09"}}, Field::Filter, W);
    row("Wi-Fi name empty, a password typed",
        {{Field::WifiSsid, ""}, {Field::WifiPass, "password"}}, Field::WifiSsid, W);
    row("Wi-Fi name of 33 bytes", {{Field::WifiSsid, QString(33, QLatin1Char('n'))}},
        Field::WifiSsid, W, "", Strict);
    row("Wi-Fi password of 7", {{Field::WifiPass, "1234567"}}, Field::WifiPass, E);
    row("Wi-Fi password of 64", {{Field::WifiPass, QString(64, QLatin1Char('x'))}}, Field::WifiPass,
        W, "", Strict);
}

void TestChecks::problem()
{
    QFETCH(Changes, changes);
    QFETCH(Field, field);
    QFETCH(Severity, severity);
    QFETCH(QString, text);
    QFETCH(Barrier, barrier);

    const QList<Problem> found = problemsAfter(changes);
    QVERIFY2(found.size() == 1, qPrintable(found.value(1).text));
    QCOMPARE(found[0].field, field);
    QCOMPARE(found[0].severity, severity);
    QCOMPARE(found[0].barrier, barrier);
    // The gate: what a write stops for, with nothing allowed and with all.
    const bool stopsAlways = barrier == Barrier::Meaning || barrier == Barrier::CodePage;
    QCOMPARE(Checks::refusals(found, {}).size(), stopsAlways ? 1 : 0);
    QCOMPARE(Checks::refusals(found, {.lossy = true, .strict = true}).size(),
             barrier == Barrier::CodePage ||
                     (barrier == Barrier::None && severity == Severity::Warning)
                 ? 0
                 : 1);
    QCOMPARE(Checks::hasErrors(found), severity == Severity::Error);
    if (!text.isEmpty())
        QCOMPARE(found[0].text, text);
}

void TestChecks::sound_data()
{
    QTest::addColumn<Changes>("changes");
    const auto row = [](const char *name, Changes changes) { QTest::newRow(name) << changes; };

    row("padded callsign", {{Field::Callsign, "W5ISP "}, {Field::Pass, "15748"}});
    row("SSID 15", {{Field::Ssid, "15"}});
    row("latitude 90", {{Field::Position, "!9000.00N/11417.00Er"}});
    row("longitude 180 west", {{Field::Position, "=3035.00S/18000.00Wr"}});
    row("minutes 59.99", {{Field::Position, "!3059.99N/11459.99E-"}});
    row("overlay and comment", {{Field::Position, "!3035.00NA11417.00E&hello there"}});
    row("PHG and comment", {{Field::Position, "!3035.00N\\11417.00E&PHG5132 TELX5"}});
    row("mask /32", {{Field::Mask4, "255"}, {Field::Gate4, "99"}});
    // Two addresses, both a host's: neither is a network or broadcast address.
    row("mask /31, the upper host", {{Field::Mask4, "254"}, {Field::Gate4, "98"}});
    row("mask /31, the lower host",
        {{Field::Mask4, "254"}, {Field::Ip4, "98"}, {Field::Gate4, "99"}});
    row("ambiguity of 4 digits", {{Field::Position, "!30  .  N/114  .  Er"}});
    row("compressed", {{Field::Position, "!/5L!!<*e7>7P["}});
    row("course 360", {{Field::Position, "!3035.00N/11417.00Er360/010"}});
    row("server by its address", {{Field::Server, "203.86.195.182"}});
    row("upper-case filter letter", {{Field::Filter, "R/33/-97/200"}});
    row("q of qAO", {{Field::Filter, "q/CO"}});
    row("type of CWOP and any", {{Field::Filter, "t/c*"}});
    row("range of 0.1 km", {{Field::Filter, "m/0.1"}});
    row("interval of a minute", {{Field::SentTime, "60"}});
    row("dhcp ignores octets", {{Field::Dhcp, "DHCP"}, {Field::Ip1, "999"}, {Field::Mask2, "1"}});
    row("filter empty", {{Field::Filter, ""}});
    row("range", {{Field::Filter, "r/30.5/-114/50"}});
    row("prefix", {{Field::Filter, "p/BH/BG"}});
    row("budlist", {{Field::Filter, "b/BH4*/N0CALL"}});
    row("object", {{Field::Filter, "o/TEST"}});
    row("type", {{Field::Filter, "t/poimqstunw"}});
    row("type around a call", {{Field::Filter, "t/w/BH4ABC/50"}});
    row("symbol", {{Field::Filter, "s/->"}});
    row("digipeater", {{Field::Filter, "d/WIDE1*"}});
    row("area", {{Field::Filter, "a/31/113/30/115"}});
    row("entry", {{Field::Filter, "e/BH4ABC"}});
    row("group", {{Field::Filter, "g/BLN*"}});
    row("unproto", {{Field::Filter, "u/APRS"}});
    row("q construct", {{Field::Filter, "q/C/I"}});
    row("my range", {{Field::Filter, "m/50"}});
    row("friend", {{Field::Filter, "f/BH4ABC/20"}});
    row("excluded and several", {{Field::Filter, "m/50 -p/CW"}});
    row("frequency 148", {{Field::Freq, "148"}});
    row("frequency 144", {{Field::Freq, "144.0000"}});
    row("Wi-Fi boxes both empty", {{Field::WifiSsid, ""}, {Field::WifiPass, ""}});
    row("Wi-Fi name of 32 bytes", {{Field::WifiSsid, QString(32, QLatin1Char('n'))}});
    row("comment of 40", {{Field::Comment, QString(40, QLatin1Char('c'))}});
    row("filter of 16", {{Field::Filter, "b/N0CALL/BH4ABCD"}});
    row("position of 61",
        {{Field::Position, "!3035.00N/11417.00Er" + QString(41, QLatin1Char('p'))}});
    row("Western comment", {{Field::Comment, "caf\u00e9"}});
    row("Wi-Fi password of 63", {{Field::WifiPass, QString(63, QLatin1Char('x'))}});
}

void TestChecks::sound()
{
    QFETCH(Changes, changes);
    const QList<Problem> found = problemsAfter(changes);
    QVERIFY2(found.isEmpty(), qPrintable(found.value(0).text));
}

void TestChecks::describePosition_data()
{
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("words"); // empty: no report
    QTest::newRow("default")
        << "!3035.00N/11417.00ErPHG1010"
        << "30°35.00′ N, 114°17.00′ E, symbol /r; PHG: 1 W, 10 ft, 1 dBi, omni";
    QTest::newRow("directional PHG") << "=0512.50S\\00130.25W-PHG5132 comment"
                                     << "5°12.50′ S, 1°30.25′ W, symbol \\-; PHG: 25 W, 20 ft, "
                                        "3 dBi, east";
    QTest::newRow("without PHG") << "!3035.00N/11417.00Er hello"
                                 << "30°35.00′ N, 114°17.00′ E, symbol /r";
    QTest::newRow("latitude over 90") << "!9100.00N/11417.00Er"
                                      << "";
    const QString here = QStringLiteral("30°35.00′ N, 114°17.00′ E, symbol /r");
    QTest::newRow("ambiguous to 0.1′") << "!3035.0 N/11417.0 Er" << here + "; to within 0.1′";
    QTest::newRow("ambiguous to 1′") << "!3035.  N/11417.  Er" << here + "; to within 1′";
    QTest::newRow("ambiguous to 10′") << "!303 .  N/1141 .  Er"
                                      << "30°30.00′ N, 114°10.00′ E, symbol /r; to within 10′";
    QTest::newRow("ambiguous to 1°") << "!30  .  N/114  .  Er"
                                     << "30°00.00′ N, 114°00.00′ E, symbol /r; to within 1°";
    QTest::newRow("ambiguous latitude only") << "!3035.  N/11417.00Er" << here + "; to within 1′";
    const QString compressed = QStringLiteral("49°30.00′ N, 72°45.00′ W, symbol ");
    QTest::newRow("compressed") << "!/5L!!<*e7>7P[" << compressed + "/>";
    QTest::newRow("compressed, no course") << "=/5L!!<*e7> sT" << compressed + "/>";
    QTest::newRow("compressed, alternate table") << "!\\5L!!<*e7&  T" << compressed + "\\&";
    QTest::newRow("compressed overlay") << "!A5L!!<*e7&  T" << compressed + "A&";
    QTest::newRow("compressed, a comment") << "!/5L!!<*e7>7P[ hello" << compressed + "/>";
    QTest::newRow("compressed, timestamped") << "@092345z/5L!!<*e7>7P[" << compressed + "/>";
    QTest::newRow("timestamp in UTC") << "@092345z3035.00N/11417.00Er" << here;
    QTest::newRow("timestamp local") << "@092345/3035.00N/11417.00Er" << here;
    QTest::newRow("timestamp of seconds") << "/092345h3035.00N\\11417.00W&"
                                          << "30°35.00′ N, 114°17.00′ W, symbol \\&";
    QTest::newRow("timestamped south") << "/234517h3035.00S/11417.00W-"
                                       << "30°35.00′ S, 114°17.00′ W, symbol /-";
    QTest::newRow("longitude 181") << "!3035.00N/18100.00Er"
                                   << "";
    QTest::newRow("compressed cut short") << "!/5L!!<*e7>7P"
                                          << "";
    QTest::newRow("not a report") << "hello"
                                  << "";
}

void TestChecks::describePosition()
{
    QFETCH(QString, position);
    QFETCH(QString, words);
    const std::optional<QString> described = Checks::describePosition(position);
    QCOMPARE(described.value_or(QString()), words);
    // A report read whole draws no word on its form; a timestamp, one that it
    // goes stale.
    const QList<Problem> found = problemsAfter({{Field::Position, position}});
    if (!words.isEmpty())
        QVERIFY2(found.isEmpty() ||
                     (found.size() == 1 && found[0].text.contains(QStringLiteral("goes stale"))),
                 qPrintable(found.value(0).text));
}

QTEST_GUILESS_MAIN(TestChecks)
#include "tst_checks.moc"
