#pragma once

#include "fields.h"
#include "settingsrecord.h"

#include <QString>

namespace telx5 {

// The settings record and the status box that reports on it: what the
// parser, the sessions and the settings file work with. The window shows both;
// RecordView keeps them as plain data.
class DeviceView
{
public:
    virtual ~DeviceView() = default;

    virtual SettingsRecord &record() = 0;
    virtual const SettingsRecord &record() const = 0;

    QString text(Field field) const { return record().text(field); }
    void setText(Field field, const QString &value) { record().setText(field, value); }
    bool octetBoxesEnabled() const { return record().octetBoxesEnabled(); }
    void setOctetBoxesEnabled(bool enabled) { record().setOctetBoxesEnabled(enabled); }

    // The status box.
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;

    // The status box's usual report: CR LF, then the message.
    void appendStatusLine(const QString &message);
    // Appends text as it stands. Views override it so that it costs the
    // length of `text`, not of the box: a loaded file appends every line, and
    // a long "CONNECT" line appends once per byte.
    virtual void appendStatus(const QString &text);
};

// A record and a status box as plain data, for the command line and tests.
class RecordView : public DeviceView
{
public:
    SettingsRecord &record() override { return m_record; }
    const SettingsRecord &record() const override { return m_record; }
    QString statusText() const override { return m_status; }
    void setStatusText(const QString &text) override { m_status = text; }
    void appendStatus(const QString &text) override { m_status += text; }

private:
    SettingsRecord m_record;
    QString m_status;
};

// Window-level flags raised by the parser and polled by the waiting sessions.
struct Flags
{
    bool connectOk = false;   // "CONNECT"
    bool readEnd = false;     // "READ END"
    bool freqSaved = false;   // "freq save"
    bool wifiWriteOk = false; // "WIFI Write success"
    bool eeramReset = false;  // "eeram reset"
};

} // namespace telx5
