#include "app/windowlist.h"

#include "app/aboutpanel.h"
#include "app/appmodewindow.h"
#include "app/passwordwindow.h"
#include "app/windowregistry.h"
#include "link/changetrieswindow.h"
#include "link/connectwindow.h"
#include "link/timedoutwindow.h"
#include "link/tryingwindow.h"


namespace tvk {

void registerWindows(WindowRegistry &r, DesktopLauncher &launcher)
{
    r.add(QStringLiteral("frmAbout"), [&launcher](AppCore &c) { return new AboutPanel(c, launcher); });
    r.add(QStringLiteral("frmAppMode"), [](AppCore &c) { return new AppModeWindow(c); });
    r.add(QStringLiteral("frmPassword"), [](AppCore &c) { return new PasswordWindow(c); });
    r.add(QStringLiteral("frmConnect"), [](AppCore &c) { return new ConnectWindow(c); });
    r.add(QStringLiteral("frmTrying"), [](AppCore &c) { return new TryingWindow(c); });
    r.add(QStringLiteral("frmChangeTries"), [](AppCore &c) { return new ChangeTriesWindow(c); });
    r.add(QStringLiteral("frmTimedOut"), [](AppCore &c) { return new TimedOutWindow(c); });
}

} // namespace tvk
