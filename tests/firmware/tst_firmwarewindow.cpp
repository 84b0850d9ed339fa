#include "delay.h"
#include "windowrig.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

#include <optional>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray Probe = QByteArrayLiteral("\x5F\x00\x00\xF5");
const QByteArray Reboot = QByteArrayLiteral("REBOOT#\r\n");
const QString UpdateQuestion = QStringLiteral("The firmware update is running: closing now leaves "
                                              "the device in its boot loader. Close anyway?");
const QString WriteQuestion = QStringLiteral("A write is running: closing now may leave the device "
                                             "with part of the new settings. Close anyway?");

const QLocale English(QLocale::English, QLocale::UnitedStates);
const QLocale Chinese(QLocale::Chinese, QLocale::SimplifiedChineseScript, QLocale::China);

QByteArray image(qsizetype length)
{
    QByteArray bytes(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 13 + i / 2048) % 241);
    return bytes;
}

// The window with the simulated device, and what the firmware tests look at.
class Rig : public SimWindowRig
{
public:
    QString notice() const { return control<QLabel>("noticeLabel")->text(); }

    // Open ROM on a file with these bytes.
    void openRom(const QByteArray &bytes)
    {
        const QString name = dir.filePath(QStringLiteral("firmware.bin"));
        QFile file(name);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        file.close();
        dialogs.fileToChoose = name;
        click("openRomButton");
    }

    bool controlsEnabled() const
    {
        return control<QPushButton>("openRomButton")->isEnabled() &&
               control<QPushButton>("updateButton")->isEnabled() &&
               control<QPushButton>("openPortButton")->isEnabled() &&
               control<QComboBox>("portCombo")->isEnabled();
    }

    // The probes the device has received since the reboot command.
    int probesReceived() const
    {
        const QByteArray received = sim.received();
        const qsizetype reboot = received.indexOf(Reboot);
        return reboot < 0 ? 0 : int(received.mid(reboot).count(Probe));
    }
};

} // namespace

class TestFirmwareWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.1); }
    void cleanup() { setDelayTimeScale(1.0); }

    void updateStoresTheImage_data();
    void updateStoresTheImage();
    void resetNotConfirmedGoesOn();
    void noBootLoader_data();
    void noBootLoader();
    void silentBootLoader_data();
    void silentBootLoader();
    void shortImageRefused();
    void progressBarBetweenSessions();
    void finishInterruptedUpdate();
    void closeAsksWhileBusy_data();
    void closeAsksWhileBusy();
};

void TestFirmwareWindow::updateStoresTheImage_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("resendBlock");
    // The wire at 115200 baud: "REBOOT#" and the last block are still on it
    // when the port closes.
    QTest::addColumn<bool>("paced");

    QTest::newRow("three blocks") << English << qsizetype(5000) << int(SimDevice::Never) << false;
    QTest::newRow("whole blocks, last one padding")
        << English << qsizetype(6144) << int(SimDevice::Never) << false;
    QTest::newRow("chinese window") << Chinese << qsizetype(9000) << int(SimDevice::Never) << false;
    QTest::newRow("loader asks for block 0 again") << English << qsizetype(7000) << 0 << false;
    QTest::newRow("loader asks for block 2 again") << English << qsizetype(7000) << 2 << false;
    QTest::newRow("chinese window, loader asks for block 1 again")
        << Chinese << qsizetype(7000) << 1 << false;
    QTest::newRow("loader asks for the last block again")
        << English << qsizetype(5000) << 2 << false;
    QTest::newRow("paced line") << English << qsizetype(5000) << int(SimDevice::Never) << true;
}

void TestFirmwareWindow::updateStoresTheImage()
{
    QFETCH(QLocale, locale);
    QFETCH(qsizetype, length);
    QFETCH(int, resendBlock);
    QFETCH(bool, paced);

    Rig rig;
    rig.sim.setPacedLine(paced);
    QVERIFY(rig.start(locale));
    rig.sim.setResendBlock(resendBlock);
    // A setting of the user's own, which "AT+RESET#" erases.
    const QString comment = QStringLiteral("kept across the update");
    rig.sim.settings().setText(Field::Comment, comment);
    const QByteArray firmware = image(length);
    const int blocks = int(length / 2048) + 1;

    rig.openRom(firmware);
    QCOMPARE(rig.shownStatus(), QStringLiteral("文件：") + rig.dialogs.fileToChoose);
    QCOMPARE(rig.control<QProgressBar>("progressBar")->maximum(), blocks);

    bool lockedDuringTransfer = false;
    QStringList barTexts;
    auto *bar = rig.control<QProgressBar>("progressBar");
    auto *watch = new QTimer(&rig.sim);
    connect(watch, &QTimer::timeout, &rig.sim, [&] {
        if (bar->isTextVisible() && !barTexts.contains(bar->text()))
            barTexts.append(bar->text());
        bool locked =
            rig.sim.storedBlocks() >= 1 && !rig.control<QComboBox>("portCombo")->isEnabled();
        for (const char *name : {"openRomButton", "readButton", "writeButton", "applyWifiButton",
                                 "restartButton", "defaultButton", "saveButton", "loadButton"})
            locked = locked && !rig.button(name)->isEnabled();
        if (locked)
            lockedDuringTransfer = true;
    });
    watch->start(1);

    // Every reply of the loader has had its frame (header or block) by the
    // end of the receive event that brought it: none waits for a later tick.
    int unanswered = 0;
    bool answeredOnArrival = true;
    connect(&rig.link, &SerialLink::sent, &rig.sim, [&](const QByteArray &bytes) {
        if (bytes != Probe && !bytes.endsWith("\r\n"))
            --unanswered;
    });
    connect(&rig.link, &SerialLink::received, &rig.sim, [&](const QByteArray &bytes) {
        // The settings read before the update are text, with its own 'U's.
        if (rig.sim.mode() != SimDevice::Mode::BootLoader)
            return;
        unanswered += int(bytes.count('\xE5') + bytes.count('\xC5') + bytes.count('\x55'));
        answeredOnArrival = answeredOnArrival && unanswered == 0;
    });

    rig.click("updateButton");

    QTRY_COMPARE_WITH_TIMEOUT(rig.notice(), QStringLiteral("update complete update step:100%"),
                              20000);
    QVERIFY(answeredOnArrival);
    QTRY_COMPARE(rig.sim.bootImage(), firmware);
    QCOMPARE(rig.sim.storedBlocks(), blocks);
    QCOMPARE(bar->value(), blocks);
    QVERIFY(rig.controlsEnabled());
    QVERIFY(lockedDuringTransfer);
    // The bar says how far the transfer is, and at the end that it is whole.
    const QRegularExpression share(QStringLiteral("^(100|[1-9]?[0-9]) %"));
    QVERIFY2(barTexts.size() >= 2 && barTexts.filter(share).size() == barTexts.size(),
             qPrintable(barTexts.join(QLatin1Char('|'))));
    QCOMPARE(bar->text(), QStringLiteral("100 %"));
    // The settings read before "AT+RESET#" erased them are written back.
    QTRY_VERIFY_WITH_TIMEOUT(
        rig.shownStatus().endsWith(
            locale == Chinese ? QStringLiteral("升级完成；设置已恢复并核对；请重新应用WIFI设置")
                              : QStringLiteral("update complete; settings restored and verified; "
                                               "apply the Wi-Fi credentials again")),
        20000);
    QCOMPARE(rig.sim.settings().text(Field::Comment), comment);
    QVERIFY(!rig.link.isOpen());
    QCOMPARE(rig.control<QPushButton>("updateButton")->text(), QStringLiteral("update"));
    QVERIFY(rig.dialogs.messages.isEmpty());
    // The other commands are back as they were: Write still waits for a read.
    QVERIFY(rig.button("readButton")->isEnabled());
    QVERIFY(!rig.button("writeButton")->isEnabled());
}

void TestFirmwareWindow::resetNotConfirmedGoesOn()
{
    Rig rig;
    QVERIFY(rig.start());
    rig.sim.setIgnoredCommands({QStringLiteral("AT+RESET")});
    const QByteArray firmware = image(5000);
    rig.openRom(firmware);

    QString statusAtReboot;
    QString captionAtReboot;
    connect(&rig.sim, &SimDevice::lineReceived, &rig.sim, [&](const QByteArray &line) {
        if (line != "REBOOT#")
            return;
        statusAtReboot = rig.shownStatus();
        captionAtReboot = rig.control<QPushButton>("updateButton")->text();
    });

    rig.click("updateButton");

    QTRY_COMPARE_WITH_TIMEOUT(rig.sim.bootImage(), firmware, 20000);
    QCOMPARE(statusAtReboot, QStringLiteral("Reset eeram fail,Please try again.\n"));
    QCOMPARE(captionAtReboot, QStringLiteral("update"));
    QTRY_VERIFY(!rig.link.isOpen());
    QVERIFY(rig.controlsEnabled());
}

void TestFirmwareWindow::noBootLoader_data()
{
    QTest::addColumn<bool>("commentTakes");
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("never");
    // The settings the reset erased go back to the firmware that still runs.
    QTest::newRow("written back")
        << true
        << QStringLiteral("The update failed (Connect fail, Please try again.); the old firmware "
                          "runs, with its settings written back and verified")
        << QStringLiteral("differ");
    QTest::newRow("a setting that does not take back")
        << false
        << QStringLiteral("The update failed (Connect fail, Please try again.); the old firmware "
                          "runs, but these settings differ from those read before: Status")
        << QStringLiteral("verified");
}

void TestFirmwareWindow::noBootLoader()
{
    QFETCH(bool, commentTakes);
    QFETCH(QString, ending);
    QFETCH(QString, never);
    Rig rig;
    QVERIFY(rig.start());
    // The loader gives up at once and the firmware ignores the probes.
    rig.sim.setBootWindow(0);
    rig.sim.settings().setText(Field::Comment, QStringLiteral("Kept across"));
    if (!commentTakes)
        connect(&rig.sim, &SimDevice::lineReceived, &rig.sim, [&rig](const QByteArray &line) {
            if (line == "AT+RESET#")
                rig.sim.setIgnoredCommands({QStringLiteral("AT+COMMENT")});
        });
    rig.openRom(image(5000));

    QStringList steps;
    auto *watch = new QTimer(&rig.sim);
    connect(watch, &QTimer::timeout, &rig.sim, [&] {
        const QString step = rig.control<QLineEdit>("stepBox")->text();
        if (steps.value(steps.size() - 1) != step)
            steps.append(step);
    });
    watch->start(1);

    rig.click("updateButton");

    QTRY_VERIFY_WITH_TIMEOUT(rig.shownStatus().contains(ending), 40000);
    QVERIFY2(!rig.shownStatus().contains(never), qPrintable(rig.shownStatus()));
    QStringList counted;
    for (int tick = 1; tick <= 9; ++tick)
        counted.append(QStringLiteral("%1/10").arg(tick));
    // The tenth second's text comes with the failure itself.
    QCOMPARE(steps.mid(steps.indexOf(QStringLiteral("1/10")), 9), counted);
    QVERIFY(!rig.link.isOpen());
    QTRY_COMPARE(rig.probesReceived(), 9);
    QCOMPARE(rig.sim.settings().text(Field::Comment) == QLatin1String("Kept across"), commentTakes);
    QCOMPARE(rig.control<QPushButton>("updateButton")->text(), QStringLiteral("update"));
    QVERIFY(rig.controlsEnabled());
}

void TestFirmwareWindow::silentBootLoader_data()
{
    QTest::addColumn<int>("silentAfter");
    QTest::addColumn<int>("stored");
    QTest::addColumn<QString>("ending");
    // Each reply that late, in real milliseconds: the session's waits run at a tenth.
    QTest::addColumn<int>("replyDelay");

    // The loader holds part of the image: the way back is to finish it.
    QTest::newRow("after block 1")
        << 1 << 2
        << QStringLiteral("Update fail, no answer from the boot loader within 10 s of a "
                          "block\nThe device waits in its boot loader with part of the new "
                          "firmware. Nothing can finish this update: power the device off and "
                          "on, then update again.")
        << 0;
    // Nothing said about the last block: the loader took it, and the
    // settings go back.
    QTest::newRow("after the last block")
        << 4 << 5
        << QStringLiteral("update complete; settings restored and verified; apply the Wi-Fi "
                          "credentials again")
        << 0;
    // The loader has 10 s for each block: 8 s is in time, 12 s is not.
    QTest::newRow("every reply 8 s late")
        << int(SimDevice::Never) << 5
        << QStringLiteral("update complete; settings restored and verified; apply the Wi-Fi "
                          "credentials again")
        << 800;
    QTest::newRow("every reply 12 s late")
        << int(SimDevice::Never) << 1
        << QStringLiteral("Update fail, no answer from the boot loader within 10 s of a "
                          "block\nThe device waits in its boot loader with part of the new "
                          "firmware. Nothing can finish this update: power the device off and "
                          "on, then update again.")
        << 1200;
}

void TestFirmwareWindow::silentBootLoader()
{
    QFETCH(int, silentAfter);
    QFETCH(int, stored);
    QFETCH(QString, ending);
    QFETCH(int, replyDelay);

    Rig rig;
    QVERIFY(rig.start());
    rig.sim.setSilentAfterBlock(silentAfter);
    rig.sim.setBlockDelay(replyDelay);
    rig.openRom(image(9000));

    rig.click("updateButton");

    QTRY_VERIFY_WITH_TIMEOUT(rig.shownStatus().endsWith(QLatin1Char('\n') + ending), 40000);
    QCOMPARE(rig.sim.storedBlocks(), stored);
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.controlsEnabled());
    QCOMPARE(rig.control<QPushButton>("updateButton")->text(), QStringLiteral("update"));
    QCOMPARE(rig.control<QProgressBar>("progressBar")->value(), stored);
}

void TestFirmwareWindow::shortImageRefused()
{
    Rig rig;
    QVERIFY(rig.start());
    rig.openRom(image(4999));

    rig.click("updateButton");

    QCOMPARE(rig.shownStatus(), QStringLiteral("Please choose fireware\n"));
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.constFirst(), QStringLiteral("Please choose fireware"));
    QVERIFY(!rig.link.isOpen());
    QVERIFY(rig.sim.received().isEmpty());
    QCOMPARE(rig.control<QPushButton>("updateButton")->text(), QStringLiteral("update"));
}

void TestFirmwareWindow::progressBarBetweenSessions()
{
    Rig rig;
    QVERIFY(rig.start());
    auto *bar = rig.control<QProgressBar>("progressBar");
    QCOMPARE(bar->value(), 0);
    QCOMPARE(bar->maximum(), 100);

    // An image chosen sets the range; the bar moves only with a transfer.
    rig.openRom(image(11000));
    QCOMPARE(bar->maximum(), 6);
    QTest::qWait(100);
    QCOMPARE(bar->value(), 0);
}

// A second press of "update" stops it while the device is being reset; the
// window names the backup and offers to finish the update, which brings the
// image and the settings.
void TestFirmwareWindow::finishInterruptedUpdate()
{
    Rig rig;
    rig.backupFolder = rig.dir.filePath(QStringLiteral("backups"));
    rig.journalFolder = rig.dir.filePath(QStringLiteral("updates"));
    QVERIFY(rig.start());
    rig.sim.settings().setText(Field::Comment, QStringLiteral("Kept across"));
    const QByteArray firmware = image(9000);
    rig.openRom(firmware);
    auto *finish = rig.window->findChild<QAction *>(QStringLiteral("finishUpdateAction"));
    QVERIFY(finish && !finish->isEnabled());
    bool pressed = false;
    connect(&rig.sim, &SimDevice::lineReceived, &rig.sim, [&rig, &pressed](const QByteArray &line) {
        if (line == "AT+RESET#" && !std::exchange(pressed, true))
            QTimer::singleShot(0, &rig.sim, [&rig] { rig.click("updateButton"); });
    });

    rig.click("updateButton");

    QTRY_VERIFY_WITH_TIMEOUT(!rig.link.isOpen() && finish->isEnabled(), 20000);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QVERIFY2(rig.dialogs.messages.constFirst().contains(
                 QLatin1String("Device > Finish the interrupted update carries the update on and "
                               "writes them back")),
             qPrintable(rig.dialogs.messages.constFirst()));
    QCOMPARE(rig.sim.settings().text(Field::Comment), QStringLiteral("TELX5 iGate"));
    QVERIFY(rig.sim.bootImage().isEmpty());
    QCOMPARE(rig.button("updateButton")->text(), QStringLiteral("update"));

    rig.sim.settings().setText(Field::Comment, QStringLiteral("TELX5 iGate"));
    finish->trigger();

    const QLatin1String restored("update complete; settings restored and verified; apply the "
                                 "Wi-Fi credentials again");
    QTRY_VERIFY2_WITH_TIMEOUT(rig.shownStatus().endsWith(restored), qPrintable(rig.shownStatus()),
                              60000);
    QCOMPARE(rig.sim.bootImage(), firmware);
    QCOMPARE(rig.sim.settings().text(Field::Comment), QStringLiteral("Kept across"));
    QVERIFY(!finish->isEnabled());
    QVERIFY(rig.button("readButton")->isEnabled());
}

void TestFirmwareWindow::closeAsksWhileBusy_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("running"); // "update", "write" or nothing
    QTest::addColumn<bool>("answerYes");
    QTest::addColumn<QString>("question");

    QTest::newRow("update, no: it goes on to the end")
        << English << "update" << false << UpdateQuestion;
    QTest::newRow("update, yes: it stops, then the window closes")
        << English << "update" << true << UpdateQuestion;
    QTest::newRow("chinese window, update, no")
        << Chinese << "update" << false
        << QStringLiteral("固件升级正在进行：现在关闭会使设备停留在引导程序中。仍要关闭吗？");
    QTest::newRow("write, no: it goes on to the end")
        << English << "write" << false << WriteQuestion;
    QTest::newRow("write, yes: it stops, then the window closes")
        << English << "write" << true << WriteQuestion;
    QTest::newRow("nothing running: closes unasked") << English << QString() << false << QString();
}

void TestFirmwareWindow::closeAsksWhileBusy()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, running);
    QFETCH(bool, answerYes);
    QFETCH(QString, question);

    Rig rig;
    QVERIFY(rig.start(locale));
    rig.dialogs.answer = answerYes;
    const QByteArray firmware = image(9000);
    rig.openRom(firmware);
    rig.click("defaultButton");

    // The window is closed as the first block, or the first setting, leaves.
    bool closing = false;
    std::optional<bool> closed;
    connect(&rig.link, &SerialLink::sent, &rig.sim, [&](const QByteArray &bytes) {
        if (closing || !(bytes.size() == 2049 || bytes.startsWith("AT+CALL")))
            return;
        closing = true;
        QTimer::singleShot(0, &rig.sim, [&] { closed = rig.window->close(); });
    });
    if (running.isEmpty())
        closed = rig.window->close();
    else
        rig.click(running == QStringLiteral("update") ? "updateButton" : "writeButton");

    QTRY_VERIFY_WITH_TIMEOUT(closed.has_value(), 20000);
    QCOMPARE(rig.dialogs.questions, question.isEmpty() ? QStringList() : QStringList{question});
    // A running job is never cut off by the close itself: on Yes it stops
    // after the frame or line on the wire, says what the device holds, and
    // then the window closes.
    QCOMPARE(*closed, question.isEmpty());
    if (answerYes && !running.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(!rig.window->isVisible(), 5000);
        QVERIFY(!rig.link.isOpen());
        const QString holds = running == QStringLiteral("update")
                                  ? QStringLiteral("The device waits in its boot loader")
                                  : QStringLiteral("The device may hold part of the new settings");
        QCOMPARE(rig.dialogs.messages.size(), 1);
        QVERIFY2(rig.dialogs.messages.constFirst().startsWith(holds),
                 qPrintable(rig.dialogs.messages.constFirst()));
        QVERIFY(rig.sim.bootImage().isEmpty());
    } else if (running == QStringLiteral("update")) {
        QTRY_COMPARE_WITH_TIMEOUT(rig.sim.bootImage(), firmware, 20000);
        QTRY_COMPARE(rig.notice(), QStringLiteral("update complete update step:100%"));
    } else if (running == QStringLiteral("write")) {
        QTRY_VERIFY(rig.shownStatus().contains(QStringLiteral("Write complete")));
        QCOMPARE(rig.sim.settings().text(Field::Comment), QStringLiteral("TELX5 144.640MHz"));
    }
    // Once nothing runs, a close closes unasked.
    rig.dialogs.answer = false;
    QVERIFY(rig.window->close());
    QCOMPARE(rig.dialogs.questions.size(), question.isEmpty() ? 0 : 1);
}

QTEST_MAIN(TestFirmwareWindow)
#include "tst_firmwarewindow.moc"
