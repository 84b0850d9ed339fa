#pragma once

#include <QComboBox>

namespace telx5 {

// The port list. It says when its drop-down is about to open, so that the
// window can list the ports present at that moment: an adapter plugged in
// after start-up appears, one pulled out goes.
class PortComboBox : public QComboBox
{
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    void showPopup() override
    {
        Q_EMIT aboutToShowPopup();
        QComboBox::showPopup();
    }

Q_SIGNALS:
    void aboutToShowPopup();
};

} // namespace telx5
