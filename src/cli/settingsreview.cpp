#include "settingsreview.h"

#include "checks.h"
#include "lineparser.h"
#include "settingsfile.h"
#include "settingstable.h"

#include <QRegularExpression>

#include <algorithm>

namespace telx5::SettingsReview {

namespace {

// "Pass (PASS)"; a box that belongs to no setting of a file goes by its own
// name.
QString settingName(Field field)
{
    const std::optional<Setting> setting = SettingsTable::settingOf(field);
    if (!setting)
        return SettingsTable::fieldName(field);
    return QStringLiteral("%1 (%2)").arg(SettingsTable::caption(*setting),
                                         SettingsTable::fileKeyword(*setting));
}

QString counted(qsizetype count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

QStringList fileKeywords()
{
    QStringList keywords;
    for (Setting setting : SettingsTable::fileSettings())
        keywords.append(SettingsTable::fileKeyword(setting));
    return keywords;
}

} // namespace

QStringList problemLines(const QList<Problem> &problems)
{
    QStringList lines;
    for (const Problem &problem : problems)
        lines.append(
            QStringLiteral("%1: %2: %3")
                .arg(QLatin1String(problem.severity == Severity::Error ? "error" : "warning"),
                     settingName(problem.field), problem.text));
    return lines;
}

QString problemCount(const QList<Problem> &problems)
{
    const qsizetype errors =
        std::count_if(problems.cbegin(), problems.cend(),
                      [](const Problem &problem) { return problem.severity == Severity::Error; });
    return counted(errors, "error", "errors") + QStringLiteral(" and ") +
           counted(problems.size() - errors, "warning", "warnings");
}

QString applyAssignment(SettingsRecord &record, const QString &assignment, const TextCodec &codec)
{
    const qsizetype equals = assignment.indexOf(QLatin1Char('='));
    if (equals < 0)
        return QStringLiteral("no \"=\": give KEY=VALUE, e.g. CALLSIGN=BG7XYZ-5");
    const QString key = assignment.left(equals);
    const QString value = assignment.mid(equals + 1);
    const QList<Setting> settings = SettingsTable::fileSettings();
    const auto setting =
        std::find_if(settings.cbegin(), settings.cend(), [&key](Setting candidate) {
            return key.compare(SettingsTable::fileKeyword(candidate), Qt::CaseInsensitive) == 0;
        });
    if (setting == settings.cend())
        return QStringLiteral("unknown key \"%1\"; the keys are those of a settings file: %2")
            .arg(key, fileKeywords().join(QStringLiteral(", ")));
    const QLatin1StringView keyword = SettingsTable::fileKeyword(*setting);
    // What the gate refuses to send is refused here already: a line break
    // would also end the file line and start another.
    if (const QList<Problem> refused = Checks::refusals(
            Checks::carriage(SettingsTable::row(*setting).firstField, value, codec), {});
        !refused.isEmpty())
        return QStringLiteral("%1: %2").arg(keyword, refused.constFirst().text);

    QString line = keyword + QLatin1Char(':') + value;
    const QLatin1StringView suffix(SettingsTable::row(*setting).fileSuffix);
    if (!value.endsWith(suffix))
        line += suffix;
    const QByteArray bytes = codec.encode(line);

    RecordView view;
    view.record() = record;
    Flags flags;
    LineParser parser(view, flags, codec);
    // A value the parser does not take leaves the setting as it was: the
    // user would write the file's value thinking it was theirs. A code the
    // tool does not know is kept from a file, not taken from the user, who
    // means one of the list's entries.
    if (!parser.parseLine(bytes) || !parser.lastLineSetField() ||
        !SettingsTable::keptCode(view.record().text(SettingsTable::row(*setting).firstField))
             .isEmpty())
        return QStringLiteral("\"%1\" is no value of a settings file's %2 line")
            .arg(value, keyword);
    record = view.record();
    return {};
}

QStringList differenceLines(const SettingsRecord &file, const SettingsRecord &device)
{
    using SettingsTable::Destination;
    QStringList lines;
    for (Setting setting : SettingsFile::differences(file, device))
        lines.append(QStringLiteral("%1 (%2): device '%3', file '%4'")
                         .arg(SettingsTable::caption(setting), SettingsTable::fileKeyword(setting),
                              SettingsTable::valueText(setting, device, Destination::Window),
                              SettingsTable::valueText(setting, file, Destination::Window)));
    return lines;
}

QStringList historyLines(const QList<Backups::Step> &steps)
{
    // Numbers stand as they are; text is quoted, so that a blank shows.
    const auto shown = [](const QString &value) {
        static const QRegularExpression number(QStringLiteral("^[0-9.]+$"));
        return number.match(value).hasMatch() ? value : QStringLiteral("'%1'").arg(value);
    };
    QStringList lines;
    for (qsizetype at = 0; at < steps.size(); ++at) {
        const Backups::Step &step = steps.at(at);
        QStringList changes;
        for (const Backups::Change &change : step.changes)
            changes.append(QStringLiteral("%1: %2 → %3")
                               .arg(SettingsTable::caption(change.setting), shown(change.from),
                                    shown(change.to)));
        const QString what = !step.readable      ? QStringLiteral("cannot be read as settings")
                             : at == 0           ? QStringLiteral("first backup")
                             : changes.isEmpty() ? QStringLiteral("no change")
                                                 : changes.join(QStringLiteral("; "));
        lines.append(QStringLiteral("%1  %2  %3").arg(step.entry.date, step.entry.reason, what));
    }
    return lines;
}

} // namespace telx5::SettingsReview
