#pragma once
// The monitor's deflection and high-voltage switches. "md0"/"md1" and
// "mh0"/"mh1" switch them; the monitor's "M" replies ("D0", "D1", "H0",
// "H1" after the family letter, either case) report their state, whether
// echoed after those commands or sent on their own.

#include "base/windownames.h"
#include <QString>
#include <QStringView>
#include <optional>

namespace tvk {

struct ReplyContext;

struct DeflHvState {
    enum class Switch { Deflection, HighVoltage } which;
    bool enabled;
    bool operator==(const DeflHvState &) const = default;
};

// The state an "M" reply reports (text after the "M"); nothing for anything
// but D0, D1, H0 or H1 in its first two characters.
std::optional<DeflHvState> ParseDeflHvReply(QStringView text);

// Selects the reported state on "frmDeflHVEnable" while the monitor's state is being applied.
void HandleDeflHvReply(ReplyContext &ctx, const QString &text);
} // namespace tvk
