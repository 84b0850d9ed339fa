#include "codepage.h"
#include "deviceview.h"
#include "linebuffer.h"
#include "lineparser.h"

#include <QTest>

using namespace telx5;

using Changes = QList<std::pair<Field, QString>>;

namespace {

// A window whose every box holds a recognisable old text, so that any field a
// line touches, and any it leaves, shows up in the comparison.
struct Window
{
    explicit Window(CodePage page = CodePage::Windows1252) : codec(page)
    {
        for (int i = 0; i < FieldCount; ++i)
            record.setText(static_cast<Field>(i), QStringLiteral("old%1").arg(i));
        record.setStatusText(QStringLiteral("S"));
    }

    QStringList snapshot() const
    {
        QStringList state;
        for (int i = 0; i < FieldCount; ++i)
            state << record.text(static_cast<Field>(i));
        state << QStringLiteral("octets %1").arg(record.octetBoxesEnabled());
        state << QStringLiteral("status ") + record.statusText();
        state << QStringLiteral("flags %1%2%3%4%5")
                     .arg(flags.eeramReset)
                     .arg(flags.connectOk)
                     .arg(flags.readEnd)
                     .arg(flags.freqSaved)
                     .arg(flags.wifiWriteOk);
        return state;
    }

    // As the receiver does it: the parser runs after every byte kept.
    void receive(QByteArrayView bytes)
    {
        for (char byte : bytes) {
            if (buffer.feed(byte))
                parser.parseLine(buffer.line());
        }
    }

    RecordView record;
    Flags flags;
    TextCodec codec;
    LineParser parser{record, flags, codec};
    LineBuffer buffer;
};

} // namespace

class TestLineParser : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codePages();
    void decodingIsStatelessPerCall();
    void lineBuffer_data();
    void lineBuffer();
    void lineBufferCap();
    void forms_data();
    void forms();
    void wholeLineEqualsGrowingLine_data();
    void wholeLineEqualsGrowingLine();
    void multiByteTextArrivesWhole_data();
    void multiByteTextArrivesWhole();
    void modKeepsOneCharacterOfMalformedBytes();
    void addressOctetsFillAsCommasArrive();
    void arrivals_data();
    void arrivals();
};

void TestLineParser::codePages()
{
    QCOMPARE(codePageForLanguage(QStringLiteral("1")), CodePage::Gb18030);
    QCOMPARE(codePageForLanguage(QStringLiteral("0")), CodePage::Windows1252);

    const TextCodec western(CodePage::Windows1252);
    const TextCodec chinese(CodePage::Gb18030);
    QVERIFY2(western.isValid(), "windows-1252 is missing from this Qt build");
    QVERIFY2(chinese.isValid(), "GB18030 is missing from this Qt build");
    QCOMPARE(western.encode(QStringLiteral("é€")), QByteArray("\xE9\x80"));
    QCOMPARE(western.decode("\xE9\x80"), QStringLiteral("é€"));
    QCOMPARE(western.encode(QStringLiteral("a中\x1A😀b")), QByteArray("a?\x1A?b"));
    QCOMPARE(chinese.encode(QStringLiteral("公里")), QByteArray("\xB9\xAB\xC0\xEF"));
    QCOMPARE(chinese.decode("\xB9\xAB\xC0\xEF"), QStringLiteral("公里"));

    // The window picks its code page after start-up by assigning a new codec.
    TextCodec chosen;
    chosen = TextCodec(CodePage::Gb18030);
    QCOMPARE(chosen.codePage(), CodePage::Gb18030);
    QCOMPARE(chosen.encode(QStringLiteral("公")), QByteArray("\xB9\xAB"));
}

void TestLineParser::decodingIsStatelessPerCall()
{
    const TextCodec chinese(CodePage::Gb18030);
    chinese.decode("\xB9");
    QCOMPARE(chinese.decode("\xAB"), chinese.decode("\xAB"));
    QVERIFY(!chinese.decode("\xAB").contains(QStringLiteral("公")));
    QCOMPARE(chinese.decode("\xB9\xAB"), QStringLiteral("公"));
}

void TestLineParser::lineBuffer_data()
{
    QTest::addColumn<QByteArray>("received");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("bytes append") << QByteArray("CALLSIG") << QByteArray("CALLSIG");
    QTest::newRow("split arrival") << QByteArray("CALLSIGN:AB") << QByteArray("CALLSIGN:AB");
    QTest::newRow("CR clears") << QByteArray("AB\rCD") << QByteArray("CD");
    QTest::newRow("LF ignored") << QByteArray("AB\nCD") << QByteArray("ABCD");
    QTest::newRow("CR LF ends") << QByteArray("CONNECT\r\n") << QByteArray();
    QTest::newRow("NUL kept") << QByteArray("A\0B", 3) << QByteArray("A\0B", 3);
}

void TestLineParser::lineBuffer()
{
    QFETCH(QByteArray, received);
    QFETCH(QByteArray, line);
    LineBuffer buffer;
    for (char byte : received)
        QVERIFY(buffer.feed(byte));
    QCOMPARE(buffer.line().toByteArray(), line);
}

void TestLineParser::lineBufferCap()
{
    Window window;
    const QByteArray head = "COMMENT TEXT:";
    window.receive(QByteArray(head + QByteArray(LineBuffer::MaxLength - head.size(), 'x')));
    QCOMPARE(window.buffer.line().size(), LineBuffer::MaxLength);
    const QString full = window.record.text(Field::Comment);

    QVERIFY(!window.buffer.feed('y'));
    QVERIFY(window.buffer.feed('\n'));
    window.receive("yyy");
    QCOMPARE(window.buffer.line().size(), LineBuffer::MaxLength);
    QCOMPARE(window.record.text(Field::Comment), full);

    window.receive("\rFREQ:144.3900");
    QCOMPARE(window.record.text(Field::Freq), QStringLiteral("144.3900"));
}

void TestLineParser::forms_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<bool>("octetsEnabled");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("flags"); // eeram, connect, read end, freq, wifi

    const auto row = [](const char *name, const QByteArray &line, bool ok, const Changes &changes,
                        bool octets = true, const QString &status = QStringLiteral("S"),
                        const char *flags = "00000") {
        QTest::newRow(name) << line << ok << changes << octets << status
                            << QString::fromLatin1(flags);
    };
    const auto text = [](const char *value) { return QString::fromUtf8(value); };
    const auto octets = [&](Address a, const char *p, const char *q, const char *r, const char *s) {
        return Changes{{octetField(a, 0), text(p)},
                       {octetField(a, 1), text(q)},
                       {octetField(a, 2), text(r)},
                       {octetField(a, 3), text(s)}};
    };

    row("empty", "", true, {});
    row("unknown", "HELLO:1", true, {});
    row("eeram reset", "eeram reset", true, {}, true, "S", "10000");
    row("CONNECT", "CONNECT", true, {}, true, "S\r\nConnect OK", "01000");
    row("connect lower case", "connect", true, {});
    row("READ END", "READ END", true, {}, true, "S\r\nRead end", "00100");
    row("Read End mixed case", "Read End", true, {});
    row("callsign", "CALLSIGN:AB1CD-7", true,
        {{Field::Callsign, text("AB1CD")}, {Field::Ssid, text("7")}});
    row("callsign keeps blank", "CALLSIGN:AB1CD -7", true,
        {{Field::Callsign, text("AB1CD ")}, {Field::Ssid, text("7")}});
    row("callsign second dash", "CALLSIGN:X-Y-1", true,
        {{Field::Callsign, text("X")}, {Field::Ssid, text("Y-1")}});
    row("callsign empty", "CALLSIGN:-5", true, {{Field::Callsign, {}}, {Field::Ssid, text("5")}});
    row("callsign dash at 9 ignored", "CALLSIGN-AB-3", true,
        {{Field::Callsign, text("AB")}, {Field::Ssid, text("3")}});
    row("callsign without dash", "CALLSIGN:AB1CD", false, {});
    row("callsign short", "CALLSIGN", false, {});
    row("pass", "PASS:40417", true, {{Field::Pass, text("40417")}});
    row("pass trimmed by box", "PASS: 123 ", true, {{Field::Pass, text("123")}});
    row("position", "POSITION:!3035.00N/11417.00Er", true,
        {{Field::Position, text("!3035.00N/11417.00Er")}});
    row("position 9 not examined", "POSITION=abc", true, {{Field::Position, text("abc")}});
    row("dhcp", "DHCP:1#", true, {{Field::Dhcp, text("DHCP")}}, false);
    row("static", "DHCP:0#", true, {{Field::Dhcp, text("STATIC IP")}});
    row("dhcp other code", "DHCP:2", true, {{Field::Dhcp, text("code 2")}}, false);
    row("comment", "COMMENT TEXT:hello", true, {{Field::Comment, text("hello")}});
    row("comment short key", "COMMENT:hello", true, {{Field::Comment, {}}});
    row("comment cut by position", "COMMENT:hello world", true, {{Field::Comment, text(" world")}});
    row("comment keeps hash", "COMMENT TEXT: a,b# ", true, {{Field::Comment, text(" a,b# ")}});
    row("server", "SERVER:china.aprs2.net", true, {{Field::Server, text("china.aprs2.net")}});
    row("sent time", "SENT TIME:0600", true, {{Field::SentTime, text("0600")}});
    row("filter", "FILTER:b/TELX5", true, {{Field::Filter, text("b/TELX5")}});
    row("version", "VER:KT360 V2", true, {{Field::Version, text("KT360 V2")}});
    row("ip", "IP:10,0,0,1", true, octets(Address::Ip, "10", "0", "0", "1"));
    row("mask", "MASK:255,255,255,0", true, octets(Address::Mask, "255", "255", "255", "0"));
    row("gate", "GATE:192,168,1,1", true, octets(Address::Gate, "192", "168", "1", "1"));
    row("dns", "DNS:8,8,8,8", true, octets(Address::Dns, "8", "8", "8", "8"));
    row("ip empty octets", "IP:,,,", true, octets(Address::Ip, "", "", "", ""));
    row("ip extra comma", "IP:1,2,3,4,5", true, octets(Address::Ip, "1", "2", "3", "4,5"));
    row("ip two octets", "IP:10,0", false, {{Field::Ip1, text("10")}});
    row("dns no comma", "DNS:8", false, {});
    row("gate three octets", "GATE:1,2,3", false,
        {{Field::Gate1, text("1")}, {Field::Gate2, text("2")}});
    row("freq", "FREQ:144.3900", true, {{Field::Freq, text("144.3900")}});
    row("freq trimmed by box", "FREQ:144.6400 ", true, {{Field::Freq, text("144.6400")}});
    row("freq save is not freq", "FREQ SAVE", true, {});
    row("backlight 00", "BACKLIGHT:00", true, {{Field::Backlight, text("ON")}});
    row("backlight 0", "BACKLIGHT:0", true, {{Field::Backlight, text("ON")}});
    row("backlight 30", "BACKLIGHT:30", true, {{Field::Backlight, text("30")}});
    row("backlight empty", "BACKLIGHT:", true, {{Field::Backlight, {}}});
    row("unit 1", "UNIT:1", true, {{Field::Unit, text("km")}});
    row("unit 2", "UNIT:2", true, {{Field::Unit, text("mi")}});
    row("unit 3", "UNIT:3", true, {{Field::Unit, text("公里")}});
    row("unit 9", "UNIT:9", true, {{Field::Unit, text("code 9")}});
    row("unit #", "UNIT:#", true, {});
    row("unit ESC", "UNIT:\x1b", true, {});
    row("unit empty", "UNIT:", true, {});
    row("digi 1", "DIGI:1", true, {{Field::Digi, text("1")}});
    row("digi 2", "DIGI:2", true, {{Field::Digi, text("0")}});
    row("digi empty", "DIGI:", true, {{Field::Digi, text("0")}});
    row("mod", "MOD:3", true, {{Field::Mod, text("3")}});
    row("mod first character", "MOD:34", true, {{Field::Mod, text("3")}});
    row("mod empty", "MOD:", true, {{Field::Mod, {}}});
    row("path 0", "PATH:0", true, {{Field::Path, text("None")}});
    row("path 1", "PATH:1", true, {{Field::Path, text("WIDE1-1")}});
    row("path 2", "PATH:2", true, {{Field::Path, text("WIDE1-1WIDE2-1")}});
    row("path 3", "PATH:3", true, {{Field::Path, text("WIDE1-1WIDE2-2")}});
    row("path empty", "PATH:", true, {});
    row("path 4", "PATH:4", true, {{Field::Path, text("code 4")}});
    row("alias 1", "ALIAS:1", true, {{Field::Alias, text("WIDE1")}});
    row("alias 2", "ALIAS:2", true, {{Field::Alias, text("WIDE2")}});
    row("alias 3", "ALIAS:3", true, {{Field::Alias, text("WIDE1+WIDE2")}});
    row("alias 0", "ALIAS:0", true, {{Field::Alias, text("code 0")}});
    row("wifi success", "WIFI Write success", true, {}, true, "S", "00001");
    row("freq save", "freq save", true, {}, true, "S", "00010");
    row("connect longer line", "CONNECT OK", true, {}, true, "S\r\nConnect OK", "01000");
}

void TestLineParser::forms()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, ok);
    QFETCH(Changes, changes);
    QFETCH(bool, octetsEnabled);
    QFETCH(QString, status);
    QFETCH(QString, flags);

    Window window;
    Window expected;
    for (const auto &[field, value] : changes)
        expected.record.setText(field, value);
    expected.record.setOctetBoxesEnabled(octetsEnabled);
    expected.record.setStatusText(status);
    expected.flags.eeramReset = flags[0] == u'1';
    expected.flags.connectOk = flags[1] == u'1';
    expected.flags.readEnd = flags[2] == u'1';
    expected.flags.freqSaved = flags[3] == u'1';
    expected.flags.wifiWriteOk = flags[4] == u'1';

    QCOMPARE(window.parser.parseLine(line), ok);
    QCOMPARE(window.snapshot(), expected.snapshot());
}

void TestLineParser::wholeLineEqualsGrowingLine_data()
{
    QTest::addColumn<QByteArray>("line");
    const char *lines[] = {"eeram reset",
                           "CONNECT",
                           "READ END",
                           "CALLSIGN:AB1CD -10",
                           "PASS:40417",
                           "POSITION:!3035.00N/11417.00ErPHG1010",
                           "DHCP:1#",
                           "DHCP:0#",
                           "COMMENT TEXT:TELX5 144.640MHz",
                           "SERVER:euro.aprs2.net",
                           "SENT TIME:0600",
                           "FILTER:b/TELX5",
                           "VER:KT360 2.1",
                           "IP:192,168,1,99",
                           "MASK:255,255,255,0",
                           "GATE:192,168,1,1",
                           "DNS:8,8,8,8",
                           "FREQ:144.6400",
                           "BACKLIGHT:05",
                           "BACKLIGHT:00",
                           "UNIT:3",
                           "DIGI:1",
                           "MOD:5",
                           "PATH:2",
                           "ALIAS:3",
                           "WIFI Write success",
                           "freq save"};
    for (const char *line : lines)
        QTest::newRow(line) << QByteArray(line);
}

void TestLineParser::wholeLineEqualsGrowingLine()
{
    QFETCH(QByteArray, line);
    Window whole;
    QVERIFY(whole.parser.parseLine(line));
    Window growing;
    growing.receive(QByteArray(line + "\r\n"));
    QCOMPARE(growing.snapshot(), whole.snapshot());
    QVERIFY(growing.snapshot() != Window().snapshot());
}

void TestLineParser::multiByteTextArrivesWhole_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("comment") << QStringLiteral("COMMENT TEXT:") << Field::Comment
                             << QStringLiteral("中文 TELX5 公里")
                             << QStringLiteral("中文 TELX5 公里");
    QTest::newRow("callsign") << QStringLiteral("CALLSIGN:") << Field::Callsign
                              << QStringLiteral("中文-1") << QStringLiteral("中文");
    QTest::newRow("mod two bytes")
        << QStringLiteral("MOD:") << Field::Mod << QStringLiteral("中1") << QStringLiteral("中");
    QTest::newRow("mod four bytes")
        << QStringLiteral("MOD:") << Field::Mod << QStringLiteral("😀2") << QStringLiteral("😀");
    // The first and last characters of each size, and a lead byte at either
    // end: 81 30 81 30 (U+0080), 81 39 81 30, 84 31 A4 39 (U+FFFF), 90 30 81 30
    // (U+10000) take four bytes, 81 40 and FE 50 two.
    const QList<QPair<const char *, QString>> edges{
        {"mod U+0080", QString(QChar(0x80))},   {"mod U+2E91", QString(QChar(0x2E91))},
        {"mod U+FFFF", QString(QChar(0xFFFF))}, {"mod U+10000", QString::fromUcs4(U"\U00010000")},
        {"mod U+4E02", QString(QChar(0x4E02))}, {"mod U+2E81", QString(QChar(0x2E81))}};
    for (const auto &[name, character] : edges)
        QTest::newRow(name) << QStringLiteral("MOD:") << Field::Mod << character + u'2'
                            << character;
    QTest::newRow("ip") << QStringLiteral("IP:") << Field::Ip4 << QStringLiteral("1,2,3,四")
                        << QStringLiteral("四");
}

void TestLineParser::multiByteTextArrivesWhole()
{
    QFETCH(QString, keyword);
    QFETCH(Field, field);
    QFETCH(QString, value);
    QFETCH(QString, shown);

    Window window(CodePage::Gb18030);
    const QByteArray bytes = window.codec.encode(keyword + value);
    QVERIFY(bytes.size() > keyword.size() + value.size());
    window.receive(bytes);
    QCOMPARE(window.record.text(field), shown);
}

void TestLineParser::modKeepsOneCharacterOfMalformedBytes()
{
    Window window(CodePage::Gb18030);
    window.receive(QByteArray("MOD:\xD6\x2C\r\n"));
    QCOMPARE(window.record.text(Field::Mod).size(), 1);
}

void TestLineParser::addressOctetsFillAsCommasArrive()
{
    Window window;
    const QString before = window.record.text(Field::Ip2);
    window.receive("IP:10,");
    QCOMPARE(window.record.text(Field::Ip1), QStringLiteral("10"));
    QCOMPARE(window.record.text(Field::Ip2), before);
    window.receive("0,0,");
    QCOMPARE(window.record.text(Field::Ip3), QStringLiteral("0"));
    QCOMPARE(window.record.text(Field::Ip4), QString());
    window.receive("1");
    QCOMPARE(window.record.text(Field::Ip4), QStringLiteral("1"));
}

void TestLineParser::arrivals_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<Setting>>("arrived");

    QTest::newRow("callsign and SSID")
        << QByteArray("CALLSIGN:AB1C  -7\r\n") << QList<Setting>{Setting::Callsign};
    QTest::newRow("callsign without its dash")
        << QByteArray("CALLSIGN:AB1C\r\n") << QList<Setting>{};
    QTest::newRow("address cut short") << QByteArray("IP:192,168\r\n") << QList<Setting>{};
    QTest::newRow("unknown unit code") << QByteArray("UNIT:9\r\n") << QList<Setting>{Setting::Unit};
    QTest::newRow("empty comment")
        << QByteArray("COMMENT TEXT:\r\n") << QList<Setting>{Setting::Comment};
    QTest::newRow("events only") << QByteArray("CONNECT\r\nREAD END\r\nfreq save\r\n")
                                 << QList<Setting>{};
    QTest::newRow("version and frequency") << QByteArray("VER:KT360 V1.2\r\nFREQ:144.6400\r\n")
                                           << QList<Setting>{Setting::Freq, Setting::Version};
}

// What a read reports as sent is what the parser took as a setting, whatever
// its value; a line it refused is not.
void TestLineParser::arrivals()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QList<Setting>, arrived);

    Window window;
    window.receive(bytes);
    QList<Setting> all;
    for (int index = 0; index < SettingCount; ++index)
        all.append(Setting(index));
    QList<Setting> expectedMissing = all;
    expectedMissing.removeIf([&arrived](Setting setting) { return arrived.contains(setting); });
    QCOMPARE(window.record.record().missing(all), expectedMissing);

    window.record.record().clearArrivals();
    QCOMPARE(window.record.record().missing(all), all);
}

QTEST_GUILESS_MAIN(TestLineParser)
#include "tst_lineparser.moc"
