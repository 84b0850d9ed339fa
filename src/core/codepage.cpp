#include "codepage.h"

namespace telx5 {

namespace {

constexpr char Substitute = 0x1A;

const char *codePageName(CodePage page)
{
    return page == CodePage::Gb18030 ? "GB18030" : "windows-1252";
}

} // namespace

CodePage codePageForLanguage(const QString &language)
{
    return language == QStringLiteral("1") ? CodePage::Gb18030 : CodePage::Windows1252;
}

TextCodec::TextCodec(CodePage page)
    : m_page(page), m_encoder(codePageName(page)), m_decoder(codePageName(page))
{}

QByteArray TextCodec::encode(const QString &text, qsizetype *lost) const
{
    if (lost)
        *lost = 0;
    m_encoder.resetState();
    QByteArray bytes = m_encoder.encode(text);
    if (!bytes.contains(Substitute))
        return bytes;

    // The converter marks a character that the code page lacks with the SUB
    // control, which the device and a reloaded file would take as a real
    // character; the system's own conversion writes '?' there, and so do we.
    bytes.clear();
    for (qsizetype at = 0; at < text.size();) {
        const qsizetype size = text.at(at).isHighSurrogate() && at + 1 < text.size() ? 2 : 1;
        m_encoder.resetState();
        const QStringView original = QStringView(text).sliced(at, size);
        const QByteArray character = m_encoder.encode(original);
        const bool lacking =
            character == QByteArrayView(&Substitute, 1) && original != QStringView(u"\x1A");
        bytes += lacking ? QByteArray(1, '?') : character;
        if (lacking && lost)
            ++*lost;
        at += size;
    }
    return bytes;
}

QString TextCodec::decode(QByteArrayView bytes) const
{
    // A growing line is decoded once per received byte; a character cut in
    // half by the previous call must not leak into this one.
    m_decoder.resetState();
    QString text = m_decoder.decode(bytes);
    m_decoder.resetState();
    return text;
}

bool TextCodec::isValid() const
{
    return m_encoder.isValid() && m_decoder.isValid();
}

qsizetype TextCodec::characterSize(QByteArrayView bytes, qsizetype at) const
{
    const qsizetype available = bytes.size() - at;
    if (available <= 0)
        return 0;
    if (m_page != CodePage::Gb18030)
        return 1;
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x81 || lead == 0xFF)
        return 1;
    qsizetype size = 2;
    if (available >= 2) {
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        if (second >= '0' && second <= '9')
            size = 4;
    }
    return qMin(size, available);
}

} // namespace telx5
