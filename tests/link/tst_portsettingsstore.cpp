#include "portsettingsstore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <cstdlib>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace telx5;

namespace {

QByteArray lineEnd()
{
#ifdef Q_OS_WIN
    return "\r\n";
#else
    return "\n";
#endif
}

QByteArray readAll(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

void rememberPort(const QString &fileName, const QString &port)
{
    PortSettingsStore::storePortSettings(
        fileName, port, QStringLiteral("115200"), QStringLiteral("1"), QStringLiteral("n"),
        QStringLiteral("8"), QStringLiteral("0"), QStringLiteral("2048"), QStringLiteral("2048"));
}

#ifdef Q_OS_UNIX
// A pseudo-terminal of the test's own. Its far end stays open, so that any
// byte written into the near end waits there to be seen.
class PseudoTerminal
{
public:
    PseudoTerminal()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0)
            return;
        m_slavePath = QFile::decodeName(::ptsname(m_master));
        m_slave = ::open(QFile::encodeName(m_slavePath).constData(), O_RDWR | O_NOCTTY);
    }
    ~PseudoTerminal()
    {
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_slave >= 0; }
    QString slavePath() const { return m_slavePath; }
    QByteArray arrived() const
    {
        char buffer[256];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        return got > 0 ? QByteArray(buffer, got) : QByteArray();
    }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
#endif

} // namespace

class TestPortSettingsStore : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void newFileReadsTheNineLines_data();
    void newFileReadsTheNineLines();
    void rememberedPortIsReadBack_data();
    void rememberedPortIsReadBack();
    void lookupsIgnoreCase_data();
    void lookupsIgnoreCase();
    void writeReplacesInPlaceOrAppendsToItsSection_data();
    void writeReplacesInPlaceOrAppendsToItsSection();
    void missingFileOrKeyReadsEmpty_data();
    void missingFileOrKeyReadsEmpty();
    void longValuesAreCutOnReading_data();
    void longValuesAreCutOnReading();
    void filesOverTheSizeBoundAreIgnored_data();
    void filesOverTheSizeBoundAreIgnored();
    void unusualFilesAreLeftAlone_data();
    void unusualFilesAreLeftAlone();
    void handEditsOfTheRecordKeysLeaveThePort();
    void unwritableFolderKeepsTheOldFile();
    void defaultPathNamesTheFile();
    void installedProgramsKeepTheFileInTheConfigFolder_data();
    void installedProgramsKeepTheFileInTheConfigFolder();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_ini;
};

void TestPortSettingsStore::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_ini = m_dir->filePath(QStringLiteral("XRVComm.ini"));
}

void TestPortSettingsStore::newFileReadsTheNineLines_data()
{
    QTest::addColumn<QString>("port");
    QTest::newRow("usb adapter") << QStringLiteral("/dev/ttyUSB0");
    QTest::newRow("pseudo-terminal") << QStringLiteral("/dev/pts/7");
    QTest::newRow("replacement port") << QStringLiteral("/dev/ttyS0");
    QTest::newRow("windows name as given") << QStringLiteral("COM4");
}

void TestPortSettingsStore::newFileReadsTheNineLines()
{
    QFETCH(QString, port);
    rememberPort(m_ini, port);
    const QByteArray nl = lineEnd();
    const QByteArray expected = "[XRVComm]" + nl + "par5=" + port.toUtf8() + nl + "par4=115200" +
                                nl + "par1=1" + nl + "par3=n" + nl + "par2=8" + nl + "par0=0" + nl +
                                "InBuff=2048" + nl + "OutBuff=2048" + nl;
    QCOMPARE(readAll(m_ini), expected);

    // Remembering another port later changes only that one line.
    rememberPort(m_ini, QStringLiteral("/dev/ttyACM1"));
    QCOMPARE(readAll(m_ini), QByteArray(expected).replace(QByteArray("par5=" + port.toUtf8()),
                                                          "par5=/dev/ttyACM1"));
}

void TestPortSettingsStore::rememberedPortIsReadBack_data()
{
    QTest::addColumn<QString>("port");
    QTest::newRow("device path") << QStringLiteral("/dev/ttyUSB3");
    QTest::newRow("typed text") << QStringLiteral("my port");
    QTest::newRow("empty") << QString();
    QTest::newRow("beyond ASCII") << QStringLiteral("/dev/串口");
}

void TestPortSettingsStore::rememberedPortIsReadBack()
{
    QFETCH(QString, port);
    rememberPort(m_ini, port);
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_ini),
             port);
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par4"), m_ini),
             QStringLiteral("115200"));
}

void TestPortSettingsStore::lookupsIgnoreCase_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    QTest::newRow("section in other case")
        << QByteArray("[xrvcomm]\npar5=/dev/ttyUSB1\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("/dev/ttyUSB1");
    QTest::newRow("key in other case")
        << QByteArray("[XRVComm]\nPAR5=COM7\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("COM7");
    QTest::newRow("windows line ends")
        << QByteArray("[XRVComm]\r\npar5=COM7\r\npar4=9600\r\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par4") << QStringLiteral("9600");
    QTest::newRow("blanks around key and value")
        << QByteArray("[XRVComm]\n  par5 =  /dev/ttyS1  \n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("/dev/ttyS1");
    QTest::newRow("same key in another section")
        << QByteArray("[Other]\npar5=wrong\n[XRVComm]\npar5=right\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("right");
    QTest::newRow("value keeps its equals signs")
        << QByteArray("[XRVComm]\npar5=a=b\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("a=b");
    QTest::newRow("CRs at the end of the last line")
        << QByteArray("[XRVComm]\npar5=COM7\r\r") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("COM7");
    QTest::newRow("a byte that is no UTF-8")
        << QByteArray("[XRVComm]\npar5=caf\xe9\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("caf\uFFFD");
}

void TestPortSettingsStore::lookupsIgnoreCase()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    writeAll(m_ini, content);
    QCOMPARE(PortSettingsStore::readValue(section, key, m_ini), expected);
}

void TestPortSettingsStore::writeReplacesInPlaceOrAppendsToItsSection_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("existing value replaced in place")
        << QByteArray("[XRVComm]\npar5=COM1\npar4=115200\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("/dev/ttyUSB0")
        << QByteArray("[XRVComm]\npar5=/dev/ttyUSB0\npar4=115200\n");
    QTest::newRow("key found in any case keeps its spelling")
        << QByteArray("[xrvcomm]\nPAR5=COM1\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("COM2") << QByteArray("[xrvcomm]\nPAR5=COM2\n");
    QTest::newRow("new key at the end of its section")
        << QByteArray("[XRVComm]\npar5=COM1\n\n[Other]\nx=1\n") << QStringLiteral("XRVComm")
        << QStringLiteral("InBuff") << QStringLiteral("2048")
        << QByteArray("[XRVComm]\npar5=COM1\nInBuff=2048\n\n[Other]\nx=1\n");
    QTest::newRow("new section at the end of the file")
        << QByteArray("[Other]\nx=1\n") << QStringLiteral("XRVComm") << QStringLiteral("par5")
        << QStringLiteral("COM3") << QByteArray("[Other]\nx=1\n\n[XRVComm]\npar5=COM3\n");
    QTest::newRow("windows line ends are kept")
        << QByteArray("[XRVComm]\r\npar5=COM1\r\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par4") << QStringLiteral("115200")
        << QByteArray("[XRVComm]\r\npar5=COM1\r\npar4=115200\r\n");
    // Another program's section, in another encoding, is not this store's.
    QTest::newRow("other sections keep their bytes")
        << QByteArray("[Other]\nname=caf\xe9 \xff\xfe\n[XRVComm]\npar5=COM1\n")
        << QStringLiteral("XRVComm") << QStringLiteral("par5") << QStringLiteral("COM2")
        << QByteArray("[Other]\nname=caf\xe9 \xff\xfe\n[XRVComm]\npar5=COM2\n");
    // A last line without a line end, ending in CRs: rewriting the file
    // gives it a line end, and its value stays as it was read.
    QTest::newRow("CRs at the end of the file")
        << QByteArray("[Other]\nx=a\r\r") << QStringLiteral("XRVComm") << QStringLiteral("par5")
        << QStringLiteral("COM2") << QByteArray("[Other]\nx=a\r\r\n\n[XRVComm]\npar5=COM2\n");
    QTest::newRow("a value beyond ASCII is written as UTF-8")
        << QByteArray("[XRVComm]\npar5=COM1\n") << QStringLiteral("XRVComm")
        << QStringLiteral("par5") << QStringLiteral("/dev/串口")
        << QByteArray("[XRVComm]\npar5=/dev/\xe4\xb8\xb2\xe5\x8f\xa3\n");
    QTest::newRow("comments and foreign lines survive")
        << QByteArray("; remembered port\n[XRVComm]\nnote\npar5=COM1\n")
        << QStringLiteral("XRVComm") << QStringLiteral("par5") << QStringLiteral("COM9")
        << QByteArray("; remembered port\n[XRVComm]\nnote\npar5=COM9\n");
}

void TestPortSettingsStore::writeReplacesInPlaceOrAppendsToItsSection()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    writeAll(m_ini, before);
    PortSettingsStore::writeValue(section, key, value, m_ini);
    QCOMPARE(readAll(m_ini), after);
}

void TestPortSettingsStore::missingFileOrKeyReadsEmpty_data()
{
    QTest::addColumn<bool>("createFile");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::newRow("no file (first start)")
        << false << QStringLiteral("XRVComm") << QStringLiteral("par5");
    QTest::newRow("no such key") << true << QStringLiteral("XRVComm") << QStringLiteral("par9");
    QTest::newRow("no such section") << true << QStringLiteral("Other") << QStringLiteral("par5");
}

void TestPortSettingsStore::missingFileOrKeyReadsEmpty()
{
    QFETCH(bool, createFile);
    QFETCH(QString, section);
    QFETCH(QString, key);
    if (createFile)
        rememberPort(m_ini, QStringLiteral("/dev/ttyUSB0"));
    const QString value = PortSettingsStore::readValue(section, key, m_ini);
    QVERIFY(value.isEmpty());
    QCOMPARE(QFile::exists(m_ini), createFile);
}

void TestPortSettingsStore::longValuesAreCutOnReading_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("expected");
    QTest::newRow("253") << 253 << 253;
    QTest::newRow("254") << 254 << 254;
    QTest::newRow("255") << 255 << 254;
    QTest::newRow("1000") << 1000 << 254;
}

void TestPortSettingsStore::longValuesAreCutOnReading()
{
    QFETCH(int, length);
    QFETCH(int, expected);
    QString value;
    for (int i = 0; i < length; ++i)
        value += QChar(u'a' + i % 26);
    PortSettingsStore::writeValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), value, m_ini);
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_ini),
             value.left(expected));
}

void TestPortSettingsStore::filesOverTheSizeBoundAreIgnored_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<bool>("stored");
    QTest::newRow("64 KiB, read") << 64 * 1024 << QStringLiteral("COM1") << true;
    QTest::newRow("64 KiB + 1, ignored and kept") << 64 * 1024 + 1 << QString() << false;
}

void TestPortSettingsStore::filesOverTheSizeBoundAreIgnored()
{
    QFETCH(int, size);
    QFETCH(QString, expected);
    QFETCH(bool, stored);
    const QByteArray content = "[XRVComm]\npar5=COM1\n;";
    writeAll(m_ini, content + QByteArray(size - content.size() - 1, 'x') + '\n');
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_ini),
             expected);
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(readAll(m_ini).contains("par5=/dev/ttyUSB0"), stored);
}

void TestPortSettingsStore::unusualFilesAreLeftAlone_data()
{
    // "TTY" stands for a pseudo-terminal of the test's own, "NODE" for a
    // device node made in the test's folder that leads to that terminal.
    QTest::addColumn<QString>("linkTarget");
#ifdef Q_OS_UNIX
    QTest::newRow("link to another file") << QStringLiteral("other.ini");
    QTest::newRow("link to a pseudo-terminal") << QStringLiteral("TTY");
    QTest::newRow("link to a device node") << QStringLiteral("NODE");
    QTest::newRow("fifo") << QString();
#endif
}

void TestPortSettingsStore::unusualFilesAreLeftAlone()
{
#ifdef Q_OS_UNIX
    QFETCH(QString, linkTarget);
    const QString other = m_dir->filePath(QStringLiteral("other.ini"));
    writeAll(other, "[XRVComm]\npar5=COM1\n");
    const PseudoTerminal terminal;
    QVERIFY(terminal.isValid());
    if (linkTarget == QLatin1String("TTY")) {
        linkTarget = terminal.slavePath();
    } else if (linkTarget == QLatin1String("NODE")) {
        if (::geteuid() != 0)
            QSKIP("making a device node needs root");
        struct stat status = {};
        QCOMPARE(::stat(QFile::encodeName(terminal.slavePath()).constData(), &status), 0);
        linkTarget = m_dir->filePath(QStringLiteral("node"));
        QCOMPARE(::mknod(QFile::encodeName(linkTarget).constData(), S_IFCHR | 0600, status.st_rdev),
                 0);
    }
    if (linkTarget.isEmpty()) {
        QCOMPARE(::mkfifo(QFile::encodeName(m_ini).constData(), 0600), 0);
    } else {
        linkTarget = QDir(m_dir->path()).absoluteFilePath(linkTarget);
        QVERIFY(QFile::link(linkTarget, m_ini));
    }
    const auto type = [](const QString &path) {
        struct stat status = {};
        ::lstat(QFile::encodeName(path).constData(), &status);
        return std::pair{status.st_mode & S_IFMT, status.st_rdev};
    };
    const auto before = type(m_ini);
    const auto targetBefore = type(linkTarget);
    QVERIFY(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_ini)
                .isEmpty());
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(type(m_ini), before);
    // Nothing written through the link, and what it leads to is still there.
    if (!linkTarget.isEmpty())
        QCOMPARE(type(linkTarget), targetBefore);
    QCOMPARE(terminal.arrived(), QByteArray());
    QCOMPARE(readAll(other), QByteArray("[XRVComm]\npar5=COM1\n"));
#endif
}

void TestPortSettingsStore::handEditsOfTheRecordKeysLeaveThePort()
{
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB2"));
    QByteArray content = readAll(m_ini);
    content.replace("par4=115200", "par4=9600").replace("InBuff=2048", "InBuff=17");
    writeAll(m_ini, content);
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_ini),
             QStringLiteral("/dev/ttyUSB2"));
    // The next write of the record puts the record values back.
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB2"));
    QCOMPARE(PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par4"), m_ini),
             QStringLiteral("115200"));
}

void TestPortSettingsStore::unwritableFolderKeepsTheOldFile()
{
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB0"));
    const QByteArray before = readAll(m_ini);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner);
    if (QFileInfo(m_dir->path()).isWritable()) {
        QFile::setPermissions(m_dir->path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QSKIP("running with rights that ignore folder permissions");
    }
    rememberPort(m_ini, QStringLiteral("/dev/ttyUSB1"));
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(readAll(m_ini), before);
}

void TestPortSettingsStore::defaultPathNamesTheFile()
{
    const QFileInfo path(PortSettingsStore::defaultIniPath());
    QCOMPARE(path.fileName(), QStringLiteral("XRVComm.ini"));
    QVERIFY(path.isAbsolute());
    const QFileInfo programDir(QCoreApplication::applicationDirPath());
    if (programDir.isWritable())
        QCOMPARE(path.absolutePath(), programDir.absoluteFilePath());
    else
        QVERIFY(path.absolutePath() != programDir.absoluteFilePath());
}

void TestPortSettingsStore::installedProgramsKeepTheFileInTheConfigFolder_data()
{
    // "TMP" stands for a writable folder of the test's own, "VAR" for one under /var/tmp, "A>B"
    // for a link A to the folder B.
    QTest::addColumn<QString>("programDir");
    QTest::addColumn<bool>("besideProgram");
    QTest::newRow("folder merely named usr") << QStringLiteral("TMP/usr/bin") << true;
    QTest::newRow("installed in /usr/bin") << QStringLiteral("/usr/bin") << false;
    QTest::newRow("writable folder under /var") << QStringLiteral("VAR/bin") << false;
    QTest::newRow("link into /var") << QStringLiteral("TMP/bin>VAR/bin") << false;
}

void TestPortSettingsStore::installedProgramsKeepTheFileInTheConfigFolder()
{
    QFETCH(QString, programDir);
    QFETCH(bool, besideProgram);
    QTemporaryDir varDir(QStringLiteral("/var/tmp/tst_portsettingsstore-XXXXXX"));
    QVERIFY(varDir.isValid());
    programDir.replace(QStringLiteral("TMP"), m_dir->path())
        .replace(QStringLiteral("VAR"), varDir.path());
    const QStringList link = programDir.split(QLatin1Char('>'));
    programDir = link.first();
    QVERIFY(QDir().mkpath(link.last()));
    if (link.size() == 2)
        QVERIFY(QFile::link(link.last(), programDir));
    const QString configDir = m_dir->filePath(QStringLiteral("config"));
    QCOMPARE(PortSettingsStore::iniPathFor(programDir, configDir),
             QDir(besideProgram ? programDir : configDir).filePath(QStringLiteral("XRVComm.ini")));
}

QTEST_GUILESS_MAIN(TestPortSettingsStore)
#include "tst_portsettingsstore.moc"
