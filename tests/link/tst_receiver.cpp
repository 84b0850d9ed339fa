#include "deviceview.h"
#include "fakelink.h"
#include "receivechain.h"
#include "simlink.h"

#include <QSignalSpy>
#include <QtTest>

using namespace telx5;
using telx5::testing::FakeLink;
using telx5::testing::SimLink;

Q_DECLARE_METATYPE(telx5::CodePage)

namespace {

// The window's receive side over a simulated device: its receive chain and
// the record the parser fills, with the chain's parts named for the tests.
struct Window
{
    SimLink sim;
    RecordView view;
    ReceiveChain chain{sim.link, view};
    Flags &flags = chain.flags();
    LineBuffer &lineBuffer = chain.lineBuffer();
    HexLog &hexLog = chain.hexLog();
    Receiver &receiver = chain.receiver();
};

QList<QByteArray> pieces(std::initializer_list<const char *> list)
{
    QList<QByteArray> out;
    for (const char *p : list)
        out << QByteArray(p);
    return out;
}

} // namespace

class TestReceiver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void linesSplitOverReadsReachTheParserWhole_data();
    void linesSplitOverReadsReachTheParserWhole();
    void lineBufferFollowsCrAndLf_data();
    void lineBufferFollowsCrAndLf();
    void hexLogRecordsEveryByte_data();
    void hexLogRecordsEveryByte();
    void otherEventsChangeNothing();
    void parserSeesEveryPrefix();
    void fullLineDropsBytesButLogsThem();
    void fullReadFillsTheWindow_data();
    void fullReadFillsTheWindow();
    void codePageChosenAfterConstruction_data();
    void codePageChosenAfterConstruction();
};

void TestReceiver::linesSplitOverReadsReachTheParserWhole_data()
{
    QTest::addColumn<QList<QByteArray>>("parts");
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<QString>("ssid");
    QTest::newRow("callsign cut after CALLSIG")
        << pieces({"CALLSIG", "N:AB-7\r\n"}) << QStringLiteral("AB") << QStringLiteral("7");
    QTest::newRow("cut before the CR") << pieces({"CALLSIGN:BG7XYZ-1", "5", "\r", "\n"})
                                       << QStringLiteral("BG7XYZ") << QStringLiteral("15");
    QTest::newRow("one byte a read")
        << pieces({"C", "A", "L", "L", "S", "I", "G", "N", ":", "Q", "-", "3", "\r\n"})
        << QStringLiteral("Q") << QStringLiteral("3");
}

void TestReceiver::linesSplitOverReadsReachTheParserWhole()
{
    QFETCH(QList<QByteArray>, parts);
    QFETCH(QString, callsign);
    QFETCH(QString, ssid);
    Window w;
    const QString error = w.sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QSignalSpy reads(&w.sim.link, &SerialLink::received);
    QByteArray all;
    for (const QByteArray &part : std::as_const(parts)) {
        const int before = reads.count();
        w.sim.device.sendRaw(part);
        all += part;
        // Each piece arrives in a read of its own.
        QVERIFY(reads.wait(2000) || reads.count() > before);
        QTRY_COMPARE(w.sim.arrived, all);
    }
    QCOMPARE(reads.count(), parts.size());
    QCOMPARE(w.view.text(Field::Callsign), callsign);
    QCOMPARE(w.view.text(Field::Ssid), ssid);
}

void TestReceiver::lineBufferFollowsCrAndLf_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("LF alone does not end a line") << QByteArray("AB\nCD") << QByteArray("ABCD");
    QTest::newRow("CR starts a new line") << QByteArray("AB\rCD") << QByteArray("CD");
    QTest::newRow("CR LF leaves it empty") << QByteArray("CONNECT\r\n") << QByteArray();
    QTest::newRow("NUL is a character") << QByteArray("A\0B", 3) << QByteArray("A\0B", 3);
    QTest::newRow("high bytes are kept") << QByteArray("\r\xC4\xE3") << QByteArray("\xC4\xE3");
}

void TestReceiver::lineBufferFollowsCrAndLf()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, line);
    Window w;
    const QString error = w.sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    w.sim.device.sendRaw(bytes);
    QTRY_COMPARE(w.sim.arrived, bytes);
    QCOMPARE(w.lineBuffer.line().toByteArray(), line);
}

void TestReceiver::hexLogRecordsEveryByte_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("front");
    QTest::addColumn<QString>("back");
    QTest::newRow("05 C5 after the initial text")
        << QStringLiteral("hexLogBox") << QByteArray("\x05\xC5") << QStringLiteral("hexLogBox05C5")
        << QStringLiteral("05C5");
    QTest::newRow("55 after a reset to two spaces") << QStringLiteral("  ") << QByteArray("\x55")
                                                    << QStringLiteral("55") << QStringLiteral("55");
    QTest::newRow("boot loader reply then text")
        << QStringLiteral("  ") << QByteArray("\xE5OK\r\n") << QStringLiteral("E54F4B0D0A")
        << QStringLiteral("0D0A");
}

void TestReceiver::hexLogRecordsEveryByte()
{
    QFETCH(QString, start);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, front);
    QFETCH(QString, back);
    Window w;
    const QString error = w.sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    w.hexLog.setText(start);
    w.sim.device.sendRaw(bytes);
    QTRY_COMPARE(w.sim.arrived, bytes);
    QCOMPARE(w.hexLog.front(100), front);
    QCOMPARE(w.hexLog.back(4), back);
}

void TestReceiver::otherEventsChangeNothing()
{
    Window w;
    w.lineBuffer.setLine("READ EN");
    w.receiver.onBytesReceived(Receiver::CommEvent::Other, "D\r\nCONNECT\r\n");
    QCOMPARE(w.lineBuffer.line().toByteArray(), QByteArray("READ EN"));
    QVERIFY(!w.flags.readEnd);
    QVERIFY(!w.flags.connectOk);
    QVERIFY(w.view.statusText().isEmpty());
    QCOMPARE(w.hexLog.front(100), QStringLiteral("hexLogBox"));

    w.receiver.onBytesReceived(Receiver::CommEvent::DataReceived, "D\r\n");
    QVERIFY(w.flags.readEnd);
    QCOMPARE(w.hexLog.front(100), QStringLiteral("hexLogBox440D0A"));
}

void TestReceiver::parserSeesEveryPrefix()
{
    // "CONNECT" then a longer line beginning with it: the status line is
    // appended once for the exact line, and for "CONNECTED" once as its
    // keyword completes and once per further character.
    Window w;
    w.receiver.onBytesReceived(Receiver::CommEvent::DataReceived, "CONNECT\r\nCONNECTED\r\n");
    QVERIFY(w.flags.connectOk);
    QCOMPARE(w.view.statusText().count(QStringLiteral("Connect OK")), 1 + 3);
}

void TestReceiver::fullLineDropsBytesButLogsThem()
{
    // A device that never sends CR: the line stops growing, the parser is
    // not run for the dropped bytes, the hex log still shows every byte.
    Window w;
    w.hexLog.setText(QStringLiteral("  "));
    const QByteArray filler(LineBuffer::MaxLength - 3, 'x');
    w.receiver.onBytesReceived(Receiver::CommEvent::DataReceived, QByteArray(filler + "READ END"));
    QCOMPARE(w.lineBuffer.line().size(), LineBuffer::MaxLength);
    QVERIFY(!w.flags.readEnd);
    QCOMPARE(w.hexLog.length(), (filler.size() + 8) * 2);
    QCOMPARE(w.hexLog.back(4), QStringLiteral("4E44"));

    w.receiver.onBytesReceived(Receiver::CommEvent::DataReceived, "\rREAD END");
    QVERIFY(w.flags.readEnd);

    // A chunk that fills the line and ends it further on: the line after
    // the CR is read.
    w.receiver.onBytesReceived(Receiver::CommEvent::DataReceived,
                               QByteArray(filler + filler + "\rCALLSIGN:AB1C-7\r\n"));
    QCOMPARE(w.view.text(Field::Callsign), QStringLiteral("AB1C"));
}

void TestReceiver::fullReadFillsTheWindow_data()
{
    QTest::addColumn<int>("fragment");
    QTest::addColumn<int>("baud");
    QTest::newRow("whole lines") << 0 << 0;
    QTest::newRow("fragments of three bytes") << 3 << 0;
    QTest::newRow("paced at 115200 baud") << 0 << 115200;
}

void TestReceiver::fullReadFillsTheWindow()
{
    QFETCH(int, fragment);
    QFETCH(int, baud);
    Window w;
    w.sim.device.setFragmentSize(fragment, 1);
    w.sim.device.setBaudRate(baud);
    const QString error = w.sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(w.sim.link.send("\r\nSETUP#\r\n"));
    QTRY_VERIFY(w.flags.connectOk);
    QVERIFY(w.sim.link.send("AT+READ#\r\n"));
    QTRY_VERIFY(w.flags.readEnd);
    for (int f = 0; f < FieldCount; ++f) {
        const auto field = static_cast<Field>(f);
        if (field == Field::WifiSsid || field == Field::WifiPass || field == Field::Ctcss)
            continue;
        QCOMPARE(w.view.text(field), w.sim.device.settings().text(field));
    }
    QVERIFY(!w.view.octetBoxesEnabled());
    QVERIFY(w.view.statusText().endsWith(QStringLiteral("\r\nRead end")));
}

void TestReceiver::codePageChosenAfterConstruction_data()
{
    QTest::addColumn<CodePage>("page");
    QTest::addColumn<QString>("comment");
    QTest::newRow("Windows-1252 kept") << CodePage::Windows1252 << QStringLiteral("ÄãºÃ");
    QTest::newRow("GB18030 chosen") << CodePage::Gb18030 << QStringLiteral("你好");
}

// The window builds its receive side before it knows its language: the code
// page it picks at start-up must reach the parser of the bytes that follow.
void TestReceiver::codePageChosenAfterConstruction()
{
    QFETCH(CodePage, page);
    QFETCH(QString, comment);
    FakeLink link;
    RecordView view;
    ReceiveChain chain(link, view);
    chain.setCodePage(page);
    QVERIFY(link.open());
    // "你好" in GB18030.
    link.arrive("COMMENT TEXT:\xC4\xE3\xBA\xC3\r\n");
    QCOMPARE(view.text(Field::Comment), comment);
    QCOMPARE(chain.codec().codePage(), page);
}

QTEST_GUILESS_MAIN(TestReceiver)
#include "tst_receiver.moc"
