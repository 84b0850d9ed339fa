#include "translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace telx5 {

Translation::Translation(bool chinese)
{
    if (!chinese)
        return;
    // Qt's texts come from the system's Qt translations, where they are
    // installed; without them Qt's buttons stay English. The translator
    // installed last is asked first, so the program's own words for a Qt
    // text (the line edits' menu) win over Qt's.
    if (m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"),
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        m_qtInstalled = QCoreApplication::installTranslator(&m_qtTranslator);
    if (m_translator.load(QStringLiteral(":/i18n/telx5_zh_CN.qm")))
        m_installed = QCoreApplication::installTranslator(&m_translator);
}

Translation::~Translation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
    if (m_qtInstalled)
        QCoreApplication::removeTranslator(&m_qtTranslator);
}

} // namespace telx5
