#include "app/mainmenu.h"

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
        {"mnuMonitorScanSelect", "&Scan Selection ...", "mnuMonitor", "frmScanSelect"},

        {"mnuConfigure", "&Configure", nullptr, nullptr},
        {"mnuConfigureVideoMode", "&Video Mode", "mnuConfigure", "frmVideoConfig"},
        {"mnuConfigureModelAndSerialNumber", "&Model and Serial Number", "mnuConfigure",
         "frmSetModelAndSerialNumber"},
        {"mnuConfigureOperatingMode", "&Operating Mode", "mnuConfigure", "frmOperatingMode"},
        {"mnuConfigureOperatingTime", "&Operating Time", "mnuConfigure", "frmSetOperatingTimes"},
        {"mnuConfigureSoftware", "So&ftware", "mnuConfigure", "frmSoftware"},
        {"mnuConfigureAppMode", "&Change Application Mode", "mnuConfigure", "frmAppMode"},
        {"mnuConfigurePorts", "&Ports ...", "mnuConfigure", "frmPorts"},

        {"mnuAdjust", "&Adjustment", nullptr, nullptr},
        {"mnuAdjustmentBrightnessContrast", "&Brightness and Contrast", "mnuAdjust",
         "frmBrightnessContrast"},
        {"mnuAdjustGeometry", "&Geometry", "mnuAdjust", "frmGeometryAdj"},
        {"mnuAdjustVideo", "Colo&r Balance", "mnuAdjust", "frmVideoAdj"},
        {"mnuAdjustHV", "&High Voltage", "mnuAdjust", "frmG2"},

        {"mnuInfo", "&Info", nullptr, nullptr},
        {"mnuInfoID", "ID", "mnuInfo", "frmID"},
        {"mnuInfoVersion", "&Version", "mnuInfo", "frmVersion"},
        {"mnuInfoConfiguration", "&Monitor Configuration", "mnuInfo", "frmCapability"},
        {"mnuInfoOperatingHours", "&Operating Hours", "mnuInfo", "frmOperatingTime"},
        {"mnuInfoLimits", "Brightness/Contrast &Limits", "mnuInfo", "frmLimits"},
        {"mnuInfoCurrentScan", "Show &Current Scan Selection", "mnuInfo", "frmCurrentScanSet"},
        {"mnuInfoBoot", "&Boot Block", "mnuInfo", "frmBootBlock"},

        {"mnuDiagnostics", "&Diagnostics", nullptr, nullptr},
        {"mnuDiagnosticsCommLogging", "&Comm Logging", "mnuDiagnostics", "frmCommLog"},
        {"mnuDiagnosticsDeflHV", "Defl & HV Enable", "mnuDiagnostics", "frmDeflHVEnable"},
        {"mnuDiagnosticsOperating", "&Operating Conditions (All)", "mnuDiagnostics", nullptr},
        {"mnuDiagnosticsVoltages", "Operating &Voltages", "mnuDiagnostics", "frmCRTVoltages"},
        {"frmDiagnosticsDeflectionStatus", "&Deflection Status", "mnuDiagnostics",
         "frmDeflectionStatus"},
        {"mnuDiagnosticsHVLimits", "HV &Limits", "mnuDiagnostics", "frmHVLimits"},
        {"mnuDiagnosticsFPControls", "&Flat Panel Controls", "mnuDiagnostics",
         "frmFlatPanelTestPoints"},
        {"mnuDiagnosticsI2c", "&I2c Probe", "mnuDiagnostics", "frmI2cProbe"},
        {"mnuDiagnosticsPeek", "&Peek and Poke", "mnuDiagnostics", "frmPeekPoke"},

        {"mnuWindow", "&Window", nullptr, nullptr},
        {"mnuWindowCascade", "&Cascade", "mnuWindow", nullptr},
        {"mnuWindowTileHorizontal", "Tile &Horizontally", "mnuWindow", nullptr},
        {"mnuWindowTileVertical", "Tile &Verticlly", "mnuWindow", nullptr},
        {"mnuWindowArrangeIcons", "Arrange &Icons", "mnuWindow", nullptr},

        {"mnuHelp", "&Help", nullptr, nullptr},
        {"mnuHelpTopics", "&Velloran Help Topics ...", "mnuHelp", nullptr},
        {"mnuHelpAbout", "&About Tarvik", "mnuHelp", "frmAbout"},
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
