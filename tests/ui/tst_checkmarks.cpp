#include "delay.h"
#include "windowrig.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

namespace {

// Types into a box as the user does, its old text gone first.
void retype(QLineEdit *edit, const QString &text)
{
    edit->clear();
    QTest::keyClicks(edit, text);
}

// The passcode box's context menu, answered by `inMenu` while it is open.
void withPasscodeMenu(WindowRig &rig, const std::function<void(QMenu *)> &inMenu)
{
    auto *passcode = rig.control<QLineEdit>(QStringLiteral("passcodeEdit"));
    QTimer::singleShot(0, passcode, [inMenu] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        // Closed first: a failed check must not leave the test in the menu.
        menu->close();
        inMenu(menu);
    });
    Q_EMIT passcode->customContextMenuRequested(QPoint(4, 4));
}

} // namespace

class CheckMarksTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { setDelayTimeScale(0.01); }
    void cleanup() { setDelayTimeScale(1.0); }

    void typedValuesAreMarked_data();
    void typedValuesAreMarked();
    void menuSetsTheCallsignsPasscode_data();
    void menuSetsTheCallsignsPasscode();
    void writeAsksAboutErrors_data();
    void writeAsksAboutErrors();
    void compareIsEnabledWithRead();
    void freshWindowIsNotMarked();
};

void CheckMarksTest::typedValuesAreMarked_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("mark"); // empty, "warning" or "error"
    QTest::addColumn<QString>("tipHas");

    QTest::newRow("wrong passcode") << QStringLiteral("passcodeEdit") << QStringLiteral("12345")
                                    << QStringLiteral("warning") << QStringLiteral("13023");
    QTest::newRow("right passcode")
        << QStringLiteral("passcodeEdit") << QStringLiteral("13023") << QString() << QString();
    QTest::newRow("position decoded")
        << QStringLiteral("positionEdit") << QStringLiteral("!3035.00N/11417.00Er") << QString()
        << QStringLiteral("30°35.00′ N");
    QTest::newRow("latitude over 90")
        << QStringLiteral("positionEdit") << QStringLiteral("!9135.00N/11417.00Er")
        << QStringLiteral("error") << QStringLiteral("Error: ");
    // The lists that take typing are marked on their edit line.
    QTest::newRow("unit typed") << QStringLiteral("unitCombo") << QStringLiteral("xx")
                                << QStringLiteral("error") << QStringLiteral("code 2");
    QTest::newRow("backlight typed") << QStringLiteral("backlightCombo") << QStringLiteral("abc")
                                     << QStringLiteral("warning") << QStringLiteral("“abc”");
    QTest::newRow("server not a host")
        << QStringLiteral("serverCombo") << QStringLiteral("bad host!") << QStringLiteral("error")
        << QStringLiteral("host name");
    QTest::newRow("SSID 16") << QStringLiteral("ssidCombo") << QStringLiteral("16")
                             << QStringLiteral("error") << QStringLiteral("0 to 15");
}

// The defaults, then one box typed into: the box is marked as the checks
// judge it, its tooltip says why, and the typed value stays as typed.
void CheckMarksTest::typedValuesAreMarked()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, mark);
    QFETCH(QString, tipHas);

    WindowRig rig;
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")), Qt::LeftButton);
    retype(rig.control<QLineEdit>(QStringLiteral("callsignEdit")), QStringLiteral("n0call"));
    auto *owner = rig.control<QWidget>(box);
    auto *combo = qobject_cast<QComboBox *>(owner);
    auto *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(owner);
    retype(edit, typed);

    QCOMPARE(edit->text(), typed);
    // The checks run once the window takes its next events.
    QCoreApplication::processEvents();
    QCOMPARE(edit->property("checkMark").toString(), mark);
    QCOMPARE(edit->styleSheet().isEmpty(), mark.isEmpty());
    if (tipHas.isEmpty())
        QCOMPARE(owner->toolTip(), QString());
    else
        QVERIFY2(owner->toolTip().contains(tipHas), qPrintable(owner->toolTip()));
}

void CheckMarksTest::menuSetsTheCallsignsPasscode_data()
{
    QTest::addColumn<QString>("callsign");
    QTest::addColumn<bool>("offered");
    QTest::addColumn<QString>("passcode");

    QTest::newRow("N0CALL") << QStringLiteral("N0CALL") << true << QStringLiteral("13023");
    QTest::newRow("no callsign") << QString() << false << QStringLiteral("777");
}

void CheckMarksTest::menuSetsTheCallsignsPasscode()
{
    QFETCH(QString, callsign);
    QFETCH(bool, offered);
    QFETCH(QString, passcode);

    WindowRig rig;
    retype(rig.control<QLineEdit>(QStringLiteral("callsignEdit")), callsign);
    retype(rig.control<QLineEdit>(QStringLiteral("passcodeEdit")), QStringLiteral("777"));

    // Something to paste: Qt offers Paste only then.
    QGuiApplication::clipboard()->setText(QStringLiteral("12ab34"));
    bool pasteFound = false;
    bool pasteEnabled = false;
    bool setEnabled = false;
    withPasscodeMenu(rig, [&](QMenu *menu) {
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(QLineEdit::tr("&Paste"))) {
                pasteFound = true;
                pasteEnabled = action->isEnabled();
            }
        }
        QAction *set = menu->findChild<QAction *>(QStringLiteral("setPasscodeAction"));
        setEnabled = set->isEnabled();
        if (setEnabled)
            set->trigger();
    });

    QVERIFY(!pasteEnabled);
    QVERIFY(pasteFound);
    QCOMPARE(setEnabled, offered);
    QCOMPARE(rig.control<QLineEdit>(QStringLiteral("passcodeEdit"))->text(), passcode);
    QCOMPARE(rig.window->text(Field::Pass), passcode);
}

void CheckMarksTest::writeAsksAboutErrors_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("asked"); // in the question; empty: none asked
    QTest::addColumn<bool>("sends");

    const QString bad = QStringLiteral("!9135.00N/11417.00Er");
    const QString error = QStringLiteral("Position: ");
    QTest::newRow("error, No") << Field::Position << bad << false << error << false;
    QTest::newRow("error, Yes") << Field::Position << bad << true << error << true;
    QTest::newRow("no error") << Field::Position << QStringLiteral("!3035.00N/11417.00Er") << false
                              << QString() << true;
    // Told, and never sent, whatever the answer would be.
    QTest::newRow("a line feed") << Field::Comment << QStringLiteral("abc\nAT+RESET#\nxyz") << true
                                 << QString() << false;
    QTest::newRow("a #, Yes") << Field::Comment << QStringLiteral("a#b") << true
                              << QStringLiteral("The device may cut these values short:\n• "
                                                "Comment: Holds “#”")
                              << true;
    QTest::newRow("beyond the code page, No")
        << Field::Comment << QStringLiteral("\u4E2D\u6587") << false
        << QStringLiteral("• Comment: 2 characters cannot be sent") << false;
}

// Errors are asked about before Write sends anything; No leaves the device
// and the status box as they were.
void CheckMarksTest::writeAsksAboutErrors()
{
    QFETCH(Field, field);
    QFETCH(QString, text);
    QFETCH(bool, answer);
    QFETCH(QString, asked);
    QFETCH(bool, sends);

    WindowRig rig;
    rig.link.refuseOpen = false;
    QByteArray sent;
    rig.link.onSend = [&sent](QByteArrayView bytes) { sent += bytes.toByteArray(); };
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")), Qt::LeftButton);
    rig.window->setText(field, text);
    rig.dialogs.answer = answer;

    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("writeButton")), Qt::LeftButton);

    QCOMPARE(rig.dialogs.questions.size(), asked.isEmpty() ? 0 : 1);
    if (!asked.isEmpty()) {
        const QString question = rig.dialogs.questions.constFirst();
        QVERIFY2(question.contains(asked) && question.endsWith(QStringLiteral("\n\nWrite anyway?")),
                 qPrintable(question));
    }
    // A value that would change the command is named, not asked about.
    const bool changesCommand = text.contains(QLatin1Char('\n'));
    QCOMPARE(rig.dialogs.messages.size(), changesCommand ? 1 : 0);
    if (changesCommand)
        QVERIFY(rig.dialogs.messages.constFirst().contains(
            QStringLiteral("• Comment: Holds the control character U+000A")));
    QCOMPARE(sent.contains("AT+CALL,"), sends);
    // No to the question says what was left undone and what to do next.
    const QString notWritten =
        QStringLiteral("Nothing was written: mend the values listed and press Write data, or "
                       "press it again and answer Yes to write them as they are.");
    if (sends)
        QVERIFY(!rig.window->statusText().isEmpty());
    else
        QCOMPARE(rig.window->statusText(),
                 asked.isEmpty() ? QString() : QStringLiteral("\r\n") + notWritten);
}

// Whoever holds the Read button (a session, the firmware update) holds
// Compare with file as well.
void CheckMarksTest::compareIsEnabledWithRead()
{
    WindowRig rig;
    auto *compare = rig.window->findChild<QAction *>(QStringLiteral("compareWithFileAction"));
    QVERIFY(compare->isEnabled());
    rig.window->setEnabled(Button::Read, false);
    QVERIFY(!compare->isEnabled());
    rig.window->setEnabled(Button::Read, true);
    QVERIFY(compare->isEnabled());
}

void CheckMarksTest::freshWindowIsNotMarked()
{
    WindowRig rig;
    QCoreApplication::processEvents();
    for (const QLineEdit *edit : rig.window->findChildren<QLineEdit *>())
        QVERIFY2(edit->styleSheet().isEmpty(), qPrintable(edit->objectName()));
}

QTEST_MAIN(CheckMarksTest)
#include "tst_checkmarks.moc"
