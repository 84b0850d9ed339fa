#include "devicesettings.h"
#include "deviceview.h"
#include "fakedialogs.h"
#include "filecommands.h"
#include "portsettingsstore.h"
#include "receivechain.h"
#include "translation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <cstring>
#include <grp.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray DefaultFile =
    "[TELX5]\r\n\r\nCALLSIGN:NOCALL-10\r\nPASS:40417\r\nDHCP:1#\r\n"
    "IP:192,168,1,99\r\nMASK:255,255,255,0\r\nGATE:192,168,1,1\r\n"
    "DNS:8,8,8,8\r\nPOSITION:!3035.00N/11417.00ErPHG1010\r\n"
    "COMMENT TEXT:TELX5 144.640MHz\r\nSERVER:china.aprs2.net\r\n"
    "SENT TIME:0600\r\nFILTER:b/TELX5\r\nBACKLIGHT:00\r\n"
    "FREQ:144.6400\r\nUNIT:1\r\nDIGI:0\r\nMOD:3\r\nPATH:1\r\nALIAS:3\r\n";

// Neither file command may touch the port; this one notices if they do.
class UntouchedLink : public SerialLink
{
public:
    bool setPortName(const QString &) override { return touch(false); }
    QString portName() const override { return {}; }
    bool isOpen() const override { return false; }
    bool open(QString *) override { return touch(false); }
    void close() override { touch(false); }
    bool send(QByteArrayView) override { return touch(false); }

    mutable int uses = 0;

private:
    bool touch(bool result) const
    {
        ++uses;
        return result;
    }
};

class Host : public SessionHost
{
public:
    explicit Host(const QString &languageText = QStringLiteral("2"))
        : languageText(languageText), translation(isChinese()),
          chain(link, record, codePageForLanguage(languageText))
    {}

    DeviceView &settings() override { return record; }
    Flags &flags() override { return chain.flags(); }
    LineBuffer &lineBuffer() override { return chain.lineBuffer(); }
    Dialogs &dialogs() override { return dialogState; }
    QString language() const override { return languageText; }
    QString stepText() const override { return {}; }
    void setStepText(const QString &) override {}
    void setCaption(Button, const QString &) override {}
    bool isEnabled(Button button) const override { return enabled.contains(button); }
    void setEnabled(Button button, bool on) override
    {
        enabled.removeAll(button);
        if (on)
            enabled << button;
    }
    QString portText() const override { return {}; }
    void setPortText(const QString &) override {}
    QString iniPath() const override { return {}; }
    QString backupFolder() const override { return {}; }

    void save(const QString &fileName)
    {
        dialogState.fileToChoose = fileName;
        SessionContext context{*this, link, chain.codec(), chain.parser()};
        saveSettingsFile(context);
    }
    void load(const QString &fileName)
    {
        dialogState.fileToChoose = fileName;
        SessionContext context{*this, link, chain.codec(), chain.parser()};
        loadSettingsFile(context);
    }

    QString languageText;
    Translation translation;
    RecordView record;
    FakeDialogs dialogState;
    UntouchedLink link;
    ReceiveChain chain;
    QList<Button> enabled;
};

QByteArray readFile(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &fileName, const QByteArray &content)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// Everything in a folder, as a listing shows it.
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

QStringList fieldTexts(const DeviceView &view)
{
    QStringList texts;
    for (int i = 0; i < FieldCount; ++i)
        texts << view.text(static_cast<Field>(i));
    return texts;
}

} // namespace

using Changes = QList<std::pair<Field, QString>>;

class TestFileCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }
    void saveWritesTheWindow_data();
    void saveWritesTheWindow();
    void roundTrip_data();
    void roundTrip();
    void loadShowsEveryLine_data();
    void loadShowsEveryLine();
    void saveKeepsOwnerAndMode_data();
    void saveKeepsOwnerAndMode();
    void failedSaveKeepsOldContent_data();
    void failedSaveKeepsOldContent();
    void unreadableFileIsReported_data();
    void unreadableFileIsReported();
    void cancelChangesNothing_data();
    void cancelChangesNothing();
    void fullDiskKeepsTheOldFiles();
    void saveNamesTextTheCodePageLacks();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFileCommands::saveWritesTheWindow_data()
{
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<QByteArray>("expected"); // the whole file, or the one line that differs
    QTest::addColumn<QString>("typed");       // in the dialog
    QTest::addColumn<QString>("saved");       // the file on disk

    QTest::newRow("defaults") << Changes{} << DefaultFile << "save.ini"
                              << "save.ini";
    QTest::newRow("callsign of six") << Changes{{Field::Callsign, QStringLiteral("AB1CDE")}}
                                     << QByteArray("CALLSIGN:AB1CDE-10") << "save.ini"
                                     << "save.ini";
    QTest::newRow("empty callsign")
        << Changes{{Field::Callsign, QString()}} << QByteArray("CALLSIGN:      -10") << "save.ini"
        << "save.ini";
    QTest::newRow("callsign with dash") << Changes{{Field::Callsign, QStringLiteral("B1-X")}}
                                        << QByteArray("CALLSIGN:B1-X  -10") << "save.ini"
                                        << "save.ini";
    QTest::newRow("interval 600") << Changes{{Field::SentTime, QStringLiteral("600")}}
                                  << QByteArray("SENT TIME:0600") << "save.ini"
                                  << "save.ini";
    QTest::newRow("empty octets") << Changes{{Field::Ip1, {}},
                                             {Field::Ip2, {}},
                                             {Field::Ip3, {}},
                                             {Field::Ip4, {}}}
                                  << QByteArray("IP:,,,") << "save.ini"
                                  << "save.ini";
    QTest::newRow("typed unit") << Changes{{Field::Unit, QStringLiteral("yards")}}
                                << QByteArray("UNIT:1") << "save.ini"
                                << "save.ini";
    QTest::newRow("typed path") << Changes{{Field::Path, QStringLiteral("WIDE2-2")}}
                                << QByteArray("PATH:1") << "save.ini"
                                << "save.ini";
    QTest::newRow("static") << Changes{{Field::Dhcp, QStringLiteral("STATIC IP")}}
                            << QByteArray("DHCP:0#") << "save.ini"
                            << "save.ini";
    // The Load dialog lists *.ini files only.
    QTest::newRow("typed without an extension") << Changes{} << DefaultFile << "kb1"
                                                << "kb1.ini";
}

void TestFileCommands::saveWritesTheWindow()
{
    QFETCH(Changes, changes);
    QFETCH(QByteArray, expected);
    QFETCH(QString, typed);
    QFETCH(QString, saved);

    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    for (const auto &[field, value] : changes)
        host.record.setText(field, value);
    host.record.setStatusText(QStringLiteral("before"));
    const QString fileName = m_dir->filePath(saved);
    QVERIFY(writeFile(fileName, QByteArray(8000, 'x')));

    host.save(m_dir->filePath(typed));

    const QByteArray written = readFile(fileName);
    if (expected.startsWith("[TELX5]"))
        QCOMPARE(written, expected);
    else
        QVERIFY2(written.contains(QByteArray("\r\n" + expected + "\r\n")), written.constData());
    QVERIFY(!written.contains('x'));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList{saved});
    QCOMPARE(host.dialogState.requests.size(), 1);
    const Dialogs::FileRequest &request = host.dialogState.requests.constFirst();
    QCOMPARE(request.title, QStringLiteral("Save"));
    QCOMPARE(request.filter, QStringLiteral("setup file(*.ini)"));
    QCOMPARE(request.directory, QCoreApplication::applicationDirPath());
    QVERIFY(request.confirmOverwrite);
    QCOMPARE(host.dialogState.messages, QStringList());
    QCOMPARE(host.record.statusText(), QStringLiteral("before\r\nSaved: ") + fileName);
    QVERIFY(!host.isEnabled(Button::Write));
    QCOMPARE(host.link.uses, 0);
}

void TestFileCommands::roundTrip_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<Changes>("changes");
    QTest::addColumn<Changes>("loaded"); // where loading differs from what was saved

    QTest::newRow("defaults") << QStringLiteral("2") << Changes{} << Changes{};
    QTest::newRow("every field") << QStringLiteral("2")
                                 << Changes{{Field::Callsign, QStringLiteral("BG7ABC")},
                                            {Field::Ssid, QStringLiteral("15")},
                                            {Field::Dhcp, QStringLiteral("STATIC IP")},
                                            {Field::Gate3, QStringLiteral("254")},
                                            {Field::Server, QStringLiteral("euro.aprs2.net")},
                                            {Field::Backlight, QStringLiteral("90")},
                                            {Field::Unit, QStringLiteral("mi")},
                                            {Field::Digi, QStringLiteral("1")},
                                            {Field::Mod, QStringLiteral("5")},
                                            {Field::Path, QStringLiteral("WIDE1-1WIDE2-2")},
                                            {Field::Alias, QStringLiteral("WIDE2")}}
                                 << Changes{};
    QTest::newRow("short callsign comes back padded")
        << QStringLiteral("2") << Changes{{Field::Callsign, QStringLiteral("AB1")}}
        << Changes{{Field::Callsign, QStringLiteral("AB1   ")}};
    QTest::newRow("callsign with dash is cut")
        << QStringLiteral("2") << Changes{{Field::Callsign, QStringLiteral("B1-X")}}
        << Changes{{Field::Callsign, QStringLiteral("B1")},
                   {Field::Ssid, QStringLiteral("X  -10")}};
    QTest::newRow("typed unit and path")
        << QStringLiteral("2")
        << Changes{{Field::Unit, QStringLiteral("yards")}, {Field::Path, QStringLiteral("x")}}
        << Changes{{Field::Unit, QStringLiteral("km")}, {Field::Path, QStringLiteral("WIDE1-1")}};
    QTest::newRow("interval 600") << QStringLiteral("2")
                                  << Changes{{Field::SentTime, QStringLiteral("600")}}
                                  << Changes{{Field::SentTime, QStringLiteral("0600")}};
    QTest::newRow("empty octets") << QStringLiteral("2")
                                  << Changes{{Field::Dns1, {}},
                                             {Field::Dns2, {}},
                                             {Field::Dns3, {}},
                                             {Field::Dns4, {}}}
                                  << Changes{};
    QTest::newRow("chinese comment") << QStringLiteral("1")
                                     << Changes{{Field::Comment, QStringLiteral("武汉 TELX5 中继")},
                                                {Field::Unit, QStringLiteral("公里")}}
                                     << Changes{};
}

void TestFileCommands::roundTrip()
{
    QFETCH(QString, language);
    QFETCH(Changes, changes);
    QFETCH(Changes, loaded);

    Host saving(language);
    DeviceSettings::applyDefaults(saving.record.record());
    for (const auto &[field, value] : changes)
        saving.record.setText(field, value);
    const QString fileName = m_dir->filePath(QStringLiteral("trip.ini"));
    saving.save(fileName);

    Host loading(language);
    loading.load(fileName);

    RecordView expected;
    DeviceSettings::applyDefaults(expected.record());
    for (const auto &[field, value] : changes + loaded)
        expected.setText(field, value);
    // Neither the version nor the CTCSS placeholder is kept in the file.
    expected.setText(Field::Ctcss, QString());
    QCOMPARE(fieldTexts(loading.record), fieldTexts(expected));
    // Only a "DHCP:1#" line switches the octet boxes off.
    QCOMPARE(loading.record.octetBoxesEnabled(),
             WireCodes::isStaticAddressing(saving.record.text(Field::Dhcp)));
    QVERIFY(loading.isEnabled(Button::Write));
    QVERIFY(
        loading.record.statusText().startsWith(fileName + QStringLiteral("\r\n\r\n[TELX5]\r\n")));
    QCOMPARE(loading.dialogState.messages, QStringList());
    QCOMPARE(loading.link.uses + saving.link.uses, 0);
}

void TestFileCommands::loadShowsEveryLine_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<Changes>("changes");

    const QString nothing = QStringLiteral("No settings found in this file\r\n");
    QTest::newRow("empty file") << QByteArray() << nothing << Changes{};
    // Read as one line, as the loader always has.
    QTest::newRow("LF line ends") << QByteArray("[TELX5]\n\nPASS:1\n")
                                  << QStringLiteral("[TELX5]\n\nPASS:1\n\r\n") + nothing
                                  << Changes{};
    QTest::newRow("binary") << QByteArray("\x7F\x45\x4C\x46\x02\x01", 6)
                            << QStringLiteral("\x7F"
                                              "ELF\x02\x01\r\n") +
                                   nothing
                            << Changes{};
    QTest::newRow("no header") << QByteArray("PASS:123\r\nFREQ:145.0000\r\n")
                               << QStringLiteral("PASS:123\r\nFREQ:145.0000\r\n")
                               << Changes{{Field::Pass, QStringLiteral("123")},
                                          {Field::Freq, QStringLiteral("145.0000")}};
    QTest::newRow("no empty line")
        << QByteArray("[TELX5]\r\nMOD:4") << QStringLiteral("[TELX5]\r\nMOD:4\r\n")
        << Changes{{Field::Mod, QStringLiteral("4")}};
    QTest::newRow("malformed line stops")
        << QByteArray("[TELX5]\r\n\r\nPASS:1\r\nIP:10,0\r\nFREQ:2\r\n")
        << QStringLiteral("[TELX5]\r\n\r\nPASS:1\r\nIP:10,0\r\n"
                          "Stopped at line 4: not a valid settings line\r\n")
        << Changes{{Field::Pass, QStringLiteral("1")}, {Field::Ip1, QStringLiteral("10")}};
    QTest::newRow("lone CR and LF")
        << QByteArray("PASS:1\rFILTER:a\nb") << QStringLiteral("PASS:1\r\nFILTER:a\nb\r\n")
        << Changes{{Field::Pass, QStringLiteral("1")}, {Field::Filter, QStringLiteral("a\nb")}};
}

void TestFileCommands::loadShowsEveryLine()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, shown);
    QFETCH(Changes, changes);

    const QString fileName = m_dir->filePath(QStringLiteral("load.ini"));
    QVERIFY(writeFile(fileName, content));
    Host host;
    host.record.setStatusText(QStringLiteral("old status"));
    host.load(fileName);

    RecordView expected;
    for (const auto &[field, value] : changes)
        expected.setText(field, value);
    QCOMPARE(host.record.statusText(), fileName + QStringLiteral("\r\n\r\n") + shown);
    QCOMPARE(fieldTexts(host.record), fieldTexts(expected));
    QVERIFY(host.isEnabled(Button::Write));
    QCOMPARE(host.dialogState.messages, QStringList());
    const Dialogs::FileRequest &request = host.dialogState.requests.constFirst();
    QCOMPARE(request.title, QStringLiteral("Please choose fireware."));
    QCOMPARE(request.filter, QStringLiteral("ini文件(*.ini);;All files (*)"));
    QCOMPARE(request.directory, QCoreApplication::applicationDirPath());
}

void TestFileCommands::saveKeepsOwnerAndMode_data()
{
    QTest::addColumn<int>("owner"); // of the old file; -1: the test's user and group
    QTest::addColumn<int>("group");
    QTest::addColumn<int>("mode");
    // The user who saves, a member of a group of the same number besides
    // root's; -1: the test's user.
    QTest::addColumn<int>("saver");
    QTest::addColumn<bool>("ownerKept");

    QTest::newRow("own file") << -1 << -1 << 0640 << -1 << true;
    QTest::newRow("another user's file, saved by root") << 65534 << 65534 << 0604 << -1 << true;
    // A change of owner clears the set-group-ID bit of an executable.
    QTest::newRow("set-group-ID, saved by root") << 65534 << 65534 << 02750 << -1 << true;
    // The saver may not give the file away: the mode stays, the owner changes.
    QTest::newRow("root's file, saved by another user") << 0 << 0 << 0666 << 65534 << false;
    QTest::newRow("root's file in the saver's group") << 0 << 65534 << 0664 << 65534 << false;
}

void TestFileCommands::saveKeepsOwnerAndMode()
{
#ifdef Q_OS_LINUX
    QFETCH(int, owner);
    QFETCH(int, group);
    QFETCH(int, mode);
    QFETCH(int, saver);
    QFETCH(bool, ownerKept);
    if ((owner >= 0 || saver >= 0) && ::geteuid() != 0)
        QSKIP("only root can give a file to another user, or save as another user");

    // The other user writes the new file beside the old one.
    const QByteArray folder = QFile::encodeName(m_dir->path());
    QCOMPARE(::chmod(folder.constData(), 0777), 0);
    const QString fileName = m_dir->filePath(QStringLiteral("kept.ini"));
    const QByteArray path = QFile::encodeName(fileName);
    QVERIFY(writeFile(fileName, "old"));
    QVERIFY(owner < 0 || ::chown(path.constData(), uid_t(owner), gid_t(group)) == 0);
    QCOMPARE(::chmod(path.constData(), mode_t(mode)), 0);
    struct stat before;
    QCOMPARE(::stat(path.constData(), &before), 0);
    const QFileInfo old(fileName);
    const QString oldOwner = old.owner() + QLatin1Char(':') + old.group();

    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    QList<gid_t> groups(::getgroups(0, nullptr));
    QCOMPARE(::getgroups(int(groups.size()), groups.data()), int(groups.size()));
    const gid_t saverGroups[] = {0, gid_t(saver)};
    QVERIFY(saver < 0 || (::setgroups(2, saverGroups) == 0 && ::seteuid(uid_t(saver)) == 0));
    host.save(fileName);
    QVERIFY(saver < 0 ||
            (::seteuid(0) == 0 && ::setgroups(size_t(groups.size()), groups.data()) == 0));

    struct stat after;
    QCOMPARE(::stat(path.constData(), &after), 0);
    QCOMPARE(readFile(fileName), DefaultFile);
    QCOMPARE(after.st_mode & 07777, mode_t(mode));
    QCOMPARE(after.st_gid, before.st_gid);
    QCOMPARE(after.st_uid, ownerKept ? before.st_uid : uid_t(saver));
    const QFileInfo info(fileName);
    const QString note =
        QStringLiteral("\r\nThe owner changed: %1 belonged to %2 and now belongs to %3:%4")
            .arg(fileName, oldOwner, info.owner(), info.group());
    QCOMPARE(host.record.statusText(),
             QStringLiteral("\r\nSaved: ") + fileName + (ownerKept ? QString() : note));
    QCOMPARE(entries(m_dir->path()), QStringList{QStringLiteral("kept.ini")});
#else
    QSKIP("owners and modes are those of Linux");
#endif
}

void TestFileCommands::failedSaveKeepsOldContent_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("fault"); // planted in the folder "box"

    QTest::newRow("missing folder")
        << QStringLiteral("missing/settings.ini") << QStringLiteral("2") << QString();
    QTest::newRow("folder in the way")
        << QStringLiteral("taken.ini") << QStringLiteral("2") << QString();
    QTest::newRow("folder in the way, chinese")
        << QStringLiteral("taken.ini") << QStringLiteral("1") << QString();
    QTest::newRow("name too long")
        << QStringLiteral("box/") + QString(252, QLatin1Char('n')) + QStringLiteral(".ini")
        << QStringLiteral("2") << QString();
    QTest::newRow("read-only folder")
        << QStringLiteral("box/settings.ini") << QStringLiteral("2") << QStringLiteral("read-only");
    // The new file is written, but cannot be renamed over the old one.
    QTest::newRow("mount point") << QStringLiteral("box/settings.ini") << QStringLiteral("2")
                                 << QStringLiteral("mount");
}

void TestFileCommands::failedSaveKeepsOldContent()
{
    QFETCH(QString, target);
    QFETCH(QString, language);
    QFETCH(QString, fault);

    const QString taken = m_dir->filePath(QStringLiteral("taken.ini"));
    QVERIFY(QDir().mkpath(taken));
    QVERIFY(writeFile(taken + QStringLiteral("/keep.txt"), "old"));
    const QString box = m_dir->filePath(QStringLiteral("box"));
    QVERIFY(QDir().mkpath(box));
    const QString fileName = m_dir->filePath(target);
#ifdef Q_OS_LINUX
    const QByteArray path = QFile::encodeName(fileName);
    const QByteArray boxPath = QFile::encodeName(box);
    QVERIFY(fault.isEmpty() || writeFile(fileName, "old"));
    if (fault == QLatin1String("read-only")) {
        if (::geteuid() == 0)
            QSKIP("root writes into a read-only folder");
        QCOMPARE(::chmod(boxPath.constData(), 0555), 0);
    }
    const auto writable = qScopeGuard([&boxPath] { ::chmod(boxPath.constData(), 0755); });
    if (fault == QLatin1String("mount")) {
        const QString backing = m_dir->filePath(QStringLiteral("box/backing.txt"));
        QVERIFY(writeFile(backing, "mounted"));
        if (::mount(QFile::encodeName(backing).constData(), path.constData(), nullptr, MS_BIND,
                    nullptr))
            QSKIP(qPrintable(QStringLiteral("no bind mount here: ") +
                             QString::fromLocal8Bit(strerror(errno))));
    }
    auto unmount = qScopeGuard([&] {
        if (fault == QLatin1String("mount"))
            ::umount(path.constData());
    });
#else
    if (!fault.isEmpty())
        QSKIP("the faults are planted as on Linux");
#endif
    const QString folder = QFileInfo(fileName).absolutePath();
    const QStringList before = entries(folder);

    Host host(language);
    DeviceSettings::applyDefaults(host.record.record());
    // Where a real box waits for the user, who may look into the folder.
    QStringList atMessage;
    host.dialogState.onMessage = [&] { atMessage = entries(folder); };
    host.save(fileName);

    QCOMPARE(atMessage, before);
    QCOMPARE(entries(folder), before);
#ifdef Q_OS_LINUX
    unmount.dismiss();
    QVERIFY(fault != QLatin1String("mount") || ::umount(path.constData()) == 0);
#endif
    if (!fault.isEmpty())
        QCOMPARE(readFile(fileName), QByteArray("old"));
    QCOMPARE(host.dialogState.messages.size(), 1);
    QVERIFY2(host.dialogState.messages.constFirst().contains(fileName),
             qPrintable(host.dialogState.messages.constFirst()));
    QCOMPARE(readFile(taken + QStringLiteral("/keep.txt")), QByteArray("old"));
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("missing"))));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), QStringList());
    QCOMPARE(host.record.statusText(), QString());
    QVERIFY(!host.isEnabled(Button::Write));
}

void TestFileCommands::unreadableFileIsReported_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<qint64>("size");
    QTest::newRow("missing file") << false << qint64(0);
    QTest::newRow("folder") << true << qint64(0);
    QTest::newRow("2 MiB") << false << qint64(2 * 1024 * 1024);
}

void TestFileCommands::unreadableFileIsReported()
{
    QFETCH(bool, folder);
    QFETCH(qint64, size);
    const QString fileName = m_dir->filePath(QStringLiteral("chosen.ini"));
    QVERIFY(!folder || QDir().mkpath(fileName));
    QVERIFY(size == 0 || writeFile(fileName, QByteArray(size, 'P')));
    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    const QStringList before = fieldTexts(host.record);
    host.load(fileName);

    QCOMPARE(host.dialogState.messages.size(), 1);
    QVERIFY(host.dialogState.messages.constFirst().contains(fileName));
    QVERIFY(size == 0 || host.dialogState.messages.constFirst().contains(QString::number(size)));
    QCOMPARE(host.record.statusText(), fileName + QStringLiteral("\r\n\r\n"));
    QCOMPARE(fieldTexts(host.record), before);
    QVERIFY(host.isEnabled(Button::Write));
}

void TestFileCommands::cancelChangesNothing_data()
{
    QTest::addColumn<bool>("load");
    QTest::newRow("save") << false;
    QTest::newRow("load") << true;
}

void TestFileCommands::cancelChangesNothing()
{
    QFETCH(bool, load);

    const QString earlier = m_dir->filePath(QStringLiteral("earlier.ini"));
    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    host.save(earlier);
    host.load(earlier);
    host.setEnabled(Button::Write, false);
    host.record.setText(Field::Comment, QStringLiteral("edited"));
    host.record.setStatusText(QStringLiteral("shown"));
    const QStringList before = fieldTexts(host.record);
    const QByteArray file = readFile(earlier);

    if (load)
        host.load(QString());
    else
        host.save(QString());

    QCOMPARE(host.dialogState.requests.size(), 3);
    QCOMPARE(fieldTexts(host.record), before);
    QCOMPARE(host.record.statusText(), QStringLiteral("shown"));
    QVERIFY(!host.isEnabled(Button::Write));
    QCOMPARE(readFile(earlier), file);
    QCOMPARE(host.dialogState.messages, QStringList());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files),
             QStringList{QStringLiteral("earlier.ini")});
}

// A disk that fills up while a file is saved: the small write sits in a
// buffer until the last moment, where only a checked flush notices.
void TestFileCommands::fullDiskKeepsTheOldFiles()
{
#ifdef Q_OS_LINUX
    if (::geteuid() != 0)
        QSKIP("mounting a small tmpfs needs root");
    const QByteArray disk = QFile::encodeName(m_dir->path());
    if (::mount("tmpfs", disk.constData(), "tmpfs", 0, "size=64k") != 0)
        QSKIP(qPrintable(QStringLiteral("no tmpfs here: ") +
                         QString::fromLocal8Bit(strerror(errno))));
    const auto unmount = qScopeGuard([&disk] { ::umount(disk.constData()); });

    const QString settings = m_dir->filePath(QStringLiteral("keep.ini"));
    const QString memory = m_dir->filePath(QStringLiteral("XRVComm.ini"));
    QVERIFY(writeFile(settings, DefaultFile));
    PortSettingsStore::storePortSettings(memory, QStringLiteral("/dev/ttyUSB0"), "115200", "1", "n",
                                         "8", "0", "2048", "2048");
    const QByteArray remembered = readFile(memory);
    QVERIFY(remembered.contains("par5=/dev/ttyUSB0"));
    QFile filler(m_dir->filePath(QStringLiteral("filler")));
    QVERIFY(filler.open(QIODevice::WriteOnly));
    while (filler.write(QByteArray(4096, 'x')) == 4096 && filler.flush()) {
    }

    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    host.record.setText(Field::Callsign, QStringLiteral("BG7XYZ"));
    const QStringList before = entries(m_dir->path());
    QStringList atMessage;
    host.dialogState.onMessage = [&] { atMessage = entries(m_dir->path()); };
    host.save(settings);
    // The new file aside is gone by the time the user reads why.
    QCOMPARE(atMessage, before);
    PortSettingsStore::storePortSettings(memory, QStringLiteral("/dev/ttyUSB1"), "115200", "1", "n",
                                         "8", "0", "2048", "2048");

    QCOMPARE(host.dialogState.messages.size(), 1);
    QVERIFY(host.dialogState.messages.constFirst().startsWith(QStringLiteral("Save failed: ") +
                                                              settings));
    QCOMPARE(readFile(settings), DefaultFile);
    QCOMPARE(readFile(memory), remembered);
#else
    QSKIP("tmpfs is mounted only on Linux");
#endif
}

void TestFileCommands::saveNamesTextTheCodePageLacks()
{
    Host host;
    DeviceSettings::applyDefaults(host.record.record());
    host.record.setText(Field::Comment, QStringLiteral("中文 café"));
    const QString fileName = m_dir->filePath(QStringLiteral("lossy.ini"));
    host.save(fileName);

    QCOMPARE(host.record.statusText(),
             QStringLiteral("\r\nComment: 2 characters cannot be sent in this language setting "
                            "and become '?'\r\nSaved: ") +
                 fileName);
    QVERIFY(readFile(fileName).contains("\r\nCOMMENT TEXT:?? caf\xE9\r\n"));
}

QTEST_GUILESS_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
