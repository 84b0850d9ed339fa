#include "windowrig.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QtTest>

#include <memory>

using namespace telx5;
using namespace telx5::testing;

Q_DECLARE_METATYPE(telx5::Field)

namespace {

QList<QLineEdit *> octetBoxes(const WindowRig &rig)
{
    QList<QLineEdit *> boxes;
    for (const QString &box : WindowRig::octetBoxNames())
        boxes << rig.control<QLineEdit>(box);
    return boxes;
}

QList<bool> enabledStates(const QList<QLineEdit *> &boxes)
{
    QList<bool> states;
    for (QLineEdit *box : boxes)
        states << box->isEnabled();
    return states;
}

// Types as a keyboard does; QTest names keys for ASCII characters only.
void type(QWidget *widget, const QString &text)
{
    for (const QChar character : text) {
        if (character.unicode() < 128) {
            QTest::keyClick(widget, static_cast<char>(character.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(character),
                                Qt::NoModifier);
        }
    }
}

QList<bool> all(bool enabled)
{
    return QList<bool>(16, enabled);
}

} // namespace

class EntryRulesTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typed_data();
    void typed();
    void keysThatDoNotType_data();
    void keysThatDoNotType();
    void ctrlASelectsAll_data();
    void ctrlASelectsAll();
    void copyAndCut_data();
    void copyAndCut();
    void dropCopiesAndKeepsTheSource_data();
    void dropCopiesAndKeepsTheSource();
    void statusBoxIsReadOnly();
    void setByProgram_data();
    void setByProgram();
    void pasted_data();
    void pasted();
    void pasteRoutes_data();
    void pasteRoutes();
    void typingIntoOverlongText();
    void setStraightIntoTheBox_data();
    void setStraightIntoTheBox();
    void addressModePicked_data();
    void addressModePicked();
    void addressModeNotPicked_data();
    void addressModeNotPicked();
};

namespace {

// The record behind a box the tables type into.
Field fieldOf(const QString &control)
{
    static const QHash<QString, Field> Fields{
        {QStringLiteral("callsignEdit"), Field::Callsign},
        {QStringLiteral("passcodeEdit"), Field::Pass},
        {QStringLiteral("sentTimeEdit"), Field::SentTime},
        {QStringLiteral("freqEdit"), Field::Freq},
        {QStringLiteral("commentEdit"), Field::Comment},
        {QStringLiteral("filterEdit"), Field::Filter},
        {QStringLiteral("wifiSsidEdit"), Field::WifiSsid},
    };
    return Fields.value(control);
}

} // namespace

void EntryRulesTest::typed_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");

    QTest::newRow("callsign upper-cased") << "callsignEdit"
                                          << "nocall"
                                          << "NOCALL";
    QTest::newRow("callsign digits and dash pass") << "callsignEdit"
                                                   << "b1-x"
                                                   << "B1-X";
    QTest::newRow("callsign seventh key refused") << "callsignEdit"
                                                  << "bg7xyzq"
                                                  << "BG7XYZ";
    QTest::newRow("callsign non-ASCII letter unchanged") << "callsignEdit"
                                                         << "bä"
                                                         << "Bä";
    QTest::newRow("interval drops letters") << "sentTimeEdit"
                                            << "12a3"
                                            << "123";
    QTest::newRow("interval drops a space") << "sentTimeEdit"
                                            << " "
                                            << "";
    QTest::newRow("interval sixth digit refused") << "sentTimeEdit"
                                                  << "123456"
                                                  << "12345";
    QTest::newRow("passcode digits only") << "passcodeEdit"
                                          << "4x0-4 17"
                                          << "40417";
    QTest::newRow("frequency with a point") << "freqEdit"
                                            << "144.640"
                                            << "144.640";
    QTest::newRow("frequency with a slash") << "freqEdit"
                                            << "144/64"
                                            << "144/64";
    QTest::newRow("frequency drops minus and comma") << "freqEdit"
                                                     << "-144,64"
                                                     << "14464";
    QTest::newRow("frequency ninth key refused") << "freqEdit"
                                                 << "144.64000"
                                                 << "144.6400";
    QTest::newRow("comment keeps case") << "commentEdit"
                                        << "abc"
                                        << "abc";
    QTest::newRow("filter at most 16") << "filterEdit"
                                       << "b/TELX5 b/TELX55x"
                                       << "b/TELX5 b/TELX55";
    QTest::newRow("Wi-Fi name at most 20") << "wifiSsidEdit"
                                           << "abcdefghijklmnopqrstuv"
                                           << "abcdefghijklmnopqrst";
}

void EntryRulesTest::typed()
{
    QFETCH(QString, control);
    QFETCH(QString, keys);
    QFETCH(QString, shown);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    type(edit, keys);
    QCOMPARE(edit->text(), shown);
    // What the user typed is what Write and Save take.
    QCOMPARE(rig.window->record().text(fieldOf(control)), shown);
}

void EntryRulesTest::keysThatDoNotType_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("after");

    const int ctrl = Qt::ControlModifier;
    QTest::newRow("backspace in the interval") << "sentTimeEdit"
                                               << "123" << int(Qt::Key_Backspace) << 0 << "12";
    QTest::newRow("backspace in the frequency") << "freqEdit"
                                                << "144.6" << int(Qt::Key_Backspace) << 0 << "144.";
    QTest::newRow("undo has no effect in the interval") << "sentTimeEdit"
                                                        << "123" << int(Qt::Key_Z) << ctrl << "123";
    QTest::newRow("undo works in the callsign") << "callsignEdit"
                                                << "AB" << int(Qt::Key_Z) << ctrl << "";
}

void EntryRulesTest::keysThatDoNotType()
{
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, after);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, before);
    if (modifiers == Qt::ControlModifier && key != Qt::Key_Z)
        edit->selectAll();
    QTest::keyClick(edit, static_cast<Qt::Key>(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(edit->text(), after);
}

void EntryRulesTest::ctrlASelectsAll_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("passcode") << "passcodeEdit";
    QTest::newRow("frequency") << "freqEdit";
}

// Ctrl+A selects in the boxes whose key filter drops control codes.
void EntryRulesTest::ctrlASelectsAll()
{
    QFETCH(QString, control);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, QStringLiteral("123"));
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_4);
    QCOMPARE(edit->text(), QStringLiteral("4"));
}

void EntryRulesTest::copyAndCut_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("after");

    for (const char *box : {"passcodeEdit", "sentTimeEdit", "freqEdit", "callsignEdit"}) {
        QTest::addRow("%s: copy", box) << box << int(Qt::Key_C) << "123";
        QTest::addRow("%s: cut", box) << box << int(Qt::Key_X) << "";
    }
}

// Ctrl+C and Ctrl+X work in every box: only what may be pasted is limited.
void EntryRulesTest::copyAndCut()
{
    QFETCH(QString, control);
    QFETCH(int, key);
    QFETCH(QString, after);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, QStringLiteral("123"));
    QGuiApplication::clipboard()->clear();
    edit->selectAll();
    QTest::keyClick(edit, static_cast<Qt::Key>(key), Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("123"));
    QCOMPARE(edit->text(), after);
}

void EntryRulesTest::dropCopiesAndKeepsTheSource_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    QTest::newRow("full callsign: nothing inserted") << "callsignEdit"
                                                     << "BG7ABC"
                                                     << "BG7ABC";
    QTest::newRow("callsign with room") << "callsignEdit"
                                        << "BG7"
                                        << "BG7XY";
    QTest::newRow("comment") << "commentEdit"
                             << "ab"
                             << "abXY";
}

// A drop proposed as a move is taken as a copy: the source keeps its text,
// also when the box inserts nothing.
void EntryRulesTest::dropCopiesAndKeepsTheSource()
{
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(QString, after);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, before);
    QMimeData dragged;
    dragged.setText(QStringLiteral("XY"));
    const QPoint at(edit->width() - 2, 5);
    const Qt::DropActions both = Qt::CopyAction | Qt::MoveAction;
    // Shift proposes a move, as a drag from an editable box does unasked.
    QDragEnterEvent enter(at, both, &dragged, Qt::LeftButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(edit, &enter);
    QDropEvent drop(at, both, &dragged, Qt::LeftButton, Qt::ShiftModifier);
    QCOMPARE(drop.proposedAction(), Qt::MoveAction);
    QCoreApplication::sendEvent(edit, &drop);
    QCOMPARE(edit->text(), after);
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

// The program writes the status box; the user selects and copies from it.
void EntryRulesTest::statusBoxIsReadOnly()
{
    WindowRig rig;
    rig.window->settings().appendStatusLine(QStringLiteral("Verified"));
    auto *status = rig.control<QPlainTextEdit>(QStringLiteral("statusBox"));
    QVERIFY(status->isReadOnly());
    const QString shown = status->toPlainText();
    // Typing is statusTypedByUser's; here what is selected is copied, never cut.
    status->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(status, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(status, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), shown);
    QTest::keyClick(status, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(status->toPlainText(), shown);
}

void EntryRulesTest::setByProgram_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");

    QTest::newRow("interval trimmed") << Field::SentTime << "sentTimeEdit"
                                      << " 600"
                                      << "600";
    QTest::newRow("frequency trimmed") << Field::Freq << "freqEdit"
                                       << "144.6400 "
                                       << "144.6400";
    QTest::newRow("passcode trimmed both ends") << Field::Pass << "passcodeEdit"
                                                << "  40417  "
                                                << "40417";
    QTest::newRow("tabs are not spaces") << Field::Pass << "passcodeEdit"
                                         << "\t123"
                                         << "\t123";
    QTest::newRow("callsign longer than typing allows") << Field::Callsign << "callsignEdit"
                                                        << "BG7ABCDEF"
                                                        << "BG7ABCDEF";
    QTest::newRow("callsign not upper-cased") << Field::Callsign << "callsignEdit"
                                              << "bg7abc"
                                              << "bg7abc";
    QTest::newRow("interval letters kept") << Field::SentTime << "sentTimeEdit"
                                           << "06a0"
                                           << "06a0";
    QTest::newRow("comment not cut to 40")
        << Field::Comment << "commentEdit" << QString(45, QLatin1Char('c'))
        << QString(45, QLatin1Char('c'));
    QTest::newRow("callsign spaces kept") << Field::Callsign << "callsignEdit"
                                          << " AB "
                                          << " AB ";
}

void EntryRulesTest::setByProgram()
{
    QFETCH(Field, field);
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, shown);

    WindowRig rig;
    rig.window->setText(field, value);
    auto *edit = rig.control<QLineEdit>(control);
    QCOMPARE(edit->text(), shown);
    QCOMPARE(rig.window->text(field), shown);
    // A text longer than the box shows its beginning.
    QCOMPARE(edit->cursorPosition(), 0);
}

void EntryRulesTest::pasted_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("overSelection"); // pasted over the whole text typed

    // Over a selection the text may shrink, and still letters would go in.
    for (const char *box : {"passcodeEdit", "sentTimeEdit", "freqEdit"})
        QTest::addRow("%s: over a selection", box) << box << "1234"
                                                   << "ab"
                                                   << "1234" << true;
    QTest::newRow("callsign cut, not upper-cased") << "callsignEdit"
                                                   << ""
                                                   << "bg7abcdef"
                                                   << "bg7abc" << false;
    QTest::newRow("frequency takes no paste") << "freqEdit"
                                              << ""
                                              << " 144.640012"
                                              << "" << false;
    QTest::newRow("comment fills up to 40")
        << "commentEdit" << QString(38, QLatin1Char('a')) << "xyz"
        << QString(38, QLatin1Char('a')) + "xy" << false;
    QTest::newRow("interval takes no paste") << "sentTimeEdit"
                                             << ""
                                             << "6a"
                                             << "" << false;
    QTest::newRow("no half character")
        << "callsignEdit"
        << "ABCDE" << QString::fromUtf8("\xF0\x9F\x93\xA1") << "ABCDE" << false;
    QTest::newRow("line breaks become spaces") << "commentEdit"
                                               << ""
                                               << "73 de BG7\r\nAT+RESET#\n"
                                               << "73 de BG7  AT+RESET# " << false;
    QTest::newRow("full box takes nothing") << "callsignEdit"
                                            << "ABCDEF"
                                            << "G"
                                            << "ABCDEF" << false;
    QTest::newRow("comment over a selection") << "commentEdit"
                                              << "abcd"
                                              << "xy"
                                              << "xy" << true;
}

void EntryRulesTest::pasted()
{
    QFETCH(QString, control);
    QFETCH(QString, before);
    QFETCH(QString, clipboard);
    QFETCH(QString, shown);
    QFETCH(bool, overSelection);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, before);
    if (overSelection)
        edit->selectAll();
    QGuiApplication::clipboard()->setText(clipboard);
    edit->paste();
    QCOMPARE(edit->text(), shown);
    QCOMPARE(rig.window->record().text(fieldOf(control)), shown);
}

void EntryRulesTest::pasteRoutes_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("route");
    QTest::addColumn<QString>("text");  // on the clipboard, dragged or committed
    QTest::addColumn<QString>("shown"); // after "12" typed and the text put in

    for (const char *box : {"passcodeEdit", "sentTimeEdit", "freqEdit"}) {
        for (const char *route : {"Shift+Insert", "menu", "insert", "drop"})
            QTest::addRow("%s: %s", box, route) << box << route << "12ab34"
                                                << "12";
    }
    QTest::newRow("comment: Shift+Insert") << "commentEdit"
                                           << "Shift+Insert"
                                           << "a\r\nb"
                                           << "12a  b";
    QTest::newRow("comment: menu") << "commentEdit"
                                   << "menu"
                                   << "a\nb"
                                   << "12a b";
    QTest::newRow("comment: drop") << "commentEdit"
                                   << "drop"
                                   << "a\nb"
                                   << "12a b";
    QTest::newRow("passcode: input method filtered and cut") << "passcodeEdit"
                                                             << "input method"
                                                             << "12ab34"
                                                             << "12123";
    QTest::newRow("callsign: input method upper-cased") << "callsignEdit"
                                                        << "input method"
                                                        << "nocall"
                                                        << "12NOCA";
}

void EntryRulesTest::pasteRoutes()
{
    QFETCH(QString, control);
    QFETCH(QString, route);
    QFETCH(QString, text);
    QFETCH(QString, shown);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, QStringLiteral("12"));
    QGuiApplication::clipboard()->setText(text);
    if (route == QStringLiteral("Shift+Insert")) {
        QTest::keyClick(edit, Qt::Key_Insert, Qt::ShiftModifier);
    } else if (route == QStringLiteral("menu")) {
        const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        menu->ensurePolished();
        QAction *paste = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(QStringLiteral("&Paste")))
                paste = action;
        }
        QVERIFY(paste);
        // Greyed where it would do nothing, and nothing even when a menu of
        // the program's own enables it again.
        QCOMPARE(paste->isEnabled(), shown != QStringLiteral("12"));
        paste->setEnabled(true);
        paste->trigger();
    } else if (route == QStringLiteral("insert")) {
        // What a middle-click does with the X11 selection, which the
        // offscreen platform has none of.
        edit->insert(text);
    } else if (route == QStringLiteral("drop")) {
        QMimeData dragged;
        dragged.setText(text);
        const QPoint at(edit->width() - 2, 5);
        QDragEnterEvent enter(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &enter);
        QDropEvent drop(at, Qt::CopyAction, &dragged, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(edit, &drop);
        QCOMPARE(edit->acceptDrops(), shown != QStringLiteral("12"));
    } else {
        QInputMethodEvent commit;
        commit.setCommitString(text);
        QCoreApplication::sendEvent(edit, &commit);
    }
    QCOMPARE(edit->text(), shown);
    QCOMPARE(rig.window->record().text(fieldOf(control)), shown);
}

void EntryRulesTest::typingIntoOverlongText()
{
    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(QStringLiteral("callsignEdit"));
    rig.window->setText(Field::Callsign, QStringLiteral("BG7ABCDEF"));
    edit->end(false);
    // The user's first edit cuts the program's text to the limit.
    QTest::keyClick(edit, Qt::Key_G);
    QCOMPARE(edit->text(), QStringLiteral("BG7ABC"));
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("BG7AB"));
    QTest::keyClicks(edit, QStringLiteral("xy"));
    QCOMPARE(edit->text(), QStringLiteral("BG7ABX"));
}

void EntryRulesTest::setStraightIntoTheBox_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("edited"); // after the user types one more key

    QTest::newRow("long callsign") << "callsignEdit"
                                   << "BG7ABCDEF"
                                   << "BG7ABCDEF"
                                   << "BG7ABC";
    QTest::newRow("long frequency trimmed") << "freqEdit"
                                            << " 144.640000 "
                                            << "144.640000"
                                            << "144.6400";
    QTest::newRow("long Wi-Fi password")
        << "wifiPasswordEdit" << QString(25, QLatin1Char('p')) << QString(25, QLatin1Char('p'))
        << QString(20, QLatin1Char('p'));
}

// Code that sets a box's text directly is the program too: nothing is cut
// until the user edits the box.
void EntryRulesTest::setStraightIntoTheBox()
{
    QFETCH(QString, control);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QFETCH(QString, edited);

    WindowRig rig;
    auto *edit = rig.control<QLineEdit>(control);
    QTest::keyClicks(edit, QStringLiteral("1"));
    edit->setText(value);
    QCOMPARE(edit->text(), shown);
    edit->end(false);
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->text(), edited);
}

void EntryRulesTest::addressModePicked_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("enabledBefore");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("enabledAfter");

    for (const char *how : {"mouse", "arrow keys"}) {
        QTest::addRow("%s: STATIC IP enables", how) << how << false << "STATIC IP" << true;
        QTest::addRow("%s: STATIC IP keeps enabled", how) << how << true << "STATIC IP" << true;
        QTest::addRow("%s: DHCP disables", how) << how << true << "DHCP" << false;
        QTest::addRow("%s: DHCP keeps disabled", how) << how << false << "DHCP" << false;
    }
}

void EntryRulesTest::addressModePicked()
{
    QFETCH(QString, how);
    QFETCH(bool, enabledBefore);
    QFETCH(QString, entry);
    QFETCH(bool, enabledAfter);

    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->setText(Field::Ip1, QStringLiteral("192"));
    rig.window->setText(Field::Dns4, QStringLiteral("8"));
    rig.window->setOctetBoxesEnabled(enabledBefore);

    auto *combo = rig.control<QComboBox>(QStringLiteral("dhcpCombo"));
    if (how == QStringLiteral("mouse")) {
        WindowRig::pick(combo, entry);
    } else {
        // Each arrow key picks the next entry, as a click would.
        combo->setFocus();
        for (int row = 0; row <= combo->findText(entry); ++row)
            QTest::keyClick(combo, Qt::Key_Down);
    }
    QCOMPARE(combo->currentText(), entry);
    QCOMPARE(enabledStates(octetBoxes(rig)), all(enabledAfter));
    QCOMPARE(rig.window->octetBoxesEnabled(), enabledAfter);
    // The boxes keep their numbers.
    QCOMPARE(rig.control<QLineEdit>(QStringLiteral("ipOctet1"))->text(), QStringLiteral("192"));
    QCOMPARE(rig.control<QLineEdit>(QStringLiteral("dnsOctet4"))->text(), QStringLiteral("8"));
}

void EntryRulesTest::addressModeNotPicked_data()
{
    QTest::addColumn<bool>("enabledBefore");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");

    for (bool enabled : {true, false}) {
        const char *state = enabled ? "enabled" : "disabled";
        QTest::addRow("typed STATIC IP, boxes %s", state) << enabled << "typed"
                                                          << "STATIC IP";
        QTest::addRow("typed DHCP, boxes %s", state) << enabled << "typed"
                                                     << "DHCP";
        QTest::addRow("program sets STATIC IP, boxes %s", state) << enabled << "program"
                                                                 << "STATIC IP";
        QTest::addRow("program sets DHCP, boxes %s", state) << enabled << "program"
                                                            << "DHCP";
    }
}

void EntryRulesTest::addressModeNotPicked()
{
    QFETCH(bool, enabledBefore);
    QFETCH(QString, how);
    QFETCH(QString, text);

    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.window->setOctetBoxesEnabled(enabledBefore);
    auto *combo = rig.control<QComboBox>(QStringLiteral("dhcpCombo"));
    if (how == QStringLiteral("typed")) {
        combo->setFocus();
        QTest::keyClicks(combo, text);
        QTest::keyClick(combo, Qt::Key_Return);
        QTest::keyClick(combo->lineEdit(), Qt::Key_Enter);
        rig.control<QLineEdit>(QStringLiteral("callsignEdit"))->setFocus();
    } else {
        rig.window->setText(Field::Dhcp, text);
    }
    QCOMPARE(combo->currentText(), text);
    QCOMPARE(enabledStates(octetBoxes(rig)), all(enabledBefore));
}

QTEST_MAIN(EntryRulesTest)
#include "tst_entryrules.moc"
