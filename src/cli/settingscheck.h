#pragma once

#include "codepage.h"
#include "settingsrecord.h"

#include <QString>

namespace telx5 {

// A settings file as `write` judges it before anything is sent.
struct CheckedSettings
{
    // What the file sets, parsed as the window's loader parses it.
    SettingsRecord settings;
    // Why the file is refused, naming the file; empty when it may be written.
    QString problem;
};

// Loads a settings file into a record of its own and refuses it unless the
// parser took every line and each of the 19 settings lines of the format is
// there. A file cut short, or one whose CRs were lost on the way (it reads as
// one line), would otherwise write empty values over the device's own. Values
// the parser takes as they stand (an unknown unit code, a comment cut short)
// are not refused.
CheckedSettings checkSettingsFile(const QString &fileName, const TextCodec &codec);

} // namespace telx5
