#pragma once

#include <QString>

namespace telx5 {

// What the firmware update reaches of the window beyond a session's host: the
// progress bar, the notice label that carries the transfer's progress line,
// and the two port controls that are locked with "Open ROM" and "update"
// while blocks go out.
class FirmwareHost
{
public:
    virtual ~FirmwareHost() = default;

    virtual void setProgressRange(int minimum, int maximum) = 0;
    virtual void setProgressValue(int value) = 0;
    // The words on the progress bar; empty: none. Only a window shows them.
    virtual void setProgressText(const QString & /*text*/) {}

    // The label that carries the transfer's progress line.
    virtual void setNoticeText(const QString &text) = 0;

    // The open-port button and the port list, together.
    virtual void setPortControlsEnabled(bool enabled) = 0;
};

} // namespace telx5
