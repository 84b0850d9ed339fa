#include "codepage.h"
#include "devicesettings.h"
#include "deviceview.h"
#include "entryrules.h"
#include "linebuffer.h"
#include "lineparser.h"
#include "settingsfile.h"

#include <QTest>

using namespace telx5;

namespace {

const QByteArray DefaultFile = "[TELX5]\r\n"
                               "\r\n"
                               "CALLSIGN:NOCALL-10\r\n"
                               "PASS:40417\r\n"
                               "DHCP:1#\r\n"
                               "IP:192,168,1,99\r\n"
                               "MASK:255,255,255,0\r\n"
                               "GATE:192,168,1,1\r\n"
                               "DNS:8,8,8,8\r\n"
                               "POSITION:!3035.00N/11417.00ErPHG1010\r\n"
                               "COMMENT TEXT:TELX5 144.640MHz\r\n"
                               "SERVER:china.aprs2.net\r\n"
                               "SENT TIME:0600\r\n"
                               "FILTER:b/TELX5\r\n"
                               "BACKLIGHT:00\r\n"
                               "FREQ:144.6400\r\n"
                               "UNIT:1\r\n"
                               "DIGI:0\r\n"
                               "MOD:3\r\n"
                               "PATH:1\r\n"
                               "ALIAS:3\r\n";

// Loads content into a fresh record; returns the loader's result.
bool loadInto(RecordView &record, QByteArrayView content, const TextCodec &codec)
{
    Flags flags;
    LineBuffer buffer;
    LineParser parser(record, flags, codec);
    return SettingsFile::load(content, buffer, parser, record, codec).complete();
}

QByteArray savedLine(const RecordView &record, const char *key)
{
    const TextCodec codec;
    for (const QByteArray &line :
         SettingsFile::splitLines(SettingsFile::save(record.record(), codec))) {
        if (line.startsWith(key))
            return line;
    }
    return {};
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void choiceLists();
    void defaultsLeaveOtherState();
    void defaultFile();
    void roundTripOfEveryEntry_data();
    void roundTripOfEveryEntry();
    void savedLines_data();
    void savedLines();
    void splitLines_data();
    void splitLines();
    void loadShowsLinesAndStopsAtMalformed_data();
    void loadShowsLinesAndStopsAtMalformed();
    void deviceAnswerAfterLoad_data();
    void deviceAnswerAfterLoad();
    void keyFilters_data();
    void keyFilters();
    void trimming_data();
    void trimming();
};

void TestSettingsFile::choiceLists()
{
    QCOMPARE(DeviceSettings::ssidChoices().size(), 16);
    QCOMPARE(DeviceSettings::ssidChoices().constLast(), QStringLiteral("15"));
    QCOMPARE(DeviceSettings::dhcpChoices(), (QStringList{"DHCP", "STATIC IP"}));
    QCOMPARE(DeviceSettings::unitChoices(), (QStringList{"km", "mi", "公里"}));
    QCOMPARE(DeviceSettings::serverChoices().size(), 4);
    QCOMPARE(DeviceSettings::serverChoices().constFirst(), QStringLiteral("china.aprs2.net"));
    QCOMPARE(DeviceSettings::backlightChoices().constFirst(), QStringLiteral("ON"));
}

void TestSettingsFile::defaultsLeaveOtherState()
{
    RecordView record;
    record.setText(Field::WifiSsid, QStringLiteral("home"));
    record.setText(Field::WifiPass, QStringLiteral("secret"));
    record.setText(Field::Version, QStringLiteral("KT360 "));
    record.setStatusText(QStringLiteral("status"));
    DeviceSettings::applyDefaults(record.record());
    QCOMPARE(record.octetBoxesEnabled(), true);
    record.setOctetBoxesEnabled(false);
    DeviceSettings::applyDefaults(record.record());

    QCOMPARE(record.octetBoxesEnabled(), false);
    QCOMPARE(record.text(Field::WifiSsid), QStringLiteral("home"));
    QCOMPARE(record.text(Field::WifiPass), QStringLiteral("secret"));
    QCOMPARE(record.text(Field::Version), QStringLiteral("KT360 "));
    QCOMPARE(record.statusText(), QStringLiteral("status"));
    QCOMPARE(record.text(Field::Ctcss), QStringLiteral("--"));
    QCOMPARE(record.text(Field::Dhcp), QStringLiteral("DHCP"));
}

void TestSettingsFile::defaultFile()
{
    RecordView record;
    DeviceSettings::applyDefaults(record.record());
    QCOMPARE(SettingsFile::save(record.record(), TextCodec()), DefaultFile);
    QCOMPARE(SettingsFile::save(record.record(), TextCodec(CodePage::Gb18030)), DefaultFile);

    RecordView loaded;
    QVERIFY(loadInto(loaded, DefaultFile, TextCodec()));
    for (int i = 0; i < FieldCount; ++i) {
        const auto field = static_cast<Field>(i);
        if (field != Field::Ctcss)
            QCOMPARE(loaded.text(field), record.text(field));
    }
    QCOMPARE(loaded.octetBoxesEnabled(), false);
}

void TestSettingsFile::roundTripOfEveryEntry_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("entry");

    const std::pair<Field, QStringList> lists[] = {
        {Field::Unit, DeviceSettings::unitChoices()},
        {Field::Path, DeviceSettings::pathChoices()},
        {Field::Alias, DeviceSettings::aliasChoices()},
        {Field::Backlight, DeviceSettings::backlightChoices()},
        {Field::Mod, DeviceSettings::modChoices()},
        {Field::Ssid, DeviceSettings::ssidChoices()},
        {Field::Dhcp, DeviceSettings::dhcpChoices()},
        {Field::Server, DeviceSettings::serverChoices()},
        {Field::Digi, {QStringLiteral("0"), QStringLiteral("1")}},
    };
    for (const auto &[field, entries] : lists) {
        for (const QString &entry : entries) {
            QTest::addRow("%d %s", static_cast<int>(field), qPrintable(entry)) << field << entry;
        }
    }
}

void TestSettingsFile::roundTripOfEveryEntry()
{
    QFETCH(Field, field);
    QFETCH(QString, entry);

    for (const CodePage page : {CodePage::Windows1252, CodePage::Gb18030}) {
        const TextCodec codec(page);
        RecordView record;
        DeviceSettings::applyDefaults(record.record());
        record.setText(field, entry);
        RecordView loaded;
        QVERIFY(loadInto(loaded, SettingsFile::save(record.record(), codec), codec));
        QCOMPARE(loaded.text(field), entry);
    }
}

void TestSettingsFile::savedLines_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("short callsign")
        << Field::Callsign << QStringLiteral("AB1") << QByteArray("CALLSIGN:AB1   -10");
    QTest::newRow("empty callsign")
        << Field::Callsign << QString() << QByteArray("CALLSIGN:      -10");
    QTest::newRow("long callsign")
        << Field::Callsign << QStringLiteral("ABCDEFGHI") << QByteArray("CALLSIGN:ABCDEFGHI-10");
    QTest::newRow("interval 600") << Field::SentTime << QStringLiteral("600")
                                  << QByteArray("SENT TIME:0600");
    QTest::newRow("empty interval") << Field::SentTime << QString() << QByteArray("SENT TIME:0000");
    QTest::newRow("long interval")
        << Field::SentTime << QStringLiteral("12345") << QByteArray("SENT TIME:12345");
    QTest::newRow("typed unit") << Field::Unit << QStringLiteral("miles") << QByteArray("UNIT:1");
    QTest::newRow("typed path") << Field::Path << QStringLiteral("WIDE2-2") << QByteArray("PATH:1");
    QTest::newRow("typed alias") << Field::Alias << QStringLiteral("x") << QByteArray("ALIAS:3");
    QTest::newRow("typed dhcp") << Field::Dhcp << QStringLiteral("static") << QByteArray("DHCP:1#");
    QTest::newRow("empty octet") << Field::Ip2 << QString() << QByteArray("IP:192,,1,99");
}

void TestSettingsFile::savedLines()
{
    QFETCH(Field, field);
    QFETCH(QString, value);
    QFETCH(QByteArray, line);

    RecordView record;
    DeviceSettings::applyDefaults(record.record());
    record.setText(field, value);
    const qsizetype key = line.indexOf(':');
    QCOMPARE(savedLine(record, line.left(key + 1).constData()), line);
}

void TestSettingsFile::splitLines_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<QByteArray>>("lines");

    QTest::newRow("empty") << QByteArray() << QList<QByteArray>{};
    QTest::newRow("CR LF") << QByteArray("a\r\nb\r\n") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QList<QByteArray>{"a", "b"};
    QTest::newRow("lone LF inside") << QByteArray("a\nb\r\n") << QList<QByteArray>{"a\nb"};
    QTest::newRow("no final terminator") << QByteArray("a\r\nb") << QList<QByteArray>{"a", "b"};
    QTest::newRow("empty lines") << QByteArray("\r\n\r\n") << QList<QByteArray>{"", ""};
    QTest::newRow("CR CR LF") << QByteArray("a\r\r\n") << QList<QByteArray>{"a", ""};
}

void TestSettingsFile::splitLines()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<QByteArray>, lines);
    QCOMPARE(SettingsFile::splitLines(content), lines);
}

void TestSettingsFile::loadShowsLinesAndStopsAtMalformed_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("complete");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("pass");
    QTest::addColumn<QString>("freq");

    QTest::newRow("whole") << QByteArray("PASS:1\r\nFREQ:2") << true
                           << QStringLiteral("PASS:1\r\nFREQ:2\r\n") << QStringLiteral("1")
                           << QStringLiteral("2");
    QTest::newRow("bad callsign") << QByteArray("PASS:1\r\nCALLSIGN:AB\r\nFREQ:2\r\n") << false
                                  << QStringLiteral("PASS:1\r\nCALLSIGN:AB\r\n")
                                  << QStringLiteral("1") << QString();
    QTest::newRow("bad address") << QByteArray("IP:1,2\r\nPASS:1\r\n") << false
                                 << QStringLiteral("IP:1,2\r\n") << QString() << QString();
    QTest::newRow("event line") << QByteArray("READ END\r\nPASS:7\r\n") << true
                                << QStringLiteral("READ END\r\n\r\nRead endPASS:7\r\n")
                                << QStringLiteral("7") << QString();
}

void TestSettingsFile::loadShowsLinesAndStopsAtMalformed()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, complete);
    QFETCH(QString, status);
    QFETCH(QString, pass);
    QFETCH(QString, freq);

    RecordView record;
    QCOMPARE(loadInto(record, content, TextCodec()), complete);
    QCOMPARE(record.statusText(), status);
    QCOMPARE(record.text(Field::Pass), pass);
    QCOMPARE(record.text(Field::Freq), freq);
}

void TestSettingsFile::deviceAnswerAfterLoad_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("whole file") << QByteArray(DefaultFile);
    QTest::newRow("last line without line end") << QByteArray("PASS:1\r\nALIAS:3");
    QTest::newRow("stopped at a malformed line") << QByteArray("PASS:1\r\nIP:1,2\r\nMOD:3\r\n");
}

// A write after a load waits for the device's "freq save"; the loaded lines
// must not run into it.
void TestSettingsFile::deviceAnswerAfterLoad()
{
    QFETCH(QByteArray, content);

    RecordView record;
    Flags flags;
    LineBuffer buffer;
    const TextCodec codec;
    LineParser parser(record, flags, codec);
    SettingsFile::load(content, buffer, parser, record, codec);

    for (char byte : QByteArrayView("freq save")) {
        if (buffer.feed(byte))
            parser.parseLine(buffer.line());
    }
    QVERIFY(flags.freqSaved);
}

void TestSettingsFile::keyFilters_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QString>("freq");

    QTest::newRow("letters") << QStringLiteral("nocall") << QStringLiteral("NOCALL") << QString()
                             << QString();
    QTest::newRow("mixed") << QStringLiteral("b1-x") << QStringLiteral("B1-X")
                           << QStringLiteral("1") << QStringLiteral("1");
    QTest::newRow("interval") << QStringLiteral("12a3 ") << QStringLiteral("12A3 ")
                              << QStringLiteral("123") << QStringLiteral("123");
    QTest::newRow("frequency") << QStringLiteral("144.6/4-,") << QStringLiteral("144.6/4-,")
                               << QStringLiteral("14464") << QStringLiteral("144.6/4");
    QTest::newRow("backspace") << QStringLiteral("\b") << QStringLiteral("\b")
                               << QStringLiteral("\b") << QStringLiteral("\b");
    QTest::newRow("paste keys") << QStringLiteral("\x16\x03\x18\x1A\r")
                                << QStringLiteral("\x16\x03\x18\x1A\r") << QString() << QString();
    QTest::newRow("non-ascii") << QStringLiteral("äz") << QStringLiteral("äZ") << QString()
                               << QString();
}

void TestSettingsFile::keyFilters()
{
    QFETCH(QString, typed);
    QFETCH(QString, callsign);
    QFETCH(QString, digits);
    QFETCH(QString, freq);

    QString shownCallsign, shownDigits, shownFreq;
    for (const QChar key : typed) {
        shownCallsign += EntryRules::filterCallsignKey(key);
        shownDigits += EntryRules::filterDigitKey(key);
        shownFreq += EntryRules::filterFreqKey(key);
    }
    QCOMPARE(shownCallsign, callsign);
    QCOMPARE(shownDigits, digits);
    QCOMPARE(shownFreq, freq);
}

void TestSettingsFile::trimming_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("set");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("limit");

    QTest::newRow("interval") << Field::SentTime << QStringLiteral(" 600") << QStringLiteral("600")
                              << 5;
    QTest::newRow("pass") << Field::Pass << QStringLiteral(" 1 2 ") << QStringLiteral("1 2") << 5;
    QTest::newRow("freq") << Field::Freq << QStringLiteral("144.6400 ")
                          << QStringLiteral("144.6400") << 8;
    QTest::newRow("freq keeps tab")
        << Field::Freq << QStringLiteral("\t1 ") << QStringLiteral("\t1") << 8;
    QTest::newRow("comment untouched")
        << Field::Comment << QStringLiteral(" hi ") << QStringLiteral(" hi ") << 40;
    QTest::newRow("callsign untouched")
        << Field::Callsign << QStringLiteral("AB  ") << QStringLiteral("AB  ") << 6;
    QTest::newRow("octets unlimited")
        << Field::Ip1 << QStringLiteral(" 1") << QStringLiteral(" 1") << 0;
}

void TestSettingsFile::trimming()
{
    QFETCH(Field, field);
    QFETCH(QString, set);
    QFETCH(QString, shown);
    QFETCH(int, limit);

    RecordView record;
    record.setText(field, set);
    QCOMPARE(record.text(field), shown);
    QCOMPARE(EntryRules::typingLimit(field), limit);
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
