#pragma once

#include "seriallink.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QString>

namespace telx5 {

// A record of the serial line to attach to a bug report: every byte sent and
// received, appended to a file as it goes, a line for each 16 bytes:
//       12.345 ms  > 0D 0A 53 45 54 55 50 23 0D 0A                     |..SETUP#..|
// the milliseconds since the trace began, ">" for sent and "<" for received,
// the bytes in hex and as text ('.' for what does not print). A line names the
// port before its first bytes, and one says when it was disconnected.
class TraceLog : public QObject
{
    Q_OBJECT
public:
    static constexpr qsizetype BytesPerLine = 16;

    explicit TraceLog(SerialLink &link, QObject *parent = nullptr);

    // Appends to `fileName`, creating it, and starts the clock. A named FIFO
    // or a socket is refused at once. On failure `error` says which file and
    // why.
    bool open(const QString &fileName, QString *error = nullptr);

private:
    void record(char direction, const QByteArray &bytes);
    void recordLoss();
    QByteArray portLine(const QByteArray &stamp);
    QByteArray stamp() const;
    bool append(const QByteArray &text);
    void write(const QByteArray &text);

    SerialLink &m_link;
    QFile m_file;
    // As given: a file opened by descriptor forgets its name.
    QString m_fileName;
    QElapsedTimer m_clock;
    // The port the last line named, so that a new one gets a line of its own.
    QString m_port;
};

} // namespace telx5
