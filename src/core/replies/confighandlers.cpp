#include "core/replies/confighandlers.h"

#include "core/appcore.h"
#include "core/replies/deflhv.h"
#include "core/replies/operatingmode.h"
#include "core/replies/operatingtime.h"

namespace tvk {

void installConfigHandlers(AppCore &core)
{
    AppCore *c = &core;
    core.dispatcher.setHandler(Route::OperatingTime,
                               [c](const QString &text) { HandleOperatingTimeReply(*c, text); });
    core.dispatcher.setHandler(Route::OperatingMode,
                               [c](const QString &text) { HandleOperatingModeReply(*c, text); });
    core.dispatcher.setHandler(Route::DeflHvState, [c](const QString &text) { HandleDeflHvReply(*c, text); });
}

} // namespace tvk
