#include "app/handlerlist.h"

#include "app/appcore.h"
#include "core/diag/diaghandlers.h"
#include "model/dacreplies.h"
#include "panels/config/confighandlers.h"
#include "panels/info/identity.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    installConfigHandlers(core);
    installIdentityHandlers(core);
    installDacReplyHandlers(core);
    installDiagHandlers(core.dispatcher,
                        DiagContext{core.controls, core.data, core.testPointHistory, core.clock});
}

} // namespace tvk
