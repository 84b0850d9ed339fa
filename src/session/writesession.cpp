#include "sessions.h"

#include "commands.h"
#include "delay.h"
#include "sessionsupport.h"

namespace telx5 {

namespace {

constexpr int ConfirmationWaits = 16;
constexpr int ConfirmationWaitMs = 500;

using Result = SessionOutcome::Result;
using SessionSupport::ended;
using SessionSupport::SessionText;

} // namespace

SessionOutcome writeSettings(SessionContext &context)
{
    return writeSteps(context, Commands::writePlan(context.host.settings().record()));
}

SessionOutcome writeSteps(SessionContext &context, const QList<Commands::WriteStep> &plan)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    DeviceView &view = host.settings();
    Flags &flags = host.flags();

    flags.freqSaved = false;
    view.setStatusText(QString());

    // Another exchange holds the port: taking it away ends that exchange.
    if (port.isOpen()) {
        host.setCaption(Button::Read, SessionSupport::portIsOpen());
        host.state().readCancelled = true;
        port.close();
        host.setEnabled(Button::Write, true);
        return SessionSupport::tookPort();
    }

    Delay(100);
    // Stopped before anything went out: nothing is sent.
    if (waitsStopped())
        return ended(Result::Cancelled, QStringLiteral("freq save"));
    host.setCaption(Button::Write, SessionText::tr("Writing"));
    view.setStatusText(SessionText::tr("Writing......"));
    const bool lossNoted = SessionSupport::noteTextLoss(host, context.codec);

    // From here on every step stands alone: a port that cannot be opened, or
    // is closed under the session, only drops the sends, and the missing
    // confirmation tells the user.
    // A note in the status box (why the port did not open, a callsign that
    // was not sent) puts the failure text on a line of its own.
    const bool opened = SessionSupport::openPort(host, port);
    bool noted = !opened || lossNoted;
    SessionSupport::normalisePortText(host);

    for (const Commands::WriteStep &step : plan) {
        if (step.line) {
            port.send(context.codec.encode(*step.line));
        } else {
            // A callsign the device cannot take must not vanish behind a
            // "Write complete".
            noted = true;
            view.appendStatusLine(
                SessionText::tr("Callsign longer than 6 characters: not written"));
        }
        for (int waitMs : step.waitsMs)
            Delay(waitMs);
        // A stopped job sends no further line: the one on the wire is the last.
        if (port.wasDisconnected() || waitsStopped())
            break;
    }

    bool confirmed = false;
    for (int wait = 0;
         wait < ConfirmationWaits && !confirmed && !port.wasDisconnected() && !waitsStopped();
         ++wait) {
        Delay(ConfirmationWaitMs);
        confirmed = flags.freqSaved;
    }
    // A stop cuts the wait short, not a confirmation that is in.
    if (!confirmed && waitsStopped())
        confirmed = flags.freqSaved;
    const bool stopped = !confirmed && waitsStopped();
    if (confirmed) {
        view.appendStatusLine(SessionText::tr("Write complete"));
    } else if (!stopped) {
        const QString failure = SessionText::tr("Write fail，Please try again.");
        view.appendStatus((noted ? QStringLiteral("\r\n") : QString()) + failure +
                          QStringLiteral("\r\n"));
        SessionSupport::reportLoss(host, port);
    }

    const bool lost = port.wasDisconnected();
    // Another command closed the port under the session.
    const bool taken = opened && !lost && !port.isOpen();
    Delay(100);
    host.setCaption(Button::Write, SessionText::tr("Write data"));
    port.close();
    if (!opened)
        return ended(Result::CouldNotOpen);
    if (confirmed) {
        SessionOutcome outcome = ended(Result::Ok);
        outcome.confirmed = true;
        return outcome;
    }
    const Result result = lost               ? Result::PortLost
                          : taken || stopped ? Result::Cancelled
                                             : Result::NotConfirmed;
    return ended(result, QStringLiteral("freq save"));
}

} // namespace telx5
