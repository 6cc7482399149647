#include "app/windowlist.h"

#include "app/aboutpanel.h"
#include "app/windowregistry.h"

namespace tvk {

void registerWindows(WindowRegistry &r, DesktopLauncher &launcher)
{
    r.add(QStringLiteral("frmAbout"), [&launcher](AppCore &c) { return new AboutPanel(c, launcher); });
}

} // namespace tvk
