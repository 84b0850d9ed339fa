#pragma once

#include "devicesettings.h"
#include "host.h"
#include "ports.h"

#include <QCoreApplication>
#include <QString>

namespace telx5::SessionSupport {

// The texts of the read and write sessions and the file commands; their
// Chinese forms are in the translation file.
class SessionText
{
    Q_DECLARE_TR_FUNCTIONS(Session)
};

// Texts that read the same in either language: the Wi-Fi, restart, firmware
// and settings-file messages and the device's own words stay English, a few
// file-dialog texts stay Chinese. A translator leaves this context alone.
class FixedText
{
    Q_DECLARE_TR_FUNCTIONS(SameInBothLanguages)
};

// The Read button's caption once another command has taken the port from it.
inline QString portIsOpen()
{
    return SessionText::tr("Port is open");
}

// The one message of a command that could not use the port.
inline QString portFailure()
{
    //: Stays English in both languages.
    return FixedText::tr("Port is open or no");
}

// The outcome of a session that ends here.
inline SessionOutcome ended(SessionOutcome::Result result, const QString &missing = {})
{
    SessionOutcome outcome;
    outcome.result = result;
    outcome.missing = missing;
    return outcome;
}

// The outcome of a command that found the port held by another exchange and
// took it from that one.
inline SessionOutcome tookPort()
{
    SessionOutcome outcome = ended(SessionOutcome::Result::Cancelled);
    outcome.tookPort = true;
    return outcome;
}

// Opens the port for a command. The message box that tells of a failure has one
// wording for every cause, so the cause itself (which port, missing, in use,
// or no permission and which group grants it) goes into the status box.
// Outside Windows the port is the one the port list's text names, and no
// other.
inline bool openPort(SessionHost &host, SerialLink &port)
{
#ifndef Q_OS_WIN
    if (!port.isOpen())
        port.setPortName(Ports::deviceName(host.portText()));
#endif
    QString error;
    if (port.open(&error))
        return true;
    if (!error.isEmpty())
        host.settings().appendStatusLine(error);
    return false;
}

// The port list shows the port a command used. On Windows a text typed by
// hand that names no "COMn" is shown (and remembered) as the first port,
// while the port already chosen stays in use.
inline void normalisePortText(SessionHost &host)
{
#ifdef Q_OS_WIN
    if (!host.portText().startsWith(Ports::namePrefix()))
        host.setPortText(Ports::replacement());
#else
    host.setPortText(Ports::deviceName(host.portText()));
#endif
}

// Names each field whose text the code page cannot carry, before Write or
// Save sends it with '?' in place of those characters. True when it named one.
inline bool noteTextLoss(SessionHost &host, const TextCodec &codec)
{
    const auto lossy = DeviceSettings::lossyFields(host.settings().record(), codec);
    for (const auto &[field, lost] : lossy)
        host.settings().appendStatusLine(DeviceSettings::lossLine(field, lost));
    return !lossy.isEmpty();
}

// A pulled cable ends a command: the status box says which port went away,
// after the command's own failure text there and before its message box, so
// the reason is in sight while the box waits.
inline bool reportLoss(SessionHost &host, const SerialLink &port)
{
    if (!port.wasDisconnected())
        return false;
    const QString line = SessionText::tr("Port %1 was disconnected").arg(port.portName());
    DeviceView &view = host.settings();
    if (view.statusText().endsWith(QStringLiteral("\r\n")))
        view.appendStatus(line);
    else
        view.appendStatusLine(line);
    return true;
}

} // namespace telx5::SessionSupport
