#include "sessions.h"

#include "commands.h"
#include "delay.h"
#include "sessionsupport.h"

namespace telx5 {

namespace {

constexpr int ConfirmationWaits = 16;
constexpr int ConfirmationWaitMs = 800;

const QString ApplyCaption = QStringLiteral("Apply");
const QString RestartCaption = QStringLiteral("restart");

void wifiFailure(SessionHost &host, const SerialLink &port)
{
    SessionSupport::reportLoss(host, port);
    host.dialogs().message(SessionSupport::portFailure());
    host.setCaption(Button::Apply, ApplyCaption);
}

} // namespace

void applyWifi(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    DeviceView &view = host.settings();
    Flags &flags = host.flags();

    if (port.isOpen()) {
        host.setCaption(Button::Read, QStringLiteral("Port is open"));
        port.close();
        wifiFailure(host, port);
        return;
    }

    host.setCaption(Button::Apply, QStringLiteral("Write"));
    if (!SessionSupport::openPort(host, port))
        return wifiFailure(host, port);
    SessionSupport::normalisePortText(host);
    Delay(200);

    if (port.wasDisconnected())
        return wifiFailure(host, port);
    // Another command took the port during the wait; it has said so itself.
    if (!port.isOpen())
        return;

    const QString line = Commands::wifi(view.text(Field::WifiSsid), view.text(Field::WifiPass));
    if (!port.send(context.codec.encode(line)))
        return wifiFailure(host, port);
    view.setStatusText(QStringLiteral("WIFI Writing.....\r\n"));

    // A confirmation that arrived before the press counts as well: the flag
    // is cleared only after the wait.
    bool confirmed = false;
    for (int wait = 0; wait < ConfirmationWaits && !confirmed && !port.wasDisconnected(); ++wait) {
        Delay(ConfirmationWaitMs);
        confirmed = flags.wifiWriteOk;
    }
    flags.wifiWriteOk = false;

    if (confirmed) {
        view.appendStatus(QStringLiteral("WIFI Write complete\r\n"));
        if (!port.send(context.codec.encode(Commands::reboot())))
            return wifiFailure(host, port);
        view.appendStatus(QStringLiteral("WIFI reset...\r\n"));
    } else {
        view.appendStatus(QStringLiteral("WIFI Write Fail\r\n"));
        SessionSupport::reportLoss(host, port);
    }
    port.close();
    host.setCaption(Button::Apply, ApplyCaption);
}

void restartDevice(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;

    if (port.isOpen()) {
        port.close();
        host.setCaption(Button::Restart, QStringLiteral("Port is open"));
        return;
    }

    Delay(100);
    // The device confirms nothing, but a port that cannot be opened, or is
    // taken away between the two lines, is told to the user all the same.
    const QByteArray reboot = context.codec.encode(Commands::reboot());
    bool sent = SessionSupport::openPort(host, port) && port.send(reboot);
    if (sent) {
        Delay(500);
        sent = port.send(reboot);
    }
    port.close();
    if (!sent) {
        SessionSupport::reportLoss(host, port);
        host.dialogs().message(SessionSupport::portFailure());
    }
    host.setCaption(Button::Restart, RestartCaption);
}

} // namespace telx5
