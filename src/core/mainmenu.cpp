#include "core/mainmenu.h"

namespace tvk {

const std::vector<MenuItemDef> &mainMenuTable()
{
    using enum MenuCommand;
    using enum ModeGate;
    using enum MenuSet;
    using namespace menu;
    // A row: name, caption, parent, opened window, command; then the modes
    // that enable it; {online, boot mode, no monitor}; {flat panel, MDI,
    // early firmware}; whether start-up disables it. Left-out cells keep.
    static const std::vector<MenuItemDef> table = {
        {mnuFile, "&File", {}},
        // New and Save have no action attached.
        {mnuFileNew, "&New", mnuFile, nullptr, None, AllModes},
        {mnuFileOpen, "&Open ...", mnuFile, nullptr, FileOpen, AllModes},
        {mnuFileSave, "&Save", mnuFile, nullptr, None, AllModes},
        {mnuFileSaveAs, "S&ave As ...", mnuFile, nullptr, FileSaveAs},
        {mnuFileClose, "&Close", mnuFile, nullptr, FileClose, AllModes},
        {mnuFileCompareMonitor, "Compare with &Monitor ...", mnuFile, nullptr, CompareWithMonitor, Free,
         {On, Off, Off}},
        {mnuFileCompareFiles, "Compare &Two Files ...", mnuFile, nullptr, CompareTwoFiles},
        {mnuFileCompareFactory, "Changes from &Factory ...", mnuFile, nullptr, CompareWithFactory},
        {mnuFileExit, "E&xit", mnuFile, nullptr, Exit},

        {mnuMonitor, "&Monitor", {}},
        {mnuMonitorUpdate, "&Update All Data", mnuMonitor, nullptr, UpdateAllData, Free, {On, Off, Off}},
        {mnuMonitorOnline, "Go O&nline", mnuMonitor, &win::frmConnect, None, Free, {Off, Off, On}},
        {mnuMonitorOffline, "Go O&ffline", mnuMonitor, nullptr, GoOffline, Free, {On, On, Off}},
        {mnuMonitorDemo, "Go Offline &Demo Mode", mnuMonitor, nullptr, GoOfflineDemo, Free,
         {Keep, Keep, On}},
        {mnuMonitorRun, "&Run from BOOT MODE", mnuMonitor, nullptr, RunFromBootMode, Free,
         {Keep, On, Off}, {}, true},
        {mnuMonitorScanSelect, "&Scan Selection ...", mnuMonitor, &win::frmScanSelect},

        {mnuConfigure, "&Configure", {}},
        {mnuConfigureVideoMode, "&Video Mode", mnuConfigure, &win::frmVideoConfig, None, ServiceUp},
        {mnuConfigureModelAndSerialNumber, "&Model and Serial Number", mnuConfigure,
         &win::frmSetModelAndSerialNumber, None, FactoryOnly},
        {mnuConfigureOperatingMode, "&Operating Mode", mnuConfigure, &win::frmOperatingMode, None,
         ServiceUp},
        {mnuConfigureOperatingTime, "&Operating Time", mnuConfigure, &win::frmSetOperatingTimes, None,
         FactoryOnly},
        {mnuConfigureSoftware, "So&ftware", mnuConfigure, &win::frmSoftware, None, ServiceUp},
        {mnuConfigureAppMode, "&Change Application Mode", mnuConfigure, &win::frmAppMode},
        {mnuConfigurePorts, "&Ports ...", mnuConfigure, &win::frmPorts},

        {mnuAdjust, "&Adjustment", {}, nullptr, None, Free, {Keep, Off, Off}, {Off, On, On}},
        {mnuAdjustmentBrightnessContrast, "&Brightness and Contrast", mnuAdjust,
         &win::frmBrightnessContrast},
        {mnuAdjustGeometry, "&Geometry", mnuAdjust, &win::frmGeometryAdj, None, Free,
         {Keep, Keep, Off}, {Off, On, On}, true},
        {mnuAdjustVideo, "Colo&r Balance", mnuAdjust, &win::frmVideoAdj, None, Free,
         {Keep, Keep, Off}, {Off, On, On}, true},
        {mnuAdjustHV, "&High Voltage", mnuAdjust, &win::frmG2, None, Free,
         {Keep, Keep, Off}, {Off, On, Keep}, true},
        {mnuAdjustMdiHV, "High Voltage &Supply", mnuAdjust, &win::frmMDI_HV, None, Free,
         {Keep, Keep, Off}, {Off, On, Off}},

        {mnuInfo, "&Info", {}, nullptr, None, Free, {Keep, Off, Keep}, {Keep, On, On}},
        {mnuInfoID, "ID", mnuInfo, &win::frmID, None, Free, {On, Keep, Off}, {Keep, On, On}},
        {mnuInfoVersion, "&Version", mnuInfo, &win::frmVersion, None, Free,
         {Keep, Keep, Off}, {Keep, On, On}, true},
        {mnuInfoConfiguration, "&Monitor Configuration", mnuInfo, &win::frmCapability},
        {mnuInfoOperatingHours, "&Operating Hours", mnuInfo, &win::frmOperatingTime, None, Free,
         {On, Keep, Off}, {Keep, On, On}},
        {mnuInfoLimits, "Brightness/Contrast &Limits", mnuInfo, &win::frmLimits},
        {mnuInfoCurrentScan, "Show &Current Scan Selection", mnuInfo, &win::frmCurrentScanSet, None,
         Free, {Keep, Keep, Off}, {Keep, On, Keep}, true},
        {mnuInfoBoot, "&Boot Block", mnuInfo, &win::frmBootBlock, None, ServiceUp},

        {mnuDiagnostics, "&Diagnostics", {}},
        {mnuDiagnosticsCommLogging, "&Comm Logging", mnuDiagnostics, &win::frmCommLog, None, Free,
         {}, {Keep, Keep, On}},
        {mnuDiagnosticsDeflHV, "Defl & HV Enable", mnuDiagnostics, &win::frmDeflHVEnable, None,
         FactoryOnly, {Keep, Keep, Off}, {Off, On, Keep}, true},
        {mnuDiagnosticsOperating, "&Operating Conditions (All)", mnuDiagnostics, nullptr,
         OperatingConditions, Free, {On, Keep, Off}, {Off, On, On}, true},
        {mnuDiagnosticsVoltages, "Operating &Voltages", mnuDiagnostics, &win::frmCRTVoltages},
        {frmDiagnosticsDeflectionStatus, "&Deflection Status", mnuDiagnostics,
         &win::frmDeflectionStatus},
        {mnuDiagnosticsHVLimits, "HV &Limits", mnuDiagnostics, &win::frmHVLimits},
        {mnuDiagnosticsFPControls, "&Flat Panel Controls", mnuDiagnostics,
         &win::frmFlatPanelTestPoints, None, Free, {Keep, Keep, Off}, {On, Off, Keep}, true},
        {mnuDiagnosticsBacklight, "&Backlight Controls", mnuDiagnostics, &win::frmBacklight, None,
         Free, {Keep, Keep, Off}, {On, Off, Keep}},
        {mnuDiagnosticsHeaterFan, "&Heater & Fan Control", mnuDiagnostics, &win::frmFPHeaterFan,
         None, Free, {Keep, Keep, Off}, {On, Off, Keep}},
        {mnuDiagnosticsI2c, "&I2c Probe", mnuDiagnostics, &win::frmI2cProbe, None, Free,
         {Keep, Keep, Off}, {On, On, Off}, true},
        {mnuDiagnosticsPeek, "&Peek and Poke", mnuDiagnostics, &win::frmPeekPoke, None, FactoryOnly},

        {mnuWindow, "&Window", {}},
        {mnuWindowCascade, "&Cascade", mnuWindow, nullptr, Cascade},
        {mnuWindowTileHorizontal, "Tile &Horizontally", mnuWindow, nullptr, TileHorizontally},
        {mnuWindowTileVertical, "Tile &Verticlly", mnuWindow, nullptr, TileVertically},
        {mnuWindowArrangeIcons, "Arrange &Icons", mnuWindow, nullptr, ArrangeIcons},

        {mnuHelp, "&Help", {}},
        {mnuHelpTopics, "&Velloran Help Topics ...", mnuHelp, nullptr, HelpTopics},
        {mnuHelpSupportBundle, "Save Support &Bundle ...", mnuHelp, nullptr, SupportBundle},
        {mnuHelpAbout, "&About Tarvik", mnuHelp, &win::frmAbout},
    };
    return table;
}

QStringList allMenuNames()
{
    QStringList names;
    for (const auto &item : mainMenuTable())
        names << item.name;
    return names;
}

QStringList menusOffAtStart()
{
    QStringList names;
    for (const auto &item : mainMenuTable())
        if (item.offAtStart)
            names << item.name;
    return names;
}

const MenuItemDef *findMenuItem(const QString &name)
{
    for (const auto &item : mainMenuTable()) {
        if (name == item.name)
            return &item;
    }
    return nullptr;
}

} // namespace tvk
