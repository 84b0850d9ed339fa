#pragma once

#include "fields.h"

namespace telx5::EntryRules {

// The passcode, interval and frequency boxes drop leading and trailing spaces
// on every change, whoever changed them.
bool trimsOnChange(Field field);

// Removes leading and trailing spaces (code 32 only; tabs stay).
QString trimSpaces(const QString &text);

// Key filters, applied to each typed character. An empty result drops it.
QString filterCallsignKey(QChar key); // a..z become A..Z
QString filterDigitKey(QChar key);    // Pass and SentTime: Backspace and 0..9 only
QString filterFreqKey(QChar key);     // Freq: Backspace, '.', '/', 0..9

// The most characters the user can type into a field; 0 when unlimited.
int typingLimit(Field field);

} // namespace telx5::EntryRules
