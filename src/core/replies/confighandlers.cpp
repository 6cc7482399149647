#include "core/replies/confighandlers.h"

#include "core/appshell.h"
#include "model/replycontext.h"
#include "core/replies/deflhv.h"
#include "core/replies/operatingmode.h"
#include "core/replies/operatingtime.h"

namespace tvk {

void installConfigHandlers(ReplyHandlers &r)
{
    r.on(Route::OperatingTime, HandleOperatingTimeReply);
    r.on(Route::OperatingMode, HandleOperatingModeReply);
    r.on(Route::DeflHvState, HandleDeflHvReply);
}

} // namespace tvk
