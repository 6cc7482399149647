#include "core/mainmenu.h"

namespace tvk {

const std::vector<MenuItemDef> &mainMenuTable()
{
    static const std::vector<MenuItemDef> table = {
        {"mnuFile", "&File", nullptr, nullptr},
        {"mnuFileNew", "&New", "mnuFile", nullptr},
        {"mnuFileOpen", "&Open ...", "mnuFile", nullptr},
        {"mnuFileSave", "&Save", "mnuFile", nullptr},
        {"mnuFileSaveAs", "S&ave As ...", "mnuFile", nullptr},
        {"mnuFileClose", "&Close", "mnuFile", nullptr},
        {"mnuFileExit", "E&xit", "mnuFile", nullptr},

        {"mnuMonitor", "&Monitor", nullptr, nullptr},
        {"mnuMonitorUpdate", "&Update All Data", "mnuMonitor", nullptr},
        {"mnuMonitorOnline", "Go O&nline", "mnuMonitor", nullptr},
        {"mnuMonitorOffline", "Go O&ffline", "mnuMonitor", nullptr},
        {"mnuMonitorDemo", "Go Offline &Demo Mode", "mnuMonitor", nullptr},
        {"mnuMonitorRun", "&Run from BOOT MODE", "mnuMonitor", nullptr},
        {"mnuMonitorScanSelect", "&Scan Selection ...", "mnuMonitor", &win::frmScanSelect},

        {"mnuConfigure", "&Configure", nullptr, nullptr},
        {"mnuConfigureVideoMode", "&Video Mode", "mnuConfigure", &win::frmVideoConfig},
        {"mnuConfigureModelAndSerialNumber", "&Model and Serial Number", "mnuConfigure",
         &win::frmSetModelAndSerialNumber},
        {"mnuConfigureOperatingMode", "&Operating Mode", "mnuConfigure", &win::frmOperatingMode},
        {"mnuConfigureOperatingTime", "&Operating Time", "mnuConfigure", &win::frmSetOperatingTimes},
        {"mnuConfigureSoftware", "So&ftware", "mnuConfigure", &win::frmSoftware},
        {"mnuConfigureAppMode", "&Change Application Mode", "mnuConfigure", &win::frmAppMode},

        {"mnuAdjust", "&Adjustment", nullptr, nullptr},
        {"mnuAdjustmentBrightnessContrast", "&Brightness and Contrast", "mnuAdjust",
         &win::frmBrightnessContrast},
        {"mnuAdjustGeometry", "&Geometry", "mnuAdjust", &win::frmGeometryAdj},
        {"mnuAdjustVideo", "Colo&r Balance", "mnuAdjust", &win::frmVideoAdj},
        {"mnuAdjustHV", "&High Voltage", "mnuAdjust", &win::frmG2},
        {"mnuAdjustMdiHV", "High Voltage &Supply", "mnuAdjust", &win::frmMDI_HV},

        {"mnuInfo", "&Info", nullptr, nullptr},
        {"mnuInfoID", "ID", "mnuInfo", &win::frmID},
        {"mnuInfoVersion", "&Version", "mnuInfo", &win::frmVersion},
        {"mnuInfoConfiguration", "&Monitor Configuration", "mnuInfo", &win::frmCapability},
        {"mnuInfoOperatingHours", "&Operating Hours", "mnuInfo", &win::frmOperatingTime},
        {"mnuInfoLimits", "Brightness/Contrast &Limits", "mnuInfo", &win::frmLimits},
        {"mnuInfoCurrentScan", "Show &Current Scan Selection", "mnuInfo", &win::frmCurrentScanSet},
        {"mnuInfoBoot", "&Boot Block", "mnuInfo", &win::frmBootBlock},

        {"mnuDiagnostics", "&Diagnostics", nullptr, nullptr},
        {"mnuDiagnosticsCommLogging", "&Comm Logging", "mnuDiagnostics", &win::frmCommLog},
        {"mnuDiagnosticsDeflHV", "Defl & HV Enable", "mnuDiagnostics", &win::frmDeflHVEnable},
        {"mnuDiagnosticsOperating", "&Operating Conditions (All)", "mnuDiagnostics", nullptr},
        {"mnuDiagnosticsVoltages", "Operating &Voltages", "mnuDiagnostics", &win::frmCRTVoltages},
        {"frmDiagnosticsDeflectionStatus", "&Deflection Status", "mnuDiagnostics",
         &win::frmDeflectionStatus},
        {"mnuDiagnosticsHVLimits", "HV &Limits", "mnuDiagnostics", &win::frmHVLimits},
        {"mnuDiagnosticsFPControls", "&Flat Panel Controls", "mnuDiagnostics",
         &win::frmFlatPanelTestPoints},
        {"mnuDiagnosticsBacklight", "&Backlight Controls", "mnuDiagnostics", &win::frmBacklight},
        {"mnuDiagnosticsHeaterFan", "&Heater & Fan Control", "mnuDiagnostics", &win::frmFPHeaterFan},
        {"mnuDiagnosticsI2c", "&I2c Probe", "mnuDiagnostics", &win::frmI2cProbe},
        {"mnuDiagnosticsPeek", "&Peek and Poke", "mnuDiagnostics", &win::frmPeekPoke},

        {"mnuWindow", "&Window", nullptr, nullptr},
        {"mnuWindowCascade", "&Cascade", "mnuWindow", nullptr},
        {"mnuWindowTileHorizontal", "Tile &Horizontally", "mnuWindow", nullptr},
        {"mnuWindowTileVertical", "Tile &Verticlly", "mnuWindow", nullptr},
        {"mnuWindowArrangeIcons", "Arrange &Icons", "mnuWindow", nullptr},

        {"mnuHelp", "&Help", nullptr, nullptr},
        {"mnuHelpTopics", "&Velloran Help Topics ...", "mnuHelp", nullptr},
        {"mnuHelpAbout", "&About Tarvik", "mnuHelp", &win::frmAbout},
    };
    return table;
}

QStringList allMenuNames()
{
    QStringList names;
    for (const auto &item : mainMenuTable())
        names << QString::fromLatin1(item.name);
    return names;
}

const MenuItemDef *findMenuItem(const QString &name)
{
    for (const auto &item : mainMenuTable()) {
        if (name == QLatin1String(item.name))
            return &item;
    }
    return nullptr;
}

} // namespace tvk
