#pragma once

#include "firmwarehost.h"
#include "firmwareimage.h"
#include "host.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>
#include <utility>

namespace telx5 {

class HexLog;
class TextCodec;

// The firmware update: "Open ROM" reads and pads the image, "update" resets
// the device's settings store, reboots it into its boot loader and probes the
// loader once a second; the reply watcher (on every arrival, as the window
// and the command line set it, otherwise every 100 ms) answers each reply
// byte at the front of the receive hex log with the header or a block, and
// after the last block listens for the loader's verdict on it.
class FirmwareUpdate : public QObject
{
    Q_OBJECT
public:
    enum class Outcome
    {
        Completed,       // the loader took the last block
        PortUnavailable, // the port did not open; nothing was sent
        Failed,          // the status box says why, and so does failure()
        Stopped,         // stop() ended it
    };
    Q_ENUM(Outcome)

    FirmwareUpdate(SessionHost &host, FirmwareHost &firmwareHost, SerialLink &port, HexLog &hexLog,
                   const TextCodec &codec, QObject *parent = nullptr);

    void openImage(); // Open ROM
    // Takes an image read already, as Open ROM takes the file it reads, and
    // shows `fileName` in the status box. Refuses (and keeps the image it
    // has) an image longer than the loader's header can describe, or while a
    // loader that has the header is being answered.
    bool takeImage(const QString &fileName, const QByteArray &image);
    void startUpdate(); // update: starts a session, or cancels the one being set up
    // A session for a device whose settings are gone already and that may
    // wait in its boot loader: "REBOOT#" is left out, the loader is probed
    // at once.
    void startAtProbe();
    // A session for a loader that has the header and `bytesSent` bytes of
    // the frame of `block`: the rest of that frame goes out, then the loader's
    // replies are answered as in any session. Frames carry no number, so a
    // loader in the middle of a frame is never sent another from its start.
    void resumeTransfer(int block, int bytesSent);
    // Ends a running session: at once before the blocks; during them after
    // the frame on the wire has left and the loader has replied to it (within
    // StopReplyMs), so that what the loader holds is known.
    void stop();
    void probeBootLoader();     // waiting for the boot loader
    void answerLoaderReplies(); // the reply watcher
    // The loader's time limits, as their timers call them when they run out:
    // its silence after the header or a block, and the wait for its verdict
    // on the last block. Each does nothing unless its limit is running.
    void silenceExpired();
    void confirmationExpired();

    // Answers each reply as soon as it arrives instead of on the watcher's
    // tick, so a loader that is ready at once is never kept waiting.
    void setAnswerOnArrival(bool on);

    int imageLength() const { return m_imageLength; }
    // The image as taken, and the file it came from.
    const QByteArray &image() const { return m_image; }
    const QString &imageFileName() const { return m_imageFileName; }
    int blockIndex() const { return m_blockIndex; }
    int blockCount() const;
    bool waitingForBootLoader() const { return m_bootProbeTimer.isActive(); }
    bool sessionRunning() const { return m_sessionRunning; }
    // Whether "update" would start a session now: an image is chosen and no
    // session is being set up or running.
    bool readyToStart() const
    {
        return m_imageLength >= FirmwareImage::MinimumLength && !m_updating && !m_sessionRunning;
    }

    // The progress bar's words after `sent` of `count` blocks: the share sent,
    // and once the loader has taken a block since the first went out
    // `sinceFirstBlockMs` before, the time left at the pace so far.
    static QString progressText(int sent, int count, std::optional<qint64> sinceFirstBlockMs);

    // A boot loader that has been sent the header may first erase its flash;
    // between blocks it only stores one. A loader silent for longer has
    // stopped, and the session ends rather than keep the controls locked.
    static constexpr int HeaderSilenceMs = 30000;
    static constexpr int BlockSilenceMs = 10000;
    // After the last block has left the wire, how long the loader has to ask
    // for it again; silence then means it took the block.
    static constexpr int ConfirmMs = 1000;
    // The same block asked for this many times in a row is not going to pass.
    static constexpr int ResendLimit = 10;
    // How long a stop during the blocks waits for the loader's reply to the
    // frame on the wire: with the wait for that frame to leave, a stop ends
    // within half a second.
    static constexpr int StopReplyMs = 280;

    // Why the last session failed, as its last status line says.
    QString failure() const { return m_failure; }
    // After a session that stopped during the blocks: the block the loader
    // asked for in its reply to the frame on the wire; nothing when no reply
    // came.
    std::optional<int> blockAskedFor() const { return m_blockAskedFor; }

Q_SIGNALS:
    // The hex log was set back to two spaces.
    void hexLogReset();
    // The boot loader answered the probe: it waits for the image and stays
    // in the loader until its last block has arrived (`true`); it took the
    // last block (`false`).
    void bootLoaderWaiting(bool waiting);
    // A session started by startUpdate has ended.
    void finished(telx5::FirmwareUpdate::Outcome outcome);
    // Before "AT+RESET#" and "REBOOT#" go out, and before each frame.
    void rebootSending();
    void frameSending(int block);

private:
    enum class Reply
    {
        None,
        Answered,  // E5
        NextBlock, // C5
        SameBlock, // 55
    };

    Reply takeReply();
    // Opens the port and holds the window's other commands; false (after the
    // port failure's message) when the port did not open.
    bool beginSession();
    void resetHexLog();
    bool send(QByteArrayView bytes);
    bool sendLine(const QString &line);
    void sendFrame(int index);
    void startConfirming();
    void portFailure(Outcome outcome);
    void lockControls(bool locked);
    void holdOtherCommands(bool hold);
    void complete();
    void fail(const QString &line);
    // The device went away (a pulled cable): a running session ends at once.
    void portLost();
    void endSession(Outcome outcome);
    QString progressLine(const QString &state) const;
    // The bar at `sent` blocks, with the time left while blocks go out.
    void showProgress(int sent);
    // The Update button's "update...": while it shows, a press cancels.
    void showUpdating(bool updating);

    SessionHost &m_host;
    FirmwareHost &m_firmwareHost;
    SerialLink &m_port;
    HexLog &m_hexLog;
    const TextCodec &m_codec;

    int m_imageLength = 0;
    QByteArray m_image;
    QString m_imageFileName;
    QByteArray m_paddedImage;
    int m_blockIndex = 0;
    int m_bootWaitCount = 0;
    bool m_bootAnswered = false;
    QByteArray m_blockBuffer;
    QTimer m_bootProbeTimer;
    QTimer m_replyWatcher;

    // From the port's opening by "update" until the session completes or
    // fails.
    bool m_sessionRunning = false;
    // The Update button shows "update...".
    bool m_updating = false;
    // From "REBOOT#" on: only then are bytes in the log taken for the
    // loader's replies, so one left from before is never answered.
    bool m_listening = false;
    // The loader has been sent the header: from now on it speaks in reply
    // bytes only, so one that the watcher does not know is line noise.
    bool m_headerSent = false;
    // The last block has gone; the loader may still ask for it again.
    bool m_confirming = false;
    // 0x55 replies in a row.
    int m_sameBlockAsks = 0;
    QTimer m_silence;
    QString m_silenceLine;
    QTimer m_confirm;
    // The buttons of the other commands and whether they were enabled when
    // the session took them.
    QList<std::pair<Button, bool>> m_heldCommands;
    // Runs from the session's first block until its transfer ends.
    QElapsedTimer m_transferClock;
    int m_shownBlocks = 0;
    QMetaObject::Connection m_arrivals;
    QString m_failure;
    int m_frameInFlight = -1;
    std::optional<int> m_blockAskedFor;
    // A stop waits for the loader's reply to the frame on the wire.
    bool m_stopping = false;
    QTimer m_stopBound;
};

} // namespace telx5
