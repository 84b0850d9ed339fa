#include "visibletext.h"

#include <QTest>

using namespace telx5;

class TestVisibleText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controlCharactersShow_data();
    void controlCharactersShow();
};

void TestVisibleText::controlCharactersShow_data()
{
    QTest::addColumn<QByteArray>("bytes");   // UTF-8, or a code page's
    QTest::addColumn<QByteArray>("escaped"); // on a terminal
    QTest::addColumn<QString>("pictured");   // in the window; null for bytes that are no UTF-8
    const auto u = [](const char *text) { return QString::fromUtf8(text); };

    QTest::newRow("title and clear")
        << QByteArray("\x1b]0;pwned\x07\x1b[2J") << QByteArray("\\x1b]0;pwned\\x07\\x1b[2J")
        << u("␛]0;pwned␇␛[2J");
    QTest::newRow("NUL") << QByteArray("a\0b", 3) << QByteArray("a\\x00b") << u("a␀b");
    QTest::newRow("DEL") << QByteArray("a\x7f") << QByteArray("a\\x7f") << u("a␡");
    QTest::newRow("C1 CSI") << QByteArray("\xc2\x9b"
                                          "2J")
                            << QByteArray("\\x9b2J") << u("\\x9b2J");
    QTest::newRow("tab") << QByteArray("a\tb") << QByteArray("a\\x09b") << u("a␉b");
    QTest::newRow("backslash") << QByteArray("C:\\x1b") << QByteArray("C:\\x1b") << u("C:\\x1b");
    QTest::newRow("line breaks") << QByteArray("a\r\nb\nc\r") << QByteArray("a\r\nb\nc\r")
                                 << u("a\r\nb\nc\r");
    // 北 is E5 8C 97: bytes of C1's range inside a character.
    QTest::newRow("CJK") << QByteArray("北京 中文") << QByteArray("北京 中文") << u("北京 中文");
    QTest::newRow("no-break space")
        << QByteArray("\xc2\xa0") << QByteArray("\xc2\xa0") << u("\xc2\xa0");
    QTest::newRow("Windows-1252 ›") << QByteArray("\x9b") << QByteArray("\x9b") << QString();
    QTest::newRow("C2 at the end") << QByteArray("\xc2") << QByteArray("\xc2") << QString();
}

void TestVisibleText::controlCharactersShow()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, escaped);
    QFETCH(QString, pictured);

    QCOMPARE(VisibleText::escapedBytes(bytes), escaped);
    if (pictured.isNull())
        return;
    const QString text = QString::fromUtf8(bytes);
    QCOMPARE(VisibleText::escaped(text), QString::fromUtf8(escaped));
    QCOMPARE(VisibleText::pictured(text), pictured);
}

QTEST_GUILESS_MAIN(TestVisibleText)
#include "tst_visibletext.moc"
