#pragma once

#include <QObject>

namespace telx5 {

// Makes every drop into a box a copy: the text dragged stays where it came
// from, also when the box takes nothing of it (its entry rules refuse the
// characters, or it is full). The box itself decides what it inserts.
class DropCopies final : public QObject
{
public:
    using QObject::QObject;

    // Watches `box`, for as long as both live.
    void guard(QObject &box);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The event being handed to its box comes back through the filter.
    bool m_delivering = false;
};

} // namespace telx5
