#include "simlink.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

using namespace telx5;
using telx5::testing::SimLink;

namespace {

// Answered by the device with a line of its own; sent last, so that the test
// can wait for the device to have handled everything before it.
const QByteArray Sentinel = "AT+RESET#\r\n";
const QByteArray SentinelAnswer = "eeram reset\r\n";
// The same for a test that looks at the settings afterwards: the reset would
// put back the factory ones.
const QByteArray SettingsSentinel = "\r\nSETUP#\r\n";
const QByteArray SettingsSentinelAnswer = "CONNECT\r\n";
// 400 bytes: 35 ms on the wire at 115200 baud.
const QByteArray WireLines = QByteArray("AT+PASS,24680#\r\n").repeated(25);

QByteArray header(int length)
{
    QByteArray h(5, '\0');
    h[0] = '\x5E';
    h[1] = static_cast<char>((length % 2048) / 256);
    h[2] = static_cast<char>(length % 256);
    h[3] = static_cast<char>(length / 2048);
    h[4] = '\xE5';
    return h;
}

QByteArray frame(const QByteArray &image, int block, bool corrupt = false, char padding = '\xFF')
{
    QByteArray data = image.mid(block * 2048, 2048);
    data.append(QByteArray(2048 - data.size(), padding));
    char sum = 0;
    for (const char b : std::as_const(data))
        sum = static_cast<char>(sum ^ b);
    if (corrupt)
        sum = static_cast<char>(sum ^ 0x01);
    return data + QByteArray(1, sum);
}

QByteArray imageOf(int length)
{
    QByteArray image(length, '\0');
    for (int i = 0; i < length; ++i)
        image[i] = static_cast<char>((i * 31 + i / 2048) & 0xFF);
    return image;
}

QByteArray crlfLines(const QList<QByteArray> &lines)
{
    QByteArray all;
    for (const QByteArray &line : lines)
        all += line + "\r\n";
    return all;
}

} // namespace

class TestSimDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void commandsAnswered_data();
    void commandsAnswered();
    void writeCommandsStoreTheirValue_data();
    void writeCommandsStoreTheirValue();
    void readListsEverySettingInDeviceForms();
    void readReportsWhatWasWritten();
    void connectAnsweredFromTheNthSetupLine_data();
    void connectAnsweredFromTheNthSetupLine();
    void silentDeviceAnswersAndStoresNothing();
    void ignoredCommandsAreNeitherStoredNorAnswered();
    void garbageGoesAheadOfAnswers();
    void fragmentsArriveInSeparateReads();
    void pacingAndDelaysSlowTheAnswer_data();
    void pacingAndDelaysSlowTheAnswer();
    void bytesSentWhileThePortIsClosedAreLost();
    void outputLargerThanThePtyBufferArrivesWhole();
    void linesFromABriefOpenArriveWithoutReopening();
    void bootLoaderTakesAWholeImage_data();
    void bootLoaderTakesAWholeImage();
    void badChecksumAsksForTheBlockAgain_data();
    void badChecksumAsksForTheBlockAgain();
    void bootLoaderFallsSilentAfterAChosenBlock();
    void bootLoaderTakesItsTimeOverEachBlock();
    void bootLoaderAnswersARepeatedProbe();
    void bootLoaderWithoutProbeStartsTheFirmware_data();
    void bootLoaderWithoutProbeStartsTheFirmware();
    void overlongLineIsForgotten();
    void vanishedDeviceTakesItsPortAway();
    void pacedLineGarblesBytesSentAtTheWrongSpeed_data();
    void pacedLineGarblesBytesSentAtTheWrongSpeed();

private:
    std::unique_ptr<SimLink> m_sim;
    bool startSim();
};

void TestSimDevice::init()
{
    m_sim = std::make_unique<SimLink>();
}

bool TestSimDevice::startSim()
{
    const QString error = m_sim->start();
    if (!error.isEmpty())
        qWarning("%s", qPrintable(error));
    return error.isEmpty();
}

void TestSimDevice::commandsAnswered_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QByteArray>("answer");
    QTest::newRow("connect") << QByteArray("\r\nSETUP#\r\n") << QByteArray("CONNECT\r\n");
    QTest::newRow("frequency") << QByteArray("\r\nAT+FREQ,144.3900#\r\n")
                               << QByteArray("freq save\r\n");
    QTest::newRow("wifi") << QByteArray("AT+WIFI,home,secret#\r\n")
                          << QByteArray("WIFI Write success\r\n");
    QTest::newRow("eeram reset") << QByteArray("AT+RESET#\r\n") << QByteArray("eeram reset\r\n");
    QTest::newRow("plain write gets no answer") << QByteArray("AT+PASS,1234#\r\n") << QByteArray();
    QTest::newRow("unknown line gets no answer") << QByteArray("HELLO\r\n") << QByteArray();
    QTest::newRow("lower case is not a command") << QByteArray("setup#\r\n") << QByteArray();
    QTest::newRow("LF alone ends a command line")
        << QByteArray("SETUP#\n") << QByteArray("CONNECT\r\n");
}

void TestSimDevice::commandsAnswered()
{
    QFETCH(QByteArray, sent);
    QFETCH(QByteArray, answer);
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(QByteArray(sent + Sentinel)));
    QTRY_COMPARE(m_sim->arrived, answer + SentinelAnswer);
    QCOMPARE(m_sim->device.received(), sent + Sentinel);
}

void TestSimDevice::writeCommandsStoreTheirValue_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QList<int>>("fields");
    QTest::addColumn<QStringList>("values");
    auto f = [](std::initializer_list<Field> list) {
        QList<int> out;
        for (Field field : list)
            out << static_cast<int>(field);
        return out;
    };
    QTest::newRow("callsign padded to six")
        << QByteArray("AT+CALL,AB1C  -7#") << f({Field::Callsign, Field::Ssid})
        << QStringList{QStringLiteral("AB1C"), QStringLiteral("7")};
    QTest::newRow("pass") << QByteArray("AT+PASS,24680#") << f({Field::Pass})
                          << QStringList{QStringLiteral("24680")};
    QTest::newRow("static addressing")
        << QByteArray("AT+DHCP,0#") << f({Field::Dhcp}) << QStringList{QStringLiteral("STATIC IP")};
    QTest::newRow("dhcp") << QByteArray("AT+DHCP,1#") << f({Field::Dhcp})
                          << QStringList{QStringLiteral("DHCP")};
    QTest::newRow("ip") << QByteArray("AT+IP,10,0,,1#")
                        << f({Field::Ip1, Field::Ip2, Field::Ip3, Field::Ip4})
                        << QStringList{QStringLiteral("10"), QStringLiteral("0"), QString(),
                                       QStringLiteral("1")};
    QTest::newRow("mask") << QByteArray("AT+SUB,255,255,0,0#") << f({Field::Mask3})
                          << QStringList{QStringLiteral("0")};
    QTest::newRow("gateway") << QByteArray("AT+GW,10,0,0,254#") << f({Field::Gate4})
                             << QStringList{QStringLiteral("254")};
    QTest::newRow("dns") << QByteArray("AT+DNS,1,1,1,1#") << f({Field::Dns1})
                         << QStringList{QStringLiteral("1")};
    QTest::newRow("position") << QByteArray("AT+POSI,3958.00N/11624.00E>#") << f({Field::Position})
                              << QStringList{QStringLiteral("3958.00N/11624.00E>")};
    QTest::newRow("comment keeps an inner #")
        << QByteArray("AT+COMMENT,net #1, hello#") << f({Field::Comment})
        << QStringList{QStringLiteral("net #1, hello")};
    QTest::newRow("server") << QByteArray("AT+SERVER,euro.aprs2.net#") << f({Field::Server})
                            << QStringList{QStringLiteral("euro.aprs2.net")};
    QTest::newRow("sent time") << QByteArray("AT+TIME,0300#") << f({Field::SentTime})
                               << QStringList{QStringLiteral("0300")};
    QTest::newRow("filter") << QByteArray("AT+FILTER,r/39/116/50#") << f({Field::Filter})
                            << QStringList{QStringLiteral("r/39/116/50")};
    QTest::newRow("backlight on") << QByteArray("AT+BACKLIGHT,00#") << f({Field::Backlight})
                                  << QStringList{QStringLiteral("ON")};
    QTest::newRow("backlight 60") << QByteArray("AT+BACKLIGHT,60#") << f({Field::Backlight})
                                  << QStringList{QStringLiteral("60")};
    QTest::newRow("unit") << QByteArray("AT+UNIT,3#") << f({Field::Unit})
                          << QStringList{QStringLiteral("公里")};
    // Kept as it stands, and reported back so.
    QTest::newRow("unknown unit code")
        << QByteArray("AT+UNIT,9#") << f({Field::Unit}) << QStringList{QStringLiteral("9")};
    QTest::newRow("digi off") << QByteArray("AT+DIGI,0#") << f({Field::Digi})
                              << QStringList{QStringLiteral("0")};
    QTest::newRow("mod") << QByteArray("AT+MOD,5#") << f({Field::Mod})
                         << QStringList{QStringLiteral("5")};
    QTest::newRow("path") << QByteArray("AT+PATH,0#") << f({Field::Path})
                          << QStringList{QStringLiteral("None")};
    QTest::newRow("alias") << QByteArray("AT+ALIAS,2#") << f({Field::Alias})
                           << QStringList{QStringLiteral("WIDE2")};
    QTest::newRow("frequency after CR LF")
        << QByteArray("\r\nAT+FREQ,145.8250#") << f({Field::Freq})
        << QStringList{QStringLiteral("145.8250")};
    QTest::newRow("wifi name and password")
        << QByteArray("AT+WIFI,home net,pa,ss#") << f({Field::WifiSsid, Field::WifiPass})
        << QStringList{QStringLiteral("home net"), QStringLiteral("pa,ss")};
    QTest::newRow("reset puts back the factory settings")
        << QByteArray("AT+CALL,AB1C  -7#\r\nAT+FREQ,145.8250#\r\nAT+WIFI,home,pw#\r\nAT+RESET#")
        << f({Field::Callsign, Field::Ssid, Field::Freq, Field::WifiSsid, Field::WifiPass})
        << QStringList{QStringLiteral("N0CALL"), QStringLiteral("9"), QStringLiteral("144.6400"),
                       QString(), QString()};
    QTest::newRow("a write after the reset is kept")
        << QByteArray("AT+PASS,24680#\r\nAT+RESET#\r\nAT+MOD,5#") << f({Field::Pass, Field::Mod})
        << QStringList{QStringLiteral("13023"), QStringLiteral("5")};
}

void TestSimDevice::writeCommandsStoreTheirValue()
{
    QFETCH(QByteArray, sent);
    QFETCH(QList<int>, fields);
    QFETCH(QStringList, values);
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(QByteArray(sent + "\r\n" + SettingsSentinel)));
    QTRY_VERIFY(m_sim->arrived.endsWith(SettingsSentinelAnswer));
    for (qsizetype i = 0; i < fields.size(); ++i)
        QCOMPARE(m_sim->device.settings().text(static_cast<Field>(fields.at(i))), values.at(i));
}

void TestSimDevice::readListsEverySettingInDeviceForms()
{
    QVERIFY(startSim());
    SettingsRecord &s = m_sim->device.settings();
    s.setText(Field::Callsign, QStringLiteral("BG7ABC"));
    s.setText(Field::Ssid, QStringLiteral("10"));
    s.setText(Field::Dhcp, QStringLiteral("STATIC IP"));
    s.setText(Field::Backlight, QStringLiteral("ON"));
    s.setText(Field::Unit, QStringLiteral("mi"));
    s.setText(Field::Digi, QStringLiteral("0"));
    s.setText(Field::Path, QStringLiteral("WIDE1-1WIDE2-2"));
    s.setText(Field::Alias, QStringLiteral("WIDE1"));
    QVERIFY(m_sim->link.send(QByteArray("AT+READ#\r\n")));
    const QByteArray expected = crlfLines({
        "CALLSIGN:BG7ABC-10",
        "PASS:13023",
        "DHCP:0",
        "IP:192,168,1,99",
        "MASK:255,255,255,0",
        "GATE:192,168,1,1",
        "DNS:8,8,8,8",
        "POSITION:!3114.40N/12128.00E&",
        "COMMENT TEXT:TELX5 iGate",
        "SERVER:china.aprs2.net",
        "SENT TIME:0600",
        "FILTER:m/50",
        "VER:KT360 V1.2",
        "FREQ:144.6400",
        "BACKLIGHT:00",
        "UNIT:2",
        "DIGI:0",
        "MOD:3",
        "PATH:3",
        "ALIAS:1",
        "READ END",
    });
    QTRY_COMPARE(m_sim->arrived, expected);
}

void TestSimDevice::readReportsWhatWasWritten()
{
    m_sim->device.setCodePage(CodePage::Gb18030);
    QVERIFY(startSim());
    const TextCodec gb(CodePage::Gb18030);
    QVERIFY(m_sim->link.send(QByteArray("AT+CALL,K1ABC -3#\r\nAT+COMMENT," +
                                        gb.encode(QStringLiteral("你好")) +
                                        "#\r\nAT+DIGI,1#\r\nAT+READ#\r\n")));
    QTRY_VERIFY(m_sim->arrived.endsWith("READ END\r\n"));
    QVERIFY(m_sim->arrived.startsWith("CALLSIGN:K1ABC-3\r\n"));
    QVERIFY(m_sim->arrived.contains(
        QByteArray("\r\nCOMMENT TEXT:" + gb.encode(QStringLiteral("你好")) + "\r\n")));
    QVERIFY(m_sim->arrived.contains("\r\nDIGI:1\r\n"));
}

void TestSimDevice::connectAnsweredFromTheNthSetupLine_data()
{
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("sends");
    QTest::addColumn<int>("connects");
    QTest::newRow("first") << 1 << 3 << 3;
    QTest::newRow("third") << 3 << 5 << 3;
    QTest::newRow("later than sent") << 8 << 5 << 0;
    QTest::newRow("never") << int(SimDevice::Never) << 5 << 0;
}

void TestSimDevice::connectAnsweredFromTheNthSetupLine()
{
    QFETCH(int, after);
    QFETCH(int, sends);
    QFETCH(int, connects);
    m_sim->device.setConnectAfter(after);
    QVERIFY(startSim());
    for (int i = 0; i < sends; ++i)
        QVERIFY(m_sim->link.send("\r\nSETUP#\r\n"));
    QVERIFY(m_sim->link.send(Sentinel));
    QTRY_VERIFY(m_sim->arrived.endsWith(SentinelAnswer));
    QCOMPARE(m_sim->arrived, QByteArray("CONNECT\r\n").repeated(connects) + SentinelAnswer);
}

void TestSimDevice::silentDeviceAnswersAndStoresNothing()
{
    m_sim->device.setSilent(true);
    QVERIFY(startSim());
    QSignalSpy lines(&m_sim->device, &SimDevice::lineReceived);
    QVERIFY(m_sim->link.send(QByteArray("\r\nSETUP#\r\nAT+PASS,999#\r\nAT+READ#\r\n")));
    QTRY_COMPARE(lines.count(), 3);
    m_sim->device.setSilent(false);
    QVERIFY(m_sim->link.send(SettingsSentinel));
    QTRY_VERIFY(m_sim->arrived.endsWith(SettingsSentinelAnswer));
    QCOMPARE(m_sim->arrived, SettingsSentinelAnswer);
    QCOMPARE(m_sim->device.settings().text(Field::Pass), QStringLiteral("13023"));
}

void TestSimDevice::ignoredCommandsAreNeitherStoredNorAnswered()
{
    m_sim->device.setIgnoredCommands({QStringLiteral("AT+FREQ"), QStringLiteral("AT+WIFI")});
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(
        QByteArray("\r\nAT+FREQ,145.0000#\r\nAT+WIFI,a,b#\r\nAT+MOD,1#" + SettingsSentinel)));
    QTRY_VERIFY(m_sim->arrived.endsWith(SettingsSentinelAnswer));
    QCOMPARE(m_sim->arrived, SettingsSentinelAnswer);
    QCOMPARE(m_sim->device.settings().text(Field::Freq), QStringLiteral("144.6400"));
    QCOMPARE(m_sim->device.settings().text(Field::Mod), QStringLiteral("1"));
}

void TestSimDevice::garbageGoesAheadOfAnswers()
{
    m_sim->device.setGarbage(QByteArray("\xFF\x00~", 3));
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xFF\x00~CONNECT\r\n", 12));
}

void TestSimDevice::fragmentsArriveInSeparateReads()
{
    m_sim->device.setFragmentSize(4, 3);
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(QByteArray("\r\nSETUP#\r\nAT+FREQ,1#\r\n")));
    QTRY_COMPARE(m_sim->arrived, QByteArray("CONNECT\r\nfreq save\r\n"));
    // 20 bytes in pieces of four, 3 ms apart: a read for (nearly) each.
    QVERIFY2(m_sim->reads >= 4, qPrintable(QString::number(m_sim->reads)));
}

void TestSimDevice::pacingAndDelaysSlowTheAnswer_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("answerDelay");
    QTest::addColumn<int>("lineGap");
    QTest::addColumn<int>("atLeastMs");
    // The read answer is about 400 bytes: 10 bits a byte at 9600 baud.
    QTest::newRow("9600 baud") << 9600 << 0 << 0 << 350;
    QTest::newRow("answer delay") << 0 << 200 << 0 << 200;
    QTest::newRow("gap between lines") << 0 << 0 << 15 << 20 * 15;
}

void TestSimDevice::pacingAndDelaysSlowTheAnswer()
{
    QFETCH(int, baud);
    QFETCH(int, answerDelay);
    QFETCH(int, lineGap);
    QFETCH(int, atLeastMs);
    m_sim->device.setBaudRate(baud);
    m_sim->device.setAnswerDelay(answerDelay);
    m_sim->device.setLineGap(lineGap);
    QVERIFY(startSim());
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_sim->link.send(QByteArray("AT+READ#\r\n")));
    QTRY_VERIFY_WITH_TIMEOUT(m_sim->arrived.endsWith("READ END\r\n"), 10000);
    QVERIFY2(clock.elapsed() >= atLeastMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(m_sim->arrived.startsWith("CALLSIGN:N0CALL-9\r\n"));
}

void TestSimDevice::bytesSentWhileThePortIsClosedAreLost()
{
    m_sim->device.setAnswerDelay(100);
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send("\r\nSETUP#\r\n"));
    m_sim->link.close();
    QTRY_COMPARE(m_sim->device.received(), QByteArray("\r\nSETUP#\r\n"));
    // The answer leaves after its delay, into a closed port.
    QVERIFY(m_sim->device.outputPending());
    QTRY_VERIFY(!m_sim->device.outputPending());
    QString error;
    QVERIFY2(m_sim->link.open(&error), qPrintable(error));
    m_sim->device.setAnswerDelay(0);
    QVERIFY(m_sim->link.send(Sentinel));
    QTRY_VERIFY(m_sim->arrived.endsWith(SentinelAnswer));
    QCOMPARE(m_sim->arrived, SentinelAnswer);
}

void TestSimDevice::outputLargerThanThePtyBufferArrivesWhole()
{
    QVERIFY(startSim());
    const QByteArray bulk = imageOf(256 * 1024);
    m_sim->device.sendRaw(bulk);
    QVERIFY(m_sim->device.outputPending());
    QTRY_COMPARE(m_sim->arrived.size(), bulk.size());
    QCOMPARE(m_sim->arrived, bulk);
    QVERIFY(!m_sim->device.outputPending());
}

void TestSimDevice::linesFromABriefOpenArriveWithoutReopening()
{
    QVERIFY(startSim());
    m_sim->link.close();
    // Let the device notice that its tool has gone.
    QTest::qWait(50);
    QString error;
    QVERIFY2(m_sim->link.open(&error), qPrintable(error));
    QVERIFY(m_sim->link.send("REBOOT#\r\n"));
    m_sim->link.close();
    QTRY_COMPARE(m_sim->device.received(), QByteArray("REBOOT#\r\n"));
    QTRY_COMPARE(m_sim->device.mode(), SimDevice::Mode::BootLoader);
}

void TestSimDevice::bootLoaderTakesAWholeImage_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("blocks");
    // What the tool sends for the header and past the image's end in the last
    // block; the loader's reason when it refuses the transfer.
    QTest::addColumn<QByteArray>("sentHeader");
    QTest::addColumn<char>("padding");
    QTest::addColumn<QString>("refusal");
    QTest::newRow("5000 bytes, three blocks") << 5000 << 3 << header(5000) << '\xFF' << QString();
    QTest::newRow("6144 bytes, last block all padding")
        << 6144 << 4 << header(6144) << '\xFF' << QString();
    QTest::newRow("one byte short of two blocks")
        << 4095 << 2 << header(4095) << '\xFF' << QString();
    QTest::newRow("length bytes swapped")
        << 5000 << 3 << QByteArray::fromHex("5E880302E5") << '\xFF'
        << QStringLiteral("header 5E 88 03 02 E5: the length below a whole block (88 03, high byte "
                          "first) is 34819, not below 2048");
    QTest::newRow("header ends in E4")
        << 5000 << 3 << QByteArray::fromHex("5E038802E4") << '\xFF'
        << QStringLiteral("header 5E 03 88 02 E4 ends in E4, not E5");
    QTest::newRow("header begins with 5D")
        << 5000 << 3 << QByteArray::fromHex("5D038802E5") << '\xFF'
        << QStringLiteral("5D where the header begins with 5E");
    QTest::newRow("a spoilt probe instead of the header")
        << 5000 << 3 << QByteArray::fromHex("5F0100F5") << '\xFF'
        << QStringLiteral("5F 01 00 F5 after the answer to the probe is no probe");
    QTest::newRow("last block padded with 00")
        << 5000 << 3 << header(5000) << '\0'
        << QStringLiteral("block 2, the last: byte 904 is 00, not FF: past the image's 5000 bytes "
                          "the block is padded with FF");
    QTest::newRow("whole blocks, the padding block of 00")
        << 6144 << 4 << header(6144) << '\0'
        << QStringLiteral("block 3, the last: byte 0 is 00, not FF: past the image's 6144 bytes "
                          "the block is padded with FF");
}

void TestSimDevice::bootLoaderTakesAWholeImage()
{
    QFETCH(int, length);
    QFETCH(int, blocks);
    QFETCH(QByteArray, sentHeader);
    QFETCH(char, padding);
    QFETCH(QString, refusal);
    QVERIFY(startSim());
    SimDevice &device = m_sim->device;
    QSignalSpy done(&device, &SimDevice::bootImageReceived);
    QSignalSpy refused(&device, &SimDevice::bootRefused);
    const QByteArray image = imageOf(length);

    QVERIFY(m_sim->link.send("AT+PASS,24680#\r\nREBOOT#\r\n"));
    QTRY_COMPARE(device.mode(), SimDevice::Mode::BootLoader);
    // The restart command's second line reaches the loader as noise.
    QVERIFY(m_sim->link.send("REBOOT#\r\n"));
    QVERIFY(m_sim->link.send(QByteArray("\x5F\x00\x00\xF5", 4)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
    m_sim->arrived.clear();
    QVERIFY(m_sim->link.send(sentHeader));
    if (sentHeader == header(length)) {
        QTRY_COMPARE(m_sim->arrived, QByteArray("\xC5"));
        for (int block = 0; block < blocks; ++block) {
            m_sim->arrived.clear();
            QVERIFY(m_sim->link.send(frame(image, block, false, padding)));
            if (block + 1 < blocks) {
                QTRY_COMPARE(m_sim->arrived, QByteArray("\xC5"));
                QCOMPARE(device.storedBlocks(), block + 1);
            }
        }
    }
    if (!refusal.isEmpty()) {
        QTRY_COMPARE(refused.count(), 1);
        QCOMPARE(refused.at(0).at(0).toString(), refusal);
        QCOMPARE(device.bootError(), refusal);
        // No reply to what it refused: the loader's next byte answers the
        // next probe, and a new transfer starts without the old reason.
        QVERIFY(m_sim->link.send(QByteArray("\x5F\x00\x00\xF5", 4)));
        QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
        QVERIFY(device.bootError().isEmpty());
        QCOMPARE(device.mode(), SimDevice::Mode::BootLoader);
        QCOMPARE(done.count(), 0);
        QVERIFY(device.bootImage().isEmpty());
        return;
    }
    QTRY_COMPARE(done.count(), 1);
    QCOMPARE(done.at(0).at(0).toByteArray(), image);
    QCOMPARE(device.bootImage(), image);
    QCOMPARE(device.mode(), SimDevice::Mode::Setup);
    // The last block gets no reply; the firmware answers setup lines again.
    QVERIFY(m_sim->link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(m_sim->arrived, QByteArray("CONNECT\r\n"));
    QCOMPARE(device.settings().text(Field::Pass), QStringLiteral("24680"));
}

void TestSimDevice::badChecksumAsksForTheBlockAgain_data()
{
    QTest::addColumn<int>("corruptBlock");
    QTest::addColumn<int>("resendKnob");
    QTest::newRow("bad checksum on block 0") << 0 << int(SimDevice::Never);
    QTest::newRow("bad checksum on block 1") << 1 << int(SimDevice::Never);
    QTest::newRow("device asks for block 1 again") << int(SimDevice::Never) << 1;
    QTest::newRow("device asks for the last block again") << int(SimDevice::Never) << 2;
}

void TestSimDevice::badChecksumAsksForTheBlockAgain()
{
    QFETCH(int, corruptBlock);
    QFETCH(int, resendKnob);
    m_sim->device.setResendBlock(resendKnob);
    QVERIFY(startSim());
    const QByteArray image = imageOf(5000);
    QVERIFY(m_sim->link.send(QByteArray("REBOOT#\r\n" + QByteArray("\x5F\x00\x00\xF5", 4))));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
    QVERIFY(m_sim->link.send(header(5000)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xC5"));
    QByteArray replies = "\xE5\xC5";
    for (int block = 0; block < 3; ++block) {
        if (block == corruptBlock || block == resendKnob) {
            QVERIFY(m_sim->link.send(frame(image, block, block == corruptBlock)));
            replies += '\x55';
            QTRY_COMPARE(m_sim->arrived, replies);
            QCOMPARE(m_sim->device.storedBlocks(), block);
        }
        QVERIFY(m_sim->link.send(frame(image, block)));
        if (block < 2) {
            replies += '\xC5';
            QTRY_COMPARE(m_sim->arrived, replies);
        }
    }
    QTRY_COMPARE(m_sim->device.bootImage(), image);
    QCOMPARE(m_sim->arrived, replies);
}

void TestSimDevice::bootLoaderFallsSilentAfterAChosenBlock()
{
    m_sim->device.setSilentAfterBlock(0);
    QVERIFY(startSim());
    const QByteArray image = imageOf(6000);
    QVERIFY(m_sim->link.send(QByteArray("REBOOT#\r\n" + QByteArray("\x5F\x00\x00\xF5", 4))));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
    QVERIFY(m_sim->link.send(header(6000)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xC5"));
    QVERIFY(m_sim->link.send(frame(image, 0)));
    QTRY_COMPARE(m_sim->device.storedBlocks(), 1);
    QVERIFY(m_sim->link.send(QByteArray(frame(image, 1) + QByteArray("\x5F\x00\x00\xF5", 4))));
    const QByteArray sent = m_sim->device.received();
    QTRY_COMPARE(m_sim->device.received().size(), sent.size());
    QTest::qWait(100);
    QCOMPARE(m_sim->arrived, QByteArray("\xE5\xC5"));
    QCOMPARE(m_sim->device.storedBlocks(), 1);
    QVERIFY(m_sim->device.bootImage().isEmpty());
}

void TestSimDevice::bootLoaderTakesItsTimeOverEachBlock()
{
    m_sim->device.setBlockDelay(150);
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(QByteArray("REBOOT#\r\n" + QByteArray("\x5F\x00\x00\xF5", 4))));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
    QVERIFY(m_sim->link.send(header(5000)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xC5"));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(m_sim->link.send(frame(imageOf(5000), 0)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xC5\xC5"));
    QVERIFY2(clock.elapsed() >= 150, qPrintable(QString::number(clock.elapsed())));
}

void TestSimDevice::bootLoaderAnswersARepeatedProbe()
{
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(QByteArray("REBOOT#\r\n" + QByteArray("\x5F\x00\x00\xF5", 4))));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
    QVERIFY(m_sim->link.send(QByteArray("\x5F\x00\x00\xF5", 4)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xE5"));
    QVERIFY(m_sim->link.send(header(5000)));
    QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5\xE5\xC5"));
}

void TestSimDevice::bootLoaderWithoutProbeStartsTheFirmware_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<bool>("restartByHand");
    QTest::addColumn<bool>("backInSetup");
    QTest::newRow("short boot window") << 50 << false << true;
    QTest::newRow("loader waits for good") << int(SimDevice::Never) << false << false;
    QTest::newRow("power cycle") << int(SimDevice::Never) << true << true;
}

void TestSimDevice::bootLoaderWithoutProbeStartsTheFirmware()
{
    QFETCH(int, window);
    QFETCH(bool, restartByHand);
    QFETCH(bool, backInSetup);
    m_sim->device.setBootWindow(window);
    QVERIFY(startSim());
    QSignalSpy modes(&m_sim->device, &SimDevice::modeChanged);
    // The restart command's pair of lines.
    QVERIFY(m_sim->link.send("REBOOT#\r\nREBOOT#\r\n"));
    QTRY_COMPARE(modes.count(), 1);
    QCOMPARE(modes.at(0).at(0).value<SimDevice::Mode>(), SimDevice::Mode::BootLoader);
    if (restartByHand)
        m_sim->device.restart();
    if (backInSetup) {
        QTRY_COMPARE(m_sim->device.mode(), SimDevice::Mode::Setup);
        QVERIFY(m_sim->link.send("\r\nSETUP#\r\n"));
        QTRY_COMPARE(m_sim->arrived, QByteArray("CONNECT\r\n"));
    } else {
        QVERIFY(m_sim->link.send(QByteArray("\r\nSETUP#\r\n" + QByteArray("\x5F\x00\x00\xF5", 4))));
        QTRY_COMPARE(m_sim->arrived, QByteArray("\xE5"));
        QCOMPARE(m_sim->device.mode(), SimDevice::Mode::BootLoader);
    }
}

void TestSimDevice::overlongLineIsForgotten()
{
    QVERIFY(startSim());
    QVERIFY(m_sim->link.send(
        QByteArray("AT+PASS," + QByteArray(5000, '7') + "#\r\n" + SettingsSentinel)));
    QTRY_COMPARE(m_sim->arrived, SettingsSentinelAnswer);
    QCOMPARE(m_sim->device.settings().text(Field::Pass), QStringLiteral("13023"));
}

void TestSimDevice::vanishedDeviceTakesItsPortAway()
{
    QVERIFY(startSim());
    const QString path = m_sim->device.portPath();
    QVERIFY(QFile::exists(path));
    m_sim->device.vanish();
    // Checked at once: the system may soon give the path to another program.
    QVERIFY(!QFile::exists(path));
    QTRY_VERIFY(!m_sim->link.isOpen());
    QString error;
    QVERIFY(!m_sim->device.start(&error));
    QVERIFY(!error.isEmpty());
}

void TestSimDevice::pacedLineGarblesBytesSentAtTheWrongSpeed_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("slowDownAfter");
    QTest::addColumn<bool>("closeAfter");
    QTest::addColumn<int>("garbledTail");
    QTest::newRow("115200 arrives whole") << 115200 << false << false << 0;
    QTest::newRow("9600 arrives garbled") << 9600 << false << false << int(WireLines.size());
    QTest::newRow("9600 set right after the write") << 115200 << true << false << 1;
    QTest::newRow("close restores 9600 at once") << 115200 << false << true << 1;
}

void TestSimDevice::pacedLineGarblesBytesSentAtTheWrongSpeed()
{
    QFETCH(int, speed);
    QFETCH(bool, slowDownAfter);
    QFETCH(bool, closeAfter);
    QFETCH(int, garbledTail);
    SimDevice &device = m_sim->device;
    device.setPacedLine(true);
    QVERIFY(device.start());
    // The port finds the line at 9600, and restores that when it closes.
    const int fd = ::open(QFile::encodeName(device.portPath()).constData(), O_RDWR | O_NOCTTY);
    termios line{};
    QVERIFY(fd >= 0 && ::tcgetattr(fd, &line) == 0);
    ::cfsetspeed(&line, B9600);
    QVERIFY(::tcsetattr(fd, TCSANOW, &line) == 0 && ::close(fd) == 0);
    QSerialPort port(device.portPath());
    port.setBaudRate(speed);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(port.write(WireLines), WireLines.size());
    QVERIFY(port.flush());
    if (slowDownAfter)
        QVERIFY(port.setBaudRate(9600));
    if (closeAfter)
        port.close();
    // Not QTRY: its 50 ms steps would hide the wire time.
    QVERIFY(QTest::qWaitFor([&] { return device.received().size() == WireLines.size(); }));
    QVERIFY(clock.nsecsElapsed() >= WireLines.size() * 10 * 1000000000LL / 115200);
    const QByteArray got = device.received();
    if (garbledTail == 0)
        QCOMPARE(got, WireLines);
    for (qsizetype i = got.size() - garbledTail; i < got.size(); ++i)
        QVERIFY2(got.at(i) != WireLines.at(i), qPrintable(QString::number(i)));
}

QTEST_GUILESS_MAIN(TestSimDevice)
#include "tst_simdevice.moc"
