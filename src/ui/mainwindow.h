#pragma once

#include "deviceview.h"
#include "filedialogmemory.h"
#include "firmwarehost.h"
#include "host.h"
#include "jobs.h"
#include "receivechain.h"
#include "seriallink.h"
#include "translation.h"

#include <QCoreApplication>
#include <QLocale>
#include <QString>
#include <QWidget>

#include <array>
#include <memory>
#include <optional>
#include <type_traits>

class QAction;
class QComboBox;
class QLineEdit;
class QMenu;
class QPushButton;

namespace Ui {
class MainWindow;
}

namespace telx5 {

class FirmwareUpdate;
class UpdateJob;

// The one window. Its controls hold the settings: the parser, the sessions
// and the file commands read and write them through DeviceView and
// SessionHost, so every reader sees what the user sees.
class MainWindow final : public QWidget,
                         public DeviceView,
                         public SessionHost,
                         public FirmwareHost,
                         private SettingsRecord::Observer
{
    Q_OBJECT
public:
    struct Options
    {
        // The system's default locale; it picks the language once, at start-up.
        QLocale locale = QLocale::system();
        // "XRVComm.ini", which remembers the port that last worked; empty:
        // nothing is read or remembered (a simulated device's port).
        QString iniPath;
        // A port listed after the probed ones and chosen at start-up, for a
        // device that the probe cannot find (the simulated one).
        QString extraPort;
        // Where the backups of the device's settings are listed ("Backups…")
        // and kept; empty: none.
        QString backupFolder;
        // False for the simulated device, the program's own: listed, not kept.
        bool keepBackups = true;
        // Where an update keeps its journal from "AT+RESET#" on, for "Finish
        // the interrupted update"; empty: none (the simulated device).
        QString journalFolder;
        // Where the first file dialog starts (unless it is a system folder),
        // and from where the installed manual is found.
        QString programFolder = QCoreApplication::applicationDirPath();
    };

    // Runs startUp, which may show one message box through `dialogs`. Without
    // a link the window opens the real serial ports.
    MainWindow(const Options &options, Dialogs &dialogs, SerialLink *link = nullptr,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // DeviceView
    SettingsRecord &record() override { return m_record; }
    const SettingsRecord &record() const override { return m_record; }
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    void appendStatus(const QString &text) override;

    // SessionHost
    DeviceView &settings() override { return *this; }
    Flags &flags() override { return m_chain.flags(); }
    LineBuffer &lineBuffer() override { return m_chain.lineBuffer(); }
    Dialogs &dialogs() override { return m_fileDialogs; }
    QString language() const override { return m_language; }
    QString stepText() const override;
    void setStepText(const QString &text) override;
    QString caption(Button button) const;
    void setCaption(Button button, const QString &caption) override;
    bool isEnabled(Button button) const override;
    void setEnabled(Button button, bool enabled) override;
    QString portText() const override;
    void setPortText(const QString &text) override;
    QString iniPath() const override { return m_iniPath; }
    QString backupFolder() const override;
    void holdStatus(bool hold) override;

    // FirmwareHost
    void setProgressRange(int minimum, int maximum) override;
    void setProgressValue(int value) override;
    void setProgressText(const QString &text) override;
    void setNoticeText(const QString &text) override;
    void setPortControlsEnabled(bool enabled) override;

    using QWidget::isEnabled;
    using QWidget::setEnabled;

protected:
    bool event(QEvent *event) override;
    // Closing cuts off a firmware update or a write halfway: the user is
    // asked first, and told what state the device is left in.
    void closeEvent(QCloseEvent *event) override;

private:
    void startUp(const QLocale &locale);
    void loadDefaults();
    void portPicked();
    void addressModePicked();
    void listPresentPorts();
    void listProbedPorts();
    void listPorts(QStringList ports);
    template <typename Command>
    std::invoke_result_t<Command, SessionContext &> runCommand(Command command);
    void readDevice();
    // Write data, then the device read back aside and compared.
    void writeDevice();
    // "update": the settings read first and kept, the update, then the
    // settings written back once the new firmware answers.
    void updateFirmware();
    // "Finish the interrupted update": an update on the chosen port that
    // stopped after "AT+RESET#", carried on from its journal.
    void finishInterruptedUpdate();
    void applyWifi();
    // An empty Wi-Fi name or password is asked about first: whether to send it.
    bool confirmEmptyWifi();
    void restartDevice();
    // Runs `job` as the window's one job: the close button stops it.
    template <typename Run> JobEnd runJob(DeviceJob &job, Run run);
    // How an update or its finishing ended.
    void showUpdateEnd(const UpdateJob &job, const JobEnd &ended);
    // The accessible names of the controls, from their captions.
    void nameControls();
    // After a port that did not open: what to try next.
    void guideToPort();
    // Clears the progress bar's text and the step box as a job starts.
    void clearLastJobFigures();
    // What the device holds, where its settings are and how to bring them
    // back, in the status box and a message box.
    void showWayBack(const JobEnd &ended, const QString &change);
    // Offers "Finish the interrupted update" while the chosen port has an
    // update's journal.
    void offerFinishing();
    // The file dialog's choice when `fileName` is empty.
    void loadSettings(const QString &fileName);
    // "Backups…", in the status box's menu and on Ctrl+B: the window keeps
    // its places.
    void addBackupsAction();
    void openBackups();
    // The menu bar above the client area, whose controls keep their places:
    // the window grows by the bar's height.
    void addMenuBar();
    // An action that presses `button`, enabled and disabled with it.
    QAction *buttonAction(Button which, const QString &text, const QString &name);
    void listRecentFiles();
    void saveSettings();
    void openManual();
    void showAbout();
    // Enter presses the focused button.
    void setUpKeyboard();
    // "Compare with file…", in the status box's menu: the device read aside
    // beside a settings file, the window's fields left as they are.
    void addCompareAction();
    void compareWithFile();
    // The device read aside and set beside a settings file (a backup).
    void compareWithFileNamed(const QString &fileName);
    // The checks' marks on the boxes, once the changes of the moment are in:
    // a loaded file changes a box once a line, a read once a byte.
    void scheduleChecks();
    void showChecks();
    // The errors of what Write would send, asked about first: whether to go on.
    // What the user allows Write to send: nothing when a value would change
    // the command (told), or when asked about errors and the answer was No.
    std::optional<Allowance> allowWrite();
    // The passcode box's menu offers the callsign's passcode.
    void addPasscodeAction();
    void setCallsignsPasscode();
    // The record shows in the controls at once; what the user types goes
    // into the record.
    void bindControls();
    void fieldChanged(Field field, const QString &text) override;
    void octetBoxesEnabledChanged(bool enabled) override;

    QPushButton *button(Button button) const;
    QLineEdit *octetBox(int index) const;

    std::unique_ptr<Ui::MainWindow> m_ui;
    Dialogs &m_dialogs;
    FileDialogMemory m_fileDialogs;
    QString m_programFolder;
    // The controls at their designed places, below the menu bar.
    QWidget *m_clientArea;
    QMenu *m_recentMenu = nullptr;
    QString m_iniPath;
    QString m_extraPort;
    QString m_backupFolder;
    bool m_keepBackups;
    bool m_portsProbed = false;
    QString m_language;
    std::unique_ptr<Translation> m_translation;

    std::unique_ptr<SerialLink> m_ownLink;
    SerialLink &m_link;
    ReceiveChain m_chain;
    std::unique_ptr<FirmwareUpdate> m_firmware;
    QString m_journalFolder;
    QAction *m_finishUpdateAction = nullptr;
    // The job running now, and whether the window closes when it has ended.
    DeviceJob *m_job = nullptr;
    bool m_closeAfterJob = false;
    // What the status box keeps at its top while a job holds it.
    std::optional<QString> m_statusHeld;
    std::array<QWidget *, FieldCount> m_fieldControls{};
    QAction *m_compareAction = nullptr;
    bool m_checksScheduled = false;
    SettingsRecord m_record;
    // A control and the record are being brought level, one from the other.
    bool m_syncing = false;
    // The status box keeps its CR LF line ends; the box shows them as line breaks.
    QString m_status;
    // The step box's whole text; the box may show it cut short.
    QString m_stepText;
};

// In the header: the menus' file runs commands too, and a template is
// instantiated only where its definition is seen (an optimised build of the
// window's own file inlines every use and leaves the menus nothing to link).
template <typename Command>
std::invoke_result_t<Command, SessionContext &> MainWindow::runCommand(Command command)
{
    SessionContext context{*this, m_link, m_chain.codec(), m_chain.parser()};
    return command(context);
}

} // namespace telx5
