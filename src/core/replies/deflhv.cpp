#include "core/replies/deflhv.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/appshell.h"
#include "model/replycontext.h"
#include "core/replies/operatingmode.h"

namespace tvk {

std::optional<DeflHvState> ParseDeflHvReply(QStringView text)
{
    const QString head = text.left(2).toString().toUpper();
    if (head == u"D0")
        return DeflHvState{DeflHvState::Switch::Deflection, false};
    if (head == u"D1")
        return DeflHvState{DeflHvState::Switch::Deflection, true};
    if (head == u"H0")
        return DeflHvState{DeflHvState::Switch::HighVoltage, false};
    if (head == u"H1")
        return DeflHvState{DeflHvState::Switch::HighVoltage, true};
    return std::nullopt;
}

void HandleDeflHvReply(ReplyContext &ctx, const QString &text)
{
    MonitorStateApplying::Scope applying(ctx.applying);
    const auto state = ParseDeflHvReply(text);
    if (!state)
        return;
    const bool defl = state->which == DeflHvState::Switch::Deflection;
    const QString on = defl ? ctl::optDeflEnable : ctl::optHVEnable;
    const QString off = defl ? ctl::optDeflDisable : ctl::optHVDisable;
    // Both buttons of the pair, so a window created later shows one choice.
    ctx.controls.setChecked(win::frmDeflHVEnable, state->enabled ? off : on, false);
    ctx.controls.setChecked(win::frmDeflHVEnable, state->enabled ? on : off, true);
}

} // namespace tvk
