#pragma once

#include "codepage.h"
#include "deviceview.h"
#include "linebuffer.h"
#include "lineparser.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The "[TELX5]" settings file: a header, an empty line and 19 lines in the
// device's own answer forms, each ending in CR LF.
namespace telx5::SettingsFile {

// A settings file is about 300 bytes; anything near this size is not one.
inline constexpr qint64 MaxFileSize = 1024 * 1024;

// The line that holds one setting, without its line end.
QString fileLine(Setting setting, const SettingsRecord &record);

// The settings whose file lines differ between what was written and what the
// device reads back: codes, the padded callsign and the interval compare as
// the device stores them, and the addresses only when the written record
// sets a static address (under DHCP a write leaves them as they are).
// With `everyAddress`, the addresses are compared under DHCP too: settings
// written back after they were lost, whose addresses the device reported.
QList<Setting> differences(const SettingsRecord &written, const SettingsRecord &readBack,
                           bool everyAddress = false);
QByteArray save(const SettingsRecord &record, const TextCodec &codec);

// Lines end at CR LF, at a lone CR and at the end of the content; a lone LF
// stays inside its line. The terminators are not part of the lines.
QList<QByteArray> splitLines(QByteArrayView content);

struct LoadResult
{
    // The 1-based line the parser refused, or 0 when every line was read.
    qsizetype stoppedAt = 0;
    // Whether any line set a settings field.
    bool foundSettings = false;

    bool complete() const { return stoppedAt == 0; }
};

// Puts each line into the window's LineBuffer, appends it and CR LF to the
// status box, then runs the parser on it; stops after the first malformed
// line. The buffer is empty afterwards.
LoadResult load(QByteArrayView content, LineBuffer &lineBuffer, LineParser &parser,
                DeviceView &view, const TextCodec &codec);

} // namespace telx5::SettingsFile
