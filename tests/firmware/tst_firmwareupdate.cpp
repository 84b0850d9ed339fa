#include "delay.h"
#include "fakehost.h"
#include "fakelink.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "simrig.h"

#include <QTemporaryDir>
#include <QtTest>

#include <functional>

using namespace telx5;
using namespace telx5::testing;

namespace {

const QByteArray ResetLine = QByteArrayLiteral("AT+RESET#\r\n");
const QByteArray RebootLine = QByteArrayLiteral("REBOOT#\r\n");
const QString Updating = QStringLiteral("update...");
const QString Update = QStringLiteral("update");
const QString HeaderSilence =
    QStringLiteral("Update fail, no answer from the boot loader within 30 s of the header");
const QString BlockSilence =
    QStringLiteral("Update fail, no answer from the boot loader within 10 s of a block");
const QString Complete = QStringLiteral("update complete");

class Host final : public FakeHost, public FirmwareHost
{
public:
    using FakeHost::FakeHost;

    void setProgressRange(int min, int max) override
    {
        progressMinimum = min;
        progressMaximum = max;
    }
    void setProgressValue(int value) override { progress = value; }
    void setNoticeText(const QString &text) override
    {
        if (notices.value(notices.size() - 1) != text)
            notices.append(text);
    }
    void setPortControlsEnabled(bool enabled) override { portControls = enabled; }
    void setStepText(const QString &text) override
    {
        FakeHost::setStepText(text);
        steps.append(text);
        if (onStep)
            onStep();
    }

    bool controlsEnabled() const
    {
        return isEnabled(Button::OpenRom) && isEnabled(Button::Update) && portControls;
    }

    int progressMinimum = 0;
    int progressMaximum = 100;
    int progress = 0;
    // Each new text of the notice label, in order.
    QStringList notices;
    bool portControls = true;
    // Every text of the step box, in order.
    QStringList steps;
    std::function<void()> onStep;
};

// A port with a scripted device behind it. Every probe, header and block
// frame is answered with the next reply of the script (nothing once the
// script has run out); the answer arrives as a separate receive event.
class ScriptedLink final : public FakeLink
{
public:
    ScriptedLink()
    {
        onSend = [this](QByteArrayView bytes) { answer(bytes.toByteArray()); };
    }

    QByteArray resetAnswer = QByteArrayLiteral("eeram reset\r\n");
    QList<QByteArray> replies;
    QList<QByteArray> sends;

private:
    void answer(const QByteArray &sent)
    {
        sends.append(sent);
        QByteArray answer;
        if (sent == ResetLine)
            answer = resetAnswer;
        else if (!sent.endsWith("\r\n") && !replies.isEmpty())
            answer = replies.takeFirst();
        if (!answer.isEmpty())
            QTimer::singleShot(0, this, [this, answer] { arrive(answer); });
    }
};

// An image whose blocks differ from each other and from the padding.
QByteArray image(qsizetype length)
{
    QByteArray bytes(length, '\0');
    for (qsizetype i = 0; i < length; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 2048) % 253);
    return bytes;
}

struct Rig
{
    Rig() : host(link), update(host, host, link, host.chain.hexLog(), host.chain.codec()) {}

    // Open ROM on a file with these bytes.
    void choose(const QByteArray &bytes)
    {
        const QString name = dir.filePath(QStringLiteral("firmware.bin"));
        QFile file(name);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
        file.close();
        host.dialogState.fileToChoose = name;
        update.openImage();
        padded = FirmwareImage::pad(bytes);
    }

    // What each frame sent after the reboot line was: "probe", "header" or
    // "block N".
    QStringList framesSent() const
    {
        QStringList names;
        const qsizetype reboot = link.sends.indexOf(RebootLine);
        for (qsizetype i = reboot + 1; reboot >= 0 && i < link.sends.size(); ++i)
            names.append(name(link.sends.at(i)));
        return names;
    }

    QString name(const QByteArray &frame) const
    {
        if (frame == FirmwareImage::probe())
            return QStringLiteral("probe");
        if (frame == FirmwareImage::header(update.imageLength()))
            return QStringLiteral("header");
        for (int block = 0; block < update.blockCount(); ++block) {
            if (frame == FirmwareImage::frame(padded, block))
                return QStringLiteral("block %1").arg(block);
        }
        return QString::fromLatin1(frame.toHex(' '));
    }

    bool finished() const { return !update.sessionRunning() && !update.waitingForBootLoader(); }

    QTemporaryDir dir;
    ScriptedLink link;
    Host host;
    FirmwareUpdate update;
    QByteArray padded;
};

} // namespace

class TestFirmwareUpdate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.05); }
    void cleanup() { setDelayTimeScale(1.0); }

    void openRom_data();
    void openRom();
    void openRomKeepsTheImageItCannotReplace_data();
    void openRomKeepsTheImageItCannotReplace();
    void updateRefusesShortImages_data();
    void updateRefusesShortImages();
    void transfer_data();
    void transfer();
    void staleReplyBeforeTheRebootIsNotAnswered();
    void progressLine_data();
    void progressLine();
    void progressText_data();
    void progressText();
    void resetConfirmation_data();
    void resetConfirmation();
    void noBootLoader();
    void silentBootLoaderEndsTheSession_data();
    void silentBootLoaderEndsTheSession();
    void secondPressCancels();
    void imageStaysDuringAnUpdate();
    void pressWhileWaitingForTheBootLoader();
    void pressAgainAfterACancelStartsAFreshLoader();
    void repliesOutsideASessionAreIgnored_data();
    void repliesOutsideASessionAreIgnored();
    void portThatCannotOpen();
};

void TestFirmwareUpdate::openRom_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<int>("maximum");

    QTest::newRow("5000 bytes") << qsizetype(5000) << 3;
    QTest::newRow("three whole blocks") << qsizetype(6144) << 4;
    QTest::newRow("largest") << qsizetype(524287) << 256;
    QTest::newRow("empty file") << qsizetype(0) << 1;
}

void TestFirmwareUpdate::openRom()
{
    QFETCH(qsizetype, length);
    QFETCH(int, maximum);

    Rig rig;
    rig.choose(image(length));

    QCOMPARE(rig.host.dialogState.requests.size(), 1);
    const Dialogs::FileRequest request = rig.host.dialogState.requests.constFirst();
    QCOMPARE(request.title, QStringLiteral("打开"));
    QCOMPARE(request.filter, QStringLiteral("Bin文件(*.bin)"));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("文件：") +
                 QDir::toNativeSeparators(rig.host.dialogState.fileToChoose));
    QCOMPARE(rig.host.progressMinimum, 0);
    QCOMPARE(rig.host.progressMaximum, maximum);
    QCOMPARE(rig.update.imageLength(), int(length));
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

void TestFirmwareUpdate::openRomKeepsTheImageItCannotReplace_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QString>("message");

    QTest::newRow("cancelled") << QString() << qsizetype(0) << QString();
    QTest::newRow("missing") << QStringLiteral("missing.bin") << qsizetype(0)
                             << QStringLiteral("Cannot read the firmware file ");
    QTest::newRow("a folder") << QStringLiteral("folder.bin") << qsizetype(0)
                              << QStringLiteral("Cannot read the firmware file ");
    QTest::newRow("too large for the header")
        << QStringLiteral("large.bin") << qsizetype(524288) << QStringLiteral("The firmware file ");
}

void TestFirmwareUpdate::openRomKeepsTheImageItCannotReplace()
{
    QFETCH(QString, file);
    QFETCH(qsizetype, length);
    QFETCH(QString, message);

    Rig rig;
    rig.choose(image(6000));
    const QString status = rig.host.record.statusText();

    QString path;
    if (!file.isEmpty()) {
        path = rig.dir.filePath(file);
        if (file == QStringLiteral("folder.bin")) {
            QVERIFY(QDir(rig.dir.path()).mkdir(file));
        } else if (length > 0) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QCOMPARE(out.write(image(length)), length);
        }
    }
    rig.host.dialogState.fileToChoose = path;
    rig.update.openImage();

    QCOMPARE(rig.update.imageLength(), 6000);
    QCOMPARE(rig.host.progressMaximum, 3);
    QCOMPARE(rig.host.record.statusText(), status);
    if (message.isEmpty()) {
        QVERIFY(rig.host.dialogState.messages.isEmpty());
    } else {
        QCOMPARE(rig.host.dialogState.messages.size(), 1);
        const QString shown = rig.host.dialogState.messages.constFirst();
        QVERIFY2(shown.startsWith(message), qPrintable(shown));
        QVERIFY2(shown.contains(QDir::toNativeSeparators(path)), qPrintable(shown));
    }
}

void TestFirmwareUpdate::updateRefusesShortImages_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<bool>("chosen");

    QTest::newRow("nothing chosen") << qsizetype(0) << false;
    QTest::newRow("empty file") << qsizetype(0) << true;
    QTest::newRow("4999 bytes") << qsizetype(4999) << true;
}

void TestFirmwareUpdate::updateRefusesShortImages()
{
    QFETCH(qsizetype, length);
    QFETCH(bool, chosen);

    Rig rig;
    if (chosen)
        rig.choose(image(length));
    rig.update.startUpdate();

    QCOMPARE(rig.host.record.statusText(), QStringLiteral("Please choose fireware\r\n"));
    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Please choose fireware")});
    QVERIFY(rig.link.sends.isEmpty());
    QVERIFY(!rig.link.opened);
    QCOMPARE(rig.host.caption(Button::Update), Update);
}

void TestFirmwareUpdate::transfer_data()
{
    QTest::addColumn<QList<QByteArray>>("replies");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<QString>("ending"); // the status box's last line

    const QByteArray e5 = QByteArrayLiteral("\xE5");
    const QByteArray c5 = QByteArrayLiteral("\xC5");
    const QByteArray again = QByteArrayLiteral("\x55");

    QTest::newRow("every block taken")
        << QList<QByteArray>{e5, c5, c5, c5}
        << QStringList{"probe", "header", "block 0", "block 1", "block 2"} << Complete;
    QTest::newRow("55 after the header sends block 0 twice")
        << QList<QByteArray>{e5, again, c5, c5, c5}
        << QStringList{"probe", "header", "block 0", "block 0", "block 1", "block 2"} << Complete;
    QTest::newRow("55 after block 0 sends it again")
        << QList<QByteArray>{e5, c5, again, c5, c5}
        << QStringList{"probe", "header", "block 0", "block 0", "block 1", "block 2"} << Complete;
    QTest::newRow("55 after block 1 sends it again")
        << QList<QByteArray>{e5, c5, c5, again, c5}
        << QStringList{"probe", "header", "block 0", "block 1", "block 1", "block 2"} << Complete;
    QTest::newRow("55 twice after the last block sends it twice again")
        << QList<QByteArray>{e5, c5, c5, c5, again, again}
        << QStringList{"probe", "header", "block 0", "block 1", "block 2", "block 2", "block 2"}
        << Complete;
    QTest::newRow("the same block asked for nine times is sent each time")
        << (QList<QByteArray>{e5, c5, c5} + QList<QByteArray>(9, again) + QList<QByteArray>{c5})
        << (QStringList{"probe", "header", "block 0", "block 1"} + QStringList(9, "block 1") +
            QStringList{"block 2"})
        << Complete;
    QTest::newRow("the same block asked for ten times ends the session")
        << (QList<QByteArray>{e5, c5, c5} + QList<QByteArray>(10, again))
        << (QStringList{"probe", "header", "block 0", "block 1"} + QStringList(9, "block 1"))
        << QStringLiteral("Update fail, the boot loader asked for block 1 again 10 times");
    QTest::newRow("two replies in one tick: the first is answered")
        << QList<QByteArray>{e5, QByteArrayLiteral("\xC5\xC5"), c5, c5}
        << QStringList{"probe", "header", "block 0", "block 1", "block 2"} << Complete;
    QTest::newRow("a stray byte before a reply is skipped")
        << QList<QByteArray>{e5, c5, QByteArrayLiteral("\x00\xC5"), QByteArrayLiteral("\x3F"), c5}
        << QStringList{"probe", "header", "block 0", "block 1"} << BlockSilence;
    QTest::newRow("a stray byte ahead of the answer waits for the next probe")
        << QList<QByteArray>{QByteArrayLiteral("\x00\xE5"), e5, c5, c5, c5}
        << QStringList{"probe", "probe", "header", "block 0", "block 1", "block 2"} << Complete;
    QTest::newRow("block requests before the header wait for the next probe")
        << QList<QByteArray>{c5, again, e5, c5, c5, c5}
        << QStringList{"probe", "probe", "probe", "header", "block 0", "block 1", "block 2"}
        << Complete;
}

void TestFirmwareUpdate::transfer()
{
    QFETCH(QList<QByteArray>, replies);
    QFETCH(QStringList, frames);
    QFETCH(QString, ending);

    Rig rig;
    rig.choose(image(5000));
    rig.link.replies = replies;
    rig.update.startUpdate();

    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QCOMPARE(rig.framesSent(), frames);
    QCOMPARE(rig.link.sends.mid(0, 2), (QList<QByteArray>{ResetLine, RebootLine}));
    QVERIFY(!rig.link.opened);
    QVERIFY(rig.host.controlsEnabled());
    QCOMPARE(rig.host.caption(Button::Update), Update);
    const bool complete = ending == Complete;
    QCOMPARE(rig.host.notices.value(rig.host.notices.size() - 1),
             complete ? QStringLiteral("update complete update step:100%")
                      : QStringLiteral("updating，don't remove power update step:67%"));
    QVERIFY2(rig.host.record.statusText().endsWith(QStringLiteral("\r\n") + ending),
             qPrintable(rig.host.record.statusText()));
}

// A 55 the loader sent too late for the last session reaches the next one's
// first open: it must not be taken for the new loader's reply.
void TestFirmwareUpdate::staleReplyBeforeTheRebootIsNotAnswered()
{
    const QList<QByteArray> replies{QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                                    QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xC5")};
    Rig rig;
    rig.choose(image(5000));
    rig.link.replies = replies;
    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);

    // Open ROM takes the next image once the first update has ended.
    rig.choose(image(7000));
    rig.link.resetAnswer = QByteArrayLiteral("\x55");
    rig.link.replies = replies + QList<QByteArray>{QByteArrayLiteral("\xC5")};
    rig.link.sends.clear();
    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);

    QCOMPARE(rig.host.dialogState.messages, QStringList());
    QCOMPARE(rig.link.sends.mid(0, 2), (QList<QByteArray>{ResetLine, RebootLine}));
    QCOMPARE(rig.framesSent(),
             (QStringList{"probe", "header", "block 0", "block 1", "block 2", "block 3"}));
    QVERIFY(rig.host.record.statusText().endsWith(Complete));
}

void TestFirmwareUpdate::progressLine_data()
{
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<QStringList>("notices");

    QTest::newRow("three blocks") << qsizetype(5000)
                                  << QStringList{"updating，don't remove power update step:33%",
                                                 "updating，don't remove power update step:67%",
                                                 "update complete update step:100%"};
    QTest::newRow("eight blocks") << qsizetype(8 * 2048 - 1)
                                  << QStringList{"updating，don't remove power update step:12%",
                                                 "updating，don't remove power update step:25%",
                                                 "updating，don't remove power update step:38%",
                                                 "updating，don't remove power update step:50%",
                                                 "updating，don't remove power update step:62%",
                                                 "updating，don't remove power update step:75%",
                                                 "updating，don't remove power update step:88%",
                                                 "update complete update step:100%"};
}

void TestFirmwareUpdate::progressLine()
{
    QFETCH(qsizetype, length);
    QFETCH(QStringList, notices);

    Rig rig;
    rig.choose(image(length));
    const int blocks = rig.update.blockCount();
    rig.link.replies = {QByteArrayLiteral("\xE5")};
    for (int block = 0; block < blocks; ++block)
        rig.link.replies.append(QByteArrayLiteral("\xC5"));

    // What the user sees between two blocks: the controls locked, the bar
    // at the count of blocks sent.
    QList<bool> lockedWhileSending;
    QList<int> bar;
    QObject::connect(&rig.link, &SerialLink::received, &rig.link, [&] {
        if (rig.update.blockIndex() >= 1) {
            lockedWhileSending.append(!rig.host.isEnabled(Button::OpenRom) &&
                                      !rig.host.isEnabled(Button::Update) &&
                                      !rig.host.portControls);
            bar.append(rig.host.progress);
        }
    });
    rig.update.startUpdate();

    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QCOMPARE(rig.host.notices, notices);
    QCOMPARE(lockedWhileSending, QList<bool>(blocks - 1, true));
    QList<int> expectedBar;
    for (int block = 1; block < blocks; ++block)
        expectedBar.append(block);
    QCOMPARE(bar, expectedBar);
    QCOMPARE(rig.host.progress, blocks);
    QVERIFY(rig.host.controlsEnabled());
}

void TestFirmwareUpdate::progressText_data()
{
    QTest::addColumn<int>("sent");
    QTest::addColumn<int>("count");
    QTest::addColumn<qint64>("sinceFirstBlockMs"); // -1: no block has gone yet
    QTest::addColumn<QString>("text");

    QTest::newRow("before the first block") << 0 << 3 << qint64(-1) << "0 %";
    QTest::newRow("first block on its way: no pace yet") << 1 << 3 << qint64(500) << "33 %";
    QTest::newRow("one block taken") << 2 << 3 << qint64(4000) << "67 % — 0:08 left";
    QTest::newRow("seconds rounded up") << 2 << 8 << qint64(1500) << "25 % — 0:11 left";
    QTest::newRow("minutes") << 11 << 256 << qint64(20000) << "4 % — 8:12 left";
    QTest::newRow("last block on its way") << 8 << 8 << qint64(7000) << "100 % — 0:01 left";
    QTest::newRow("transfer over") << 8 << 8 << qint64(-1) << "100 %";
}

void TestFirmwareUpdate::progressText()
{
    QFETCH(int, sent);
    QFETCH(int, count);
    QFETCH(qint64, sinceFirstBlockMs);
    QFETCH(QString, text);

    const auto since = sinceFirstBlockMs < 0 ? std::nullopt : std::optional(sinceFirstBlockMs);
    QCOMPARE(FirmwareUpdate::progressText(sent, count, since), text);
}

void TestFirmwareUpdate::resetConfirmation_data()
{
    QTest::addColumn<int>("answerAfterTry");
    QTest::addColumn<QString>("statusAfterReset");
    QTest::addColumn<QString>("captionAtReboot");

    QTest::newRow("in the first second")
        << 0 << QStringLiteral("Please wait auto update.\r\n0/10\r\nreset eeram OK\r\n")
        << Updating;
    QTest::newRow("in the third second")
        << 2 << QStringLiteral("Wait for reset eeram 2/5\r\n\r\nreset eeram OK\r\n") << Updating;
    QTest::newRow("in the fifth second")
        << 4 << QStringLiteral("Wait for reset eeram 4/5\r\n\r\nreset eeram OK\r\n") << Updating;
    QTest::newRow("never") << -1 << QStringLiteral("Reset eeram fail,Please try again.\r\n")
                           << Update;
}

void TestFirmwareUpdate::resetConfirmation()
{
    QFETCH(int, answerAfterTry);
    QFETCH(QString, statusAfterReset);
    QFETCH(QString, captionAtReboot);

    Rig rig;
    rig.choose(image(5000));
    rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                        QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xC5")};
    if (answerAfterTry != 0)
        rig.link.resetAnswer.clear();
    if (answerAfterTry > 0) {
        const QString waiting = QStringLiteral("Wait for reset eeram %1/5\r\n").arg(answerAfterTry);
        pressWhen(
            rig.link, [&rig, waiting] { return rig.host.record.statusText() == waiting; },
            [&] { Q_EMIT rig.link.received(QByteArrayLiteral("eeram reset\r\n")); });
    }
    QString statusAtReboot;
    QString caption;
    pressWhen(
        rig.link, [&] { return rig.link.sends.contains(RebootLine); },
        [&] {
            statusAtReboot = rig.host.record.statusText();
            caption = rig.host.caption(Button::Update);
        });

    rig.update.startUpdate();

    QCOMPARE(statusAtReboot, statusAfterReset);
    QCOMPARE(caption, captionAtReboot);
    const QStringList failures =
        rig.host.record.statusHistory.filter(QStringLiteral("Reset eeram fail"));
    QCOMPARE(failures.isEmpty(), answerAfterTry >= 0);
    // The reboot and the transfer follow either way.
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QCOMPARE(rig.framesSent(), (QStringList{"probe", "header", "block 0", "block 1", "block 2"}));
}

void TestFirmwareUpdate::noBootLoader()
{
    Rig rig;
    rig.choose(image(5000));
    bool openAtTenthStep = true;
    rig.host.onStep = [&] {
        if (rig.host.stepText() == QStringLiteral("10/10"))
            openAtTenthStep = rig.link.opened;
    };

    rig.update.startUpdate();

    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QStringList counted;
    for (int tick = 1; tick <= 10; ++tick)
        counted.append(QStringLiteral("%1/10").arg(tick));
    QCOMPARE(rig.host.steps, counted);
    QCOMPARE(rig.framesSent(), QStringList(9, QStringLiteral("probe")));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Wait for update\r\n10/10\r\nConnect fail, Please try again."));
    QVERIFY(!rig.link.opened);
    // The step box shows the tenth second before the port closes.
    QVERIFY(openAtTenthStep);
    QCOMPARE(rig.host.caption(Button::Update), Update);
    QVERIFY(rig.host.controlsEnabled());
}

void TestFirmwareUpdate::silentBootLoaderEndsTheSession_data()
{
    QTest::addColumn<int>("replies");
    QTest::addColumn<QStringList>("frames");
    QTest::addColumn<int>("bar");
    QTest::addColumn<QString>("ending");

    QTest::newRow("after the header") << 1 << QStringList{"probe", "header"} << 0 << HeaderSilence;
    QTest::newRow("after block 0")
        << 2 << QStringList{"probe", "header", "block 0"} << 1 << BlockSilence;
    QTest::newRow("after block 1")
        << 3 << QStringList{"probe", "header", "block 0", "block 1"} << 2 << BlockSilence;
}

void TestFirmwareUpdate::silentBootLoaderEndsTheSession()
{
    QFETCH(int, replies);
    QFETCH(QStringList, frames);
    QFETCH(int, bar);
    QFETCH(QString, ending);

    Rig rig;
    rig.choose(image(5000));
    rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                        QByteArrayLiteral("\xC5")};
    rig.link.replies = rig.link.replies.mid(0, replies);
    rig.update.startUpdate();

    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QCOMPARE(rig.framesSent(), frames);
    QVERIFY2(rig.host.record.statusText().endsWith(QStringLiteral("\r\n") + ending),
             qPrintable(rig.host.record.statusText()));
    QVERIFY(!rig.link.opened);
    QCOMPARE(rig.host.caption(Button::Update), Update);
    QVERIFY(rig.host.controlsEnabled());
    // The bar stays where the transfer stopped.
    QCOMPARE(rig.host.progress, bar);

    // A new session starts from the first block again.
    rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                        QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xC5")};
    rig.link.sends.clear();
    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    QCOMPARE(rig.framesSent(), (QStringList{"probe", "header", "block 0", "block 1", "block 2"}));
}

void TestFirmwareUpdate::secondPressCancels()
{
    Rig rig;
    rig.choose(image(5000));
    rig.link.resetAnswer.clear();
    pressWhen(
        rig.link,
        [&] {
            return rig.host.record.statusText() == QStringLiteral("Wait for reset eeram 1/5\r\n");
        },
        [&] { rig.update.startUpdate(); });

    rig.update.startUpdate();

    QVERIFY(!rig.link.opened);
    QCOMPARE(rig.link.sends, QList<QByteArray>{ResetLine});
    QCOMPARE(rig.host.caption(Button::Update), Update);
    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is use or no")});
    QVERIFY(rig.finished());
}

void TestFirmwareUpdate::pressWhileWaitingForTheBootLoader()
{
    Rig rig;
    rig.choose(image(5000));
    rig.host.onStep = [&] {
        if (rig.host.stepText() == QStringLiteral("3/10"))
            rig.update.startUpdate();
    };

    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);

    // The press closes the port and gives the caption back; the wait goes on
    // counting into the closed port and fails in its tenth second.
    QCOMPARE(rig.framesSent(), QStringList(2, QStringLiteral("probe")));
    QCOMPARE(rig.host.steps.constLast(), QStringLiteral("10/10"));
    QCOMPARE(rig.host.record.statusText(),
             QStringLiteral("Wait for update\r\n10/10\r\nConnect fail, Please try again."));
    QVERIFY(
        rig.host.record.statusHistory.contains(QStringLiteral("Please wait auto update.\r\n3/10")));
    QCOMPARE(rig.host.caption(Button::Update), Update);
    QVERIFY(!rig.link.opened);
    QVERIFY(rig.host.dialogState.messages.isEmpty());
}

// Cancelled once the header has gone and pressed again: the rebooted loader
// knows of no header, so its stale block request is not answered with a block.
void TestFirmwareUpdate::pressAgainAfterACancelStartsAFreshLoader()
{
    Rig rig;
    rig.choose(image(5000));
    const QByteArray header = *FirmwareImage::header(5000);
    // The first loader answers the probe and then falls silent; the second
    // one's first byte is a stale C5.
    rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArray(),
                        QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xE5"),
                        QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xC5"),
                        QByteArrayLiteral("\xC5")};
    pressWhen(
        rig.link, [&] { return rig.link.sends.contains(header); },
        [&] {
            rig.update.startUpdate();
            rig.update.startUpdate();
        });

    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);

    QCOMPARE(rig.link.sends.count(RebootLine), 2);
    QStringList frames;
    for (const QByteArray &frame : rig.link.sends.mid(rig.link.sends.lastIndexOf(RebootLine) + 1))
        frames.append(rig.name(frame));
    QCOMPARE(frames, (QStringList{"probe", "probe", "header", "block 0", "block 1", "block 2"}));
    QVERIFY(rig.host.record.statusText().endsWith(Complete));
}

void TestFirmwareUpdate::imageStaysDuringAnUpdate()
{
    Rig rig;
    rig.choose(image(5000));
    const QString first = rig.host.dialogState.fileToChoose;
    const QString second = rig.dir.filePath(QStringLiteral("other.bin"));
    QFile other(second);
    QVERIFY(other.open(QIODevice::WriteOnly));
    QCOMPARE(other.write(QByteArray(9000, '\x11')), qsizetype(9000));
    other.close();
    rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                        QByteArrayLiteral("\xC5"), QByteArrayLiteral("\xC5")};
    // The file dialog, opened while the boot loader was awaited, is answered
    // only once the blocks are going out.
    pressWhen(
        rig.link, [&] { return rig.update.blockIndex() == 1; },
        [&] {
            rig.host.dialogState.fileToChoose = second;
            rig.update.openImage();
        });

    rig.update.startUpdate();
    QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);

    QCOMPARE(rig.framesSent(), (QStringList{"probe", "header", "block 0", "block 1", "block 2"}));
    QCOMPARE(rig.update.imageLength(), 5000);
    QCOMPARE(rig.host.progressMaximum, 3);
    QCOMPARE(rig.host.dialogState.messages,
             QStringList{QStringLiteral(
                 "An update is running; choose the firmware file when it has ended.")});
    QVERIFY(!rig.host.record.statusHistory.contains(QStringLiteral("文件：") +
                                                    QDir::toNativeSeparators(second)));
    QVERIFY(rig.host.record.statusHistory.contains(QStringLiteral("文件：") +
                                                   QDir::toNativeSeparators(first)));
}

void TestFirmwareUpdate::portThatCannotOpen()
{
    Rig rig;
    rig.choose(image(5000));
    rig.link.refuseOpen = true;

    rig.update.startUpdate();

    QVERIFY(rig.link.sends.isEmpty());
    QCOMPARE(rig.host.dialogState.messages, QStringList{QStringLiteral("Port is use or no")});
    QCOMPARE(rig.host.caption(Button::Update), Update);
    QCOMPARE(rig.host.record.statusText(), QStringLiteral("Please wait auto update.\r\n0/10"));
    QVERIFY(rig.finished());
}

void TestFirmwareUpdate::repliesOutsideASessionAreIgnored_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QByteArray>("reply");

    for (const QString &before :
         {QStringLiteral("no session yet"), QStringLiteral("a completed session"),
          QStringLiteral("a silent boot loader")}) {
        QTest::newRow(qPrintable(before + QStringLiteral(", E5"))) << before << QByteArray("\xE5");
        QTest::newRow(qPrintable(before + QStringLiteral(", C5"))) << before << QByteArray("\xC5");
        QTest::newRow(qPrintable(before + QStringLiteral(", 55"))) << before << QByteArray("\x55");
    }
}

void TestFirmwareUpdate::repliesOutsideASessionAreIgnored()
{
    QFETCH(QString, before);
    QFETCH(QByteArray, reply);

    Rig rig;
    rig.choose(image(5000));
    if (before != QStringLiteral("no session yet")) {
        rig.link.replies = {QByteArrayLiteral("\xE5"), QByteArrayLiteral("\xC5"),
                            QByteArrayLiteral("\xC5")};
        if (before == QStringLiteral("a completed session"))
            rig.link.replies.append(QByteArrayLiteral("\xC5"));
        rig.update.startUpdate();
        QTRY_VERIFY_WITH_TIMEOUT(rig.finished(), 10000);
    }
    const QString notice = rig.host.notices.value(rig.host.notices.size() - 1);

    // Another command has the port; the device's first byte reads like a
    // boot loader's reply. No firmware goes into that exchange.
    rig.link.sends.clear();
    QVERIFY(rig.link.open());
    Q_EMIT rig.link.received(reply);
    rig.update.answerLoaderReplies();
    rig.update.answerLoaderReplies();

    QVERIFY(rig.link.sends.isEmpty());
    QVERIFY(rig.link.opened);
    QVERIFY(rig.host.controlsEnabled());
    QCOMPARE(rig.host.notices.value(rig.host.notices.size() - 1), notice);
}

QTEST_MAIN(TestFirmwareUpdate)
#include "tst_firmwareupdate.moc"
