#include "delay.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "simrig.h"
#include "updatejob.h"

#include <QCryptographicHash>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

namespace {

// The simulated device's settings as a user left them: on DHCP, with the
// addresses it reports there its own, not the factory ones.
void setUsersSettings(SimDevice &sim)
{
    sim.settings().setText(Field::Comment, QStringLiteral("Club tracker"));
    sim.settings().setText(Field::Ip4, QStringLiteral("50"));
    sim.settings().setText(Field::Dns1, QStringLiteral("1"));
}

QByteArray image(qsizetype length)
{
    QByteArray bytes(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 2048) % 253);
    return bytes;
}

struct Rig : SimRig
{
    struct NoProgress final : FirmwareHost
    {
        void setProgressRange(int, int) override {}
        void setProgressValue(int) override {}
        void setNoticeText(const QString &) override {}
        void setPortControlsEnabled(bool) override {}
    };

    Rig() : update(host, progress, link, hexLog, codec), job(context, update, journals())
    {
        host.backups = dir.filePath(QStringLiteral("backups"));
        update.setAnswerOnArrival(true);
    }

    QString journals() const { return dir.filePath(QStringLiteral("updates")); }
    bool start()
    {
        if (!SimRig::start())
            return false;
        setUsersSettings(sim);
        QFile file(imagePath());
        return file.open(QIODevice::WriteOnly) && file.write(firmware) == firmware.size() &&
               update.takeImage(imagePath(), firmware);
    }
    QString imagePath() const { return dir.filePath(QStringLiteral("firmware.bin")); }
    std::optional<UpdateJournal> journal() const
    {
        return UpdateJournal::load(UpdateJournal::path(journals(), sim.portPath()));
    }
    // The job stops as `phase` begins, or as the frame of `block` goes out.
    void stopAt(const QString &phase, int block = -1)
    {
        if (block >= 0)
            QObject::connect(&update, &FirmwareUpdate::frameSending, &sim, [this, block](int k) {
                if (k == block)
                    job.stop();
            });
        job.phaseEntered = [this, phase](const JobPhase &entered) {
            if (phase == QLatin1String(entered.name))
                job.stop();
        };
    }

    QByteArray firmware = image(9000);
    NoProgress progress;
    FirmwareUpdate update;
    UpdateJob job;
};

} // namespace

class TestUpdateJob : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }
    void updateEndsAsTheDeviceDoes_data();
    void updateEndsAsTheDeviceDoes();
    void recoverFinishesAStoppedUpdate_data();
    void recoverFinishesAStoppedUpdate();
    void recoverRefuses_data();
    void recoverRefuses();
};

void TestUpdateJob::updateEndsAsTheDeviceDoes_data()
{
    QTest::addColumn<QString>("fault"); // what the device does otherwise
    QTest::addColumn<bool>("keepSettings");
    QTest::addColumn<JobEnd::Result>("result");
    QTest::addColumn<QString>("phase");
    QTest::addColumn<QString>("comment"); // the device's afterwards
    QTest::addColumn<QString>("ip4");
    QTest::addColumn<bool>("journalKept");

    const QString own = QStringLiteral("Club tracker");
    const QString factory = QStringLiteral("TELX5 iGate");
    // Its addresses are written as it reported them, then DHCP again.
    QTest::newRow("a DHCP device")
        << QString() << true << JobEnd::Result::Done << "restored" << own << "50" << false;
    QTest::newRow("settings not written back")
        << QString() << false << JobEnd::Result::Done << "flashed" << factory << "99" << false;
    // The firmware still runs: the settings go back to it at once.
    QTest::newRow("a loader that never answers")
        << QStringLiteral("no loader") << true << JobEnd::Result::Failed << "restored" << own
        << "50" << false;
    // Never "restored" when the device does not take them back.
    QTest::newRow("a setting that does not take back")
        << QStringLiteral("AT+COMMENT") << true << JobEnd::Result::Failed << "read-back" << factory
        << "50" << true;
    // Settings the write-back could not send as they are stop the update
    // before the erase.
    const QString escape = QStringLiteral("Club\x1btracker");
    QTest::newRow("a comment holding ESC")
        << escape << true << JobEnd::Result::Refused << "read" << escape << "50" << false;
    QTest::newRow("the write-back not confirmed")
        << QStringLiteral("AT+FREQ") << true << JobEnd::Result::Failed << "write-back" << own
        << "50" << true;
}

void TestUpdateJob::updateEndsAsTheDeviceDoes()
{
    QFETCH(QString, fault);
    QFETCH(bool, keepSettings);
    QFETCH(JobEnd::Result, result);
    QFETCH(QString, phase);
    QFETCH(QString, comment);
    QFETCH(QString, ip4);
    QFETCH(bool, journalKept);

    Rig rig;
    QVERIFY(rig.start());
    if (fault == QLatin1String("no loader"))
        rig.sim.setBootWindow(0);
    else if (fault.startsWith(QLatin1String("Club")))
        rig.sim.settings().setText(Field::Comment, fault);
    else if (!fault.isEmpty())
        // Only what the update writes back: the reset still puts back the
        // factory settings.
        QObject::connect(&rig.sim, &SimDevice::lineReceived, &rig.sim,
                         [&rig, fault](const QByteArray &line) {
                             if (line == "AT+RESET#")
                                 rig.sim.setIgnoredCommands({fault});
                         });

    const JobEnd ended = rig.job.run({rig.imagePath(), keepSettings});

    QCOMPARE(ended.result, result);
    QCOMPARE(QLatin1String(ended.phase.name), phase);
    QCOMPARE(rig.sim.settings().text(Field::Comment), comment);
    QCOMPARE(rig.sim.settings().text(Field::Ip4), ip4);
    // Only a write-back cut short leaves the device on STATIC IP.
    if (phase != QLatin1String("write-back"))
        QCOMPARE(rig.sim.settings().text(Field::Dhcp), QStringLiteral("DHCP"));
    if (fault != QLatin1String("no loader"))
        QCOMPARE(rig.sim.bootImage(),
                 result == JobEnd::Result::Refused ? QByteArray() : rig.firmware);
    // The settings read before the update are kept, whatever came of it.
    QVERIFY(!ended.backup.isEmpty());
    QVERIFY(QFile(ended.backup).exists());
    QCOMPARE(rig.journal().has_value(), journalKept);
    QCOMPARE(rig.job.restoredAfterFailure(), fault == QLatin1String("no loader"));
    if (fault == QLatin1String("AT+COMMENT"))
        QCOMPARE(ended.differing, QList<Setting>{Setting::Comment});
}

void TestUpdateJob::recoverFinishesAStoppedUpdate_data()
{
    QTest::addColumn<QString>("phase");
    QTest::addColumn<int>("block"); // -1: stopped as the phase begins
    // The loader holds this many bytes of the next block's frame (stood in
    // for by sending them before recover).
    QTest::addColumn<int>("partOfNextFrame");

    QTest::newRow("before the reset") << "reset" << -1 << 0;
    QTest::newRow("waiting for the loader") << "boot" << -1 << 0;
    QTest::newRow("in the blocks") << QString() << 1 << 0;
    QTest::newRow("in the middle of a block") << QString() << 1 << 1000;
    QTest::newRow("in the write-back") << "write-back" << -1 << 0;
    QTest::newRow("between the write-back and DHCP") << "dhcp" << -1 << 0;
}

void TestUpdateJob::recoverFinishesAStoppedUpdate()
{
    QFETCH(QString, phase);
    QFETCH(int, block);
    QFETCH(int, partOfNextFrame);

    Rig rig;
    QVERIFY(rig.start());
    rig.stopAt(phase, block);
    const JobEnd stopped = rig.job.run({rig.imagePath(), true});
    QCOMPARE(stopped.result, JobEnd::Result::Stopped);
    QCOMPARE(stopped.phase.wayBack, WayBack::Recover);
    std::optional<UpdateJournal> journal = rig.journal();
    QVERIFY(journal);
    QCOMPARE(journal->backup, stopped.backup);
    if (block >= 0) {
        // The frame on the wire left whole, and the loader's reply to it is
        // in the journal.
        QCOMPARE(journal->frame, block);
        QCOMPARE(journal->frameBytesSent, FirmwareImage::FrameSize);
        QCOMPARE(journal->askedFor, block + 1);
        QCOMPARE(rig.sim.storedBlocks(), block + 1);
    }
    if (partOfNextFrame > 0) {
        const QByteArray frame =
            FirmwareImage::frame(FirmwareImage::pad(rig.firmware), journal->askedFor);
        QVERIFY(rig.link.open());
        QVERIFY(rig.link.send(frame.first(partOfNextFrame)));
        rig.link.close();
        journal->frame = journal->askedFor;
        journal->frameBytesSent = partOfNextFrame;
        journal->askedFor = -1;
        QVERIFY(!journal->save(UpdateJournal::path(rig.journals(), rig.sim.portPath())));
    }

    rig.job.phaseEntered = {};
    const JobEnd recovered = rig.job.recover({});

    QCOMPARE(recovered.result, JobEnd::Result::Done);
    QCOMPARE(QLatin1String(recovered.phase.name), QLatin1String("restored"));
    QCOMPARE(rig.sim.bootImage(), rig.firmware);
    QCOMPARE(rig.sim.settings().text(Field::Comment), QStringLiteral("Club tracker"));
    QCOMPARE(rig.sim.settings().text(Field::Ip4), QStringLiteral("50"));
    QCOMPARE(rig.sim.settings().text(Field::Dhcp), QStringLiteral("DHCP"));
    QVERIFY(!rig.journal());
}

void TestUpdateJob::recoverRefuses_data()
{
    QTest::addColumn<QString>("journal"); // "none", "other image", "unknown bytes"
    QTest::addColumn<QString>("failure");

    QTest::newRow("no journal") << "none"
                                << QStringLiteral("no update on %1 stopped after AT+RESET#");
    QTest::newRow("another image")
        << "other image" << QStringLiteral("is not the image the update was sending");
    // A program that ended while a frame went out: nobody knows what the
    // loader holds, and a frame from its start would be stored wrongly.
    QTest::newRow("a frame of unknown length")
        << "unknown bytes" << QStringLiteral("does not say how much of block 1 left the port");
}

void TestUpdateJob::recoverRefuses()
{
    QFETCH(QString, journal);
    QFETCH(QString, failure);

    Rig rig;
    QVERIFY(rig.start());
    if (journal != QLatin1String("none")) {
        UpdateJournal written;
        written.port = rig.sim.portPath();
        written.image = rig.imagePath();
        written.sha256 = QByteArray(64, '0');
        if (journal == QLatin1String("unknown bytes"))
            written.sha256 =
                QCryptographicHash::hash(rig.firmware, QCryptographicHash::Sha256).toHex();
        written.size = rig.firmware.size();
        written.phase = QStringLiteral("blocks");
        written.headerSent = true;
        written.frame = 1;
        QVERIFY(!written.save(UpdateJournal::path(rig.journals(), rig.sim.portPath())));
    }

    const QSignalSpy sent(&rig.link, &SerialLink::sent);
    const JobEnd ended = rig.job.recover({});

    QCOMPARE(ended.result, JobEnd::Result::Refused);
    QVERIFY2(ended.failure.contains(failure.arg(rig.sim.portPath())), qPrintable(ended.failure));
    // A journal that names an update still waiting blocks a new update.
    if (journal != QLatin1String("none")) {
        const JobEnd refused = rig.job.run({rig.imagePath(), true});
        QCOMPARE(refused.result, JobEnd::Result::Refused);
    }
    QCOMPARE(sent.count(), 0);
}

QTEST_MAIN(TestUpdateJob)
#include "tst_updatejob.moc"
