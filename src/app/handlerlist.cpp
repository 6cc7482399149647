#include "app/handlerlist.h"

#include "app/appcore.h"

namespace tvk {

void registerReplyHandlers(AppCore &core)
{
    Q_UNUSED(core);
}

} // namespace tvk
