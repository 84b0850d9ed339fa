#include "fieldentry.h"

#include "entryrules.h"

#include <QAction>
#include <QChildEvent>
#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScopedValueRollback>

#include <algorithm>
#include <optional>
#include <utility>

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
    // Selecting all, copying and cutting, as in every other box, are no typed
    // characters: they put nothing into the box.
    if (event.matches(QKeySequence::SelectAll) || event.matches(QKeySequence::Copy) ||
        event.matches(QKeySequence::Cut))
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

// How many characters at the start and at the end a change left as they were;
// they never overlap.
std::pair<qsizetype, qsizetype> unchangedEnds(const QString &before, const QString &after)
{
    const qsizetype common = std::min(after.size(), before.size());
    qsizetype prefix = 0;
    while (prefix < common && after.at(prefix) == before.at(prefix))
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < common - prefix &&
           after.at(after.size() - 1 - suffix) == before.at(before.size() - 1 - suffix))
        ++suffix;
    return {prefix, suffix};
}

} // namespace

FieldEntry::FieldEntry(QLineEdit &edit, Field field)
    : QValidator(&edit), m_edit(edit), m_field(field), m_limit(EntryRules::typingLimit(field)),
      m_last(edit.text())
{
    m_edit.setValidator(this);
    m_edit.installEventFilter(this);
    // A drop would be refused: the pointer says so before the button is let go.
    if (!takesPaste())
        m_edit.setAcceptDrops(false);
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
    const auto [prefix, suffix] = unchangedEnds(m_last, input);

    // Every way text gets into the box ends here: Ctrl+V, Shift+Insert, the
    // menu's Paste (also from a menu of the program's own, or triggered by
    // code), a middle-click, a drop, and any the platform adds. Filtering
    // their events would miss what is not an event, so a box that takes no
    // paste takes no insertion but the one the key being handed over makes.
    // The change is turned back rather than refused as Invalid: the box would
    // then let the next change through unchecked.
    if (!takesPaste() && input.size() - prefix - suffix > m_typed.size()) {
        input = m_last;
        pos = static_cast<int>(std::min(prefix, m_last.size()));
        return Acceptable;
    }
    if (m_limit == 0 || input.size() <= m_limit)
        return Acceptable;

    // The edit replaced a middle part of the old text; keep of the new part only
    // what fits, so that an over-long paste is cut and a typed key refused.
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
    if (watched != &m_edit || m_handingOver)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        return keyPressed(*static_cast<QKeyEvent *>(event));
    case QEvent::InputMethod:
        return textCommitted(*static_cast<QInputMethodEvent *>(event));
    case QEvent::ChildPolished:
        // The box's context menu, the standard one or one built from it, is
        // polished just before it shows, with its entries in place.
        if (auto *menu = qobject_cast<QMenu *>(static_cast<QChildEvent *>(event)->child());
            menu && !takesPaste())
            disablePaste(*menu);
        return false;
    default:
        return false;
    }
}

bool FieldEntry::keyPressed(QKeyEvent &key)
{
    const std::optional<QChar> code = characterCode(key);
    if (!code)
        return false;
    const QString filtered = filterKey(*code);
    if (filtered.isEmpty())
        return true;
    if (filtered == QString(*code) && takesPaste())
        return false;
    const QScopedValueRollback handingOver(m_handingOver, true);
    const QScopedValueRollback typed(m_typed, filtered);
    QKeyEvent handed(QEvent::KeyPress, key.key(), key.modifiers(), filtered, key.isAutoRepeat(),
                     static_cast<ushort>(key.count()));
    QCoreApplication::sendEvent(&m_edit, &handed);
    return true;
}

// An input method (a Chinese one, or any on some Wayland desktops) delivers
// typed text as committed text, not as key presses: the key filter takes
// each of its characters as it takes a key.
bool FieldEntry::textCommitted(QInputMethodEvent &input)
{
    const QString commit = input.commitString();
    if (commit.isEmpty())
        return false;
    QString filtered;
    for (const QChar code : commit)
        filtered += filterKey(code);
    if (filtered == commit && takesPaste())
        return false;
    const QScopedValueRollback handingOver(m_handingOver, true);
    const QScopedValueRollback typed(m_typed, filtered);
    QInputMethodEvent handed(input.preeditString(), input.attributes());
    handed.setCommitString(filtered, input.replacementStart(), input.replacementLength());
    QCoreApplication::sendEvent(&m_edit, &handed);
    return true;
}

void FieldEntry::disablePaste(QMenu &menu) const
{
    // The standard entries carry no names: Paste is known by its caption,
    // which the box translates itself, before the tab and its shortcut.
    const QString paste = QLineEdit::tr("&Paste");
    for (QAction *action : menu.actions()) {
        if (action->text().section(QLatin1Char('\t'), 0, 0) == paste)
            action->setEnabled(false);
    }
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

// Ctrl+V arrives as the code 22: a box whose key filter drops it is one the
// user only types into.
bool FieldEntry::takesPaste() const
{
    return !filterKey(QChar(22)).isEmpty();
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
