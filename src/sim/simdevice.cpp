// The simulated TELX5 is a second reading of the device's protocol, made
// independently of the tool on purpose: it is the check on the tool. What the
// device answers, how it takes each command line, its choice codes and its
// boot loader's frames are written out in these files from the device's side,
// and nothing here uses the tool's settings tables, line parser, command
// encoders or firmware image code. Were they shared, a mistake in them would
// be made on both ends of the line and every test would agree with it. The
// simulator takes from the core only SettingsRecord, as the store of the
// values the device holds, and TextCodec, for the code page of its texts.

#include "simdevice_p.h"

namespace telx5 {

SimDevice::Private::Private(SimDevice *owner)
    : q(owner), pumpTimer(owner), attachTimer(owner), bootWindow(owner), wireTimer(owner),
      settings(factorySettings())
{
    bootWindow.setSingleShot(true);
    pumpTimer.setSingleShot(true);
    pumpTimer.setTimerType(Qt::PreciseTimer);
    attachTimer.setInterval(AttachPollMs);
    wireTimer.setInterval(WireTickMs);
    wireTimer.setTimerType(Qt::PreciseTimer);
}

void SimDevice::Private::handle(char byte)
{
    if (mode == Mode::BootLoader)
        handleBoot(byte);
    else
        handleSetup(byte);
}

void SimDevice::Private::setMode(Mode next)
{
    if (mode == next)
        return;
    mode = next;
    line.clear();
    lineTooLong = false;
    bootWindow.stop();
    if (next == Mode::BootLoader)
        enterBootLoader();
    Q_EMIT q->modeChanged(next);
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

QString SimDevice::bootError() const
{
    return d->bootError;
}

int SimDevice::storedBlocks() const
{
    return d->blocksStored;
}

bool SimDevice::outputPending() const
{
    return !d->out.empty();
}

} // namespace telx5
