#include "app/windowlist.h"

#include "app/aboutpanel.h"
#include "app/appmodewindow.h"
#include "app/passwordwindow.h"
#include "app/windowregistry.h"

namespace tvk {

void registerWindows(WindowRegistry &r, DesktopLauncher &launcher)
{
    r.add(QStringLiteral("frmAbout"), [&launcher](AppCore &c) { return new AboutPanel(c, launcher); });
    r.add(QStringLiteral("frmAppMode"), [](AppCore &c) { return new AppModeWindow(c); });
    r.add(QStringLiteral("frmPassword"), [](AppCore &c) { return new PasswordWindow(c); });
}

} // namespace tvk
