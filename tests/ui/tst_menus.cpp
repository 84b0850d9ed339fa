#include "backupsdialog.h"
#include "comparedialog.h"
#include "windowrig.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

Q_DECLARE_METATYPE(telx5::Button)

namespace {

std::unique_ptr<MainWindow>
windowIn(const QString &programFolder, const QString &iniPath, Dialogs &dialogs, SerialLink &link,
         const QLocale &locale = QLocale(QLocale::English, QLocale::UnitedKingdom))
{
    MainWindow::Options options;
    options.locale = locale;
    options.iniPath = iniPath;
    options.programFolder = programFolder;
    return std::make_unique<MainWindow>(options, dialogs, &link);
}

// What is wrong with the access keys of one menu or dialog: two entries on
// one letter, or, where each must have one, an entry without; empty if nothing.
QString keyClash(const QStringList &texts, bool eachHasOne)
{
    QMap<QChar, QString> taken;
    for (const QString &text : texts) {
        const qsizetype amp = text.indexOf(QLatin1Char('&'));
        if (amp < 0 || amp + 1 >= text.size()) {
            if (eachHasOne)
                return text + QStringLiteral(" has none");
            continue;
        }
        const QChar key = text.at(amp + 1).toUpper();
        if (taken.contains(key))
            return taken.value(key) + QStringLiteral(" and ") + text;
        taken.insert(key, text);
    }
    return {};
}

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
    void accessKeysDiffer_data();
    void accessKeysDiffer();
    void everyControlIsNamed_data();
    void everyControlIsNamed();
};

void MenusTest::keysRunCommands_data()
{
    QTest::addColumn<QString>("focus"); // empty: where the window puts it
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("dialog");
    QTest::addColumn<QByteArray>("sent");

    QTest::newRow("Ctrl+O loads") << "" << (Qt::CTRL | Qt::Key_O).toCombined()
                                  << "Please choose fireware." << QByteArray();
    QTest::newRow("Ctrl+S saves") << "" << (Qt::CTRL | Qt::Key_S).toCombined() << "Save"
                                  << QByteArray();
    QTest::newRow("F5 reads") << "" << int(Qt::Key_F5) << "" << QByteArray("\r\nSETUP#\r\n");
    QTest::newRow("Enter on the Write button writes")
        << "writeButton" << int(Qt::Key_Return) << "" << QByteArray("AT+CALL,NOCALL-10#\r\n");
}

void MenusTest::keysRunCommands()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    QFETCH(QString, dialog);
    QFETCH(QByteArray, sent);

    WindowRig rig(QLocale(QLocale::English, QLocale::UnitedKingdom), QStringLiteral("/dev/pts/9"));
    rig.link.refuseOpen = false;
    QByteArray onTheWire;
    // The first line is enough: the cable is pulled at once.
    rig.link.onSend = [&](QByteArrayView bytes) {
        onTheWire += bytes;
        rig.link.pull();
    };
    rig.control<QPushButton>(QStringLiteral("defaultButton"))->click();
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
    if (!focus.isEmpty())
        rig.control<QWidget>(focus)->setFocus();

    QTest::keySequence(QApplication::focusWidget(), QKeySequence(key));

    QCOMPARE(rig.dialogs.requests.isEmpty() ? QString() : rig.dialogs.requests.constFirst().title,
             dialog);
    QCOMPARE(onTheWire, sent);
}

void MenusTest::actionFollowsItsButton_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<Button>("button");
    QTest::addColumn<bool>("atStart");

    QTest::newRow("Read data") << "readAction" << Button::Read << true;
    QTest::newRow("Write data, disabled until a read") << "writeAction" << Button::Write << false;
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
    QCOMPARE(entry->isEnabled(), atStart);
    rig.window->setEnabled(button, !atStart);
    QCOMPARE(entry->isEnabled(), !atStart);
}

// The controls keep their places below the bar; the window grows by its height.
void MenusTest::menuBarAboveTheClientArea()
{
    WindowRig rig;
    const int bar = rig.control<QMenuBar>(QStringLiteral("menuBar"))->height();
    QVERIFY(bar > 0);
    QCOMPARE(rig.control<QWidget>(QStringLiteral("MainWindow"))->geometry(),
             QRect(0, bar, 519, 502));
    QCOMPARE(rig.window->size(), QSize(519, 502 + bar));
}

void MenusTest::dialogStartFolder_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("userFolder"); // the test's own home, or its Documents
    QTest::addColumn<QString>("chosen");     // in a first Load file
    QTest::addColumn<QString>("start");      // of the next one

    QTest::newRow("the program's folder") << "bin"
                                          << "home"
                                          << ""
                                          << "bin";
    QTest::newRow("a system program folder: Documents") << "/usr/bin"
                                                        << "home/Documents"
                                                        << ""
                                                        << "home/Documents";
    QTest::newRow("a system program folder, no Documents: home") << "/usr/bin"
                                                                 << "home"
                                                                 << ""
                                                                 << "home";
    QTest::newRow("the first's folder") << "/usr/bin"
                                        << "home"
                                        << "a/x.ini"
                                        << "a";
}

void MenusTest::dialogStartFolder()
{
    QFETCH(QString, program);
    QFETCH(QString, userFolder);
    QFETCH(QString, chosen);
    QFETCH(QString, start);

    QTemporaryDir dir;
    for (const QString &folder : {QStringLiteral("bin"), QStringLiteral("a"), userFolder})
        QVERIFY(QDir(dir.path()).mkpath(folder));
    const QByteArray home = qgetenv("HOME");
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("HOME", home);
        qputenv("XDG_CONFIG_HOME", config);
    });
    qputenv("HOME", QFile::encodeName(dir.filePath(QStringLiteral("home"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("home/.config"))));
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(program.startsWith(QLatin1Char('/')) ? program : dir.filePath(program),
                           dir.filePath(QStringLiteral("XRVComm.ini")), dialogs, link);
    auto *load = window->findChild<QPushButton *>(QStringLiteral("loadButton"));
    dialogs.fileToChoose = chosen.isEmpty() ? QString() : dir.filePath(chosen);
    load->click();
    load->click();

    QCOMPARE(dialogs.requests.size(), 2);
    QCOMPARE(dialogs.requests.constLast().directory, dir.filePath(start));
}

// A file saved is offered again after a restart, and loads from the menu.
void MenusTest::recentFileLoadsAgain()
{
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("XRVComm.ini"));
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(dir.path(), ini, dialogs, link);
    window->findChild<QPushButton *>(QStringLiteral("defaultButton"))->click();
    dialogs.fileToChoose = dir.filePath(QStringLiteral("a&b.ini"));
    window->findChild<QPushButton *>(QStringLiteral("saveButton"))->click();

    window = windowIn(dir.path(), ini, dialogs, link);
    QAction *entry =
        window->findChild<QMenu *>(QStringLiteral("recentFilesMenu"))->actions().value(0);
    QCOMPARE(entry->text(), QStringLiteral("&1 ") + dir.filePath(QStringLiteral("a&&b.ini")));
    entry->trigger();
    QCOMPARE(window->text(Field::Callsign), QStringLiteral("NOCALL"));
}

void MenusTest::help_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("program"); // its folder
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QStringList>("shown"); // in the one message; empty: none
    QTest::addColumn<QString>("opened");    // the file shown

    QTest::newRow("About") << "aboutAction"
                           << "bin" << false
                           << QStringList{"telx5-config 1.0.0", QStringLiteral("Qt ") + qVersion(),
                                          " build, "}
                           << "";
    QTest::newRow("About in Chinese, whole")
        << "aboutAction"
        << "bin" << true
        << QStringList{"telx5-config 1.0.0", "通过串口配置 TELX5 系列 APRS 设备",
                       QStringLiteral("Qt ") + qVersion(), " 构建，"}
        << "";
    QTest::newRow("a manual not installed")
        << "manualAction"
        << "bin" << false << QStringList{"share/doc/telx5-config/README.md is missing"} << "";
    QTest::newRow("a build tree: the source's README")
        << "manualAction"
        << "build/src/ui" << false << QStringList() << "source/README.md";
}

void MenusTest::help()
{
    QFETCH(QString, action);
    QFETCH(QString, program);
    QFETCH(bool, chinese);
    QFETCH(QStringList, shown);
    QFETCH(QString, opened);

    QTemporaryDir dir;
    // A build tree of a source folder with a README, as CMake leaves them.
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("build/src/ui")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("source")));
    QFile cache(dir.filePath(QStringLiteral("build/CMakeCache.txt")));
    QVERIFY(cache.open(QIODevice::WriteOnly));
    cache.write("CMAKE_BUILD_TYPE:STRING=Debug\nCMAKE_HOME_DIRECTORY:INTERNAL=" +
                QFile::encodeName(dir.filePath(QStringLiteral("source"))) + '\n');
    cache.close();
    QFile readme(dir.filePath(QStringLiteral("source/README.md")));
    QVERIFY(readme.open(QIODevice::WriteOnly));
    readme.close();

    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    auto window = windowIn(dir.filePath(program), {}, dialogs, link,
                           chinese ? QLocale(QLocale::Chinese, QLocale::China)
                                   : QLocale(QLocale::English, QLocale::UnitedKingdom));
    dialogs.clear();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    window->findChild<QAction *>(action)->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(dialogs.messages.size(), shown.isEmpty() ? 0 : 1);
    for (const QString &part : shown)
        QVERIFY2(dialogs.messages.constFirst().contains(part),
                 qPrintable(part + QStringLiteral(" in ") + dialogs.messages.constFirst()));
    QCOMPARE(catcher.opened, opened.isEmpty()
                                 ? QList<QUrl>()
                                 : QList<QUrl>{QUrl::fromLocalFile(dir.filePath(opened))});
}

void MenusTest::accessKeysDiffer_data()
{
    QTest::addColumn<QLocale>("locale");
    // "menu bar" (each of its menus), "dialogs" (the Backups and Compare
    // dialogs' buttons), or a box whose context menu adds entries of its own.
    QTest::addColumn<QString>("place");
    QTest::addColumn<bool>("everyEntry"); // each entry has a key of its own
    QTest::addColumn<int>("keyed");       // entries with a key, all groups together

    for (const QLocale &locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::Chinese, QLocale::China)}) {
        const char *language = locale.language() == QLocale::Chinese ? "chinese" : "english";
        QTest::addRow("%s: menu bar", language) << locale << "menu bar" << true << -1;
        // Load, Compare, Open folder and Close; Load the file and Close.
        QTest::addRow("%s: dialogs", language) << locale << "dialogs" << true << 6;
        // Copy, Compare with file and Backups.
        QTest::addRow("%s: status box", language) << locale << "statusBox" << false << 3;
        // Undo, Redo, Cut, Copy, Paste and Set the callsign's passcode.
        QTest::addRow("%s: passcode", language) << locale << "passcodeEdit" << false << 6;
    }
}

// Alt and a letter runs an entry or presses a button: no two entries of one
// menu or dialog share their letter.
void MenusTest::accessKeysDiffer()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, place);
    QFETCH(bool, everyEntry);
    QFETCH(int, keyed);

    WindowRig rig(locale);
    QList<QStringList> groups;
    if (place == QLatin1String("menu bar")) {
        auto *bar = rig.window->findChild<QMenuBar *>(QStringLiteral("menuBar"));
        QVERIFY(bar);
        for (QAction *menuAction : bar->actions()) {
            QStringList texts;
            for (QAction *entry : menuAction->menu()->actions()) {
                if (!entry->isSeparator())
                    texts.append(entry->text());
            }
            groups.append(texts);
        }
    } else if (place == QLatin1String("dialogs")) {
        const SettingsRecord record;
        BackupsDialog backups(rig.dir.path(), {}, rig.window.get());
        CompareDialog compare(rig.dir.filePath(QStringLiteral("kb1.ini")), record, record,
                              rig.window.get());
        for (const QDialog *dialog :
             {static_cast<QDialog *>(&backups), static_cast<QDialog *>(&compare)}) {
            QStringList texts;
            for (const QPushButton *button : dialog->findChildren<QPushButton *>())
                texts.append(button->text());
            groups.append(texts);
        }
    } else {
        QStringList texts;
        QTimer::singleShot(0, rig.window.get(), [&texts] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            if (!menu)
                return;
            for (const QAction *action : menu->actions())
                texts.append(action->text().section(QLatin1Char('\t'), 0, 0));
            menu->close();
        });
        Q_EMIT rig.control<QWidget>(place)->customContextMenuRequested(QPoint(4, 4));
        groups.append(texts);
    }

    QVERIFY(!groups.isEmpty());
    qsizetype withKey = 0;
    for (const QStringList &texts : std::as_const(groups)) {
        QCOMPARE(keyClash(texts, everyEntry), QString());
        withKey += texts.filter(QStringLiteral("&")).size();
    }
    if (keyed >= 0)
        QCOMPARE(withKey, keyed);
}

void MenusTest::everyControlIsNamed_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::newRow("english") << QLocale(QLocale::English, QLocale::UnitedStates);
    QTest::newRow("chinese") << QLocale(QLocale::Chinese, QLocale::China);
}

// A screen reader finds a name for every control the user sees, in the
// window's language, and a description for the status box.
void MenusTest::everyControlIsNamed()
{
    QFETCH(QLocale, locale);

    WindowRig rig(locale);
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    const QRect inWindow = rig.window->rect();
    int walked = 0;
    QStringList unnamed;
    for (QWidget *control : rig.window->findChildren<QWidget *>()) {
        const bool input =
            qobject_cast<QLineEdit *>(control) || qobject_cast<QComboBox *>(control) ||
            qobject_cast<QAbstractButton *>(control) || qobject_cast<QPlainTextEdit *>(control) ||
            qobject_cast<QProgressBar *>(control);
        // A combo box's edit line is named by its box.
        if (!input || qobject_cast<QComboBox *>(control->parentWidget()) || !control->isVisible() ||
            !inWindow.intersects(
                QRect(control->mapTo(rig.window.get(), QPoint()), control->size())))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
        QVERIFY(accessible);
        if (accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed.append(control->objectName());
        ++walked;
    }
    QCOMPARE(unnamed, QStringList());
    QVERIFY(walked > 40);
    auto *status = rig.control<QPlainTextEdit>(QStringLiteral("statusBox"));
    QVERIFY(
        !QAccessible::queryAccessibleInterface(status)->text(QAccessible::Description).isEmpty());
    const QString passcode = QAccessible::queryAccessibleInterface(
                                 rig.control<QLineEdit>(QStringLiteral("passcodeEdit")))
                                 ->text(QAccessible::Name);
    QCOMPARE(passcode, locale.language() == QLocale::Chinese ? QStringLiteral("密码")
                                                             : QStringLiteral("Pass"));
}

QTEST_MAIN(MenusTest)
#include "tst_menus.moc"
