#pragma once

#include <QString>
#include <QStringView>

namespace telx5 {

// The receive hex log: every received byte appended as two upper-case
// hex digits after the spaces around the current text are dropped. Only its
// front is ever read (by the boot-loader watcher), so memory is bounded: the
// first FrontKeep and the last TailKeep characters stay exact, appending costs
// the same however long the log has grown.
class HexLog
{
public:
    static constexpr qsizetype FrontKeep = 4096;
    static constexpr qsizetype TailKeep = 4096;

    explicit HexLog(const QString &initial = QStringLiteral("hexLogBox"));

    void setText(const QString &text); // the firmware update resets it to "  "
    void appendByte(unsigned char byte);

    // The first n characters of the log's text (fewer when it is shorter).
    // Exact up to FrontKeep characters; once the log has outgrown what it
    // keeps, a longer request gets the FrontKeep kept ones.
    QString front(qsizetype n) const;
    // The last n characters of the log's text (fewer when it is shorter).
    // Exact up to TailKeep characters, like front().
    QString back(qsizetype n) const;
    // Characters the whole log would hold.
    qsizetype length() const;

private:
    // A text of any length kept as its exact front and tail plus the count of
    // characters dropped between them.
    struct Bounded
    {
        QString head;
        QString tail;
        qsizetype dropped = 0;

        void assign(const QString &text);
        void append(QStringView chars);
        qsizetype length() const;
        QString front(qsizetype n) const;
        QString back(qsizetype n) const;
    };

    Bounded m_text;
    // The text as the next append sees it: spaces around it removed.
    Bounded m_trimmed;
    bool m_trimPending = false;
};

} // namespace telx5
