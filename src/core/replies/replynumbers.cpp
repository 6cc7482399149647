#include "core/replies/replynumbers.h"

#include <QString>
#include <cmath>

namespace tvk {

namespace {
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }
} // namespace

std::optional<double> LeadingReal(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        ++i;
    bool digits = false;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < text.size() && text[i] == u'.') {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return std::nullopt;
    bool ok = false;
    const double value = text.mid(start, i - start).toString().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int RoundToInt16(double value)
{
    if (!(value > -32768.5))
        return -32768;
    if (!(value < 32767.5))
        return 32767;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0))
        rounded = floor + 1.0;
    return int(rounded);
}

int LeadingRoundedOrZero(QStringView text)
{
    const auto value = LeadingReal(text);
    return value ? RoundToInt16(*value) : 0;
}

} // namespace tvk
