#include "app/windowlist.h"
#include "base/windownames.h"

#include "panels/help/aboutpanel.h"
#include "panels/modes/appmodewindow.h"
#include "panels/modes/passwordwindow.h"
#include "app/windowregistry.h"
#include "core/appcore.h"
#include "panels/connection/changetrieswindow.h"
#include "panels/connection/connectwindow.h"
#include "panels/connection/timedoutwindow.h"
#include "panels/connection/tryingwindow.h"
#include "panels/commlog/commlogwindow.h"
#include "panels/compare/comparewindow.h"

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

void registerWindows(WindowRegistry &r, AppCore &core, DesktopLauncher &launcher)
{
    // The test-point panels poll on the program's clock and draw its trend
    // history, which they save through the file dialog.
    const TestPointSources sources{core.clock, core.testPointHistory, &core.fileDialogs};
    r.add(win::frmAbout, [&launcher](const PanelContext &c) { return new AboutPanel(c, launcher); });
    r.add(win::frmAppMode, [&core](const PanelContext &c) { return new AppModeWindow(c, core.shell); });
    r.add(win::frmCommLog, [&core](const PanelContext &c) {
        return new CommLogWindow(c, core.commLog, core.link, core.globals, core.connector, core.settings,
                                 core.fileDialogs);
    });
    r.add(win::frmPassword, [&core](const PanelContext &c) { return new PasswordWindow(c, core.shell); });
    r.add(win::frmConnect, [&core](const PanelContext &c) { return new ConnectWindow(c, core.connector, core.portMap, core.globals); });
    r.add(win::frmTrying, [&core](const PanelContext &c) { return new TryingWindow(c, core.connector, core.globals); });
    r.add(win::frmChangeTries, [&core](const PanelContext &c) { return new ChangeTriesWindow(c, core.connector, core.globals); });
    r.add(win::frmTimedOut, [&core](const PanelContext &c) { return new TimedOutWindow(c, core.connector); });
    r.add(win::frmOperatingTime, [](const PanelContext &c) { return new OperatingTimePanel(c); });
    r.add(win::frmSetOperatingTimes, [](const PanelContext &c) { return new SetOperatingTimesPanel(c); });
    r.add(win::frmOperatingMode, [&core](const PanelContext &c) { return new OperatingModePanel(c, core.replyContext); });
    r.add(win::frmVideoConfig, [](const PanelContext &c) { return new VideoConfigPanel(c); });
    r.add(win::frmDeflHVEnable, [](const PanelContext &c) { return new DeflHvPanel(c); });
    r.add(win::frmVersion, [](const PanelContext &c) { return new VersionPanel(c); });
    r.add(win::frmID, [](const PanelContext &c) { return new IdPanel(c); });
    r.add(win::frmCapability, [&core](const PanelContext &c) { return new CapabilityPanel(c, core.replyContext); });
    r.add(win::frmLimits, [](const PanelContext &c) { return new LimitsPanel(c); });
    r.add(win::frmSetModelAndSerialNumber, [&core](const PanelContext &c) { return new SetModelSerialPanel(c, core.shell); });
    r.add(win::frmScanSelect, [&core](const PanelContext &c) { return new ScanSelectPanel(c, core.scanSets, core.inputBox); });
    r.add(win::frmCurrentScanSet, [](const PanelContext &c) { return new CurrentScanSetPanel(c); });
    r.add(win::frmGeometryAdj, [](const PanelContext &c) { return new GeometryPanel(c); });
    r.add(win::frmVideoAdj, [](const PanelContext &c) { return new VideoPanel(c); });
    r.add(win::frmBrightnessContrast, [&core](const PanelContext &c) { return new BrightnessContrastPanel(c, core.replyContext); });
    r.add(win::frmG2, [](const PanelContext &c) { return new G2Panel(c); });
    r.add(win::frmMDI_HV, [](const PanelContext &c) { return new MdiHvPanel(c); });
    r.add(win::frmBacklight, [](const PanelContext &c) { return new BacklightPanel(c); });
    r.add(win::frmFPHeaterFan, [](const PanelContext &c) { return new HeaterFanPanel(c); });
    r.add(win::frmTestPoint, [sources](const PanelContext &c) { return new EarlyTestPointPanel(c, sources); });
    r.add(win::frmMDITestPoints, [sources](const PanelContext &c) { return new MdiTestPointPanel(c, sources); });
    r.add(win::frmCRTVoltages, [sources](const PanelContext &c) { return new CrtVoltagesPanel(c, sources); });
    r.add(win::frmFlatPanelTestPoints, [sources](const PanelContext &c) { return new FlatPanelTestPointPanel(c, sources); });
    r.add(win::frmDeflectionStatus, [sources](const PanelContext &c) { return new DeflectionStatusPanel(c, sources); });
    r.add(win::frmHVLimits, [sources](const PanelContext &c) { return new HvLimitsPanel(c, sources); });
    r.add(win::frmPeekPoke, [](const PanelContext &c) { return new PeekPokePanel(c); });
    r.add(win::frmI2cProbe, [](const PanelContext &c) { return new I2cProbePanel(c); });
    r.add(win::frmPorts, [&core](const PanelContext &c) { return new PortsPanel(c, core.portMap); });
    r.add(win::frmSoftware, [&core](const PanelContext &c) { return new SoftwarePanel(c, core.firmwareContext()); });
    r.add(win::frmBootBlock, [&core](const PanelContext &c) { return new BootBlockPanel(c, core.firmwareContext()); });
    r.add(win::frmCompare, [&core](const PanelContext &c) {
        return new CompareWindow(c, core.monitorLine(), core.fullRead, core.fileDialogs, core.FileSaveInitDir);
    });
    r.add(win::frmBootProgress, [&core](const PanelContext &c) { return new BootProgressWindow(c, core.download); });
}

} // namespace tvk
