#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The boot loader's byte protocol: an image cut into 2048-byte blocks, each
// sent as a 2049-byte frame with an XOR checksum, after a 5-byte header that
// tells the loader how long the image is.
namespace telx5::FirmwareImage {

inline constexpr int BlockSize = 2048;
inline constexpr int FrameSize = BlockSize + 1;
// The header counts whole blocks in one byte.
inline constexpr qsizetype MaximumLength = 256 * BlockSize - 1;
// Anything shorter is no firmware for this device.
inline constexpr qsizetype MinimumLength = 5000;

inline constexpr unsigned char ReplyAnswered = 0xE5;
inline constexpr unsigned char ReplyNextBlock = 0xC5;
inline constexpr unsigned char ReplySameBlock = 0x55;

// The whole blocks in the image plus one: an image of whole blocks ends with
// one all 0xFF.
int blockCount(qsizetype imageLength);

// The image followed by 0xFF up to the end of its last block, and one 0xFF
// more that is never sent.
QByteArray pad(const QByteArray &image);

// 5F 00 00 F5: asks a waiting boot loader to answer E5.
QByteArray probe();

// 5E, the remainder below a block as two bytes (high first), the count of
// whole blocks, E5. Nothing for an image the count does not fit.
std::optional<QByteArray> header(qsizetype imageLength);

// XOR of every element but the last, which is where the checksum goes.
unsigned char xorChecksum(QByteArrayView buffer);

// Block `index` of a padded image and its checksum, ready to send; empty when
// the image has no such block.
QByteArray frame(const QByteArray &paddedImage, int index);

// 100 × done ÷ count to the nearest whole number, halves to the even one.
int percentage(int done, int count);

} // namespace telx5::FirmwareImage
