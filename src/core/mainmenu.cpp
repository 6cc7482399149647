#include "core/mainmenu.h"

namespace tvk {

const std::vector<MenuItemDef> &mainMenuTable()
{
    static const std::vector<MenuItemDef> table = {
        {"mnuFile", "&File", nullptr, nullptr},
        // New and Save have no action attached.
        {"mnuFileNew", "&New", "mnuFile", nullptr, MenuCommand::None},
        {"mnuFileOpen", "&Open ...", "mnuFile", nullptr, MenuCommand::FileOpen},
        {"mnuFileSave", "&Save", "mnuFile", nullptr, MenuCommand::None},
        {"mnuFileSaveAs", "S&ave As ...", "mnuFile", nullptr, MenuCommand::FileSaveAs},
        {"mnuFileClose", "&Close", "mnuFile", nullptr, MenuCommand::FileClose},
        {"mnuFileExit", "E&xit", "mnuFile", nullptr, MenuCommand::Exit},

        {"mnuMonitor", "&Monitor", nullptr, nullptr},
        {"mnuMonitorUpdate", "&Update All Data", "mnuMonitor", nullptr, MenuCommand::UpdateAllData},
        {"mnuMonitorOnline", "Go O&nline", "mnuMonitor", &win::frmConnect},
        {"mnuMonitorOffline", "Go O&ffline", "mnuMonitor", nullptr, MenuCommand::GoOffline},
        {"mnuMonitorDemo", "Go Offline &Demo Mode", "mnuMonitor", nullptr, MenuCommand::GoOfflineDemo},
        {"mnuMonitorRun", "&Run from BOOT MODE", "mnuMonitor", nullptr, MenuCommand::RunFromBootMode},
        {"mnuMonitorScanSelect", "&Scan Selection ...", "mnuMonitor", &win::frmScanSelect},

        {"mnuConfigure", "&Configure", nullptr, nullptr},
        {"mnuConfigureVideoMode", "&Video Mode", "mnuConfigure", &win::frmVideoConfig},
        {"mnuConfigureModelAndSerialNumber", "&Model and Serial Number", "mnuConfigure",
         &win::frmSetModelAndSerialNumber},
        {"mnuConfigureOperatingMode", "&Operating Mode", "mnuConfigure", &win::frmOperatingMode},
        {"mnuConfigureOperatingTime", "&Operating Time", "mnuConfigure", &win::frmSetOperatingTimes},
        {"mnuConfigureSoftware", "So&ftware", "mnuConfigure", &win::frmSoftware},
        {"mnuConfigureAppMode", "&Change Application Mode", "mnuConfigure", &win::frmAppMode},
        {"mnuConfigurePorts", "&Ports ...", "mnuConfigure", &win::frmPorts},

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
        {"mnuDiagnosticsOperating", "&Operating Conditions (All)", "mnuDiagnostics", nullptr,
         MenuCommand::OperatingConditions},
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
        {"mnuWindowCascade", "&Cascade", "mnuWindow", nullptr, MenuCommand::Cascade},
        {"mnuWindowTileHorizontal", "Tile &Horizontally", "mnuWindow", nullptr,
         MenuCommand::TileHorizontally},
        {"mnuWindowTileVertical", "Tile &Verticlly", "mnuWindow", nullptr, MenuCommand::TileVertically},
        {"mnuWindowArrangeIcons", "Arrange &Icons", "mnuWindow", nullptr, MenuCommand::ArrangeIcons},

        {"mnuHelp", "&Help", nullptr, nullptr},
        {"mnuHelpTopics", "&Velloran Help Topics ...", "mnuHelp", nullptr, MenuCommand::HelpTopics},
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
