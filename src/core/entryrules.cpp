#include "entryrules.h"

#include "settingstable.h"

namespace telx5::EntryRules {

namespace {

constexpr char16_t Backspace = 8;

} // namespace

bool trimsOnChange(Field field)
{
    return SettingsTable::field(field).trimsOnChange;
}

QString trimSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && text.at(end - 1) == QLatin1Char(' '))
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.sliced(begin, end - begin);
}

QString filterCallsignKey(QChar key)
{
    const char16_t code = key.unicode();
    if (code >= u'a' && code <= u'z')
        return QString(QChar(static_cast<char16_t>(code - 32)));
    return QString(key);
}

QString filterDigitKey(QChar key)
{
    const char16_t code = key.unicode();
    if (code == Backspace || (code >= u'0' && code <= u'9'))
        return QString(key);
    return {};
}

QString filterFreqKey(QChar key)
{
    // Codes 46 to 57: '.', '/' and the digits.
    const char16_t code = key.unicode();
    if (code == Backspace || (code >= u'.' && code <= u'9'))
        return QString(key);
    return {};
}

int typingLimit(Field field)
{
    return SettingsTable::field(field).typingLimit;
}

} // namespace telx5::EntryRules
