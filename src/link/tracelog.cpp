#include "tracelog.h"

#include "namedfile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QTextStream>

#include <unistd.h>

namespace telx5 {

namespace {

QByteArray printable(const QByteArray &bytes)
{
    QByteArray text = bytes;
    for (char &c : text) {
        if (c < 0x20 || c > 0x7e)
            c = '.';
    }
    return text;
}

} // namespace

TraceLog::TraceLog(SerialLink &link, QObject *parent) : QObject(parent), m_link(link)
{
    connect(&link, &SerialLink::sent, this,
            [this](const QByteArray &bytes) { record('>', bytes); });
    connect(&link, &SerialLink::received, this,
            [this](const QByteArray &bytes) { record('<', bytes); });
    connect(&link, &SerialLink::disconnected, this, &TraceLog::recordLoss);
}

bool TraceLog::open(const QString &fileName, QString *error)
{
    const auto fail = [&](const QString &why) {
        if (error)
            *error = QStringLiteral("Cannot open the trace file %1: %2")
                         .arg(QDir::toNativeSeparators(fileName), why);
        m_file.close();
        return false;
    };
    m_file.close();
    m_fileName = fileName;
    // A terminal, /dev/stderr or a pipe may take the trace too; a named FIFO
    // would hold the program in its open until something reads it.
    const NamedFile target = openNamedFile(fileName, FileAccess::Append, true);
    if (target.fd < 0)
        return fail(target.error);
    if (!m_file.open(target.fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(target.fd);
        return fail(m_file.errorString());
    }
    m_clock.start();
    m_port.clear();
    // Traces follow one another in the file; each starts the clock again.
    const QString program = QString(QCoreApplication::applicationName() + QLatin1Char(' ') +
                                    QCoreApplication::applicationVersion())
                                .trimmed();
    const QString begun = QDateTime::currentDateTime().toString(Qt::ISODateWithMs);
    if (!append(QStringLiteral("# %1 serial trace, begun %2\n").arg(program, begun).toUtf8()))
        return fail(m_file.errorString());
    return true;
}

QByteArray TraceLog::stamp() const
{
    return QByteArray::number(double(m_clock.nsecsElapsed()) / 1e6, 'f', 3).rightJustified(10) +
           " ms  ";
}

QByteArray TraceLog::portLine(const QByteArray &stamp)
{
    if (m_link.portName() == m_port)
        return {};
    m_port = m_link.portName();
    return stamp + "port " + m_port.toUtf8() + '\n';
}

void TraceLog::record(char direction, const QByteArray &bytes)
{
    if (!m_file.isOpen())
        return;
    const QByteArray time = stamp();
    QByteArray text = portLine(time);
    for (qsizetype at = 0; at < bytes.size(); at += BytesPerLine) {
        const QByteArray chunk = bytes.mid(at, BytesPerLine);
        // Padded to a whole line's hex, so that the text column lines up.
        text += time + direction + ' ' +
                chunk.toHex(' ').toUpper().leftJustified(BytesPerLine * 3 - 1) + "   |" +
                printable(chunk) + "|\n";
    }
    write(text);
}

void TraceLog::recordLoss()
{
    if (!m_file.isOpen())
        return;
    write(stamp() + "port " + m_link.portName().toUtf8() + " disconnected\n");
}

bool TraceLog::append(const QByteArray &text)
{
    // Flushed at once: a crash or Ctrl-C loses no line already recorded.
    return m_file.write(text) == text.size() && m_file.flush();
}

void TraceLog::write(const QByteArray &text)
{
    if (append(text))
        return;
    // A full disk or a vanished folder ends the trace, never the command.
    QTextStream(stderr) << QDir::toNativeSeparators(m_fileName)
                        << ": the trace stopped: " << m_file.errorString() << '\n';
    m_file.close();
}

} // namespace telx5
