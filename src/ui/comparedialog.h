#pragma once

#include <QDialog>
#include <QString>

namespace telx5 {

class SettingsRecord;

// The device's settings beside those of a settings file, setting by setting,
// the rows that differ marked, to load the file into the window from there.
class CompareDialog final : public QDialog
{
    Q_OBJECT
public:
    CompareDialog(const QString &fileName, const SettingsRecord &file, const SettingsRecord &device,
                  QWidget *parent = nullptr);

Q_SIGNALS:
    // "Load the file into the window".
    void loadRequested(const QString &fileName);
};

} // namespace telx5
