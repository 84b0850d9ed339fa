#pragma once

#include "fields.h"

#include <QString>
#include <QValidator>

class QLineEdit;

namespace telx5 {

// The entry rules of one text box: its key filter, its typing limit, the
// trimming on change, and no line break from a paste. The limit binds what the
// user types or pastes only; a text the program sets (parser, defaults, loaded
// file) is shown whole.
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
    void textChanged(const QString &text);

    QLineEdit &m_edit;
    Field m_field;
    int m_limit;
    // The text before the change being validated.
    QString m_last;
};

} // namespace telx5
