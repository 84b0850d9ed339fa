#include "sessions.h"

#include "commands.h"
#include "delay.h"
#include "portsettingsstore.h"
#include "sessionsupport.h"
#include "settingstable.h"

namespace telx5 {

namespace {

constexpr int Attempts = 20;

using Result = SessionOutcome::Result;
using SessionSupport::ended;
using SessionSupport::SessionText;

QString readDataCaption()
{
    return SessionText::tr("read data");
}

// Everything a read fills is emptied first, so that a field the device does
// not report cannot pass for its value. The Wi-Fi credentials are typed by
// the user only and survive.
void clearSettings(DeviceView &view)
{
    view.setStatusText(QString());
    view.record().clearArrivals();
    view.record().setOrigin(SettingsRecord::Origin::Nothing);
    for (Field field : {Field::Callsign, Field::Pass, Field::Version, Field::Position,
                        Field::Comment, Field::SentTime, Field::Filter, Field::Freq})
        view.setText(field, QString());
    for (Address address : AllAddresses)
        for (int index = 0; index < 4; ++index)
            view.setText(octetField(address, index), QString());
    for (Field field : {Field::Dhcp, Field::Server, Field::Unit, Field::Ssid, Field::Backlight})
        view.setText(field, QStringLiteral(" "));
    for (Field field : {Field::Mod, Field::Path, Field::Alias})
        view.setText(field, QString());
    view.setText(Field::Digi, QStringLiteral("0"));
}

SessionOutcome errorExit(SessionHost &host, Result result)
{
    host.dialogs().message(SessionSupport::portFailure());
    return ended(result);
}

// The device went away under the read: it ends now, and the window is left
// as after any read, ready for the next command.
SessionOutcome lostExit(SessionHost &host, const SerialLink &port)
{
    SessionSupport::reportLoss(host, port);
    const SessionOutcome outcome = errorExit(host, Result::PortLost);
    host.setEnabled(Button::Write, true);
    host.setCaption(Button::Read, readDataCaption());
    return outcome;
}

// What the device sent, as far as it got.
SessionOutcome withReceived(SessionOutcome outcome, const DeviceView &view)
{
    outcome.received = view.record();
    return outcome;
}

// The job around the read was stopped: the read ends after the line on the
// wire, with what arrived so far.
SessionOutcome stoppedExit(SessionHost &host, SerialLink &port, const DeviceView &view)
{
    port.close();
    host.setEnabled(Button::Write, true);
    host.setCaption(Button::Read, readDataCaption());
    host.lineBuffer().clear();
    return withReceived(ended(Result::Cancelled, QStringLiteral("READ END")), view);
}

} // namespace

SessionOutcome readSettings(SessionContext &context)
{
    SessionHost &host = context.host;
    SerialLink &port = context.port;
    DeviceView &view = host.settings();
    Flags &flags = host.flags();

    clearSettings(view);
    flags.connectOk = false;
    flags.readEnd = false;

    // A second press while a read waits lands here: closing the port is how
    // the user cancels the running read.
    if (port.isOpen()) {
        host.setCaption(Button::Read, SessionSupport::portIsOpen());
        host.state().readCancelled = true;
        port.close();
        host.setEnabled(Button::Write, true);
        return SessionSupport::tookPort();
    }

    host.setCaption(Button::Read, SessionText::tr("reading"));
    host.state().readCancelled = false;
    host.setEnabled(Button::Write, false);
    Delay(100);
    if (waitsStopped())
        return stoppedExit(host, port, view);

    if (!SessionSupport::openPort(host, port))
        return errorExit(host, Result::CouldNotOpen);
    SessionSupport::normalisePortText(host);
    // A host without a port memory (the simulated device's) remembers nothing.
    if (!host.iniPath().isEmpty())
        PortSettingsStore::storePortSettings(
            host.iniPath(), host.portText(), QString::number(LineSpeed), QStringLiteral("1"),
            QStringLiteral("n"), QStringLiteral("8"), QStringLiteral("0"), QStringLiteral("2048"),
            QStringLiteral("2048"));

    const QByteArray connectLine = context.codec.encode(Commands::connect());
    for (int i = 1; i <= Attempts; ++i) {
        view.setStatusText(QStringLiteral("Please restart TELX5......Connection %1/%2Times......")
                               .arg(i)
                               .arg(Attempts));
        if (port.wasDisconnected())
            return lostExit(host, port);
        if (port.isOpen() && !port.send(connectLine))
            return errorExit(host, Result::PortLost);
        if (host.state().readCancelled) {
            host.setStepText(QStringLiteral("test fail"));
            port.close();
            break;
        }
        // The flag is looked at before the wait, so the answer to one setup
        // line is seen only after the next one has gone out.
        if (flags.connectOk) {
            host.setStepText(QStringLiteral("Connection is successful\r\n"));
            view.appendStatusLine(SessionText::tr("Connection is successful"));
            break;
        }
        Delay(1000);
        if (waitsStopped())
            return stoppedExit(host, port, view);
    }

    // The device may still answer the read line when it never confirmed the
    // setup line, so the read goes on either way.
    const QByteArray readLine = context.codec.encode(Commands::read());
    flags.readEnd = false;
    for (int j = 1; j <= Attempts; ++j) {
        if (port.wasDisconnected())
            return lostExit(host, port);
        if (!port.send(readLine))
            return errorExit(host,
                             host.state().readCancelled ? Result::Cancelled : Result::PortLost);
        Delay(1000);
        if (waitsStopped())
            return stoppedExit(host, port, view);
        view.setStatusText(
            QStringLiteral("Connection OK\r\nReading %1/%2Times......").arg(j).arg(Attempts));
        if (flags.readEnd) {
            view.appendStatusLine(SessionText::tr("read ok"));
            host.setEnabled(Button::Write, true);
            host.setCaption(Button::Read, readDataCaption());
            port.close();
            view.record().setOrigin(SettingsRecord::Origin::Read);
            return withReceived(ended(Result::Ok), view);
        }
    }

    Delay(500);
    if (port.isOpen())
        port.close();
    host.setEnabled(Button::Write, true);
    host.setCaption(Button::Read, readDataCaption());
    host.lineBuffer().clear();
    return withReceived(ended(Result::NotConfirmed, QStringLiteral("READ END")), view);
}

SessionOutcome readSettingsOrKeep(SessionContext &context)
{
    SettingsRecord &record = context.host.settings().record();
    const SettingsRecord before = record;
    SessionOutcome outcome = readSettings(context);
    if (outcome.ok()) {
        // The device said it was done: what it sent stands, and a setting it
        // leaves out (an older firmware's) keeps the window's value rather
        // than a blank that a write would send.
        for (Setting setting : outcome.received.missing(SettingsTable::fileSettings())) {
            for (Field field : SettingsTable::fields(setting))
                record.setText(field, before.text(field));
        }
        return outcome;
    }
    record.restoreSettings(before);
    outcome.settingsKept = true;
    return outcome;
}

} // namespace telx5
