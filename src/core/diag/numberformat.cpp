#include "core/diag/numberformat.h"

#include <cmath>

namespace tvk {

QString FormatNumber(double value, QStringView picture)
{
    const qsizetype point = picture.indexOf(u'.');
    const QStringView whole = point < 0 ? picture : picture.left(point);
    const QStringView fraction = point < 0 ? QStringView() : picture.mid(point + 1);
    const int minDigits = int(whole.count(u'0'));
    const int decimals = int(fraction.count(u'0'));

    if (!std::isfinite(value))
        return QString();
    // Round on the scaled value; the tiny nudge keeps 6.245 (stored as
    // 6.24499999...) rounding up as a decimal reader expects.
    const double scale = std::pow(10.0, decimals);
    double scaled = std::fabs(value) * scale;
    scaled = std::floor(scaled + 0.5 + scaled * 1e-12);
    const bool negative = value < 0 && scaled != 0;

    QString digits = QString::number(scaled, 'f', 0);
    // Make room for the decimals, then pad the integer part.
    while (digits.size() < decimals + 1)
        digits.prepend(u'0');
    QString integer = digits.left(digits.size() - decimals);
    const QString decimalsText = digits.right(decimals);
    if (integer == u"0" && minDigits == 0)
        integer.clear();
    while (integer.size() < minDigits)
        integer.prepend(u'0');

    QString text = negative ? QStringLiteral("-") : QString();
    text += integer;
    if (decimals > 0)
        text += u'.' + decimalsText;
    return text;
}

} // namespace tvk
