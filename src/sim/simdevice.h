#pragma once

#include "settingsrecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>

namespace telx5 {

// A simulated TELX5 on a pseudo-terminal: the simulator owns the master side,
// portPath() is the slave that the tool opens. Speaks the setup protocol and
// the boot loader's byte protocol.
class SimDevice : public QObject
{
    Q_OBJECT
public:
    explicit SimDevice(QObject *parent = nullptr);
    ~SimDevice() override;

    bool start(QString *error = nullptr);
    QString portPath() const;

    // The device's own settings, as "AT+READ#" reports them.
    SettingsRecord &settings();
    // Every byte the device has received, in order.
    QByteArray received() const;
};

} // namespace telx5
