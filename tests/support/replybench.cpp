#include "replybench.h"

#include "core/diag/diaghandlers.h"
#include "core/replies/adjustreplies.h"
#include "core/replies/confighandlers.h"
#include "core/replies/dacreplies.h"
#include "core/replies/identity.h"

namespace tvk::test {

ReplyBench::ReplyBench()
{
    ReplyHandlers handlers(dispatcher, context);
    installConfigHandlers(handlers);
    installIdentityHandlers(handlers);
    installDacReplyHandlers(handlers);
    installAdjustReplyHandlers(handlers);
    installDiagHandlers(handlers);
}

QString framedReply(const char *echo, const char *line)
{
    return QString::fromLatin1(echo) + QStringLiteral("\r\n") + QString::fromLatin1(line)
        + QStringLiteral("\r\n#");
}

} // namespace tvk::test
