#include "simlink.h"
#include "tracelog.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using namespace telx5;
using telx5::testing::SimLink;

namespace {

// The trace's lines of bytes without their time stamps: "> 0D 0A ... |..SETUP#..|".
QList<QByteArray> byteLines(const QString &fileName, char direction)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const qsizetype at = line.indexOf(" ms  ") + 5;
        if (at > 4 && line.at(at) == direction)
            lines.append(line.mid(at));
    }
    return lines;
}

} // namespace

class TestTraceLog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sentAndReceivedBytesInOrder();
    void openAppendsOrSaysWhy();
};

void TestTraceLog::sentAndReceivedBytesInOrder()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("trace.txt"));
    SimLink sim;
    const QString error = sim.start();
    QVERIFY2(error.isEmpty(), qPrintable(error));
    TraceLog trace(sim.link);
    QVERIFY(trace.open(fileName));
    QVERIFY(sim.link.send("\r\nSETUP#\r\n"));
    QTRY_COMPARE(sim.arrived, QByteArray("CONNECT\r\n"));
    const QByteArray frame = QByteArray("AT+") + QByteArray(34, '\x01') + "#\r\n";
    QVERIFY(sim.link.send(frame));

    QFile file(fileName);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    const QByteArray setup = "> 0D 0A 53 45 54 55 50 23 0D 0A                     |..SETUP#..|";
    QVERIFY(text.indexOf(setup) < text.indexOf("< 43 4F 4E 4E 45 43 54"));
    QCOMPARE(byteLines(fileName, '>'),
             (QList<QByteArray>{
                 setup,
                 "> 41 54 2B 01 01 01 01 01 01 01 01 01 01 01 01 01   |AT+.............|",
                 "> 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01 01   |................|",
                 "> 01 01 01 01 01 23 0D 0A                           |.....#..|",
             }));
    QByteArray reply;
    for (const QByteArray &line : byteLines(fileName, '<'))
        reply += QByteArray::fromHex(line.mid(2, 3 * TraceLog::BytesPerLine));
    QCOMPARE(reply, QByteArray("CONNECT\r\n"));
}

void TestTraceLog::openAppendsOrSaysWhy()
{
    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("trace.txt"));
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("an earlier trace\n");
    file.close();
    SimLink sim;
    TraceLog trace(sim.link);
    QVERIFY(trace.open(fileName));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().startsWith("an earlier trace\n# "));

    const QString missing = dir.filePath(QStringLiteral("no such folder/trace.txt"));
    QString error;
    QVERIFY(!trace.open(missing, &error));
    QVERIFY2(error.contains(missing), qPrintable(error));

    // Its open would wait for a reader, and the window would never start.
    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QVERIFY(!trace.open(fifo, &error));
    QVERIFY2(error.contains(fifo + QStringLiteral(": not a regular file")), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestTraceLog)
#include "tst_tracelog.moc"
