#include "consolehost.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace telx5 {

namespace {

// Characters of the progress line on screen; 0 when no line is open.
qsizetype openLineLength = 0;

} // namespace

void printLine(const QString &text)
{
    if (std::exchange(openLineLength, 0) > 0)
        std::fputc('\n', stderr);
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

void redrawLine(const QString &text)
{
    // Spaces cover what is left of a longer line before it.
    const QString padding(std::max<qsizetype>(0, openLineLength - text.size()), QLatin1Char(' '));
    std::fprintf(stderr, "\r%s%s", qUtf8Printable(text), qUtf8Printable(padding));
    openLineLength = std::max<qsizetype>(1, text.size());
}

ConsoleHost::ConsoleHost(const QString &language, const QString &iniPath)
    : m_language(language), m_iniPath(iniPath)
{}

void ConsoleHost::setCaption(Button button, const QString &caption)
{
    m_captions.insert(button, caption);
}

void ConsoleHost::message(const QString &text, const QString &title)
{
    m_messages.append(text);
    printLine(title.isEmpty() ? text : title + QStringLiteral(": ") + text);
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
