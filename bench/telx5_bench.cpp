// Figures for the serial link: the CPU a long Delay costs, and how many bytes
// a second the receive path (hex log, line buffer, parser) takes. With
// --flash instead: how much of the line a firmware upload uses. With --files
// instead: how long the window and the plain record take to load a big
// settings file and to take a long "CONNECT" line.
#include "consolehost.h"
#include "delay.h"
#include "deviceview.h"
#include "firmwareimage.h"
#include "flash.h"
#include "hexlog.h"
#include "linebuffer.h"
#include "lineparser.h"
#include "mainwindow.h"
#include "ports.h"
#include "qtseriallink.h"
#include "receivechain.h"
#include "settingsfile.h"
#include "simdevice.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <sys/resource.h>

using namespace telx5;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval &t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The settings lines of one device read-out. Its closing "READ END" is left
// out: every event line appends to the status box, which a stream of
// millions of them would turn into a benchmark of the status box.
QByteArray readAnswer()
{
    return QByteArrayLiteral("CALLSIGN:N0CALL-9\r\nPASS:13023\r\nDHCP:1\r\nIP:192,168,1,99\r\n"
                             "MASK:255,255,255,0\r\nGATE:192,168,1,1\r\nDNS:8,8,8,8\r\n"
                             "POSITION:!3114.40N/12128.00E&\r\nCOMMENT TEXT:TELX5 iGate\r\n"
                             "SERVER:china.aprs2.net\r\nSENT TIME:0600\r\nFILTER:m/50\r\n"
                             "VER:KT360 V1.2\r\nFREQ:144.6400\r\nBACKLIGHT:30\r\nUNIT:1\r\n"
                             "DIGI:1\r\nMOD:3\r\nPATH:1\r\nALIAS:3\r\n");
}

void benchDelay(QTextStream &out, int seconds)
{
    // A timer ticking, so that the wait dispatches events the whole time.
    QTimer watcher;
    int ticks = 0;
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&ticks] { ++ticks; });
    watcher.start(100);
    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    Delay(seconds * 1000);
    const double cpu = cpuSeconds() - cpuBefore;
    const double elapsed = double(wall.nsecsElapsed()) / 1e9;
    out << "Delay(" << seconds * 1000 << "): wall " << QString::number(elapsed, 'f', 3)
        << " s, CPU " << QString::number(cpu * 1000, 'f', 1) << " ms ("
        << QString::number(100 * cpu / elapsed, 'f', 3) << " % of one core), " << ticks
        << " timer ticks dispatched\n";
}

void benchReceiveInProcess(QTextStream &out, qint64 megabytes)
{
    RecordView view;
    QtSerialLink link;
    ReceiveChain chain(link, view);
    const QByteArray answer = readAnswer();
    // Chunks of the size a busy port hands over in one read.
    QByteArray chunk;
    while (chunk.size() < 4096)
        chunk += answer;
    const qint64 total = megabytes * 1024 * 1024;
    qint64 fed = 0;
    QElapsedTimer clock;
    clock.start();
    while (fed < total) {
        chain.receiver().onBytesReceived(Receiver::CommEvent::DataReceived, chunk);
        fed += chunk.size();
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    out << "receive path in process: " << fed << " bytes in " << QString::number(seconds, 'f', 3)
        << " s = " << QString::number(double(fed) / seconds / 1e6, 'f', 2) << " MB/s (hex log now "
        << chain.hexLog().length() << " characters, last callsign " << view.text(Field::Callsign)
        << ")\n";
}

void benchHexLog(QTextStream &out)
{
    HexLog log(QStringLiteral("  "));
    constexpr int Batch = 1'000'000;
    auto timeBatch = [&log] {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < Batch; ++i)
            log.appendByte(static_cast<unsigned char>(i));
        return double(clock.nsecsElapsed()) / Batch;
    };
    const double first = timeBatch();
    for (int i = 0; i < 8; ++i)
        timeBatch();
    const double tenth = timeBatch();
    out << "hex log append: " << QString::number(first, 'f', 1) << " ns/byte for the first "
        << Batch << " bytes, " << QString::number(tenth, 'f', 1) << " ns/byte with the log at "
        << (log.length() / 1'000'000) << " M characters\n";
}

void benchReceiveOverPty(QTextStream &out, qint64 megabytes)
{
    SimDevice device;
    QString error;
    if (!device.start(&error)) {
        out << "pty: " << error << '\n';
        return;
    }
    RecordView view;
    QtSerialLink link;
    link.setPortName(device.portPath());
    if (!link.open(&error)) {
        out << "pty: " << error << '\n';
        return;
    }
    ReceiveChain chain(link, view);
    qint64 arrived = 0;
    QObject::connect(&link, &SerialLink::received, &link,
                     [&arrived](const QByteArray &bytes) { arrived += bytes.size(); });
    const QByteArray answer = readAnswer();
    QByteArray block;
    while (block.size() < 64 * 1024)
        block += answer;
    const qint64 total = megabytes * 1024 * 1024;
    qint64 queued = 0;
    QElapsedTimer clock;
    clock.start();
    while (arrived < total) {
        // Keep a few blocks in flight so the device side never runs dry.
        while (queued - arrived < 4 * block.size() && queued < total) {
            device.sendRaw(block);
            queued += block.size();
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    out << "receive path over a pty: " << arrived << " bytes in "
        << QString::number(seconds, 'f', 3)
        << " s = " << QString::number(double(arrived) / seconds / 1e6, 'f', 2)
        << " MB/s (the device link itself carries " << LineBytesPerSecond << " bytes/s at "
        << LineSpeed << " baud)\n";
    link.close();
}

struct FlashRun
{
    const char *name;
    // The window's own update, pressed as a user presses it; otherwise
    // telx5-cli flash.
    bool window;
    int blockDelayMs;
    bool resendLastBlock;
};

QString share(qsizetype bytes, double seconds)
{
    const double rate = double(bytes) / seconds;
    return QString::number(qRound(rate)) + QStringLiteral(" bytes/s (") +
           QString::number(100 * rate / LineBytesPerSecond, 'f', 1) + QStringLiteral(" %)");
}

// Answers no box at start-up (the bench's locale asks none) and no question;
// every file dialog chooses `fileName`.
class BenchDialogs final : public Dialogs
{
public:
    void message(const QString &, const QString &) override {}
    bool question(const QString &, const QString &) override { return false; }
    QString openFileName(const FileRequest &) override { return fileName; }
    QString saveFileName(const FileRequest &) override { return fileName; }

    QString fileName;
};

// How a flash ended: the command's exit code or the window's last status
// line; the seconds from the first block to the verdict, and when the
// verdict came on `clock`.
struct FlashEnd
{
    QString ending;
    bool completed = false;
    double transferSeconds = 0;
    qint64 verdictNs = 0;
};

FlashEnd flashWithCli(SimDevice &device, const QString &imagePath, const QElapsedTimer &clock)
{
    QtSerialLink port;
    ConsoleHost host({}, {}, port);
    ReceiveChain &chain = host.receiveChain();
    host.setPortText(device.portPath());
    Ports::configurePort(port, device.portPath());
    const FlashResult result = flashImage(host, port, chain.hexLog(), chain.codec(), imagePath);
    return {QStringLiteral("exit %1").arg(result.exitCode), result.exitCode == FlashDone,
            result.transferSeconds, clock.nsecsElapsed()};
}

// "Open ROM" and "update" pressed in the window. The progress bar's first
// step is the first block sent; the status box's last line is the verdict.
FlashEnd flashWithWindow(SimDevice &device, const QString &imagePath, const QElapsedTimer &clock)
{
    BenchDialogs dialogs;
    dialogs.fileName = imagePath;
    QtSerialLink port;
    MainWindow::Options options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedKingdom);
    options.extraPort = device.portPath();
    MainWindow window(options, dialogs, &port);
    window.show();

    FlashEnd end;
    qint64 firstBlockNs = -1;
    QObject::connect(window.findChild<QProgressBar *>(QStringLiteral("progressBar")),
                     &QProgressBar::valueChanged, &window, [&](int blocks) {
                         if (blocks >= 1 && firstBlockNs < 0)
                             firstBlockNs = clock.nsecsElapsed();
                     });
    QEventLoop loop;
    QObject::connect(window.findChild<QPlainTextEdit *>(QStringLiteral("statusBox")),
                     &QPlainTextEdit::textChanged, &loop, [&] {
                         const QString status = window.statusText();
                         const QString last = status.mid(status.lastIndexOf(QLatin1Char('\n')) + 1);
                         if (!end.ending.isEmpty() ||
                             !(last == u"update complete" || last.startsWith(u"Update fail") ||
                               last.startsWith(u"Connect fail")))
                             return;
                         end.verdictNs = clock.nsecsElapsed();
                         end.ending = last;
                         end.completed = last == u"update complete";
                         loop.quit();
                     });
    // A loader that neither completes nor fails within two minutes has hung.
    QTimer::singleShot(120'000, &loop, &QEventLoop::quit);
    window.findChild<QPushButton *>(QStringLiteral("openRomButton"))->click();
    // The update's first steps wait inside the press.
    window.findChild<QPushButton *>(QStringLiteral("updateButton"))->click();
    if (end.ending.isEmpty())
        loop.exec();
    if (end.ending.isEmpty())
        end = {QStringLiteral("no verdict within 120 s"), false, 0, clock.nsecsElapsed()};
    else if (firstBlockNs >= 0)
        end.transferSeconds = double(end.verdictNs - firstBlockNs) / 1e9;
    return end;
}

// One flash against the simulated boot loader on the paced line.
void benchFlash(QTextStream &out, const QString &imagePath, const QByteArray &image,
                const FlashRun &run)
{
    SimDevice device;
    device.setPacedLine(true);
    device.setBlockDelay(run.blockDelayMs);
    if (run.resendLastBlock)
        device.setResendBlock(FirmwareImage::blockCount(image.size()) - 1);
    QString error;
    if (!device.start(&error)) {
        out << "pty: " << error << '\n';
        return;
    }

    // The loader has stored the last block: the image is in, and what follows
    // is the session waiting for the loader's verdict on it.
    QElapsedTimer clock;
    qint64 imageInNs = -1;
    QObject::connect(&device, &SimDevice::bootImageReceived, &device,
                     [&] { imageInNs = clock.nsecsElapsed(); });
    clock.start();
    const FlashEnd end = run.window ? flashWithWindow(device, imagePath, clock)
                                    : flashWithCli(device, imagePath, clock);

    out << run.name << ", loader " << run.blockDelayMs << " ms a block: " << end.ending
        << ", image " << (device.bootImage() == image ? "arrived whole" : "NOT as sent");
    if (end.completed) {
        out << "; first block to verdict " << QString::number(end.transferSeconds, 'f', 2)
            << " s = " << share(image.size(), end.transferSeconds);
        if (imageInNs >= 0) {
            const double inSeconds = end.transferSeconds - double(end.verdictNs - imageInNs) / 1e9;
            out << "; to the last block stored " << QString::number(inSeconds, 'f', 2)
                << " s = " << share(image.size(), inSeconds);
        }
        out << "; whole command " << QString::number(double(end.verdictNs) / 1e9, 'f', 1) << " s";
    }
    out << '\n';
    out.flush();
}

void benchFlashes(QTextStream &out, qsizetype imageBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("firmware.bin"));
    QByteArray image(imageBytes, Qt::Uninitialized);
    for (qsizetype i = 0; i < imageBytes; ++i)
        image[i] = static_cast<char>((i * 131 + i / 2048) & 0xFF);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size()) {
        out << "cannot write " << path << '\n';
        return;
    }
    file.close();
    out << "flash of " << imageBytes << " bytes over the paced line (" << LineSpeed
        << " baud = " << LineBytesPerSecond << " bytes/s):\n";
    out.flush();
    const FlashRun runs[] = {
        {"(a) telx5-cli", false, 0, false},
        {"(a) telx5-cli", false, 30, false},
        {"(b) the window", true, 0, false},
        {"(b) the window", true, 30, false},
        {"(a) telx5-cli, last block asked for again", false, 0, true},
    };
    for (const FlashRun &run : runs)
        benchFlash(out, path, image, run);
}

} // namespace

// Loads 1 MiB of short settings lines into `view` through the settings-file
// loader, then feeds a 4000-byte "CONNECT" line byte by byte through the
// parser, which reports "Connect OK" in the status box after every byte.
void benchStatusBox(QTextStream &out, DeviceView &view, const QString &what)
{
    const QByteArray line = QByteArrayLiteral("PASS:12345\r\n");
    const QByteArray content = line.repeated(1024 * 1024 / line.size());
    Flags flags;
    LineBuffer buffer;
    const TextCodec codec;
    LineParser parser(view, flags, codec);

    QElapsedTimer clock;
    clock.start();
    SettingsFile::load(content, buffer, parser, view, codec);
    const double loadSeconds = double(clock.nsecsElapsed()) / 1e9;

    view.setStatusText(QString());
    buffer.clear();
    const QByteArray connect = "CONNECT" + QByteArray(4000 - 7, 'x');
    clock.restart();
    for (const char byte : connect) {
        if (buffer.feed(byte))
            parser.parseLine(buffer.line());
    }
    const double connectSeconds = double(clock.nsecsElapsed()) / 1e9;
    out << what << ": " << content.size() / line.size() << " settings lines (1 MiB) loaded in "
        << QString::number(loadSeconds * 1000, 'f', 0) << " ms; a 4000-byte CONNECT line in "
        << QString::number(connectSeconds * 1000, 'f', 0) << " ms (status box now "
        << view.statusText().size() << " characters)\n";
}

void benchFiles(QTextStream &out)
{
    RecordView record;
    benchStatusBox(out, record, QStringLiteral("plain record (telx5-cli)"));
    BenchDialogs dialogs;
    MainWindow::Options options;
    options.locale = QLocale(QLocale::English, QLocale::UnitedKingdom);
    MainWindow window(options, dialogs);
    window.show();
    benchStatusBox(out, window, QStringLiteral("window"));
}

int main(int argc, char *argv[])
{
    // The window's figures need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serial link figures."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("delay-seconds"), QStringLiteral("Length of the measured Delay."),
         QStringLiteral("s"), QStringLiteral("10")},
        {QStringLiteral("megabytes"), QStringLiteral("Bytes fed through the receive path."),
         QStringLiteral("MB"), QStringLiteral("16")},
        {QStringLiteral("pty-megabytes"), QStringLiteral("Bytes sent over the pty."),
         QStringLiteral("MB"), QStringLiteral("16")},
        {QStringLiteral("flash"),
         QStringLiteral("Instead: flash an image to the simulated boot loader on the paced line, "
                        "with telx5-cli's flash and with the window's update.")},
        {QStringLiteral("flash-bytes"), QStringLiteral("Length of the flashed image."),
         QStringLiteral("bytes"), QStringLiteral("300000")},
        {QStringLiteral("files"),
         QStringLiteral("Instead: load a 1 MiB settings file and a long CONNECT line into the "
                        "window and into the plain record.")},
    });
    parser.process(app);

    QTextStream out(stdout);
    if (parser.isSet(QStringLiteral("files"))) {
        benchFiles(out);
        return 0;
    }
    if (parser.isSet(QStringLiteral("flash"))) {
        benchFlashes(out, parser.value(QStringLiteral("flash-bytes")).toLongLong());
        return 0;
    }
    benchDelay(out, parser.value(QStringLiteral("delay-seconds")).toInt());
    out.flush();
    benchReceiveInProcess(out, parser.value(QStringLiteral("megabytes")).toLongLong());
    out.flush();
    benchHexLog(out);
    out.flush();
    benchReceiveOverPty(out, parser.value(QStringLiteral("pty-megabytes")).toLongLong());
    return 0;
}
