#include "delay.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "sessions.h"
#include "simrig.h"
#include "writefixtures.h"

#include <QDateTime>
#include <QDirIterator>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>

using namespace telx5;
using namespace telx5::testing;

namespace {

// Every wait of the protocol, and the line's 11520 bytes a second, in a
// tenth of their time.
constexpr double TimeScale = 0.1;

enum Session
{
    Read,
    Write,
    Wifi,
    Restart,
    Update,
};

enum Fault
{
    NoiseEndingInCr, // junk and a CR ahead of every answer line
    NoiseWithoutCr,  // junk ahead of every answer line
    AnswersTwice,
    EndlessStream, // bytes without a CR, never ending, at the line's rate
    Vanishes,      // the cable is pulled once the device has these bytes
    RandomReplies, // random bytes around the boot loader's replies, seeded
};

const QString Xrv = QStringLiteral("XRVComm.ini");
const QString PortLost = QStringLiteral("Port %1 was disconnected");

// Five blocks, the last one short; no run of 32 bytes occurs twice.
QByteArray firmware()
{
    QByteArray bytes(9000, Qt::Uninitialized);
    QRandomGenerator generator(5);
    for (char &byte : bytes)
        byte = static_cast<char>(generator.bounded(256));
    return bytes;
}

class NoProgressBar final : public FirmwareHost
{
public:
    void setProgressRange(int, int) override {}
    void setProgressValue(int) override {}
    void setNoticeText(const QString &) override {}
    void setPortControlsEnabled(bool) override {}
};

// Every file below `root` with its size and time of change.
QMap<QString, QPair<qint64, QDateTime>> filesUnder(const QString &root)
{
    QMap<QString, QPair<qint64, QDateTime>> files;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        files.insert(QDir(root).relativeFilePath(info.filePath()),
                     {info.size(), info.lastModified()});
    }
    return files;
}

} // namespace

class TestLineFaults : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(TimeScale); }
    void cleanup() { setDelayTimeScale(1.0); }

    void sessionEndsAsTheUserIsTold_data();
    void sessionEndsAsTheUserIsTold();
};

void TestLineFaults::sessionEndsAsTheUserIsTold_data()
{
    QTest::addColumn<int>("session");
    QTest::addColumn<int>("fault");
    QTest::addColumn<QByteArray>("bytes"); // the noise, or what the device has when it vanishes
    QTest::addColumn<QString>("status");   // the status box's last text; %1 is the port
    QTest::addColumn<QString>("message");  // the message box, if any
    QTest::addColumn<QStringList>("newFiles");

    const QByteArray noise("\x00\xFE\x7F#*", 5);
    const QString readFail = QStringLiteral("Connection OK\r\nReading 20/20Times......");
    const QString writeFail = QStringLiteral("Write fail，Please try again.\r\n");
    const QString portFailure = QStringLiteral("Port is open or no");

    QTest::newRow("read, noise ending in CR")
        << int(Read) << int(NoiseEndingInCr) << noise << QStringLiteral("read ok") << QString()
        << QStringList{Xrv};
    QTest::newRow("write, noise ending in CR")
        << int(Write) << int(NoiseEndingInCr) << noise << QStringLiteral("Write complete")
        << QString() << QStringList();
    QTest::newRow("update, noise ending in CR")
        << int(Update) << int(NoiseEndingInCr) << noise << QStringLiteral("update complete")
        << QString() << QStringList();
    QTest::newRow("read, noise without CR")
        << int(Read) << int(NoiseWithoutCr) << noise << readFail << QString() << QStringList{Xrv};
    QTest::newRow("wifi, noise without CR")
        << int(Wifi) << int(NoiseWithoutCr) << noise << QStringLiteral("WIFI Write Fail\r\n")
        << QString() << QStringList();

    QTest::newRow("read, answers twice")
        << int(Read) << int(AnswersTwice) << QByteArray() << QStringLiteral("read ok") << QString()
        << QStringList{Xrv};
    QTest::newRow("write, answers twice")
        << int(Write) << int(AnswersTwice) << QByteArray() << QStringLiteral("Write complete")
        << QString() << QStringList();
    QTest::newRow("wifi, answers twice")
        << int(Wifi) << int(AnswersTwice) << QByteArray()
        << QStringLiteral("WIFI Write complete\r\nWIFI reset...\r\n") << QString() << QStringList();

    QTest::newRow("read, endless stream without CR")
        << int(Read) << int(EndlessStream) << QByteArray() << readFail << QString()
        << QStringList{Xrv};

    QTest::newRow("read, device vanishes") << int(Read) << int(Vanishes) << QByteArray("SETUP#")
                                           << PortLost << portFailure << QStringList{Xrv};
    // The device has confirmed the setup line; the first read line pulls the
    // cable, and the next attempt finds the port gone.
    QTest::newRow("read, device vanishes while reading")
        << int(Read) << int(Vanishes) << QByteArray("AT+READ#")
        << QStringLiteral("Connection OK\r\nReading 1/20Times......\r\n") + PortLost << portFailure
        << QStringList{Xrv};
    QTest::newRow("write, device vanishes") << int(Write) << int(Vanishes) << QByteArray("AT+CALL")
                                            << writeFail + PortLost << QString() << QStringList();
    QTest::newRow("wifi, device vanishes")
        << int(Wifi) << int(Vanishes) << QByteArray("AT+WIFI")
        << QStringLiteral("WIFI Write Fail\r\n") + PortLost << QString() << QStringList();
    QTest::newRow("restart, device vanishes")
        << int(Restart) << int(Vanishes) << QByteArray("REBOOT#") << PortLost << portFailure
        << QStringList();
    // Block 1 is arriving.
    QTest::newRow("update, device vanishes")
        << int(Update) << int(Vanishes)
        << FirmwareImage::frame(FirmwareImage::pad(firmware()), 1).first(32) << PortLost
        << QStringLiteral("Port is use or no") << QStringList();

    // With seed 53 a random 0x55 ahead of the loader's reply to block 2 has
    // block 2 sent again; the loader, which cannot tell, stores it as block 3,
    // takes the real block 3 for its last, refuses it for the image bytes
    // where its padding belongs, and never replies.
    QTest::newRow("update, boot loader replies random bytes")
        << int(Update) << int(RandomReplies) << QByteArray()
        << QStringLiteral("Update fail, no answer from the boot loader within 10 s of a block")
        << QString() << QStringList();
}

void TestLineFaults::sessionEndsAsTheUserIsTold()
{
    QFETCH(int, session);
    QFETCH(int, fault);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, status);
    QFETCH(QString, message);
    QFETCH(QStringList, newFiles);

    // Home, configuration, temporary files and the port memory all in one
    // place, so that any file written shows up there.
    QTemporaryDir root;
    QVERIFY(root.isValid());
    for (const auto &[name, path] :
         {std::pair{"HOME", "home"}, {"XDG_CONFIG_HOME", "home/.config"}, {"TMPDIR", "tmp"}}) {
        QVERIFY(QDir(root.path()).mkpath(QString::fromLatin1(path)));
        qputenv(name, QFile::encodeName(root.filePath(QString::fromLatin1(path))));
    }
    SimRig rig;
    rig.host.ini = root.filePath(Xrv);
    const QString image = rig.dir.filePath(QStringLiteral("firmware.bin"));
    if (session == Update) {
        QFile file(image);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(firmware()) == 9000);
    }

    switch (fault) {
    case NoiseEndingInCr:
        rig.sim.setLineNoise(bytes + '\r');
        break;
    case NoiseWithoutCr:
        rig.sim.setLineNoise(bytes);
        break;
    case AnswersTwice:
        rig.sim.setAnswerTwice(true);
        break;
    case EndlessStream:
        rig.sim.setBaudRate(qRound(115200 / TimeScale));
        rig.sim.setEndlessStream(true);
        break;
    case Vanishes:
        // The line that pulls the cable gets no answer, so the session
        // learns of the loss while it waits.
        rig.sim.setIgnoredCommands({QString::fromLatin1(bytes)});
        rig.pressWhen([&] { return rig.sim.received().contains(bytes); },
                      [&] { rig.sim.vanish(); });
        break;
    case RandomReplies:
        rig.sim.setRandomReplies(53);
        break;
    }
    QVERIFY(rig.start());
    const QString port = rig.sim.portPath();
    const auto filesBefore = filesUnder(root.path());

    qint64 received = 0;
    connect(&rig.link, &SerialLink::received, &rig.sim,
            [&](const QByteArray &chunk) { received += chunk.size(); });
    qsizetype longestLine = 0;
    QTimer sampler;
    connect(&sampler, &QTimer::timeout, &rig.sim,
            [&] { longestLine = std::max(longestLine, rig.host.lineBufferState.line().size()); });
    sampler.start(1);

    NoProgressBar progressBar;
    FirmwareUpdate update(rig.host, progressBar, rig.link, rig.hexLog, rig.codec);
    switch (session) {
    case Read:
        readSettings(rig.context);
        break;
    case Write:
        dhcpWrite().fill(rig.host.record);
        writeSettings(rig.context);
        break;
    case Wifi:
        rig.host.record.setText(Field::WifiSsid, QStringLiteral("home"));
        rig.host.record.setText(Field::WifiPass, QStringLiteral("secret"));
        applyWifi(rig.context);
        break;
    case Restart:
        restartDevice(rig.context);
        break;
    case Update:
        rig.host.dialogState.fileToChoose = image;
        update.openImage();
        update.startUpdate();
        QVERIFY(waitUntil(
            [&] { return !update.sessionRunning() && !update.waitingForBootLoader(); }, 30000));
        break;
    }
    sampler.stop();

    const QString shown = rig.host.record.statusText();
    QVERIFY2(shown.endsWith(QString(status).replace(QStringLiteral("%1"), port)),
             qPrintable(shown));
    QCOMPARE(rig.host.dialogState.messages,
             message.isEmpty() ? QStringList() : QStringList{message});
    QVERIFY(!rig.link.isOpen());
    // However a read ends, the window is ready for the next one.
    if (session == Read) {
        QCOMPARE(rig.host.caption(Button::Read), QStringLiteral("read data"));
        QVERIFY(rig.host.isEnabled(Button::Write));
    }

    // Memory is bounded whatever the device sends: the line being received,
    // the receive log and the status box.
    QVERIFY(longestLine <= LineBuffer::MaxLength);
    const qsizetype logLength = rig.hexLog.length();
    QVERIFY(rig.hexLog.front(logLength).size() <= HexLog::FrontKeep);
    // Its tail is cut back to TailKeep once it has doubled.
    QVERIFY(rig.hexLog.back(logLength).size() <= 2 * HexLog::TailKeep);
    qsizetype longestStatus = 0;
    for (const QString &text : std::as_const(rig.host.record.statusHistory))
        longestStatus = std::max(longestStatus, text.size());
    QVERIFY2(longestStatus <= 512, qPrintable(QString::number(longestStatus)));
    if (fault == EndlessStream) {
        // Far more than all of them together has come.
        QVERIFY2(received > 20 * (LineBuffer::MaxLength + HexLog::FrontKeep + HexLog::TailKeep),
                 qPrintable(QString::number(received)));
        QCOMPARE(longestLine, LineBuffer::MaxLength);
    }

    // Nothing was written but the port memory, where a read asked for it.
    const auto filesAfter = filesUnder(root.path());
    QStringList added;
    for (auto file = filesAfter.cbegin(); file != filesAfter.cend(); ++file) {
        if (!filesBefore.contains(file.key()))
            added.append(file.key());
        else
            QVERIFY2(filesBefore.value(file.key()) == file.value(), qPrintable(file.key()));
    }
    QCOMPARE(added, newFiles);
    QCOMPARE(filesAfter.size(), filesBefore.size() + added.size());
}

QTEST_GUILESS_MAIN(TestLineFaults)
#include "tst_linefaults.moc"
