#include "checkmarks.h"

#include "checks.h"
#include "settingsrecord.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QVariant>

namespace telx5::CheckMarks {

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(CheckMarks)
};

// Dynamic properties: the mark on the edit line, and the two parts of the
// owner's tooltip.
constexpr char MarkProperty[] = "checkMark";
constexpr char NotesProperty[] = "checkNotes";
constexpr char WholeTextProperty[] = "wholeText";

// A border inside the box's geometry: the written places stay as they are.
// The two differ in line as well as in colour.
QString styleOf(const QString &mark)
{
    if (mark == QLatin1String("error"))
        return QStringLiteral("QLineEdit { border: 2px solid #d32f2f; }");
    if (mark == QLatin1String("warning"))
        return QStringLiteral("QLineEdit { border: 2px dashed #e08a00; }");
    return {};
}

void showTip(QWidget *owner)
{
    QStringList parts;
    for (const char *property : {WholeTextProperty, NotesProperty}) {
        const QString part = owner->property(property).toString();
        if (!part.isEmpty())
            parts.append(part);
    }
    owner->setToolTip(parts.join(QLatin1Char('\n')));
}

// The frame goes on the edit line; a list's frame would change how the
// list draws its arrow.
QWidget *markedWidget(QWidget *control)
{
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->lineEdit();
    return qobject_cast<QLineEdit *>(control);
}

void mark(QWidget *control, const QString &markName, const QString &notes)
{
    if (QWidget *edit = markedWidget(control);
        edit && edit->property(MarkProperty).toString() != markName) {
        edit->setProperty(MarkProperty, markName);
        edit->setStyleSheet(styleOf(markName));
    }
    if (control->property(NotesProperty).toString() != notes) {
        control->setProperty(NotesProperty, notes);
        showTip(control);
    }
}

// A window that holds no settings yet (just started, or a read just begun)
// is no window full of mistakes. The check box, the version and the CTCSS
// box always hold something.
bool holdsSettings(const SettingsRecord &record)
{
    for (int index = 0; index < FieldCount; ++index) {
        const Field field = Field(index);
        if (field != Field::Digi && field != Field::Version && field != Field::Ctcss &&
            !record.text(field).trimmed().isEmpty())
            return true;
    }
    return false;
}

} // namespace

void show(const Controls &controls, const SettingsRecord &record, const TextCodec &codec)
{
    const bool judged = holdsSettings(record);
    const QList<Problem> problems =
        judged ? Checks::problems(record, Checks::Scope::WithWifi, codec) : QList<Problem>();
    for (int index = 0; index < FieldCount; ++index) {
        const Field field = Field(index);
        QStringList notes;
        if (field == Field::Position && judged) {
            if (const std::optional<QString> report = Checks::describePosition(record.text(field)))
                notes.append(*report);
        }
        QString markName;
        for (const Problem &problem : problems) {
            if (problem.field != field)
                continue;
            const bool error = problem.severity == Severity::Error;
            notes.append(error ? Text::tr("Error: %1").arg(problem.text)
                               : Text::tr("Warning: %1").arg(problem.text));
            if (error || markName.isEmpty())
                markName = error ? QStringLiteral("error") : QStringLiteral("warning");
        }
        mark(controls[std::size_t(index)], markName, notes.join(QLatin1Char('\n')));
    }
}

void setWholeText(QWidget *owner, const QString &wholeText)
{
    owner->setProperty(WholeTextProperty, wholeText);
    showTip(owner);
}

} // namespace telx5::CheckMarks
