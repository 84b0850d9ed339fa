#pragma once

#include "host.h"
#include "ports.h"

#include <QString>

namespace telx5::SessionSupport {

// The read and write sessions speak the window's language; the Wi-Fi and
// restart commands always speak English.
inline QString pick(const SessionHost &host, const char16_t *chinese, const char16_t *english)
{
    return QString::fromUtf16(host.isChinese() ? chinese : english);
}

// The Read button's caption once another command has taken the port from it.
inline QString portIsOpen(const SessionHost &host)
{
    return pick(host, u"端口已打开", u"Port is open");
}

// The one message of a command that could not use the port.
inline QString portFailure()
{
    return QStringLiteral("Port is open or no");
}

// Opens the port for a command. The message box that tells of a failure has one
// wording for every cause, so the cause itself (which port, missing, in use,
// or no permission and which group grants it) goes into the status box.
inline bool openPort(SessionHost &host, SerialLink &port)
{
    QString error;
    if (port.open(&error))
        return true;
    if (!error.isEmpty())
        host.settings().appendStatusLine(error);
    return false;
}

// A port text typed by hand that names no port is shown (and remembered) as
// the platform's first port; the port already chosen stays in use.
inline void normalisePortText(SessionHost &host)
{
    if (!host.portText().startsWith(Ports::namePrefix()))
        host.setPortText(Ports::replacement());
}

} // namespace telx5::SessionSupport
