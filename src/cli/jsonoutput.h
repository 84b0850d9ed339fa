#pragma once

#include "backups.h"
#include "checks.h"
#include "ports.h"
#include "settingsrecord.h"
#include "settingsreview.h"

#include <QByteArray>
#include <QList>

// The command line's output for scripts (--json): one JSON document on
// standard output, with keys that do not change with the language or the
// wording of the lines meant for people.
namespace telx5::JsonOutput {

// read: {"version": …, "settings": {"CALLSIGN": "N0CALL-9", …}}, each value as
// the settings file's line holds it.
QByteArray settings(const SettingsRecord &record);

// check: {"file": …, "errors": n, "warnings": n, "problems": [{"setting",
// "keyword", "severity", "message", and for the position "words"}]}.
QByteArray problems(const QString &fileName, const QList<Problem> &problems,
                    const SettingsRecord &record);

// diff: {"file": …, "differences": [{"setting", "keyword", "device", "file"}]}.
QByteArray differences(const QString &fileName, const SettingsRecord &file,
                       const SettingsRecord &device);

// backups: {"folder": …, "backups": [{"path", "date", "callsign", "reason"}]}.
QByteArray backups(const QString &folder, const QList<Backups::Entry> &entries);

// ports: {"ports": [{"path", "description", "usbId"}]}; the USB id "10c4:ea60",
// or null when the system gives none.
QByteArray ports(const QList<Ports::PortFacts> &ports);

// history: {"callsign": …, "backups": [{"path", "date", "callsign", "reason",
// "readable", "first", "changes": [{"setting", "keyword", "from", "to"}]}], oldest
// first.
QByteArray history(const QString &callsign, const QList<Backups::Step> &steps);

} // namespace telx5::JsonOutput
