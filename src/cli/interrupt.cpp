#include "interrupt.h"

#include <cerrno>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telx5 {

namespace {

// The end the signal handler writes to.
volatile std::sig_atomic_t wakeFd = -1;

extern "C" void onSigint(int)
{
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeFd, &byte, 1);
    errno = savedErrno;
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void()> onInterrupt, QObject *parent)
    : QObject(parent), m_onInterrupt(std::move(onInterrupt))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    // A full socket only means that an interrupt is already waiting.
    ::fcntl(m_fds[0], F_SETFL, O_NONBLOCK);
    wakeFd = m_fds[0];
    struct sigaction action = {};
    action.sa_handler = onSigint;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGINT, &action, nullptr) != 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fds[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(m_fds[1], &byte, 1);
        m_notifier->setEnabled(false);
        std::signal(SIGINT, SIG_DFL);
        m_onInterrupt();
    });
}

InterruptWatch::~InterruptWatch()
{
    std::signal(SIGINT, SIG_DFL);
    wakeFd = -1;
    m_notifier.reset();
    for (const int fd : m_fds) {
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace telx5
