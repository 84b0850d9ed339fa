#include "simulation.h"

#include "consolehost.h"
#include "simdevice.h"

#include <QCommandLineParser>
#include <QProcess>

namespace telx5 {

QString configureSimulation(SimDevice &device, const QString &options)
{
    const QString variable = QString::fromLatin1(SimOptionsVariable);
    QCommandLineParser parser;
    const QCommandLineOption neverConnect(QStringLiteral("never-connect"));
    const QCommandLineOption ignore(QStringLiteral("ignore"), QString(), QStringLiteral("prefix"));
    const QCommandLineOption reportOnly(QStringLiteral("report-only"), QString(),
                                        QStringLiteral("prefix"));
    const QCommandLineOption paced(QStringLiteral("paced"));
    const QCommandLineOption verbose(QStringLiteral("verbose"));
    parser.addOptions({neverConnect, ignore, reportOnly, paced, verbose});
    // The first word stands for the program's name.
    if (!parser.parse(QStringList{variable} + QProcess::splitCommand(options)))
        return variable + QStringLiteral(": ") + parser.errorText();
    if (!parser.positionalArguments().isEmpty())
        return variable + QStringLiteral(": unexpected \"%1\"")
                              .arg(parser.positionalArguments().join(QLatin1Char(' ')));
    if (parser.isSet(neverConnect))
        device.setConnectAfter(SimDevice::Never);
    device.setIgnoredCommands(parser.values(ignore));
    device.setReportedSettings(parser.values(reportOnly));
    device.setPacedLine(parser.isSet(paced));
    // What reached the device whole, among the status lines: a line cut off
    // by a close never ends, and never shows.
    if (parser.isSet(verbose)) {
        QObject::connect(&device, &SimDevice::lineReceived, &device, [](const QByteArray &line) {
            printLine(QStringLiteral("<- ") + QString::fromLatin1(line));
        });
    }
    return {};
}

} // namespace telx5
