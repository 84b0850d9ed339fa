#include "devicesettings.h"
#include "portsettingsstore.h"
#include "windowrig.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>

using namespace telx5;
using namespace telx5::testing;

namespace {

using Messages = QList<QPair<QString, QString>>;

const QLocale ChinesePrc(QLocale::Chinese, QLocale::SimplifiedHanScript, QLocale::China);
const QLocale EnglishUs(QLocale::English, QLocale::UnitedStates);
const QLocale EnglishUk(QLocale::English, QLocale::UnitedKingdom);
const QLocale Japanese(QLocale::Japanese, QLocale::Japan);

struct Caption
{
    const char *control;
    const char *english;
    const char *chinese;
};

// Every caption that start-up turns into Chinese.
const Caption Translated[] = {
    {"titleLabel", "KT360 APRS Config", "TELX5系列配置软件"},
    {"callsignLabel", "Callsign", "呼号"},
    {"passcodeLabel", "Pass", "密码"},
    {"positionLabel", "Posi+Comment", "坐标和信息"},
    {"commentLabel", "Status", "状态信息"},
    {"serverLabel", "Server", "服务器"},
    {"sentTimeLabel", "Tx time", "发送间隔"},
    {"filterLabel", "Filter", "信息过滤"},
    {"dhcpLabel", "DHCP", "网络地址"},
    {"backlightLabel", "Backlight", "背光时间"},
    {"unitLabel", "Unit", "距离"},
    {"freqLabel", "Tx/Rx", "频率"},
    {"digiCheckBox", "DIGI", "中继功能"},
    {"pathLabel", "Path", "发射路径"},
    {"modLabel", "TX vol", "调制度"},
    {"aliasLabel", "Alias", "转发路径"},
    {"displayGroup", "Setup", "设置"},
    {"radioGroup", "RF RADIO", "电台设置"},
    {"wifiGroup", "WIFI user/password", "WIFI设置"},
    {"wifiSsidLabel", "ssid", "名字"},
    {"wifiPasswordLabel", "pass", "密码"},
    {"applyWifiButton", "Apply", "应用"},
    {"defaultButton", "Default", "默认数据"},
    {"readButton", "Read data", "读取数据"},
    {"writeButton", "Write data", "写入数据"},
    {"loadButton", "Load file", "载入数据"},
    {"saveButton", "Save file", "保存数据"},
    {"openRomButton", "Open ROM", "打开升级文件"},
    {"updateButton", "update", "开始升级"},
    {"restartButton", "restart", "重启"},
    {"restartHintLabel", "If change setup then please restart ", "如果修改了数据,重启后生效."},
};

// Texts that read the same in both languages.
const std::pair<const char *, const char *> Untranslated[] = {
    {"versionGroup", "Vers"},
    {"ipLabel", "IP"},
    {"maskLabel", "Mask"},
    {"gateLabel", "Gate"},
    {"dnsLabel", "DNS"},
    {"mhzLabel", "MHz"},
    {"ctcssLabel", "CTCSS"},
    {"ssidDashLabel", "-"},
    {"stepBox", "0/10"},
    {"versionEdit", "KT360 "},
    {"toolVersionEdit", "Config 20170121"},
    {"openPortButton", "打开串口"},
};

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answersWithoutADisplay_data();
    void answersWithoutADisplay();
    void languageBox_data();
    void languageBox();
    void captions_data();
    void captions();
    void stateAfterStartup_data();
    void stateAfterStartup();
    void buttonsAfterStartup_data();
    void buttonsAfterStartup();
    void choiceLists_data();
    void choiceLists();
    void rememberedPort_data();
    void rememberedPort();
    void extraPortListedAndChosen();
    void geometry_data();
    void geometry();
    void captionsFit_data();
    void captionsFit();
    void captionsOneSizePerFrame_data();
    void captionsOneSizePerFrame();
    void longestValuesShowWhole_data();
    void longestValuesShowWhole();
    void onTop_data();
    void onTop();
    void tabFollowsTheWindow();
};

void StartupTest::languageBox_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<Messages>("boxes");
    QTest::addColumn<QString>("language");

    const QString title = QStringLiteral("语言");
    QTest::newRow("Chinese PRC") << ChinesePrc
                                 << Messages{{QStringLiteral("当前系统为：中文简体"), title}}
                                 << QStringLiteral("1");
    QTest::newRow("English US") << EnglishUs
                                << Messages{{QStringLiteral("当前系统为：英文"), title}}
                                << QStringLiteral("2");
    QTest::newRow("English UK") << EnglishUk << Messages{} << QString();
    QTest::newRow("Japanese") << Japanese << Messages{} << QString();
    QTest::newRow("Chinese Taiwan")
        << QLocale(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan) << Messages{}
        << QString();
}

void StartupTest::languageBox()
{
    QFETCH(QLocale, locale);
    QFETCH(Messages, boxes);
    QFETCH(QString, language);

    WindowRig rig(locale);
    QCOMPARE(rig.dialogs.boxes(), boxes);
    QCOMPARE(rig.window->language(), language);
    QCOMPARE(rig.window->windowTitle(), QStringLiteral("Norvane KT360 aprs config"));
    QVERIFY(!rig.window->windowIcon().pixmap(48, 48).isNull());
}

void StartupTest::captions_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");

    for (const Caption &caption : Translated) {
        const QString control = QString::fromLatin1(caption.control);
        QTest::addRow("zh_CN %s", caption.control)
            << ChinesePrc << control << QString::fromUtf8(caption.chinese);
        QTest::addRow("en_US %s", caption.control)
            << EnglishUs << control << QString::fromUtf8(caption.english);
        QTest::addRow("en_GB %s", caption.control)
            << EnglishUk << control << QString::fromUtf8(caption.english);
    }
    for (const auto &[control, text] : Untranslated) {
        QTest::addRow("zh_CN %s", control)
            << ChinesePrc << QString::fromLatin1(control) << QString::fromUtf8(text);
        QTest::addRow("en_GB %s", control)
            << EnglishUk << QString::fromLatin1(control) << QString::fromUtf8(text);
    }
}

void StartupTest::captions()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, control);
    QFETCH(QString, caption);

    WindowRig rig(locale);
    QCOMPARE(rig.shownText(control), caption);
}

void StartupTest::stateAfterStartup_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");

    for (const char *name :
         {"callsignEdit", "ssidCombo", "passcodeEdit", "dhcpCombo", "positionEdit", "commentEdit",
          "serverCombo", "sentTimeEdit", "filterEdit", "backlightCombo", "unitCombo", "modCombo",
          "pathCombo", "aliasCombo", "freqEdit", "wifiSsidEdit", "wifiPasswordEdit"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString() << true;
    for (const QString &name : WindowRig::octetBoxNames())
        QTest::newRow(qPrintable(name)) << name << QString() << true;
    QTest::newRow("portCombo loses its design text") << "portCombo" << QString() << true;
    QTest::newRow("ctcssEdit CTCSS") << "ctcssEdit"
                                     << "---" << false;
    QTest::newRow("ctcssLabel greyed") << "ctcssLabel"
                                       << "CTCSS" << false;
    QTest::newRow("versionEdit version") << "versionEdit"
                                         << "KT360 " << true;
    QTest::newRow("toolVersionEdit tool version") << "toolVersionEdit"
                                                  << "Config 20170121" << true;
    QTest::newRow("stepBox step box") << "stepBox"
                                      << "0/10" << true;
}

void StartupTest::stateAfterStartup()
{
    QFETCH(QString, control);
    QFETCH(QString, text);
    QFETCH(bool, enabled);

    WindowRig rig(EnglishUs);
    QCOMPARE(rig.shownText(control), text);
    QCOMPARE(rig.control<QWidget>(control)->isEnabled(), enabled);
    QVERIFY(!rig.control<QAbstractButton>(QStringLiteral("digiCheckBox"))->isChecked());
    QCOMPARE(rig.window->statusText(), QString());
    QCOMPARE(rig.control<QPlainTextEdit>(QStringLiteral("statusBox"))->toPlainText(), QString());
    QCOMPARE(rig.control<QProgressBar>(QStringLiteral("progressBar"))->maximum(), 100);
}

void StartupTest::buttonsAfterStartup_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");

    for (const char *name : {"defaultButton", "openRomButton", "updateButton", "loadButton",
                             "saveButton", "readButton", "applyWifiButton", "restartButton"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    QTest::newRow("writeButton Write data") << "writeButton" << false;
}

void StartupTest::buttonsAfterStartup()
{
    QFETCH(QString, button);
    QFETCH(bool, enabled);

    for (const QLocale &locale : {ChinesePrc, EnglishUk}) {
        WindowRig rig(locale);
        QCOMPARE(rig.control<QPushButton>(button)->isEnabled(), enabled);
    }
}

void StartupTest::choiceLists_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("dhcpCombo Dhcp") << "dhcpCombo" << QStringList{"DHCP", "STATIC IP"};
    QStringList ssids;
    for (int n = 0; n <= 15; ++n)
        ssids << QString::number(n);
    QTest::newRow("ssidCombo Ssid") << "ssidCombo" << ssids;
    QTest::newRow("serverCombo Server") << "serverCombo" << DeviceSettings::serverChoices();
    QTest::newRow("unitCombo Unit") << "unitCombo" << QStringList{"km", "mi", "公里"};
    QTest::newRow("modCombo Mod") << "modCombo" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("pathCombo Path")
        << "pathCombo" << QStringList{"None", "WIDE1-1", "WIDE1-1WIDE2-1", "WIDE1-1WIDE2-2"};
    QTest::newRow("aliasCombo Alias")
        << "aliasCombo" << QStringList{"WIDE1", "WIDE2", "WIDE1+WIDE2"};
    QTest::newRow("backlightCombo Backlight")
        << "backlightCombo" << QStringList{"ON", "05", "10", "20", "30", "60", "90"};
}

void StartupTest::choiceLists()
{
    QFETCH(QString, combo);
    QFETCH(QStringList, entries);

    for (const QLocale &locale : {ChinesePrc, EnglishUs}) {
        WindowRig rig(locale);
        auto *box = rig.control<QComboBox>(combo);
        QStringList shown;
        for (int row = 0; row < box->count(); ++row)
            shown << box->itemText(row);
        QCOMPARE(shown, entries);
        QCOMPARE(box->currentIndex(), -1);
        QCOMPARE(box->currentText(), QString());
        QVERIFY(box->isEditable());
    }
}

void StartupTest::rememberedPort_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("chosen"); // the port the next command opens

    QTest::newRow("a device path") << "/dev/ttyUSB3"
                                   << "/dev/ttyUSB3"
                                   << "/dev/ttyUSB3";
    QTest::newRow("a Windows name") << "COM7"
                                    << "COM7"
                                    << "/dev/COM7";
    QTest::newRow("typed by hand") << "my port"
                                   << "my port"
                                   << "/dev/my port";
    QTest::newRow("a simulated device of an earlier run") << "/dev/pts/4" << QString() << QString();
}

void StartupTest::rememberedPort()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    QFETCH(QString, chosen);

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("XRVComm.ini"));
    PortSettingsStore::storePortSettings(
        ini, stored, QStringLiteral("115200"), QStringLiteral("1"), QStringLiteral("n"),
        QStringLiteral("8"), QStringLiteral("0"), QStringLiteral("2048"), QStringLiteral("2048"));
    FakeDialogs dialogs;
    FakeLink link{FakeLink::Opens::Never};
    MainWindow::Options options;
    options.locale = EnglishUk;
    options.iniPath = ini;
    MainWindow window(options, dialogs, &link);

    QCOMPARE(window.portText(), shown);
    QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("portCombo"))->currentText(), shown);
    QCOMPARE(link.portName(), chosen);
    QVERIFY(!link.isOpen());
}

void StartupTest::extraPortListedAndChosen()
{
    const QString port = QStringLiteral("/dev/pts/simulated");
    WindowRig rig(EnglishUs, port);
    auto *combo = rig.control<QComboBox>(QStringLiteral("portCombo"));
    QVERIFY(combo->count() >= 1);
    QCOMPARE(combo->itemText(combo->count() - 1), port);
    QCOMPARE(combo->currentText(), port);
    QCOMPARE(rig.link.portName(), port);
    QVERIFY(!rig.link.isOpen());
}

void StartupTest::geometry_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("rect");

    // Twips over 15, rounded.
    QTest::newRow("MainWindow client area") << "MainWindow" << QString() << QRect(0, 0, 519, 502);
    QTest::newRow("stepBox over mainFrame") << "stepBox"
                                            << "MainWindow" << QRect(16, 464, 65, 17);
    QTest::newRow("mainFrame") << "mainFrame"
                               << "MainWindow" << QRect(0, 0, 521, 505);
    QTest::newRow("hexLogBox out of sight") << "hexLogBox"
                                            << "MainWindow" << QRect(528, 136, 265, 33);
    QTest::newRow("noticeLabel out of sight") << "noticeLabel"
                                              << "MainWindow" << QRect(544, 80, 417, 33);
    QTest::newRow("unusedTextEdit below") << "unusedTextEdit"
                                          << "MainWindow" << QRect(136, 560, 199, 20);
    QTest::newRow("ssidCombo") << "ssidCombo"
                               << "mainFrame" << QRect(152, 56, 41, 18);
    QTest::newRow("toolVersionEdit over versionGroup") << "toolVersionEdit"
                                                       << "mainFrame" << QRect(280, 384, 129, 18);
    QTest::newRow("versionEdit in versionGroup") << "versionEdit"
                                                 << "versionGroup" << QRect(8, 40, 129, 18);
    QTest::newRow("dnsOctet4 in addressGroup") << "dnsOctet4"
                                               << "addressGroup" << QRect(184, 112, 25, 20);
    QTest::newRow("applyWifiButton in wifiGroup") << "applyWifiButton"
                                                  << "wifiGroup" << QRect(208, 16, 41, 25);
    QTest::newRow("progressBar") << "progressBar"
                                 << "mainFrame" << QRect(8, 440, 497, 25);
}

void StartupTest::geometry()
{
    QFETCH(QString, control);
    QFETCH(QString, container);
    QFETCH(QRect, rect);

    WindowRig rig;
    QWidget *widget = rig.control<QWidget>(control);
    QVERIFY(widget);
    // The client area lies below the menu bar (tst_menus); the places count
    // from its top.
    const QPoint at = control == QStringLiteral("MainWindow") ? QPoint() : widget->pos();
    QCOMPARE(QRect(at, widget->size()), rect);
    if (!container.isEmpty())
        QCOMPARE(widget->parentWidget()->objectName(), container);
}

void StartupTest::captionsFit_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("control");

    for (const Caption &caption : Translated) {
        QTest::addRow("zh_CN %s", caption.control)
            << ChinesePrc << QString::fromLatin1(caption.control);
        QTest::addRow("en_US %s", caption.control)
            << EnglishUs << QString::fromLatin1(caption.control);
    }
    for (const auto &[control, text] : Untranslated) {
        // Text boxes carry no caption; the dash between callsign and SSID lies
        // in a box lower than a line of text.
        const QByteArrayView name(control);
        if (name.endsWith("Edit") || name == "stepBox" || name == "openPortButton" ||
            name == "ssidDashLabel")
            continue;
        QTest::addRow("zh_CN %s", control) << ChinesePrc << QString::fromLatin1(control);
        QTest::addRow("en_US %s", control) << EnglishUs << QString::fromLatin1(control);
    }
}

void StartupTest::longestValuesShowWhole_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("value");

    // The longest each box takes typed, or its widest entry; W is the widest
    // letter.
    QList<std::pair<QString, QString>> longest{
        {QStringLiteral("callsignEdit"), QStringLiteral("WWWWWW")},
        {QStringLiteral("ssidCombo"), QStringLiteral("15")},
        {QStringLiteral("passcodeEdit"), QStringLiteral("32767")},
        {QStringLiteral("positionEdit"), QString(61, QLatin1Char('W'))},
        {QStringLiteral("commentEdit"), QString(40, QLatin1Char('W'))},
        {QStringLiteral("serverCombo"), QStringLiteral("japan.aprs2.net")},
        {QStringLiteral("sentTimeEdit"), QStringLiteral("99999")},
        {QStringLiteral("filterEdit"), QString(16, QLatin1Char('W'))},
        {QStringLiteral("freqEdit"), QStringLiteral("144.6400")},
        {QStringLiteral("pathCombo"), QStringLiteral("WIDE1-1WIDE2-2")},
        {QStringLiteral("aliasCombo"), QStringLiteral("WIDE1+WIDE2")},
        {QStringLiteral("portCombo"), QStringLiteral("/dev/ttyUSB10")},
    };
    for (const QString &octet : WindowRig::octetBoxNames())
        longest.append({octet, QStringLiteral("255")});
    for (const QLocale &locale : {EnglishUs, ChinesePrc}) {
        for (const auto &[control, value] : longest)
            QTest::addRow("%s %s", qPrintable(locale.name()), qPrintable(control))
                << locale << control << value;
    }
}

// At the window's written geometry a box shows its longest value whole, or
// its tooltip does.
void StartupTest::longestValuesShowWhole()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, control);
    QFETCH(QString, value);

    WindowRig rig(locale);
    auto *owner = rig.control<QWidget>(control);
    auto *combo = qobject_cast<QComboBox *>(owner);
    QLineEdit *edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit *>(owner);
    QVERIFY(edit);
    edit->setText(value);
    QCoreApplication::processEvents();

    QCOMPARE(edit->text(), value);
    const bool fits =
        edit->fontMetrics().horizontalAdvance(value) <= edit->contentsRect().width() - 4;
    QVERIFY2(fits || owner->toolTip().contains(value),
             qPrintable(QStringLiteral("%1 shows %2 of %3 pixels; tooltip \"%4\"")
                            .arg(control)
                            .arg(edit->contentsRect().width() - 4)
                            .arg(edit->fontMetrics().horizontalAdvance(value))
                            .arg(owner->toolTip())));
}

// Nothing at a fixed place is cut off, whatever the system's font.
void StartupTest::captionsFit()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, control);

    WindowRig rig(locale);
    QWidget *widget = rig.control<QWidget>(control);
    const QFontMetrics metrics = widget->fontMetrics();
    // Chinese captions keep 8 points; a Latin one may go to 7.5.
    const bool chinese = rig.shownText(control).contains(
        QRegularExpression(QStringLiteral("[\\x{2E80}-\\x{FFFF}]")));
    QVERIFY2(widget->font().pointSizeF() >= (chinese ? 8.0 : 7.5),
             qPrintable(QString::number(widget->font().pointSizeF())));
    // The title keeps its size in a face whose lines fit its place.
    if (control == QLatin1String("titleLabel") &&
        widget->font().family() == QLatin1String("WenQuanYi Micro Hei"))
        QCOMPARE(widget->font().pointSizeF(), 14.25);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        const QRect area = label->contentsRect();
        const QRect needed = metrics.boundingRect(QRect(0, 0, area.width(), INT_MAX),
                                                  Qt::TextWordWrap, label->text());
        QVERIFY2(needed.width() <= area.width() && needed.height() <= area.height(),
                 qPrintable(label->text()));
    } else if (auto *box = qobject_cast<QCheckBox *>(widget)) {
        QVERIFY(metrics.horizontalAdvance(box->text()) + 16 <= box->width());
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QVERIFY(metrics.horizontalAdvance(button->text()) + 4 <= button->width());
        QVERIFY(metrics.height() <= button->height());
    } else if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        QVERIFY(metrics.horizontalAdvance(frame->title()) <= frame->width());
    } else {
        QFAIL("not a caption");
    }
}

void StartupTest::captionsOneSizePerFrame_data()
{
    QTest::addColumn<QLocale>("locale");
    QTest::addColumn<QString>("frame");

    for (const char *frame :
         {"mainFrame", "addressGroup", "versionGroup", "radioGroup", "displayGroup", "wifiGroup"}) {
        QTest::addRow("zh_CN %s", frame) << ChinesePrc << QString::fromLatin1(frame);
        QTest::addRow("en_US %s", frame) << EnglishUs << QString::fromLatin1(frame);
    }
}

// No caption is drawn smaller or narrower than its neighbours; the title
// keeps its own size.
void StartupTest::captionsOneSizePerFrame()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, frame);

    WindowRig rig(locale);
    QMap<QString, QString> sizes; // a size, and the first caption in it
    for (QWidget *caption :
         rig.control<QWidget>(frame)->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        // The title has its own size; the dash between callsign and SSID is
        // no caption.
        const QString name = caption->objectName();
        if (name == QLatin1String("titleLabel") || name == QLatin1String("ssidDashLabel") ||
            !(qobject_cast<QLabel *>(caption) || qobject_cast<QCheckBox *>(caption)))
            continue;
        const QFont font = caption->font();
        const int stretch = font.stretch() == QFont::AnyStretch ? 100 : font.stretch();
        sizes.insert(QStringLiteral("%1 pt at %2 %").arg(font.pointSizeF()).arg(stretch), name);
    }
    QStringList shown;
    for (auto size = sizes.cbegin(); size != sizes.cend(); ++size)
        shown << size.key() + QStringLiteral(": ") + size.value();
    QVERIFY2(sizes.size() <= 1, qPrintable(shown.join(QStringLiteral(", "))));
}

void StartupTest::onTop_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("shown");

    QTest::newRow("stepBox over mainFrame") << "stepBox" << QPoint(20, 470) << "stepBox";
    QTest::newRow("toolVersionEdit over the Vers frame")
        << "toolVersionEdit" << QPoint(290, 392) << "toolVersionEdit";
    QTest::newRow("unitCombo over the Unit label") << "unitLabel" << QPoint(164, 24) << "unitCombo";
    QTest::newRow("wifiPasswordEdit over the pass label")
        << "wifiPasswordLabel" << QPoint(136, 24) << "wifiPasswordEdit";
}

void StartupTest::onTop()
{
    QFETCH(QString, control);
    QFETCH(QPoint, point);
    QFETCH(QString, shown);

    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    QWidget *parent = rig.control<QWidget>(control)->parentWidget();
    QWidget *top = parent->childAt(point);
    QVERIFY(top);
    // A line edit inside a combo box stands for the box.
    while (top->parentWidget() != parent)
        top = top->parentWidget();
    QCOMPARE(top->objectName(), shown);
}

// The port list comes first; Tab walks the left column, the right column with
// the status box, the buttons, and comes back to the port list. The step box,
// which only reports, and the hidden boxes are skipped, and so are the
// disabled CTCSS box and, until a read, "Write data".
void StartupTest::tabFollowsTheWindow()
{
    QStringList stops{"ssidCombo",   "passcodeEdit", "positionEdit", "commentEdit",
                      "serverCombo", "sentTimeEdit", "filterEdit",   "dhcpCombo"};
    stops += WindowRig::octetBoxNames();
    stops += QStringList{"backlightCombo",   "unitCombo",       "freqEdit",      "digiCheckBox",
                         "pathCombo",        "modCombo",        "aliasCombo",    "wifiSsidEdit",
                         "wifiPasswordEdit", "applyWifiButton", "statusBox",     "readButton",
                         "loadButton",       "openRomButton",   "defaultButton", "saveButton",
                         "updateButton",     "restartButton",   "portCombo",     "callsignEdit"};
    WindowRig rig;
    rig.window->show();
    QVERIFY(QTest::qWaitForWindowExposed(rig.window.get()));
    const auto focused = [] {
        // A combo box's edit line stands for the box.
        QWidget *widget = QApplication::focusWidget();
        while (widget && widget->objectName().isEmpty())
            widget = widget->parentWidget();
        return widget ? widget->objectName() : QString();
    };
    QTRY_COMPARE(focused(), QStringLiteral("portCombo"));
    rig.control<QWidget>(QStringLiteral("callsignEdit"))->setFocus();
    QTRY_COMPARE(focused(), QStringLiteral("callsignEdit"));

    QStringList visited;
    for (qsizetype i = 0; i < stops.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        visited << focused();
    }
    QCOMPARE(visited, stops);

    auto *status = rig.control<QPlainTextEdit>(QStringLiteral("statusBox"));
    status->setFocus();
    QTRY_VERIFY(status->hasFocus());
    QTest::keyClick(status, Qt::Key_Tab);
    QVERIFY(!status->hasFocus());
    QCOMPARE(status->toPlainText(), QString());
}

void StartupTest::answersWithoutADisplay_data()
{
    QTest::addColumn<QString>("option");
    QTest::addColumn<QByteArray>("printed");
    QTest::newRow("version") << QStringLiteral("--version") << QByteArray("telx5-config 1.0.0\n");
    QTest::newRow("help") << QStringLiteral("--help") << QByteArray("--simulate");
}

// No window system at all, as over ssh or in a script: the two options that
// only print still answer.
void StartupTest::answersWithoutADisplay()
{
    QFETCH(QString, option);
    QFETCH(QByteArray, printed);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TELX5_CONFIG_PATH), {option});
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(program.readAllStandardOutput().contains(printed));
}

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
