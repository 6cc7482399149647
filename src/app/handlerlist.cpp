#include "app/handlerlist.h"

#include "app/appcore.h"
#include "panels/config/confighandlers.h"
#include "panels/info/identity.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    installConfigHandlers(core);
    installIdentityHandlers(core);
}

} // namespace tvk
