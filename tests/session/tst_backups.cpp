#include "backups.h"
#include "devicesettings.h"
#include "fakehost.h"
#include "fakelink.h"
#include "settingsfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QDateTime Stamp(QDate(2026, 12, 7), QTime(15, 42, 10));

SettingsRecord station(const QString &callsign, const QString &ssid)
{
    SettingsRecord record;
    DeviceSettings::applyDefaults(record);
    record.setText(Field::Callsign, callsign);
    record.setText(Field::Ssid, ssid);
    return record;
}

// Every setting a file holds, as after a complete read.
SettingsRecord readRecord()
{
    SettingsRecord record = station(QStringLiteral("BG7ABC"), QStringLiteral("9"));
    for (Setting setting : SettingsTable::fileSettings())
        record.markArrived(setting);
    return record;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

using Groups = QList<std::pair<QString, int>>;

class TestBackups : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void nameAndContent_data();
    void nameAndContent();
    void pruning_data();
    void pruning();
    void sessionsSayWhatBecameOfIt_data();
    void sessionsSayWhatBecameOfIt();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestBackups::nameAndContent_data()
{
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<QString>("ssid");
    QTest::addColumn<QByteArray>("reason");
    QTest::addColumn<int>("earlier"); // of the same name, in the same second
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("listedCallsign");

    QTest::newRow("before a write")
        << QStringLiteral("BG7ABC") << QStringLiteral("9") << QByteArray("before-write") << 0
        << QStringLiteral("2026-12-07_15-42-10_BG7ABC-9_before-write.ini")
        << QStringLiteral("BG7ABC-9");
    QTest::newRow("padded callsign from a file")
        << QStringLiteral("AB1   ") << QStringLiteral("10") << QByteArray("read") << 0
        << QStringLiteral("2026-12-07_15-42-10_AB1-10_read.ini") << QStringLiteral("AB1-10");
    QTest::newRow("callsign with odd characters")
        << QStringLiteral("BG7 A/B.é_") << QStringLiteral("9") << QByteArray("read") << 0
        << QStringLiteral("2026-12-07_15-42-10_BG7_A_B___-9_read.ini")
        << QStringLiteral("BG7_A_B___-9");
    QTest::newRow("empty callsign")
        << QString() << QStringLiteral("9") << QByteArray("before-update") << 0
        << QStringLiteral("2026-12-07_15-42-10_unknown-9_before-update.ini")
        << QStringLiteral("unknown-9");
    QTest::newRow("blank callsign and SSID")
        << QStringLiteral("  ") << QStringLiteral(" ") << QByteArray("read") << 0
        << QStringLiteral("2026-12-07_15-42-10_unknown_read.ini") << QStringLiteral("unknown");
    QTest::newRow("same second") << QStringLiteral("BG7ABC") << QStringLiteral("9")
                                 << QByteArray("read") << 1
                                 << QStringLiteral("2026-12-07_15-42-10_BG7ABC-9_read_2.ini")
                                 << QStringLiteral("BG7ABC-9");
    QTest::newRow("third in the same second")
        << QStringLiteral("BG7ABC") << QStringLiteral("9") << QByteArray("read") << 2
        << QStringLiteral("2026-12-07_15-42-10_BG7ABC-9_read_3.ini") << QStringLiteral("BG7ABC-9");
}

void TestBackups::nameAndContent()
{
    QFETCH(QString, callsign);
    QFETCH(QString, ssid);
    QFETCH(QByteArray, reason);
    QFETCH(int, earlier);
    QFETCH(QString, name);
    QFETCH(QString, listedCallsign);

    // Made by the first backup.
    const QString folder = m_dir->filePath(QStringLiteral("share/telx5-config/backups"));
    const TextCodec codec;
    const SettingsRecord record = station(callsign, ssid);
    const QLatin1StringView why(reason);
    QList<QByteArray> before;
    for (int i = 0; i < earlier; ++i) {
        SettingsRecord other = record;
        other.setText(Field::Comment, QString::number(i));
        const BackupOutcome kept = Backups::keep(folder, other, why, codec, Stamp);
        QCOMPARE(kept.error, QString());
        before.append(readFile(kept.path));
    }

    const BackupOutcome kept = Backups::keep(folder, record, why, codec, Stamp);

    QCOMPARE(kept.error, QString());
    QCOMPARE(kept.path, QDir(folder).filePath(name));
    QCOMPARE(readFile(kept.path), SettingsFile::save(record, codec));
    // The earlier ones are as they were, and nothing was left aside.
    const QList<Backups::Entry> listed = Backups::list(folder);
    QCOMPARE(filesIn(folder).size(), earlier + 1);
    QCOMPARE(listed.size(), earlier + 1);
    for (int i = 0; i < earlier; ++i)
        QCOMPARE(readFile(listed.at(earlier - i).path), before.at(i));
    QCOMPARE(listed.first().path, kept.path);
    QCOMPARE(listed.first().date, QStringLiteral("2026-12-07 15:42:10"));
    QCOMPARE(listed.first().callsign, listedCallsign);
    QCOMPARE(listed.first().reason, QString::fromLatin1(reason));
}

void TestBackups::pruning_data()
{
    QTest::addColumn<Groups>("groups"); // backups of a callsign, a second apart, oldest first
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("oldest"); // the two oldest left

    const auto name = [](int second, const char *callsign) {
        return QStringLiteral("2026-12-07_00-0%1-%2_%3-9_read.ini")
            .arg(second / 60)
            .arg(second % 60, 2, 10, QLatin1Char('0'))
            .arg(QLatin1String(callsign));
    };
    QTest::newRow("200 stay") << Groups{{QStringLiteral("N0CALL"), 200}} << 200
                              << QStringList{name(0, "N0CALL"), name(1, "N0CALL")};
    QTest::newRow("201, the oldest goes") << Groups{{QStringLiteral("N0CALL"), 201}} << 200
                                          << QStringList{name(1, "N0CALL"), name(2, "N0CALL")};
    QTest::newRow("the newest of a callsign stays, however old")
        << Groups{{QStringLiteral("BG7OLD"), 1}, {QStringLiteral("N0CALL"), 201}} << 201
        << QStringList{name(0, "BG7OLD"), name(2, "N0CALL")};
    QTest::newRow("only the newest of a callsign stays")
        << Groups{{QStringLiteral("BG7OLD"), 2}, {QStringLiteral("N0CALL"), 200}} << 201
        << QStringList{name(1, "BG7OLD"), name(2, "N0CALL")};
}

void TestBackups::pruning()
{
    QFETCH(Groups, groups);
    QFETCH(int, left);
    QFETCH(QStringList, oldest);

    const QString folder = m_dir->path();
    QFile notes(m_dir->filePath(QStringLiteral("notes.ini")));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.close();
    const QDateTime midnight(QDate(2026, 12, 7), QTime(0, 0));
    const TextCodec codec;
    int second = 0;
    for (const auto &[callsign, count] : groups) {
        for (int i = 0; i < count; ++i, ++second)
            QVERIFY(!Backups::keep(folder, station(callsign, QStringLiteral("9")),
                                   Backups::AfterRead, codec, midnight.addSecs(second))
                         .failed());
    }

    const QList<Backups::Entry> listed = Backups::list(folder);
    QCOMPARE(listed.size(), left);
    QCOMPARE(filesIn(folder).size(), left + 1);
    QVERIFY(notes.exists());
    QCOMPARE(QFileInfo(listed.constLast().path).fileName(), oldest.at(0));
    QCOMPARE(QFileInfo(listed.at(left - 2).path).fileName(), oldest.at(1));
}

void TestBackups::sessionsSayWhatBecameOfIt_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QByteArray>("reason"); // "read": after a read
    QTest::addColumn<QString>("folder");    // "blocked": a file where a folder goes
    QTest::addColumn<bool>("complete");     // the read received every setting
    QTest::addColumn<bool>("answer");       // to the question, if one is asked
    QTest::addColumn<bool>("goesOn");
    QTest::addColumn<int>("kept");
    QTest::addColumn<QString>("status"); // %1: the backup, %2: the backup folder

    const QString english = QStringLiteral("2");
    const QString backups = QStringLiteral("backups");
    const QString blocked = QStringLiteral("blocked");
    const QString keptLine = QStringLiteral("\r\nBackup kept: %1");
    const QString noFolder = QStringLiteral("Could not keep a backup: %2: Not a directory");
    QTest::newRow("read") << english << QByteArray("read") << backups << true << false << true << 1
                          << keptLine;
    QTest::newRow("read, chinese") << QStringLiteral("1") << QByteArray("read") << backups << true
                                   << false << true << 1 << QStringLiteral("\r\n已保留备份：%1");
    QTest::newRow("read without a setting")
        << english << QByteArray("read") << backups << false << false << true << 0 << QString();
    QTest::newRow("read, no backups (simulated device)")
        << english << QByteArray("read") << QString() << true << false << true << 0 << QString();
    QTest::newRow("read, blocked") << english << QByteArray("read") << blocked << true << false
                                   << true << 0 << QStringLiteral("\r\n") + noFolder;
    QTest::newRow("before a write") << english << QByteArray("before-write") << backups << true
                                    << false << true << 1 << keptLine;
    QTest::newRow("before a write, blocked, stop")
        << english << QByteArray("before-write") << blocked << true << false << false << 0
        << QStringLiteral("\r\n") + noFolder + QStringLiteral("; nothing was written");
    QTest::newRow("before a write, blocked, go on")
        << english << QByteArray("before-write") << blocked << true << true << true << 0
        << QStringLiteral("\r\n") + noFolder + QStringLiteral("; going on without one");
    QTest::newRow("before an update, chinese, blocked, stop")
        << QStringLiteral("1") << QByteArray("before-update") << blocked << true << false << false
        << 0 << QStringLiteral("\r\n无法保留备份：%2: Not a directory；未写入任何内容");
    QTest::newRow("before an update, no backups")
        << english << QByteArray("before-update") << QString() << true << false << true << 0
        << QString();
}

void TestBackups::sessionsSayWhatBecameOfIt()
{
    QFETCH(QString, language);
    QFETCH(QByteArray, reason);
    QFETCH(QString, folder);
    QFETCH(bool, complete);
    QFETCH(bool, answer);
    QFETCH(bool, goesOn);
    QFETCH(int, kept);
    QFETCH(QString, status);

    QFile blocker(m_dir->filePath(QStringLiteral("blocked")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    FakeLink link;
    FakeHost host(link, language);
    host.backups = folder.isEmpty() ? QString() : m_dir->filePath(folder + QStringLiteral("/tx"));
    host.dialogState.answer = answer;
    SessionContext context{host, link, host.chain.codec(), host.chain.parser()};
    SettingsRecord device = readRecord();
    if (!complete)
        device.clearArrivals();

    bool wentOn = true;
    if (reason == "read")
        keepReadBackup(context, device);
    else
        wentOn = keepBackupBeforeChange(context, device, QLatin1StringView(reason));

    QCOMPARE(wentOn, goesOn);
    const QList<Backups::Entry> listed = Backups::list(host.backups);
    QCOMPARE(listed.size(), kept);
    QCOMPARE(host.record.statusText(),
             QString(status)
                 .replace(QStringLiteral("%1"), kept ? listed.first().path : QString())
                 .replace(QStringLiteral("%2"), host.backups));
    if (kept)
        QCOMPARE(readFile(listed.first().path), SettingsFile::save(device, host.chain.codec()));
    // Only a backup that failed before a change asks.
    const bool asks = reason != "read" && folder == QLatin1String("blocked");
    QCOMPARE(host.dialogState.questions.size(), asks ? 1 : 0);
    QVERIFY(!asks ||
            host.dialogState.questions.constFirst().contains(QStringLiteral("Not a directory")));
    QCOMPARE(host.dialogState.messages, QStringList());
}

QTEST_GUILESS_MAIN(TestBackups)
#include "tst_backups.moc"
