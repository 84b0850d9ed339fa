#include "consolehost.h"

#include <cstdio>

namespace telx5 {

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
    if (title.isEmpty())
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    else
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
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
