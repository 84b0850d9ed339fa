#pragma once

#include <QTranslator>

namespace telx5 {

// The language is chosen once, at start-up: Chinese installs the Chinese
// texts for as long as this lives, Qt's own (its standard buttons, the file
// dialog) beside the program's; anything else leaves the English source
// texts, which need no translator.
class Translation
{
public:
    explicit Translation(bool chinese);
    ~Translation();

    Translation(const Translation &) = delete;
    Translation &operator=(const Translation &) = delete;

    // Whether the Chinese texts are in use.
    bool isInstalled() const { return m_installed; }

private:
    QTranslator m_qtTranslator;
    QTranslator m_translator;
    bool m_qtInstalled = false;
    bool m_installed = false;
};

} // namespace telx5
