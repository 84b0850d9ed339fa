#include "devicesettings.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

class DefaultsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaultValues_data();
    void defaultValues();
    void defaultKeepsOctetBoxesState_data();
    void defaultKeepsOctetBoxesState();
    void defaultLeavesTheRest_data();
    void defaultLeavesTheRest();
    void statusBox_data();
    void statusBox();
    void statusTypedByUser();
    void portPicked_data();
    void portPicked();
    void settingsFileButtons_data();
    void settingsFileButtons();
    void deviceAnswers_data();
    void deviceAnswers();
    void narrowListShowsItsWholeValue();
    void stepBoxCutsWhatDoesNotFit_data();
    void stepBoxCutsWhatDoesNotFit();
};

void DefaultsTest::defaultValues_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");

    const QList<std::pair<const char *, QString>> rows = {
        {"callsignEdit", "NOCALL"},
        {"ssidCombo", "10"},
        {"passcodeEdit", "40417"},
        {"dhcpCombo", "DHCP"},
        {"ipOctet1", "192"},
        {"ipOctet2", "168"},
        {"ipOctet3", "1"},
        {"ipOctet4", "99"},
        {"maskOctet1", "255"},
        {"maskOctet2", "255"},
        {"maskOctet3", "255"},
        {"maskOctet4", "0"},
        {"gateOctet1", "192"},
        {"gateOctet2", "168"},
        {"gateOctet3", "1"},
        {"gateOctet4", "1"},
        {"dnsOctet1", "8"},
        {"dnsOctet2", "8"},
        {"dnsOctet3", "8"},
        {"dnsOctet4", "8"},
        {"positionEdit", "!3035.00N/11417.00ErPHG1010"},
        {"commentEdit", "TELX5 144.640MHz"},
        {"serverCombo", DeviceSettings::serverChoices().constFirst()},
        {"sentTimeEdit", "0600"},
        {"filterEdit", "b/TELX5"},
        {"backlightCombo", "ON"},
        {"unitCombo", "km"},
        {"modCombo", "3"},
        {"pathCombo", "WIDE1-1"},
        {"aliasCombo", "WIDE1+WIDE2"},
        {"freqEdit", "144.6400"},
        {"ctcssEdit", "--"},
    };
    for (const auto &[control, shown] : rows)
        QTest::newRow(control) << QString::fromLatin1(control) << shown;
}

void DefaultsTest::defaultValues()
{
    QFETCH(QString, control);
    QFETCH(QString, shown);

    WindowRig rig;
    auto *write = rig.control<QPushButton>(QStringLiteral("writeButton"));
    QVERIFY(!write->isEnabled());
    rig.control<QAbstractButton>(QStringLiteral("digiCheckBox"))->setChecked(true);

    for (int press = 1; press <= 2; ++press) {
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")),
                          Qt::LeftButton);
        QCOMPARE(rig.shownText(control), shown);
        auto *combo = rig.control<QComboBox>(control);
        auto *edit = combo ? combo->lineEdit() : rig.control<QLineEdit>(control);
        QCOMPARE(edit->cursorPosition(), 0);
        QVERIFY(!rig.control<QAbstractButton>(QStringLiteral("digiCheckBox"))->isChecked());
        QCOMPARE(rig.window->text(Field::Digi), QStringLiteral("0"));
        QVERIFY(write->isEnabled());
    }
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void DefaultsTest::defaultKeepsOctetBoxesState_data()
{
    QTest::addColumn<bool>("enabled");

    QTest::newRow("enabled") << true;
    QTest::newRow("disabled") << false;
}

void DefaultsTest::defaultKeepsOctetBoxesState()
{
    QFETCH(bool, enabled);

    WindowRig rig;
    rig.window->setOctetBoxesEnabled(enabled);
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")), Qt::LeftButton);
    QCOMPARE(rig.shownText(QStringLiteral("dhcpCombo")), QStringLiteral("DHCP"));
    for (const QString &box : WindowRig::octetBoxNames())
        QCOMPARE(rig.control<QLineEdit>(box)->isEnabled(), enabled);
}

void DefaultsTest::defaultLeavesTheRest_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");

    QTest::newRow("Wi-Fi name") << "wifiSsidEdit"
                                << "home-net";
    QTest::newRow("Wi-Fi password") << "wifiPasswordEdit"
                                    << "secret";
    QTest::newRow("device version") << "versionEdit"
                                    << "KT360 V2.1";
    QTest::newRow("port") << "portCombo"
                          << "/dev/ttyUSB0";
    QTest::newRow("step box") << "stepBox"
                              << "3/10";
}

void DefaultsTest::defaultLeavesTheRest()
{
    QFETCH(QString, control);
    QFETCH(QString, value);

    WindowRig rig;
    if (auto *combo = rig.control<QComboBox>(control))
        combo->setEditText(value);
    else
        rig.control<QLineEdit>(control)->setText(value);
    rig.window->setStatusText(QStringLiteral("\r\nread ok"));
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")), Qt::LeftButton);
    QCOMPARE(rig.shownText(control), value);
    QCOMPARE(rig.window->statusText(), QStringLiteral("\r\nread ok"));
}

void DefaultsTest::statusBox_data()
{
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("shown");

    QTest::newRow("one message") << QStringList{"read ok"} << "\r\nread ok"
                                 << "\nread ok";
    QTest::newRow("two messages") << QStringList{"Connection OK", "read ok"}
                                  << "\r\nConnection OK\r\nread ok"
                                  << "\nConnection OK\nread ok";
    QTest::newRow("control characters from the device")
        << QStringList{"VER:\x1b]0;pwned\x07\x7f\u009b"} << "\r\nVER:\x1b]0;pwned\x07\x7f\u009b"
        << "\nVER:␛]0;pwned␇␡\\x9b";
}

void DefaultsTest::statusBox()
{
    QFETCH(QStringList, messages);
    QFETCH(QString, held);
    QFETCH(QString, shown);

    WindowRig rig;
    for (const QString &message : messages)
        rig.window->appendStatusLine(message);
    QCOMPARE(rig.window->statusText(), held);
    QCOMPARE(rig.control<QPlainTextEdit>(QStringLiteral("statusBox"))->toPlainText(), shown);
}

// The status box is the program's: a key typed into it changes nothing, and
// the next report follows the last one.
void DefaultsTest::statusTypedByUser()
{
    WindowRig rig;
    rig.window->appendStatusLine(QStringLiteral("read ok"));
    auto *box = rig.control<QPlainTextEdit>(QStringLiteral("statusBox"));
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("!"));
    QCOMPARE(rig.window->statusText(), QStringLiteral("\r\nread ok"));
    rig.window->appendStatusLine(QStringLiteral("Write complete"));
    QCOMPARE(box->toPlainText(), QStringLiteral("\nread ok\nWrite complete"));
}

void DefaultsTest::portPicked_data()
{
    QTest::addColumn<bool>("portOpen");
    QTest::addColumn<QString>("portAfter");
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("closed: the picked port is used")
        << false << "/dev/pts/simulated" << QStringList{};
    QTest::newRow("open: Port is open") << true << "/dev/ttyUSB9" << QStringList{"Port is open"};
}

void DefaultsTest::portPicked()
{
    QFETCH(bool, portOpen);
    QFETCH(QString, portAfter);
    QFETCH(QStringList, boxes);

    WindowRig rig(QLocale(QLocale::English, QLocale::UnitedKingdom),
                  QStringLiteral("/dev/pts/simulated"));
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    rig.link.setPortName(QStringLiteral("/dev/ttyUSB9"));
    rig.link.opened = portOpen;

    WindowRig::pick(rig.control<QComboBox>(QStringLiteral("portCombo")),
                    QStringLiteral("/dev/pts/simulated"));
    QCOMPARE(rig.link.portName(), portAfter);
    QCOMPARE(rig.dialogs.messages, boxes);
    QCOMPARE(rig.link.isOpen(), portOpen);
}

void DefaultsTest::settingsFileButtons_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("callsign");

    QTest::newRow("English window") << QLocale(QLocale::English, QLocale::UnitedStates) << "BG7ABC";
    QTest::newRow("Chinese window") << QLocale(QLocale::Chinese, QLocale::China) << "BA1XYZ";
}

void DefaultsTest::settingsFileButtons()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, callsign);

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("station.ini"));
    {
        WindowRig rig(locale);
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("defaultButton")),
                          Qt::LeftButton);
        rig.window->setText(Field::Callsign, callsign);
        rig.dialogs.fileToChoose = file;
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("saveButton")), Qt::LeftButton);
        QCOMPARE(rig.dialogs.requests.size(), 1);
        QVERIFY(rig.dialogs.requests.constFirst().confirmOverwrite);
    }
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(saved.readAll().startsWith("[TELX5]"));

    WindowRig rig(locale);
    QCOMPARE(rig.dialogs.messages.size(), 1); // the language box
    rig.dialogs.messages.clear();
    rig.dialogs.fileToChoose = file;
    auto *write = rig.control<QPushButton>(QStringLiteral("writeButton"));
    QVERIFY(!write->isEnabled());
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("loadButton")), Qt::LeftButton);
    QCOMPARE(rig.shownText(QStringLiteral("callsignEdit")), callsign);
    QCOMPARE(rig.shownText(QStringLiteral("sentTimeEdit")), QStringLiteral("0600"));
    QCOMPARE(rig.shownText(QStringLiteral("pathCombo")), QStringLiteral("WIDE1-1"));
    QVERIFY(write->isEnabled());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void DefaultsTest::deviceAnswers_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("hexLogEnd");

    QTest::newRow("callsign and SSID") << QByteArrayList{"CALLSIGN:BG7ABC-5\r\n"} << "callsignEdit"
                                       << "BG7ABC"
                                       << "350D0A";
    QTest::newRow("SSID box") << QByteArrayList{"CALLSIGN:BG7ABC-5\r\n"} << "ssidCombo"
                              << "5"
                              << "350D0A";
    QTest::newRow("line split over two events")
        << QByteArrayList{"SENT TI", "ME:0900\r\n"} << "sentTimeEdit"
        << "0900"
        << "300D0A";
    QTest::newRow("frequency trimmed as it arrives")
        << QByteArrayList{"FREQ:144.3900 \r\n"} << "freqEdit"
        << "144.3900"
        << "200D0A";
    QTest::newRow("firmware version") << QByteArrayList{"VER:V2.0\r\n"} << "versionEdit"
                                      << "V2.0"
                                      << "300D0A";
}

// The window is the parser's target: what the device answers shows in the boxes.
void DefaultsTest::deviceAnswers()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QString, control);
    QFETCH(QString, shown);
    QFETCH(QString, hexLogEnd);

    WindowRig rig;
    for (const QByteArray &chunk : std::as_const(chunks))
        Q_EMIT rig.link.received(chunk);
    QCOMPARE(rig.shownText(control), shown);
    QVERIFY2(rig.shownText(QStringLiteral("hexLogBox")).endsWith(hexLogEnd),
             qPrintable(rig.shownText(QStringLiteral("hexLogBox"))));
    QCOMPARE(rig.window->lineBuffer().line(), QByteArrayView());
}

// "WIDE1-1WIDE2-1" and "WIDE1-1WIDE2-2" look alike in the narrow path box:
// the tooltip and the drop-down show them whole, the current one marked.
void DefaultsTest::narrowListShowsItsWholeValue()
{
    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    auto *path = rig.control<QComboBox>(QStringLiteral("pathCombo"));
    rig.window->setText(Field::Path, QStringLiteral("WIDE1-1WIDE2-1"));
    QCOMPARE(path->toolTip(), QStringLiteral("WIDE1-1WIDE2-1"));

    path->showPopup();
    QTRY_VERIFY(path->view()->isVisible());
    QCOMPARE(path->view()->currentIndex().data().toString(), QStringLiteral("WIDE1-1WIDE2-1"));
    QVERIFY(path->view()->viewport()->width() >
            path->view()->fontMetrics().horizontalAdvance(QStringLiteral("WIDE1-1WIDE2-2")));
    path->hidePopup();

    rig.window->setText(Field::Path, QStringLiteral("None"));
    QCOMPARE(path->toolTip(), QString());
}

void DefaultsTest::stepBoxCutsWhatDoesNotFit_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("tip");

    QTest::newRow("fits") << "10/10"
                          << "10/10" << QString();
    QTest::newRow("too wide") << "Connection is successful\r\n"
                              << "…"
                              << "Connection is successful\n";
}

void DefaultsTest::stepBoxCutsWhatDoesNotFit()
{
    QFETCH(QString, step);
    QFETCH(QString, shown);
    QFETCH(QString, tip);

    WindowRig rig;
    rig.window->setStepText(step);
    auto *box = rig.control<QLineEdit>(QStringLiteral("stepBox"));
    QVERIFY2(box->text().endsWith(shown), qPrintable(box->text()));
    QVERIFY(step.startsWith(box->text().chopped(1)));
    QVERIFY(box->fontMetrics().horizontalAdvance(box->text()) < box->width());
    QCOMPARE(box->toolTip(), tip);
    // The sessions go on reading the whole text.
    QCOMPARE(rig.window->stepText(), step);
}

QTEST_MAIN(DefaultsTest)
#include "tst_defaults.moc"
