#pragma once

#include <QString>

namespace telx5 {

// Text1, the receive hex log: every received byte appended as two upper-case
// hex digits after the spaces around the current text are dropped. Only its
// front is ever read (by the boot-loader watcher), so memory is bounded: the
// first FrontKeep and the last TailKeep characters stay exact, appending costs
// the same however long the log has grown.
class HexLog
{
public:
    static constexpr qsizetype FrontKeep = 4096;
    static constexpr qsizetype TailKeep = 4096;

    explicit HexLog(const QString &initial = QStringLiteral("Text1"));

    void setText(const QString &text); // the firmware update resets it to "  "
    void appendByte(unsigned char byte);

    // The first n characters of the log's text (fewer when it is shorter).
    QString front(qsizetype n) const;
    // The last n characters of the log's text (fewer when it is shorter).
    QString back(qsizetype n) const;
    // Characters the whole log would hold.
    qsizetype length() const;
};

} // namespace telx5
