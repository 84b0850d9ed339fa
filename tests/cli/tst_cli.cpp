#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <QScopeGuard>

#include <csignal>
#include <fcntl.h>
#include <pty.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <sys/stat.h>

namespace {

struct Run
{
    int exitCode = -1;
    QByteArray out;
    QString err;
};

// The lines of the file "default" writes that choose DHCP, with the address
// the simulated device starts with.
constexpr char DefaultAddressing[] = "DHCP:1#\r\nIP:192,168,1,99\r\n";

// The user's data folder of every run, so that no backup lands in the home
// folder.
QString dataHome()
{
    static const QTemporaryDir home;
    return home.path();
}

QString backupFolder()
{
    return dataHome() + QStringLiteral("/telx5-config/backups");
}

// `simOptions` set up the simulated device of --simulate; `input` goes to
// standard input, a pipe; standard output goes to `outputFile` when one is named.
Run runCli(const QStringList &arguments, const QString &simOptions = {},
           const QByteArray &input = {}, const QString &outputFile = {},
           const QString &dataFolder = dataHome())
{
    QProcess process;
    if (!outputFile.isEmpty())
        process.setStandardOutputFile(outputFile, QIODevice::Append);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The protocol's waits run shortened, as in the session tests; a paced
    // wire keeps its own time, and so do the waits beside it.
    environment.insert(QStringLiteral("TELX5_SIM_OPTIONS"), simOptions);
    if (!simOptions.contains(QLatin1String("--paced")))
        environment.insert(QStringLiteral("TELX5_TIME_SCALE"), QStringLiteral("0.05"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), dataFolder);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TELX5_CLI_PATH), arguments);
    process.write(input);
    process.closeWriteChannel();
    // A process that hangs (in the open of a FIFO, say) is killed with the
    // QProcess, and its exit code stays -1.
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

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool comesBefore(const QString &text, QLatin1StringView first, QLatin1StringView second)
{
    const qsizetype at = text.indexOf(first);
    return at >= 0 && at < text.indexOf(second);
}

// telx5-sim on a pseudo-terminal of its own: a port the user names, as a USB
// adapter's is, not the simulated device of --simulate.
class SimProcess
{
public:
    ~SimProcess()
    {
        process.kill();
        process.waitForFinished();
    }
    bool start(const QStringList &arguments = {})
    {
        process.start(QStringLiteral(TELX5_SIM_PATH), arguments);
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {
        }
        port = QString::fromUtf8(process.readLine()).trimmed();
        return port.startsWith(QLatin1String("/dev/"));
    }

    QProcess process;
    QString port;
};

// A pseudo-terminal in raw mode, as a user's terminal for standard output:
// what the program writes arrives as it is, line ends too.
struct Terminal
{
    Terminal()
    {
        termios raw{};
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0 ||
            ::tcgetattr(slave, &raw) != 0)
            return;
        ::cfmakeraw(&raw);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        path = QString::fromLocal8Bit(::ttyname(slave));
    }

    ~Terminal()
    {
        ::close(master);
        ::close(slave);
    }
    QByteArray shown() const
    {
        QByteArray bytes;
        char buffer[4096];
        for (ssize_t got; (got = ::read(master, buffer, sizeof buffer)) > 0;)
            bytes.append(buffer, got);
        return bytes;
    }

    QString path;
    int master = -1;
    int slave = -1;
};

QStringList backupNames()
{
    return QDir(backupFolder()).entryList(QDir::Files | QDir::Hidden);
}

// Every command ends with a line that says how it went.
QString lastLine(const QString &err)
{
    return err.trimmed().split(QLatin1Char('\n')).constLast();
}

// A named FIFO in `dir`: nothing ever opens its other end.
QString makeFifo(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("fifo"));
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
}

// The command lines that left the port, from a trace's sent bytes.
QStringList sentLines(const QByteArray &trace)
{
    QByteArray sent;
    for (const QByteArray &line : trace.split('\n')) {
        const qsizetype at = line.indexOf(" ms  > ");
        if (at >= 0)
            sent += QByteArray::fromHex(line.mid(at + 7, 47));
    }
    QStringList lines;
    for (const QByteArray &line : sent.split('\n')) {
        if (!line.trimmed().isEmpty())
            lines.append(QString::fromLatin1(line.trimmed()));
    }
    return lines;
}

// The command lines that reached the simulated device whole (its --verbose).
QStringList receivedLines(const QString &err)
{
    QStringList lines;
    for (const QString &line : err.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("<- ")))
            lines.append(line.mid(3));
    }
    return lines;
}

} // namespace

class TestCli : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        // ctest runs the functions named here in a process of their own, at the same time.
        if (qEnvironmentVariable("TELX5_TEST_APART")
                .split(QLatin1Char(','))
                .contains(QLatin1String(QTest::currentTestFunction())))
            QSKIP("run apart");
        // Each row starts with no backups and no journal of an update stopped on a port:
        // pseudo-terminals' names come back.
        QVERIFY(QDir(dataHome() + QStringLiteral("/telx5-config")).removeRecursively());
    }
    void readPrintsTheDevicesSettings();
    void readKeepsABackup_data();
    void readKeepsABackup();
    void writeKeepsABackupFirst_data();
    void writeKeepsABackupFirst();
    void flashKeepsTheSettings_data();
    void flashKeepsTheSettings();
    void backupsAreListedNewestFirst();
    void readNeedsEverySetting_data();
    void readNeedsEverySetting();
    void defaultThenWrite();
    void writeRefusesAnIncompleteFile_data();
    void writeRefusesAnIncompleteFile();
    void refusesATargetItCannotSave_data();
    void refusesATargetItCannotSave();
    void writeBacksUpThenVerifies_data();
    void writeBacksUpThenVerifies();
    void checkJudgesTheValues_data();
    void checkJudgesTheValues();
    void controlCharactersReachNoTerminal_data();
    void controlCharactersReachNoTerminal();
    void diffNamesWhatTheDeviceHoldsOtherwise_data();
    void diffNamesWhatTheDeviceHoldsOtherwise();
    void writeSetsValuesForOneDevice_data();
    void writeSetsValuesForOneDevice();
    void interruptedCommandClosesThePort_data();
    void interruptedCommandClosesThePort();
    void wifiAndRestartSayHowTheyEnded_data();
    void wifiAndRestartSayHowTheyEnded();
    void helpAndVersion();
    void fullOutputIsAFailure_data();
    void fullOutputIsAFailure();
    void commandsReportAPortThatDoesNotOpen_data();
    void commandsReportAPortThatDoesNotOpen();
    void historyNamesWhatChanged();
    void jsonParsesBack_data();
    void jsonParsesBack();
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

    QTemporaryDir dir;
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const Run run = runCli(
        {QStringLiteral("--simulate"), QStringLiteral("--trace"), trace, QStringLiteral("read")});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(fileBytes(memory), remembered);
    QVERIFY(run.out.startsWith("[TELX5]\r\n\r\nCALLSIGN:"));
    QVERIFY(run.out.contains("\r\nALIAS:"));
    QCOMPARE(lastLine(run.err), QStringLiteral("read ok: 33 fields received"));

    // The trace holds the exchange in order: setup line, CONNECT, read line, answer.
    const QByteArray traced = fileBytes(trace);
    const qsizetype setup = traced.indexOf("> 0D 0A 53 45 54 55 50 23 0D 0A");
    const qsizetype connect = traced.indexOf("< 43 4F 4E 4E 45 43 54");
    const qsizetype readLine = traced.indexOf("> 41 54 2B 52 45 41 44 23"); // AT+READ#
    QVERIFY2(setup >= 0 && setup < connect && connect < readLine, traced.left(600).constData());
    QVERIFY(traced.indexOf(" < ", readLine) > readLine);
}

void TestCli::readKeepsABackup_data()
{
    QTest::addColumn<QStringList>("options"); // PORT: the pseudo-terminal of telx5-sim
    QTest::addColumn<bool>("blocked");        // the data folder is a file
    QTest::addColumn<bool>("kept");
    QTest::addColumn<QString>("said");
    const QString port = QStringLiteral("--port");
    const QString pty = QStringLiteral("PORT");
    QTest::newRow("a port the user names")
        << QStringList{port, pty} << false << true << QStringLiteral("Backup kept: ");
    QTest::newRow("the simulated device")
        << QStringList{QStringLiteral("--simulate")} << false << false << QString();
    QTest::newRow("--no-backup") << QStringList{port, pty, QStringLiteral("--no-backup")} << false
                                 << false << QString();
    // The read has what it came for: it succeeds, and says what is missing.
    QTest::newRow("data folder blocked")
        << QStringList{port, pty} << true << false
        << QStringLiteral("Could not keep a backup: %1/telx5-config/backups: Not a directory");
}

void TestCli::readKeepsABackup()
{
    QFETCH(QStringList, options);
    QFETCH(bool, blocked);
    QFETCH(bool, kept);
    QFETCH(QString, said);
    SimProcess sim;
    QVERIFY(sim.start());
    options.replaceInStrings(QStringLiteral("PORT"), sim.port);
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("share"));
    QVERIFY(writeFile(blocker, "a file"));

    const Run run = runCli(options + QStringList{QStringLiteral("read")}, {}, {}, {},
                           blocked ? blocker : dataHome());

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(lastLine(run.err), QStringLiteral("read ok: 33 fields received"));
    QVERIFY2(run.err.contains(said.replace(QStringLiteral("%1"), blocker)), qPrintable(run.err));
    const QStringList names = backupNames();
    QCOMPARE(names.size(), kept ? 1 : 0);
    if (kept) {
        QVERIFY2(names.constFirst().endsWith(QLatin1String("_N0CALL-9_read.ini")),
                 qPrintable(names.constFirst()));
        const QString backup = QDir(backupFolder()).filePath(names.constFirst());
        QCOMPARE(fileBytes(backup), run.out);
        // A backup is a settings file that write takes back.
        const Run restore =
            runCli({QStringLiteral("--port"), sim.port, QStringLiteral("--no-backup"),
                    QStringLiteral("--verify"), QStringLiteral("write"), backup});
        QCOMPARE(restore.exitCode, 0);
        // Read again unchanged, the device keeps no second copy: the read
        // names the backup that holds its settings.
        const Run again = runCli(options + QStringList{QStringLiteral("read")});
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.err.contains(QStringLiteral("The settings are those of the backup ") +
                                    backup + QStringLiteral(": no new backup kept")),
                 qPrintable(again.err));
        QCOMPARE(backupNames(), names);
    }
}

// "AT+RESET#" puts back the factory settings: the device's own come back
// after the update, and a backup holds them meanwhile. Under DHCP too, the
// addresses it reports are its own and come back.
void TestCli::flashKeepsTheSettings_data()
{
    QTest::addColumn<QStringList>("simArguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");  // in the last line
    QTest::addColumn<QString>("never"); // nowhere on standard error
    const QString ignoreComment = QStringLiteral("--ignore-after-reset AT+COMMENT");
    const QString noLoader = QStringLiteral("--boot-window 0");
    QTest::newRow("restored") << QStringList{} << 0
                              << QStringLiteral("update complete; settings restored and verified; "
                                                "apply the Wi-Fi credentials again")
                              << QStringLiteral("differ");
    // The read-back works, but a setting did not take: never "restored".
    QTest::newRow("a setting that does not take back")
        << ignoreComment.split(QLatin1Char(' ')) << 1
        << QStringLiteral("update complete, but Status differ") << QStringLiteral("restored");
    // The loader falls silent halfway: never "complete".
    QTest::newRow("a loader silent after block 1")
        << QStringList{QStringLiteral("--silent-after-block"), QStringLiteral("1")} << 1
        << QStringLiteral("the device waits in its boot loader with part of the new firmware")
        << QStringLiteral("complete");
    // No loader: the update never happened, whatever came of the settings.
    QTest::newRow("no loader, restored")
        << noLoader.split(QLatin1Char(' ')) << 1
        << QStringLiteral("; the old firmware runs, with its settings written back and verified")
        << QStringLiteral("update complete");
    QTest::newRow("no loader, a setting that does not take back")
        << QString(noLoader + QLatin1Char(' ') + ignoreComment).split(QLatin1Char(' ')) << 1
        << QStringLiteral("; the old firmware runs, but Status differ from the settings read "
                          "before")
        << QStringLiteral("verified");
}

void TestCli::flashKeepsTheSettings()
{
    QFETCH(QStringList, simArguments);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, never);
    SimProcess sim;
    QVERIFY(sim.start(simArguments));
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("changed.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    const QByteArray ownAddress = "DHCP:1#\r\nIP:192,168,1,50\r\n";
    QVERIFY(writeFile(file, fileBytes(file)
                                .replace("TELX5 144.640MHz", "Changed")
                                .replace(DefaultAddressing, "DHCP:0#\r\nIP:192,168,1,50\r\n")));
    const QStringList port{QStringLiteral("--port"), sim.port};
    const QStringList write{QStringLiteral("--no-backup"), QStringLiteral("write"), file};
    QCOMPARE(runCli(port + write).exitCode, 0);
    QVERIFY(writeFile(file, fileBytes(file).replace("DHCP:0#\r\nIP:192,168,1,50\r\n", ownAddress)));
    QCOMPARE(runCli(port + write).exitCode, 0);
    const QString image = dir.filePath(QStringLiteral("firmware.bin"));
    QVERIFY(writeFile(image, QByteArray(6000, '\x5A')));

    const Run run = runCli(port + QStringList{QStringLiteral("flash"), image});

    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(lastLine(run.err).contains(said), qPrintable(run.err));
    QVERIFY2(!run.err.contains(never), qPrintable(run.err));
    if (!said.contains(QLatin1String("verified")))
        return;
    const QStringList names = backupNames();
    QCOMPARE(names.size(), 1);
    QVERIFY2(names.constFirst().endsWith(QLatin1String("_before-update.ini")),
             qPrintable(names.constFirst()));
    QVERIFY(fileBytes(QDir(backupFolder()).filePath(names.constFirst()))
                .contains("\r\nCOMMENT TEXT:Changed\r\n"));
    const Run after =
        runCli(port + QStringList{QStringLiteral("--no-backup"), QStringLiteral("read")});
    QVERIFY(after.out.contains("\r\nCOMMENT TEXT:Changed\r\n"));
    QVERIFY(after.out.contains(ownAddress));
}

void TestCli::writeKeepsABackupFirst_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("blocked"); // the data folder is a file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("last");
    const QString written = QStringLiteral("write ok: the device confirmed (freq save), and every "
                                           "setting written reads back as written");
    const QStringList backupFile{QStringLiteral("--backup"), QStringLiteral("OLD")};
    QTest::newRow("backup kept") << backupFile << false << 0 << QStringLiteral("Backup kept: ")
                                 << written;
    // Every write keeps one, asked or not: the read before it connects.
    QTest::newRow("backup kept, no --backup")
        << QStringList{} << false << 0 << QStringLiteral("Backup kept: ") << written;
    QTest::newRow("backup cannot be kept")
        << backupFile << true << 1
        << QStringLiteral("Could not keep a backup: %1/telx5-config/backups: Not a directory; "
                          "nothing was written")
        << QStringLiteral("write failed: could not keep a backup; --no-backup writes without one");
    QTest::newRow("--no-backup") << backupFile + QStringList{QStringLiteral("--no-backup")} << true
                                 << 0 << QStringLiteral("The device's settings are saved in")
                                 << written;
}

// The device's settings are kept before anything is written over them; a
// backup that cannot be kept stops the write, unless the user said so.
void TestCli::writeKeepsABackupFirst()
{
    QFETCH(QStringList, options);
    QFETCH(bool, blocked);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, last);
    SimProcess sim;
    QVERIFY(sim.start());
    QTemporaryDir dir;
    const QString blocker = dir.filePath(QStringLiteral("share"));
    QVERIFY(writeFile(blocker, "a file"));
    const QString file = dir.filePath(QStringLiteral("changed.ini"));
    const QString old = dir.filePath(QStringLiteral("old.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    QVERIFY(writeFile(file, fileBytes(file).replace("TELX5 144.640MHz", "Changed")));
    const QStringList port{QStringLiteral("--port"), sim.port};

    options.replaceInStrings(QStringLiteral("OLD"), old);
    const Run run = runCli(port + options + QStringList{QStringLiteral("write"), file}, {}, {}, {},
                           blocked ? blocker : dataHome());

    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said.replace(QStringLiteral("%1"), blocker)), qPrintable(run.err));
    QCOMPARE(lastLine(run.err), last);
    const QStringList names = backupNames();
    QCOMPARE(names.size(), !blocked ? 1 : 0);
    if (!blocked) {
        QVERIFY2(names.constFirst().endsWith(QLatin1String("_N0CALL-9_before-write.ini")),
                 qPrintable(names.constFirst()));
        // What the device held before the write.
        const QByteArray backup = fileBytes(QDir(backupFolder()).filePath(names.constFirst()));
        QVERIFY(backup.contains("\r\nCOMMENT TEXT:") && !backup.contains("COMMENT TEXT:Changed"));
        if (options.contains(old))
            QCOMPARE(backup, fileBytes(old));
    }
    const Run after =
        runCli(port + QStringList{QStringLiteral("--no-backup"), QStringLiteral("read")});
    QCOMPARE(after.exitCode, 0);
    QCOMPARE(after.out.contains("\r\nCOMMENT TEXT:Changed\r\n"), exitCode == 0);
}

// One line a backup, newest first: by the time in its name, then by its
// copy within the second; other files are not listed.
void TestCli::backupsAreListedNewestFirst()
{
    QVERIFY(QDir().mkpath(backupFolder()));
    for (const char *name :
         {"2026-12-07_15-42-10_BG7ABC-9_read.ini", "2025-01-31_23-59-59_unknown_before-update.ini",
          "2026-12-07_15-42-10_BG7ABC-9_read_2.ini",
          "2026-12-08_08-00-00_N0CALL-10_before-write.ini", "notes.ini",
          "2026-12-07_15-42-10_BG7ABC-9_read.txt"})
        QVERIFY(writeFile(QDir(backupFolder()).filePath(QLatin1String(name)), "[TELX5]\r\n"));

    const Run run = runCli({QStringLiteral("backups")});

    QCOMPARE(run.exitCode, 0);
    const QString folder = backupFolder() + QLatin1Char('/');
    QCOMPARE(QString::fromUtf8(run.out),
             QStringLiteral("2026-12-08 08:00:00  N0CALL-10  before-write   %1"
                            "2026-12-08_08-00-00_N0CALL-10_before-write.ini\n"
                            "2026-12-07 15:42:10  BG7ABC-9   read           %1"
                            "2026-12-07_15-42-10_BG7ABC-9_read_2.ini\n"
                            "2026-12-07 15:42:10  BG7ABC-9   read           %1"
                            "2026-12-07_15-42-10_BG7ABC-9_read.ini\n"
                            "2025-01-31 23:59:59  unknown    before-update  %1"
                            "2025-01-31_23-59-59_unknown_before-update.ini\n")
                 .replace(QStringLiteral("%1"), folder));
    QCOMPARE(lastLine(run.err), QStringLiteral("backups ok: 4 backups in ") + backupFolder());
}

void TestCli::readNeedsEverySetting_data()
{
    QTest::addColumn<QStringList>("reported");
    QTest::addColumn<bool>("toFile");
    QTest::addColumn<bool>("partial");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("last");

    const QStringList fileLines{
        "CALLSIGN:", "PASS:",         "DHCP:",   "IP:",        "MASK:",   "GATE:",      "DNS:",
        "POSITION:", "COMMENT TEXT:", "SERVER:", "SENT TIME:", "FILTER:", "BACKLIGHT:", "FREQ:",
        "UNIT:",     "DIGI:",         "MOD:",    "PATH:",      "ALIAS:"};
    const QString oneOf19 = QStringLiteral(
        "read incomplete: the device sent 1 of 19 settings; missing: CALLSIGN, PASS, DHCP, IP, "
        "MASK, GATE, DNS, POSITION, COMMENT TEXT, SERVER, SENT TIME, FILTER, BACKLIGHT, UNIT, "
        "DIGI, MOD, PATH, ALIAS");
    QTest::newRow("1 of 19") << QStringList{"FREQ:"} << false << false << 1 << oneOf19;
    QTest::newRow("1 of 19, into a file") << QStringList{"FREQ:"} << true << false << 1 << oneOf19;
    QTest::newRow("1 of 19, partial") << QStringList{"FREQ:"} << false << true << 1 << oneOf19;
    QTest::newRow("18 of 19") << fileLines.mid(0, 18) << true << false << 1
                              << QStringLiteral("read incomplete: the device sent 18 of 19 "
                                                "settings; missing: ALIAS");
    // The version is no setting of the file.
    QTest::newRow("all but the version")
        << fileLines << true << false << 0
        << QStringLiteral("read ok: 32 fields received, saved to %1");
}

// A file saved from a read that missed a setting would blank it on the device
// when it is written back: the command fails and saves nothing.
void TestCli::readNeedsEverySetting()
{
    QFETCH(QStringList, reported);
    QFETCH(bool, toFile);
    QFETCH(bool, partial);
    QFETCH(int, exitCode);
    QFETCH(QString, last);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("mine.ini"));
    QString options;
    for (const QString &prefix : std::as_const(reported))
        options += QStringLiteral(" --report-only \"%1\"").arg(prefix);
    QStringList arguments{QStringLiteral("--simulate"), QStringLiteral("read")};
    if (toFile)
        arguments << file;
    if (partial)
        arguments.prepend(QStringLiteral("--partial"));

    const Run run = runCli(arguments, options);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(lastLine(run.err), last.contains(QLatin1String("%1")) ? last.arg(file) : last);
    QCOMPARE(QFileInfo::exists(file), exitCode == 0);
    // Only --partial prints what came, the others blank.
    QCOMPARE(run.out.contains("\r\nFREQ:144.6400\r\n"), partial);
    QCOMPARE(run.out.contains("\r\nPASS:\r\n"), partial);
}

void TestCli::defaultThenWrite()
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("default.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    QVERIFY(fileBytes(file).contains("\r\nCALLSIGN:NOCALL-10\r\nPASS:40417\r\nDHCP:1#\r\n"));

    const Run run = runCli({QStringLiteral("--simulate"), QStringLiteral("write"), file});
    QCOMPARE(run.exitCode, 0);
    // The device is asked into setup mode before the first settings line.
    QVERIFY2(
        comesBefore(run.err, QLatin1String("Connection 1/20Times"), QLatin1String("Writing......")),
        qPrintable(run.err));
    QCOMPARE(lastLine(run.err), QStringLiteral("write ok: the device confirmed (freq save), and "
                                               "every setting written reads back as written"));
}

void TestCli::writeRefusesAnIncompleteFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("said");
    QTest::addColumn<bool>("namedPipe"); // the file is a FIFO instead
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("default.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    const QByteArray settings = fileBytes(file);
    QTest::newRow("empty") << QByteArray() << QStringLiteral("the file is empty") << false;
    QTest::newRow("LF only") << QByteArray(settings).replace("\r\n", "\n")
                             << QStringLiteral("its lines end in LF alone") << false;
    QTest::newRow("truncated") << settings.left(150)
                               << QStringLiteral("no COMMENT TEXT, SERVER, SENT TIME, FILTER, "
                                                 "BACKLIGHT, FREQ, UNIT, DIGI, MOD, PATH or "
                                                 "ALIAS line")
                               << false;
    QTest::newRow("malformed") << QByteArray(settings).replace("IP:192,168,1,99", "IP:192.168.1.99")
                               << QStringLiteral("line 6 is not a valid settings line: "
                                                 "\"IP:192.168.1.99\"")
                               << false;
    // Its open would wait for a writer that never comes.
    QTest::newRow("named FIFO") << QByteArray() << QStringLiteral("not a regular file") << true;
}

void TestCli::writeRefusesAnIncompleteFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, said);
    QFETCH(bool, namedPipe);
    QTemporaryDir dir;
    const QString file = namedPipe ? makeFifo(dir) : dir.filePath(QStringLiteral("settings.ini"));
    QVERIFY(namedPipe ? !file.isEmpty() : writeFile(file, content));
    // A port that does not open would give 3: the file is judged first.
    const Run run = runCli({QStringLiteral("--port"), QStringLiteral("/dev/telx5-missing"),
                            QStringLiteral("write"), file});
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    QCOMPARE(run.err.count(QLatin1Char('\n')), 2);
    QCOMPARE(lastLine(run.err), QStringLiteral("write refused: nothing was sent"));
}

void TestCli::refusesATargetItCannotSave_data()
{
    // In `command`, TARGET stands for the file to save into, SETTINGS for a
    // settings file that a write takes.
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("fault"); // planted at the target
    QTest::addColumn<QString>("said");
    QTest::addColumn<QString>("outcome");
    const QStringList read{QStringLiteral("read"), QStringLiteral("TARGET")};
    const QStringList backup{QStringLiteral("write"), QStringLiteral("--backup"),
                             QStringLiteral("TARGET"), QStringLiteral("SETTINGS")};
    const QString missing = QStringLiteral("missing/mine.ini");
    const QString pipe = QStringLiteral("pipe.ini");
    const QString fifo = QStringLiteral("fifo");
    const QString notFound = QStringLiteral("missing does not exist");
    const QString isFifo = QStringLiteral("it is a FIFO");
    const QString readRefused = QStringLiteral("read refused: nothing was sent");
    const QString writeRefused = QStringLiteral("write refused: nothing was sent");
    QTest::newRow("read into a missing folder")
        << read << missing << QString() << notFound << readRefused;
    QTest::newRow("read into a FIFO") << read << pipe << fifo << isFifo << readRefused;
    QTest::newRow("read into a folder") << read << pipe << QStringLiteral("folder")
                                        << QStringLiteral("it is a folder") << readRefused;
    QTest::newRow("read into a read-only folder")
        << read << QStringLiteral("locked/mine.ini") << QStringLiteral("read-only")
        << QStringLiteral("locked cannot be written") << readRefused;
    QTest::newRow("backup into a missing folder")
        << backup << missing << QString() << notFound << writeRefused;
    QTest::newRow("backup into a FIFO") << backup << pipe << fifo << isFifo << writeRefused;
    // The file being written would hold this device's old settings afterwards.
    const QString itself = QStringLiteral("it is the settings file being written");
    QTest::newRow("backup into the file being written")
        << backup << QStringLiteral("default.ini") << QString() << itself << writeRefused;
    QTest::newRow("backup into a link to it")
        << backup << QStringLiteral("link.ini") << QStringLiteral("link") << itself << writeRefused;
    QTest::newRow("backup into a hard link to it")
        << backup << QStringLiteral("hard.ini") << QStringLiteral("hard link") << itself
        << writeRefused;
    QTest::newRow("default into a FIFO")
        << QStringList{QStringLiteral("default"), QStringLiteral("TARGET")} << pipe << fifo
        << isFifo << QStringLiteral("default refused: nothing was saved");
}

// The device is never asked to restart for a file that cannot be saved.
void TestCli::refusesATargetItCannotSave()
{
    QFETCH(QStringList, command);
    QFETCH(QString, target);
    QFETCH(QString, fault);
    QFETCH(QString, said);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QString targetPath = dir.filePath(target);
    const QString settings = dir.filePath(QStringLiteral("default.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), settings}).exitCode, 0);
    if (fault == QLatin1String("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(targetPath).constData(), 0600), 0);
    if (fault == QLatin1String("folder"))
        QVERIFY(QDir().mkpath(targetPath));
    if (fault == QLatin1String("link"))
        QVERIFY(QFile::link(settings, targetPath));
    if (fault == QLatin1String("hard link"))
        QCOMPARE(::link(QFile::encodeName(settings).constData(),
                        QFile::encodeName(targetPath).constData()),
                 0);
    const QByteArray locked = QFile::encodeName(dir.filePath(QStringLiteral("locked")));
    bool mounted = false;
    if (fault == QLatin1String("read-only")) {
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("locked"))));
        // Root writes into any folder, but not onto a read-only file system.
        mounted = ::geteuid() == 0;
        if (mounted && ::mount("tmpfs", locked.constData(), "tmpfs", MS_RDONLY, "size=16k") != 0)
            QSKIP("no read-only tmpfs here");
        QVERIFY(mounted || ::chmod(locked.constData(), 0555) == 0);
    }
    const auto unlock = qScopeGuard([&] {
        if (mounted)
            ::umount(locked.constData());
    });
    command.replaceInStrings(QStringLiteral("TARGET"), targetPath);
    command.replaceInStrings(QStringLiteral("SETTINGS"), settings);

    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    const Run run = runCli(
        QStringList{QStringLiteral("--simulate"), QStringLiteral("--trace"), trace} + command);
    QCOMPARE(run.exitCode, 2);
    const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.first().startsWith(QStringLiteral("telx5-cli: cannot save to ") + targetPath +
                                      QStringLiteral(": ")) &&
                 lines.first().endsWith(said),
             qPrintable(run.err));
    QCOMPARE(lines.last(), outcome);
    QVERIFY2(!fileBytes(trace).contains(" > "), fileBytes(trace).constData());
    // The settings file is left as "default" wrote it.
    QVERIFY(fileBytes(settings).startsWith("[TELX5]\r\n"));
}

void TestCli::writeBacksUpThenVerifies_data()
{
    QTest::addColumn<QByteArray>("addressing"); // the file's DHCP and IP lines
    QTest::addColumn<QString>("simOptions");
    QTest::addColumn<QString>("untaken"); // the line naming it, if any
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outcome");
    // The device takes every line but the comment, and still confirms.
    QTest::newRow("DHCP, the comment does not take")
        << QByteArray(DefaultAddressing) << QStringLiteral("--ignore AT+COMMENT")
        << QStringLiteral("COMMENT TEXT did not take: written \"TELX5 144.640MHz\", read back "
                          "\"TELX5 iGate\"")
        << 1
        << QStringLiteral("write failed: the device confirmed (freq save), but 1 setting did not "
                          "take: COMMENT TEXT");
    // Under STATIC IP the write sends the addresses, so they must read back.
    QTest::newRow("STATIC IP, the address does not take")
        << QByteArray("DHCP:0#\r\nIP:10,0,0,7\r\n") << QStringLiteral("--ignore AT+IP")
        << QStringLiteral("IP did not take: written \"10,0,0,7\", read back \"192,168,1,99\"") << 1
        << QStringLiteral("write failed: the device confirmed (freq save), but 1 setting did not "
                          "take: IP");
    // No "freq save": never "ok", however the settings read back.
    QTest::newRow("DHCP, not confirmed")
        << QByteArray(DefaultAddressing) << QStringLiteral("--ignore AT+FREQ") << QString() << 1
        << QStringLiteral("write failed: the device did not confirm (no freq save); the device "
                          "may hold part of the new settings");
    // Under DHCP the write leaves the device's addresses as they are.
    QTest::newRow("DHCP, other addresses in the file")
        << QByteArray("DHCP:1#\r\nIP:10,0,0,7\r\n") << QString() << QString() << 0
        << QStringLiteral("write ok: the device confirmed (freq save), and every setting written "
                          "reads back as written");
}

void TestCli::writeBacksUpThenVerifies()
{
    QFETCH(QByteArray, addressing);
    QFETCH(QString, simOptions);
    QFETCH(QString, untaken);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("default.ini"));
    const QString backup = dir.filePath(QStringLiteral("backup.ini"));
    QCOMPARE(runCli({QStringLiteral("default"), file}).exitCode, 0);
    const QByteArray defaults = fileBytes(file);
    QVERIFY(defaults.contains(DefaultAddressing));
    QVERIFY(writeFile(file, QByteArray(defaults).replace(DefaultAddressing, addressing)));
    const Run read = runCli({QStringLiteral("--simulate"), QStringLiteral("read")});
    QCOMPARE(read.exitCode, 0);

    const Run run = runCli({QStringLiteral("--simulate"), QStringLiteral("write"),
                            QStringLiteral("--backup"), backup, QStringLiteral("--verify"), file},
                           simOptions);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(fileBytes(backup), read.out);
    QVERIFY2(comesBefore(run.err, QLatin1String("settings are saved in"),
                         QLatin1String("Writing......")),
             qPrintable(run.err));
    if (untaken.isEmpty())
        QVERIFY2(!run.err.contains(QLatin1String("did not take")), qPrintable(run.err));
    else
        QVERIFY2(run.err.contains(untaken), qPrintable(run.err));
    QCOMPARE(lastLine(run.err), outcome);
}

// A settings file made by "default", with `edits` (text, replacement) made
// in it; empty when it could not be made.
QString settingsFile(const QTemporaryDir &dir, const QList<QByteArrayList> &edits)
{
    const QString file = dir.filePath(QStringLiteral("settings.ini"));
    if (runCli({QStringLiteral("default"), file}).exitCode != 0)
        return {};
    QByteArray content = fileBytes(file);
    for (const QByteArrayList &edit : edits)
        content.replace(edit.first(), edit.last());
    return writeFile(file, content) ? file : QString();
}

// A callsign with its own passcode: the Default values' NOCALL is no callsign.
const QList<QByteArrayList> Sound{{"CALLSIGN:NOCALL-10", "CALLSIGN:BG7XYZ-5"},
                                  {"PASS:40417", "PASS:24487"}};

void TestCli::checkJudgesTheValues_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<QByteArrayList>>("edits"); // to the Default values' file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("said"); // on standard output
    QTest::addColumn<QString>("last");
    const QByteArrayList at999{"FREQ:144.6400", "FREQ:999"};
    QTest::newRow("sound") << QStringList{} << Sound << 0 << QStringList{}
                           << QStringLiteral("check ok: no problems in @file");
    QTest::newRow("passcode of another callsign")
        << QStringList{} << Sound + QList<QByteArrayList>{{"PASS:24487", "PASS:40417"}} << 1
        << QStringList{QStringLiteral("warning: Pass (PASS): Pass 40417 does not belong to BG7XYZ; "
                                      "its passcode is 24487\n")}
        << QStringLiteral("check found 0 errors and 1 warning in @file");
    QTest::newRow("999 MHz") << QStringList{} << Sound + QList<QByteArrayList>{at999} << 1
                             << QStringList{QStringLiteral("warning: Tx/Rx (FREQ): 999 MHz")}
                             << QStringLiteral("check found 0 errors and 1 warning in @file");
    QTest::newRow("999 MHz, in Chinese")
        << QStringList{QStringLiteral("--chinese")} << Sound + QList<QByteArrayList>{at999} << 1
        << QStringList{QStringLiteral("warning: 频率 (FREQ): 999 MHz")}
        << QStringLiteral("check found 0 errors and 1 warning in @file");
    QTest::newRow("SSID 16") << QStringList{}
                             << Sound + QList<QByteArrayList>{{"BG7XYZ-5", "BG7XYZ-16"}} << 1
                             << QStringList{QStringLiteral("error: Callsign (CALLSIGN): SSID “16”")}
                             << QStringLiteral("check found 1 error and 0 warnings in @file");
    QTest::newRow("a line feed in a value")
        << QStringList{}
        << Sound + QList<QByteArrayList>{{"TELX5 144.640MHz", "abc\nAT+RESET#\nxyz"}} << 1
        << QStringList{QStringLiteral("error: Status (COMMENT TEXT): Holds the control character "
                                      "U+000A"),
                       QStringLiteral("warning: Status (COMMENT TEXT): Holds “#”")}
        << QStringLiteral("check found 1 error and 1 warning in @file");
    QTest::newRow("receive-only, no server")
        << QStringList{}
        << Sound + QList<QByteArrayList>{{"PASS:24487", "PASS:-1"},
                                         {"SERVER:china.aprs2.net", "SERVER:"}}
        << 1
        << QStringList{QStringLiteral("warning: Pass (PASS): Receive-only"),
                       QStringLiteral("error: Server (SERVER): No server")}
        << QStringLiteral("check found 1 error and 1 warning in @file");
    QTest::newRow("a code this program does not know")
        << QStringList{} << Sound + QList<QByteArrayList>{{"UNIT:1", "UNIT:0"}} << 1
        << QStringList{QStringLiteral("warning: Unit (UNIT): Code 0 is none this program knows")}
        << QStringLiteral("check found 0 errors and 1 warning in @file");
    QTest::newRow("not a settings file")
        << QStringList{} << QList<QByteArrayList>{{"MOD:3\r\n", ""}} << 2 << QStringList{}
        << QStringLiteral("check refused: the file cannot be read as settings");
}

void TestCli::checkJudgesTheValues()
{
    QFETCH(QStringList, options);
    QFETCH(QList<QByteArrayList>, edits);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    QFETCH(QString, last);
    QTemporaryDir dir;
    const QString file = settingsFile(dir, edits);
    QVERIFY(!file.isEmpty());

    const Run run = runCli(options + QStringList{QStringLiteral("check"), file});
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(lastLine(run.err), last.replace(QStringLiteral("@file"), file));
    const QString out = QString::fromUtf8(run.out);
    QCOMPARE(out.isEmpty(), said.isEmpty());
    for (const QString &named : std::as_const(said))
        QVERIFY2(out.contains(named), qPrintable(out));
}

void TestCli::controlCharactersReachNoTerminal_data()
{
    QTest::addColumn<QStringList>("arguments");       // FILE: a settings file; PORT: telx5-sim's
    QTest::addColumn<QList<QByteArrayList>>("edits"); // to the Default values' file
    QTest::addColumn<bool>("terminal");               // standard output is one
    QTest::addColumn<QString>("err");                 // a line on standard error
    QTest::addColumn<QByteArray>("out");

    const QStringList read{QStringLiteral("--port"), QStringLiteral("PORT"),
                           QStringLiteral("--no-backup"), QStringLiteral("read")};
    const QStringList check{QStringLiteral("check"), QStringLiteral("FILE")};
    const QString version = QStringLiteral("Version: \\x1b]0;pwned\\x07");
    QTest::newRow("read, to a pipe") << read << QList<QByteArrayList>{} << false << version
                                     << QByteArray("\r\nCOMMENT TEXT:\x1b[2J\r\n");
    QTest::newRow("read, to a terminal") << read << QList<QByteArrayList>{} << true << version
                                         << QByteArray("\r\nCOMMENT TEXT:\\x1b[2J\r\n");
    QTest::newRow("check, a line quoted")
        << check << QList<QByteArrayList>{{"IP:192,168,1,99", "IP:\x1b[2J"}} << false
        << QStringLiteral("line 6 is not a valid settings line: \"IP:\\x1b[2J\"") << QByteArray();
    QTest::newRow("check, a value quoted, to a terminal")
        << check << QList<QByteArrayList>{{"NOCALL-10", "NOCALL-1\x1b[2J"}} << true
        << QStringLiteral("check found 2 errors") << QByteArray("SSID “1\\x1b[2J”");
}

// A device's version or a file's line may hold an escape sequence: it never
// reaches the user's terminal as one. A pipe gets the bytes as they are.
void TestCli::controlCharactersReachNoTerminal()
{
    QFETCH(QStringList, arguments);
    QFETCH(QList<QByteArrayList>, edits);
    QFETCH(bool, terminal);
    QFETCH(QString, err);
    QFETCH(QByteArray, out);
    // A device whose version and status hold escape sequences.
    QStringList simOptions{QStringLiteral("--garbage"),
                           QString::fromLatin1(QByteArray("VER:\x1b]0;pwned\x07\r\n"
                                                          "COMMENT TEXT:\x1b[2J\r\n")
                                                   .toHex())};
    for (const char *line : {"CALLSIGN:", "PASS:", "DHCP:", "IP:", "MASK:", "GATE:", "DNS:",
                             "POSITION:", "SERVER:", "SENT TIME:", "FILTER:", "BACKLIGHT:", "FREQ:",
                             "UNIT:", "DIGI:", "MOD:", "PATH:", "ALIAS:"})
        simOptions << QStringLiteral("--report-only") << QString::fromLatin1(line);
    SimProcess sim;
    QVERIFY(sim.start(simOptions));
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("PORT"), sim.port);
    arguments.replaceInStrings(QStringLiteral("FILE"), settingsFile(dir, edits));
    const Terminal screen;
    QVERIFY(!screen.path.isEmpty());

    const Run run = runCli(arguments, {}, {}, terminal ? screen.path : QString());
    QVERIFY2(run.err.contains(err), qPrintable(run.err));
    QVERIFY2(!run.err.contains(QLatin1Char('\x1b')), qPrintable(run.err));
    const QByteArray shown = terminal ? screen.shown() : run.out;
    QVERIFY2(shown.contains(out), shown.constData());
    QCOMPARE(shown.contains('\x1b'), !terminal && !out.isEmpty());
}

void TestCli::diffNamesWhatTheDeviceHoldsOtherwise_data()
{
    QTest::addColumn<QString>("file"); // "read": what the device sent, saved
    QTest::addColumn<QString>("simOptions");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("said"); // lines on standard output
    QTest::addColumn<QString>("last");
    QTest::newRow("the device's own settings")
        << QStringLiteral("read") << QString() << 0 << QStringList{}
        << QStringLiteral("diff ok: the device holds the settings of @file");
    QTest::newRow("another file")
        << QStringLiteral("default") << QString() << 1
        << QStringList{QStringLiteral(
                           "Status (COMMENT TEXT): device 'TELX5 iGate', file 'TELX5 144.640MHz'"),
                       // As the window shows them, not as codes.
                       QStringLiteral("Backlight (BACKLIGHT): device '30', file 'ON'")}
        << QStringLiteral("diff: the device differs from @file in 7 settings");
    QTest::newRow("incomplete read")
        << QStringLiteral("read") << QStringLiteral("--report-only FREQ:") << 4 << QStringList{}
        << QStringLiteral("diff failed: the device sent 1 of 19 settings; missing: CALLSIGN, "
                          "PASS, DHCP, IP, MASK, GATE, DNS, POSITION, COMMENT TEXT, SERVER, SENT "
                          "TIME, FILTER, BACKLIGHT, UNIT, DIGI, MOD, PATH, ALIAS; 1 field "
                          "received");
}

void TestCli::diffNamesWhatTheDeviceHoldsOtherwise()
{
    QFETCH(QString, file);
    QFETCH(QString, simOptions);
    QFETCH(int, exitCode);
    QFETCH(QStringList, said);
    QFETCH(QString, last);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    QCOMPARE(runCli(file == QLatin1String("read")
                        ? QStringList{QStringLiteral("--simulate"), file, settings}
                        : QStringList{file, settings})
                 .exitCode,
             0);

    const Run run =
        runCli({QStringLiteral("--simulate"), QStringLiteral("diff"), settings}, simOptions);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(lastLine(run.err), last.replace(QStringLiteral("@file"), settings));
    const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'));
    for (const QString &line : std::as_const(said))
        QVERIFY2(lines.contains(line), run.out.constData());
    QCOMPARE(run.out.isEmpty(), said.isEmpty());
}

void TestCli::writeSetsValuesForOneDevice_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<QByteArrayList>>("edits"); // to the Default values' file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    QTest::addColumn<QStringList>("sent"); // received whole by the device, in order
    const QString set = QStringLiteral("--set");
    QTest::newRow("callsign and passcode")
        << QStringList{set, QStringLiteral("CALLSIGN=BG7XYZ-5"), set, QStringLiteral("pass=24487")}
        << QList<QByteArrayList>{} << 0 << QString()
        << QStringList{QStringLiteral("AT+CALL,BG7XYZ-5#"), QStringLiteral("AT+PASS,24487#")};
    QTest::newRow("a keyword with a blank, a code")
        << QStringList{set, QStringLiteral("COMMENT TEXT=Club tracker 3"), set,
                       QStringLiteral("PATH=0")}
        << QList<QByteArrayList>{} << 0 << QString()
        << QStringList{QStringLiteral("AT+COMMENT,Club tracker 3#"), QStringLiteral("AT+PATH,0#")};
    // The warning comes before anything is sent, and the write goes on.
    QTest::newRow("warning") << QStringList{} << QList<QByteArrayList>{} << 0
                             << QStringLiteral("warning: Callsign (CALLSIGN): NOCALL is not a "
                                               "callsign")
                             << QStringList{QStringLiteral("AT+PASS,40417#")};
    // Refused before the port opens: a port that does not exist would give 3.
    QTest::newRow("unknown key") << QStringList{set, QStringLiteral("COLOUR=red")}
                                 << QList<QByteArrayList>{} << 2
                                 << QStringLiteral(
                                        "telx5-cli: --set COLOUR=red: unknown key \"COLOUR\"")
                                 << QStringList{};
    QTest::newRow("no =") << QStringList{set, QStringLiteral("PASS")} << QList<QByteArrayList>{}
                          << 2 << QStringLiteral("telx5-cli: --set PASS: no \"=\"")
                          << QStringList{};
    QTest::newRow("a value the parser does not take")
        << QStringList{set, QStringLiteral("IP=10.0.0.7")} << QList<QByteArrayList>{} << 2
        << QStringLiteral("telx5-cli: --set IP=10.0.0.7: \"10.0.0.7\" is no value of a settings "
                          "file's IP line")
        << QStringList{};
    // The parser would leave the file's unit as it was.
    QTest::newRow("a code the parser does not know")
        << QStringList{set, QStringLiteral("UNIT=9")} << QList<QByteArrayList>{} << 2
        << QStringLiteral("telx5-cli: --set UNIT=9: \"9\" is no value of a settings file's UNIT "
                          "line")
        << QStringList{};
    // Refused before the port opens, whatever is allowed.
    const QByteArrayList lineFeed{"TELX5 144.640MHz", "abc\nAT+RESET#\nxyz"};
    const QString control = QStringLiteral("write refused: nothing was sent; a value holds a "
                                           "control character");
    QTest::newRow("a line feed in a value")
        << QStringList{} << QList<QByteArrayList>{lineFeed} << 2 << control << QStringList{};
    QTest::newRow("a line feed in a value, --lossy")
        << QStringList{QStringLiteral("--lossy")} << QList<QByteArrayList>{lineFeed} << 2 << control
        << QStringList{};
    QTest::newRow("ESC in the filter")
        << QStringList{} << QList<QByteArrayList>{{"b/TELX5", "b/TEL\x1bX5"}} << 2 << control
        << QStringList{};
    QTest::newRow("a # warned, and sent")
        << QStringList{} << Sound + QList<QByteArrayList>{{"TELX5 144.640MHz", "a#b"}} << 0
        << QStringLiteral("warning: Status (COMMENT TEXT): Holds “#”")
        << QStringList{QStringLiteral("AT+COMMENT,a#b#")};
    QTest::newRow("a #, --strict")
        << QStringList{QStringLiteral("--strict")}
        << Sound + QList<QByteArrayList>{{"TELX5 144.640MHz", "a#b"}} << 2
        << QStringLiteral("write refused: nothing was sent; the settings have 0 errors and 1 "
                          "warning (--strict)")
        << QStringList{};
    QTest::newRow("--strict with an error")
        << QStringList{QStringLiteral("--strict")}
        << QList<QByteArrayList>{{"NOCALL-10", "NOCALL-16"}} << 2
        << QStringLiteral("write refused: nothing was sent; the settings have 1 error and 2 "
                          "warnings (--strict)")
        << QStringList{};
    // The checks judge the values as this device gets them.
    QTest::newRow("--strict, the error mended by --set")
        << QStringList{QStringLiteral("--strict"), set, QStringLiteral("CALLSIGN=BG7XYZ-5")}
        << QList<QByteArrayList>{{"NOCALL-10", "NOCALL-16"}} << 0
        << QStringLiteral("warning: Pass (PASS): Pass 40417 does not belong to BG7XYZ")
        << QStringList{QStringLiteral("AT+CALL,BG7XYZ-5#")};
}

void TestCli::writeSetsValuesForOneDevice()
{
    QFETCH(QStringList, options);
    QFETCH(QList<QByteArrayList>, edits);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QStringList, sent);
    QTemporaryDir dir;
    const QString file = settingsFile(dir, edits);
    QVERIFY(!file.isEmpty());
    const QStringList device =
        exitCode == 0 ? QStringList{QStringLiteral("--simulate")}
                      : QStringList{QStringLiteral("--port"), QStringLiteral("/dev/telx5-missing")};

    const Run run = runCli(device + options + QStringList{QStringLiteral("write"), file},
                           QStringLiteral("--verbose"));
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(exitCode == 0 ? run.err.startsWith(said) : run.err.contains(said),
             qPrintable(run.err));
    const QStringList received = receivedLines(run.err);
    qsizetype from = 0;
    for (const QString &line : std::as_const(sent)) {
        from = received.indexOf(line, from);
        QVERIFY2(from >= 0, qPrintable(line + QLatin1Char('\n') + run.err));
    }
    if (exitCode != 0)
        QVERIFY(lastLine(run.err).startsWith(QLatin1String("write refused: nothing was sent")));
    // Each --set stands in place of the file's own value.
    QVERIFY(!(options.contains(QStringLiteral("CALLSIGN=BG7XYZ-5")) &&
              received.contains(QStringLiteral("AT+CALL,NOCALL-10#"))));
}

void TestCli::interruptedCommandClosesThePort_data()
{
    // "@settings" and "@image" stand for files the test makes.
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("simOptions");
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("count");     // sent this many times, a second apart
    QTest::addColumn<QString>("after"); // sent once this is on standard error
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outcome");
    const QString neverConnect = QStringLiteral("--never-connect");
    const QString interruptedRead =
        QStringLiteral("read interrupted: nothing was changed on the device");
    QTest::newRow("Ctrl-C during a read")
        << QStringList{QStringLiteral("read")} << neverConnect << SIGINT << 1
        << QStringLiteral("Connection 1/20") << 130 << interruptedRead;
    QTest::newRow("SIGHUP during a read")
        << QStringList{QStringLiteral("read")} << neverConnect << SIGHUP << 1
        << QStringLiteral("Connection 1/20") << 129 << interruptedRead;
    // The first setting line is on its way: it must reach the device whole.
    QTest::newRow("SIGTERM during a write")
        << QStringList{QStringLiteral("write"), QStringLiteral("@settings")}
        << QStringLiteral("--paced --verbose") << SIGTERM << 1 << QStringLiteral("Writing......")
        << 143
        << QStringLiteral("write interrupted: the device may hold part of the new settings; no "
                          "backup of its settings was kept");
    QTest::newRow("SIGTERM once the boot loader answered")
        << QStringList{QStringLiteral("flash"), QStringLiteral("@image")}
        << QStringLiteral("--paced") << SIGTERM << 1
        << QStringLiteral("updating，don't remove power") << 143
        << QStringLiteral("flash interrupted: the device waits in its boot loader with part of "
                          "the new firmware; nothing can finish this update: power the device off "
                          "and on, then run it again");
    // During the blocks a Ctrl-C only warns; a second one within 3 s stops.
    QTest::newRow("Ctrl-C once during the blocks")
        << QStringList{QStringLiteral("flash"), QStringLiteral("@image")}
        << QStringLiteral("--paced") << SIGINT << 1
        << QStringLiteral("updating，don't remove power") << 0
        << QStringLiteral("update complete; settings restored and verified; apply the Wi-Fi "
                          "credentials again");
    QTest::newRow("Ctrl-C twice during the blocks")
        << QStringList{QStringLiteral("flash"), QStringLiteral("@image")}
        << QStringLiteral("--paced") << SIGINT << 2
        << QStringLiteral("updating，don't remove power") << 130
        << QStringLiteral("flash interrupted: the device waits in its boot loader with part of "
                          "the new firmware; nothing can finish this update: power the device off "
                          "and on, then run it again");
}

void TestCli::interruptedCommandClosesThePort()
{
    QFETCH(QStringList, command);
    QFETCH(QString, simOptions);
    QFETCH(int, signal);
    QFETCH(int, count);
    QFETCH(QString, after);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    const QString image = dir.filePath(QStringLiteral("firmware.bin"));
    const QString trace = dir.filePath(QStringLiteral("trace.txt"));
    QCOMPARE(runCli({QStringLiteral("default"), settings}).exitCode, 0);
    // Nine seconds on the paced line: the signal comes long before its end.
    QVERIFY(writeFile(image, QByteArray(100000, '\x5A')));
    command.replaceInStrings(QStringLiteral("@settings"), settings);
    command.replaceInStrings(QStringLiteral("@image"), image);
    outcome.replace(QStringLiteral("@image"), image);

    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("TELX5_SIM_OPTIONS"), simOptions);
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    process.start(QStringLiteral(TELX5_CLI_PATH),
                  QStringList{QStringLiteral("--simulate"), QStringLiteral("--trace"), trace} +
                      command);
    QString err;
    while (!err.contains(after) && process.waitForReadyRead(10000))
        err += QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.contains(after), qPrintable(err));

    for (int sent = 0; sent < count; ++sent) {
        if (sent > 0)
            QTest::qWait(1000);
        QCOMPARE(::kill(pid_t(process.processId()), signal), 0);
    }
    QVERIFY(process.waitForFinished(30000));
    err += QString::fromUtf8(process.readAllStandardError());
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(lastLine(err), outcome);
    QCOMPARE(err.contains(QLatin1String("press Ctrl-C again within 3 s to stop")),
             signal == SIGINT && command.constFirst() == QLatin1String("flash"));
    // The port closed once the bytes had left: every command line that went
    // out reached the device whole, none was cut off.
    if (simOptions.contains(QLatin1String("--verbose")))
        QCOMPARE(receivedLines(err), sentLines(fileBytes(trace)));
}

void TestCli::wifiAndRestartSayHowTheyEnded_data()
{
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QString>("warned"); // on standard error before anything is sent
    QTest::addColumn<QString>("device"); // the simulated device's options beside --verbose
    const auto wifi = [](const QString &ssid, const QString &password,
                         const QStringList &options = {}) {
        return options + QStringList{QStringLiteral("wifi"), ssid, password};
    };
    const QString ok = QStringLiteral("wifi ok: the device confirmed (WIFI Write success) and "
                                      "restarts");
    const QString control =
        QStringLiteral("wifi refused: nothing was sent; a value holds a control character, which "
                       "would change the command the device receives");
    const QString strict = QStringLiteral("--strict");
    QTest::newRow("wifi") << wifi(QStringLiteral("net"), QStringLiteral("secret12")) << 0 << ok
                          << QString() << QString();
    // A device that never confirms: never "ok".
    QTest::newRow("wifi, not confirmed")
        << wifi(QStringLiteral("net"), QStringLiteral("secret12")) << 1
        << QStringLiteral("wifi failed: the device did not confirm") << QString()
        << QStringLiteral("--ignore AT+WIFI");
    // Nothing answers a restart: the tool says what it knows.
    QTest::newRow("restart") << QStringList{QStringLiteral("restart")} << 0
                             << QStringLiteral("restart ok: REBOOT# left the port twice; the "
                                               "device does not say whether it restarted")
                             << QString() << QString();
    // A break would end the credentials' line and start another command.
    QTest::newRow("LF in the SSID")
        << wifi(QStringLiteral("net\nAT+RESET#"), QStringLiteral("secret12")) << 2 << control
        << QStringLiteral("error: ssid: Holds the control character U+000A") << QString();
    QTest::newRow("CR in the SSID")
        << wifi(QStringLiteral("net\rAT+RESET#"), QStringLiteral("secret12")) << 2 << control
        << QString() << QString();
    QTest::newRow("CR in the password")
        << wifi(QStringLiteral("net"), QStringLiteral("pw\rAT+RESET#")) << 2 << control << QString()
        << QString();
    QTest::newRow("LF in the password")
        << wifi(QStringLiteral("net"), QStringLiteral("pw\nAT+RESET#")) << 2 << control << QString()
        << QString();
    QTest::newRow("ESC in the password") << wifi(QStringLiteral("net"), QStringLiteral("secret\x1b"
                                                                                       "12"))
                                         << 2 << control << QString() << QString();
    QTest::newRow("beyond the code page")
        << wifi(QStringLiteral("caf\u00e9\u2603"), QStringLiteral("secret12")) << 2
        << QStringLiteral("wifi refused: nothing was sent; the code page cannot carry a value")
        << QStringLiteral("error: ssid: 1 character cannot be sent") << QString();
    QTest::newRow("empty SSID") << wifi(QString(), QStringLiteral("secret12")) << 2
                                << QStringLiteral("wifi refused: nothing was sent; the SSID is "
                                                  "empty")
                                << QString() << QString();
    // What the device may cut is warned of, and sent.
    QTest::newRow("a comma and a #")
        << wifi(QStringLiteral("my,net"), QStringLiteral("pa#ss1234")) << 0 << ok
        << QStringLiteral("warning: ssid: Holds “,”") << QString();
    QTest::newRow("a comma and a #, --strict")
        << wifi(QStringLiteral("my,net"), QStringLiteral("pa#ss1234"), {strict}) << 2
        << QStringLiteral("wifi refused: nothing was sent; the credentials have 0 errors and 2 "
                          "warnings (--strict)")
        << QStringLiteral("warning: pass: Holds “#”") << QString();
    QTest::newRow("an open network") << wifi(QStringLiteral("net"), QString()) << 0 << ok
                                     << QStringLiteral("warning: pass: No password") << QString();
    QTest::newRow("an open network, --strict")
        << wifi(QStringLiteral("net"), QString(), {strict}) << 2
        << QStringLiteral("wifi refused: nothing was sent; the credentials have 0 errors and 1 "
                          "warning (--strict)")
        << QString() << QString();
    QTest::newRow("a name of 32 bytes, --strict")
        << wifi(QString(32, QLatin1Char('n')), QStringLiteral("secret12"), {strict}) << 0 << ok
        << QString() << QString();
    QTest::newRow("a name of 33 bytes, --strict")
        << wifi(QString(33, QLatin1Char('n')), QStringLiteral("secret12"), {strict}) << 2
        << QStringLiteral("wifi refused: nothing was sent; the credentials have 0 errors and 1 "
                          "warning (--strict)")
        << QStringLiteral("warning: ssid: 33 bytes") << QString();
}

void TestCli::wifiAndRestartSayHowTheyEnded()
{
    QFETCH(QStringList, command);
    QFETCH(int, exitCode);
    QFETCH(QString, outcome);
    QFETCH(QString, warned);
    QFETCH(QString, device);
    const Run run = runCli(QStringList{QStringLiteral("--simulate")} + command,
                           QStringLiteral("--verbose ") + device);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(lastLine(run.err).startsWith(outcome), qPrintable(run.err));
    QVERIFY2(run.err.contains(warned), qPrintable(run.err));
    // The credentials reach the device as given, or nothing does when they are refused.
    const QStringList received = receivedLines(run.err);
    const QString credentials =
        QStringLiteral("AT+WIFI,%1,%2#").arg(command.value(command.size() - 2), command.last());
    if (command.contains(QStringLiteral("wifi")))
        QCOMPARE(received.filter(QStringLiteral("AT+WIFI")),
                 exitCode != 2 ? QStringList{credentials} : QStringList{});
}

void TestCli::helpAndVersion()
{
    const Run help = runCli({QStringLiteral("--help")});
    QCOMPARE(help.exitCode, 0);
    for (const char *example :
         {"telx5-cli ports", "read mine.ini", "write base.ini", "default base.ini", "wifi MyNet",
          "telx5-cli restart", "flash new.bin", "telx5-cli backups", "TELX5_SIM_OPTIONS",
          "check base.ini", "diff base.ini", "--set CALLSIGN=BG7XYZ-5", "--strict write"})
        QVERIFY2(help.out.contains(example), example);

    const Run version = runCli({QStringLiteral("--version")});
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QByteArray("telx5-cli " TELX5_VERSION "\n"));
}

void TestCli::fullOutputIsAFailure_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("last");
    QTest::newRow("read") << QStringList{QStringLiteral("--simulate"), QStringLiteral("read")}
                          << QStringLiteral("read failed: 33 fields "
                                            "received, but the settings "
                                            "could not be written to "
                                            "standard output: No space "
                                            "left on device");
    QTest::newRow("help") << QStringList{QStringLiteral("--help")}
                          << QStringLiteral("telx5-cli: standard output: No "
                                            "space left on device");
    QTest::newRow("version") << QStringList{QStringLiteral("--version")}
                             << QStringLiteral("telx5-cli: standard output: No "
                                               "space left on "
                                               "device");
}

// Standard output on a full disk: the command fails and
// says so.
void TestCli::fullOutputIsAFailure()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, last);
    if (::geteuid() != 0)
        QSKIP("making a device node needs root");
    QTemporaryDir dir;
    const QByteArray full = QFile::encodeName(dir.filePath(QStringLiteral("full")));
    QCOMPARE(::mknod(full.constData(), S_IFCHR | 0600, makedev(1, 7)), 0);

    const Run run = runCli(arguments, {}, {}, QFile::decodeName(full));
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(lastLine(run.err), last);
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
    QCOMPARE(run.exitCode, 3);
    QVERIFY2(run.err.contains(QLatin1String("Cannot open /dev/telx5-missing: no such "
                                            "port")),
             qPrintable(run.err));
    QCOMPARE(lastLine(run.err), command.first() + QStringLiteral(" failed: the port could "
                                                                 "not be opened; nothing "
                                                                 "was sent"));
}

// A device's backups, oldest first: the first, one with a changed comment,
// one with no change, one with two changes; other devices' are left out.
void TestCli::historyNamesWhatChanged()
{
    QTemporaryDir dir;
    const QByteArray defaults = fileBytes(settingsFile(dir, {}));
    const QString folder = dir.filePath(QStringLiteral("data/telx5-config/backups/"));
    QVERIFY(QDir().mkpath(folder));
    const QByteArray changed = QByteArray(defaults).replace("TELX5 144.640MHz", "Club tracker");
    const QList<std::pair<const char *, QByteArray>> backups{
        {"2026-12-01_10-00-00_NOCALL-10_read.ini", defaults},
        {"2026-12-02_10-00-00_NOCALL-10_before-write.ini", changed},
        {"2026-12-03_10-00-00_NOCALL-10_read.ini", changed},
        {"2026-12-03_11-00-00_BG7ABC-9_read.ini", defaults},
        {"2026-12-04_10-00-00_NOCALL-10_read.ini",
         QByteArray(changed).replace("FREQ:144.6400", "FREQ:144.3900").replace("UNIT:1", "UNIT:2")},
    };
    for (const auto &[name, content] : backups)
        QVERIFY(writeFile(folder + QLatin1String(name), content));

    const Run run = runCli({QStringLiteral("history"), QStringLiteral("nocall-10")}, {}, {}, {},
                           dir.filePath(QStringLiteral("data")));

    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QString::fromUtf8(run.out).split(QLatin1Char('\n')),
             (QStringList{QStringLiteral("2026-12-01 10:00:00  read  first backup"),
                          QStringLiteral("2026-12-02 10:00:00  before-write  Status: 'TELX5 "
                                         "144.640MHz' → 'Club tracker'"),
                          QStringLiteral("2026-12-03 10:00:00  read  no change"),
                          QStringLiteral("2026-12-04 10:00:00  read  Tx/Rx: 144.6400 → 144.3900; "
                                         "Unit: 'km' → 'mi'"),
                          QString()}));
    QCOMPARE(lastLine(run.err), QStringLiteral("history ok: 4 backups of nocall-10"));
}

void TestCli::jsonParsesBack_data()
{
    QTest::addColumn<QStringList>("arguments"); // FILE: a settings file of Default values
    QTest::addColumn<int>("exitCode");
    // Each field the document must hold, by its path ("problems/0/keyword").
    QTest::addColumn<QVariantMap>("fields");

    const QString file = QStringLiteral("FILE");
    QTest::newRow("check") << QStringList{QStringLiteral("check"), file} << 1
                           << QVariantMap{{QStringLiteral("errors"), 0},
                                          {QStringLiteral("warnings"), 2},
                                          {QStringLiteral("problems/1/keyword"), "PASS"},
                                          {QStringLiteral("problems/1/setting"), "Pass"},
                                          {QStringLiteral("problems/1/severity"), "warning"}};
    QTest::newRow("read") << QStringList{QStringLiteral("--simulate"), QStringLiteral("read")} << 0
                          << QVariantMap{{QStringLiteral("settings/CALLSIGN"), "N0CALL-9"},
                                         {QStringLiteral("settings/DHCP"), "1"},
                                         {QStringLiteral("settings/COMMENT TEXT"), "TELX5 iGate"},
                                         {QStringLiteral("version"), "KT360 V1.2"}};
    QTest::newRow("diff") << QStringList{QStringLiteral("--simulate"), QStringLiteral("diff"), file}
                          << 1
                          << QVariantMap{{QStringLiteral("differences/0/keyword"), "CALLSIGN"},
                                         {QStringLiteral("differences/0/device"), "N0CALL-9"},
                                         {QStringLiteral("differences/0/file"), "NOCALL-10"}};
    QTest::newRow("history") << QStringList{QStringLiteral("history"), QStringLiteral("BG7ABC-9")}
                             << 0
                             << QVariantMap{{QStringLiteral("callsign"), "BG7ABC-9"},
                                            {QStringLiteral("backups/0/reason"), "read"},
                                            {QStringLiteral("backups/0/readable"), true}};
    QTest::newRow("backups") << QStringList{QStringLiteral("backups")} << 0
                             << QVariantMap{
                                    {QStringLiteral("backups/0/callsign"), "BG7ABC-9"},
                                    {QStringLiteral("backups/0/date"), "2026-12-07 15:42:10"}};
}

// The document parsed back, field by field: what a script reads of it.
void TestCli::jsonParsesBack()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QVariantMap, fields);
    QTemporaryDir dir;
    const QString defaults = settingsFile(dir, {});
    arguments.replaceInStrings(QStringLiteral("FILE"), defaults);
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data + QStringLiteral("/telx5-config/backups")));
    QVERIFY(writeFile(data + QStringLiteral("/telx5-config/backups/"
                                            "2026-12-07_15-42-10_BG7ABC-9_read.ini"),
                      fileBytes(defaults)));

    const Run run = runCli(QStringList{QStringLiteral("--json")} + arguments, {}, {}, {}, data);

    QCOMPARE(run.exitCode, exitCode);
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(run.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, run.out.constData());
    for (auto field = fields.cbegin(); field != fields.cend(); ++field) {
        QJsonValue value = document.object();
        for (const QString &step : field.key().split(QLatin1Char('/'))) {
            bool index = false;
            const int at = step.toInt(&index);
            value = index ? value.toArray().at(at) : value.toObject().value(step);
        }
        QVERIFY2(value.toVariant() == field.value(),
                 qPrintable(field.key() + QStringLiteral(": ") + value.toVariant().toString()));
    }
}

void TestCli::badUsage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("no command") << QStringList{} << QStringLiteral("no command given");
    QTest::newRow("unknown command")
        << QStringList{QStringLiteral("erase")} << QStringLiteral("unknown command \"erase\"");
    QTest::newRow("write without file")
        << QStringList{QStringLiteral("write")} << QStringLiteral("the command is \"write FILE\"");
    QTest::newRow("wifi without password")
        << QStringList{QStringLiteral("wifi"), QStringLiteral("net")}
        << QStringLiteral("the command is \"wifi SSID PASSWORD\"");
    const QString simulate = QStringLiteral("--simulate");
    QTest::newRow("ports with an argument")
        << QStringList{QStringLiteral("ports"), QStringLiteral("extra")}
        << QStringLiteral("the command is \"ports\"");
    QTest::newRow("unknown option")
        << QStringList{QStringLiteral("--bogus"), QStringLiteral("read")}
        << QStringLiteral("Unknown option 'bogus'");
    QTest::newRow("port without a name")
        << QStringList{QStringLiteral("read"), QStringLiteral("--port")}
        << QStringLiteral("Missing value after '--port'");
    QTest::newRow("verify with read")
        << QStringList{QStringLiteral("--verify"), QStringLiteral("read")}
        << QStringLiteral("--verify goes only with write");
    // "@fifo": a named FIFO the test makes; its open would
    // wait for a reader.
    QTest::newRow("trace into a named FIFO")
        << QStringList{simulate, QStringLiteral("--trace"), QStringLiteral("@fifo"),
                       QStringLiteral("read")}
        << QStringLiteral("trace file %1: not a regular file");
    QTest::newRow("--set with read")
        << QStringList{QStringLiteral("--set"), QStringLiteral("PASS=1"), QStringLiteral("read")}
        << QStringLiteral("--set goes only with write");
    QTest::newRow("--json with write")
        << QStringList{QStringLiteral("--json"), QStringLiteral("write"), QStringLiteral("x.ini")}
        << QStringLiteral("--json goes only with read, check, diff, backups, ports");
    QTest::newRow("--json with read FILE")
        << QStringList{QStringLiteral("--json"), QStringLiteral("read"), QStringLiteral("x.ini")}
        << QStringLiteral("--json prints to standard output: leave out FILE");
    QTest::newRow("no backup with restart")
        << QStringList{QStringLiteral("--no-backup"), QStringLiteral("restart")}
        << QStringLiteral("--no-backup goes only with read, write");
}

void TestCli::badUsage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QTemporaryDir dir;
    if (arguments.contains(QStringLiteral("@fifo"))) {
        const QString fifo = makeFifo(dir);
        QVERIFY(!fifo.isEmpty());
        arguments.replaceInStrings(QStringLiteral("@fifo"), fifo);
        said = said.arg(fifo);
    }
    const Run run = runCli(arguments);
    QCOMPARE(run.exitCode, 2);
    // What was wrong in one line, then where to look; not
    // the whole help.
    const QStringList lines = run.err.trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines.size(), 2);
    QVERIFY2(lines.first().startsWith(QLatin1String("telx5-cli: ")) && lines.first().contains(said),
             qPrintable(run.err));
    QCOMPARE(lines.last(), QStringLiteral("Try 'telx5-cli --help' for more."));
}

void TestCli::flash_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("length"); // -1: no such file
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");
    // "file"; "pipe": the image on standard input, a pipe,
    // read once through /dev/stdin; "fifo": a named FIFO
    // that nothing writes.
    QTest::addColumn<QString>("through");
    const QStringList simulate{QStringLiteral("--simulate")};
    const QString file = QStringLiteral("file");
    const QString pipe = QStringLiteral("pipe");
    QTest::newRow("small image") << simulate << 6000 << 0 << QStringLiteral("Flashed 6000 bytes in")
                                 << file;
    QTest::newRow("the line's rate")
        << simulate << 6000 << 0 << QStringLiteral("% of the line's 11520 bytes/s\n") << file;
    QTest::newRow("too short") << simulate << 4999 << 2 << QStringLiteral("is too short") << file;
    QTest::newRow("too large") << simulate << 524288 << 2 << QStringLiteral("is too large") << file;
    QTest::newRow("missing file") << simulate << -1 << 2 << QStringLiteral("cannot be read")
                                  << file;
    QTest::newRow("port that does not open")
        << QStringList{QStringLiteral("--port"), QStringLiteral("/dev/telx5-missing")} << 6000 << 3
        << QStringLiteral("flash failed: the port could "
                          "not be opened")
        << file;
    QTest::newRow("image through a pipe")
        << simulate << 6000 << 0 << QStringLiteral("Flashed 6000 bytes in") << pipe;
    QTest::newRow("too short through a pipe")
        << simulate << 4999 << 2 << QStringLiteral("is too short: 4999 bytes") << pipe;
    QTest::newRow("too large through a pipe")
        << simulate << 600000 << 2 << QStringLiteral("is too large: more than 524287 bytes")
        << pipe;
    QTest::newRow("named FIFO") << simulate << 6000 << 2
                                << QStringLiteral("not a regular file but a named "
                                                  "pipe (FIFO)")
                                << QStringLiteral("fifo");
    // The update erases the settings: they are read first
    // and written back, the simulated device's DHCP
    // addresses as STATIC IP, then DHCP again.
    QTest::newRow("keeps the settings")
        << simulate << 6000 << 0
        << QStringLiteral("Writing......\nWrite "
                          "complete\nWriting......\nWrite complete\n")
        << file;
    QTest::newRow("settings not kept")
        << simulate + QStringList{QStringLiteral("--no-keep-settings")} << 6000 << 0
        << QStringLiteral("update complete\nFlashed 6000 bytes") << file;
    // A device in setup mode answers the read all the
    // same: its settings are kept, and written back.
    QTest::newRow("--no-connect still keeps the settings")
        << simulate + QStringList{QStringLiteral("--no-connect")} << 6000 << 0
        << QStringLiteral("update complete; settings restored and "
                          "verified; apply the Wi-Fi "
                          "credentials again\n")
        << file;
}

void TestCli::flash()
{
    QFETCH(QStringList, options);
    QFETCH(int, length);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    QFETCH(QString, through);
    QTemporaryDir dir;
    QString image = dir.filePath(QStringLiteral("firmware.bin"));
    QFile file(image);
    if (length >= 0 && through == QLatin1String("file"))
        QVERIFY(file.open(QIODevice::WriteOnly) &&
                file.write(QByteArray(length, '\x5A')) == length);
    file.close();
    QByteArray input;
    if (through == QLatin1String("pipe")) {
        image = QStringLiteral("/dev/stdin");
        input = QByteArray(length, '\x5A');
    } else if (through == QLatin1String("fifo")) {
        image = makeFifo(dir);
        QVERIFY(!image.isEmpty());
    }

    const Run run = runCli(options + QStringList{QStringLiteral("flash"), image}, {}, input);
    QCOMPARE(run.exitCode, exitCode);
    QVERIFY2(run.err.contains(said), qPrintable(run.err));
    // A refused image is named, and no session starts.
    if (exitCode == 2) {
        QCOMPARE(run.err.count(QLatin1Char('\n')), 2);
        QCOMPARE(lastLine(run.err), QStringLiteral("flash refused: nothing was sent"));
    }
}

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
