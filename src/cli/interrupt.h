#pragma once

#include <QObject>
#include <QSocketNotifier>

#include <functional>
#include <memory>

namespace telx5 {

// Ctrl-C (SIGINT) as an event: the signal handler only writes a byte into a
// socket pair, and the event loop runs `onInterrupt` when it reads it, also
// inside the nested loops a session waits in. A second Ctrl-C while
// `onInterrupt` runs ends the program at once, and so does Ctrl-C when the
// socket pair cannot be had.
class InterruptWatch : public QObject
{
public:
    explicit InterruptWatch(std::function<void()> onInterrupt, QObject *parent = nullptr);
    ~InterruptWatch() override;

private:
    std::function<void()> m_onInterrupt;
    int m_fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace telx5
