#include "dropcopies.h"

#include <QCoreApplication>
#include <QDropEvent>
#include <QScopedValueRollback>

namespace telx5 {

void DropCopies::guard(QObject &box)
{
    box.installEventFilter(this);
}

bool DropCopies::eventFilter(QObject *watched, QEvent *event)
{
    if (m_delivering)
        return false;
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        break;
    default:
        return false;
    }
    {
        const QScopedValueRollback delivering(m_delivering, true);
        QCoreApplication::sendEvent(watched, event);
    }
    // The source deletes what it sent only when the drop says it moved.
    auto *drop = static_cast<QDropEvent *>(event);
    if (drop->isAccepted())
        drop->setDropAction(Qt::CopyAction);
    return true;
}

} // namespace telx5
