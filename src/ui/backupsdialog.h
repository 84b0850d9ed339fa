#pragma once

#include <QDialog>
#include <QString>

class QPushButton;
class QTreeWidget;

namespace telx5 {

// The backups of the device's settings, newest first, to load one into the
// window or to open their folder.
class BackupsDialog final : public QDialog
{
    Q_OBJECT
public:
    explicit BackupsDialog(const QString &folder, QWidget *parent = nullptr);

Q_SIGNALS:
    // "Load into the window", or a double click on a backup.
    void loadRequested(const QString &path);

private:
    void loadChosen();
    void openFolder();

    QString m_folder;
    QTreeWidget *m_list;
    QPushButton *m_loadButton;
};

} // namespace telx5
