#include "settingsrecord.h"

#include "entryrules.h"

namespace telx5 {

SettingsRecord::SettingsRecord(const SettingsRecord &other)
    : m_texts(other.m_texts), m_octetBoxesEnabled(other.m_octetBoxesEnabled),
      m_arrived(other.m_arrived), m_origin(other.m_origin)
{}

SettingsRecord &SettingsRecord::operator=(const SettingsRecord &other)
{
    for (int field = 0; field < FieldCount; ++field)
        setText(Field(field), other.text(Field(field)));
    setOctetBoxesEnabled(other.m_octetBoxesEnabled);
    m_arrived = other.m_arrived;
    m_origin = other.m_origin;
    return *this;
}

void SettingsRecord::restoreSettings(const SettingsRecord &other)
{
    for (int index = 0; index < FieldCount; ++index) {
        const Field field = Field(index);
        if (SettingsTable::settingOf(field))
            setText(field, other.text(field));
    }
    setOctetBoxesEnabled(other.m_octetBoxesEnabled);
    m_arrived = other.m_arrived;
    m_origin = other.m_origin;
}

void SettingsRecord::setText(Field field, const QString &value)
{
    QString &text = m_texts[index(field)];
    text = SettingsTable::field(field).trimsOnChange ? EntryRules::trimSpaces(value) : value;
    if (m_observer)
        m_observer->fieldChanged(field, text);
}

void SettingsRecord::setOctetBoxesEnabled(bool enabled)
{
    m_octetBoxesEnabled = enabled;
    if (m_observer)
        m_observer->octetBoxesEnabledChanged(enabled);
}

QList<Setting> SettingsRecord::missing(const QList<Setting> &settings) const
{
    QList<Setting> absent;
    for (Setting setting : settings) {
        if (!hasArrived(setting))
            absent.append(setting);
    }
    return absent;
}

qsizetype SettingsRecord::arrivedFieldCount() const
{
    qsizetype count = 0;
    for (const SettingRow &row : SettingsTable::settings()) {
        if (hasArrived(row.setting))
            count += row.fieldCount;
    }
    return count;
}

} // namespace telx5
