#pragma once

#include <QAbstractItemView>
#include <QComboBox>

namespace telx5 {

// A choice list of the window. Its drop-down opens on the entry the box
// shows and is as wide as the longest entry, so that entries the narrow box
// cuts off ("WIDE1-1WIDE2-1", "WIDE1-1WIDE2-2") can be told apart. It says
// when it is about to drop down, so that the port list can list the ports
// present at that moment.
class ChoiceComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        Q_EMIT aboutToShowPopup();
        // The edit role: the port list's text is the path its entry shows.
        if (const int row = findData(currentText(), Qt::EditRole); row >= 0)
            setCurrentIndex(row);
        QAbstractItemView *list = view();
        list->setMinimumWidth(list->sizeHintForColumn(modelColumn()) + 2 * list->frameWidth() +
                              list->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        QComboBox::showPopup();
    }

Q_SIGNALS:
    void aboutToShowPopup();
};

} // namespace telx5
