#include "sessions.h"

#include "commands.h"
#include "delay.h"
#include "sessionsupport.h"

namespace telx5 {

namespace {

constexpr int ConfirmationWaits = 16;
constexpr int ConfirmationWaitMs = 800;

using Result = SessionOutcome::Result;
using SessionSupport::ended;
using SessionSupport::FixedText;

QString applyCaption()
{
    //: Stays English in both languages.
    return FixedText::tr("Apply");
}

SessionOutcome wifiFailure(SessionHost &host, const SerialLink &port, Result result)
{
    SessionSupport::reportLoss(host, port);
    host.dialogs().message(SessionSupport::portFailure());
    host.setCaption(Button::Apply, applyCaption());
    return ended(port.wasDisconnected() ? Result::PortLost : result);
}

} // namespace

SessionOutcome applyWifi(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    DeviceView &view = host.settings();
    Flags &flags = host.flags();

    if (port.isOpen()) {
        //: Stays English in both languages.
        host.setCaption(Button::Read, FixedText::tr("Port is open"));
        host.state().readCancelled = true;
        port.close();
        SessionOutcome outcome = wifiFailure(host, port, Result::Cancelled);
        outcome.tookPort = true;
        return outcome;
    }

    //: Stays English in both languages.
    host.setCaption(Button::Apply, FixedText::tr("Write"));
    if (!SessionSupport::openPort(host, port))
        return wifiFailure(host, port, Result::CouldNotOpen);
    SessionSupport::normalisePortText(host);
    Delay(200);

    // Stopped before the credentials went out: nothing was sent.
    if (waitsStopped()) {
        port.close();
        host.setCaption(Button::Apply, applyCaption());
        return ended(Result::Cancelled, QStringLiteral("WIFI Write success"));
    }
    if (port.wasDisconnected())
        return wifiFailure(host, port, Result::PortLost);
    // Another command took the port during the wait; it has said so itself.
    if (!port.isOpen())
        return ended(Result::Cancelled);

    const QString line = Commands::wifi(view.text(Field::WifiSsid), view.text(Field::WifiPass));
    if (!port.send(context.codec.encode(line)))
        return wifiFailure(host, port, Result::PortLost);
    //: Stays English in both languages.
    view.setStatusText(FixedText::tr("WIFI Writing.....") + QStringLiteral("\r\n"));

    // A confirmation that arrived before the press counts as well: the flag
    // is cleared only after the wait.
    bool confirmed = false;
    for (int wait = 0;
         wait < ConfirmationWaits && !confirmed && !port.wasDisconnected() && !waitsStopped();
         ++wait) {
        Delay(ConfirmationWaitMs);
        confirmed = flags.wifiWriteOk;
    }
    if (!confirmed && waitsStopped())
        confirmed = flags.wifiWriteOk;
    const bool stopped = !confirmed && waitsStopped();
    flags.wifiWriteOk = false;

    const QString lineEnd = QStringLiteral("\r\n");
    if (confirmed) {
        //: Stays English in both languages.
        view.appendStatus(FixedText::tr("WIFI Write complete") + lineEnd);
        if (!port.send(context.codec.encode(Commands::reboot()))) {
            SessionOutcome outcome = wifiFailure(host, port, Result::PortLost);
            outcome.confirmed = true;
            outcome.missing = Commands::reboot().trimmed();
            return outcome;
        }
        //: Stays English in both languages.
        view.appendStatus(FixedText::tr("WIFI reset...") + lineEnd);
    } else if (!stopped) {
        //: Stays English in both languages.
        view.appendStatus(FixedText::tr("WIFI Write Fail") + lineEnd);
        SessionSupport::reportLoss(host, port);
    }
    const bool lost = port.wasDisconnected();
    const bool taken = stopped || (!lost && !port.isOpen());
    port.close();
    host.setCaption(Button::Apply, applyCaption());
    if (confirmed) {
        SessionOutcome outcome = ended(Result::Ok);
        outcome.confirmed = true;
        return outcome;
    }
    return ended(lost    ? Result::PortLost
                 : taken ? Result::Cancelled
                         : Result::NotConfirmed,
                 QStringLiteral("WIFI Write success"));
}

SessionOutcome restartDevice(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;

    if (port.isOpen()) {
        port.close();
        //: Stays English in both languages.
        host.setCaption(Button::Restart, FixedText::tr("Port is open"));
        return SessionSupport::tookPort();
    }

    Delay(100);
    // The device confirms nothing, but a port that cannot be opened, or is
    // taken away between the two lines, is told to the user all the same.
    const QByteArray reboot = context.codec.encode(Commands::reboot());
    const bool opened = SessionSupport::openPort(host, port);
    // A stop before the first line sends nothing, and one between the two
    // lines sends no second.
    const bool stoppedFirst = waitsStopped();
    bool sent = opened && !stoppedFirst && port.send(reboot);
    bool stopped = stoppedFirst;
    if (sent) {
        Delay(500);
        stopped = waitsStopped();
        sent = !stopped && port.send(reboot);
    }
    const bool lost = port.wasDisconnected();
    port.close();
    if (stopped) {
        host.setCaption(Button::Restart, FixedText::tr("restart"));
        return ended(Result::Cancelled, Commands::reboot().trimmed());
    }
    if (!sent) {
        SessionSupport::reportLoss(host, port);
        host.dialogs().message(SessionSupport::portFailure());
    }
    //: Stays English in both languages.
    host.setCaption(Button::Restart, FixedText::tr("restart"));
    if (!opened)
        return ended(Result::CouldNotOpen);
    if (!sent)
        return ended(lost ? Result::PortLost : Result::Cancelled);
    return ended(Result::Ok);
}

} // namespace telx5
