#include "core/handlerlist.h"

#include "core/appcore.h"
#include "core/replies/dacreplies.h"
#include "core/replies/confighandlers.h"
#include "core/replies/identity.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    installConfigHandlers(core);
    installIdentityHandlers(core);
    installDacReplyHandlers(core);
}

} // namespace tvk
