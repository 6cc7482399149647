#include "core/handlerlist.h"

#include "core/appcore.h"
#include "core/replies/replycontext.h"
#include "core/replies/dacreplies.h"
#include "core/replies/confighandlers.h"
#include "core/replies/identity.h"
#include "core/replies/adjustreplies.h"
#include "core/diag/diaghandlers.h"
#include "firmware/firmwarehandlers.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    ReplyHandlers handlers(core.dispatcher, core.replyContext);
    installConfigHandlers(handlers);
    installIdentityHandlers(handlers);
    installDacReplyHandlers(handlers);
    installAdjustReplyHandlers(core.dispatcher, AdjustReplyContext{core.controls, core.data, core.applying});
    installDiagHandlers(core.dispatcher,
                        DiagContext{core.controls, core.data, core.testPointHistory, core.clock});
    installFirmwareHandlers(core.dispatcher, core.download, core.controls);
}

} // namespace tvk
