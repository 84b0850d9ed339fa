// telx5-cli: the window's commands without the window, for scripts and for
// configuring many devices from one settings file.

#include "backups.h"
#include "consolehost.h"
#include "delay.h"
#include "devicecommands.h"
#include "interrupt.h"
#include "jsonoutput.h"
#include "ports.h"
#include "portsettingsstore.h"
#include "qtseriallink.h"
#include "sessionsupport.h"
#include "simdevice.h"
#include "simulation.h"
#include "tracelog.h"
#include "translation.h"
#include "updatejournal.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <memory>

using namespace telx5;

namespace {

// A command, its arguments as the help names them, and how many it takes.
struct CommandForm
{
    const char *name;
    const char *arguments;
    qsizetype fewest;
    qsizetype most;
};

constexpr CommandForm CommandForms[] = {
    {"ports", "", 0, 0},
    {"read", " [FILE]", 0, 1},
    {"write", " FILE", 1, 1},
    {"check", " FILE", 1, 1},
    {"diff", " FILE", 1, 1},
    {"default", " FILE", 1, 1},
    {"wifi", " SSID PASSWORD", 2, 2},
    {"restart", "", 0, 0},
    {"flash", " IMAGE", 1, 1},
    {"recover", " [IMAGE]", 0, 1},
    {"backups", "", 0, 0},
    {"history", " [CALLSIGN-SSID]", 0, 1},
};

// After the options QCommandLineParser lists: the commands, the exit status
// and the simulated device's set-up.
constexpr char HelpTail[] = R"(
Commands, each with an example:
  ports               list the serial ports that open
                        telx5-cli ports
  read [FILE]         read the device's settings; print them as a settings file, or
                      save them to FILE
                        telx5-cli --port /dev/ttyUSB0 read mine.ini
  write FILE          write a settings file to the device; it must hold all 19
                      settings lines, or nothing is sent. The checks' lines come
                      first, as warnings
                        telx5-cli --backup old.ini write base.ini
                      --set KEY=VALUE replaces one setting of the file for this
                      device (repeatable; KEY a file keyword, VALUE as its line
                      holds it); --strict sends nothing when a check finds an error
                      or a value the device may cut ("#", longer than its box). A
                      value holding a control character (a line break) is never
                      sent; one the code page cannot carry only with --lossy
                        telx5-cli --set CALLSIGN=BG7XYZ-5 --set PASS=24487 write base.ini
                        telx5-cli --strict write base.ini
  check FILE          judge a settings file's values without a device: one line a
                      problem on standard output, "error: " or "warning: ", the
                      setting's caption and (KEYWORD), then what is wrong
                        telx5-cli check base.ini
  diff FILE           read the device and print each setting in which it differs
                      from the file: "Caption (KEYWORD): device 'X', file 'Y'"
                        telx5-cli --port /dev/ttyUSB0 diff base.ini
  default FILE        save the Default values as a settings file
                        telx5-cli default base.ini
  wifi SSID PASSWORD  send the Wi-Fi credentials; the device restarts when it confirms.
                      An empty SSID, a control character or a character the code
                      page cannot carry sends nothing; a "," or "#", an empty
                      password (an open network) or an over-long value is warned
                      of first, and --strict sends nothing then
                        telx5-cli wifi MyNet MyPassword
  restart             send REBOOT# twice; the device does not confirm it
                        telx5-cli restart
  flash IMAGE         upload a firmware image to the device's boot loader: the
                      settings are read and kept first (a backup), the update
                      erases them, and they are written back and read back
                      once the new firmware runs
                        telx5-cli flash new.bin
  recover [IMAGE]     finish an update that stopped after it erased the settings
                      (a signal, a pulled cable, a loader that fell silent): it
                      carries the image on from where the boot loader stands and
                      writes back the backup the update kept. IMAGE when the file
                      moved; --backup FILE writes FILE back instead;
                      --from-start IMAGE starts again for a device that was
                      powered off and on since
                        telx5-cli --port /dev/ttyUSB0 recover
  --json              read, check, diff, backups, ports, history: one JSON
                      document on standard output instead of lines; exit codes
                      as without it
                        telx5-cli --json check base.ini
  history [CALLSIGN-SSID]
                      a device's backups, oldest first, each with the settings that
                      changed since the one before it ("no change" where none did);
                      without CALLSIGN-SSID the device on the port is read first
                        telx5-cli history BG7ABC-9
  backups             list the backups of the device's settings, newest first: date,
                      callsign, reason, file
                        telx5-cli backups

As read does, write, wifi and flash first send the setup line once a second, up to
20 times, until the device answers CONNECT: restart the device while they go out. A
device in setup mode already needs none (--no-connect); with --backup, the backup's
read connects.

Every complete read keeps a backup of the device's settings in
~/.local/share/telx5-config/backups/ (under $XDG_DATA_HOME when set), and so do
write and flash before they change the device: they stop, nothing written, when
the backup cannot be kept. The newest 200 stay, and the newest of each
callsign. --no-backup keeps none; --simulate never does. A backup goes back with write:
  telx5-cli write ~/.local/share/telx5-config/backups/2026-12-07_15-42-10_BG7ABC-9_read.ini

Exit status:
  0    check: no problems; diff: the device holds the file's settings;
       the device confirmed: READ END (read); freq save, and unless --no-verify every
       setting read back as written (write); WIFI Write success (wifi); the last
       block (flash). restart: both REBOOT# lines left the port.
  1    the device did not confirm, the link failed during the command, or a file
       could not be saved (read FILE, default FILE, --backup); check: problems
       found; diff: settings differ
  2    a usage error, or a settings file, an image or a FILE to save into refused
       (also a named FIFO given as a file; a --set that cannot be applied; a
       value with a control character, or one the code page cannot carry; with
       --strict, an error or a value the device may cut); nothing was sent
  3    the port could not be opened; nothing was sent
  4    diff: the device's settings could not be read whole
  129  stopped by SIGHUP, 130 by Ctrl-C, 143 by SIGTERM, within half a second: the
       line or frame on the wire is let out, the port is closed, and the last line
       says what the device may hold, which backup holds the settings it had, and
       the one command that brings them back (write BACKUP, or recover). During the
       blocks of an update a first Ctrl-C only warns (the device would stay in its
       boot loader); a second within 3 s stops. A signal while the command stops
       ends it at once

Environment:
  TELX5_SIM_OPTIONS   with --simulate, how the simulated device behaves, in
                      telx5-sim's words: --never-connect (it never answers the
                      setup line), --ignore PREFIX (it neither stores nor answers
                      command lines that begin with PREFIX, e.g. AT+COMMENT;
                      repeatable), --paced (the wire at 115200 baud), --verbose
                      (each command line it received whole, after "<- ")
  TELX5_TIME_SCALE    a test aid: every wait of the protocol multiplied by this
                      factor (above 0, up to 10), e.g. 0.05
)";

// --help and --version: a full disk or a closed pipe is not a success.
int printOutput(const QByteArray &text)
{
    if (const auto failed = writeStandardOutput(text)) {
        printLine(QStringLiteral("telx5-cli: standard output: ") + *failed);
        return ExitFailed;
    }
    return ExitConfirmed;
}

int usageError(const QString &what)
{
    printLine(QStringLiteral("telx5-cli: ") + what);
    return finish(ExitBadInput, QStringLiteral("Try 'telx5-cli --help' for more."));
}

// One line a backup on standard output, newest first, in columns.
int listBackups(const QString &folder, bool json)
{
    using SessionSupport::FixedText;
    const QList<Backups::Entry> entries = Backups::list(folder);
    qsizetype callsignWidth = 0;
    qsizetype reasonWidth = 0;
    for (const Backups::Entry &entry : entries) {
        callsignWidth = std::max(callsignWidth, entry.callsign.size());
        reasonWidth = std::max(reasonWidth, entry.reason.size());
    }
    QByteArray list;
    for (const Backups::Entry &entry : entries)
        list += QStringLiteral("%1  %2  %3  %4\n")
                    .arg(entry.date, entry.callsign.leftJustified(callsignWidth),
                         entry.reason.leftJustified(reasonWidth), entry.path)
                    .toUtf8();
    if (const auto failed = writeStandardOutput(json ? JsonOutput::backups(folder, entries) : list))
        //: Stays English in both languages.
        return finish(ExitFailed, FixedText::tr("backups failed: the list could not be written to "
                                                "standard output: %1")
                                      .arg(*failed));
    //: Stays English in both languages.
    QString listed = FixedText::tr("backups ok: %1 backups in %2");
    if (entries.size() == 1)
        //: Stays English in both languages.
        listed = FixedText::tr("backups ok: %1 backup in %2");
    return finish(ExitConfirmed, listed.arg(QString::number(entries.size()), folder));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telx5-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TELX5_VERSION));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Reads, writes, restarts and flashes TELX5 APRS devices over a serial "
                       "line."));
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The serial port, e.g. /dev/ttyUSB0 (default: the port last read from)."),
        QStringLiteral("name"));
    const QCommandLineOption chineseOption(
        QStringLiteral("chinese"), QStringLiteral("Chinese texts and the GB18030 code page."));
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"),
        QStringLiteral("Talk to a simulated device instead (see TELX5_SIM_OPTIONS)."));
    const QCommandLineOption noKeepSettingsOption(
        QStringLiteral("no-keep-settings"),
        QStringLiteral("flash: do not write the settings back after the update, and update even "
                       "when they cannot be read first. A device that answers is still read, "
                       "and its settings kept in a backup."));
    const QCommandLineOption noConnectOption(
        QStringLiteral("no-connect"),
        QStringLiteral("write, wifi, flash: send no setup lines first, for a device in setup "
                       "mode already (flash still reads the device first)."));
    const QCommandLineOption backupOption(
        QStringLiteral("backup"),
        QStringLiteral("write: first read the device and save its settings to <file>; nothing "
                       "is written unless both succeed. recover: write the settings of <file> "
                       "back instead of the update's backup."),
        QStringLiteral("file"));
    const QCommandLineOption fromStartOption(
        QStringLiteral("from-start"),
        QStringLiteral("recover: the device was powered off and on since the update stopped: "
                       "start the update again with IMAGE."));
    const QCommandLineOption noVerifyOption(
        QStringLiteral("no-verify"),
        QStringLiteral("write: do not read the device back after it confirmed."));
    const QCommandLineOption noBackupOption(
        QStringLiteral("no-backup"),
        QStringLiteral(
            "read, diff, write, flash: keep no backup of the device's settings (see backups)."));
    const QCommandLineOption verifyOption(
        QStringLiteral("verify"),
        QStringLiteral("write: once the device confirmed, read it back and compare each "
                       "setting with the file (the default; kept for older scripts)."));
    const QCommandLineOption lossyOption(
        QStringLiteral("lossy"),
        QStringLiteral("write: send text the code page cannot carry anyway, as '?'."));
    const QCommandLineOption setOption(
        QStringLiteral("set"),
        QStringLiteral("write: put KEY=VALUE into the file's settings for this device, e.g. "
                       "CALLSIGN=BG7XYZ-5 (repeatable)."),
        QStringLiteral("KEY=VALUE"));
    const QCommandLineOption strictOption(
        QStringLiteral("strict"),
        QStringLiteral("write, wifi: send nothing when a check finds an error, or a value the "
                       "device may cut (a \"#\", a \",\" in the credentials, a value longer "
                       "than its box, an empty Wi-Fi password)."));
    const QCommandLineOption jsonOption(
        QStringLiteral("json"),
        QStringLiteral("read, check, diff, backups, ports, history: print one JSON document on "
                       "standard output instead of lines (see telx5-cli(1) for its fields)."));
    const QCommandLineOption partialOption(
        QStringLiteral("partial"),
        QStringLiteral("read: when the read does not complete, print what arrived anyway, "
                       "marked incomplete."));
    const QCommandLineOption traceOption(
        QStringLiteral("trace"),
        QStringLiteral("Append every byte sent and received, with times, to <file> (for a bug "
                       "report)."),
        QStringLiteral("file"));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Show this help."));
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Show the version."));
    arguments.addOptions({portOption, chineseOption, simulateOption, noConnectOption,
                          noKeepSettingsOption, backupOption, noBackupOption, verifyOption,
                          noVerifyOption, lossyOption, setOption, strictOption, jsonOption,
                          partialOption, fromStartOption, traceOption, helpOption, versionOption});
    arguments.addPositionalArgument(QStringLiteral("command"),
                                    QStringLiteral("A command and its arguments, see below."),
                                    QStringLiteral("command [arguments]"));

    // process() would end an unknown option with its own status and text.
    if (!arguments.parse(QCoreApplication::arguments()))
        return usageError(arguments.errorText());
    if (arguments.isSet(helpOption))
        return printOutput(arguments.helpText().toUtf8() + HelpTail);
    if (arguments.isSet(versionOption))
        return printOutput(QByteArrayLiteral("telx5-cli " TELX5_VERSION "\n"));

    const QStringList positional = arguments.positionalArguments();
    if (positional.isEmpty())
        return usageError(QStringLiteral("no command given"));
    const QString command = positional.first();
    const QStringList rest = positional.mid(1);
    const auto form = std::find_if(std::begin(CommandForms), std::end(CommandForms),
                                   [&command](const CommandForm &candidate) {
                                       return command == QLatin1String(candidate.name);
                                   });
    if (form == std::end(CommandForms))
        return usageError(QStringLiteral("unknown command \"%1\"").arg(command));
    if (rest.size() < form->fewest || rest.size() > form->most)
        return usageError(QStringLiteral("wrong arguments: the command is \"%1%2\"")
                              .arg(QLatin1String(form->name), QLatin1String(form->arguments)));
    const std::pair<const QCommandLineOption &, QStringList> commandOptions[] = {
        {noKeepSettingsOption, {QStringLiteral("flash")}},
        {noConnectOption,
         {QStringLiteral("write"), QStringLiteral("wifi"), QStringLiteral("flash")}},
        {backupOption, {QStringLiteral("write"), QStringLiteral("recover")}},
        {fromStartOption, {QStringLiteral("recover")}},
        {noBackupOption,
         {QStringLiteral("read"), QStringLiteral("write"), QStringLiteral("flash"),
          QStringLiteral("diff")}},
        {verifyOption, {QStringLiteral("write")}},
        {noVerifyOption, {QStringLiteral("write")}},
        {lossyOption, {QStringLiteral("write")}},
        {setOption, {QStringLiteral("write")}},
        {jsonOption,
         {QStringLiteral("read"), QStringLiteral("check"), QStringLiteral("diff"),
          QStringLiteral("backups"), QStringLiteral("ports"), QStringLiteral("history")}},
        {strictOption, {QStringLiteral("write"), QStringLiteral("wifi")}},
        {partialOption, {QStringLiteral("read")}},
    };
    for (const auto &[option, commands] : commandOptions) {
        if (arguments.isSet(option) && !commands.contains(command))
            return usageError(
                QStringLiteral("--%1 goes only with %2")
                    .arg(option.names().constFirst(), commands.join(QStringLiteral(", "))));
    }
    if (arguments.isSet(partialOption) && !rest.isEmpty())
        return usageError(QStringLiteral("--partial prints to standard output: leave out FILE"));
    if (arguments.isSet(fromStartOption) && rest.isEmpty())
        return usageError(QStringLiteral("--from-start sends the image again: give IMAGE"));
    const bool json = arguments.isSet(jsonOption);
    if (json && command == QLatin1String("read") && !rest.isEmpty())
        return usageError(QStringLiteral("--json prints to standard output: leave out FILE"));
    if (command == QLatin1String("ports")) {
        const QStringList ports = Ports::probePorts();
        QByteArray list;
        for (const QString &port : ports)
            list += port.toUtf8() + '\n';
        if (json) {
            // What the system tells of each port that opens.
            const QList<Ports::PortFacts> present = Ports::presentPorts();
            QList<Ports::PortFacts> facts;
            for (const QString &port : ports) {
                const auto known = std::find_if(
                    present.cbegin(), present.cend(),
                    [&port](const Ports::PortFacts &fact) { return fact.path == port; });
                facts.append(known != present.cend() ? *known
                                                     : Ports::PortFacts{port, {}, false, {}});
            }
            list = JsonOutput::ports(facts);
        }
        if (const auto failed = writeStandardOutput(list))
            return finish(ExitFailed,
                          QStringLiteral("ports failed: the list could not be written to standard "
                                         "output: ") +
                              *failed);
        return finish(ExitConfirmed,
                      ports.size() == 1
                          ? QStringLiteral("ports ok: 1 serial port opens")
                          : QStringLiteral("ports ok: %1 serial ports open").arg(ports.size()));
    }

    if (command == QLatin1String("backups"))
        return listBackups(Backups::defaultFolder(), json);

    const QString language = arguments.isSet(chineseOption) ? QStringLiteral("1") : QString();
    // The simulated device's port is gone when the program ends: it is never
    // remembered.
    const bool simulate = arguments.isSet(simulateOption);
    const QString iniPath = simulate ? QString() : PortSettingsStore::defaultIniPath();
    const Translation translation(arguments.isSet(chineseOption));
    // The port exists before any command runs, so that whatever watches the
    // line can attach to it here.
    QtSerialLink port;
    TraceLog trace(port);
    if (arguments.isSet(traceOption)) {
        QString error;
        if (!trace.open(arguments.value(traceOption), &error))
            return usageError(error);
    }
    ConsoleHost host(language, iniPath, port);
    // The simulated device is the program's own: nothing of it is worth keeping.
    if (!simulate && !arguments.isSet(noBackupOption))
        host.setBackupFolder(Backups::defaultFolder());
    ReceiveChain &chain = host.receiveChain();
    SessionContext context{host, port, chain.codec(), chain.parser()};
    // The simulated device goes with the program: no update of it can be
    // finished later.
    DeviceCommands commands(host, port, chain.hexLog(), context,
                            simulate ? QString() : UpdateJournal::defaultFolder());
    commands.setJson(json);

    if (command == QLatin1String("default"))
        return commands.saveDefaults(rest.first());
    if (command == QLatin1String("check"))
        return commands.check(rest.first());
    // A device named needs no port: its backups tell its history.
    if (command == QLatin1String("history") && !rest.isEmpty())
        return commands.history(Backups::defaultFolder(), rest.first());

    // A test aid: every wait of the protocol multiplied by a factor, as the
    // tests of the sessions run them.
    if (const QString scale = qEnvironmentVariable("TELX5_TIME_SCALE"); !scale.isEmpty()) {
        bool ok = false;
        const double factor = scale.toDouble(&ok);
        if (!ok || !(factor > 0 && factor <= 10))
            return usageError(QStringLiteral("TELX5_TIME_SCALE needs a factor above 0, up to 10"));
        setDelayTimeScale(factor);
    }

    std::unique_ptr<SimDevice> device;
    QString portName = arguments.value(portOption);
    if (simulate) {
        device = std::make_unique<SimDevice>();
        const QString problem =
            configureSimulation(*device, qEnvironmentVariable(SimOptionsVariable));
        if (!problem.isEmpty())
            return usageError(problem);
        QString error;
        if (!device->start(&error))
            return finish(
                ExitPortUnavailable,
                command + QStringLiteral(" failed: the simulated device did not start: ") + error);
        portName = device->portPath();
    } else if (portName.isEmpty()) {
        portName = PortSettingsStore::readValue(QStringLiteral("XRVComm"), QStringLiteral("par5"),
                                                iniPath);
        if (Ports::isPseudoTerminal(portName))
            portName.clear();
    }
    if (portName.isEmpty())
        return usageError(QStringLiteral("no port: give --port NAME (none has been read from "
                                         "before)"));
    host.setPortText(portName);
    Ports::configurePort(port, portName);

    // Ctrl-C, SIGTERM and SIGHUP land here even while a session waits: the
    // running job stops where it stands and ends the command.
    const InterruptWatch interrupt([&commands](int signal) { commands.signalled(signal); });

    const bool connectFirst = !arguments.isSet(noConnectOption);
    if (command == QLatin1String("read"))
        return commands.read(rest.value(0), arguments.isSet(partialOption));
    if (command == QLatin1String("write"))
        return commands.write({rest.first(), arguments.value(backupOption), connectFirst,
                               !arguments.isSet(noVerifyOption), arguments.isSet(lossyOption),
                               arguments.values(setOption), arguments.isSet(strictOption)});
    if (command == QLatin1String("diff"))
        return commands.diff(rest.first());
    if (command == QLatin1String("history"))
        return commands.history(Backups::defaultFolder(), QString());
    if (command == QLatin1String("wifi"))
        return commands.wifi(rest.at(0), rest.at(1), connectFirst, arguments.isSet(strictOption));
    if (command == QLatin1String("restart"))
        return commands.restart();
    if (command == QLatin1String("recover"))
        return commands.recover(
            {rest.value(0), arguments.value(backupOption), arguments.isSet(fromStartOption)});
    return commands.flash(rest.first(), !arguments.isSet(noKeepSettingsOption));
}
