#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace telx5 {

// The one 8-bit code page of the wire and the settings files: GB18030 when
// the window is Chinese, Windows-1252 otherwise.
enum class CodePage
{
    Windows1252,
    Gb18030
};

CodePage codePageForLanguage(const QString &language);

class TextCodec
{
public:
    explicit TextCodec(CodePage page = CodePage::Windows1252);

    CodePage codePage() const { return m_page; }
    // A character the code page lacks becomes '?'; `lost` counts them.
    QByteArray encode(const QString &text, qsizetype *lost = nullptr) const;
    QString decode(QByteArrayView bytes) const;

    // Whether the system offers this code page; without it nothing would be
    // readable, so the tests insist on both.
    bool isValid() const;

    // Bytes that the character starting at byte `at` occupies, as far as
    // `bytes` holds them.
    qsizetype characterSize(QByteArrayView bytes, qsizetype at) const;

private:
    CodePage m_page;
    mutable QStringEncoder m_encoder;
    mutable QStringDecoder m_decoder;
};

} // namespace telx5
