// Loaded into a Qt program through QT_QPA_GENERIC_PLUGINS, so that
// telx5-startup-bench times telx5-config and the bare window in the same way
// without changing either. It writes a line to stderr, with the monotonic
// clock, when Qt loads it (inside QApplication's constructor), when the first
// window is shown and when its first frame has been painted and flushed; then
// the process stops itself, so that the benchmark reads the peak memory of a
// program that has done nothing beyond its first frame.
#include <QCoreApplication>
#include <QGenericPlugin>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <csignal>
#include <cstdio>

namespace {

void mark(const char *point)
{
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    // stderr is unbuffered: the line goes out in one write, as it happens.
    std::fprintf(stderr, "telx5-startup %s %lld\n", point, static_cast<long long>(now.count()));
}

class FirstFrameHook final : public QObject
{
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const auto *widget = qobject_cast<const QWidget *>(watched);
        if (!widget || !widget->isWindow())
            return false;
        if (event->type() == QEvent::Show && !m_shown) {
            m_shown = true;
            mark("show");
        } else if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            // The window's first paint event comes before its children's and
            // before the flush; a queued call runs once the whole frame is out.
            // Installed on the application, this filter sees the event before
            // the window does, so the call runs before anything the window
            // queues in answer to the same paint.
            QTimer::singleShot(0, this, [] {
                mark("frame");
                std::raise(SIGSTOP);
            });
        }
        return false;
    }

private:
    bool m_shown = false;
    bool m_painted = false;
};

class FirstFramePlugin final : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "firstframehook.json")
public:
    QObject *create(const QString &, const QString &) override
    {
        mark("app");
        auto *hook = new FirstFrameHook;
        QCoreApplication::instance()->installEventFilter(hook);
        return hook;
    }
};

} // namespace

#include "firstframehook.moc"
