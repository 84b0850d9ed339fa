#include "backups.h"
#include "backupsdialog.h"
#include "comparedialog.h"
#include "delay.h"
#include "portlist.h"
#include "settingsfile.h"
#include "simrig.h"
#include "windowrig.h"
#include "writefixtures.h"

#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include <qpa/qwindowsysteminterface.h>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray ConnectLine = QByteArrayLiteral("\r\nSETUP#\r\n");
const QByteArray ReadLine = QByteArrayLiteral("AT+READ#\r\n");
const QByteArray Reboot = QByteArrayLiteral("REBOOT#\r\n");

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale Chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);

// A click as the window system delivers a real one: queued, for the event
// loop to take when it next takes the user's input.
void queueClick(QWidget *widget)
{
    QWindow *window = widget->window()->windowHandle();
    const QPointF at = widget->mapTo(widget->window(), widget->rect().center());
    const QPointF global = window->mapToGlobal(at);
    using Queued = QWindowSystemInterface::AsynchronousDelivery;
    QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::LeftButton,
                                                     Qt::LeftButton, QEvent::MouseButtonPress);
    QWindowSystemInterface::handleMouseEvent<Queued>(window, at, global, Qt::NoButton,
                                                     Qt::LeftButton, QEvent::MouseButtonRelease);
}

} // namespace

class TestSessionWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }

    void readFillsTheWindow_data();
    void readFillsTheWindow();
    void describedPortIsReadAndRememberedByItsPath();
    void readNamesWhatTheDeviceLeftOut_data();
    void readNamesWhatTheDeviceLeftOut();
    void readKeepsABackupToLoadBack_data();
    void readKeepsABackupToLoadBack();
    void compareWithFile_data();
    void compareWithFile();
    void readFromSilentDeviceCountsEveryAttempt();
    void secondReadPressCancels_data();
    void secondReadPressCancels();
    void unfinishedReadKeepsTheWindow_data();
    void unfinishedReadKeepsTheWindow();
    void writeSendsTheWindowsSettings_data();
    void writeSendsTheWindowsSettings();
    void applyWifi_data();
    void applyWifi();
    void restart_data();
    void restart();
    void portThatDoesNotOpenGuides_data();
    void portThatDoesNotOpenGuides();
    void pulledCableEndsTheCommand_data();
    void pulledCableEndsTheCommand();
};

void TestSessionWindow::readFillsTheWindow_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("shownStatus");
    QTest::addColumn<QString>("caption");
    // Empty: the device keeps its own.
    QTest::addColumn<QString>("comment");

    QTest::newRow("english") << English << QStringLiteral("reading")
                             << QStringLiteral("Connection OK\nReading 1/20Times......\nread ok")
                             << QStringLiteral("read data") << QString();
    QTest::newRow("chinese") << Chinese << QStringLiteral("读取中")
                             << QStringLiteral("Connection OK\nReading 1/20Times......\n读取成功")
                             << QStringLiteral("读取数据") << QString();
    // The window picks its code page at start-up, after its receive side is built.
    QTest::newRow("chinese comment")
        << Chinese << QStringLiteral("读取中")
        << QStringLiteral("Connection OK\nReading 1/20Times......\n读取成功")
        << QStringLiteral("读取数据") << QStringLiteral("你好 TELX5");
}

void TestSessionWindow::readFillsTheWindow()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, reading);
    QFETCH(QString, shownStatus);
    QFETCH(QString, caption);
    QFETCH(QString, comment);

    // The device must answer well inside one attempt's second.
    setDelayTimeScale(0.2);
    SimWindowRig rig;
    if (!comment.isEmpty())
        rig.sim.settings().setText(Field::Comment, comment);
    QVERIFY(rig.start(locale));
    QVERIFY(!rig.button("writeButton")->isEnabled());
    QStringList captionsWhileOpen;
    pressWhen(
        rig.sim, [&] { return rig.link.isOpen(); },
        [&] { captionsWhileOpen.append(rig.button("readButton")->text()); });

    rig.click("readButton");

    QCOMPARE(receivedSoFar(rig.sim), ConnectLine + ConnectLine + ReadLine);
    QCOMPARE(captionsWhileOpen, QStringList{reading});
    for (Field field : reportedFields())
        QCOMPARE(rig.window->text(field), rig.sim.settings().text(field));
    QCOMPARE(rig.window->findChild<QLineEdit *>(QStringLiteral("callsignEdit"))->text(),
             rig.sim.settings().text(Field::Callsign));
    QCOMPARE(rig.shownStatus(), shownStatus);
    QCOMPARE(rig.window->stepText(), QStringLiteral("Connection is successful\r\n"));
    QCOMPARE(rig.button("readButton")->text(), caption);
    QVERIFY(rig.button("writeButton")->isEnabled());
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.rememberedPort(), rig.sim.portPath());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

// The drop-down shows what the system tells of a port; the box, the port
// opened and the port remembered are its path.
void TestSessionWindow::describedPortIsReadAndRememberedByItsPath()
{
    setDelayTimeScale(0.2);
    SimWindowRig rig;
    QVERIFY(rig.start(English));
    auto *combo = rig.control<QComboBox>("portCombo");
    const Ports::PortFacts port{
        rig.sim.portPath(), QStringLiteral("CP2102"), true, {0x10c4, 0xea60}};
    fillPortList(combo, {port});
    combo->setEditText(QString());
    QCOMPARE(combo->itemData(0, Qt::DisplayRole).toString(),
             port.path + QStringLiteral(" \u2014 CP2102 (10c4:ea60)"));

    // Picked from the list with the keyboard, which leaves the list as it is.
    combo->setFocus();
    QTest::keyClick(combo, Qt::Key_Down);
    QCOMPARE(combo->currentText(), port.path);
    rig.click("readButton");

    QVERIFY(rig.button("writeButton")->isEnabled());
    QCOMPARE(rig.window->portText(), port.path);
    QCOMPARE(rig.rememberedPort(), port.path);
}

void TestSessionWindow::readNamesWhatTheDeviceLeftOut_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("shownStatus");

    QTest::newRow("english") << English
                             << QStringLiteral("Connection OK\nReading 1/20Times......\nread ok\n"
                                               "The device did not send: Tx time, Unit; the window "
                                               "keeps its values for them");
    QTest::newRow("chinese")
        << Chinese
        << QStringLiteral("Connection OK\nReading 1/20Times......\n读取成功\n设备未发送：发送间隔、"
                          "距离；窗口保留这些设置原有的值");
}

// The window keeps "read ok" for a read that ended with READ END, and names
// the settings the device left out: those keep the values the window held,
// never a blank a write would send; what the device sent stands.
void TestSessionWindow::readNamesWhatTheDeviceLeftOut()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, shownStatus);

    setDelayTimeScale(0.2);
    SimWindowRig rig;
    rig.sim.setReportedSettings({"CALLSIGN:", "PASS:", "DHCP:", "IP:", "MASK:", "GATE:", "DNS:",
                                 "POSITION:", "COMMENT TEXT:", "SERVER:", "FILTER:", "VER:",
                                 "FREQ:", "BACKLIGHT:", "DIGI:", "MOD:", "PATH:", "ALIAS:"});
    QVERIFY(rig.start(locale));
    rig.click("defaultButton");

    rig.click("readButton");

    QCOMPARE(rig.shownStatus(), shownStatus);
    QCOMPARE(rig.window->text(Field::SentTime), QStringLiteral("0600"));
    QCOMPARE(rig.window->text(Field::Callsign), QStringLiteral("N0CALL"));
    QVERIFY(rig.button("writeButton")->isEnabled());
}

void TestSessionWindow::readKeepsABackupToLoadBack_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("fromMenu"); // the status box's menu, or Ctrl+B
    QTest::addColumn<QString>("keptLine");
    QTest::addColumn<QStringList>("listed"); // callsign, reason and changes
    // The unit and alias code the device holds, one this program does not
    // know; the backup loaded back is then written to the device.
    QTest::addColumn<QString>("unknownCode");
    // The dialog's Close button, with its access key, and the message when no
    // program opens the folder.
    QTest::addColumn<QString>("closeText");
    QTest::addColumn<QString>("noOpener");

    const QString english =
        QStringLiteral("No program could open the folder. The backups are in:\n");
    QTest::newRow("english, from the status box's menu")
        << English << true << QStringLiteral("Backup kept: ")
        << QStringList{QStringLiteral("N0CALL-9"), QStringLiteral("after a read"),
                       QStringLiteral("first backup")}
        << QString() << QStringLiteral("&Close") << english;
    QTest::newRow("chinese, Ctrl+B")
        << Chinese << false << QStringLiteral("已保留备份：")
        << QStringList{QStringLiteral("N0CALL-9"), QStringLiteral("读取后"),
                       QStringLiteral("第一个备份")}
        << QString() << QStringLiteral("关闭(&C)")
        << QStringLiteral("没有程序能打开这个文件夹。备份在：\n");
    QTest::newRow("codes this program does not know, written back")
        << English << true << QStringLiteral("Backup kept: ")
        << QStringList{QStringLiteral("N0CALL-9"), QStringLiteral("after a read"),
                       QStringLiteral("first backup")}
        << QStringLiteral("0") << QStringLiteral("&Close") << english;
}

// Read data keeps what the device sent; "Backups…" lists it, and loads it
// back as Load file does.
void TestSessionWindow::readKeepsABackupToLoadBack()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, fromMenu);
    QFETCH(QString, keptLine);
    QFETCH(QStringList, listed);
    QFETCH(QString, unknownCode);
    QFETCH(QString, closeText);
    QFETCH(QString, noOpener);

    setDelayTimeScale(0.2);
    SimWindowRig rig;
    rig.backupFolder = rig.dir.filePath(QStringLiteral("backups"));
    if (!unknownCode.isEmpty()) {
        rig.sim.settings().setText(Field::Unit, unknownCode);
        rig.sim.settings().setText(Field::Alias, unknownCode);
    }
    QVERIFY(rig.start(locale));
    rig.click("readButton");

    const QList<Backups::Entry> kept = Backups::list(rig.backupFolder);
    QCOMPARE(kept.size(), 1);
    if (!unknownCode.isEmpty()) {
        QCOMPARE(rig.window->text(Field::Unit), QStringLiteral("code ") + unknownCode);
        QFile file(kept.first().path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray backup = file.readAll();
        const QByteArray code = unknownCode.toLatin1();
        QVERIFY2(backup.contains(QByteArray("\r\nUNIT:" + code + "\r\n")) &&
                     backup.contains(QByteArray("\r\nALIAS:" + code + "\r\n")),
                 backup.constData());
    }
    QVERIFY2(rig.shownStatus().endsWith(QLatin1Char('\n') + keptLine + kept.first().path),
             qPrintable(rig.shownStatus()));
    QTest::keyClicks(rig.window->findChild<QLineEdit *>(QStringLiteral("commentEdit")),
                     QStringLiteral(" edited"));

    if (fromMenu) {
        auto *statusBox = rig.window->findChild<QPlainTextEdit *>(QStringLiteral("statusBox"));
        QTimer::singleShot(0, &rig.sim, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QAction *last = menu->actions().constLast();
            // Closed first: a failed check must not leave the test in the menu.
            menu->close();
            if (last->objectName() == QLatin1String("backupsAction"))
                last->trigger();
        });
        Q_EMIT statusBox->customContextMenuRequested(QPoint(4, 4));
    } else {
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
        QTest::keyClick(rig.window.get(), Qt::Key_B, Qt::ControlModifier);
    }
    auto *dialog = rig.window->findChild<BackupsDialog *>();
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    auto *list = dialog->findChild<QTreeWidget *>(QStringLiteral("backupList"));
    QCOMPARE(list->topLevelItemCount(), 1);
    const QTreeWidgetItem *item = list->topLevelItem(0);
    QCOMPARE((QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}),
             QStringList{kept.first().date} + listed);
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "open");
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("openBackupFolderButton")),
                      Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(catcher.opened, QList<QUrl>{QUrl::fromLocalFile(rig.backupFolder)});
    QCOMPARE(dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Close)->text(),
             closeText);

    // A handler that cannot be called fails as a desktop without a file
    // manager does: the path is shown, and copied on request.
    QString shown;
    QTimer::singleShot(0, &rig.sim, [&shown] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        shown = box->text();
        for (QAbstractButton *button : box->buttons())
            if (button != box->button(QMessageBox::Ok))
                button->click();
        if (box->isVisible())
            box->close();
    });
    QGuiApplication::clipboard()->clear();
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("No such method")));
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &catcher, "none");
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("openBackupFolderButton")),
                      Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    QCOMPARE(shown, noOpener + rig.backupFolder);
    QCOMPARE(QGuiApplication::clipboard()->text(), rig.backupFolder);
    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("loadBackupButton")),
                      Qt::LeftButton);

    QCOMPARE(rig.window->text(Field::Comment), rig.sim.settings().text(Field::Comment));
    QVERIFY2(rig.shownStatus().startsWith(kept.first().path + QStringLiteral("\n\n[TELX5]\n")),
             qPrintable(rig.shownStatus()));
    QTRY_VERIFY(!rig.window->findChild<BackupsDialog *>());
    QVERIFY(rig.dialogs.messages.isEmpty());
    if (unknownCode.isEmpty())
        return;
    // A round trip leaves the device as it was.
    rig.click("writeButton");
    QVERIFY2(
        rig.shownStatus().endsWith(QStringLiteral("Verified: every setting reads back as written")),
        qPrintable(rig.shownStatus()));
    QCOMPARE(rig.sim.settings().text(Field::Unit), unknownCode);
    QCOMPARE(rig.sim.settings().text(Field::Alias), unknownCode);
}

void TestSessionWindow::compareWithFile_data()
{
    QTest::addColumn<bool>("answers");
    QTest::addColumn<QString>("statusEnd"); // after the window's own text
    // The file is a backup, compared from the Backups dialog.
    QTest::addColumn<bool>("fromBackups");

    QTest::newRow("device answers") << true << QString() << false;
    QTest::newRow("device never answers")
        << false << QStringLiteral("\nThe device did not send READ END: nothing was compared")
        << false;
    QTest::newRow("a backup, from the Backups dialog") << true << QString() << true;
}

// The device is read aside and set beside a settings file, from the status
// box's menu; the window keeps its own values until the file is loaded.
void TestSessionWindow::compareWithFile()
{
    QFETCH(bool, answers);
    QFETCH(QString, statusEnd);
    QFETCH(bool, fromBackups);

    setDelayTimeScale(answers ? 0.2 : 0.01);
    SimWindowRig rig;
    rig.sim.setSilent(!answers);
    rig.backupFolder = rig.dir.filePath(QStringLiteral("backups"));
    QVERIFY(QDir().mkpath(rig.backupFolder));
    QVERIFY(rig.start(English));
    SettingsRecord inFile = rig.sim.settings();
    inFile.setText(Field::Comment, QStringLiteral("from the file"));
    // An address the file's DHCP would not send differs all the same.
    inFile.setText(Field::Ip4, QStringLiteral("77"));
    QFile file(fromBackups
                   ? rig.backupFolder + QStringLiteral("/2026-12-07_15-42-10_N0CALL-9_read.ini")
                   : rig.dir.filePath(QStringLiteral("compared.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(SettingsFile::save(inFile, TextCodec()));
    file.close();
    rig.dialogs.fileToChoose = file.fileName();
    auto *comment = rig.window->findChild<QLineEdit *>(QStringLiteral("commentEdit"));
    QTest::keyClicks(comment, QStringLiteral("typed"));

    auto *statusBox = rig.window->findChild<QPlainTextEdit *>(QStringLiteral("statusBox"));
    if (fromBackups) {
        rig.window->findChild<QAction *>(QStringLiteral("backupsAction"))->trigger();
        auto *backups = rig.window->findChild<BackupsDialog *>();
        QVERIFY(backups);
        QTest::mouseClick(backups->findChild<QPushButton *>(QStringLiteral("compareBackupButton")),
                          Qt::LeftButton);
    } else {
        QTimer::singleShot(0, &rig.sim, [] {
            auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
            QVERIFY(menu);
            const QList<QAction *> actions = menu->actions();
            menu->close();
            for (QAction *action : actions) {
                if (action->objectName() == QLatin1String("compareWithFileAction"))
                    action->trigger();
            }
        });
        Q_EMIT statusBox->customContextMenuRequested(QPoint(4, 4));
    }

    QCOMPARE(comment->text(), QStringLiteral("typed"));
    QVERIFY(rig.dialogs.messages.isEmpty());
    auto *dialog = rig.window->findChild<CompareDialog *>();
    QVERIFY2(rig.shownStatus().endsWith(statusEnd), qPrintable(rig.shownStatus()));
    if (!answers) {
        QVERIFY(!dialog);
        return;
    }
    QVERIFY(dialog);
    QTRY_VERIFY(dialog->isVisible());
    auto *table = dialog->findChild<QTableWidget *>(QStringLiteral("compareTable"));
    QCOMPARE(table->rowCount(), 19);
    // Callsign first, as a file holds them; the comment is the one that differs.
    const auto row = [table](int at) {
        return QStringList{table->item(at, 0)->text(), table->item(at, 1)->text(),
                           table->item(at, 2)->text()};
    };
    QCOMPARE(row(0).at(1), row(0).at(2));
    QVERIFY(!table->item(0, 1)->font().bold());
    QCOMPARE(row(8), (QStringList{QStringLiteral("Status"), rig.sim.settings().text(Field::Comment),
                                  QStringLiteral("from the file")}));
    QVERIFY(table->item(8, 1)->font().bold());
    QVERIFY(table->item(3, 1)->font().bold());
    QVERIFY2(table->item(3, 1)->toolTip().contains(QStringLiteral("as the file sets DHCP")),
             qPrintable(table->item(3, 1)->toolTip()));

    QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("loadComparedFileButton")),
                      Qt::LeftButton);

    QCOMPARE(comment->text(), QStringLiteral("from the file"));
    QVERIFY2(rig.shownStatus().startsWith(file.fileName() + QStringLiteral("\n\n[TELX5]\n")),
             qPrintable(rig.shownStatus()));
    QTRY_VERIFY(!rig.window->findChild<CompareDialog *>());
}

void TestSessionWindow::readFromSilentDeviceCountsEveryAttempt()
{
    setDelayTimeScale(0.02);
    SimWindowRig rig;
    rig.sim.setSilent(true);
    QVERIFY(rig.start(English));
    QStringList shown;
    QObject::connect(rig.window->findChild<QPlainTextEdit *>(QStringLiteral("statusBox")),
                     &QPlainTextEdit::textChanged, &rig.sim,
                     [&] { shown.append(rig.shownStatus()); });

    rig.click("readButton");

    QCOMPARE(receivedSoFar(rig.sim), ConnectLine.repeated(20) + ReadLine.repeated(20));
    shown.removeAll(QString());
    shown.removeDuplicates();
    QStringList expected;
    for (int i = 1; i <= 20; ++i)
        expected.append(
            QStringLiteral("Please restart TELX5......Connection %1/20Times......").arg(i));
    for (int j = 1; j <= 20; ++j)
        expected.append(QStringLiteral("Connection OK\nReading %1/20Times......").arg(j));
    expected.append(expected.constLast() +
                    QStringLiteral("\nThe read did not complete: the window's settings are "
                                   "unchanged"));
    expected.append(expected.constLast() +
                    QStringLiteral("\nCheck that the device is on and its cable is plugged in, "
                                   "then press Read data again."));
    QCOMPARE(shown, expected);
    QCOMPARE(rig.button("readButton")->text().toLower(), QStringLiteral("read data"));
    QVERIFY(rig.button("writeButton")->isEnabled());
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.window->text(Field::Callsign), QString());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestSessionWindow::secondReadPressCancels_data()
{
    QTest::addColumn<bool>("queued");
    QTest::newRow("clicked at once") << false;
    // A real click waits in the window system's queue for the session's wait.
    QTest::newRow("queued by the window system") << true;
}

void TestSessionWindow::secondReadPressCancels()
{
    QFETCH(bool, queued);

    SimWindowRig rig;
    rig.sim.setConnectAfter(SimDevice::Never);
    QVERIFY(rig.start(English));
    if (queued) {
        rig.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    }
    pressWhen(
        rig.sim,
        [&] { return rig.window->statusText().contains(QStringLiteral("Connection 2/20")); },
        [&] {
            if (queued)
                return queueClick(rig.button("readButton"));
            rig.click("readButton");
        });

    rig.click("readButton");

    QCOMPARE(rig.dialogs.messages, QStringList{QStringLiteral("Port is open or no")});
    QCOMPARE(rig.button("readButton")->text(), QStringLiteral("Port is open"));
    QCOMPARE(rig.window->stepText(), QStringLiteral("test fail"));
    QVERIFY(rig.button("writeButton")->isEnabled());
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(receivedSoFar(rig.sim), ConnectLine.repeated(2));
}

void TestSessionWindow::unfinishedReadKeepsTheWindow_data()
{
    QTest::addColumn<QLocale>("locale");
    // What filled the window before the read: "nothing", "typed" (the
    // callsign), "loaded" (a file), "read" (a whole read), "read, edited"
    // (then the comment).
    QTest::addColumn<QString>("before");
    // "second press", "no READ END", or "port held": another exchange holds
    // the port, and the press takes it from that one.
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("statusLine"); // empty: the status box is left empty
    QTest::addColumn<QString>("refusal");    // Write's; empty: Write sends the window's settings

    // Each ending's line, then what to do next in a line of its own.
    const QString cancelled =
        QStringLiteral("The read was cancelled: the window's settings are unchanged\r\n"
                       "Press Read data to read the device again.");
    const QString unfinished =
        QStringLiteral("The read did not complete: the window's settings are unchanged\r\n"
                       "Check that the device is on and its cable is plugged in, then press "
                       "Read data again.");
    const QString refusal = QStringLiteral("Nothing was sent: the window holds no settings yet. "
                                           "Read the device, load a file or press Default first.");
    QTest::newRow("fresh window, cancelled: Write sends nothing")
        << English << "nothing"
        << "second press" << cancelled << refusal;
    QTest::newRow("fresh window, cancelled, chinese")
        << Chinese << "nothing"
        << "second press"
        << QStringLiteral("读取已取消：窗口中的设置未改变\r\n按“读取数据”再次读取设备。")
        << QStringLiteral("未发送任何数据：窗口中还没有设置。请先读取设备、载入文件或按“默认数据”"
                          "。");
    QTest::newRow("fresh window, no READ END: Write sends nothing")
        << English << "nothing"
        << "no READ END" << unfinished << refusal;
    QTest::newRow("read, cancelled: Write leaves the device as it was")
        << English << "read"
        << "second press" << cancelled << QString();
    QTest::newRow("read and edited, no READ END: Write sends the edit")
        << English << "read, edited"
        << "no READ END" << unfinished << QString();
    QTest::newRow("read, port held: the press takes it and changes nothing")
        << English << "read"
        << "port held" << QString() << QString();
    QTest::newRow("loaded, cancelled: Write sends the file's settings")
        << English << "loaded"
        << "second press" << cancelled << QString();
    QTest::newRow("typed, cancelled: Write sends what was typed")
        << English << "typed"
        << "second press" << cancelled << QString();
}

// A read that does not complete leaves the window's settings as they were,
// though they showed the device's values as these arrived; Write then sends
// those, and never the blanks a read begins with.
void TestSessionWindow::unfinishedReadKeepsTheWindow()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, before);
    QFETCH(QString, ending);
    QFETCH(QString, statusLine);
    QFETCH(QString, refusal);

    // The device must answer well inside one attempt's second.
    setDelayTimeScale(0.1);
    SimWindowRig rig;
    QVERIFY(rig.start(locale));
    if (before.startsWith(QLatin1String("read"))) {
        rig.click("readButton");
        QCOMPARE(rig.window->text(Field::Callsign), rig.sim.settings().text(Field::Callsign));
    }
    auto *comment = rig.control<QLineEdit>("commentEdit");
    if (before == QLatin1String("read, edited"))
        QTest::keyClicks(comment, QStringLiteral(" edited"));
    if (before == QLatin1String("typed"))
        QTest::keyClicks(rig.control<QLineEdit>("callsignEdit"), QStringLiteral("AB1C"));
    if (before == QLatin1String("loaded")) {
        SettingsRecord inFile = rig.sim.settings();
        inFile.setText(Field::Comment, QStringLiteral("from the file"));
        QFile file(rig.dir.filePath(QStringLiteral("loaded.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(SettingsFile::save(inFile, TextCodec()));
        file.close();
        rig.dialogs.fileToChoose = file.fileName();
        rig.click("loadButton");
        QCOMPARE(comment->text(), QStringLiteral("from the file"));
    }
    const SettingsRecord device = rig.sim.settings();
    const auto shown = [&rig] {
        QStringList texts;
        for (Field field : reportedFields())
            texts.append(rig.window->text(field));
        return texts;
    };
    const QStringList shownBefore = shown();
    QStringList commentsShown;
    QObject::connect(comment, &QLineEdit::textChanged, &rig.sim,
                     [&commentsShown](const QString &text) { commentsShown.append(text); });
    if (ending == QLatin1String("second press")) {
        rig.sim.setConnectAfter(SimDevice::Never);
        pressWhen(
            rig.sim,
            [&] { return rig.window->statusText().contains(QStringLiteral("Connection 2/20")); },
            [&] { rig.click("readButton"); });
    } else if (ending == QLatin1String("no READ END")) {
        rig.sim.setEndsReport(false);
    } else {
        QVERIFY(rig.link.open());
    }

    rig.click("readButton");

    if (ending == QLatin1String("no READ END"))
        QVERIFY(commentsShown.contains(device.text(Field::Comment)));
    QCOMPARE(shown(), shownBefore);
    QCOMPARE(comment->text(), shownBefore.at(reportedFields().indexOf(Field::Comment)));
    if (statusLine.isEmpty())
        QCOMPARE(rig.window->statusText(), QString());
    else
        QVERIFY2(rig.window->statusText().endsWith(QStringLiteral("\r\n") + statusLine),
                 qPrintable(rig.window->statusText()));
    QVERIFY(rig.button("writeButton")->isEnabled());

    QByteArray written;
    QObject::connect(&rig.link, &SerialLink::sent, &rig.sim,
                     [&written](const QByteArray &bytes) { written += bytes; });
    // A question about the values is answered Yes: only the refusal holds Write back.
    rig.dialogs.answer = true;
    rig.click("writeButton");

    if (!refusal.isEmpty()) {
        QCOMPARE(written, QByteArray());
        QVERIFY(!rig.dialogs.messages.isEmpty());
        QCOMPARE(rig.dialogs.messages.constLast(), refusal);
        QVERIFY(rig.window->statusText().endsWith(QStringLiteral("\r\n") + refusal));
        for (Field field : reportedFields())
            QCOMPARE(rig.sim.settings().text(field), device.text(field));
        return;
    }
    QVERIFY(written.startsWith("AT+CALL,"));
    // What the window held before the read is what the device holds now.
    const QList<Field> sent = before == QLatin1String("typed")
                                  ? QList<Field>{Field::Callsign}
                                  : SettingsTable::fields(Setting::Callsign) +
                                        QList<Field>{Field::Pass, Field::Position, Field::Comment,
                                                     Field::Server, Field::Freq};
    for (Field field : sent)
        QCOMPARE(rig.sim.settings().text(field), shownBefore.at(reportedFields().indexOf(field)));
    if (before == QLatin1String("read")) {
        for (Field field : reportedFields())
            QCOMPARE(rig.sim.settings().text(field), device.text(field));
    }
}

void TestSessionWindow::writeSendsTheWindowsSettings_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("ignored");
    QTest::addColumn<WriteFixture>("write");
    QTest::addColumn<QString>("status");

    const QString verified = QStringLiteral("\r\nVerified: every setting reads back as written");
    QTest::newRow("dhcp") << English << QString() << dhcpWrite()
                          << QStringLiteral("Writing......\r\nWrite complete") + verified;
    QTest::newRow("static address") << English << QString() << staticWrite()
                                    << QStringLiteral("Writing......\r\nWrite complete") + verified;
    // Without a backup (the simulated device keeps none) the line says so.
    const QString partOfNew = QStringLiteral(
        "\r\nThe device may hold part of the new settings. No backup of its settings was kept.");
    QTest::newRow("not confirmed")
        << English << QStringLiteral("AT+FREQ") << dhcpWrite()
        << QStringLiteral("Writing......Write fail，Please try again.\r\n") + partOfNew;
    QTest::newRow("chinese") << Chinese << QString() << staticWrite()
                             << QStringLiteral(
                                    "写入中......\r\n写入完成\r\n已核对：每项设置读回与写入一致");
    QTest::newRow("chinese, not confirmed")
        << Chinese << QStringLiteral("AT+FREQ") << dhcpWrite()
        << QStringLiteral("写入中......写入失败."
                          "请重试一遍\r\n\r\n设备可能只保存了部分新设置。设备的设置没有备份。");
    // The device confirms the last line, but one setting did not take.
    QTest::newRow("comment did not take")
        << English << QStringLiteral("AT+COMMENT") << dhcpWrite()
        << QStringLiteral("Writing......\r\nWrite complete\r\nStatus did not take: written "
                          "\"hello, world#1\", read back \"TELX5 iGate\"");
    // An entry is named with the code that carried it.
    QTest::newRow("unit did not take")
        << English << QStringLiteral("AT+UNIT") << dhcpWrite()
        << QStringLiteral("Writing......\r\nWrite complete\r\nUnit did not take: written "
                          "\"公里 (code 3)\", read back \"km (code 1)\"");
}

void TestSessionWindow::writeSendsTheWindowsSettings()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, ignored);
    QFETCH(WriteFixture, write);
    QFETCH(QString, status);

    SimWindowRig rig;
    const bool confirms = ignored != QLatin1String("AT+FREQ");
    if (!ignored.isEmpty())
        rig.sim.setIgnoredCommands({ignored});
    QVERIFY(rig.start(locale));
    rig.click("defaultButton");
    write.fill(*rig.window);
    // The static fixture leaves a DNS octet empty, an error the user is asked
    // about before the write: sent as it stands all the same.
    rig.dialogs.answer = true;

    rig.click("writeButton");

    // A confirmed write is read back: the setup line until CONNECT, then the read line.
    QCOMPARE(receivedSoFar(rig.sim),
             write.lines + (confirms ? ConnectLine + ConnectLine + ReadLine : QByteArray()));
    // The read-back fills a record of its own: the window keeps what the user wrote.
    for (const auto &[field, text] : write.window)
        QCOMPARE(rig.window->text(field), text);
    if (ignored.isEmpty()) {
        for (Field field : write.fields())
            QCOMPARE(rig.sim.settings().text(field), rig.window->text(field));
    }
    QCOMPARE(rig.window->statusText(), status);
    QCOMPARE(rig.button("writeButton")->text(),
             locale == Chinese ? QStringLiteral("写入数据") : QStringLiteral("Write data"));
    QVERIFY(!rig.link.isOpen());
    // A box only when a setting did not take.
    const QString untaken = ignored == QLatin1String("AT+COMMENT") ? QStringLiteral("Status")
                            : ignored == QLatin1String("AT+UNIT")  ? QStringLiteral("Unit")
                                                                   : QString();
    QCOMPARE(rig.dialogs.messages,
             untaken.isEmpty()
                 ? QStringList()
                 : QStringList{QStringLiteral("Settings that did not take: ") + untaken});
}

void TestSessionWindow::applyWifi_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("confirms");
    QTest::addColumn<bool>("confirmedBefore");
    // The question asked first, empty when none is, and the answer to it.
    QTest::addColumn<QString>("question");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("caption");

    const QString name = QStringLiteral("home net");
    const QString password = QStringLiteral("pa55word");
    const QByteArray wifi = QByteArrayLiteral("AT+WIFI,home net,pa55word#\r\n");
    const QString complete =
        QStringLiteral("WIFI Writing.....\r\nWIFI Write complete\r\nWIFI reset...\r\n");
    const QString apply = QStringLiteral("Apply");
    QTest::newRow("confirmed") << name << password << true << false << QString() << false
                               << wifi + Reboot << complete << apply;
    QTest::newRow("not confirmed")
        << name << password << false << false << QString() << false << wifi
        << QStringLiteral("WIFI Writing.....\r\nWIFI Write Fail\r\n") << apply;
    QTest::newRow("confirmed before the press") << name << password << false << true << QString()
                                                << false << wifi + Reboot << complete << apply;
    const QString sendThem = QStringLiteral("\n\n仍要发送给设备吗？");
    const QString noName = QStringLiteral("WIFI名字为空：设备将不知道要加入哪个网络。");
    const QString open = QStringLiteral("密码为空：设备将加入一个开放（无密码）的网络。");
    // No sends nothing, and the button keeps its caption.
    QTest::newRow("empty name, no") << QString() << password << true << false << noName + sendThem
                                    << false << QByteArray() << QString() << QStringLiteral("应用");
    QTest::newRow("empty name and password, no")
        << QString() << QString() << true << false << noName + QLatin1Char('\n') + open + sendThem
        << false << QByteArray() << QString() << QStringLiteral("应用");
    QTest::newRow("empty password, yes: an open network")
        << name << QString() << true << false << open + sendThem << true
        << QByteArrayLiteral("AT+WIFI,home net,#\r\n") + Reboot << complete << apply;
}

void TestSessionWindow::applyWifi()
{
    QFETCH(QString, name);
    QFETCH(QString, password);
    QFETCH(bool, confirms);
    QFETCH(bool, confirmedBefore);
    QFETCH(QString, question);
    QFETCH(bool, answer);
    QFETCH(QByteArray, sent);
    QFETCH(QString, status);
    QFETCH(QString, caption);

    SimWindowRig rig;
    if (!confirms)
        rig.sim.setIgnoredCommands({QStringLiteral("AT+WIFI")});
    QVERIFY(rig.start(Chinese));
    QTest::keyClicks(rig.window->findChild<QLineEdit *>(QStringLiteral("wifiSsidEdit")), name);
    QTest::keyClicks(rig.window->findChild<QLineEdit *>(QStringLiteral("wifiPasswordEdit")),
                     password);
    rig.window->flags().wifiWriteOk = confirmedBefore;
    rig.dialogs.answer = answer;

    rig.click("applyWifiButton");

    QCOMPARE(rig.dialogs.questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(receivedSoFar(rig.sim, sent), sent);
    QCOMPARE(rig.window->statusText(), status);
    QCOMPARE(rig.button("applyWifiButton")->text(), caption);
    QVERIFY(!rig.window->flags().wifiWriteOk);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestSessionWindow::restart_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("caption");

    QTest::newRow("port closed") << English << false << Reboot + Reboot
                                 << QStringLiteral("restart");
    QTest::newRow("port closed, chinese")
        << Chinese << false << Reboot + Reboot << QStringLiteral("restart");
    QTest::newRow("port open") << English << true << QByteArray() << QStringLiteral("Port is open");
}

void TestSessionWindow::restart()
{
    QFETCH(QLocale, locale);
    QFETCH(bool, portOpen);
    QFETCH(QByteArray, sent);
    QFETCH(QString, caption);

    SimWindowRig rig;
    QVERIFY(rig.start(locale));
    if (portOpen)
        QVERIFY(rig.link.open());

    rig.click("restartButton");

    QCOMPARE(receivedSoFar(rig.sim, sent), sent);
    QCOMPARE(rig.button("restartButton")->text(), caption);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void TestSessionWindow::pulledCableEndsTheCommand_data()
{
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("failure");
    // What the device may hold, after the loss: the job's last word.
    QTest::addColumn<QString>("holds");

    QTest::newRow("read, waiting for CONNECT")
        << QByteArray("readButton") << QString()
        << QStringLiteral("The read did not complete: the window's settings are unchanged\nCheck "
                          "that the device is on and its cable is plugged in, then press Read "
                          "data again.");
    QTest::newRow("write") << QByteArray("writeButton")
                           << QStringLiteral("Write fail，Please try again.")
                           << QStringLiteral("The device may hold part of the new settings. No "
                                             "backup of its settings was kept.");
    QTest::newRow("update, waiting for the reset")
        << QByteArray("updateButton") << QString() << QString();
}

// The cable is pulled while a command talks to the device: the command ends
// at once and says so, and the window is ready for the next one.
void TestSessionWindow::pulledCableEndsTheCommand()
{
    QFETCH(QByteArray, button);
    QFETCH(QString, failure);
    QFETCH(QString, holds);

    // The commands' own waits, at full length: the loss must not wait them out.
    setDelayTimeScale(1.0);
    SimWindowRig rig;
    rig.sim.setConnectAfter(SimDevice::Never);
    rig.sim.setIgnoredCommands({QStringLiteral("AT+RESET")});
    QVERIFY(rig.start());
    const QString port = rig.sim.portPath();
    rig.click("defaultButton");
    QFile image(rig.dir.filePath(QStringLiteral("firmware.bin")));
    QVERIFY(image.open(QIODevice::WriteOnly) && image.write(QByteArray(6000, '\x5A')) == 6000);
    image.close();
    rig.dialogs.fileToChoose = image.fileName();
    rig.click("openRomButton");

    QElapsedTimer sinceLoss;
    pressWhen(
        rig.sim, [&] { return rig.sim.received().size() >= 10; },
        [&] {
            rig.sim.vanish();
            sinceLoss.start();
        });
    rig.click(button.constData());
    const QString lossLine = QStringLiteral("Port %1 was disconnected").arg(port);
    const QString end = holds.isEmpty() ? lossLine : lossLine + QLatin1Char('\n') + holds;
    QTRY_VERIFY_WITH_TIMEOUT(rig.shownStatus().endsWith(end), 3000);

    QVERIFY2(sinceLoss.elapsed() < 2000, qPrintable(QString::number(sinceLoss.elapsed())));
    if (!failure.isEmpty())
        QVERIFY(rig.shownStatus().endsWith(failure + QLatin1Char('\n') + end));
    for (const char *name : {"readButton", "writeButton", "restartButton", "updateButton"})
        QVERIFY2(rig.button(name)->isEnabled(), name);
    QCOMPARE(rig.button("readButton")->text().toLower(), QStringLiteral("read data"));
    QCOMPARE(rig.button("updateButton")->text(), QStringLiteral("update"));
}

void TestSessionWindow::portThatDoesNotOpenGuides_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QByteArray>("button");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("guide");

    const QString guide = QStringLiteral(
        "Choose the device's port in the port list and check its cable; on Linux, join the "
        "dialout group (then log in again) if the port refuses you.");
    const QString missing = QStringLiteral("Cannot open /dev/telx5-missing: no such port");
    QTest::newRow("read, empty port box") << English << QString() << QByteArray("readButton")
                                          << QStringLiteral("No port chosen") << guide;
    QTest::newRow("read, missing port") << English << QStringLiteral("/dev/telx5-missing")
                                        << QByteArray("readButton") << missing << guide;
    QTest::newRow("read, missing port, chinese")
        << Chinese << QStringLiteral("/dev/telx5-missing") << QByteArray("readButton") << missing
        << QStringLiteral("请在端口列表中选择设备的端口并检查线缆；在 Linux 上，如果端口拒绝访问，"
                          "请加入 dialout 组（然后重新登录）。");
    QTest::newRow("write, empty port box") << English << QString() << QByteArray("writeButton")
                                           << QStringLiteral("No port chosen") << guide;
    QTest::newRow("restart, missing port") << English << QStringLiteral("/dev/telx5-missing")
                                           << QByteArray("restartButton") << missing << guide;
}

// The message box has one wording for every cause; the status box says which
// it was and, in a line of its own, what to try next. The last job's "100 %"
// and step count stood until this job started.
void TestSessionWindow::portThatDoesNotOpenGuides()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, port);
    QFETCH(QByteArray, button);
    QFETCH(QString, reason);
    QFETCH(QString, guide);

    SimWindowRig rig;
    QVERIFY(rig.start(locale));
    rig.click("defaultButton");
    rig.window->setPortText(port);
    rig.window->setProgressRange(0, 10);
    rig.window->setProgressValue(10);
    rig.window->setProgressText(QStringLiteral("100 %"));
    rig.window->setStepText(QStringLiteral("2/10"));
    auto *bar = rig.control<QProgressBar>("progressBar");
    auto *step = rig.control<QLineEdit>("stepBox");
    QCOMPARE(bar->text(), QStringLiteral("100 %"));

    rig.click(button.constData());

    QVERIFY(!bar->isTextVisible());
    QCOMPARE(bar->value(), 0);
    QCOMPARE(step->text(), QString());
    const QString status = rig.window->statusText();
    QVERIFY2(status.contains(reason + QStringLiteral("\r\n")), qPrintable(status));
    QVERIFY2(status.endsWith(QStringLiteral("\r\n") + guide), qPrintable(status));
}

QTEST_MAIN(TestSessionWindow)
#include "tst_sessionwindow.moc"
