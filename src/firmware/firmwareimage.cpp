#include "firmwareimage.h"

namespace telx5::FirmwareImage {

int blockCount(qsizetype imageLength)
{
    return static_cast<int>(imageLength / BlockSize) + 1;
}

QByteArray pad(const QByteArray &image)
{
    QByteArray padded(qsizetype(blockCount(image.size())) * BlockSize + 1, '\xFF');
    padded.replace(0, image.size(), image);
    return padded;
}

QByteArray probe()
{
    return QByteArrayLiteral("\x5F\x00\x00\xF5");
}

std::optional<QByteArray> header(qsizetype imageLength)
{
    if (imageLength < 0 || imageLength > MaximumLength)
        return std::nullopt;
    const qsizetype remainder = imageLength % BlockSize;
    QByteArray bytes(5, '\0');
    bytes[0] = '\x5E';
    bytes[1] = static_cast<char>(remainder / 256);
    bytes[2] = static_cast<char>(imageLength % 256);
    bytes[3] = static_cast<char>(imageLength / BlockSize);
    bytes[4] = static_cast<char>(ReplyAnswered);
    return bytes;
}

unsigned char xorChecksum(QByteArrayView buffer)
{
    unsigned char sum = 0;
    for (qsizetype i = 0; i + 1 < buffer.size(); ++i)
        sum ^= static_cast<unsigned char>(buffer[i]);
    return sum;
}

QByteArray frame(const QByteArray &paddedImage, int index)
{
    const qsizetype offset = qsizetype(index) * BlockSize;
    if (index < 0 || offset + BlockSize > paddedImage.size())
        return {};
    QByteArray buffer = paddedImage.mid(offset, BlockSize);
    buffer.append('\0');
    buffer[BlockSize] = static_cast<char>(xorChecksum(buffer));
    return buffer;
}

int percentage(int done, int count)
{
    if (count <= 0)
        return 0;
    const qint64 scaled = qint64(done) * 100;
    qint64 result = scaled / count;
    const qint64 twiceRest = 2 * (scaled % count);
    if (twiceRest > count || (twiceRest == count && result % 2 != 0))
        ++result;
    return static_cast<int>(result);
}

} // namespace telx5::FirmwareImage
