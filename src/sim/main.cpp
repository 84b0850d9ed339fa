#include "simdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <limits>

namespace {

int intOption(const QCommandLineParser &parser, const QString &name, int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok) {
        QTextStream(stderr) << "telx5-sim: --" << name << " needs a number\n";
        std::exit(2);
    }
    return value;
}

// Milliseconds from a number of seconds such as "2.5"; a timer takes at most
// INT_MAX of them.
int secondsOption(const QCommandLineParser &parser, const QString &name, int fallback)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const double seconds = parser.value(name).toDouble(&ok);
    if (!ok || !(seconds >= 0 && seconds * 1000 <= std::numeric_limits<int>::max())) {
        QTextStream(stderr) << "telx5-sim: --" << name << " needs a number of seconds\n";
        std::exit(2);
    }
    return qRound(seconds * 1000);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telx5-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("A simulated TELX5 on a pseudo-terminal. Prints the port to open, then "
                       "answers until it is stopped.\n\n"
                       "Like a real TELX5 it keeps what is written to it in its settings memory "
                       "and reports that to AT+READ#. AT+RESET# puts back the factory settings "
                       "(those it starts with) before it answers \"eeram reset\", so a firmware "
                       "update leaves the factory settings; the boot loader itself changes no "
                       "setting.\n\n"
                       "Its boot loader takes only the header 5E, the length below a whole block "
                       "(two bytes, high byte first, under 2048), the count of whole blocks, E5; "
                       "and only a last block padded with FF past the image's end. Anything else "
                       "it refuses: it replies nothing more, saves no image, says why on "
                       "standard error and waits for the next probe."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("connect-after"),
         QStringLiteral("Answer CONNECT from the n-th SETUP# line on."), QStringLiteral("n")},
        {QStringLiteral("never-connect"), QStringLiteral("Never answer SETUP#.")},
        {QStringLiteral("silent"), QStringLiteral("Answer nothing at all.")},
        {QStringLiteral("ignore"),
         QStringLiteral("Neither store nor answer command lines beginning with this text "
                        "(repeatable)."),
         QStringLiteral("prefix")},
        {QStringLiteral("ignore-after-reset"),
         QStringLiteral("As --ignore, from AT+RESET# on: settings written back after an update "
                        "that do not take (repeatable)."),
         QStringLiteral("prefix")},
        {QStringLiteral("report-only"),
         QStringLiteral("Answer AT+READ# with only the settings whose lines begin with this "
                        "text, then READ END (repeatable)."),
         QStringLiteral("prefix")},
        {QStringLiteral("answer-delay"), QStringLiteral("Wait before each answer."),
         QStringLiteral("ms")},
        {QStringLiteral("line-gap"), QStringLiteral("Wait between the lines of an answer."),
         QStringLiteral("ms")},
        {QStringLiteral("baud"), QStringLiteral("Pace the output at this line speed."),
         QStringLiteral("baud")},
        {QStringLiteral("paced"),
         QStringLiteral("Model the wire at 115200 8N1 both ways: input arrives at the line's "
                        "pace, and bytes that arrive while the tool's side of the line has "
                        "other settings arrive garbled.")},
        {QStringLiteral("fragment"), QStringLiteral("Write the output in pieces of n bytes."),
         QStringLiteral("n")},
        {QStringLiteral("garbage"), QStringLiteral("Send these bytes (hex) before each answer."),
         QStringLiteral("hex")},
        {QStringLiteral("resend-block"), QStringLiteral("Boot loader: ask once for block k again."),
         QStringLiteral("k")},
        {QStringLiteral("silent-after-block"),
         QStringLiteral("Boot loader: fall silent after storing block k."), QStringLiteral("k")},
        {QStringLiteral("block-delay"),
         QStringLiteral("Boot loader: take this long over each block before replying."),
         QStringLiteral("ms")},
        {QStringLiteral("boot-window"),
         QStringLiteral("Boot loader: wait this long for the probe, -1 for good (default 3000)."),
         QStringLiteral("ms")},
        {QStringLiteral("save-image"),
         QStringLiteral("Write each firmware image the boot loader receives to this file."),
         QStringLiteral("file")},
        {QStringLiteral("vanish-after"),
         QStringLiteral("Pull the cable after this many seconds (2.5 is fine): the port goes "
                        "away."),
         QStringLiteral("seconds")},
        {QStringLiteral("verbose"), QStringLiteral("Print each command line received.")},
        {QStringLiteral("line-noise"),
         QStringLiteral("Send these bytes (hex) before every line of every answer."),
         QStringLiteral("hex")},
        {QStringLiteral("answer-twice"), QStringLiteral("Send every answer twice.")},
        {QStringLiteral("endless-stream"),
         QStringLiteral("Answer nothing; send bytes without a CR for good, at 115200 baud "
                        "unless --baud says otherwise.")},
        {QStringLiteral("random-replies"),
         QStringLiteral("Boot loader: random bytes around each reply from the header on, from this "
                        "seed (not 0)."),
         QStringLiteral("seed")},
    });
    parser.process(app);

    telx5::SimDevice device;
    if (parser.isSet(QStringLiteral("never-connect")))
        device.setConnectAfter(telx5::SimDevice::Never);
    else
        device.setConnectAfter(intOption(parser, QStringLiteral("connect-after"), 1));
    device.setSilent(parser.isSet(QStringLiteral("silent")));
    device.setIgnoredCommands(parser.values(QStringLiteral("ignore")));
    device.setReportedSettings(parser.values(QStringLiteral("report-only")));
    device.setAnswerDelay(intOption(parser, QStringLiteral("answer-delay"), 0));
    device.setLineGap(intOption(parser, QStringLiteral("line-gap"), 0));
    device.setBaudRate(intOption(parser, QStringLiteral("baud"), 0));
    device.setPacedLine(parser.isSet(QStringLiteral("paced")));
    device.setFragmentSize(intOption(parser, QStringLiteral("fragment"), 0));
    device.setGarbage(QByteArray::fromHex(parser.value(QStringLiteral("garbage")).toLatin1()));
    device.setResendBlock(
        intOption(parser, QStringLiteral("resend-block"), telx5::SimDevice::Never));
    device.setSilentAfterBlock(
        intOption(parser, QStringLiteral("silent-after-block"), telx5::SimDevice::Never));
    device.setBlockDelay(intOption(parser, QStringLiteral("block-delay"), 0));

    if (parser.isSet(QStringLiteral("boot-window")))
        device.setBootWindow(intOption(parser, QStringLiteral("boot-window"), 0));
    const int vanishAfterMs = secondsOption(parser, QStringLiteral("vanish-after"), -1);
    device.setLineNoise(QByteArray::fromHex(parser.value(QStringLiteral("line-noise")).toLatin1()));
    device.setAnswerTwice(parser.isSet(QStringLiteral("answer-twice")));
    device.setEndlessStream(parser.isSet(QStringLiteral("endless-stream")));
    device.setRandomReplies(
        static_cast<quint32>(intOption(parser, QStringLiteral("random-replies"), 0)));

    if (const QStringList ignored = parser.values(QStringLiteral("ignore-after-reset"));
        !ignored.isEmpty()) {
        QObject::connect(&device, &telx5::SimDevice::lineReceived, &app,
                         [&device, ignored](const QByteArray &line) {
                             if (line == "AT+RESET#")
                                 device.setIgnoredCommands(ignored);
                         });
    }
    if (parser.isSet(QStringLiteral("verbose"))) {
        QObject::connect(&device, &telx5::SimDevice::lineReceived, &app,
                         [](const QByteArray &line) {
                             QTextStream(stderr) << "<- " << QString::fromLatin1(line) << '\n';
                         });
    }
    QObject::connect(&device, &telx5::SimDevice::bootRefused, &app, [](const QString &why) {
        QTextStream(stderr) << "boot loader refused the transfer: " << why << '\n';
    });
    const QString imageFile = parser.value(QStringLiteral("save-image"));
    QObject::connect(
        &device, &telx5::SimDevice::bootImageReceived, &app, [imageFile](const QByteArray &image) {
            QTextStream(stderr) << "firmware image received: " << image.size() << " bytes\n";
            if (imageFile.isEmpty())
                return;
            QFile file(imageFile);
            if (!file.open(QIODevice::WriteOnly) || file.write(image) != image.size())
                QTextStream(stderr) << "cannot write " << imageFile << '\n';
        });

    QString error;
    if (!device.start(&error)) {
        QTextStream(stderr) << "telx5-sim: " << error << '\n';
        return 1;
    }
    QTextStream(stdout) << device.portPath() << Qt::endl;
    if (vanishAfterMs >= 0) {
        QTimer::singleShot(vanishAfterMs, &device, [&device] {
            const QString path = device.portPath();
            device.vanish();
            QTextStream(stderr) << "telx5-sim: cable pulled, " << path << " is gone\n";
        });
    }
    return app.exec();
}
