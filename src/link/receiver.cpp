#include "receiver.h"

#include "seriallink.h"

namespace telx5 {

Receiver::Receiver(SerialLink &link, LineBuffer &lineBuffer, LineParser &parser, HexLog &hexLog,
                   QObject *parent)
    : QObject(parent), m_lineBuffer(lineBuffer), m_parser(parser), m_hexLog(hexLog)
{
    connect(&link, &SerialLink::received, this,
            [this](const QByteArray &bytes) { onBytesReceived(CommEvent::DataReceived, bytes); });
}

void Receiver::onBytesReceived(CommEvent event, QByteArrayView bytes)
{
    if (event != CommEvent::DataReceived)
        return;
    for (const char byte : bytes)
        m_hexLog.appendByte(static_cast<unsigned char>(byte));
    for (const char byte : bytes) {
        // A byte dropped because the line is full does not run the parser.
        if (!m_lineBuffer.feed(byte))
            continue;
        // Early prefixes of callsign and address lines are malformed until
        // their separators arrive; the parser's failure is expected there.
        m_parser.parseLine(m_lineBuffer.line());
    }
}

} // namespace telx5
