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
    {"Label3", "KT360 APRS Config", "TELX5系列配置软件"},
    {"Label4", "Callsign", "呼号"},
    {"Label1", "Pass", "密码"},
    {"Label6", "Posi+Comment", "坐标和信息"},
    {"Label11", "Status", "状态信息"},
    {"Label7", "Server", "服务器"},
    {"Label8", "Tx time", "发送间隔"},
    {"Label10", "Filter", "信息过滤"},
    {"Label5", "DHCP", "网络地址"},
    {"Label18", "Backlight", "背光时间"},
    {"Label19", "Unit", "距离"},
    {"Label16", "Tx/Rx", "频率"},
    {"Check1", "DIGI", "中继功能"},
    {"Label25", "Path", "发射路径"},
    {"Label24", "TX vol", "调制度"},
    {"Label26", "Alias", "转发路径"},
    {"Frame5", "Setup", "设置"},
    {"Frame4", "RF RADIO", "电台设置"},
    {"Frame6", "WIFI user/password", "WIFI设置"},
    {"Label23", "ssid", "名字"},
    {"Label20", "pass", "密码"},
    {"Command8", "Apply", "应用"},
    {"Command0", "Default", "默认数据"},
    {"Command6", "Read data", "读取数据"},
    {"Command7", "Write data", "写入数据"},
    {"Command4", "Load file", "载入数据"},
    {"Command5", "Save file", "保存数据"},
    {"Command1", "Open ROM", "打开升级文件"},
    {"Command2", "update", "开始升级"},
    {"Command9", "restart", "重启"},
    {"Label22", "If change setup then please restart ", "如果修改了数据,重启后生效."},
};

// Texts that read the same in both languages.
const std::pair<const char *, const char *> Untranslated[] = {
    {"Frame3", "Vers"},
    {"Label12", "IP"},
    {"Label13", "Mask"},
    {"Label14", "Gate"},
    {"Label15", "DNS"},
    {"Label17", "MHz"},
    {"Label21", "CTCSS"},
    {"Label9", "-"},
    {"Text3", "0/10"},
    {"Text6", "KT360 "},
    {"Text12", "Config 20170121"},
    {"Command3", "打开串口"},
};

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
    void onTop_data();
    void onTop();
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
    QCOMPARE(rig.dialogs.messages, boxes);
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
         {"Text4", "Combo5", "Text5", "Combo2", "Text8", "Text7", "Combo3", "Text10", "Text11",
          "Combo16", "Combo4", "Combo6", "Combo7", "Combo8", "Text31", "Text34", "Text33"})
        QTest::newRow(name) << QString::fromLatin1(name) << QString() << true;
    for (int box = 13; box <= 28; ++box) {
        const QString name = QStringLiteral("Text%1").arg(box);
        QTest::newRow(qPrintable(name)) << name << QString() << true;
    }
    QTest::newRow("Combo1 loses its design text") << "Combo1" << QString() << true;
    QTest::newRow("Text32 CTCSS") << "Text32"
                                  << "---" << false;
    QTest::newRow("Label21 greyed") << "Label21"
                                    << "CTCSS" << false;
    QTest::newRow("Text6 version") << "Text6"
                                   << "KT360 " << true;
    QTest::newRow("Text12 tool version") << "Text12"
                                         << "Config 20170121" << true;
    QTest::newRow("Text3 step box") << "Text3"
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
    QVERIFY(!rig.control<QAbstractButton>(QStringLiteral("Check1"))->isChecked());
    QCOMPARE(rig.window->statusText(), QString());
    QCOMPARE(rig.control<QPlainTextEdit>(QStringLiteral("Text29"))->toPlainText(), QString());
    QCOMPARE(rig.control<QProgressBar>(QStringLiteral("ProgressBar1"))->maximum(), 100);
}

void StartupTest::buttonsAfterStartup_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<bool>("enabled");

    for (const char *name : {"Command0", "Command1", "Command2", "Command4", "Command5", "Command6",
                             "Command8", "Command9"})
        QTest::newRow(name) << QString::fromLatin1(name) << true;
    QTest::newRow("Command7 Write data") << "Command7" << false;
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

    QTest::newRow("Combo2 Dhcp") << "Combo2" << QStringList{"DHCP", "STATIC IP"};
    QStringList ssids;
    for (int n = 0; n <= 15; ++n)
        ssids << QString::number(n);
    QTest::newRow("Combo5 Ssid") << "Combo5" << ssids;
    QTest::newRow("Combo3 Server") << "Combo3" << DeviceSettings::serverChoices();
    QTest::newRow("Combo4 Unit") << "Combo4" << QStringList{"km", "mi", "公里"};
    QTest::newRow("Combo6 Mod") << "Combo6" << QStringList{"1", "2", "3", "4", "5"};
    QTest::newRow("Combo7 Path") << "Combo7"
                                 << QStringList{"None", "WIDE1-1", "WIDE1-1WIDE2-1",
                                                "WIDE1-1WIDE2-2"};
    QTest::newRow("Combo8 Alias") << "Combo8" << QStringList{"WIDE1", "WIDE2", "WIDE1+WIDE2"};
    QTest::newRow("Combo16 Backlight")
        << "Combo16" << QStringList{"ON", "05", "10", "20", "30", "60", "90"};
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

    QTest::newRow("a device path") << "/dev/ttyUSB3";
    QTest::newRow("a Windows name") << "COM7";
    QTest::newRow("typed by hand") << "my port";
}

void StartupTest::rememberedPort()
{
    QFETCH(QString, stored);

    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("XRVComm.ini"));
    PortSettingsStore::WriteCommSet(ini, stored, QStringLiteral("115200"), QStringLiteral("1"),
                                    QStringLiteral("n"), QStringLiteral("8"), QStringLiteral("0"),
                                    QStringLiteral("2048"), QStringLiteral("2048"));
    FakeDialogs dialogs;
    FakeLink link;
    Form1::Options options;
    options.locale = EnglishUk;
    options.iniPath = ini;
    Form1 window(options, dialogs, &link);

    QCOMPARE(window.portText(), stored);
    QCOMPARE(window.findChild<QComboBox *>(QStringLiteral("Combo1"))->currentText(), stored);
    QVERIFY(!link.isOpen());
}

void StartupTest::extraPortListedAndChosen()
{
    const QString port = QStringLiteral("/dev/pts/simulated");
    WindowRig rig(EnglishUs, port);
    auto *combo = rig.control<QComboBox>(QStringLiteral("Combo1"));
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
    QTest::newRow("Form1 client area") << "Form1" << QString() << QRect(0, 0, 519, 502);
    QTest::newRow("Text3 over Frame1") << "Text3"
                                       << "Form1" << QRect(16, 464, 65, 17);
    QTest::newRow("Frame1") << "Frame1"
                            << "Form1" << QRect(0, 0, 521, 505);
    QTest::newRow("Text1 out of sight") << "Text1"
                                        << "Form1" << QRect(528, 136, 265, 33);
    QTest::newRow("Label2 out of sight") << "Label2"
                                         << "Form1" << QRect(544, 80, 417, 33);
    QTest::newRow("Text9 below") << "Text9"
                                 << "Form1" << QRect(136, 560, 199, 20);
    QTest::newRow("Combo5") << "Combo5"
                            << "Frame1" << QRect(152, 56, 41, 18);
    QTest::newRow("Text12 over Frame3") << "Text12"
                                        << "Frame1" << QRect(280, 384, 129, 18);
    QTest::newRow("Text6 in Frame3") << "Text6"
                                     << "Frame3" << QRect(8, 40, 129, 18);
    QTest::newRow("Text28 in Frame2") << "Text28"
                                      << "Frame2" << QRect(184, 112, 25, 20);
    QTest::newRow("Command8 in Frame6") << "Command8"
                                        << "Frame6" << QRect(208, 16, 41, 25);
    QTest::newRow("ProgressBar1") << "ProgressBar1"
                                  << "Frame1" << QRect(8, 440, 497, 25);
}

void StartupTest::geometry()
{
    QFETCH(QString, control);
    QFETCH(QString, container);
    QFETCH(QRect, rect);

    WindowRig rig;
    QWidget *widget =
        control == QStringLiteral("Form1") ? rig.window.get() : rig.control<QWidget>(control);
    QVERIFY(widget);
    QCOMPARE(QRect(widget->pos(), widget->size()), rect);
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
        // The dash between callsign and SSID lies in a box lower than a line of text.
        if (QByteArrayView(control).startsWith("Text") || QByteArrayView(control) == "Command3" ||
            QByteArrayView(control) == "Label9")
            continue;
        QTest::addRow("zh_CN %s", control) << ChinesePrc << QString::fromLatin1(control);
        QTest::addRow("en_US %s", control) << EnglishUs << QString::fromLatin1(control);
    }
}

// Nothing at a fixed place is cut off, whatever the system's font.
void StartupTest::captionsFit()
{
    QFETCH(QLocale, locale);
    QFETCH(QString, control);

    WindowRig rig(locale);
    QWidget *widget = rig.control<QWidget>(control);
    const QFontMetrics metrics = widget->fontMetrics();
    QVERIFY(widget->font().pointSizeF() >= 6.0);
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

void StartupTest::onTop_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<QString>("shown");

    QTest::newRow("Text3 over Frame1") << "Text3" << QPoint(20, 470) << "Text3";
    QTest::newRow("Text12 over the Vers frame") << "Text12" << QPoint(290, 392) << "Text12";
    QTest::newRow("Combo4 over the Unit label") << "Label19" << QPoint(164, 24) << "Combo4";
    QTest::newRow("Text33 over the pass label") << "Label20" << QPoint(136, 24) << "Text33";
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

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
