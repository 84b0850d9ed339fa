#include "jsonoutput.h"

#include "settingsfile.h"
#include "settingstable.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace telx5::JsonOutput {

namespace {

QByteArray document(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

// The value of a setting's file line, after "KEYWORD:" and without the "#"
// the DHCP line ends with.
QString fileValue(Setting setting, const SettingsRecord &record)
{
    QString value =
        SettingsFile::fileLine(setting, record).mid(SettingsTable::fileKeyword(setting).size() + 1);
    value.chop(qstrlen(SettingsTable::row(setting).fileSuffix));
    return value;
}

QString hex(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

QByteArray settings(const SettingsRecord &record)
{
    QJsonObject values;
    for (Setting setting : SettingsTable::fileSettings())
        values.insert(SettingsTable::fileKeyword(setting), fileValue(setting, record));
    return document({{QStringLiteral("version"), record.text(Field::Version)},
                     {QStringLiteral("settings"), values}});
}

QByteArray problems(const QString &fileName, const QList<Problem> &problems,
                    const SettingsRecord &record)
{
    QJsonArray list;
    for (const Problem &problem : problems) {
        const std::optional<Setting> setting = SettingsTable::settingOf(problem.field);
        QJsonObject entry{
            {QStringLiteral("setting"),
             setting ? SettingsTable::caption(*setting) : SettingsTable::fieldName(problem.field)},
            {QStringLiteral("keyword"),
             setting ? QJsonValue(QString(SettingsTable::fileKeyword(*setting))) : QJsonValue()},
            {QStringLiteral("severity"), problem.severity == Severity::Error
                                             ? QStringLiteral("error")
                                             : QStringLiteral("warning")},
            {QStringLiteral("message"), problem.text},
        };
        if (problem.field == Field::Position) {
            const std::optional<QString> words =
                Checks::describePosition(record.text(Field::Position));
            entry.insert(QStringLiteral("words"), words ? QJsonValue(*words) : QJsonValue());
        }
        list.append(entry);
    }
    const auto errors = std::count_if(problems.cbegin(), problems.cend(), [](const Problem &p) {
        return p.severity == Severity::Error;
    });
    return document({{QStringLiteral("file"), fileName},
                     {QStringLiteral("errors"), qint64(errors)},
                     {QStringLiteral("warnings"), qint64(problems.size() - errors)},
                     {QStringLiteral("problems"), list}});
}

QByteArray differences(const QString &fileName, const SettingsRecord &file,
                       const SettingsRecord &device)
{
    QJsonArray list;
    for (Setting setting : SettingsFile::differences(file, device))
        list.append(QJsonObject{
            {QStringLiteral("setting"), SettingsTable::caption(setting)},
            {QStringLiteral("keyword"), QString(SettingsTable::fileKeyword(setting))},
            {QStringLiteral("device"), fileValue(setting, device)},
            {QStringLiteral("file"), fileValue(setting, file)},
        });
    return document({{QStringLiteral("file"), fileName}, {QStringLiteral("differences"), list}});
}

QByteArray backups(const QString &folder, const QList<Backups::Entry> &entries)
{
    QJsonArray list;
    for (const Backups::Entry &entry : entries)
        list.append(QJsonObject{
            {QStringLiteral("path"), entry.path},
            {QStringLiteral("date"), entry.date},
            {QStringLiteral("callsign"), entry.callsign},
            {QStringLiteral("reason"), entry.reason},
        });
    return document({{QStringLiteral("folder"), folder}, {QStringLiteral("backups"), list}});
}

QByteArray ports(const QList<Ports::PortFacts> &ports)
{
    QJsonArray list;
    for (const Ports::PortFacts &port : ports)
        list.append(QJsonObject{
            {QStringLiteral("path"), port.path},
            {QStringLiteral("description"), port.description},
            {QStringLiteral("usbId"),
             port.hasUsbId
                 ? QJsonValue(hex(port.usbId.vendor) + QLatin1Char(':') + hex(port.usbId.product))
                 : QJsonValue()},
        });
    return document({{QStringLiteral("ports"), list}});
}

QByteArray history(const QString &callsign, const QList<Backups::Step> &steps)
{
    QJsonArray list;
    for (const Backups::Step &step : steps) {
        QJsonArray changes;
        for (const Backups::Change &change : step.changes)
            changes.append(QJsonObject{
                {QStringLiteral("setting"), SettingsTable::caption(change.setting)},
                {QStringLiteral("keyword"), QString(SettingsTable::fileKeyword(change.setting))},
                {QStringLiteral("from"), change.from},
                {QStringLiteral("to"), change.to},
            });
        list.append(QJsonObject{
            {QStringLiteral("path"), step.entry.path},
            {QStringLiteral("date"), step.entry.date},
            {QStringLiteral("callsign"), step.entry.callsign},
            {QStringLiteral("reason"), step.entry.reason},
            {QStringLiteral("readable"), step.readable},
            {QStringLiteral("first"), step.first},
            {QStringLiteral("changes"), changes},
        });
    }
    return document({{QStringLiteral("callsign"), callsign}, {QStringLiteral("backups"), list}});
}

} // namespace telx5::JsonOutput
