#pragma once

#include "hexlog.h"
#include "linebuffer.h"
#include "lineparser.h"

#include <QByteArrayView>
#include <QObject>

namespace telx5 {

class SerialLink;

// Every received byte goes into the hex log and into the
// LineBuffer, and the parser runs after each byte.
class Receiver : public QObject
{
    Q_OBJECT
public:
    enum class CommEvent
    {
        DataReceived = 2,
        Other
    };

    Receiver(SerialLink &link, LineBuffer &lineBuffer, LineParser &parser, HexLog &hexLog,
             QObject *parent = nullptr);

    void onBytesReceived(CommEvent event, QByteArrayView bytes);

private:
    LineBuffer &m_lineBuffer;
    LineParser &m_parser;
    HexLog &m_hexLog;
};

} // namespace telx5
