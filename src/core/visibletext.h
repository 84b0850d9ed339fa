#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Text from a device or a settings file can hold control characters. On a
// terminal an ESC or a C1 CSI starts a sequence that retitles the window,
// clears the screen or moves the cursor; in the window they draw nothing, and
// a value that holds one looks like one that does not. Both front ends show
// such characters (C0 but CR and LF, DEL, C1) in a visible form; CR and LF
// stay the line breaks they are. Only what is shown changes, never the text.
namespace telx5::VisibleText {

// For a terminal: ESC as "\x1b", DEL as "\x7f", U+009B as "\x9b". A backslash
// stays as it is.
QString escaped(const QString &text);
// The same for bytes that a terminal reads as UTF-8, where a C1 character is
// the pair C2 80 to C2 9F. Every other byte passes as it is, so text in
// another code page keeps its characters.
QByteArray escapedBytes(QByteArrayView bytes);
// For the window: the Unicode control pictures, U+2400 to U+241F for C0 and
// U+2421 for DEL. C1 has no pictures; it shows as "\x9b" does on a terminal.
QString pictured(const QString &text);

} // namespace telx5::VisibleText
