#pragma once

#include <QAction>
#include <QEvent>
#include <QObject>
#include <QWidget>

namespace telx5 {

// Keeps an action enabled exactly while the control it stands for is, by
// whatever means the control was enabled or disabled (a session, the firmware
// update holding the other commands). Owned by the action.
class EnabledFollower final : public QObject
{
public:
    EnabledFollower(QAction &action, QWidget &control) : QObject(&action), m_action(action)
    {
        m_action.setEnabled(control.isEnabled());
        control.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::EnabledChange)
            m_action.setEnabled(static_cast<QWidget *>(watched)->isEnabled());
        return false;
    }

private:
    QAction &m_action;
};

} // namespace telx5
