#include "app/windowlist.h"
#include "base/windownames.h"

#include "panels/help/aboutpanel.h"
#include "panels/modes/appmodewindow.h"
#include "panels/modes/passwordwindow.h"
#include "app/windowregistry.h"
#include "panels/connection/changetrieswindow.h"
#include "panels/connection/connectwindow.h"
#include "panels/connection/timedoutwindow.h"
#include "panels/connection/tryingwindow.h"
#include "panels/commlog/commlogwindow.h"

#include "core/replies/adjustreplies.h"
#include "panels/adjust/brightnesscontrastpanel.h"
#include "panels/adjust/flatpanelpanels.h"
#include "panels/adjust/geometrypanel.h"
#include "panels/adjust/hvpanels.h"
#include "panels/adjust/videopanel.h"
#include "panels/config/deflhvpanel.h"
#include "panels/config/operatingmodepanel.h"
#include "panels/config/operatingtimepanel.h"
#include "panels/config/setoperatingtimespanel.h"
#include "panels/config/videoconfigpanel.h"
#include "panels/diag/i2cprobepanel.h"
#include "panels/diag/peekpokepanel.h"
#include "panels/diag/testpointpanel.h"
#include "panels/info/capabilitypanel.h"
#include "panels/info/idpanel.h"
#include "panels/info/limitspanel.h"
#include "panels/info/setmodelserialpanel.h"
#include "panels/info/versionpanel.h"
#include "panels/config/scanselectpanel.h"
#include "panels/info/currentscansetpanel.h"
#include "panels/ports/portspanel.h"
#include "panels/firmware/softwarepanel.h"

namespace tvk {

void registerWindows(WindowRegistry &r, DesktopLauncher &launcher)
{
    r.add(win::frmAbout, [&launcher](AppCore &c) { return new AboutPanel(c, launcher); });
    r.add(win::frmAppMode, [](AppCore &c) { return new AppModeWindow(c); });
    r.add(win::frmCommLog, [](AppCore &c) { return new CommLogWindow(c); });
    r.add(win::frmPassword, [](AppCore &c) { return new PasswordWindow(c); });
    r.add(win::frmConnect, [](AppCore &c) { return new ConnectWindow(c); });
    r.add(win::frmTrying, [](AppCore &c) { return new TryingWindow(c); });
    r.add(win::frmChangeTries, [](AppCore &c) { return new ChangeTriesWindow(c); });
    r.add(win::frmTimedOut, [](AppCore &c) { return new TimedOutWindow(c); });
    r.add(win::frmOperatingTime, [](AppCore &c) { return new OperatingTimePanel(c); });
    r.add(win::frmSetOperatingTimes, [](AppCore &c) { return new SetOperatingTimesPanel(c); });
    r.add(win::frmOperatingMode, [](AppCore &c) { return new OperatingModePanel(c); });
    r.add(win::frmVideoConfig, [](AppCore &c) { return new VideoConfigPanel(c); });
    r.add(win::frmDeflHVEnable, [](AppCore &c) { return new DeflHvPanel(c); });
    r.add(win::frmVersion, [](AppCore &c) { return new VersionPanel(c); });
    r.add(win::frmID, [](AppCore &c) { return new IdPanel(c); });
    r.add(win::frmCapability, [](AppCore &c) { return new CapabilityPanel(c); });
    r.add(win::frmLimits, [](AppCore &c) { return new LimitsPanel(c); });
    r.add(win::frmSetModelAndSerialNumber, [](AppCore &c) { return new SetModelSerialPanel(c); });
    r.add(win::frmScanSelect, [](AppCore &c) { return new ScanSelectPanel(c); });
    r.add(win::frmCurrentScanSet, [](AppCore &c) { return new CurrentScanSetPanel(c); });
    r.add(win::frmGeometryAdj, [](AppCore &c) { return new GeometryPanel(c); });
    r.add(win::frmVideoAdj, [](AppCore &c) { return new VideoPanel(c); });
    r.add(win::frmBrightnessContrast, [](AppCore &c) { return new BrightnessContrastPanel(c); });
    r.add(win::frmG2, [](AppCore &c) { return new G2Panel(c); });
    r.add(win::frmMDI_HV, [](AppCore &c) { return new MdiHvPanel(c); });
    r.add(win::frmBacklight, [](AppCore &c) { return new BacklightPanel(c); });
    r.add(win::frmFPHeaterFan, [](AppCore &c) { return new HeaterFanPanel(c); });
    r.add(win::frmTestPoint, [](AppCore &c) { return new EarlyTestPointPanel(c); });
    r.add(win::frmMDITestPoints, [](AppCore &c) { return new MdiTestPointPanel(c); });
    r.add(win::frmCRTVoltages, [](AppCore &c) { return new CrtVoltagesPanel(c); });
    r.add(win::frmFlatPanelTestPoints, [](AppCore &c) { return new FlatPanelTestPointPanel(c); });
    r.add(win::frmDeflectionStatus, [](AppCore &c) { return new DeflectionStatusPanel(c); });
    r.add(win::frmHVLimits, [](AppCore &c) { return new HvLimitsPanel(c); });
    r.add(win::frmPeekPoke, [](AppCore &c) { return new PeekPokePanel(c); });
    r.add(win::frmI2cProbe, [](AppCore &c) { return new I2cProbePanel(c); });
    r.add(win::frmPorts, [](AppCore &c) { return new PortsPanel(c); });
    r.add(win::frmSoftware, [](AppCore &c) { return new SoftwarePanel(c); });
    r.add(win::frmBootBlock, [](AppCore &c) { return new BootBlockPanel(c); });
    r.add(win::frmBootProgress, [](AppCore &c) { return new BootProgressWindow(c); });
}

} // namespace tvk
