#include "delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
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

// Dispatches events until `limitMs` have passed or `done` holds.
bool waitLoop(double limitMs, const std::function<bool()> &done)
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
    waitLoop(ms * delayTimeScale(), {});
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    return waitLoop(std::max(0, timeoutMs), done);
}

} // namespace telx5
