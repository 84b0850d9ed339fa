// telx5-cli: the window's commands without the window, for scripts and for
// configuring many devices from one settings file.

#include "consolehost.h"
#include "devicesettings.h"
#include "filecommands.h"
#include "flash.h"
#include "hexlog.h"
#include "ports.h"
#include "portsettingsstore.h"
#include "qtseriallink.h"
#include "receiver.h"
#include "sessions.h"
#include "settingsfile.h"
#include "simdevice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace telx5;

namespace {

// The status box is where the sessions report; show each new last line as it
// appears, so a 40-second read does not look like a hang.
class StatusEcho : public QObject
{
public:
    explicit StatusEcho(const DeviceView &view) : m_view(view)
    {
        connect(&m_timer, &QTimer::timeout, this, &StatusEcho::poll);
        m_timer.start(100);
    }
    ~StatusEcho() override { poll(); }

    void poll()
    {
        const QString text = m_view.statusText();
        if (text == m_last)
            return;
        m_last = text;
        const QStringList lines = QString(text)
                                      .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            printLine(lines.last());
    }

private:
    const DeviceView &m_view;
    QTimer m_timer;
    QString m_last;
};

int usage(const QCommandLineParser &arguments)
{
    std::fprintf(stderr, "%s", qUtf8Printable(arguments.helpText()));
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telx5-cli"));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(QStringLiteral(
        "Reads, writes, restarts and flashes TELX5 APRS devices.\n\n"
        "Commands:\n"
        "  ports               list the serial ports that open\n"
        "  read [FILE]         read the device's settings; print them, or save them to FILE\n"
        "  write FILE          write the settings of a settings file to the device\n"
        "  default FILE        save the Default values as a settings file\n"
        "  wifi SSID PASSWORD  send the Wi-Fi credentials; the device restarts when it confirms\n"
        "  restart             restart the device\n"
        "  flash IMAGE         upload a firmware image to the device's boot loader\n\n"
        "Exit status: 0 when the device confirmed, 1 when it did not, 2 on a usage error, a\n"
        "firmware image refused or settings text the code page cannot carry (see --lossy),\n"
        "before anything was sent. A port that cannot be used gives 1, or 3 for flash."));
    arguments.addHelpOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The serial port, e.g. /dev/ttyUSB0 (default: the port last read from)."),
        QStringLiteral("name"));
    const QCommandLineOption chineseOption(
        QStringLiteral("chinese"), QStringLiteral("Chinese texts and the GB18030 code page."));
    const QCommandLineOption simulateOption(QStringLiteral("simulate"),
                                            QStringLiteral("Talk to a simulated device instead."));
    const QCommandLineOption lossyOption(
        QStringLiteral("lossy"),
        QStringLiteral("write: send text the code page cannot carry anyway, as '?'."));
    arguments.addOptions({portOption, chineseOption, simulateOption, lossyOption});
    arguments.addPositionalArgument(QStringLiteral("command"), QStringLiteral("See above."));
    arguments.process(app);

    const QStringList positional = arguments.positionalArguments();
    if (positional.isEmpty())
        return usage(arguments);
    const QString command = positional.first();
    const QStringList rest = positional.mid(1);

    if (command == QLatin1String("ports")) {
        for (const QString &port : Ports::probePorts())
            std::printf("%s\n", qUtf8Printable(port));
        return 0;
    }

    const QString language = arguments.isSet(chineseOption) ? QStringLiteral("1") : QString();
    // The simulated device's port is gone when the program ends: it is never
    // remembered.
    const bool simulate = arguments.isSet(simulateOption);
    const QString iniPath = simulate ? QString() : PortSettingsStore::defaultIniPath();
    ConsoleHost host(language, iniPath);
    const TextCodec codec(codePageForLanguage(language));
    LineParser parser(host.settings(), host.flags(), codec);
    QtSerialLink port;
    HexLog hexLog;
    Receiver receiver(port, host.lineBuffer(), parser, hexLog);
    SessionContext context{host, port, codec, parser};

    std::unique_ptr<SimDevice> device;
    QString portName = arguments.value(portOption);
    if (simulate) {
        device = std::make_unique<SimDevice>();
        QString error;
        if (!device->start(&error)) {
            printLine(QStringLiteral("The simulated device did not start: ") + error);
            return 1;
        }
        portName = device->portPath();
    }
    if (portName.isEmpty() && !iniPath.isEmpty()) {
        portName = PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"),
                                                iniPath);
        if (Ports::isPseudoTerminal(portName))
            portName.clear();
    }
    host.setPortText(portName);
    Ports::configurePort(port, portName);

    const auto needs = [&](qsizetype count) {
        if (rest.size() == count)
            return true;
        usage(arguments);
        return false;
    };

    int status = 1;
    {
        StatusEcho echo(host.settings());
        if (command == QLatin1String("read") && rest.size() <= 1) {
            readSettings(context);
            if (host.flags().readEnd && host.messages().isEmpty()) {
                printLine(QStringLiteral("Version: ") + host.settings().text(Field::Version));
                if (rest.isEmpty()) {
                    const QByteArray file = SettingsFile::save(host.settings(), codec);
                    std::fwrite(file.constData(), 1, size_t(file.size()), stdout);
                    status = 0;
                } else {
                    host.setFileName(rest.first());
                    saveSettingsFile(context);
                    status = host.messages().isEmpty() ? 0 : 1;
                }
            }
        } else if (command == QLatin1String("write")) {
            if (!needs(1))
                return 2;
            host.setFileName(rest.first());
            loadSettingsFile(context);
            if (!host.messages().isEmpty())
                return 1;
            // Text the code page lacks would reach the device as '?': named,
            // and sent only when asked for.
            const auto lossy = DeviceSettings::lossyFields(host.settings(), codec);
            if (!lossy.isEmpty() && !arguments.isSet(lossyOption)) {
                for (const auto &[field, lost] : lossy)
                    printLine(DeviceSettings::lossLine(field, lost, host.isChinese()));
                printLine(QStringLiteral("Nothing was sent; --lossy sends it anyway."));
                return 2;
            }
            writeSettings(context);
            status = host.flags().freqSaved ? 0 : 1;
        } else if (command == QLatin1String("default")) {
            if (!needs(1))
                return 2;
            DeviceSettings::applyDefaults(host.settings());
            host.setFileName(rest.first());
            saveSettingsFile(context);
            status = host.messages().isEmpty() ? 0 : 1;
        } else if (command == QLatin1String("wifi")) {
            if (!needs(2))
                return 2;
            host.settings().setText(Field::WifiSsid, rest.at(0));
            host.settings().setText(Field::WifiPass, rest.at(1));
            applyWifi(context);
            status =
                host.settings().statusText().contains(QLatin1String("WIFI Write complete")) ? 0 : 1;
        } else if (command == QLatin1String("restart")) {
            if (!needs(0))
                return 2;
            restartDevice(context);
            status = host.messages().isEmpty() ? 0 : 1;
        } else if (command == QLatin1String("flash")) {
            if (!needs(1))
                return 2;
            status = flashImage(host, port, hexLog, codec, rest.first()).exitCode;
        } else {
            return usage(arguments);
        }
    }
    return status;
}
