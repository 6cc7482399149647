#pragma once
// The name of every menu and menu item of the main window, declared once.
// The menu table, the connection states, the application modes, the monitor
// profiles and the reply handlers all speak of menu items by these names; an
// item's name is its action's objectName (a menu's, its QMenu's).

#include <QString>

namespace tvk::menu {

inline const QString mnuFile = QStringLiteral("mnuFile");
inline const QString mnuFileNew = QStringLiteral("mnuFileNew");
inline const QString mnuFileOpen = QStringLiteral("mnuFileOpen");
inline const QString mnuFileSave = QStringLiteral("mnuFileSave");
inline const QString mnuFileSaveAs = QStringLiteral("mnuFileSaveAs");
inline const QString mnuFileClose = QStringLiteral("mnuFileClose");
inline const QString mnuFileCompareMonitor = QStringLiteral("mnuFileCompareMonitor");
inline const QString mnuFileCompareFiles = QStringLiteral("mnuFileCompareFiles");
inline const QString mnuFileCompareFactory = QStringLiteral("mnuFileCompareFactory");
inline const QString mnuFileExit = QStringLiteral("mnuFileExit");

inline const QString mnuMonitor = QStringLiteral("mnuMonitor");
inline const QString mnuMonitorUpdate = QStringLiteral("mnuMonitorUpdate");
inline const QString mnuMonitorOnline = QStringLiteral("mnuMonitorOnline");
inline const QString mnuMonitorOffline = QStringLiteral("mnuMonitorOffline");
inline const QString mnuMonitorDemo = QStringLiteral("mnuMonitorDemo");
inline const QString mnuMonitorRun = QStringLiteral("mnuMonitorRun");
inline const QString mnuMonitorScanSelect = QStringLiteral("mnuMonitorScanSelect");

inline const QString mnuConfigure = QStringLiteral("mnuConfigure");
inline const QString mnuConfigureVideoMode = QStringLiteral("mnuConfigureVideoMode");
inline const QString mnuConfigureModelAndSerialNumber = QStringLiteral("mnuConfigureModelAndSerialNumber");
inline const QString mnuConfigureOperatingMode = QStringLiteral("mnuConfigureOperatingMode");
inline const QString mnuConfigureOperatingTime = QStringLiteral("mnuConfigureOperatingTime");
inline const QString mnuConfigureSoftware = QStringLiteral("mnuConfigureSoftware");
inline const QString mnuConfigureAppMode = QStringLiteral("mnuConfigureAppMode");
inline const QString mnuConfigurePorts = QStringLiteral("mnuConfigurePorts");

inline const QString mnuAdjust = QStringLiteral("mnuAdjust");
inline const QString mnuAdjustmentBrightnessContrast = QStringLiteral("mnuAdjustmentBrightnessContrast");
inline const QString mnuAdjustGeometry = QStringLiteral("mnuAdjustGeometry");
inline const QString mnuAdjustVideo = QStringLiteral("mnuAdjustVideo");
inline const QString mnuAdjustHV = QStringLiteral("mnuAdjustHV");
inline const QString mnuAdjustMdiHV = QStringLiteral("mnuAdjustMdiHV");

inline const QString mnuInfo = QStringLiteral("mnuInfo");
inline const QString mnuInfoID = QStringLiteral("mnuInfoID");
inline const QString mnuInfoVersion = QStringLiteral("mnuInfoVersion");
inline const QString mnuInfoConfiguration = QStringLiteral("mnuInfoConfiguration");
inline const QString mnuInfoOperatingHours = QStringLiteral("mnuInfoOperatingHours");
inline const QString mnuInfoLimits = QStringLiteral("mnuInfoLimits");
inline const QString mnuInfoCurrentScan = QStringLiteral("mnuInfoCurrentScan");
inline const QString mnuInfoBoot = QStringLiteral("mnuInfoBoot");

inline const QString mnuDiagnostics = QStringLiteral("mnuDiagnostics");
inline const QString mnuDiagnosticsCommLogging = QStringLiteral("mnuDiagnosticsCommLogging");
inline const QString mnuDiagnosticsDeflHV = QStringLiteral("mnuDiagnosticsDeflHV");
inline const QString mnuDiagnosticsOperating = QStringLiteral("mnuDiagnosticsOperating");
inline const QString mnuDiagnosticsVoltages = QStringLiteral("mnuDiagnosticsVoltages");
// This item's name has kept a window's prefix.
inline const QString frmDiagnosticsDeflectionStatus = QStringLiteral("frmDiagnosticsDeflectionStatus");
inline const QString mnuDiagnosticsHVLimits = QStringLiteral("mnuDiagnosticsHVLimits");
inline const QString mnuDiagnosticsFPControls = QStringLiteral("mnuDiagnosticsFPControls");
inline const QString mnuDiagnosticsBacklight = QStringLiteral("mnuDiagnosticsBacklight");
inline const QString mnuDiagnosticsHeaterFan = QStringLiteral("mnuDiagnosticsHeaterFan");
inline const QString mnuDiagnosticsI2c = QStringLiteral("mnuDiagnosticsI2c");
inline const QString mnuDiagnosticsPeek = QStringLiteral("mnuDiagnosticsPeek");

inline const QString mnuWindow = QStringLiteral("mnuWindow");
inline const QString mnuWindowCascade = QStringLiteral("mnuWindowCascade");
inline const QString mnuWindowTileHorizontal = QStringLiteral("mnuWindowTileHorizontal");
inline const QString mnuWindowTileVertical = QStringLiteral("mnuWindowTileVertical");
inline const QString mnuWindowArrangeIcons = QStringLiteral("mnuWindowArrangeIcons");

inline const QString mnuHelp = QStringLiteral("mnuHelp");
inline const QString mnuHelpTopics = QStringLiteral("mnuHelpTopics");
inline const QString mnuHelpSupportBundle = QStringLiteral("mnuHelpSupportBundle");
inline const QString mnuHelpAbout = QStringLiteral("mnuHelpAbout");

} // namespace tvk::menu
