#pragma once

#include "qtseriallink.h"

namespace telx5 {

// The command line's serial port. Its first open tells a port that cannot be
// used at all (exit 3) from a link that fails later in the command (exit 1):
// a session's own open reports both alike.
class ConsoleLink : public QtSerialLink
{
public:
    using QtSerialLink::QtSerialLink;

    bool open(QString *error = nullptr) override;

    // The first open failed, so nothing has been sent.
    bool unavailable() const { return m_firstOpen == FirstOpen::Failed; }

private:
    enum class FirstOpen
    {
        NotYet,
        Opened,
        Failed,
    };

    FirstOpen m_firstOpen = FirstOpen::NotYet;
};

} // namespace telx5
