#include "core/handlerlist.h"

#include "model/replycontext.h"
#include "core/replies/dacreplies.h"
#include "core/replies/confighandlers.h"
#include "core/replies/identity.h"
#include "core/replies/adjustreplies.h"
#include "core/diag/diaghandlers.h"
#include "firmware/firmwarehandlers.h"

namespace tvk {

void registerReplyHandlers(ResponseDispatcher &dispatcher, ReplyContext &context, HexDownload &download)
{
    ReplyHandlers handlers(dispatcher, context);
    installConfigHandlers(handlers);
    installIdentityHandlers(handlers);
    installDacReplyHandlers(handlers);
    installAdjustReplyHandlers(handlers);
    installDiagHandlers(handlers);
    installFirmwareHandlers(handlers, download);
}

} // namespace tvk
