#pragma once

#include "codepage.h"
#include "devicesettings.h"
#include "deviceview.h"
#include "linebuffer.h"
#include "lineparser.h"
#include "seriallink.h"

#include <QString>

namespace telx5 {

// The buttons the sessions caption, enable and disable.
enum class Button
{
    Default,
    OpenRom,
    Update,
    Load,
    Save,
    Read,
    Write,
    Apply, // the Wi-Fi credentials
    Restart,
};

// Modal boxes and file dialogs. The window shows real ones; tests answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message box with an OK button; an empty title leaves the default.
    virtual void message(const QString &text, const QString &title = {}) = 0;
    // A box with Yes and No buttons: true when the answer is Yes.
    virtual bool question(const QString &text, const QString &title = {}) = 0;

    struct FileRequest
    {
        QString title;
        QString filter;    // Qt form: "setup file(*.ini)", several joined by ";;"
        QString directory; // start folder
        bool confirmOverwrite = false;
        // Added to a name typed without one, inside the dialog, so that the
        // overwrite question names the file that will be written.
        QString defaultSuffix;
    };
    // The chosen file's full name, or an empty text when cancelled.
    virtual QString openFileName(const FileRequest &request) = 0;
    virtual QString saveFileName(const FileRequest &request) = 0;
};

// How a session ended, as the window and the command line each show it in
// their own way.
struct SessionOutcome
{
    enum class Result
    {
        Ok,
        NotConfirmed, // the device did not send `missing`
        Cancelled,    // another command took the port, or this one took it from another
        PortLost,     // the port went away or refused a write
        CouldNotOpen, // nothing was sent
    };

    Result result = Result::Ok;
    // What the device did not send: "READ END", "freq save", …
    QString missing;
    // The device confirmed the exchange, though something after it failed.
    bool confirmed = false;
    // Cancelled on arrival: the port was held by another exchange, which
    // this command ended by taking it; it did nothing of its own.
    bool tookPort = false;
    // A read that did not complete put back the settings the host held
    // before it.
    bool settingsKept = false;
    // A read's settings: what the device sent, and which settings arrived.
    SettingsRecord received;

    bool ok() const { return result == Result::Ok; }
};

// What the running commands tell each other, beyond the port itself.
struct SessionState
{
    // A command found the port held by a running read and took it: the read
    // stops after its current attempt.
    bool readCancelled = false;
};

// What a session reaches of the window: the settings, the flags, the status
// and step boxes, the buttons, the port list's text and the dialogs. The
// window implements it over its controls; the command-line tool and tests
// over plain state.
class SessionHost
{
public:
    virtual ~SessionHost() = default;

    virtual DeviceView &settings() = 0;
    virtual Flags &flags() = 0;
    virtual LineBuffer &lineBuffer() = 0;
    virtual Dialogs &dialogs() = 0;

    // "1" selects the Chinese texts, anything else the English ones.
    virtual QString language() const = 0;
    bool isChinese() const { return language() == QStringLiteral("1"); }

    // The small step box beside the port list.
    virtual QString stepText() const = 0;
    virtual void setStepText(const QString &text) = 0;

    virtual void setCaption(Button button, const QString &caption) = 0;
    virtual bool isEnabled(Button button) const = 0;
    virtual void setEnabled(Button button, bool enabled) = 0;

    // The port list's text.
    virtual QString portText() const = 0;
    virtual void setPortText(const QString &text) = 0;

    // "XRVComm.ini", where the Read command remembers the port that worked.
    virtual QString iniPath() const = 0;

    // Where a read, a write or an update keeps its backup of the device's
    // settings; empty: none is kept.
    virtual QString backupFolder() const = 0;

    virtual SessionState &state() { return m_state; }

    // Whether the status lines of a read aside (the backup's read, a
    // read-back) are shown as well: a console has nothing else to tell the
    // user when to restart the device; the window keeps them out of its box.
    virtual bool showsReadsAside() const { return false; }

    // What the status box holds now stays at its top while a job goes on
    // ("Backup kept: …", the power warning): later lines follow it, also where
    // a session would replace the box's text. False lets it go again. A
    // console, which prints each line once, holds nothing.
    virtual void holdStatus(bool /*hold*/) {}

private:
    SessionState m_state;
};

// Everything a command handler works with: the window (or its stand-in), the
// serial port, the code page of the wire and files, and the line parser.
struct SessionContext
{
    SessionHost &host;
    SerialLink &port;
    const TextCodec &codec;
    LineParser &parser;
};

} // namespace telx5
