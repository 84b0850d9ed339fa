#include "windowrig.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

Q_DECLARE_METATYPE(telx5::Button)

namespace {

const QLocale EnglishUk(QLocale::English, QLocale::UnitedKingdom);

std::unique_ptr<MainWindow> windowIn(const QString &programFolder, const QString &iniPath,
                                     Dialogs &dialogs, SerialLink &link)
{
    MainWindow::Options options;
    options.locale = EnglishUk;
    options.iniPath = iniPath;
    options.programFolder = programFolder;
    return std::make_unique<MainWindow>(options, dialogs, &link);
}

QStringList titles(const QList<Dialogs::FileRequest> &requests)
{
    QStringList shown;
    for (const Dialogs::FileRequest &request : requests)
        shown << request.title;
    return shown;
}

// Takes the addresses the window would hand to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }

public:
    QList<QUrl> opened;
};

} // namespace

class MenusTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysRunCommands_data();
    void keysRunCommands();
    void actionFollowsItsButton_data();
    void actionFollowsItsButton();
    void menuBarAboveTheClientArea();
    void dialogStartFolder_data();
    void dialogStartFolder();
    void recentFileLoadsAgain();
    void help_data();
    void help();
};

void MenusTest::keysRunCommands_data()
{
    QTest::addColumn<QString>("focus"); // empty: where the window puts it
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QStringList>("dialogs");
    QTest::addColumn<QByteArray>("sent");

    const int ctrl = Qt::ControlModifier;
    const QStringList load{QStringLiteral("Please choose fireware.")};
    QTest::newRow("Ctrl+O loads a file") << "" << int(Qt::Key_O) << ctrl << load << QByteArray();
    QTest::newRow("Ctrl+S saves a file")
        << "" << int(Qt::Key_S) << ctrl << QStringList{QStringLiteral("Save")} << QByteArray();
    QTest::newRow("F5 reads") << "" << int(Qt::Key_F5) << 0 << QStringList()
                              << QByteArray("\r\nSETUP#\r\n");
    QTest::newRow("Enter on the Write button writes")
        << "writeButton" << int(Qt::Key_Return) << 0 << QStringList()
        << QByteArray("AT+CALL,NOCALL-10#\r\n");
    QTest::newRow("keypad Enter on the Load button loads")
        << "loadButton" << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << load << QByteArray();
}

void MenusTest::keysRunCommands()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QStringList, dialogs);
    QFETCH(QByteArray, sent);

    WindowRig rig(EnglishUk, QStringLiteral("/dev/pts/menus"));
    rig.link.refuseOpen = false;
    QByteArray onTheWire;
    // The first line is enough: the cable is pulled at once.
    rig.link.onSend = [&](QByteArrayView bytes) {
        onTheWire += bytes;
        rig.link.pull();
    };
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")), Qt::LeftButton);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    if (!focus.isEmpty()) {
        rig.control<QWidget>(focus)->setFocus();
        QTRY_VERIFY(rig.control<QWidget>(focus)->hasFocus());
    }

    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));

    QCOMPARE(titles(rig.dialogs.requests), dialogs);
    QCOMPARE(onTheWire, sent);
}

void MenusTest::actionFollowsItsButton_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<Button>("button");
    QTest::addColumn<bool>("atStart");

    QTest::newRow("Load file") << "loadAction" << Button::Load << true;
    QTest::newRow("Save file") << "saveAction" << Button::Save << true;
    QTest::newRow("Read data") << "readAction" << Button::Read << true;
    QTest::newRow("Write data, disabled until a read") << "writeAction" << Button::Write << false;
    QTest::newRow("Apply Wi-Fi") << "applyWifiAction" << Button::Apply << true;
    QTest::newRow("Restart") << "restartAction" << Button::Restart << true;
    QTest::newRow("Open firmware file") << "openFirmwareAction" << Button::OpenRom << true;
    QTest::newRow("Update firmware") << "updateFirmwareAction" << Button::Update << true;
}

// However a session enables or disables a button, its menu entry follows.
void MenusTest::actionFollowsItsButton()
{
    QFETCH(QString, action);
    QFETCH(Button, button);
    QFETCH(bool, atStart);

    WindowRig rig;
    auto *entry = rig.control<QAction>(action);
    QVERIFY(entry);
    QCOMPARE(entry->isEnabled(), atStart);
    rig.window->setEnabled(button, !atStart);
    QCOMPARE(entry->isEnabled(), !atStart);
    rig.window->setEnabled(button, atStart);
    QCOMPARE(entry->isEnabled(), atStart);
}

// The controls keep their designed places below the bar; the window grows by
// the bar's height.
void MenusTest::menuBarAboveTheClientArea()
{
    WindowRig rig;
    auto *bar = rig.control<QMenuBar>(QStringLiteral("menuBar"));
    QWidget *client = rig.control<QWidget>(QStringLiteral("MainWindow"));
    QVERIFY(bar->height() > 0);
    QCOMPARE(bar->geometry(), QRect(0, 0, 519, bar->height()));
    QCOMPARE(client->geometry(), QRect(0, bar->height(), 519, 502));
    QCOMPARE(rig.window->size(), QSize(519, 502 + bar->height()));
    QStringList menus;
    for (const QAction *menu : bar->actions())
        menus << menu->text();
    QCOMPARE(menus, (QStringList{"&File", "&Device", "&Help"}));
}

void MenusTest::dialogStartFolder_data()
{
    QTest::addColumn<bool>("systemProgramFolder");
    QTest::addColumn<bool>("documents"); // the user has a Documents folder
    QTest::addColumn<QString>("first");  // the button of an earlier dialog
    QTest::addColumn<QString>("chosen"); // in it; empty: cancelled
    QTest::addColumn<bool>("restarted");
    QTest::addColumn<QString>("start"); // of the next Load file

    QTest::newRow("the program's folder") << false << true << ""
                                          << "" << false << "bin";
    QTest::newRow("a system program folder: Documents") << true << true << ""
                                                        << "" << false << "home/Documents";
    QTest::newRow("a system program folder, no Documents: home") << true << false << ""
                                                                 << "" << false << "home";
    QTest::newRow("a second load starts in the first's folder") << false << false << "loadButton"
                                                                << "a/x.ini" << false << "a";
    QTest::newRow("after a save") << true << true << "saveButton"
                                  << "a/saved.ini" << false << "a";
    QTest::newRow("after a firmware image") << false << false << "openRomButton"
                                            << "a/image.bin" << false << "a";
    QTest::newRow("a cancelled dialog changes nothing") << false << false << "loadButton"
                                                        << "" << false << "bin";
    QTest::newRow("kept across starts") << false << false << "saveButton"
                                        << "a/saved.ini" << true << "a";
}

void MenusTest::dialogStartFolder()
{
    QFETCH(bool, systemProgramFolder);
    QFETCH(bool, documents);
    QFETCH(QString, first);
    QFETCH(QString, chosen);
    QFETCH(bool, restarted);
    QFETCH(QString, start);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("a")));
    QVERIFY(QDir(dir.path())
                .mkpath(documents ? QStringLiteral("home/Documents") : QStringLiteral("home")));
    // The user's folders are the test's own.
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        if (config.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
    qunsetenv("XDG_CONFIG_HOME");

    const QString program =
        systemProgramFolder ? QStringLiteral("/usr/bin") : dir.filePath(QStringLiteral("bin"));
    const QString ini = dir.filePath(QStringLiteral("XRVComm.ini"));
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(program, ini, dialogs, link);
    if (!first.isEmpty()) {
        dialogs.fileToChoose = chosen.isEmpty() ? QString() : dir.filePath(chosen);
        window->findChild<QPushButton *>(first)->click();
    }
    if (restarted) {
        window.reset();
        window = windowIn(program, ini, dialogs, link);
    }
    dialogs.clear();
    dialogs.fileToChoose.clear();

    window->findChild<QPushButton *>(QStringLiteral("loadButton"))->click();

    QCOMPARE(dialogs.requests.size(), 1);
    QCOMPARE(dialogs.requests.constFirst().directory, dir.filePath(start));
}

void MenusTest::recentFileLoadsAgain()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("XRVComm.ini"));
    const QString saved = dir.filePath(QStringLiteral("mine & yours.ini"));
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(dir.path(), ini, dialogs, link);
    auto *recent = window->findChild<QMenu *>(QStringLiteral("recentFilesMenu"));
    QCOMPARE(recent->actions().size(), 1);
    QVERIFY(!recent->actions().constFirst()->isEnabled());
    window->findChild<QPushButton *>(QStringLiteral("defaultButton"))->click();
    dialogs.fileToChoose = saved;
    window->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();

    window.reset();
    window = windowIn(dir.path(), ini, dialogs, link);
    recent = window->findChild<QMenu *>(QStringLiteral("recentFilesMenu"));
    QCOMPARE(recent->actions().size(), 1);
    QAction *entry = recent->actions().constFirst();
    QCOMPARE(entry->text(), QStringLiteral("&1 ") + QString(saved).replace("&", "&&"));
    entry->trigger();

    QCOMPARE(window->text(Field::Callsign), QStringLiteral("NOCALL"));
    QVERIFY(window->statusText().startsWith(saved + QStringLiteral("\r\n\r\n[TELX5]")));
}

void MenusTest::help_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("installed"); // the README beside the program
    QTest::addColumn<QString>("opened"); // under the temporary folder
    QTest::addColumn<QStringList>("message");

    QTest::newRow("About names the versions and the build")
        << "aboutAction" << false << QString()
        << QStringList{QStringLiteral("telx5-config 1.0.0"),
                       QStringLiteral("Qt %1").arg(QLatin1String(qVersion())),
                       QStringLiteral(" build, ")};
    QTest::newRow("the manual opens on the desktop")
        << "manualAction" << true << "share/doc/telx5-config/README.md" << QStringList();
    QTest::newRow("a manual not installed is named")
        << "manualAction" << false << QString()
        << QStringList{QStringLiteral("share/doc/telx5-config/README.md is missing")};
}

void MenusTest::help()
{
    QFETCH(QString, action);
    QFETCH(bool, installed);
    QFETCH(QString, opened);
    QFETCH(QStringList, message);

    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("bin")));
    const QString readme = dir.filePath(QStringLiteral("share/doc/telx5-config/README.md"));
    if (installed) {
        QVERIFY(QDir().mkpath(QFileInfo(readme).path()));
        QFile file(readme);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(dir.filePath(QStringLiteral("bin")), {}, dialogs, link);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    const auto unset =
        qScopeGuard([] { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); });

    window->findChild<QAction *>(action)->trigger();

    QCOMPARE(catcher.opened, opened.isEmpty()
                                 ? QList<QUrl>()
                                 : QList<QUrl>{QUrl::fromLocalFile(dir.filePath(opened))});
    QCOMPARE(dialogs.messages.size(), message.isEmpty() ? 0 : 1);
    for (const QString &part : message)
        QVERIFY2(dialogs.messages.constFirst().contains(part),
                 qPrintable(dialogs.messages.constFirst()));
}

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
