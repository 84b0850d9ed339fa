#include "translation.h"

#include <QCoreApplication>

namespace telx5 {

Translation::Translation(bool chinese)
{
    if (chinese && m_translator.load(QStringLiteral(":/i18n/telx5_zh_CN.qm")))
        m_installed = QCoreApplication::installTranslator(&m_translator);
}

Translation::~Translation()
{
    if (m_installed)
        QCoreApplication::removeTranslator(&m_translator);
}

} // namespace telx5
