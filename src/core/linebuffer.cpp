#include "linebuffer.h"

namespace telx5 {

bool LineBuffer::feed(char byte)
{
    if (byte == '\r') {
        // resize keeps the capacity, so a busy line costs no reallocation.
        m_line.resize(0);
        return true;
    }
    if (byte == '\n')
        return true;
    if (m_line.size() >= MaxLength)
        return false;
    m_line.append(byte);
    return true;
}

void LineBuffer::setLine(QByteArrayView line)
{
    m_line.resize(0);
    m_line.append(line);
}

void LineBuffer::clear()
{
    m_line.resize(0);
}

} // namespace telx5
