#include "backups.h"
#include "mainwindow.h"
#include "portsettingsstore.h"
#include "qtdialogs.h"
#include "qtseriallink.h"
#include "simdevice.h"
#include "tracelog.h"
#include "updatejournal.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

namespace {

// --help and --version answer on the terminal: they need no window system, and
// the window's application would end without one.
bool answersWithoutWindow(int argc, char *argv[])
{
    for (int index = 1; index < argc; ++index) {
        const QByteArrayView argument(argv[index]);
        if (argument == "-h" || argument == "--help" || argument == "-?" ||
            argument == "--help-all" || argument == "-v" || argument == "--version")
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app =
        answersWithoutWindow(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                         : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telx5-config"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELX5_VERSION));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(QStringLiteral("Configures TELX5 APRS devices."));
    arguments.addHelpOption();
    arguments.addVersionOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Attach a simulated device and choose its port, to try the window "
                       "without hardware."));
    arguments.addOption(simulate);
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QStringLiteral("Append every byte sent and received on the port to <file>, with times, "
                       "for a bug report."),
        QStringLiteral("file"));
    arguments.addOption(trace);
    arguments.process(*app);

    // Declared before the port, so that the port is closed before the
    // simulated device behind it goes.
    std::unique_ptr<telx5::SimDevice> device;
    telx5::QtSerialLink link;
    telx5::TraceLog traceLog(link);
    if (arguments.isSet(trace)) {
        QString error;
        if (!traceLog.open(arguments.value(trace), &error)) {
            std::fprintf(stderr, "telx5-config: %s\n", qUtf8Printable(error));
            return 2;
        }
    }

    telx5::MainWindow::Options options;
    options.locale = QLocale::system();
    options.iniPath = telx5::PortSettingsStore::defaultIniPath();
    options.backupFolder = telx5::Backups::defaultFolder();
    options.journalFolder = telx5::UpdateJournal::defaultFolder();

    if (arguments.isSet(simulate)) {
        device = std::make_unique<telx5::SimDevice>();
        QString error;
        if (!device->start(&error)) {
            std::fprintf(stderr, "telx5-config: the simulated device did not start: %s\n",
                         qUtf8Printable(error));
            return 1;
        }
        options.extraPort = device->portPath();
        // The simulated port is gone when the program ends: it is neither
        // remembered nor taken from the port memory.
        options.iniPath.clear();
        // Its settings are the program's own, never worth keeping.
        options.keepBackups = false;
        options.journalFolder.clear();
    }

    telx5::QtDialogs dialogs;
    telx5::MainWindow window(options, dialogs, &link);
    window.show();
    return QApplication::exec();
}
