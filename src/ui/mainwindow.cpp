#include "mainwindow.h"

#include "backups.h"
#include "backupsdialog.h"
#include "checkmarks.h"
#include "checks.h"
#include "comparedialog.h"
#include "devicesettings.h"
#include "dropcopies.h"
#include "enabledfollower.h"
#include "fieldentry.h"
#include "filecommands.h"
#include "firmwareimage.h"
#include "firmwareupdate.h"
#include "fitcaptions.h"
#include "portlist.h"
#include "ports.h"
#include "portsettingsstore.h"
#include "qtseriallink.h"
#include "sessions.h"
#include "sessionsupport.h"
#include "ui_mainwindow.h"
#include "updatejob.h"
#include "visibletext.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

namespace telx5 {

namespace {

const QString Chinese = QStringLiteral("1");
const QString English = QStringLiteral("2");

// Only the end of the receive log fits into its (hidden) box.
constexpr qsizetype HexLogShown = 64;

// Puts in the entries without picking one: the box keeps the text it had.
void fillList(QComboBox *combo, const QStringList &entries)
{
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(entries);
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

// SimSun where the system has it; otherwise another CJK face, so that the
// Chinese title does not fall back to empty boxes.
QString titleFamily()
{
    // Of those found on Debian, WenQuanYi's lines are low enough for the title
    // to keep its 14.25 points in its place; Noto's are not.
    for (const QString &candidate :
         {QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Micro Hei"),
          QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")}) {
        // The database lists some families by their local names ("文泉驿微米黑"
        // in a Chinese session); hasFamily knows both.
        if (QFontDatabase::hasFamily(candidate))
            return candidate;
    }
    const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
    return chinese.isEmpty() ? QString() : chinese.constFirst();
}

// A sans-serif Chinese face for the Chinese window's captions.
QString chineseFamily()
{
    for (const QString &candidate :
         {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC")}) {
        if (QFontDatabase::hasFamily(candidate))
            return candidate;
    }
    return {};
}

// A text the program puts into a narrow box shows its beginning, as a typed
// one shows where the typing goes on.
void showStart(QLineEdit *edit)
{
    edit->setCursorPosition(0);
}

// A text wider than its box shows whole in the tooltip of the box (of the
// list, for a list's edit line).
void tipWholeText(QLineEdit *edit)
{
    QWidget *owner = qobject_cast<QComboBox *>(edit->parentWidget()) ? edit->parentWidget() : edit;
    const auto update = [edit, owner] {
        const QString text = edit->text();
        // The edit line keeps a little room on either side of its text.
        const int room = edit->contentsRect().width() - 4;
        CheckMarks::setWholeText(
            owner, edit->fontMetrics().horizontalAdvance(text) > room ? text : QString());
    };
    QObject::connect(edit, &QLineEdit::textChanged, owner, update);
    update();
}

// What the boxes show of a text: its control characters as pictures.
QString toDisplay(QString text)
{
    return VisibleText::pictured(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

// A text wider than the box ends in "…" where the box ends, instead of
// stopping mid-letter at its edge; the tooltip carries it whole.
void showElided(QLineEdit *edit, const QString &text)
{
    QStyleOptionFrame frame;
    frame.initFrom(edit);
    frame.lineWidth = edit->hasFrame()
                          ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, edit)
                          : 0;
    // The box draws its text 2 pixels in from either side of its contents.
    const int room =
        edit->style()->subElementRect(QStyle::SE_LineEditContents, &frame, edit).width() - 4;
    // The box draws a line break as a space.
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString elided = edit->fontMetrics().elidedText(shown, Qt::ElideRight, room);
    const bool cut = elided != shown;
    edit->setText(cut ? elided : text);
    showStart(edit);
    edit->setToolTip(cut ? toDisplay(text) : QString());
}

// From the settings' read to their read-back nothing else may take the port
// from an update: the buttons of the other commands are disabled, and come
// back as they were.
class HeldCommands
{
public:
    explicit HeldCommands(SessionHost &host) : m_host(host)
    {
        for (Button button : {Button::Read, Button::Write, Button::Apply, Button::Restart,
                              Button::Default, Button::Save, Button::Load, Button::OpenRom}) {
            m_held.append({button, host.isEnabled(button)});
            host.setEnabled(button, false);
        }
    }
    ~HeldCommands()
    {
        for (const auto &[button, enabled] : std::as_const(m_held))
            m_host.setEnabled(button, enabled);
    }
    HeldCommands(const HeldCommands &) = delete;
    HeldCommands &operator=(const HeldCommands &) = delete;

private:
    SessionHost &m_host;
    QList<std::pair<Button, bool>> m_held;
};

} // namespace

MainWindow::MainWindow(const Options &options, Dialogs &dialogs, SerialLink *link, QWidget *parent)
    : QWidget(parent), m_ui(std::make_unique<Ui::MainWindow>()), m_dialogs(dialogs),
      m_fileDialogs(dialogs, options.iniPath, options.programFolder),
      m_programFolder(options.programFolder), m_clientArea(new QWidget(this)),
      m_iniPath(options.iniPath), m_extraPort(options.extraPort),
      m_backupFolder(options.backupFolder), m_keepBackups(options.keepBackups),
      m_ownLink(link ? nullptr : std::make_unique<QtSerialLink>()),
      m_link(link ? *link : *m_ownLink), m_chain(m_link, *this),
      m_firmware(std::make_unique<FirmwareUpdate>(*this, *this, m_link, m_chain.hexLog(),
                                                  m_chain.codec())),
      m_journalFolder(options.journalFolder)
{
    m_ui->setupUi(m_clientArea);
    // The form keeps its designed name for the client area.
    setObjectName(QStringLiteral("telx5Config"));
    setWindowTitle(m_clientArea->windowTitle());
    setWindowIcon(QIcon(QStringLiteral(":/icons/telx5-config.png")));

    // The places were designed around an 8 point system font.
    QFont base = font();
    base.setPointSizeF(8);
    setFont(base);

    QFont title = m_ui->titleLabel->font();
    if (const QString family = titleFamily(); !family.isEmpty())
        title.setFamily(family);
    title.setPointSizeF(14.25);
    title.setBold(true);
    m_ui->titleLabel->setFont(title);

    QPalette status = m_ui->statusBox->palette();
    status.setColor(QPalette::Base, status.color(QPalette::Button));
    m_ui->statusBox->setPalette(status);
    // The program writes the reports; the user reads, selects and copies them,
    // with the mouse or the keyboard.
    m_ui->statusBox->setReadOnly(true);
    m_ui->statusBox->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                             Qt::TextSelectableByKeyboard);

    const std::array<std::pair<Field, QWidget *>, FieldCount> controls = {{
        {Field::Callsign, m_ui->callsignEdit}, {Field::Ssid, m_ui->ssidCombo},
        {Field::Pass, m_ui->passcodeEdit},     {Field::Dhcp, m_ui->dhcpCombo},
        {Field::Ip1, m_ui->ipOctet1},          {Field::Ip2, m_ui->ipOctet2},
        {Field::Ip3, m_ui->ipOctet3},          {Field::Ip4, m_ui->ipOctet4},
        {Field::Mask1, m_ui->maskOctet1},      {Field::Mask2, m_ui->maskOctet2},
        {Field::Mask3, m_ui->maskOctet3},      {Field::Mask4, m_ui->maskOctet4},
        {Field::Gate1, m_ui->gateOctet1},      {Field::Gate2, m_ui->gateOctet2},
        {Field::Gate3, m_ui->gateOctet3},      {Field::Gate4, m_ui->gateOctet4},
        {Field::Dns1, m_ui->dnsOctet1},        {Field::Dns2, m_ui->dnsOctet2},
        {Field::Dns3, m_ui->dnsOctet3},        {Field::Dns4, m_ui->dnsOctet4},
        {Field::Position, m_ui->positionEdit}, {Field::Comment, m_ui->commentEdit},
        {Field::Server, m_ui->serverCombo},    {Field::SentTime, m_ui->sentTimeEdit},
        {Field::Filter, m_ui->filterEdit},     {Field::Backlight, m_ui->backlightCombo},
        {Field::Unit, m_ui->unitCombo},        {Field::Digi, m_ui->digiCheckBox},
        {Field::Mod, m_ui->modCombo},          {Field::Path, m_ui->pathCombo},
        {Field::Alias, m_ui->aliasCombo},      {Field::Freq, m_ui->freqEdit},
        {Field::WifiSsid, m_ui->wifiSsidEdit}, {Field::WifiPass, m_ui->wifiPasswordEdit},
        {Field::Version, m_ui->versionEdit},   {Field::Ctcss, m_ui->ctcssEdit},
    }};
    for (const auto &[field, control] : controls) {
        const auto index = static_cast<std::size_t>(field);
        m_fieldControls[index] = control;
        auto *edit = qobject_cast<QLineEdit *>(control);
        // The entry rules belong to the box and go with it.
        if (edit && field != Field::Version && !(field >= Field::Ip1 && field <= Field::Dns4))
            new FieldEntry(*edit, field);
    }

    bindControls();

    auto *dropCopies = new DropCopies(this);
    for (QLineEdit *edit : findChildren<QLineEdit *>()) {
        tipWholeText(edit);
        dropCopies->guard(*edit);
    }

    // The lists are offers: a typed text is not completed, not added, and not
    // taken for a pick from the list when Enter is pressed or the focus leaves.
    for (QComboBox *combo : findChildren<QComboBox *>()) {
        combo->setCompleter(nullptr);
        disconnect(combo->lineEdit(), &QLineEdit::returnPressed, combo, nullptr);
        disconnect(combo->lineEdit(), &QLineEdit::editingFinished, combo, nullptr);
    }

    connect(m_ui->portCombo, &QComboBox::activated, this, &MainWindow::portPicked);
    connect(m_ui->portCombo, &ChoiceComboBox::aboutToShowPopup, this,
            &MainWindow::listPresentPorts);
    connect(m_ui->dhcpCombo, &QComboBox::activated, this, &MainWindow::addressModePicked);
    connect(m_ui->defaultButton, &QPushButton::clicked, this, &MainWindow::loadDefaults);
    connect(m_ui->openRomButton, &QPushButton::clicked, m_firmware.get(),
            &FirmwareUpdate::openImage);
    connect(m_ui->updateButton, &QPushButton::clicked, this, &MainWindow::updateFirmware);
    connect(m_ui->loadButton, &QPushButton::clicked, this, [this] { loadSettings({}); });
    connect(m_ui->saveButton, &QPushButton::clicked, this, &MainWindow::saveSettings);
    connect(m_ui->readButton, &QPushButton::clicked, this, &MainWindow::readDevice);
    connect(m_ui->writeButton, &QPushButton::clicked, this, &MainWindow::writeDevice);
    connect(m_ui->applyWifiButton, &QPushButton::clicked, this, &MainWindow::applyWifi);
    connect(m_ui->restartButton, &QPushButton::clicked, this, &MainWindow::restartDevice);
    m_stepText = m_ui->stepBox->text();
    connect(m_ui->stepBox, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_stepText = text; });
    // After the receiver, so the box shows the log with the new bytes.
    connect(&m_link, &SerialLink::received, this,
            [this] { m_ui->hexLogBox->setText(m_chain.hexLog().back(HexLogShown)); });
    connect(m_firmware.get(), &FirmwareUpdate::hexLogReset, this,
            [this] { m_ui->hexLogBox->setText(m_chain.hexLog().back(HexLogShown)); });
    // After the receive chain, which puts the replies into the hex log: a
    // loader that is ready at once is answered at once, not on a tick.
    m_firmware->setAnswerOnArrival(true);

    startUp(options.locale);
    addCompareAction();
    addBackupsAction();
    addMenuBar();
    setUpKeyboard();
    addPasscodeAction();
    // In the language startUp chose.
    showChecks();
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp(const QLocale &locale)
{
    const QString languageTitle = SessionSupport::FixedText::tr("语言");
    if (locale.language() == QLocale::English && locale.territory() == QLocale::UnitedStates) {
        m_dialogs.message(SessionSupport::FixedText::tr("当前系统为：英文"), languageTitle);
        m_language = English;
    } else if (locale.language() == QLocale::Chinese && locale.territory() == QLocale::China) {
        m_dialogs.message(SessionSupport::FixedText::tr("当前系统为：中文简体"), languageTitle);
        m_language = Chinese;
    }
    m_chain.setCodePage(codePageForLanguage(m_language));

    if (isChinese()) {
        m_translation = std::make_unique<Translation>(true);
        m_ui->retranslateUi(m_clientArea);
        // The Chinese captions in a Chinese face of their own, so that a
        // caption set narrower to fit its place is narrower in every glyph.
        if (const QString family = chineseFamily(); !family.isEmpty()) {
            QFont chinese = font();
            chinese.setFamily(family);
            setFont(chinese);
        }
    }

    // A pseudo-terminal is a simulated device of an earlier run: its number
    // may now belong to any other terminal.
    QString remembered;
    if (!m_iniPath.isEmpty())
        remembered = PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"),
                                                  m_iniPath);
    setPortText(Ports::isPseudoTerminal(remembered) ? QString() : remembered);

    // The ports that open are listed once the window is on the screen: the
    // probe opens each of them, which takes longer than all the rest.
    if (!m_extraPort.isEmpty()) {
        fillPortList(m_ui->portCombo, describePorts({m_extraPort}, {}));
        setPortText(m_extraPort);
    }

    fillList(m_ui->dhcpCombo, DeviceSettings::dhcpChoices());
    fillList(m_ui->ssidCombo, DeviceSettings::ssidChoices());
    fillList(m_ui->serverCombo, DeviceSettings::serverChoices());
    fillList(m_ui->unitCombo, DeviceSettings::unitChoices());
    fillList(m_ui->modCombo, DeviceSettings::modChoices());
    fillList(m_ui->pathCombo, DeviceSettings::pathChoices());
    fillList(m_ui->aliasCombo, DeviceSettings::aliasChoices());
    fillList(m_ui->backlightCombo, DeviceSettings::backlightChoices());

    Ports::configurePort(m_link, portText());

    m_ui->ctcssEdit->setEnabled(false);
    m_ui->ctcssLabel->setEnabled(false);
    setText(Field::Ctcss, QStringLiteral("---"));

    fitCaptions(this);
    nameControls();
}

// A screen reader names each control by the caption beside it, in the
// window's language; the buttons and the check box name themselves.
void MainWindow::nameControls()
{
    const std::array<std::pair<QWidget *, QString>, 24> named = {{
        {m_ui->callsignEdit, m_ui->callsignLabel->text()},
        {m_ui->ssidCombo, SettingsTable::fieldName(Field::Ssid)},
        {m_ui->passcodeEdit, m_ui->passcodeLabel->text()},
        {m_ui->positionEdit, m_ui->positionLabel->text()},
        {m_ui->commentEdit, m_ui->commentLabel->text()},
        {m_ui->serverCombo, m_ui->serverLabel->text()},
        {m_ui->sentTimeEdit, m_ui->sentTimeLabel->text()},
        {m_ui->filterEdit, m_ui->filterLabel->text()},
        {m_ui->dhcpCombo, m_ui->dhcpLabel->text()},
        {m_ui->freqEdit, m_ui->freqLabel->text()},
        {m_ui->ctcssEdit, m_ui->ctcssLabel->text()},
        {m_ui->modCombo, m_ui->modLabel->text()},
        {m_ui->pathCombo, m_ui->pathLabel->text()},
        {m_ui->aliasCombo, m_ui->aliasLabel->text()},
        {m_ui->backlightCombo, m_ui->backlightLabel->text()},
        {m_ui->unitCombo, m_ui->unitLabel->text()},
        {m_ui->wifiSsidEdit, m_ui->wifiSsidLabel->text()},
        {m_ui->wifiPasswordEdit, m_ui->wifiPasswordLabel->text()},
        {m_ui->versionEdit, m_ui->versionGroup->title()},
        {m_ui->toolVersionEdit, tr("Program version")},
        {m_ui->portCombo, tr("Port")},
        {m_ui->stepBox, tr("Step")},
        {m_ui->progressBar, tr("Progress")},
        {m_ui->statusBox, tr("Status reports")},
    }};
    for (const auto &[control, name] : named)
        control->setAccessibleName(name.trimmed());
    m_ui->statusBox->setAccessibleDescription(
        tr("What the program did and what to do next; read-only, select and copy."));

    const std::array<std::pair<QLabel *, std::array<QLineEdit *, 4>>, 4> octets = {{
        {m_ui->ipLabel, {m_ui->ipOctet1, m_ui->ipOctet2, m_ui->ipOctet3, m_ui->ipOctet4}},
        {m_ui->maskLabel, {m_ui->maskOctet1, m_ui->maskOctet2, m_ui->maskOctet3, m_ui->maskOctet4}},
        {m_ui->gateLabel, {m_ui->gateOctet1, m_ui->gateOctet2, m_ui->gateOctet3, m_ui->gateOctet4}},
        {m_ui->dnsLabel, {m_ui->dnsOctet1, m_ui->dnsOctet2, m_ui->dnsOctet3, m_ui->dnsOctet4}},
    }};
    for (const auto &[label, boxes] : octets) {
        for (std::size_t index = 0; index < boxes.size(); ++index)
            //: An address's caption, then which of its four numbers.
            boxes[index]->setAccessibleName(
                tr("%1, part %2").arg(label->text().trimmed()).arg(index + 1));
    }
}

bool MainWindow::event(QEvent *event)
{
    if (event->type() == QEvent::Paint && !m_portsProbed) {
        m_portsProbed = true;
        QTimer::singleShot(0, this, &MainWindow::listProbedPorts);
    }
    return QWidget::event(event);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (!m_job) {
        QWidget::closeEvent(event);
        return;
    }
    // The job ends where it stands, says what the device holds and how to
    // bring it back, and the window closes then.
    QString question;
    if (dynamic_cast<UpdateJob *>(m_job))
        question = tr("The firmware update is running: closing now leaves the device in its boot "
                      "loader. Close anyway?");
    else if (dynamic_cast<WriteJob *>(m_job))
        question = tr("A write is running: closing now may leave the device with part of the new "
                      "settings. Close anyway?");
    event->ignore();
    if (!question.isEmpty() && !m_dialogs.question(question))
        return;
    m_closeAfterJob = true;
    m_job->stop();
}

template <typename Run> JobEnd MainWindow::runJob(DeviceJob &job, Run run)
{
    m_job = &job;
    m_finishUpdateAction->setEnabled(false);
    clearLastJobFigures();
    const JobEnd ended = run();
    m_job = nullptr;
    if (ended.result == JobEnd::Result::CouldNotOpen)
        guideToPort();
    offerFinishing();
    if (std::exchange(m_closeAfterJob, false))
        QTimer::singleShot(0, this, &QWidget::close);
    return ended;
}

// The port's line above says why it did not open; this one says what to try.
void MainWindow::guideToPort()
{
    appendStatusLine(tr("Choose the device's port in the port list and check its cable; on "
                        "Linux, join the dialout group (then log in again) if the port refuses "
                        "you."));
}

// The last job's progress and step count stand as its sign of success until
// the next one starts.
void MainWindow::clearLastJobFigures()
{
    setProgressText({});
    m_ui->progressBar->setValue(m_ui->progressBar->minimum());
    setStepText({});
}

void MainWindow::showWayBack(const JobEnd &ended, const QString &change)
{
    const QString holds = describeHolds(ended.phase.holds);
    const QString backup = QDir::toNativeSeparators(ended.backup);
    QString how;
    switch (ended.phase.wayBack) {
    case WayBack::None:
        return;
    case WayBack::WriteBackup:
        how = backup.isEmpty()
                  ? tr("No backup of its settings was kept.")
                  : tr("Its settings before the %1 are in %2: load them with File > Backups… and "
                       "press Write data.")
                        .arg(change, backup);
        break;
    case WayBack::Recover:
        how = m_journalFolder.isEmpty()
                  ? tr("Nothing can finish this update: power the device off and on, then update "
                       "again.")
              : backup.isEmpty()
                  ? tr("Device > Finish the interrupted update carries the update on.")
                  : tr("Its settings before the %1 are in %2: Device > Finish the interrupted "
                       "update carries the update on and writes them back.")
                        .arg(change, backup);
        break;
    }
    QString capitalised = holds;
    capitalised[0] = capitalised[0].toUpper();
    //: What the device holds, then how to bring it back.
    const QString text = tr("%1. %2").arg(capitalised, how);
    appendStatusLine(text);
    // A device the job left changed with its settings kept elsewhere, or
    // one it left when stopped or cut off, is worth a box; a write the
    // device did not confirm says so in its own line already.
    if (ended.result != JobEnd::Result::Failed || !ended.backup.isEmpty())
        m_dialogs.message(text);
}

void MainWindow::offerFinishing()
{
    if (!m_finishUpdateAction)
        return;
    const bool interrupted =
        !m_job && !m_journalFolder.isEmpty() &&
        UpdateJournal::load(UpdateJournal::path(m_journalFolder, Ports::deviceName(portText())))
            .has_value();
    m_finishUpdateAction->setEnabled(interrupted);
}

void MainWindow::listProbedPorts()
{
    listPorts(Ports::probePorts());
}

void MainWindow::listPresentPorts()
{
    listPorts(Ports::candidatePorts());
}

// The port in use and the simulated one stay listed: the system lists
// neither (the one because the probe cannot open it again, the other because
// it is no serial port).
void MainWindow::listPorts(QStringList ports)
{
    if (m_link.isOpen() && !ports.contains(m_link.portName()))
        ports.append(m_link.portName());
    if (!m_extraPort.isEmpty() && !ports.contains(m_extraPort))
        ports.append(m_extraPort);
    fillPortList(m_ui->portCombo, describePorts(ports, Ports::presentPorts()));
}

void MainWindow::loadDefaults()
{
    DeviceSettings::applyDefaults(m_record);
    setEnabled(Button::Write, true);
}

void MainWindow::portPicked()
{
    if (!Ports::choosePort(m_link, portText()))
        m_dialogs.message(SessionSupport::FixedText::tr("Port is open"));
    offerFinishing();
    if (m_finishUpdateAction->isEnabled())
        appendStatusLine(tr("An update on %1 stopped after it erased the settings: Device > "
                            "Finish the interrupted update carries it on")
                             .arg(Ports::deviceName(portText())));
}

void MainWindow::addressModePicked()
{
    setOctetBoxesEnabled(m_ui->dhcpCombo->currentText() == DeviceSettings::StaticIp);
}

void MainWindow::readDevice()
{
    clearLastJobFigures();
    const SessionOutcome outcome = runCommand(&readSettingsOrKeep);
    // The command it took the port from tells how that one ended.
    if (outcome.tookPort)
        return;
    if (outcome.ok()) {
        QList<Setting> read;
        for (const SettingRow &row : SettingsTable::settings())
            read.append(row.setting);
        const QList<Setting> missing = outcome.received.missing(read);
        if (missing == QList<Setting>{Setting::Version})
            appendStatusLine(
                tr("The device did not send: %1").arg(DeviceSettings::captions(missing)));
        else if (!missing.isEmpty())
            appendStatusLine(tr("The device did not send: %1; the window keeps its values for "
                                "them")
                                 .arg(DeviceSettings::captions(missing)));
    }
    if (outcome.settingsKept) {
        if (outcome.result == SessionOutcome::Result::Cancelled) {
            appendStatusLine(tr("The read was cancelled: the window's settings are unchanged"));
            appendStatusLine(tr("Press Read data to read the device again."));
            return;
        }
        appendStatusLine(tr("The read did not complete: the window's settings are unchanged"));
        if (outcome.result == SessionOutcome::Result::CouldNotOpen)
            guideToPort();
        else
            appendStatusLine(tr("Check that the device is on and its cable is plugged in, then "
                                "press Read data again."));
        return;
    }
    runCommand([&outcome](SessionContext &context) { keepReadBackup(context, outcome.received); });
}

void MainWindow::loadSettings(const QString &fileName)
{
    const QString before = m_status;
    const bool loaded = fileName.isEmpty() ? runCommand(&loadSettingsFile)
                                           : runCommand([&fileName](SessionContext &context) {
                                                 return loadSettingsFileNamed(context, fileName);
                                             });
    if (loaded) {
        m_fileDialogs.addRecentFile(fileName.isEmpty() ? m_fileDialogs.lastChosen() : fileName);
        listRecentFiles();
    }
    // The file's name heads what was loaded: the view starts there.
    if (m_status != before)
        m_ui->statusBox->moveCursor(QTextCursor::Start);
}

QString MainWindow::backupFolder() const
{
    return m_keepBackups ? m_backupFolder : QString();
}

void MainWindow::addBackupsAction()
{
    auto *backups = new QAction(tr("&Backups…"), this);
    backups->setObjectName(QStringLiteral("backupsAction"));
    backups->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
    backups->setEnabled(!m_backupFolder.isEmpty());
    addAction(backups);
    connect(backups, &QAction::triggered, this, &MainWindow::openBackups);
    m_ui->statusBox->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_ui->statusBox, &QWidget::customContextMenuRequested, this,
            [this, backups](const QPoint &at) {
                std::unique_ptr<QMenu> menu(m_ui->statusBox->createStandardContextMenu(at));
                menu->addSeparator();
                menu->addAction(m_compareAction);
                menu->addAction(backups);
                menu->exec(m_ui->statusBox->viewport()->mapToGlobal(at));
            });
}

// Not modal to the application: the list stays open beside the window, and
// tests answer it without a nested loop.
void MainWindow::openBackups()
{
    const QList<Backups::Step> backups = runCommand([this](SessionContext &context) {
        return backupChanges(context, Backups::list(m_backupFolder));
    });
    auto *dialog = new BackupsDialog(m_backupFolder, backups, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &BackupsDialog::loadRequested, this, &MainWindow::loadSettings);
    connect(dialog, &BackupsDialog::compareRequested, this, &MainWindow::compareWithFileNamed);
    dialog->open();
}

void MainWindow::addCompareAction()
{
    m_compareAction = new QAction(tr("Co&mpare with file…"), this);
    m_compareAction->setObjectName(QStringLiteral("compareWithFileAction"));
    addAction(m_compareAction);
    new EnabledFollower(*m_compareAction, *m_ui->readButton);
    connect(m_compareAction, &QAction::triggered, this, &MainWindow::compareWithFile);
}

void MainWindow::compareWithFile()
{
    if (const QString fileName = runCommand(&chooseSettingsFile); !fileName.isEmpty())
        compareWithFileNamed(fileName);
}

void MainWindow::compareWithFileNamed(const QString &fileName)
{
    // The file first: one that cannot be read spares the wait for the device.
    const std::optional<SettingsRecord> file = runCommand(
        [&fileName](SessionContext &context) { return readSettingsFileAside(context, fileName); });
    if (!file)
        return;
    appendStatusLine(tr("Reading the device's settings to compare them with %1: restart the "
                        "device if it does not answer")
                         .arg(QDir::toNativeSeparators(fileName)));
    clearLastJobFigures();
    const SessionOutcome device = runCommand(&readAside);
    using Result = SessionOutcome::Result;
    switch (device.result) {
    case Result::PortLost:
        SessionSupport::reportLoss(*this, m_link);
        m_dialogs.message(SessionSupport::portFailure());
        return;
    case Result::CouldNotOpen:
        m_dialogs.message(SessionSupport::portFailure());
        guideToPort();
        return;
    case Result::Cancelled:
        return;
    case Result::NotConfirmed:
        appendStatusLine(
            tr("The device did not send %1: nothing was compared").arg(device.missing));
        return;
    case Result::Ok:
        break;
    }
    auto *dialog = new CompareDialog(fileName, *file, device.received, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &CompareDialog::loadRequested, this, &MainWindow::loadSettings);
    dialog->open();
}

void MainWindow::scheduleChecks()
{
    if (std::exchange(m_checksScheduled, true))
        return;
    QTimer::singleShot(0, this, &MainWindow::showChecks);
}

void MainWindow::showChecks()
{
    m_checksScheduled = false;
    CheckMarks::show(m_fieldControls, m_record, m_chain.codec());
}

std::optional<Allowance> MainWindow::allowWrite()
{
    // Write sends no Wi-Fi credentials: their problems are Apply's.
    const QList<Problem> problems =
        Checks::problems(m_record, Checks::Scope::FileSettings, m_chain.codec());
    const auto listed = [&problems](const auto &included) {
        QStringList lines;
        for (const Problem &problem : problems) {
            if (included(problem))
                lines.append(QStringLiteral("• %1: %2")
                                 .arg(SettingsTable::fieldName(problem.field), problem.text));
        }
        return lines;
    };
    // The one thing no answer allows: it is mended in its box first.
    const QStringList changing =
        listed([](const Problem &problem) { return problem.barrier == Barrier::Meaning; });
    if (!changing.isEmpty()) {
        m_dialogs.message(tr("Nothing was written: these values would change the commands the "
                             "device receives. Mend them first:") +
                          QLatin1Char('\n') + changing.join(QLatin1Char('\n')));
        return std::nullopt;
    }
    const QStringList errors =
        listed([](const Problem &problem) { return problem.severity == Severity::Error; });
    const QStringList cut = listed([](const Problem &problem) {
        return problem.severity == Severity::Warning && problem.barrier == Barrier::Strict;
    });
    const Allowance allowed{.lossy = true};
    if (errors.isEmpty() && cut.isEmpty())
        return allowed;
    QString question;
    if (!errors.isEmpty())
        question += tr("The device cannot take these values as meant:") + QLatin1Char('\n') +
                    errors.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
    if (!cut.isEmpty())
        question += tr("The device may cut these values short:") + QLatin1Char('\n') +
                    cut.join(QLatin1Char('\n')) + QStringLiteral("\n\n");
    if (m_dialogs.question(question + tr("Write anyway?")))
        return allowed;
    appendStatusLine(tr("Nothing was written: mend the values listed and press Write data, or "
                        "press it again and answer Yes to write them as they are."));
    return std::nullopt;
}

void MainWindow::addPasscodeAction()
{
    QLineEdit *passcode = m_ui->passcodeEdit;
    passcode->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(passcode, &QWidget::customContextMenuRequested, this,
            [this, passcode](const QPoint &at) {
                // The box's entry rules grey the standard menu's Paste.
                std::unique_ptr<QMenu> menu(passcode->createStandardContextMenu());
                menu->addSeparator();
                QAction *set = menu->addAction(tr("&Set the callsign's passcode"));
                set->setObjectName(QStringLiteral("setPasscodeAction"));
                set->setEnabled(!m_record.text(Field::Callsign).trimmed().isEmpty());
                connect(set, &QAction::triggered, this, &MainWindow::setCallsignsPasscode);
                menu->exec(passcode->mapToGlobal(at));
            });
}

// Set through the record, as the program sets any value: it is no paste.
void MainWindow::setCallsignsPasscode()
{
    m_record.setText(Field::Pass,
                     QString::number(Checks::passcode(m_record.text(Field::Callsign).trimmed())));
}

void MainWindow::writeDevice()
{
    // A press during a job takes the port from it, as a second press always
    // has: the running job ends there and says what the device holds.
    if (m_job) {
        runCommand(&writeSettings);
        return;
    }
    // A window that no read, file, Default or typing has filled would blank
    // the device.
    if (m_record.origin() == SettingsRecord::Origin::Nothing) {
        const QString why = tr("Nothing was sent: the window holds no settings yet. Read the "
                               "device, load a file or press Default first.");
        appendStatusLine(why);
        m_dialogs.message(why);
        return;
    }
    const std::optional<Allowance> allowance = allowWrite();
    if (!allowance)
        return;
    const SettingsRecord written = m_record;
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    WriteJob job(context);
    WriteJob::Request request;
    request.allowance = *allowance;
    const JobEnd ended = runJob(job, [&job, &request] { return job.run(request); });
    switch (ended.result) {
    case JobEnd::Result::Done:
        appendStatusLine(tr("Verified: every setting reads back as written"));
        return;
    case JobEnd::Result::Refused:
    case JobEnd::Result::CouldNotOpen:
        return;
    case JobEnd::Result::Failed:
    case JobEnd::Result::Stopped:
    case JobEnd::Result::PortLost:
        break;
    }
    const Verification &verification = job.verification();
    if (job.written().ok() && !verification.readBack.ok() &&
        ended.result != JobEnd::Result::Stopped) {
        appendStatusLine(tr("The read-back did not complete: the settings are not verified"));
        return;
    }
    if (!verification.untaken.isEmpty()) {
        const auto shown = [](Setting setting, const SettingsRecord &record) {
            return SettingsTable::valueText(setting, record, SettingsTable::Destination::Report);
        };
        for (Setting setting : verification.untaken)
            appendStatusLine(tr("%1 did not take: written \"%2\", read back \"%3\"")
                                 .arg(SettingsTable::caption(setting), shown(setting, written),
                                      shown(setting, verification.readBack.received)));
        m_dialogs.message(tr("Settings that did not take: %1")
                              .arg(DeviceSettings::captions(verification.untaken)));
        return;
    }
    // Stopped, or the device went away, after the first setting line.
    showWayBack(ended, tr("write"));
}

void MainWindow::applyWifi()
{
    if (m_job) {
        runCommand(&telx5::applyWifi);
        return;
    }
    if (!confirmEmptyWifi())
        return;
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    WifiJob job(context);
    // Credentials the device would take otherwise than meant (a control
    // character, text the code page lacks) are named, and nothing goes out.
    if (const JobEnd ended = runJob(job, [&job] { return job.run(false); });
        !ended.refused.isEmpty())
        m_dialogs.message(tr("Nothing was sent: %1").arg(ended.failure));
}

bool MainWindow::confirmEmptyWifi()
{
    QStringList empty;
    if (m_record.text(Field::WifiSsid).isEmpty())
        empty.append(tr("The Wi-Fi name is empty: the device will not know which network to "
                        "join."));
    if (m_record.text(Field::WifiPass).isEmpty())
        empty.append(tr("The password is empty: the device will join an open network."));
    if (empty.isEmpty())
        return true;
    return m_dialogs.question(empty.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
                              tr("Send them to the device?"));
}

void MainWindow::restartDevice()
{
    if (m_job) {
        runCommand(&telx5::restartDevice);
        return;
    }
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    RestartJob job(context);
    runJob(job, [&job] { return job.run(); });
}

void MainWindow::updateFirmware()
{
    // A second press cancels the update being set up.
    if (m_job) {
        if (dynamic_cast<UpdateJob *>(m_job))
            m_job->stop();
        return;
    }
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    UpdateJob job(context, *m_firmware, m_journalFolder);
    const HeldCommands held(*this);
    UpdateJob::Request request;
    request.imagePath = m_firmware->imageFileName().isEmpty()
                            ? QString()
                            : QFileInfo(m_firmware->imageFileName()).absoluteFilePath();
    const JobEnd ended = runJob(job, [&job, &request] { return job.run(request); });
    showUpdateEnd(job, ended);
}

void MainWindow::finishInterruptedUpdate()
{
    if (m_job)
        return;
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    UpdateJob job(context, *m_firmware, m_journalFolder);
    const HeldCommands held(*this);
    appendStatusLine(
        tr("Finishing the interrupted update on %1").arg(Ports::deviceName(portText())));
    const JobEnd ended = runJob(job, [&job] { return job.recover({}); });
    showUpdateEnd(job, ended);
}

void MainWindow::showUpdateEnd(const UpdateJob &job, const JobEnd &ended)
{
    switch (ended.result) {
    case JobEnd::Result::Done:
        if (ended.phase == UpdateJob::Restored)
            appendStatusLine(tr("update complete; settings restored and verified; apply the "
                                "Wi-Fi credentials again"));
        return;
    case JobEnd::Result::Refused:
        // No image chosen: the update's own line and box have said so.
        if (m_firmware->imageLength() < FirmwareImage::MinimumLength &&
            ended.phase == UpdateJob::Read)
            return;
        appendStatusLine(tr("Nothing was sent: %1").arg(ended.failure));
        if (job.interruptedUpdate())
            m_dialogs.message(tr("An update on this port stopped after it erased the settings: "
                                 "Device > Finish the interrupted update carries it on."));
        return;
    case JobEnd::Result::CouldNotOpen:
        return;
    case JobEnd::Result::Failed:
    case JobEnd::Result::Stopped:
    case JobEnd::Result::PortLost:
        break;
    }
    if (job.restoredAfterFailure()) {
        appendStatusLine(tr("The update failed (%1); the old firmware runs, with its settings "
                            "written back and verified")
                             .arg(ended.failure));
        return;
    }
    if (!ended.differing.isEmpty() && job.oldFirmwareRuns())
        appendStatusLine(tr("The update failed (%1); the old firmware runs, but these settings "
                            "differ from those read before: %2")
                             .arg(ended.failure, DeviceSettings::captions(ended.differing)));
    else if (!ended.differing.isEmpty())
        appendStatusLine(tr("update complete, but these settings differ from those read before: "
                            "%1")
                             .arg(DeviceSettings::captions(ended.differing)));
    showWayBack(ended, tr("update"));
}

void MainWindow::bindControls()
{
    for (int index = 0; index < FieldCount; ++index) {
        const Field field = Field(index);
        QWidget *control = m_fieldControls[std::size_t(index)];
        const auto typed = [this, field](const QString &text) {
            if (m_syncing)
                return;
            m_syncing = true;
            m_record.setText(field, text);
            m_syncing = false;
        };
        // The user's own edits only: those signals never come from the program.
        const bool setting = SettingsTable::settingOf(field).has_value();
        const auto edited = [this, setting] {
            if (setting && m_record.origin() == SettingsRecord::Origin::Nothing)
                m_record.setOrigin(SettingsRecord::Origin::Typed);
        };
        if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            m_record.setText(field, edit->text());
            connect(edit, &QLineEdit::textChanged, this, typed);
            connect(edit, &QLineEdit::textEdited, this, edited);
        } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
            m_record.setText(field, combo->currentText());
            connect(combo, &QComboBox::currentTextChanged, this, typed);
            connect(combo->lineEdit(), &QLineEdit::textEdited, this, edited);
            connect(combo, &QComboBox::activated, this, edited);
        } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
            const auto ticked = [](bool on) {
                return on ? QStringLiteral("1") : QStringLiteral("0");
            };
            m_record.setText(field, ticked(check->isChecked()));
            connect(check, &QCheckBox::toggled, this,
                    [typed, ticked](bool on) { typed(ticked(on)); });
            connect(check, &QCheckBox::clicked, this, edited);
        }
    }
    m_record.setOctetBoxesEnabled(octetBox(0)->isEnabled());
    m_record.setObserver(this);
}

void MainWindow::fieldChanged(Field field, const QString &text)
{
    // Typed or set by the program alike.
    scheduleChecks();
    if (m_syncing)
        return;
    m_syncing = true;
    QWidget *control = m_fieldControls[static_cast<std::size_t>(field)];
    if (auto *edit = qobject_cast<QLineEdit *>(control)) {
        edit->setText(text);
        showStart(edit);
    } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
        combo->setEditText(text);
        showStart(combo->lineEdit());
    } else if (auto *check = qobject_cast<QCheckBox *>(control)) {
        check->setChecked(text == QStringLiteral("1"));
    }
    m_syncing = false;
}

QLineEdit *MainWindow::octetBox(int index) const
{
    return static_cast<QLineEdit *>(
        m_fieldControls[static_cast<std::size_t>(Field::Ip1) + static_cast<std::size_t>(index)]);
}

void MainWindow::octetBoxesEnabledChanged(bool enabled)
{
    for (int i = 0; i < 16; ++i)
        octetBox(i)->setEnabled(enabled);
}

QString MainWindow::statusText() const
{
    return m_status;
}

void MainWindow::holdStatus(bool hold)
{
    m_statusHeld = hold && !m_status.isEmpty() ? std::optional<QString>(m_status) : std::nullopt;
}

void MainWindow::setStatusText(const QString &text)
{
    m_status = m_statusHeld ? *m_statusHeld + QStringLiteral("\r\n") + text : text;
    m_ui->statusBox->setPlainText(toDisplay(m_status));
    // The box has no scroll bars: keep the newest report in sight.
    m_ui->statusBox->moveCursor(QTextCursor::End);
}

void MainWindow::appendStatus(const QString &text)
{
    // A CR LF cut between two appends shows as one line break only when the
    // whole text is shown again.
    if (m_status.endsWith(QLatin1Char('\r')) && text.startsWith(QLatin1Char('\n')))
        return setStatusText(m_status + text);
    m_status += text;
    QTextCursor end(m_ui->statusBox->document());
    end.movePosition(QTextCursor::End);
    end.insertText(toDisplay(text));
    m_ui->statusBox->moveCursor(QTextCursor::End);
}

QString MainWindow::stepText() const
{
    return m_stepText;
}

void MainWindow::setStepText(const QString &text)
{
    m_stepText = text;
    showElided(m_ui->stepBox, text);
}

QPushButton *MainWindow::button(Button button) const
{
    switch (button) {
    case Button::Default:
        return m_ui->defaultButton;
    case Button::OpenRom:
        return m_ui->openRomButton;
    case Button::Update:
        return m_ui->updateButton;
    case Button::Load:
        return m_ui->loadButton;
    case Button::Save:
        return m_ui->saveButton;
    case Button::Read:
        return m_ui->readButton;
    case Button::Write:
        return m_ui->writeButton;
    case Button::Apply:
        return m_ui->applyWifiButton;
    case Button::Restart:
        return m_ui->restartButton;
    }
    return m_ui->defaultButton;
}

QString MainWindow::caption(Button which) const
{
    return button(which)->text();
}

void MainWindow::setCaption(Button which, const QString &caption)
{
    button(which)->setText(caption);
}

bool MainWindow::isEnabled(Button which) const
{
    return button(which)->isEnabled();
}

void MainWindow::setEnabled(Button which, bool enabled)
{
    button(which)->setEnabled(enabled);
}

QString MainWindow::portText() const
{
    return m_ui->portCombo->currentText();
}

void MainWindow::setPortText(const QString &text)
{
    m_ui->portCombo->setEditText(text);
    showStart(m_ui->portCombo->lineEdit());
}

void MainWindow::setProgressRange(int minimum, int maximum)
{
    m_ui->progressBar->setRange(minimum, maximum);
}

void MainWindow::setProgressValue(int value)
{
    m_ui->progressBar->setValue(value);
}

void MainWindow::setProgressText(const QString &text)
{
    // The bar puts its own figures only for "%p", "%v" and "%m", which the
    // text never holds.
    m_ui->progressBar->setFormat(text);
    m_ui->progressBar->setTextVisible(!text.isEmpty());
}

void MainWindow::setNoticeText(const QString &text)
{
    m_ui->noticeLabel->setText(text);
}

void MainWindow::setPortControlsEnabled(bool enabled)
{
    m_ui->openPortButton->setEnabled(enabled);
    m_ui->portCombo->setEnabled(enabled);
}

} // namespace telx5
