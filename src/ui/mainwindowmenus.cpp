// The main window's menu bar, its Help texts and its keyboard.

#include "filecommands.h"
#include "mainwindow.h"

#include "enabledfollower.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

namespace telx5 {

namespace {

QString compilerName()
{
#if defined(__clang__)
    return QStringLiteral("Clang ") + QLatin1String(__clang_version__).trimmed();
#elif defined(__GNUC__)
    return QStringLiteral("GCC ") + QLatin1String(__VERSION__);
#else
    return QStringLiteral("?");
#endif
}

// A program run from its build tree has no installed manual: the README of
// the source it was built from stands in. CMake's cache at the top of the
// build tree names that source folder; empty when there is none.
QString buildTreeReadme(const QString &programFolder)
{
    const QByteArray key = "CMAKE_HOME_DIRECTORY:INTERNAL=";
    QDir folder(programFolder);
    do {
        QFile cache(folder.filePath(QStringLiteral("CMakeCache.txt")));
        if (!cache.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        while (!cache.atEnd()) {
            const QByteArray line = cache.readLine().trimmed();
            if (line.startsWith(key))
                return QDir(QFile::decodeName(line.mid(key.size())))
                    .filePath(QStringLiteral("README.md"));
        }
        return {};
    } while (folder.cdUp());
    return {};
}

} // namespace

void MainWindow::addMenuBar()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("menuBar"));

    QMenu *file = bar->addMenu(tr("&File"));
    QAction *load = buttonAction(Button::Load, tr("&Load file…"), QStringLiteral("loadAction"));
    load->setShortcut(QKeySequence::Open);
    file->addAction(load);
    QAction *save = buttonAction(Button::Save, tr("&Save file…"), QStringLiteral("saveAction"));
    save->setShortcut(QKeySequence::Save);
    file->addAction(save);
    m_recentMenu = file->addMenu(tr("&Recent files"));
    m_recentMenu->setObjectName(QStringLiteral("recentFilesMenu"));
    new EnabledFollower(*m_recentMenu->menuAction(), *m_ui->loadButton);
    listRecentFiles();
    file->addSeparator();
    if (auto *backups =
            findChild<QAction *>(QStringLiteral("backupsAction"), Qt::FindDirectChildrenOnly))
        file->addAction(backups);
    file->addSeparator();
    QAction *quit = file->addAction(tr("&Quit"), this, &QWidget::close);
    quit->setObjectName(QStringLiteral("quitAction"));
    quit->setShortcut(QKeySequence::Quit);

    QMenu *device = bar->addMenu(tr("&Device"));
    QAction *read = buttonAction(Button::Read, tr("&Read data"), QStringLiteral("readAction"));
    read->setShortcut(QKeySequence(Qt::Key_F5));
    device->addAction(read);
    device->addAction(
        buttonAction(Button::Write, tr("&Write data"), QStringLiteral("writeAction")));
    device->addAction(m_compareAction);
    device->addAction(
        buttonAction(Button::Apply, tr("&Apply Wi-Fi"), QStringLiteral("applyWifiAction")));
    device->addAction(
        buttonAction(Button::Restart, tr("Re&start"), QStringLiteral("restartAction")));
    device->addSeparator();
    device->addAction(buttonAction(Button::OpenRom, tr("&Open firmware file…"),
                                   QStringLiteral("openFirmwareAction")));
    device->addAction(buttonAction(Button::Update, tr("&Update firmware…"),
                                   QStringLiteral("updateFirmwareAction")));
    m_finishUpdateAction = device->addAction(tr("&Finish the interrupted update"), this,
                                             &MainWindow::finishInterruptedUpdate);
    m_finishUpdateAction->setObjectName(QStringLiteral("finishUpdateAction"));
    offerFinishing();

    QMenu *help = bar->addMenu(tr("&Help"));
    QAction *manual = help->addAction(tr("&Manual"), this, &MainWindow::openManual);
    manual->setObjectName(QStringLiteral("manualAction"));
    manual->setShortcut(QKeySequence::HelpContents);
    help->addAction(tr("&About telx5-config"), this, &MainWindow::showAbout)
        ->setObjectName(QStringLiteral("aboutAction"));

    // A menu bar that the desktop shows at the top of the screen takes no room.
    const int barHeight = bar->isNativeMenuBar() ? 0 : bar->sizeHint().height();
    bar->setGeometry(0, 0, m_clientArea->width(), barHeight);
    m_clientArea->move(0, barHeight);
    setFixedSize(m_clientArea->width(), m_clientArea->height() + barHeight);
}

// The action presses the button: both run one handler, and a session that
// disables the button disables the action.
QAction *MainWindow::buttonAction(Button which, const QString &text, const QString &name)
{
    QPushButton *pressed = button(which);
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    new EnabledFollower(*action, *pressed);
    connect(action, &QAction::triggered, pressed, &QPushButton::click);
    return action;
}

void MainWindow::listRecentFiles()
{
    // The chosen entry may be the one that asks for this: the old entries go
    // once its signal has returned.
    for (QAction *old : m_recentMenu->actions()) {
        m_recentMenu->removeAction(old);
        old->deleteLater();
    }
    const QStringList files = m_fileDialogs.recentFiles();
    for (qsizetype index = 0; index < files.size(); ++index) {
        const QString file = files.at(index);
        const QString shown =
            QDir::toNativeSeparators(file).replace(QLatin1Char('&'), QStringLiteral("&&"));
        m_recentMenu->addAction(QStringLiteral("&%1 %2").arg(index + 1).arg(shown), this,
                                [this, file] { loadSettings(file); });
    }
    if (files.isEmpty())
        m_recentMenu->addAction(tr("No files yet"))->setEnabled(false);
}

void MainWindow::saveSettings()
{
    if (!runCommand(&saveSettingsFile))
        return;
    m_fileDialogs.addRecentFile(m_fileDialogs.lastChosen());
    listRecentFiles();
}

// The README, installed beside the man pages' package documentation, opens in
// whatever the desktop shows text with.
void MainWindow::openManual()
{
    QString readme = QDir::cleanPath(
        QDir(m_programFolder).filePath(QStringLiteral("../share/doc/telx5-config/README.md")));
    if (const QString source = buildTreeReadme(m_programFolder);
        !QFileInfo(readme).isFile() && QFileInfo(source).isFile())
        readme = source;
    const QString shown = QDir::toNativeSeparators(readme);
    if (!QFileInfo(readme).isFile()) {
        m_dialogs.message(tr("The manual is not installed: %1 is missing. Where the program is "
                             "installed from its package, \"man telx5-config\" in a terminal "
                             "shows it too.")
                              .arg(shown));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(readme)))
        m_dialogs.message(
            tr("The desktop has no program to show %1: open it in a text editor.").arg(shown));
}

void MainWindow::showAbout()
{
    m_dialogs.message(tr("telx5-config %1\r\nConfigures TELX5 APRS devices over a serial line."
                         "\r\n\r\nQt %2 (built against Qt %3)\r\nBuilt with %4, %5 build, %6")
                          .arg(QStringLiteral(TELX5_VERSION), QString::fromLatin1(qVersion()),
                               QStringLiteral(QT_VERSION_STR), compilerName(),
                               QStringLiteral(TELX5_BUILD_TYPE), QStringLiteral(TELX5_BUILD_DATE)),
                      tr("About telx5-config"));
}

void MainWindow::setUpKeyboard()
{
    // Outside a dialog a button takes Enter only when it is an auto-default one.
    for (QPushButton *pushButton : m_clientArea->findChildren<QPushButton *>())
        pushButton->setAutoDefault(true);
}

} // namespace telx5
