#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace telx5 {

// Ctrl-C (SIGINT), SIGTERM and SIGHUP as an event: the signal handler only
// writes the signal's number into a socket pair, and the event loop runs
// `onSignal` with it when it reads it, also inside the nested loops a session
// waits in. Any of the three again while `onSignal` runs ends the program at
// once, and so does each of them when the socket pair cannot be had. When
// `onSignal` returns, the program goes on and the next signal is an event
// again.
class InterruptWatch : public QObject
{
public:
    explicit InterruptWatch(std::function<void(int signal)> onSignal, QObject *parent = nullptr);
    ~InterruptWatch() override;

private:
    bool installHandlers();

    std::function<void(int signal)> m_onSignal;
    int m_fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace telx5
