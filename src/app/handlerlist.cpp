#include "app/handlerlist.h"

#include "app/appcore.h"
#include "core/replies/adjustreplies.h"
#include "model/dacreplies.h"
#include "panels/config/confighandlers.h"
#include "panels/info/identity.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    installConfigHandlers(core);
    installIdentityHandlers(core);
    installDacReplyHandlers(core);
    installAdjustReplyHandlers(core.dispatcher, AdjustReplyContext{core.controls, core.data,
                                                                    core.SendOnChange, core.ShowOnly});
}

} // namespace tvk
