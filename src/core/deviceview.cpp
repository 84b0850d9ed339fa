#include "deviceview.h"

namespace telx5 {

void DeviceView::appendStatusLine(const QString &message)
{
    appendStatus(QStringLiteral("\r\n") + message);
}

void DeviceView::appendStatus(const QString &text)
{
    setStatusText(statusText() + text);
}

} // namespace telx5
