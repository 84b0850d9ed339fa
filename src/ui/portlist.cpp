#include "portlist.h"

#include <QComboBox>
#include <QStandardItemModel>

#include <algorithm>

namespace telx5 {

namespace {

constexpr int PathRole = Qt::UserRole + 1;

// An editable combo box puts an entry's edit role into its text when the
// entry is picked, and shows the display role in its drop-down.
class PortListModel : public QStandardItemModel
{
public:
    using QStandardItemModel::QStandardItemModel;

    QVariant data(const QModelIndex &index, int role) const override
    {
        return QStandardItemModel::data(index, role == Qt::EditRole ? PathRole : role);
    }
};

} // namespace

void fillPortList(QComboBox *combo, const QList<Ports::PortFacts> &ports)
{
    const QString text = combo->currentText();
    auto *model = dynamic_cast<PortListModel *>(combo->model());
    if (!model) {
        model = new PortListModel(combo);
        combo->setModel(model);
    }
    model->clear();
    for (const Ports::PortFacts &port : ports) {
        auto *item = new QStandardItem(Ports::portLabel(port));
        item->setData(port.path, PathRole);
        model->appendRow(item);
    }
    combo->setCurrentIndex(-1);
    combo->setEditText(text);
}

QList<Ports::PortFacts> describePorts(const QStringList &paths,
                                      const QList<Ports::PortFacts> &present)
{
    QList<Ports::PortFacts> ports;
    for (const QString &path : paths) {
        const auto found =
            std::find_if(present.cbegin(), present.cend(),
                         [&](const Ports::PortFacts &port) { return port.path == path; });
        if (found != present.cend()) {
            ports << *found;
        } else {
            Ports::PortFacts bare;
            bare.path = path;
            ports << bare;
        }
    }
    return ports;
}

} // namespace telx5
