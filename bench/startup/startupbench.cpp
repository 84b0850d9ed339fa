// Start-up of telx5-config against the bare window with the same 87 controls:
// the time from starting the process to its first frame, and its peak memory
// (VmHWM) then. Both run on the offscreen platform in the C locale (which
// shows no start-up message box), with the same hook loaded into them through
// QT_QPA_GENERIC_PLUGINS (firstframehook.cpp): it stamps the moments with the
// monotonic clock and stops the process after the first frame, before the
// real window's port probe, which it runs only once the frame is out.
// The programs run in turns, bare then real, after one pair left uncounted,
// so that load from other work falls on both alike; medians per program.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <optional>
#include <vector>

namespace {

struct Sample
{
    double appMs = 0;   // the platform plugin loaded, in QApplication's constructor
    double shownMs = 0; // the window constructed and shown
    double frameMs = 0; // the first frame painted and flushed
    double peakMiB = 0;
};

struct Samples
{
    std::vector<double> appMs;
    std::vector<double> shownMs;
    std::vector<double> frameMs;
    std::vector<double> peakMiB;

    void add(const Sample &sample)
    {
        appMs.push_back(sample.appMs);
        shownMs.push_back(sample.shownMs);
        frameMs.push_back(sample.frameMs);
        peakMiB.push_back(sample.peakMiB);
    }
};

constexpr int TimeoutMs = 30000;

qint64 nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// The largest resident set the process has had, read while it is stopped.
std::optional<double> readPeakMiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').constFirst().toDouble() / 1024;
    }
    return std::nullopt;
}

std::optional<Sample> runOnce(const QString &program, const QProcessEnvironment &environment,
                              QString *error)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProgram(program);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setReadChannel(QProcess::StandardError);
    const qint64 startNs = nowNs();
    process.start();
    auto sinceStart = [startNs](const QByteArray &stamp) {
        return double(stamp.toLongLong() - startNs) / 1e6;
    };

    Sample sample;
    bool framed = false;
    QByteArray pending;
    while (!framed && process.waitForReadyRead(TimeoutMs)) {
        pending += process.readAllStandardError();
        qsizetype end = 0;
        while (!framed && (end = pending.indexOf('\n')) >= 0) {
            const QList<QByteArray> words = pending.left(end).split(' ');
            pending.remove(0, end + 1);
            if (words.size() != 3 || words[0] != "telx5-startup")
                continue;
            if (words[1] == "app") {
                sample.appMs = sinceStart(words[2]);
            } else if (words[1] == "show") {
                sample.shownMs = sinceStart(words[2]);
            } else if (words[1] == "frame") {
                sample.frameMs = sinceStart(words[2]);
                framed = true;
            }
        }
    }
    std::optional<double> peak;
    if (framed)
        peak = readPeakMiB(process.processId());
    process.kill();
    process.waitForFinished();
    if (!framed) {
        *error = QStringLiteral("%1 showed no first frame within %2 s (%3)")
                     .arg(program)
                     .arg(TimeoutMs / 1000)
                     .arg(process.errorString());
        return std::nullopt;
    }
    if (!peak) {
        *error = QStringLiteral("%1: no peak memory in /proc").arg(program);
        return std::nullopt;
    }
    sample.peakMiB = *peak;
    return sample;
}

QString figure(double value, int decimals, int width)
{
    return QString::number(value, 'f', decimals).rightJustified(width);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("telx5-startup-bench"));

    QCommandLineParser arguments;
    arguments.setApplicationDescription(
        QStringLiteral("Compares the start-up of telx5-config with a bare window of the same "
                       "controls: time to the first frame and peak memory."));
    arguments.addHelpOption();
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Runs of each program (default 31)."),
                                        QStringLiteral("count"), QStringLiteral("31"));
    arguments.addOption(runsOption);
    arguments.process(app);

    bool valid = false;
    const int runs = arguments.value(runsOption).toInt(&valid);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!valid || runs < 1) {
        err << "telx5-startup-bench: --runs takes a count of 1 or more\n";
        return 2;
    }

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(TELX5_HOOK_PLUGIN_DIR));
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"),
                       QStringLiteral("telx5-first-frame"));

    const QString bare = QStringLiteral(TELX5_BARE_WINDOW);
    const QString real = QStringLiteral(TELX5_CONFIG);
    Samples bareSamples;
    Samples realSamples;
    QString error;
    // The first pair reads the libraries from disk and is not counted.
    for (int run = -1; run < runs; ++run) {
        const std::optional<Sample> bareSample = runOnce(bare, environment, &error);
        const std::optional<Sample> realSample =
            bareSample ? runOnce(real, environment, &error) : std::nullopt;
        if (!realSample) {
            err << "telx5-startup-bench: " << error << '\n';
            return 1;
        }
        if (run >= 0) {
            bareSamples.add(*bareSample);
            realSamples.add(*realSample);
        }
    }

    out << "Start-up, " << runs << " runs of each in turns (offscreen, LC_ALL=C), medians:\n"
        << "                                    bare window  telx5-config  real/bare\n";
    auto row = [&out](const char *name, const std::vector<double> &bareValues,
                      const std::vector<double> &realValues, int decimals) {
        const double bareMedian = median(bareValues);
        const double realMedian = median(realValues);
        out << QString::fromLatin1(name).leftJustified(36) << figure(bareMedian, decimals, 11)
            << figure(realMedian, decimals, 14) << figure(realMedian / bareMedian, 2, 10) << "x\n";
        return realMedian / bareMedian;
    };
    row("platform plugin loaded (ms)", bareSamples.appMs, realSamples.appMs, 1);
    row("window shown (ms)", bareSamples.shownMs, realSamples.shownMs, 1);
    const double frameRatio = row("first frame (ms)", bareSamples.frameMs, realSamples.frameMs, 1);
    const double peakRatio = row("peak memory (MiB)", bareSamples.peakMiB, realSamples.peakMiB, 1);
    out << "Goals: first frame <= 2x: " << (frameRatio <= 2 ? "met" : "NOT met")
        << "; peak memory <= 1.5x: " << (peakRatio <= 1.5 ? "met" : "NOT met") << '\n';
    return 0;
}
