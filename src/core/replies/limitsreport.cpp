#include "core/replies/limitsreport.h"

#include "core/replies/replynumbers.h"
#include "base/texthelpers.h"

namespace tvk {

namespace {

constexpr QStringView kPhotocellEnabled = u"Photocell Enabled";
constexpr QStringView kPhotocellDisabled = u"Photocell Disabled";
constexpr QStringView kLimitsLabel = u"Limits ";
constexpr QStringView kFlagsLabel = u"BC";

bool inRange(int value, int low, int high) { return value >= low && value <= high; }

} // namespace

std::optional<QString> DeflectionStateText(QChar flag)
{
    if (flag == u'0')
        return QStringLiteral("Operating");
    if (flag == u'1')
        return QStringLiteral("Not Operating");
    return std::nullopt;
}

LimitsReport ParseLimitsReport(QStringView text, int monitorType)
{
    LimitsReport r;
    if (text.contains(kPhotocellEnabled))
        r.photocellEnabled = true;
    if (text.contains(kPhotocellDisabled))
        r.photocellEnabled = false;
    if (!text.isEmpty())
        r.vertical = DeflectionStateText(text[0]);
    if (text.size() > 2)
        r.horizontal = DeflectionStateText(text[2]);

    const qsizetype limitsAt = text.indexOf(kLimitsLabel);
    if (limitsAt >= 0) {
        // A list with fewer commas repeats its last value: stepping past a
        // comma leaves a text without one unchanged.
        QString rest = text.mid(limitsAt + kLimitsLabel.size()).toString();
        std::array<int, kLimitCount> limits {};
        for (int i = 0; i < kLimitCount; ++i) {
            limits[size_t(i)] = LeadingRoundedOrZero(rest);
            rest = SkipPastComma(rest);
        }
        r.limits = limits;
        if (inRange(monitorType, 216, 300)) {
            r.contrastHysteresis = LeadingRoundedOrZero(rest);
            rest = SkipPastComma(rest);
            r.brightnessHysteresis = LeadingRoundedOrZero(rest);
        }
    }

    const qsizetype flagsAt = text.indexOf(kFlagsLabel);
    if (flagsAt >= 0 && inRange(monitorType, 216, 299)) {
        // The character right after "BC" is a separator.
        const QStringView t = text.mid(flagsAt + 3);
        r.brightnessAutomatic = !t.isEmpty() && t[0] == u'0';
        r.contrastAutomatic = t.size() > 2 && t[2] == u'0';
    }
    return r;
}

} // namespace tvk
