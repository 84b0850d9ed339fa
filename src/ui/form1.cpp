#include "form1.h"

#include "devicesettings.h"
#include "fieldentry.h"
#include "filecommands.h"
#include "firmwareupdate.h"
#include "fitcaptions.h"
#include "ports.h"
#include "portsettingsstore.h"
#include "qtseriallink.h"
#include "sessions.h"
#include "ui_form1.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QIcon>

namespace telx5 {

namespace {

const QString Chinese = QStringLiteral("1");
const QString English = QStringLiteral("2");

// Only the end of the receive log fits into its (hidden) box.
constexpr qsizetype HexLogShown = 64;

// Adds the entries without picking one: the box keeps the text it had.
void fillList(QComboBox *combo, const QStringList &entries)
{
    const QString text = combo->currentText();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

// SimSun where the system has it; otherwise a Song-style CJK font, so that the
// Chinese title does not fall back to empty boxes.
QString titleFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const QString &candidate : {QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC"),
                                     QStringLiteral("Noto Sans CJK SC")}) {
        if (families.contains(candidate))
            return candidate;
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QString() : chinese.constFirst();
}

// A text the program puts into a narrow box shows its beginning, as a typed
// one shows where the typing goes on.
void showStart(QLineEdit *edit)
{
    edit->setCursorPosition(0);
}

QString toDisplay(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

Form1::Form1(const Options &options, Dialogs &dialogs, SerialLink *link, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::Form1>()), m_dialogs(dialogs),
      m_iniPath(options.iniPath), m_parser(*this, m_flags, m_codec),
      m_ownLink(link ? nullptr : std::make_unique<QtSerialLink>()),
      m_link(link ? *link : *m_ownLink), m_receiver(m_link, m_lineBuffer, m_parser, m_hexLog),
      m_firmware(std::make_unique<FirmwareUpdate>(*this, *this, m_link, m_hexLog, m_codec))
{
    m_ui->setupUi(this);
    setFixedSize(size());
    setWindowIcon(QIcon(QStringLiteral(":/icons/telx5-config.png")));

    // The places were designed around an 8 point system font.
    QFont base = font();
    base.setPointSizeF(8);
    setFont(base);

    QFont title = m_ui->Label3->font();
    if (const QString family = titleFamily(); !family.isEmpty())
        title.setFamily(family);
    title.setPointSizeF(14.25);
    title.setBold(true);
    m_ui->Label3->setFont(title);

    QPalette status = m_ui->Text29->palette();
    status.setColor(QPalette::Base, status.color(QPalette::Button));
    m_ui->Text29->setPalette(status);

    const std::array<std::pair<Field, QWidget *>, FieldCount> controls = {{
        {Field::Callsign, m_ui->Text4},  {Field::Ssid, m_ui->Combo5},
        {Field::Pass, m_ui->Text5},      {Field::Dhcp, m_ui->Combo2},
        {Field::Ip1, m_ui->Text13},      {Field::Ip2, m_ui->Text14},
        {Field::Ip3, m_ui->Text15},      {Field::Ip4, m_ui->Text16},
        {Field::Mask1, m_ui->Text17},    {Field::Mask2, m_ui->Text18},
        {Field::Mask3, m_ui->Text19},    {Field::Mask4, m_ui->Text20},
        {Field::Gate1, m_ui->Text21},    {Field::Gate2, m_ui->Text22},
        {Field::Gate3, m_ui->Text23},    {Field::Gate4, m_ui->Text24},
        {Field::Dns1, m_ui->Text25},     {Field::Dns2, m_ui->Text26},
        {Field::Dns3, m_ui->Text27},     {Field::Dns4, m_ui->Text28},
        {Field::Position, m_ui->Text8},  {Field::Comment, m_ui->Text7},
        {Field::Server, m_ui->Combo3},   {Field::SentTime, m_ui->Text10},
        {Field::Filter, m_ui->Text11},   {Field::Backlight, m_ui->Combo16},
        {Field::Unit, m_ui->Combo4},     {Field::Digi, m_ui->Check1},
        {Field::Mod, m_ui->Combo6},      {Field::Path, m_ui->Combo7},
        {Field::Alias, m_ui->Combo8},    {Field::Freq, m_ui->Text31},
        {Field::WifiSsid, m_ui->Text34}, {Field::WifiPass, m_ui->Text33},
        {Field::Version, m_ui->Text6},   {Field::Ctcss, m_ui->Text32},
    }};
    for (const auto &[field, control] : controls) {
        const auto index = static_cast<std::size_t>(field);
        m_fieldControls[index] = control;
        auto *edit = qobject_cast<QLineEdit *>(control);
        // The entry rules belong to the box and go with it.
        if (edit && field != Field::Version && !(field >= Field::Ip1 && field <= Field::Dns4))
            new FieldEntry(*edit, field);
    }

    // The lists are offers: a typed text is not completed, not added, and not
    // taken for a pick from the list when Enter is pressed or the focus leaves.
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setCompleter(nullptr);
        disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
        disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    }

    connect(m_ui->Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(m_ui->Combo2, &QComboBox::activated, this, &Form1::Combo2_Click);
    connect(m_ui->Command0, &QPushButton::clicked, this, &Form1::Command0_Click);
    connect(m_ui->Command1, &QPushButton::clicked, m_firmware.get(),
            &FirmwareUpdate::Command1_Click);
    connect(m_ui->Command2, &QPushButton::clicked, m_firmware.get(),
            &FirmwareUpdate::Command2_Click);
    connect(m_ui->Command4, &QPushButton::clicked, this, [this] { runCommand(&Command4_Click); });
    connect(m_ui->Command5, &QPushButton::clicked, this, [this] { runCommand(&Command5_Click); });
    connect(m_ui->Command6, &QPushButton::clicked, this, [this] { runCommand(&Command6_Click); });
    connect(m_ui->Command7, &QPushButton::clicked, this, [this] { runCommand(&Command7_Click); });
    connect(m_ui->Command8, &QPushButton::clicked, this, [this] { runCommand(&Command8_Click); });
    connect(m_ui->Command9, &QPushButton::clicked, this, [this] { runCommand(&Command9_Click); });
    connect(m_ui->Text29, &QPlainTextEdit::textChanged, this, &Form1::statusEdited);
    // After the receiver, so the box shows the log with the new bytes.
    connect(&m_link, &SerialLink::received, this,
            [this] { m_ui->Text1->setText(m_hexLog.back(HexLogShown)); });
    connect(m_firmware.get(), &FirmwareUpdate::hexLogReset, this,
            [this] { m_ui->Text1->setText(m_hexLog.back(HexLogShown)); });

    Form_Load(options.locale, options.extraPort);
}

Form1::~Form1() = default;

void Form1::Form_Load(const QLocale &locale, const QString &extraPort)
{
    const QString languageTitle = QStringLiteral("语言");
    if (locale.language() == QLocale::English && locale.territory() == QLocale::UnitedStates) {
        m_dialogs.message(QStringLiteral("当前系统为：英文"), languageTitle);
        m_language = English;
    } else if (locale.language() == QLocale::Chinese && locale.territory() == QLocale::China) {
        m_dialogs.message(QStringLiteral("当前系统为：中文简体"), languageTitle);
        m_language = Chinese;
    }
    m_codec = TextCodec(codePageForLanguage(m_language));

    if (isChinese()) {
        if (m_translator.load(QStringLiteral(":/i18n/telx5_zh_CN.qm")))
            QCoreApplication::installTranslator(&m_translator);
        m_ui->retranslateUi(this);
    }

    setPortText(
        PortSettingsStore::ReadINI(QStringLiteral("XRVComm"), QStringLiteral("par5"), m_iniPath));

    QStringList ports = Ports::ProbePorts();
    if (!extraPort.isEmpty()) {
        ports.append(extraPort);
        setPortText(extraPort);
    }
    fillList(m_ui->Combo1, ports);

    fillList(m_ui->Combo2, DeviceSettings::dhcpChoices());
    fillList(m_ui->Combo5, DeviceSettings::ssidChoices());
    fillList(m_ui->Combo3, DeviceSettings::serverChoices());
    fillList(m_ui->Combo4, DeviceSettings::unitChoices());
    fillList(m_ui->Combo6, DeviceSettings::modChoices());
    fillList(m_ui->Combo7, DeviceSettings::pathChoices());
    fillList(m_ui->Combo8, DeviceSettings::aliasChoices());
    fillList(m_ui->Combo16, DeviceSettings::backlightChoices());

    Ports::ConfigurePort(m_link, portText(), ports);

    m_ui->Text32->setEnabled(false);
    m_ui->Label21->setEnabled(false);
    setText(Field::Ctcss, QStringLiteral("---"));

    fitCaptions(this);
}

void Form1::Command0_Click()
{
    DeviceSettings::applyDefaults(*this);
    setEnabled(Button::Write, true);
}

void Form1::Combo1_Click()
{
    if (!Ports::Combo1_Click(m_link, portText()))
        m_dialogs.message(QStringLiteral("Port is open"));
}

void Form1::Combo2_Click()
{
    setOctetBoxesEnabled(m_ui->Combo2->currentText() == DeviceSettings::StaticIp);
}

void Form1::runCommand(void (*command)(SessionContext &))
{
    SessionContext context{*this, m_link, m_codec, m_parser};
    command(context);
}

QString Form1::text(Field field) const
{
    QWidget *control = m_fieldControls[static_cast<std::size_t>(field)];
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    if (auto *combo = qobject_cast<QComboBox *>(control))
        return combo->currentText();
    return m_ui->Check1->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void Form1::setText(Field field, const QString &value)
{
    const auto index = static_cast<std::size_t>(field);
    QWidget *control = m_fieldControls[index];
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(value);
        showStart(edit);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->setEditText(value);
        showStart(combo->lineEdit());
    } else {
        m_ui->Check1->setChecked(value == QStringLiteral("1"));
    }
}

QLineEdit *Form1::octetBox(int index) const
{
    return static_cast<QLineEdit *>(
        m_fieldControls[static_cast<std::size_t>(Field::Ip1) + static_cast<std::size_t>(index)]);
}

bool Form1::octetBoxesEnabled() const
{
    return octetBox(0)->isEnabled();
}

void Form1::setOctetBoxesEnabled(bool enabled)
{
    for (int i = 0; i < 16; ++i)
        octetBox(i)->setEnabled(enabled);
}

QString Form1::statusText() const
{
    return m_status;
}

void Form1::setStatusText(const QString &text)
{
    m_status = text;
    m_settingStatus = true;
    m_ui->Text29->setPlainText(toDisplay(text));
    m_settingStatus = false;
    // The box has no scroll bars: keep the newest report in sight.
    m_ui->Text29->moveCursor(QTextCursor::End);
}

void Form1::statusEdited()
{
    if (m_settingStatus)
        return;
    m_status = m_ui->Text29->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
}

QString Form1::stepText() const
{
    return m_ui->Text3->text();
}

void Form1::setStepText(const QString &text)
{
    m_ui->Text3->setText(text);
    showStart(m_ui->Text3);
}

QPushButton *Form1::button(Button button) const
{
    switch (button) {
    case Button::Default:
        return m_ui->Command0;
    case Button::OpenRom:
        return m_ui->Command1;
    case Button::Update:
        return m_ui->Command2;
    case Button::Load:
        return m_ui->Command4;
    case Button::Save:
        return m_ui->Command5;
    case Button::Read:
        return m_ui->Command6;
    case Button::Write:
        return m_ui->Command7;
    case Button::Apply:
        return m_ui->Command8;
    case Button::Restart:
        return m_ui->Command9;
    }
    return m_ui->Command0;
}

QString Form1::caption(Button which) const
{
    return button(which)->text();
}

void Form1::setCaption(Button which, const QString &caption)
{
    button(which)->setText(caption);
}

bool Form1::isEnabled(Button which) const
{
    return button(which)->isEnabled();
}

void Form1::setEnabled(Button which, bool enabled)
{
    button(which)->setEnabled(enabled);
}

QString Form1::portText() const
{
    return m_ui->Combo1->currentText();
}

void Form1::setPortText(const QString &text)
{
    m_ui->Combo1->setEditText(text);
    showStart(m_ui->Combo1->lineEdit());
}

void Form1::setProgressRange(int minimum, int maximum)
{
    m_ui->ProgressBar1->setRange(minimum, maximum);
}

void Form1::setProgressValue(int value)
{
    m_ui->ProgressBar1->setValue(value);
}

void Form1::setNoticeText(const QString &text)
{
    m_ui->Label2->setText(text);
}

void Form1::setPortControlsEnabled(bool enabled)
{
    m_ui->Command3->setEnabled(enabled);
    m_ui->Combo1->setEnabled(enabled);
}

} // namespace telx5
