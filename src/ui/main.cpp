#include "mainwindow.h"
#include "portsettingsstore.h"
#include "qtdialogs.h"
#include "simdevice.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("telx5-config"));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(QStringLiteral("Configures TELX5 APRS devices."));
    arguments.addHelpOption();
    const QCommandLineOption simulate(
        QStringLiteral("simulate"),
        QStringLiteral("Attach a simulated device and choose its port, to try the window "
                       "without hardware."));
    arguments.addOption(simulate);
    arguments.process(app);

    telx5::MainWindow::Options options;
    options.locale = QLocale::system();
    options.iniPath = telx5::PortSettingsStore::defaultIniPath();

    std::unique_ptr<telx5::SimDevice> device;
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
    }

    telx5::QtDialogs dialogs;
    telx5::MainWindow window(options, dialogs);
    window.show();
    return QApplication::exec();
}
