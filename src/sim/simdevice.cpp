#include "simdevice.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <optional>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace telx5 {

namespace {

constexpr qsizetype FrameSize = 2049;
constexpr qsizetype BlockSize = 2048;
constexpr char Probe[] = {'\x5F', '\x00', '\x00', '\xF5'};
constexpr char AnswerProbe = '\xE5';
constexpr char AnswerStored = '\xC5';
constexpr char AnswerSendAgain = '\x55';
// A line longer than this is no command; the device forgets it.
constexpr qsizetype MaxLine = 4096;
// How long the boot loader waits for a probe before it starts the firmware.
constexpr int DefaultBootWindowMs = 3000;
// How often a detached pty is checked for the tool opening it again.
constexpr int AttachPollMs = 10;
// The device's line speed in the paced wire mode, and how often the wire
// hands over the bytes that have arrived since it last looked.
constexpr int LineBaud = 115200;
constexpr int WireTickMs = 1;

enum class BootState
{
    WaitProbe,
    WaitHeader,
    Blocks,
    Silent,
};

// The device's own codes for its list settings, read off its manual rather
// than taken from the tool, so that a wrong code in the tool shows.
struct ListCode
{
    const char16_t *entry;
    char code;
};

constexpr ListCode UnitCodes[] = {{u"km", '1'}, {u"mi", '2'}, {u"公里", '3'}};
constexpr ListCode PathCodes[] = {
    {u"None", '0'}, {u"WIDE1-1", '1'}, {u"WIDE1-1WIDE2-1", '2'}, {u"WIDE1-1WIDE2-2", '3'}};
constexpr ListCode AliasCodes[] = {{u"WIDE1", '1'}, {u"WIDE2", '2'}, {u"WIDE1+WIDE2", '3'}};

template <std::size_t N> QString entryOf(const ListCode (&codes)[N], char code)
{
    for (const ListCode &entry : codes) {
        if (entry.code == code)
            return QString::fromUtf16(entry.entry);
    }
    return {};
}

// An entry the device does not know is reported as its default.
template <std::size_t N>
QByteArray codeOf(const ListCode (&codes)[N], const QString &text, char fallback)
{
    for (const ListCode &entry : codes) {
        if (text == QStringView(entry.entry))
            return QByteArray(1, entry.code);
    }
    return QByteArray(1, fallback);
}

const QString StaticIp = QStringLiteral("STATIC IP");

struct Chunk
{
    QByteArray bytes;
    int delayMs = 0;
};

void seed(SettingsRecord &s)
{
    s.setText(Field::Callsign, QStringLiteral("N0CALL"));
    s.setText(Field::Ssid, QStringLiteral("9"));
    s.setText(Field::Pass, QStringLiteral("13023"));
    s.setText(Field::Dhcp, QStringLiteral("DHCP"));
    const QStringList octets[] = {
        {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"), QStringLiteral("99")},
        {QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("255"), QStringLiteral("0")},
        {QStringLiteral("192"), QStringLiteral("168"), QStringLiteral("1"), QStringLiteral("1")},
        {QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("8"), QStringLiteral("8")},
    };
    for (int a = 0; a < 4; ++a) {
        for (int i = 0; i < 4; ++i)
            s.setText(octetField(AllAddresses[a], i), octets[a].at(i));
    }
    s.setText(Field::Position, QStringLiteral("3114.40N/12128.00E&"));
    s.setText(Field::Comment, QStringLiteral("TELX5 iGate"));
    s.setText(Field::Server, QStringLiteral("china.aprs2.net"));
    s.setText(Field::SentTime, QStringLiteral("0600"));
    s.setText(Field::Filter, QStringLiteral("m/50"));
    s.setText(Field::Version, QStringLiteral("KT360 V1.2"));
    s.setText(Field::Freq, QStringLiteral("144.6400"));
    s.setText(Field::Backlight, QStringLiteral("30"));
    s.setText(Field::Unit, QStringLiteral("km"));
    s.setText(Field::Digi, QStringLiteral("1"));
    s.setText(Field::Mod, QStringLiteral("3"));
    s.setText(Field::Path, QStringLiteral("WIDE1-1"));
    s.setText(Field::Alias, QStringLiteral("WIDE1+WIDE2"));
}

// A device at 115200 that listens to a slower sender samples its long start
// bit all through the frame and reads a zero byte. A zero byte sent reads as
// 0xFF here, so that no garbled byte comes out as it was sent.
char garbled(char byte)
{
    return byte == 0 ? '\xFF' : '\0';
}

char xorOf(QByteArrayView data)
{
    char sum = 0;
    for (const char byte : data)
        sum = static_cast<char>(sum ^ byte);
    return sum;
}

} // namespace

struct SimDevice::Private
{
    explicit Private(SimDevice *owner)
        : q(owner), pumpTimer(owner), attachTimer(owner), bootWindow(owner), wireTimer(owner)
    {
        bootWindow.setSingleShot(true);
        pumpTimer.setSingleShot(true);
        pumpTimer.setTimerType(Qt::PreciseTimer);
        attachTimer.setInterval(AttachPollMs);
        wireTimer.setInterval(WireTickMs);
        wireTimer.setTimerType(Qt::PreciseTimer);
        seed(settings);
    }

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

    // Knobs.
    int connectAfter = 1;
    bool silent = false;
    QStringList ignored;
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

    void handle(char byte);
    void handleLine(const QByteArray &raw);
    void store(const QByteArray &line);
    QList<QByteArray> readAnswer() const;
    void answer(const QList<QByteArray> &lines);
    void setMode(Mode next);
    void closeMaster();

    // Puts the next piece of an endless stream into the output; false when
    // there is no stream.
    bool refillStream();
    void kickStream();

    void handleBoot(char byte);
    void bootReply(char byte, int delayMs = 0);

    void enqueue(const QByteArray &bytes, int delayMs);
    void pump();
    qsizetype writeMaster(QByteArrayView bytes);
};

bool SimDevice::Private::hostAttached() const
{
    if (master < 0)
        return false;
    pollfd p{master, POLLOUT, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

void SimDevice::Private::detached()
{
    // With the tool's port closed the master reports a hang-up on every
    // poll; reading would spin, so look again at a slow pace instead.
    notifier->setEnabled(false);
    attachTimer.start();
}

void SimDevice::Private::checkAttached()
{
    // What the tool sent just before it closed its port is still waiting.
    if (pacedLine) {
        // The wire takes it out at its pace, and finds out whether the tool
        // is back once it is out.
        attachTimer.stop();
        startWire();
        return;
    }
    readAvailable();
    if (master < 0 || !hostAttached())
        return;
    attachTimer.stop();
    notifier->setEnabled(true);
}

void SimDevice::Private::onReadable()
{
    if (pacedLine)
        startWire();
    else if (readAvailable())
        detached();
}

bool SimDevice::Private::readAvailable()
{
    char buffer[4096];
    while (master >= 0) {
        const ssize_t n = ::read(master, buffer, sizeof buffer);
        if (n > 0) {
            arrive(QByteArrayView(buffer, n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        return n < 0 && errno == EIO;
    }
    return false;
}

void SimDevice::Private::arrive(QByteArrayView bytes)
{
    received.append(bytes);
    for (const char byte : bytes)
        handle(byte);
}

void SimDevice::Private::startWire()
{
    // The bytes stay in the pty until they are due; the level-triggered
    // notifier would fire all the while.
    notifier->setEnabled(false);
    wireClock.start();
    wireBytes = 0;
    wireTimer.start();
}

void SimDevice::Private::wireTick()
{
    const qint64 due = wireClock.nsecsElapsed() * LineBaud / 10 / 1000000000 - wireBytes;
    if (due <= 0)
        return;
    QByteArray bytes(due, Qt::Uninitialized);
    ssize_t n = 0;
    do {
        n = ::read(master, bytes.data(), static_cast<size_t>(due));
    } while (n < 0 && errno == EINTR);
    const bool hungUp = n < 0 && errno == EIO;
    if (n > 0) {
        wireBytes += n;
        bytes.truncate(n);
        // Every byte that arrived since the last tick is judged by the
        // settings the line has now, so a change within the tick garbles
        // them all.
        if (!lineMatches())
            std::transform(bytes.cbegin(), bytes.cend(), bytes.begin(), garbled);
        arrive(bytes);
    }
    // A handler may have pulled the cable or turned the wire off meanwhile.
    if (n == due || master < 0 || !wireTimer.isActive())
        return;
    // The pty has run dry: the line idles until the tool sends again.
    wireTimer.stop();
    if (hungUp)
        detached();
    else
        notifier->setEnabled(true);
}

bool SimDevice::Private::lineMatches() const
{
    // The pty's master reports the termios of the tool's side.
    termios mode{};
    if (::tcgetattr(master, &mode) != 0)
        return false;
    return ::cfgetospeed(&mode) == B115200 && (mode.c_cflag & CSIZE) == CS8 &&
           (mode.c_cflag & (PARENB | CSTOPB)) == 0;
}

void SimDevice::Private::handle(char byte)
{
    if (mode == Mode::BootLoader) {
        handleBoot(byte);
        return;
    }
    if (byte == '\r' || byte == '\n') {
        if (!line.isEmpty() && !lineTooLong)
            handleLine(line);
        line.clear();
        lineTooLong = false;
        return;
    }
    if (line.size() < MaxLine)
        line.append(byte);
    else
        lineTooLong = true;
}

void SimDevice::Private::handleLine(const QByteArray &raw)
{
    Q_EMIT q->lineReceived(raw);
    if (silent)
        return;
    const QString text = codec.decode(raw);
    for (const QString &prefix : std::as_const(ignored)) {
        if (text.startsWith(prefix))
            return;
    }
    if (raw == "SETUP#") {
        ++setupLines;
        if (connectAfter != Never && setupLines >= connectAfter)
            answer({QByteArrayLiteral("CONNECT")});
    } else if (raw == "AT+READ#") {
        answer(readAnswer());
    } else if (raw == "AT+RESET#") {
        answer({QByteArrayLiteral("eeram reset")});
    } else if (raw == "REBOOT#") {
        setMode(Mode::BootLoader);
    } else if (raw.startsWith("AT+")) {
        store(raw);
    }
}

void SimDevice::Private::store(const QByteArray &raw)
{
    const qsizetype comma = raw.indexOf(',');
    if (comma < 0)
        return;
    const QByteArray keyword = raw.left(comma);
    QByteArray valueBytes = raw.mid(comma + 1);
    // The command's terminator; a "#" inside the value stays part of it.
    if (valueBytes.endsWith('#'))
        valueBytes.chop(1);
    const QString value = codec.decode(valueBytes);

    auto setAddress = [this, &value](Address address) {
        const QStringList parts = value.split(QLatin1Char(','));
        for (int i = 0; i < 4; ++i) {
            const QString octet = i < 3 ? parts.value(i) : parts.mid(3).join(QLatin1Char(','));
            settings.setText(octetField(address, i), octet);
        }
    };
    auto firstChar = [&value]() { return value.isEmpty() ? '\0' : value.at(0).toLatin1(); };

    if (keyword == "AT+CALL") {
        const qsizetype dash = value.indexOf(QLatin1Char('-'));
        if (dash < 0)
            return;
        QString call = value.left(dash);
        while (call.endsWith(QLatin1Char(' ')))
            call.chop(1);
        settings.setText(Field::Callsign, call);
        settings.setText(Field::Ssid, value.mid(dash + 1));
    } else if (keyword == "AT+PASS") {
        settings.setText(Field::Pass, value);
    } else if (keyword == "AT+DHCP") {
        settings.setText(Field::Dhcp,
                         value == QLatin1String("0") ? StaticIp : QStringLiteral("DHCP"));
    } else if (keyword == "AT+IP") {
        setAddress(Address::Ip);
    } else if (keyword == "AT+SUB") {
        setAddress(Address::Mask);
    } else if (keyword == "AT+GW") {
        setAddress(Address::Gate);
    } else if (keyword == "AT+DNS") {
        setAddress(Address::Dns);
    } else if (keyword == "AT+POSI") {
        settings.setText(Field::Position, value);
    } else if (keyword == "AT+COMMENT") {
        settings.setText(Field::Comment, value);
    } else if (keyword == "AT+SERVER") {
        settings.setText(Field::Server, value);
    } else if (keyword == "AT+TIME") {
        settings.setText(Field::SentTime, value);
    } else if (keyword == "AT+FILTER") {
        settings.setText(Field::Filter, value);
    } else if (keyword == "AT+BACKLIGHT") {
        const bool on = value == QLatin1String("00") || value == QLatin1String("0");
        settings.setText(Field::Backlight, on ? QStringLiteral("ON") : value);
    } else if (keyword == "AT+UNIT") {
        const QString unit = entryOf(UnitCodes, firstChar());
        if (!unit.isEmpty())
            settings.setText(Field::Unit, unit);
    } else if (keyword == "AT+DIGI") {
        settings.setText(Field::Digi,
                         value == QLatin1String("1") ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (keyword == "AT+MOD") {
        settings.setText(Field::Mod, value);
    } else if (keyword == "AT+PATH") {
        const QString path = entryOf(PathCodes, firstChar());
        if (!path.isEmpty())
            settings.setText(Field::Path, path);
    } else if (keyword == "AT+ALIAS") {
        const QString alias = entryOf(AliasCodes, firstChar());
        if (!alias.isEmpty())
            settings.setText(Field::Alias, alias);
    } else if (keyword == "AT+FREQ") {
        settings.setText(Field::Freq, value);
        answer({QByteArrayLiteral("freq save")});
    } else if (keyword == "AT+WIFI") {
        const qsizetype split = value.indexOf(QLatin1Char(','));
        settings.setText(Field::WifiSsid, split < 0 ? value : value.left(split));
        settings.setText(Field::WifiPass, split < 0 ? QString() : value.mid(split + 1));
        answer({QByteArrayLiteral("WIFI Write success")});
    }
}

QList<QByteArray> SimDevice::Private::readAnswer() const
{
    auto t = [this](Field field) { return codec.encode(settings.text(field)); };
    auto address = [this](const char *keyword, Address a) {
        QByteArray line(keyword);
        for (int i = 0; i < 4; ++i) {
            if (i > 0)
                line += ',';
            line += codec.encode(settings.text(octetField(a, i)));
        }
        return line;
    };
    const bool isStatic = settings.text(Field::Dhcp) == StaticIp;
    const QString backlight = settings.text(Field::Backlight);
    return {
        "CALLSIGN:" + t(Field::Callsign) + '-' + t(Field::Ssid),
        "PASS:" + t(Field::Pass),
        isStatic ? QByteArrayLiteral("DHCP:0") : QByteArrayLiteral("DHCP:1"),
        address("IP:", Address::Ip),
        address("MASK:", Address::Mask),
        address("GATE:", Address::Gate),
        address("DNS:", Address::Dns),
        "POSITION:" + t(Field::Position),
        "COMMENT TEXT:" + t(Field::Comment),
        "SERVER:" + t(Field::Server),
        "SENT TIME:" + t(Field::SentTime),
        "FILTER:" + t(Field::Filter),
        "VER:" + t(Field::Version),
        "FREQ:" + t(Field::Freq),
        "BACKLIGHT:" +
            (backlight == QLatin1String("ON") ? QByteArrayLiteral("00") : backlight.toLatin1()),
        "UNIT:" + codeOf(UnitCodes, settings.text(Field::Unit), '2'),
        "DIGI:" + QByteArray(settings.text(Field::Digi) == QLatin1String("1") ? "1" : "0"),
        "MOD:" + t(Field::Mod),
        "PATH:" + codeOf(PathCodes, settings.text(Field::Path), '1'),
        "ALIAS:" + codeOf(AliasCodes, settings.text(Field::Alias), '3'),
        QByteArrayLiteral("READ END"),
    };
}

void SimDevice::Private::answer(const QList<QByteArray> &lines)
{
    if (endlessStream)
        return;
    for (int round = answerTwice ? 2 : 1; round > 0; --round) {
        bool first = true;
        for (const QByteArray &l : lines) {
            const int wait = first ? answerDelayMs : lineGapMs;
            QByteArray bytes = (first ? garbage : QByteArray()) + lineNoise + l;
            bytes += "\r\n";
            enqueue(bytes, wait);
            first = false;
        }
    }
}

void SimDevice::Private::setMode(Mode next)
{
    if (mode == next)
        return;
    mode = next;
    line.clear();
    lineTooLong = false;
    bootWindow.stop();
    if (next == Mode::BootLoader) {
        bootState = BootState::WaitProbe;
        bootInput.clear();
        if (bootWindowMs != Never)
            bootWindow.start(bootWindowMs);
    }
    Q_EMIT q->modeChanged(next);
}

void SimDevice::Private::closeMaster()
{
    delete notifier;
    notifier = nullptr;
    delete writable;
    writable = nullptr;
    attachTimer.stop();
    pumpTimer.stop();
    bootWindow.stop();
    wireTimer.stop();
    out.clear();
    if (master >= 0)
        ::close(master);
    master = -1;
}

void SimDevice::Private::bootReply(char byte, int delayMs)
{
    if (!randomReplies || bootState != BootState::Blocks) {
        enqueue(QByteArray(1, byte), delayMs);
        return;
    }
    const auto noise = [this] {
        QByteArray bytes(randomReplies->bounded(4), Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(randomReplies->bounded(256));
        return bytes;
    };
    QByteArray reply = noise();
    reply += byte;
    reply += noise();
    enqueue(reply, delayMs);
}

bool SimDevice::Private::refillStream()
{
    if (!endlessStream || master < 0)
        return false;
    // Every byte value but CR, over and over.
    QByteArray bytes(1024, Qt::Uninitialized);
    for (char &b : bytes) {
        const int value = static_cast<int>(streamBytes++ % 255);
        b = static_cast<char>(value < '\r' ? value : value + 1);
    }
    out.push_back({bytes, 0});
    return true;
}

void SimDevice::Private::kickStream()
{
    const bool waiting = pumpTimer.isActive() || (writable && writable->isEnabled());
    if (endlessStream && out.empty() && !waiting)
        pump();
}

void SimDevice::Private::handleBoot(char byte)
{
    if (silent || bootState == BootState::Silent)
        return;
    bootInput.append(byte);
    const QByteArrayView probe(Probe, sizeof Probe);

    if (bootState == BootState::WaitProbe || bootState == BootState::WaitHeader) {
        // Text lines that follow "REBOOT#" and anything else before a frame
        // the loader knows are skipped.
        if (bootInput.endsWith(probe)) {
            bootWindow.stop();
            bootInput.clear();
            bootState = BootState::WaitHeader;
            bootReply(AnswerProbe);
            return;
        }
        if (bootState == BootState::WaitProbe) {
            if (bootInput.size() > probe.size())
                bootInput.remove(0, bootInput.size() - probe.size());
            return;
        }
        const qsizetype start = bootInput.indexOf('\x5E');
        if (start < 0) {
            bootInput = bootInput.right(probe.size() - 1);
            return;
        }
        if (bootInput.size() - start < 5)
            return;
        const QByteArray header = bootInput.mid(start, 5);
        if (static_cast<unsigned char>(header.at(4)) != 0xE5) {
            bootInput.remove(0, start + 1);
            return;
        }
        const auto at = [&header](int i) { return static_cast<unsigned char>(header.at(i)); };
        imageLength = at(3) * int(BlockSize) + at(1) * 256 + at(2);
        blockCount = at(3) + 1;
        blocksStored = 0;
        resendDone = false;
        image.clear();
        bootInput.clear();
        bootState = BootState::Blocks;
        bootReply(AnswerStored);
        return;
    }

    if (bootInput.size() < FrameSize)
        return;
    const QByteArrayView data(bootInput.constData(), BlockSize);
    const bool resend = blocksStored == resendBlock && !resendDone;
    if (resend || xorOf(data) != bootInput.at(BlockSize)) {
        resendDone = resendDone || resend;
        bootInput.clear();
        bootReply(AnswerSendAgain, blockDelayMs);
        return;
    }
    image.append(data);
    bootInput.clear();
    const int stored = blocksStored++;
    if (blocksStored == blockCount) {
        // The loader starts the new firmware without a reply.
        lastImage = image.left(imageLength);
        Q_EMIT q->bootImageReceived(lastImage);
        setMode(Mode::Setup);
        return;
    }
    if (stored == silentAfterBlock) {
        bootState = BootState::Silent;
        return;
    }
    bootReply(AnswerStored, blockDelayMs);
}

void SimDevice::Private::enqueue(const QByteArray &bytes, int delayMs)
{
    if (master < 0 || bytes.isEmpty())
        return;
    const bool idle = out.empty() && !pumpTimer.isActive();
    out.push_back({bytes, delayMs});
    if (idle) {
        paceClock.start();
        pacedBytes = 0;
        pump();
    }
}

void SimDevice::Private::pump()
{
    while (!out.empty() || refillStream()) {
        Chunk &chunk = out.front();
        if (chunk.delayMs > 0) {
            paceClock.invalidate();
            pumpTimer.start(std::exchange(chunk.delayMs, 0));
            return;
        }
        qsizetype n = chunk.bytes.size();
        if (fragmentSize > 0)
            n = std::min<qsizetype>(n, fragmentSize);
        const int pace = baud > 0 ? baud : pacedLine || endlessStream ? LineBaud : 0;
        if (pace > 0) {
            if (!paceClock.isValid()) {
                paceClock.start();
                pacedBytes = 0;
            }
            const qint64 allowed = paceClock.nsecsElapsed() * pace / 10 / 1000000000 - pacedBytes;
            if (allowed <= 0) {
                pumpTimer.start(std::max(1, 10000 / pace));
                return;
            }
            n = std::min<qsizetype>(n, allowed);
        }
        const qsizetype written = writeMaster(QByteArrayView(chunk.bytes).first(n));
        pacedBytes += written;
        chunk.bytes.remove(0, written);
        if (chunk.bytes.isEmpty())
            out.pop_front();
        if (written < n) {
            // The pty's buffer is full: go on as soon as the tool has read.
            writable->setEnabled(true);
            return;
        }
        if (fragmentSize > 0 && !out.empty()) {
            pumpTimer.start(fragmentGapMs);
            return;
        }
    }
}

qsizetype SimDevice::Private::writeMaster(QByteArrayView bytes)
{
    // Bytes sent while the tool's port is closed are lost on the line, as
    // they would be on a real cable.
    if (!hostAttached())
        return bytes.size();
    const ssize_t n = ::write(master, bytes.data(), static_cast<size_t>(bytes.size()));
    if (n < 0)
        return errno == EAGAIN || errno == EINTR ? 0 : bytes.size();
    return n;
}

SimDevice::SimDevice(QObject *parent) : QObject(parent), d(std::make_unique<Private>(this))
{
    connect(&d->pumpTimer, &QTimer::timeout, this, [this] { d->pump(); });
    connect(&d->attachTimer, &QTimer::timeout, this, [this] { d->checkAttached(); });
    connect(&d->wireTimer, &QTimer::timeout, this, [this] { d->wireTick(); });
    // No probe in time: the loader starts the firmware, which speaks the
    // setup protocol again.
    connect(&d->bootWindow, &QTimer::timeout, this, [this] { d->setMode(Mode::Setup); });
}

SimDevice::~SimDevice()
{
    d->closeMaster();
}

bool SimDevice::start(QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (d->master >= 0)
        return true;
    if (d->vanished)
        return fail(QStringLiteral("the simulated device has been unplugged"));
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
        return fail(
            QStringLiteral("openpty: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    // Raw bytes both ways: no CR/LF translation, no echo, no line editing.
    termios mode{};
    if (::tcgetattr(slave, &mode) == 0) {
        ::cfmakeraw(&mode);
        ::cfsetspeed(&mode, d->pacedLine ? B9600 : B115200);
        ::tcsetattr(slave, TCSANOW, &mode);
    }
    const char *name = ::ptsname(master);
    d->path = name ? QString::fromLocal8Bit(name) : QString();
    ::close(slave);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    d->master = master;
    d->notifier = new QSocketNotifier(master, QSocketNotifier::Read, this);
    connect(d->notifier, &QSocketNotifier::activated, this, [this] { d->onReadable(); });
    d->writable = new QSocketNotifier(master, QSocketNotifier::Write, this);
    d->writable->setEnabled(false);
    connect(d->writable, &QSocketNotifier::activated, this, [this] {
        d->writable->setEnabled(false);
        d->pump();
    });
    d->kickStream();
    return true;
}

QString SimDevice::portPath() const
{
    return d->path;
}

SettingsRecord &SimDevice::settings()
{
    return d->settings;
}

QByteArray SimDevice::received() const
{
    return d->received;
}

SimDevice::Mode SimDevice::mode() const
{
    return d->mode;
}

QByteArray SimDevice::bootImage() const
{
    return d->lastImage;
}

int SimDevice::storedBlocks() const
{
    return d->blocksStored;
}

bool SimDevice::outputPending() const
{
    return !d->out.empty();
}

void SimDevice::setBootWindow(int ms)
{
    d->bootWindowMs = ms < 0 ? Never : ms;
}

void SimDevice::restart()
{
    d->setMode(Mode::Setup);
}

void SimDevice::setConnectAfter(int setupLines)
{
    d->connectAfter = setupLines;
}

void SimDevice::setSilent(bool silent)
{
    d->silent = silent;
}

void SimDevice::setIgnoredCommands(const QStringList &prefixes)
{
    d->ignored = prefixes;
}

void SimDevice::setAnswerDelay(int ms)
{
    d->answerDelayMs = std::max(0, ms);
}

void SimDevice::setLineGap(int ms)
{
    d->lineGapMs = std::max(0, ms);
}

void SimDevice::setBaudRate(int baud)
{
    d->baud = std::max(0, baud);
}

void SimDevice::setPacedLine(bool on)
{
    d->pacedLine = on;
    if (on || !d->wireTimer.isActive())
        return;
    // What is still in the pty goes to the unpaced reader at once.
    d->wireTimer.stop();
    d->notifier->setEnabled(true);
}

void SimDevice::setFragmentSize(int bytes, int gapMs)
{
    d->fragmentSize = std::max(0, bytes);
    d->fragmentGapMs = std::max(1, gapMs);
}

void SimDevice::setGarbage(const QByteArray &bytes)
{
    d->garbage = bytes;
}

void SimDevice::setResendBlock(int block)
{
    d->resendBlock = block;
}

void SimDevice::setSilentAfterBlock(int block)
{
    d->silentAfterBlock = block;
}

void SimDevice::setBlockDelay(int ms)
{
    d->blockDelayMs = std::max(0, ms);
}

void SimDevice::setCodePage(CodePage page)
{
    d->codec = TextCodec(page);
}

void SimDevice::sendRaw(const QByteArray &bytes)
{
    d->enqueue(bytes, 0);
}

void SimDevice::vanish()
{
    if (d->master < 0)
        return;
    d->closeMaster();
    d->vanished = true;
}

bool SimDevice::hasVanished() const
{
    return d->vanished;
}

void SimDevice::setLineNoise(const QByteArray &bytes)
{
    d->lineNoise = bytes;
}

void SimDevice::setAnswerTwice(bool twice)
{
    d->answerTwice = twice;
}

void SimDevice::setEndlessStream(bool on)
{
    d->endlessStream = on;
    d->kickStream();
}

void SimDevice::setRandomReplies(quint32 seed)
{
    d->randomReplies.reset();
    if (seed != 0)
        d->randomReplies.emplace(seed);
}

} // namespace telx5
