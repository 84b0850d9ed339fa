#include "consolehost.h"

#include "visibletext.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <utility>

namespace telx5 {

namespace {

// Characters of the progress line on screen; 0 when no line is open.
qsizetype openLineLength = 0;

// The boxes end lines in CR LF; a lone CR or LF ends one as well.
QStringList linesOf(const QString &text)
{
    return QString(text)
        .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'))
        .split(QLatin1Char('\n'));
}

void printLines(const QStringList &lines, const QString &prefix = {})
{
    for (const QString &line : lines) {
        if (!line.isEmpty())
            printLine(prefix + line);
    }
}

// The lines a box shows that it did not show before it changed from
// `before` to `after`. A text that replaces another counts from its first line
// that the old one did not have, so a counter under a fixed heading
// ("Connection OK", then "Reading 2/20Times......") adds only the count.
QStringList addedLines(const QString &before, const QString &after)
{
    if (after.startsWith(before))
        return linesOf(after.sliced(before.size()));
    const QStringList old = linesOf(before);
    const QStringList now = linesOf(after);
    // The old text's last line may have been cut short; only the lines
    // before it are known to be whole.
    qsizetype same = 0;
    while (same + 1 < old.size() && same < now.size() && old.at(same) == now.at(same))
        ++same;
    return now.mid(same);
}

} // namespace

void printLine(const QString &text)
{
    if (std::exchange(openLineLength, 0) > 0)
        std::fputc('\n', stderr);
    std::fprintf(stderr, "%s\n", qUtf8Printable(VisibleText::escaped(text)));
}

void redrawLine(const QString &text)
{
    const QString shown = VisibleText::escaped(text);
    // Spaces cover what is left of a longer line before it.
    const QString padding(std::max<qsizetype>(0, openLineLength - shown.size()), QLatin1Char(' '));
    std::fprintf(stderr, "\r%s%s", qUtf8Printable(shown), qUtf8Printable(padding));
    openLineLength = std::max<qsizetype>(1, shown.size());
}

void EchoedRecord::setStatusText(const QString &text)
{
    printLines(addedLines(statusText(), text));
    RecordView::setStatusText(text);
}

void EchoedRecord::appendStatus(const QString &text)
{
    // Costs the length of `text`: the parser appends once for each byte of a
    // long "CONNECT" line.
    printLines(linesOf(text));
    RecordView::appendStatus(text);
}

std::optional<QString> writeStandardOutput(QByteArrayView output)
{
    // A pipe or a file gets the bytes as they are: a script reads them back.
    const QByteArray bytes =
        ::isatty(STDOUT_FILENO) ? VisibleText::escapedBytes(output) : output.toByteArray();
    errno = 0;
    // An empty view may have no data at all, which fwrite must not be given.
    const bool written = bytes.isEmpty() || std::fwrite(bytes.data(), 1, std::size_t(bytes.size()),
                                                        stdout) == std::size_t(bytes.size());
    // fclose flushes what the stream still holds; its error is the last word.
    const bool closed = std::fclose(stdout) == 0;
    if (written && closed)
        return std::nullopt;
    return QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
}

ConsoleHost::ConsoleHost(const QString &language, const QString &iniPath, SerialLink &link)
    : m_chain(link, m_settings, codePageForLanguage(language)), m_language(language),
      m_iniPath(iniPath)
{}

void ConsoleHost::setStepText(const QString &text)
{
    // The small box beside the port list, told apart from the status box,
    // which often says the same.
    printLines(addedLines(m_stepText, text), QStringLiteral("Step: "));
    m_stepText = text;
}

void ConsoleHost::message(const QString &text, const QString &title)
{
    printLines(linesOf(title.isEmpty() ? text : title + QStringLiteral(": ") + text));
}

// A script cannot answer, and what a question would decide an option says
// beforehand (--no-backup): the answer is No, and the command's own lines say
// why it stopped.
bool ConsoleHost::question(const QString &, const QString &)
{
    return false;
}

QString ConsoleHost::openFileName(const FileRequest &)
{
    return m_fileName;
}

QString ConsoleHost::saveFileName(const FileRequest &)
{
    return m_fileName;
}

} // namespace telx5
