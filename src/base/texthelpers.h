#pragma once
// Small pure routines the reply parsers use to walk the monitor's text
// replies. Numbers are read without any locale: digits are ASCII.

#include <QString>
#include <QStringView>

namespace tvk {

// Without leading CR, LF, blank and TAB (other white space stays).
QString TrimLeading(QStringView text);
// The text after the first comma; unchanged when there is none.
QString SkipPastComma(QStringView text);
// The text after the first LF; unchanged when there is none.
QString SkipPastLineFeed(QStringView text);

// Character tests on the first character; all true for an empty text.
bool IsDecimalDigit(QStringView text);
bool IsOctalDigit(QStringView text);
bool IsHexDigit(QStringView text);
// True when the whole text occurs in "0-9a-zA-Z" (used on single characters).
bool IsAlphanumeric(QStringView text);
// True when the text is exactly one of "0".."9".
bool IsSingleDigit(QStringView text);
// True when every character is a digit and the value is at most limit.
bool IsDigitsWithin(QStringView text, int limit);

// Signed decimal at the start of the text (after leading white space and an
// optional "-"); -1 when no digit starts it, 0 for an empty text. Digits stop
// being taken once the value exceeds 6552, so results lie in -65529..65529.
int ParseDecimal(QStringView text);
// Unsigned decimal, octal ("0" prefix) or hexadecimal ("0x"/"0X" prefix) at
// the very start of the text; -1 when it does not start with a digit or with
// "0" and an octal digit or X. Values stop growing past 6552 (decimal),
// 8190 (octal) and 4094 (hexadecimal).
int ParseNumber(QStringView text);

// Narrowing to the 16-bit signed values of the monitor model.
inline qint16 ToInt16(int value) { return qint16(quint16(value & 0xFFFF)); }

} // namespace tvk
