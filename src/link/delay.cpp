#include "delay.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

namespace telx5 {

namespace {

std::atomic<double> g_timeScale{1.0};
// Set from the event loop only (a signal arrives there as an event); atomic
// for the tests' threads that read it.
std::atomic<bool> g_waitsStopped{false};

} // namespace

void setDelayTimeScale(double scale)
{
    g_timeScale.store(scale > 0.0 ? scale : 1.0);
}

double delayTimeScale()
{
    return g_timeScale.load();
}

namespace {

// Dispatches events until `limitMs` have passed or `done` holds, or the job
// is stopped (unless the stop is ignored).
bool waitLoop(double limitMs, const std::function<bool()> &done, WaitStop stop)
{
    QElapsedTimer clock;
    clock.start();

    // A timer bounds each sleep in the event dispatcher, so the wait wakes for
    // its own deadline even when no other event arrives. Nested waits (a
    // handler that runs inside this one and waits itself) each own a timer and
    // test their own deadline whenever the dispatcher hands control back.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    const bool canDispatch = QCoreApplication::instance() != nullptr;
    // A condition is looked at again at least this often.
    constexpr qint64 PollMs = 1;

    for (;;) {
        if (done && done())
            return true;
        if (stop == WaitStop::Ends && waitsStopped())
            return false;
        const qint64 elapsed = clock.elapsed();
        if (static_cast<double>(elapsed) > limitMs)
            return false;
        auto remaining =
            std::max<qint64>(1, static_cast<qint64>(std::floor(limitMs)) + 1 - elapsed);
        if (done)
            remaining = std::min(remaining, PollMs);
        if (!canDispatch) {
            std::this_thread::sleep_for(std::chrono::milliseconds(remaining));
            continue;
        }
        wake.start(std::chrono::milliseconds(remaining));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace

void Delay(int ms)
{
    if (ms < 0)
        return;
    waitLoop(ms * delayTimeScale(), {}, WaitStop::Ends);
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs, WaitStop stop)
{
    return waitLoop(std::max(0, timeoutMs), done, stop);
}

void stopWaits()
{
    g_waitsStopped.store(true);
    // A wait that sleeps in the dispatcher looks at the stop when it wakes.
    if (QCoreApplication::instance())
        QCoreApplication::instance()->thread()->eventDispatcher()->wakeUp();
}

void resumeWaits()
{
    g_waitsStopped.store(false);
}

bool waitsStopped()
{
    return g_waitsStopped.load();
}

} // namespace telx5
