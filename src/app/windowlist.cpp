#include "app/windowlist.h"

#include "app/aboutpanel.h"
#include "app/appmodewindow.h"
#include "app/passwordwindow.h"
#include "app/windowregistry.h"
#include "link/changetrieswindow.h"
#include "link/connectwindow.h"
#include "link/timedoutwindow.h"
#include "link/tryingwindow.h"
#include "commlog/commlogwindow.h"

#include "panels/adjust/geometrypanel.h"
#include "panels/config/deflhvpanel.h"
#include "panels/config/operatingmodepanel.h"
#include "panels/config/operatingtimepanel.h"
#include "panels/config/setoperatingtimespanel.h"
#include "panels/config/videoconfigpanel.h"
#include "panels/info/capabilitypanel.h"
#include "panels/info/idpanel.h"
#include "panels/info/limitspanel.h"
#include "panels/info/setmodelserialpanel.h"
#include "panels/info/versionpanel.h"
#include "panels/config/scanselectpanel.h"
#include "panels/info/currentscansetpanel.h"
#include "firmware/firmwarehandlers.h"
#include "panels/firmware/softwarepanel.h"

namespace tvk {

void registerWindows(WindowRegistry &r, DesktopLauncher &launcher)
{
    r.add(QStringLiteral("frmAbout"), [&launcher](AppCore &c) { return new AboutPanel(c, launcher); });
    r.add(QStringLiteral("frmAppMode"), [](AppCore &c) { return new AppModeWindow(c); });
    r.add(QStringLiteral("frmCommLog"), [](AppCore &c) { return new CommLogWindow(c); });
    r.add(QStringLiteral("frmPassword"), [](AppCore &c) { return new PasswordWindow(c); });
    r.add(QStringLiteral("frmConnect"), [](AppCore &c) { return new ConnectWindow(c); });
    r.add(QStringLiteral("frmTrying"), [](AppCore &c) { return new TryingWindow(c); });
    r.add(QStringLiteral("frmChangeTries"), [](AppCore &c) { return new ChangeTriesWindow(c); });
    r.add(QStringLiteral("frmTimedOut"), [](AppCore &c) { return new TimedOutWindow(c); });
    r.add(QStringLiteral("frmOperatingTime"), [](AppCore &c) { return new OperatingTimePanel(c); });
    r.add(QStringLiteral("frmSetOperatingTimes"), [](AppCore &c) { return new SetOperatingTimesPanel(c); });
    r.add(QStringLiteral("frmOperatingMode"), [](AppCore &c) { return new OperatingModePanel(c); });
    r.add(QStringLiteral("frmVideoConfig"), [](AppCore &c) { return new VideoConfigPanel(c); });
    r.add(QStringLiteral("frmDeflHVEnable"), [](AppCore &c) { return new DeflHvPanel(c); });
    r.add(QStringLiteral("frmVersion"), [](AppCore &c) { return new VersionPanel(c); });
    r.add(QStringLiteral("frmID"), [](AppCore &c) { return new IdPanel(c); });
    r.add(QStringLiteral("frmCapability"), [](AppCore &c) { return new CapabilityPanel(c); });
    r.add(QStringLiteral("frmLimits"), [](AppCore &c) { return new LimitsPanel(c); });
    r.add(QStringLiteral("frmSetModelAndSerialNumber"), [](AppCore &c) { return new SetModelSerialPanel(c); });
    r.add(QStringLiteral("frmScanSelect"), [](AppCore &c) { return new ScanSelectPanel(c); });
    r.add(QStringLiteral("frmCurrentScanSet"), [](AppCore &c) { return new CurrentScanSetPanel(c); });
    r.add(kGeometryWindow, [](AppCore &c) { return new GeometryPanel(c); });
    r.add(kSoftwareWindow, [](AppCore &c) { return new SoftwarePanel(c); });
    r.add(kBootBlockWindow, [](AppCore &c) { return new BootBlockPanel(c); });
    r.add(kBootProgressWindow, [](AppCore &c) { return new BootProgressWindow(c); });
}

} // namespace tvk
