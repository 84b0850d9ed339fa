#include "receivechain.h"

namespace telx5 {

ReceiveChain::ReceiveChain(SerialLink &link, DeviceView &view, CodePage page)
    : m_codec(page), m_parser(view, m_flags, m_codec),
      m_receiver(link, m_lineBuffer, m_parser, m_hexLog)
{}

void ReceiveChain::setCodePage(CodePage page)
{
    m_codec = TextCodec(page);
}

} // namespace telx5
