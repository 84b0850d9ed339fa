#include "firmwareimage.h"

#include <QtTest>

using namespace telx5;

namespace {

// An image whose bytes can be told apart from the 0xFF padding.
QByteArray counting(qsizetype length)
{
    QByteArray image(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        image[i] = static_cast<char>(i % 251);
    return image;
}

} // namespace

class TestFirmwareImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void header_data();
    void header();
    void headerRefusesWhatItCannotDescribe_data();
    void headerRefusesWhatItCannotDescribe();
    void blocks_data();
    void blocks();
    void checksum_data();
    void checksum();
    void frames_data();
    void frames();
    void percentage_data();
    void percentage();
};

void TestFirmwareImage::header_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("5000 bytes") << qsizetype(5000) << QByteArray::fromHex("5E038802E5");
    QTest::newRow("three whole blocks") << qsizetype(6144) << QByteArray::fromHex("5E000003E5");
    QTest::newRow("largest") << qsizetype(524287) << QByteArray::fromHex("5E07FFFFE5");
    QTest::newRow("one block") << qsizetype(2048) << QByteArray::fromHex("5E000001E5");
    QTest::newRow("below a block") << qsizetype(300) << QByteArray::fromHex("5E012C00E5");
    QTest::newRow("empty") << qsizetype(0) << QByteArray::fromHex("5E000000E5");
}

void TestFirmwareImage::header()
{
    QFETCH(qsizetype, length);
    QFETCH(QByteArray, bytes);

    const auto header = FirmwareImage::header(length);
    QVERIFY(header.has_value());
    QCOMPARE(header->toHex(' '), bytes.toHex(' '));
    // The loader computes the length back from the three middle bytes.
    const auto at = [&](int i) { return qsizetype(static_cast<unsigned char>(header->at(i))); };
    QCOMPARE(at(3) * 2048 + at(1) * 256 + at(2), length);
}

void TestFirmwareImage::headerRefusesWhatItCannotDescribe_data()
{
    QTest::addColumn<qsizetype>("length");

    QTest::newRow("256 whole blocks") << qsizetype(524288);
    QTest::newRow("one megabyte") << qsizetype(1048576);
    QTest::newRow("negative") << qsizetype(-1);
}

void TestFirmwareImage::headerRefusesWhatItCannotDescribe()
{
    QFETCH(qsizetype, length);
    QVERIFY(!FirmwareImage::header(length).has_value());
}

void TestFirmwareImage::blocks_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("blockCount");
    QTest::addColumn<int>("imageBytesInLastBlock");

    QTest::newRow("5000 bytes") << qsizetype(5000) << 3 << 904;
    QTest::newRow("three whole blocks") << qsizetype(6144) << 4 << 0;
    QTest::newRow("largest") << qsizetype(524287) << 256 << 2047;
    QTest::newRow("empty") << qsizetype(0) << 1 << 0;
    QTest::newRow("one byte") << qsizetype(1) << 1 << 1;
}

void TestFirmwareImage::blocks()
{
    QFETCH(qsizetype, length);
    QFETCH(int, blockCount);
    QFETCH(int, imageBytesInLastBlock);

    const QByteArray image = counting(length);
    const QByteArray padded = FirmwareImage::pad(image);

    QCOMPARE(FirmwareImage::blockCount(length), blockCount);
    QCOMPARE(padded.size(), qsizetype(blockCount) * 2048 + 1);
    QCOMPARE(padded.left(length), image);
    const qsizetype padding = padded.size() - length;
    QCOMPARE(padded.mid(length), QByteArray(padding, '\xFF'));
    QCOMPARE(qsizetype(2048 - imageBytesInLastBlock), padding - 1);
}

void TestFirmwareImage::checksum_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<int>("sum");

    QByteArray twoBytes(2048, '\0');
    twoBytes[0] = '\x12';
    twoBytes[1] = '\x34';
    QTest::newRow("12 34 then zeros") << twoBytes << 0x26;
    QTest::newRow("all FF") << QByteArray(2048, '\xFF') << 0x00;
    QByteArray last(2048, '\0');
    last[2047] = '\x5A';
    QTest::newRow("last data byte") << last << 0x5A;
    QTest::newRow("counting") << counting(2048) << [] {
        unsigned char sum = 0;
        const QByteArray data = counting(2048);
        for (char c : data)
            sum ^= static_cast<unsigned char>(c);
        return int(sum);
    }();
}

void TestFirmwareImage::checksum()
{
    QFETCH(QByteArray, data);
    QFETCH(int, sum);

    // The element after the data is where the checksum goes; whatever stands
    // there never enters the sum.
    for (char slot : {'\x00', '\xA7'}) {
        QByteArray buffer = data;
        buffer.append(slot);
        QCOMPARE(int(FirmwareImage::xorChecksum(buffer)), sum);
    }
}

void TestFirmwareImage::frames_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("index");

    QTest::newRow("first of 5000") << qsizetype(5000) << 0;
    QTest::newRow("last of 5000") << qsizetype(5000) << 2;
    QTest::newRow("all FF after whole blocks") << qsizetype(6144) << 3;
}

void TestFirmwareImage::frames()
{
    QFETCH(qsizetype, length);
    QFETCH(int, index);

    const QByteArray padded = FirmwareImage::pad(counting(length));
    const QByteArray frame = FirmwareImage::frame(padded, index);

    QCOMPARE(frame.size(), 2049);
    QCOMPARE(frame.left(2048), padded.mid(qsizetype(index) * 2048, 2048));
    QCOMPARE(static_cast<unsigned char>(frame.at(2048)), FirmwareImage::xorChecksum(frame));
    // The image has no block after its last one.
    QVERIFY(FirmwareImage::frame(padded, FirmwareImage::blockCount(length)).isEmpty());
    QVERIFY(FirmwareImage::frame(padded, -1).isEmpty());
}

void TestFirmwareImage::percentage_data()
{
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("percent");

    QTest::newRow("1 of 3") << 1 << 3 << 33;
    QTest::newRow("2 of 3") << 2 << 3 << 67;
    QTest::newRow("3 of 3") << 3 << 3 << 100;
    QTest::newRow("1 of 8, half to even down") << 1 << 8 << 12;
    QTest::newRow("3 of 8, half to even up") << 3 << 8 << 38;
    QTest::newRow("5 of 8") << 5 << 8 << 62;
    QTest::newRow("1 of 200, half to zero") << 1 << 200 << 0;
    QTest::newRow("3 of 200") << 3 << 200 << 2;
    QTest::newRow("255 of 256") << 255 << 256 << 100;
}

void TestFirmwareImage::percentage()
{
    QFETCH(int, done);
    QFETCH(int, count);
    QFETCH(int, percent);

    QCOMPARE(FirmwareImage::percentage(done, count), percent);
}

QTEST_APPLESS_MAIN(TestFirmwareImage)
#include "tst_firmwareimage.moc"
