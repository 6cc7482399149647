#include "app/handlerlist.h"

#include "app/appcore.h"
#include "firmware/firmwarehandlers.h"
#include "model/dacreplies.h"
#include "panels/config/confighandlers.h"
#include "panels/info/identity.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    installConfigHandlers(core);
    installIdentityHandlers(core);
    installDacReplyHandlers(core);
    installFirmwareHandlers(core.dispatcher, core.download, core.controls);
}

} // namespace tvk
