#pragma once

#include "fields.h"

#include <QString>
#include <QValidator>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;

namespace telx5 {

// The entry rules of one text box: its key filter, its typing limit, the
// trimming on change, and no line break from a paste. The limit binds what the
// user types or pastes only; a text the program sets (parser, defaults, loaded
// file) is shown whole. A box whose key filter drops the paste shortcut takes
// no paste by any other route either.
class FieldEntry final : public QValidator
{
    Q_OBJECT
public:
    FieldEntry(QLineEdit &edit, Field field);

    State validate(QString &input, int &pos) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString filterKey(QChar code) const;
    bool takesPaste() const;
    // Hands a typed key, or an input method's committed text, to the box with
    // the text the key filter made of it, as the one insertion it may make.
    bool keyPressed(QKeyEvent &key);
    bool textCommitted(QInputMethodEvent &input);
    void disablePaste(QMenu &menu) const;
    void textChanged(const QString &text);

    QLineEdit &m_edit;
    Field m_field;
    int m_limit;
    // The text before the change being validated.
    QString m_last;
    // A key or a committed text is being handed over: it comes back through
    // the filter, which lets it pass.
    bool m_handingOver = false;
    // What the key or the input method being handed over types.
    QString m_typed;
};

} // namespace telx5
