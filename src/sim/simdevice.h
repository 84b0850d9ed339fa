#pragma once

#include "codepage.h"
#include "settingsrecord.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

namespace telx5 {

// A simulated TELX5 on a pseudo-terminal: the simulator owns the master side,
// portPath() is the slave that the tool opens. Speaks the setup protocol and
// the boot loader's byte protocol, read independently of the tool (see
// simdevice.cpp).
class SimDevice : public QObject
{
    Q_OBJECT
public:
    static constexpr int Never = -1;

    enum class Mode
    {
        Setup,      // text command lines
        BootLoader, // after "REBOOT#": probe, header, 2049-byte frames
    };
    Q_ENUM(Mode)

    explicit SimDevice(QObject *parent = nullptr);
    ~SimDevice() override;

    bool start(QString *error = nullptr);
    QString portPath() const;

    // The device's own settings, as "AT+READ#" reports them: its settings
    // memory, which keeps what was written until "AT+RESET#" puts back the
    // factory settings (those it starts with) before the device answers
    // "eeram reset". The boot loader leaves it alone.
    SettingsRecord &settings();
    // Every byte the device has received, in order.
    QByteArray received() const;

    Mode mode() const;
    // The image of the last completed transfer, cut to the header's length.
    QByteArray bootImage() const;
    // Why the boot loader refused the transfer it was sent: a header other
    // than 5E, the length below a whole block (high byte first, under 2048),
    // the count of whole blocks, E5; or a last block that is not padded with
    // 0xFF past the image's end. A refusing loader replies nothing more and
    // waits for the next probe, keeping bootImage() as it was. Empty when it
    // has refused nothing since it last answered a probe.
    QString bootError() const;
    // Blocks stored so far in the running (or last) transfer.
    int storedBlocks() const;
    // Answers still waiting for their delay, pacing or next fragment.
    bool outputPending() const;

    // Knobs for tests and demos. Each takes effect from the next byte the
    // device handles.

    // The n-th "SETUP#" line (1 = the first) is the first answered with
    // "CONNECT"; Never leaves them all unanswered.
    void setConnectAfter(int setupLines);
    // A device that is switched off: it answers nothing and stores nothing.
    void setSilent(bool silent);
    // Command lines beginning with one of these (e.g. "AT+FREQ") are neither
    // stored nor answered.
    void setIgnoredCommands(const QStringList &prefixes);
    // "AT+READ#" reports only the settings whose answer lines begin with one
    // of these (e.g. "FREQ:"), then "READ END"; an empty list reports all.
    void setReportedSettings(const QStringList &prefixes);
    // False: "AT+READ#" is answered without its "READ END", as by a device
    // cut off at the end of its report.
    void setEndsReport(bool ends);
    // Wait before each answer, and between the lines of one answer.
    void setAnswerDelay(int ms);
    void setLineGap(int ms);
    // Output paced at this line speed (10 bits a byte); 0 sends at once.
    void setBaudRate(int baud);
    // The wire at 115200 8N1 both ways, off unless set. The tool's bytes stay
    // in the pty and arrive one by one, 10/115200 s apart, counted from when
    // the device first sees them; received() and the commands see each only
    // once it has arrived. A byte that arrives while the tool's side of the
    // line has another speed, character size, parity or stop bits arrives
    // garbled, never as sent, as a device at 115200 would read it; so do the
    // bytes still on the wire when the tool closes its port and its serial
    // library restores other settings. Answers leave at 115200 unless
    // setBaudRate chose another speed. The device runs on the event loop, so
    // bytes written while it cannot run start their way when it runs again.
    // Set before start(), the line starts at 9600 baud, as a USB serial
    // adapter's does, so a serial library that puts back what it found at
    // open puts back another speed.
    void setPacedLine(bool on);
    // Output written in pieces of at most `bytes`, `gapMs` apart, so that the
    // tool receives a line over several reads; 0 writes whole answers.
    void setFragmentSize(int bytes, int gapMs = 5);
    // Sent ahead of every answer in setup mode.
    void setGarbage(const QByteArray &bytes);
    // The boot loader answers 0x55 ("send again") the first time it receives
    // the block with this index, whatever its checksum.
    void setResendBlock(int block);
    // The boot loader falls silent after it has stored the block with this
    // index.
    void setSilentAfterBlock(int block);
    // How long the boot loader takes over each frame (writing it to flash,
    // or finding its checksum wrong) before it replies; 0 replies at once.
    void setBlockDelay(int ms);
    // The code page of the device's texts (its callsign, comment, ...).
    void setCodePage(CodePage page);
    // How long the boot loader waits for the probe after "REBOOT#" before it
    // starts the firmware again (3 s unless set); Never waits for good. Once
    // probed, it stays in the loader until the last block has arrived.
    void setBootWindow(int ms);
    // Power cycle: back to the firmware's setup mode whatever the loader was
    // doing.
    void restart();

    // Faults on the line.
    // Sent ahead of every line of every answer in setup mode (after the
    // garbage that goes ahead of the first).
    void setLineNoise(const QByteArray &bytes);
    // Every answer goes out twice, as if each line had been received twice.
    void setAnswerTwice(bool twice);
    // A device stuck in a loop: it answers nothing and sends bytes without a
    // CR, for as long as it runs, at the pace of setBaudRate (115200 baud
    // unless set). Bytes sent while the tool's port is closed are lost.
    void setEndlessStream(bool on);
    // From the header on, the boot loader puts up to three random bytes on
    // either side of each reply, drawn from a generator seeded with `seed`
    // (reproducible); it takes and stores what it receives as before. 0 turns
    // it off.
    void setRandomReplies(quint32 seed);

    // Writes bytes to the tool as they are, behind any queued output.
    void sendRaw(const QByteArray &bytes);
    // The cable is pulled: the master side closes and the port path goes
    // away. Nothing is sent or received afterwards.
    void vanish();
    bool hasVanished() const;

Q_SIGNALS:
    // A text command line received in setup mode, without its line end.
    void lineReceived(const QByteArray &line);
    // The last block of a transfer has been stored.
    void bootImageReceived(const QByteArray &image);
    // The boot loader has refused a transfer, for the reason bootError() gives.
    void bootRefused(const QString &why);
    void modeChanged(telx5::SimDevice::Mode mode);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace telx5
