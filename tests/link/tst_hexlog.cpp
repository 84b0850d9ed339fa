#include "hexlog.h"

#include <QtTest>

using namespace telx5;

class TestHexLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void appendsUpperCaseHexAfterTrimming_data();
    void appendsUpperCaseHexAfterTrimming();
    void setTextShowsUntilTheNextByte();
    void longLogKeepsItsFrontAndTailExact_data();
    void longLogKeepsItsFrontAndTailExact();
};

void TestHexLog::appendsUpperCaseHexAfterTrimming_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::newRow("initial text, then 05 C5")
        << QStringLiteral("hexLogBox") << QByteArray("\x05\xC5") << QStringLiteral("hexLogBox05C5");
    QTest::newRow("reset to two spaces, then 55")
        << QStringLiteral("  ") << QByteArray("\x55") << QStringLiteral("55");
    QTest::newRow("reset, then E5 C5")
        << QStringLiteral("  ") << QByteArray("\xE5\xC5") << QStringLiteral("E5C5");
    QTest::newRow("spaces around a text go")
        << QStringLiteral("  AB  ") << QByteArray("\x00", 1) << QStringLiteral("AB00");
    QTest::newRow("tabs stay") << QStringLiteral("\tA\t") << QByteArray("\x0A")
                               << QStringLiteral("\tA\t0A");
    QTest::newRow("low values get a leading zero")
        << QString() << QByteArray("\x00\x01\x0F\x10", 4) << QStringLiteral("00010F10");
    QTest::newRow("high values in upper case")
        << QString() << QByteArray("\xAB\xFF\xDE") << QStringLiteral("ABFFDE");
}

void TestHexLog::appendsUpperCaseHexAfterTrimming()
{
    QFETCH(QString, start);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    HexLog log;
    log.setText(start);
    for (const char byte : std::as_const(bytes))
        log.appendByte(static_cast<unsigned char>(byte));
    QCOMPARE(log.front(1000), expected);
    QCOMPARE(log.back(4), expected.right(4));
    QCOMPARE(log.length(), expected.size());
}

void TestHexLog::setTextShowsUntilTheNextByte()
{
    HexLog log;
    QCOMPARE(log.front(100), QStringLiteral("hexLogBox"));
    log.appendByte(0x41);
    log.setText(QStringLiteral("  "));
    QCOMPARE(log.front(2), QStringLiteral("  "));
    QCOMPARE(log.length(), 2);
    log.appendByte(0xC5);
    QCOMPARE(log.front(2), QStringLiteral("C5"));
    QCOMPARE(log.length(), 2);
}

void TestHexLog::longLogKeepsItsFrontAndTailExact_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("shorter than what is kept") << 100;
    QTest::newRow("just over the front") << int(HexLog::FrontKeep / 2 + 3);
    QTest::newRow("front and tail meet") << int((HexLog::FrontKeep + HexLog::TailKeep) / 2);
    QTest::newRow("ten million characters") << 5'000'000;
}

void TestHexLog::longLogKeepsItsFrontAndTailExact()
{
    QFETCH(int, count);
    HexLog log(QStringLiteral("  "));
    // A byte sequence whose every position is recognisable.
    auto byteAt = [](int i) { return static_cast<unsigned char>((i * 7 + i / 256) & 0xFF); };
    for (int i = 0; i < count; ++i)
        log.appendByte(byteAt(i));
    QCOMPARE(log.length(), qsizetype(count) * 2);

    auto hexOf = [&](int first, int last) {
        QString text;
        for (int i = first; i < last; ++i)
            text += QStringLiteral("%1").arg(byteAt(i), 2, 16, QLatin1Char('0')).toUpper();
        return text;
    };
    const int frontBytes = std::min<int>(count, HexLog::FrontKeep / 2);
    QCOMPARE(log.front(HexLog::FrontKeep), hexOf(0, frontBytes));
    const int tailBytes = std::min<int>(count, HexLog::TailKeep / 2);
    QCOMPARE(log.back(HexLog::TailKeep), hexOf(count - tailBytes, count));
    QCOMPARE(log.front(2), hexOf(0, std::min(count, 1)));
}

QTEST_GUILESS_MAIN(TestHexLog)
#include "tst_hexlog.moc"
