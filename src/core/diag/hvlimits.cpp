#include "core/diag/hvlimits.h"

#include "base/controlbook.h"
#include "protocol/commands.h"

#include <algorithm>

namespace tvk {

namespace {
constexpr int kMaxCount = 255;
}

HvLimitCheck CheckHvLimit(HvLimit which, QStringView text, int upper, int lower)
{
    const bool reported = upper != 0 || lower != 0;
    int low = 0;
    int high = kMaxCount;
    if (reported && lower <= upper) {
        if (which == HvLimit::Upper)
            low = std::clamp(lower, 0, kMaxCount);
        else
            high = std::clamp(upper, 0, kMaxCount);
    }
    const QString name = which == HvLimit::Upper ? QStringLiteral("HV upper limit")
                                                 : QStringLiteral("HV lower limit");
    const QString problem =
        QStringLiteral("The %1 must be a whole number from %2 to %3.").arg(name).arg(low).arg(high);

    const QStringView t = text.trimmed();
    if (t.isEmpty() || t.size() > 3)
        return {std::nullopt, problem};
    int value = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9')
            return {std::nullopt, problem};
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value < low || value > high)
        return {std::nullopt, problem};
    return {value, QString()};
}

bool SendHvLimit(HvLimit which, QStringView text, int upper, int lower, UserMessages &messages,
                 const std::function<void(const QString &)> &send)
{
    const HvLimitCheck check = CheckHvLimit(which, text, upper, lower);
    if (!check.value) {
        messages.message(check.problem);
        return false;
    }
    const QString value = QString::number(*check.value);
    send(which == HvLimit::Upper ? cmd::hvUpperLimit(value) : cmd::hvLowerLimit(value));
    send(cmd::readHighVoltage());
    return true;
}

} // namespace tvk
