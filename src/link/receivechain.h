#pragma once

#include "codepage.h"
#include "fields.h"
#include "hexlog.h"
#include "linebuffer.h"
#include "lineparser.h"
#include "receiver.h"

namespace telx5 {

class SerialLink;

// The receive side of one port, built the same way wherever a port is read:
// every byte the link delivers goes into the hex log and the line buffer, and
// the parser fills `view` and the flags from the growing line in the chain's
// code page. The parts live as long as the chain; the link must outlive it.
class ReceiveChain
{
public:
    ReceiveChain(SerialLink &link, DeviceView &view, CodePage page = CodePage::Windows1252);

    // The window learns its language only once it is built; the parser reads
    // the wire in the new code page from the next byte on.
    void setCodePage(CodePage page);

    const TextCodec &codec() const { return m_codec; }
    Flags &flags() { return m_flags; }
    LineBuffer &lineBuffer() { return m_lineBuffer; }
    HexLog &hexLog() { return m_hexLog; }
    LineParser &parser() { return m_parser; }
    Receiver &receiver() { return m_receiver; }

private:
    TextCodec m_codec;
    Flags m_flags;
    LineBuffer m_lineBuffer;
    HexLog m_hexLog;
    LineParser m_parser;
    Receiver m_receiver;
};

} // namespace telx5
