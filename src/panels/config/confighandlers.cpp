#include "panels/config/confighandlers.h"

#include "app/appcore.h"
#include "panels/config/deflhv.h"
#include "panels/config/operatingmode.h"
#include "panels/config/operatingtime.h"

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
