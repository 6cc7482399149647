#pragma once
// Numbers as the windows show the monitor's readings: a small
// picture of digits such as "#0.00" (at least one integer digit, two
// decimals), "00.0" (two integer digits, one decimal) or "000" (three
// digits, no decimals). A "#" stands for an optional digit, each "0" before
// the point for a digit that is always shown, each "0" after it for one
// decimal. Halves round away from zero; a value that rounds to zero is shown
// without a sign.

#include <QString>
#include <QStringView>

namespace tvk {

QString FormatNumber(double value, QStringView picture);

} // namespace tvk
