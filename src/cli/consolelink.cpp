#include "consolelink.h"

namespace telx5 {

bool ConsoleLink::open(QString *error)
{
    const bool opened = QtSerialLink::open(error);
    if (m_firstOpen == FirstOpen::NotYet)
        m_firstOpen = opened ? FirstOpen::Opened : FirstOpen::Failed;
    return opened;
}

} // namespace telx5
