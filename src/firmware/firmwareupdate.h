#pragma once

#include "firmwarehost.h"
#include "host.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

namespace telx5 {

class HexLog;
class TextCodec;

// The firmware update: "Open ROM" reads and pads the image, "update" resets
// the device's settings store, reboots it into its boot loader and probes the
// loader once a second; the reply watcher (running every 100 ms for the life
// of the window) answers each reply byte at the front of the receive hex
// log with the header or a block until the last block has gone.
class FirmwareUpdate : public QObject
{
    Q_OBJECT
public:
    FirmwareUpdate(SessionHost &host, FirmwareHost &firmwareHost, SerialLink &port, HexLog &hexLog,
                   const TextCodec &codec, QObject *parent = nullptr);

    void openImage();           // Open ROM
    void startUpdate();         // update: starts a session, or cancels the one being set up
    void probeBootLoader();     // waiting for the boot loader
    void answerLoaderReplies(); // the reply watcher

    int imageLength() const { return m_imageLength; }
    int blockIndex() const { return m_blockIndex; }
    int blockCount() const;
    bool waitingForBootLoader() const { return m_bootProbeTimer.isActive(); }
    bool sessionRunning() const { return m_sessionRunning; }

    // A boot loader that has answered and then says nothing for this long has
    // stopped; the session ends rather than keep the controls locked.
    static constexpr int SilenceLimitMs = 10000;

Q_SIGNALS:
    // The hex log was set back to two spaces.
    void hexLogReset();

private:
    enum class Reply
    {
        None,
        Answered,  // E5
        NextBlock, // C5
        SameBlock, // 55
    };

    Reply takeReply();
    void resetHexLog();
    bool send(QByteArrayView bytes);
    bool sendLine(const QString &line);
    void sendBlock(int index);
    void portFailure();
    void lockControls(bool locked);
    void complete();
    void silenceExpired();
    // The device went away (a pulled cable): a running session ends at once.
    void portLost();
    void endSession();
    QString progressLine(const QString &state) const;

    SessionHost &m_host;
    FirmwareHost &m_firmwareHost;
    SerialLink &m_port;
    HexLog &m_hexLog;
    const TextCodec &m_codec;

    int m_imageLength = 0;
    QByteArray m_paddedImage;
    int m_blockIndex = 0;
    int m_bootWaitCount = 0;
    bool m_bootAnswered = false;
    QByteArray m_blockBuffer;
    QTimer m_bootProbeTimer;
    QTimer m_replyWatcher;

    // From the port's opening by "update" until the session completes or
    // fails: only then are bytes in the log taken for the loader's replies.
    bool m_sessionRunning = false;
    // The loader has been sent the header: from now on it speaks in reply
    // bytes only, so one that the watcher does not know is line noise.
    bool m_headerSent = false;
    QTimer m_silence;
};

} // namespace telx5
