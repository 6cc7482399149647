#pragma once
// Number reading shared by the report parsers: a signed decimal with an
// optional fraction, rounded to a 16-bit integer the way the monitor's tools
// always have (halves to the even neighbour: 12.5 gives 12, 13.5 gives 14).

#include <QStringView>
#include <optional>

namespace tvk {

// The number at the start of the text: blanks and TABs skipped, an optional
// sign, digits and an optional decimal point with more digits; anything else
// ends it. Nothing when no digit is found.
std::optional<double> LeadingReal(QStringView text);

// Nearest integer, halves to the even neighbour, limited to -32768..32767.
int RoundToInt16(double value);

// LeadingReal rounded by RoundToInt16; 0 when the text holds no number.
int LeadingRoundedOrZero(QStringView text);

} // namespace tvk
