#include "devicesettings.h"
#include "windowrig.h"

#include <QAbstractButton>
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
};

void DefaultsTest::defaultValues_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");

    const QList<std::pair<const char *, QString>> rows = {
        {"Text4", "NOCALL"},
        {"Combo5", "10"},
        {"Text5", "40417"},
        {"Combo2", "DHCP"},
        {"Text13", "192"},
        {"Text14", "168"},
        {"Text15", "1"},
        {"Text16", "99"},
        {"Text17", "255"},
        {"Text18", "255"},
        {"Text19", "255"},
        {"Text20", "0"},
        {"Text21", "192"},
        {"Text22", "168"},
        {"Text23", "1"},
        {"Text24", "1"},
        {"Text25", "8"},
        {"Text26", "8"},
        {"Text27", "8"},
        {"Text28", "8"},
        {"Text8", "!3035.00N/11417.00ErPHG1010"},
        {"Text7", "TELX5 144.640MHz"},
        {"Combo3", DeviceSettings::serverChoices().constFirst()},
        {"Text10", "0600"},
        {"Text11", "b/TELX5"},
        {"Combo16", "ON"},
        {"Combo4", "km"},
        {"Combo6", "3"},
        {"Combo7", "WIDE1-1"},
        {"Combo8", "WIDE1+WIDE2"},
        {"Text31", "144.6400"},
        {"Text32", "--"},
    };
    for (const auto &[control, shown] : rows)
        QTest::newRow(control) << QString::fromLatin1(control) << shown;
}

void DefaultsTest::defaultValues()
{
    QFETCH(QString, control);
    QFETCH(QString, shown);

    WindowRig rig;
    auto *write = rig.control<QPushButton>(QStringLiteral("Command7"));
    QVERIFY(!write->isEnabled());
    rig.control<QAbstractButton>(QStringLiteral("Check1"))->setChecked(true);

    for (int press = 1; press <= 2; ++press) {
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command0")), Qt::LeftButton);
        QCOMPARE(rig.shownText(control), shown);
        auto *combo = rig.control<QComboBox>(control);
        auto *edit = combo ? combo->lineEdit() : rig.control<QLineEdit>(control);
        QCOMPARE(edit->cursorPosition(), 0);
        QVERIFY(!rig.control<QAbstractButton>(QStringLiteral("Check1"))->isChecked());
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
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command0")), Qt::LeftButton);
    QCOMPARE(rig.shownText(QStringLiteral("Combo2")), QStringLiteral("DHCP"));
    for (int box = 13; box <= 28; ++box)
        QCOMPARE(rig.control<QLineEdit>(QStringLiteral("Text%1").arg(box))->isEnabled(), enabled);
}

void DefaultsTest::defaultLeavesTheRest_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");

    QTest::newRow("Wi-Fi name") << "Text34"
                                << "home-net";
    QTest::newRow("Wi-Fi password") << "Text33"
                                    << "secret";
    QTest::newRow("device version") << "Text6"
                                    << "KT360 V2.1";
    QTest::newRow("port") << "Combo1"
                          << "/dev/ttyUSB0";
    QTest::newRow("step box") << "Text3"
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
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command0")), Qt::LeftButton);
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
    QCOMPARE(rig.control<QPlainTextEdit>(QStringLiteral("Text29"))->toPlainText(), shown);
}

void DefaultsTest::statusTypedByUser()
{
    WindowRig rig;
    rig.window->appendStatusLine(QStringLiteral("read ok"));
    auto *box = rig.control<QPlainTextEdit>(QStringLiteral("Text29"));
    box->moveCursor(QTextCursor::End);
    QTest::keyClicks(box, QStringLiteral("!"));
    QCOMPARE(rig.window->statusText(), QStringLiteral("\r\nread ok!"));
    rig.window->appendStatusLine(QStringLiteral("Write complete"));
    QCOMPARE(box->toPlainText(), QStringLiteral("\nread ok!\nWrite complete"));
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

    WindowRig::pick(rig.control<QComboBox>(QStringLiteral("Combo1")),
                    QStringLiteral("/dev/pts/simulated"));
    QCOMPARE(rig.link.portName(), portAfter);
    QStringList shown;
    for (const auto &[text, title] : std::as_const(rig.dialogs.messages))
        shown << text;
    QCOMPARE(shown, boxes);
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
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command0")), Qt::LeftButton);
        rig.window->setText(Field::Callsign, callsign);
        rig.dialogs.fileToChoose = file;
        QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command5")), Qt::LeftButton);
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
    auto *write = rig.control<QPushButton>(QStringLiteral("Command7"));
    QVERIFY(!write->isEnabled());
    QTest::mouseClick(rig.control<QPushButton>(QStringLiteral("Command4")), Qt::LeftButton);
    QCOMPARE(rig.shownText(QStringLiteral("Text4")), callsign);
    QCOMPARE(rig.shownText(QStringLiteral("Text10")), QStringLiteral("0600"));
    QCOMPARE(rig.shownText(QStringLiteral("Combo7")), QStringLiteral("WIDE1-1"));
    QVERIFY(write->isEnabled());
    QVERIFY(rig.dialogs.messages.isEmpty());
}

void DefaultsTest::deviceAnswers_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("hexLogEnd");

    QTest::newRow("callsign and SSID") << QByteArrayList{"CALLSIGN:BG7ABC-5\r\n"} << "Text4"
                                       << "BG7ABC"
                                       << "350D0A";
    QTest::newRow("SSID box") << QByteArrayList{"CALLSIGN:BG7ABC-5\r\n"} << "Combo5"
                              << "5"
                              << "350D0A";
    QTest::newRow("line split over two events")
        << QByteArrayList{"SENT TI", "ME:0900\r\n"} << "Text10"
        << "0900"
        << "300D0A";
    QTest::newRow("frequency trimmed as it arrives")
        << QByteArrayList{"FREQ:144.3900 \r\n"} << "Text31"
        << "144.3900"
        << "200D0A";
    QTest::newRow("firmware version") << QByteArrayList{"VER:V2.0\r\n"} << "Text6"
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
    QVERIFY2(rig.shownText(QStringLiteral("Text1")).endsWith(hexLogEnd),
             qPrintable(rig.shownText(QStringLiteral("Text1"))));
    QCOMPARE(rig.window->lineBuffer().line(), QByteArrayView());
}

QTEST_MAIN(DefaultsTest)
#include "tst_defaults.moc"
