#include "fieldentry.h"

#include "entryrules.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>
#include <optional>

namespace telx5 {

namespace {

// The character code a key press hands to a key filter; nothing for keys that
// produce none (arrows, Delete, Home, function keys), which the box handles.
std::optional<QChar> characterCode(const QKeyEvent &event)
{
    switch (event.key()) {
    case Qt::Key_Backspace:
        return QChar(8);
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(13);
    case Qt::Key_Escape:
        return QChar(27);
    default:
        break;
    }
    // Selecting all, as in every other box, is no typed character.
    if (event.matches(QKeySequence::SelectAll))
        return std::nullopt;
    const auto modifiers = event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    // Ctrl+C, Ctrl+V, Ctrl+X and Ctrl+Z arrive as the control codes 3, 22, 24 and 26.
    if (modifiers == Qt::ControlModifier && event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return QChar(static_cast<char16_t>(event.key() - Qt::Key_A + 1));
    const QString text = event.text();
    if (text.size() == 1 && text.at(0).isPrint())
        return text.at(0);
    return std::nullopt;
}

} // namespace

FieldEntry::FieldEntry(QLineEdit &edit, Field field)
    : QValidator(&edit), m_edit(edit), m_field(field), m_limit(EntryRules::typingLimit(field)),
      m_last(edit.text())
{
    m_edit.setValidator(this);
    m_edit.installEventFilter(this);
    connect(&m_edit, &QLineEdit::textChanged, this, &FieldEntry::textChanged);
}

QValidator::State FieldEntry::validate(QString &input, int &pos) const
{
    // setText() leaves the box unmodified; only the user's own edits modify it.
    if (!m_edit.isModified())
        return Acceptable;
    // A pasted line break would end the setting's line on the wire and in the
    // settings file, and start another one there: each becomes a space.
    input.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (m_limit == 0 || input.size() <= m_limit)
        return Acceptable;

    // The edit replaced a middle part of the old text; keep of the new part only
    // what fits, so that an over-long paste is cut and a typed key refused.
    const qsizetype common = std::min(input.size(), m_last.size());
    qsizetype prefix = 0;
    while (prefix < common && input.at(prefix) == m_last.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix &&
           input.at(input.size() - 1 - suffix) == m_last.at(m_last.size() - 1 - suffix))
        ++suffix;
    const qsizetype kept = prefix + suffix;
    qsizetype room = std::max<qsizetype>(0, m_limit - kept);
    // Never keep half of a character that takes two UTF-16 units.
    if (room > 0 && input.at(prefix + room - 1).isHighSurrogate())
        --room;
    input = input.left(prefix + room) + input.right(suffix);
    pos = static_cast<int>(prefix + room);
    // A text the program put there may be longer than the limit: the first
    // edit of the user's own cuts it, as a paste is cut.
    if (input.size() > m_limit) {
        qsizetype keep = m_limit;
        if (input.at(keep - 1).isHighSurrogate())
            --keep;
        input.truncate(keep);
        pos = std::min(pos, static_cast<int>(keep));
    }
    return Acceptable;
}

bool FieldEntry::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_edit || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    const std::optional<QChar> code = characterCode(*key);
    if (!code)
        return false;
    const QString filtered = filterKey(*code);
    if (filtered.isEmpty())
        return true;
    if (filtered == QString(*code))
        return false;
    QKeyEvent replaced(QEvent::KeyPress, key->key(), key->modifiers(), filtered,
                       key->isAutoRepeat(), static_cast<ushort>(key->count()));
    QCoreApplication::sendEvent(&m_edit, &replaced);
    return true;
}

QString FieldEntry::filterKey(QChar code) const
{
    switch (m_field) {
    case Field::Callsign:
        return EntryRules::filterCallsignKey(code);
    case Field::Pass:
    case Field::SentTime:
        return EntryRules::filterDigitKey(code);
    case Field::Freq:
        return EntryRules::filterFreqKey(code);
    default:
        return QString(code);
    }
}

void FieldEntry::textChanged(const QString &text)
{
    if (EntryRules::trimsOnChange(m_field)) {
        const QString trimmed = EntryRules::trimSpaces(text);
        if (trimmed != text) {
            // Runs this rule once more, on a text that no longer changes.
            m_edit.setText(trimmed);
            return;
        }
    }
    m_last = text;
}

} // namespace telx5
