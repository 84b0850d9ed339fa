#include "entryrules.h"

namespace telx5::EntryRules {

namespace {

constexpr char16_t Backspace = 8;

} // namespace

bool trimsOnChange(Field field)
{
    return field == Field::Pass || field == Field::SentTime || field == Field::Freq;
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
    switch (field) {
    case Field::Callsign:
        return 6;
    case Field::Pass:
    case Field::SentTime:
        return 5;
    case Field::Freq:
        return 8;
    case Field::Comment:
        return 40;
    case Field::Position:
        return 61;
    case Field::Filter:
        return 16;
    case Field::WifiSsid:
    case Field::WifiPass:
        return 20;
    case Field::Ctcss:
        return 3;
    default:
        return 0;
    }
}

} // namespace telx5::EntryRules
