#include "backupsdialog.h"

#include "settingstable.h"

#include "backups.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace telx5 {

namespace {

constexpr int PathRole = Qt::UserRole;

} // namespace

BackupsDialog::BackupsDialog(const QString &folder, const QList<Backups::Step> &backups,
                             QWidget *parent)
    : QDialog(parent), m_folder(folder), m_list(new QTreeWidget(this)),
      m_loadButton(new QPushButton(tr("&Load into the window"), this)),
      m_compareButton(new QPushButton(tr("Co&mpare with the device"), this))
{
    setWindowTitle(tr("Backups"));
    const QList<Backups::Step> &entries = backups;
    const QString shownFolder = QDir::toNativeSeparators(folder);
    auto *place = new QLabel(entries.isEmpty() ? tr("No backups in %1 yet").arg(shownFolder)
                                               : tr("Backups in %1, newest first").arg(shownFolder),
                             this);
    place->setWordWrap(true);
    place->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_list->setObjectName(QStringLiteral("backupList"));
    m_list->setHeaderLabels({tr("Date"), tr("Callsign"), tr("Reason"), tr("Changes")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    const QHash<QString, QString> reasons = {
        {Backups::AfterRead, tr("after a read")},
        {Backups::BeforeWrite, tr("before a write")},
        {Backups::BeforeUpdate, tr("before an update")},
    };
    for (const Backups::Step &step : entries) {
        const Backups::Entry &entry = step.entry;
        // The count and the captions in the list, the values in the tooltip.
        QStringList captions;
        QStringList values;
        for (const Backups::Change &change : step.changes) {
            captions.append(SettingsTable::caption(change.setting));
            values.append(tr("%1: “%2” → “%3”")
                              .arg(SettingsTable::caption(change.setting), change.from, change.to));
        }
        const QString changes =
            !step.readable       ? tr("cannot be read")
            : step.first         ? tr("first backup")
            : captions.isEmpty() ? tr("no change")
                                 : tr("%1: %2").arg(captions.size()).arg(captions.join(tr(", ")));
        auto *item =
            new QTreeWidgetItem(m_list, {entry.date, entry.callsign,
                                         reasons.value(entry.reason, entry.reason), changes});
        item->setData(0, PathRole, entry.path);
        item->setToolTip(0, QDir::toNativeSeparators(entry.path));
        item->setToolTip(3, values.join(QLatin1Char('\n')));
    }
    if (!entries.isEmpty())
        m_list->setCurrentItem(m_list->topLevelItem(0));

    m_loadButton->setObjectName(QStringLiteral("loadBackupButton"));
    m_loadButton->setEnabled(!entries.isEmpty());
    m_compareButton->setObjectName(QStringLiteral("compareBackupButton"));
    m_compareButton->setEnabled(!entries.isEmpty());
    auto *openButton = new QPushButton(tr("&Open folder"), this);
    openButton->setObjectName(QStringLiteral("openBackupFolderButton"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Qt's own caption of the button has no access key.
    buttons->button(QDialogButtonBox::Close)->setText(tr("&Close"));
    buttons->addButton(m_loadButton, QDialogButtonBox::ActionRole);
    buttons->addButton(m_compareButton, QDialogButtonBox::ActionRole);
    buttons->addButton(openButton, QDialogButtonBox::ActionRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(place);
    layout->addWidget(m_list);
    layout->addWidget(buttons);
    resize(560, 360);

    connect(m_loadButton, &QPushButton::clicked, this, &BackupsDialog::loadChosen);
    connect(m_compareButton, &QPushButton::clicked, this, &BackupsDialog::compareChosen);
    connect(m_list, &QTreeWidget::itemActivated, this, &BackupsDialog::loadChosen);
    connect(openButton, &QPushButton::clicked, this, &BackupsDialog::openFolder);
    connect(buttons, &QDialogButtonBox::rejected, this, &BackupsDialog::reject);
}

void BackupsDialog::loadChosen()
{
    if (const QString path = takeChosen(); !path.isEmpty())
        Q_EMIT loadRequested(path);
}

void BackupsDialog::compareChosen()
{
    if (const QString path = takeChosen(); !path.isEmpty())
        Q_EMIT compareRequested(path);
}

// The chosen backup's file, the dialog closed; empty when none is chosen.
QString BackupsDialog::takeChosen()
{
    const QTreeWidgetItem *item = m_list->currentItem();
    if (!item)
        return {};
    const QString path = item->data(0, PathRole).toString();
    accept();
    return path;
}

// A folder that does not exist yet (no backup kept so far) is made, so that
// the file manager shows where the backups will be.
void BackupsDialog::openFolder()
{
    QDir().mkpath(m_folder);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder)))
        return;
    // No file manager: the path, to paste into whatever the user has.
    const QString shown = QDir::toNativeSeparators(m_folder);
    QMessageBox box(QMessageBox::Information, tr("Backups"),
                    tr("No program could open the folder. The backups are in:\n%1").arg(shown),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("backupFolderMessage"));
    box.setTextInteractionFlags(Qt::TextSelectableByMouse);
    QPushButton *copy = box.addButton(tr("&Copy the path"), QMessageBox::ActionRole);
    box.exec();
    if (box.clickedButton() == copy)
        QGuiApplication::clipboard()->setText(shown);
}

} // namespace telx5
