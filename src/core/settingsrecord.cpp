#include "settingsrecord.h"

#include "entryrules.h"

namespace telx5 {

QString SettingsRecord::text(Field field) const
{
    return m_texts[static_cast<std::size_t>(field)];
}

void SettingsRecord::setText(Field field, const QString &value)
{
    m_texts[static_cast<std::size_t>(field)] =
        EntryRules::trimsOnChange(field) ? EntryRules::trimSpaces(value) : value;
}

} // namespace telx5
