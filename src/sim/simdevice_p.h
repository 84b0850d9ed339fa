#pragma once

// The simulated device's state, shared by the files that each carry one part
// of it: simdevice.cpp (the device and its modes), simsetup.cpp (the setup
// protocol), simbootloader.cpp (the boot loader), simwire.cpp (the
// pseudo-terminal and the wire) and simknobs.cpp (the knobs).

#include "simdevice.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <deque>
#include <optional>

namespace telx5 {

struct SimDevice::Private
{
    // How long the boot loader waits for a probe before it starts the firmware.
    static constexpr int DefaultBootWindowMs = 3000;
    // How often a detached pty is checked for the tool opening it again.
    static constexpr int AttachPollMs = 10;
    // The device's line speed in the paced wire mode, and how often the wire
    // hands over the bytes that have arrived since it last looked.
    static constexpr int LineBaud = 115200;
    static constexpr int WireTickMs = 1;

    enum class BootState
    {
        WaitProbe,
        WaitHeader,
        Blocks,
        Silent,
    };

    struct Chunk
    {
        QByteArray bytes;
        int delayMs = 0;
    };

    explicit Private(SimDevice *owner);

    SimDevice *q;
    int master = -1;
    QString path;
    bool vanished = false;
    QSocketNotifier *notifier = nullptr;
    QSocketNotifier *writable = nullptr;
    QTimer pumpTimer;
    QTimer attachTimer;
    QTimer bootWindow;
    // Paced wire: the line started when the device first saw a byte waiting,
    // and the bytes that have arrived since.
    bool pacedLine = false;
    QTimer wireTimer;
    QElapsedTimer wireClock;
    qint64 wireBytes = 0;

    SettingsRecord settings;
    TextCodec codec;
    QByteArray received;
    Mode mode = Mode::Setup;

    // Setup mode.
    QByteArray line;
    bool lineTooLong = false;
    int setupLines = 0;

    // Boot loader.
    BootState bootState = BootState::WaitProbe;
    QByteArray bootInput;
    QByteArray image;
    QByteArray lastImage;
    int imageLength = 0;
    int blockCount = 0;
    int blocksStored = 0;
    bool resendDone = false;
    QString bootError;

    // Knobs.
    int connectAfter = 1;
    bool silent = false;
    QStringList ignored;
    // The answer lines "AT+READ#" reports; empty for all of them.
    QStringList reported;
    bool endsReport = true;
    int answerDelayMs = 0;
    int lineGapMs = 0;
    int baud = 0;
    int fragmentSize = 0;
    int fragmentGapMs = 5;
    QByteArray garbage;
    int resendBlock = Never;
    int silentAfterBlock = Never;
    int blockDelayMs = 0;
    int bootWindowMs = DefaultBootWindowMs;

    // Faults on the line.
    QByteArray lineNoise;
    bool answerTwice = false;
    bool endlessStream = false;
    qint64 streamBytes = 0;
    std::optional<QRandomGenerator> randomReplies;

    // Output.
    std::deque<Chunk> out;
    QElapsedTimer paceClock;
    qint64 pacedBytes = 0;

    // The device (simdevice.cpp).
    void handle(char byte);
    void setMode(Mode next);

    // The setup protocol (simsetup.cpp).
    // What the settings memory holds when the device leaves the factory, and
    // again after "AT+RESET#".
    static SettingsRecord factorySettings();
    void handleSetup(char byte);
    void handleLine(const QByteArray &raw);
    void store(const QByteArray &line);
    QList<QByteArray> readAnswer() const;
    void answer(const QList<QByteArray> &lines);

    // The boot loader (simbootloader.cpp).
    void enterBootLoader();
    void handleBoot(char byte);
    void waitForProbe();
    void answerProbe();
    void takeHeader();
    void takeFrame();
    void refuse(const QString &why);
    void bootReply(char byte, int delayMs = 0);

    // The wire (simwire.cpp).
    void onReadable();
    // Reads and handles every byte waiting; true when the tool's side is
    // closed.
    bool readAvailable();
    bool hostAttached() const;
    void detached();
    void checkAttached();
    void arrive(QByteArrayView bytes);
    void startWire();
    void wireTick();
    bool lineMatches() const;
    void closeMaster();
    // Puts the next piece of an endless stream into the output; false when
    // there is no stream.
    bool refillStream();
    void kickStream();
    void enqueue(const QByteArray &bytes, int delayMs);
    void pump();
    qsizetype writeMaster(QByteArrayView bytes);
};

} // namespace telx5
