#include "delay.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
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

void Delay(int ms)
{
    if (ms < 0)
        return;

    QElapsedTimer clock;
    clock.start();
    const double limit = ms * delayTimeScale();

    // A timer bounds each sleep in the event dispatcher, so the wait wakes for
    // its own deadline even when no other event arrives. Nested waits (a
    // handler that runs inside this one and waits itself) each own a timer and
    // test their own deadline whenever the dispatcher hands control back.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    const bool canDispatch = QCoreApplication::instance() != nullptr;

    for (;;) {
        const qint64 elapsed = clock.elapsed();
        if (static_cast<double>(elapsed) > limit)
            return;
        const auto remaining =
            std::max<qint64>(1, static_cast<qint64>(std::floor(limit)) + 1 - elapsed);
        if (!canDispatch) {
            std::this_thread::sleep_for(std::chrono::milliseconds(remaining));
            continue;
        }
        wake.start(std::chrono::milliseconds(remaining));
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

} // namespace telx5
