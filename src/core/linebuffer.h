#pragma once

#include <QByteArray>
#include <QByteArrayView>

namespace telx5 {

// LineBuffer: the line being received (or the file line being loaded), kept as
// bytes so that a multi-byte character is decoded only once it is whole.
class LineBuffer
{
public:
    // A device that never sends CR must not grow the line without bound.
    static constexpr qsizetype MaxLength = 4096;

    // One received byte: CR empties the line, LF leaves it as it is, any other
    // byte is appended. Returns false when the byte was dropped because the
    // line is already at MaxLength; the parser is not run for such a byte.
    bool feed(char byte);

    void setLine(QByteArrayView line);
    void clear();
    QByteArrayView line() const { return m_line; }

private:
    QByteArray m_line;
};

} // namespace telx5
