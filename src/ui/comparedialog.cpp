#include "comparedialog.h"

#include "devicesettings.h"
#include "settingsfile.h"
#include "settingsrecord.h"
#include "settingstable.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace telx5 {

CompareDialog::CompareDialog(const QString &fileName, const SettingsRecord &file,
                             const SettingsRecord &device, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Compare with file"));
    // Compared as a write of the file would be checked against the device;
    // the addresses as well, which a file on DHCP would not send.
    const QList<Setting> differing = SettingsFile::differences(file, device, true);
    const bool addressesSent = WireCodes::isStaticAddressing(file.text(Field::Dhcp));
    const QString shownName = QDir::toNativeSeparators(fileName);
    auto *summary =
        new QLabel(differing.isEmpty() ? tr("The device holds the settings of %1").arg(shownName)
                                       : tr("Settings in which the device and %1 differ: %2")
                                             .arg(shownName)
                                             .arg(differing.size()),
                   this);
    summary->setWordWrap(true);
    summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    const QList<Setting> settings = SettingsTable::fileSettings();
    auto *table = new QTableWidget(int(settings.size()), 3, this);
    table->setObjectName(QStringLiteral("compareTable"));
    table->setHorizontalHeaderLabels({tr("Setting"), tr("Device"), tr("File")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    const auto shown = [](Setting setting, const SettingsRecord &record) {
        return SettingsTable::valueText(setting, record, SettingsTable::Destination::Window);
    };
    for (int row = 0; row < settings.size(); ++row) {
        const Setting setting = settings.at(row);
        const bool differs = differing.contains(setting);
        const QStringList texts = {SettingsTable::caption(setting), shown(setting, device),
                                   shown(setting, file)};
        for (int column = 0; column < 3; ++column) {
            auto *item = new QTableWidgetItem(texts.at(column));
            // Bold as well as coloured: the mark does not rest on colour alone.
            if (differs) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(QColor(255, 224, 178));
                item->setToolTip(SettingsTable::row(setting).staticOnly && !addressesSent
                                     ? tr("Differs; a write of the file leaves it as it is, as "
                                          "the file sets DHCP")
                                     : tr("Differs"));
            }
            table->setItem(row, column, item);
        }
    }

    auto *load = new QPushButton(tr("&Load the file into the window"), this);
    load->setObjectName(QStringLiteral("loadComparedFileButton"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    // Qt's own caption of the button has no access key.
    buttons->button(QDialogButtonBox::Close)->setText(tr("&Close"));
    buttons->addButton(load, QDialogButtonBox::ActionRole);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(summary);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(600, 520);

    connect(load, &QPushButton::clicked, this, [this, fileName] {
        accept();
        Q_EMIT loadRequested(fileName);
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &CompareDialog::reject);
}

} // namespace telx5
