#include "core/replies/dutycycle.h"

#include "base/texthelpers.h"

namespace tvk {

namespace {
constexpr QStringView kLabel = u"Duty Cycle = ";
} // namespace

std::optional<DutyCycleReply> ParseDutyCycle(QStringView text)
{
    const QString t = TrimLeading(text);
    if (t.isEmpty())
        return std::nullopt;
    FilamentSetting setting;
    switch (t.at(0).toUpper().unicode()) {
    case u'S':
        setting = FilamentSetting::Steady;
        break;
    case u'W':
        setting = FilamentSetting::Warmup;
        break;
    case u'A': case u'B': case u'D': case u'E': case u'F': case u'M': case u'N':
        setting = FilamentSetting::Immediate;
        break;
    default:
        return std::nullopt;
    }
    const QString rest = TrimLeading(QStringView(t).mid(1));
    const qsizetype at = rest.indexOf(kLabel);
    if (at < 0)
        return std::nullopt;
    // The figure runs to the end of its line; the prompt and the per-cent
    // sign are not part of it.
    QStringView value = QStringView(rest).mid(at + kLabel.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\r' || value[i] == u'\n' || value[i] == u'#' || value[i] == u'$') {
            value = value.left(i);
            break;
        }
    }
    value = value.trimmed();
    if (value.endsWith(u'%'))
        value.chop(1);
    return DutyCycleReply{setting, value.trimmed().toString()};
}

} // namespace tvk
