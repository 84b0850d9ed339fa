#include "interrupt.h"

#include <cerrno>
#include <csignal>
#include <utility>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace telx5 {

namespace {

constexpr int WatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The end the signal handler writes to.
volatile std::sig_atomic_t wakeFd = -1;

extern "C" void deliverSignal(int signal)
{
    const int savedErrno = errno;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(wakeFd, &byte, 1);
    errno = savedErrno;
}

void restoreDefaults()
{
    for (const int signal : WatchedSignals)
        std::signal(signal, SIG_DFL);
}

} // namespace

InterruptWatch::InterruptWatch(std::function<void(int signal)> onSignal, QObject *parent)
    : QObject(parent), m_onSignal(std::move(onSignal))
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, m_fds) != 0)
        return;
    // A full socket only means that a signal is already waiting.
    ::fcntl(m_fds[0], F_SETFL, O_NONBLOCK);
    wakeFd = m_fds[0];
    if (!installHandlers())
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fds[1], QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        if (::read(m_fds[1], &byte, 1) != 1)
            return;
        m_notifier->setEnabled(false);
        restoreDefaults();
        m_onSignal(byte);
        // The command goes on (a first Ctrl-C that only warned): the next
        // signal is an event again.
        if (installHandlers())
            m_notifier->setEnabled(true);
    });
}

bool InterruptWatch::installHandlers()
{
    struct sigaction action = {};
    action.sa_handler = deliverSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : WatchedSignals) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            restoreDefaults();
            return false;
        }
    }
    return true;
}

InterruptWatch::~InterruptWatch()
{
    restoreDefaults();
    wakeFd = -1;
    m_notifier.reset();
    for (const int fd : m_fds) {
        if (fd >= 0)
            ::close(fd);
    }
}

} // namespace telx5
