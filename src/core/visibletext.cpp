#include "visibletext.h"

namespace telx5::VisibleText {

namespace {

bool isLineBreak(char16_t c)
{
    return c == u'\r' || c == u'\n';
}

bool isControl(char16_t c)
{
    return (c < 0x20 && !isLineBreak(c)) || (c >= 0x7F && c <= 0x9F);
}

QString hexEscape(char16_t c)
{
    return QStringLiteral("\\x%1").arg(unsigned(c), 2, 16, QLatin1Char('0'));
}

template <typename Shown> QString replaceControls(const QString &text, Shown shown)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            result += shown(c.unicode());
        else
            result += c;
    }
    return result;
}

} // namespace

QString escaped(const QString &text)
{
    return replaceControls(text, hexEscape);
}

QByteArray escapedBytes(QByteArrayView bytes)
{
    QByteArray result;
    result.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        const auto next = i + 1 < bytes.size() ? static_cast<unsigned char>(bytes[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            result += hexEscape(next).toLatin1();
            ++i;
        } else if (byte < 0x80 && isControl(byte)) {
            result += hexEscape(byte).toLatin1();
        } else {
            result += char(byte);
        }
    }
    return result;
}

QString pictured(const QString &text)
{
    return replaceControls(text, [](char16_t c) {
        if (c < 0x20)
            return QString(QChar(0x2400 + c));
        if (c == 0x7F)
            return QString(QChar(0x2421));
        return hexEscape(c);
    });
}

} // namespace telx5::VisibleText
