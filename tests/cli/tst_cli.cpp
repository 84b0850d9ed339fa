#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

Run runCli(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(TELX5_CLI_PATH), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readPrintsTheDevicesSettings();
    void defaultThenWrite();
    void commandsReportAPortThatDoesNotOpen_data();
    void commandsReportAPortThatDoesNotOpen();
    void badUsage_data();
    void badUsage();
    void flash_data();
    void flash();
};

void TestCli::readPrintsTheDevicesSettings()
{
    // The port memory beside the program: the simulated port is never put there.
    const QString memory =
        QFileInfo(QStringLiteral(TELX5_CLI_PATH)).dir().filePath(QStringLiteral("XRVComm.ini"));
    const QByteArray remembered = "[XRVComm]\npar5=/dev/ttyUSB7\n";
    QFile file(memory);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(remembered) == remembered.size());
    file.close();

    const Run run = runCli({QStringLiteral("--simulate"), QStringLiteral("read")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(fileBytes(memory), remembered);
    QVERIFY(run.out.startsWith("[TELX5]\r\n\r\nCALLSIGN:"));
    QVERIFY(run.out.contains("\r\nALIAS:"));
    QVERIFY2(run.err.contains(QLatin1String("read ok")), qPrintable(run.err));
}

void TestCli::defaultThenWrite()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("default.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    QVERIFY(fileBytes(file).contains("\r\nCALLSIGN:NOCALL-10\r\nPASS:40417\r\nDHCP:1#\r\n"));

    const Run run = runCli({QStringLiteral("--simulate"), QStringLiteral("write"), file});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.contains(QLatin1String("Write complete")), qPrintable(run.err));
}

void TestCli::commandsReportAPortThatDoesNotOpen_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::newRow("read") << QStringList{QStringLiteral("read")};
    QTest::newRow("wifi") << QStringList{QStringLiteral("wifi"), QStringLiteral("net"),
                                         QStringLiteral("secret")};
    QTest::newRow("restart") << QStringList{QStringLiteral("restart")};
}

void TestCli::commandsReportAPortThatDoesNotOpen()
{
    QFETCH(QStringList, command);
    const Run run = runCli(
        QStringList{QStringLiteral("--port"), QStringLiteral("/dev/telx5-missing")} + command);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains(QLatin1String("Port is open or no")), qPrintable(run.err));
}

void TestCli::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("no command") << QStringList{};
    QTest::newRow("unknown command") << QStringList{QStringLiteral("erase")};
    QTest::newRow("write without file") << QStringList{QStringLiteral("write")};
    QTest::newRow("wifi without password")
        << QStringList{QStringLiteral("wifi"), QStringLiteral("net")};
}

void TestCli::badUsage()
{
    QFETCH(QStringList, arguments);
    const Run run = runCli(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY(run.err.contains(QLatin1String("Commands:")));
}

void TestCli::flash_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("length"); // -1: no such file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    const QStringList simulate{QStringLiteral("--simulate")};
    QTest::newRow("small image") << simulate << 6000 << 0
                                 << QStringLiteral("Flashed 6000 bytes in");
    QTest::newRow("too short") << simulate << 4999 << 2 << QStringLiteral("is too short");
    QTest::newRow("too large") << simulate << 524288 << 2 << QStringLiteral("is too large");
    QTest::newRow("missing file") << simulate << -1 << 2 << QStringLiteral("cannot be read");
    QTest::newRow("port that does not open")
        << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/telx5-missing")} << 6000 << 3
        << QStringLiteral("Cannot open /dev/telx5-missing");
}

void TestCli::flash()
{
    QFETCH(QStringList, options);
    QFETCH(int, length);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QTemporaryDir dir;
    const QString image = dir.filePath(QStringLiteral("firmware.bin"));
    QFile file(image);
    if (length >= 0)
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(QByteArray(length, '\x5A')) == length);
    file.close();

    const Run run = runCli(options + QStringList{QStringLiteral("flash"), image});
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    // A refused image is named, and no session starts.
    if (exitCode == 2)
        QCOMPARE(run.err.count(QLatin1Char('\n')), 1);
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
