#pragma once

#include "codepage.h"
#include "deviceview.h"
#include "settingstable.h"

#include <QByteArrayView>

namespace telx5 {

// Interprets one line of a device answer or a settings file. It is
// run after every received byte on the growing line, and once per line when
// a file is loaded; both give the same final state.
class LineParser
{
public:
    LineParser(DeviceView &view, Flags &flags, const TextCodec &codec);

    // Returns false only for a malformed CALLSIGN or address line.
    bool parseLine(QByteArrayView line);
    // Whether parsing this line appends to the status box.
    static bool reportsInStatus(QByteArrayView line);
    // Whether the last line parsed set a settings field.
    bool lastLineSetField() const { return m_setField; }

    // Where the lines go: a read around a write fills a record of its own.
    DeviceView &view() const { return *m_view; }
    void setView(DeviceView &view) { m_view = &view; }

private:
    bool parseSetting(const SettingRow &row, QByteArrayView line);

    DeviceView *m_view;
    Flags &m_flags;
    const TextCodec &m_codec;
    bool m_setField = false;
};

} // namespace telx5
