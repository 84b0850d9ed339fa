#pragma once

#include "backups.h"

#include <QDialog>
#include <QList>
#include <QString>

class QPushButton;
class QTreeWidget;

namespace telx5 {

// The backups of the device's settings, newest first, each with what changed
// since the backup of the same device before it; to load one into the
// window, compare one with the device, or open their folder.
class BackupsDialog final : public QDialog
{
    Q_OBJECT
public:
    BackupsDialog(const QString &folder, const QList<Backups::Step> &backups,
                  QWidget *parent = nullptr);

Q_SIGNALS:
    // "Load into the window", or a double click on a backup.
    void loadRequested(const QString &path);
    // "Compare with the device".
    void compareRequested(const QString &path);

private:
    void loadChosen();
    void compareChosen();
    QString takeChosen();
    void openFolder();

    QString m_folder;
    QTreeWidget *m_list;
    QPushButton *m_loadButton;
    QPushButton *m_compareButton;
};

} // namespace telx5
