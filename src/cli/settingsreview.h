#pragma once

#include "backups.h"

#include "checks.h"
#include "codepage.h"
#include "settingsrecord.h"

#include <QList>
#include <QString>
#include <QStringList>

// What `check`, `diff` and `write --set` say about a settings file: plain
// English lines that scripts read, with the captions in the session's
// language.
namespace telx5::SettingsReview {

// "error: Pass (PASS): Pass 40417 does not belong to NOCALL; its passcode is
// 12960", one line a problem, "warning: " for a warning.
QStringList problemLines(const QList<Problem> &problems);

// "2 errors and 1 warning"
QString problemCount(const QList<Problem> &problems);

// Puts KEY=VALUE into `record` as the line "KEY:VALUE" of a settings file
// would, KEY in any case. Why it cannot, empty when it was done; `record` is
// left as it was then.
QString applyAssignment(SettingsRecord &record, const QString &assignment, const TextCodec &codec);

// "Status (COMMENT TEXT): device 'hello', file 'test'", one line a setting
// in which the device differs from the file, compared as a settings file
// holds them.
QStringList differenceLines(const SettingsRecord &file, const SettingsRecord &device);

// "2026-12-07 15:42:10  read  Status: 'a' → 'b'; Tx/Rx: 144.3900 → 144.6400",
// one line a backup, oldest first: "first backup" for the first, "no change"
// where none did.
QStringList historyLines(const QList<Backups::Step> &steps);

} // namespace telx5::SettingsReview
