#include "sessions.h"

#include "commands.h"
#include "delay.h"
#include "sessionsupport.h"

namespace telx5 {

namespace {

constexpr int ConfirmationWaits = 16;
constexpr int ConfirmationWaitMs = 500;

using SessionSupport::pick;

} // namespace

void writeSettings(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    DeviceView &view = host.settings();
    Flags &flags = host.flags();

    flags.freqSaved = false;
    view.setStatusText(QString());

    // Another exchange holds the port: taking it away ends that exchange.
    if (port.isOpen()) {
        host.setCaption(Button::Read, SessionSupport::portIsOpen(host));
        port.close();
        host.setEnabled(Button::Write, true);
        return;
    }

    Delay(100);
    host.setCaption(Button::Write, pick(host, u"写入中", u"Writing"));
    view.setStatusText(pick(host, u"写入中......", u"Writing......"));
    const bool lossNoted = SessionSupport::noteTextLoss(host, context.codec);

    // From here on every step stands alone: a port that cannot be opened, or
    // is closed under the session, only drops the sends, and the missing
    // confirmation tells the user.
    // A note in the status box (why the port did not open, a callsign that
    // was not sent) puts the failure text on a line of its own.
    bool noted = !SessionSupport::openPort(host, port) || lossNoted;
    SessionSupport::normalisePortText(host);

    for (const Commands::WriteStep &step : Commands::writePlan(view)) {
        if (step.line) {
            port.send(context.codec.encode(*step.line));
        } else {
            // A callsign the device cannot take must not vanish behind a
            // "Write complete".
            noted = true;
            view.appendStatusLine(pick(host, u"呼号超过6个字符,未写入",
                                       u"Callsign longer than 6 characters: not written"));
        }
        for (int waitMs : step.waitsMs)
            Delay(waitMs);
        if (port.wasDisconnected())
            break;
    }

    bool confirmed = false;
    for (int wait = 0; wait < ConfirmationWaits && !confirmed && !port.wasDisconnected(); ++wait) {
        Delay(ConfirmationWaitMs);
        confirmed = flags.freqSaved;
    }
    if (confirmed) {
        view.appendStatusLine(pick(host, u"写入完成", u"Write complete"));
    } else {
        const QString failure =
            pick(host, u"写入失败.请重试一遍", u"Write fail，Please try again.");
        view.appendStatus((noted ? QStringLiteral("\r\n") : QString()) + failure +
                          QStringLiteral("\r\n"));
        SessionSupport::reportLoss(host, port);
    }

    Delay(100);
    host.setCaption(Button::Write, pick(host, u"写入数据", u"Write data"));
    port.close();
}

} // namespace telx5
