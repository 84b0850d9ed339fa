#include "simulation.h"

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
    parser.addOptions({neverConnect, ignore, reportOnly});
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
    return {};
}

} // namespace telx5
