#pragma once
// The name of every window of the program, declared once. The control book,
// the window registry, the layout table, the menu table and the reply
// handlers all speak of windows by these names; a window's own name is its
// objectName.

#include <QString>
#include <QStringList>

namespace tvk::win {

inline const QString frmMain = QStringLiteral("frmMain");
inline const QString frmAbout = QStringLiteral("frmAbout");
inline const QString frmAppMode = QStringLiteral("frmAppMode");
inline const QString frmPassword = QStringLiteral("frmPassword");
inline const QString frmConnect = QStringLiteral("frmConnect");
inline const QString frmTrying = QStringLiteral("frmTrying");
inline const QString frmChangeTries = QStringLiteral("frmChangeTries");
inline const QString frmTimedOut = QStringLiteral("frmTimedOut");
inline const QString frmPorts = QStringLiteral("frmPorts");
inline const QString frmCommLog = QStringLiteral("frmCommLog");
inline const QString frmVersion = QStringLiteral("frmVersion");
inline const QString frmID = QStringLiteral("frmID");
inline const QString frmCapability = QStringLiteral("frmCapability");
inline const QString frmLimits = QStringLiteral("frmLimits");
inline const QString frmSetModelAndSerialNumber = QStringLiteral("frmSetModelAndSerialNumber");
inline const QString frmOperatingTime = QStringLiteral("frmOperatingTime");
inline const QString frmSetOperatingTimes = QStringLiteral("frmSetOperatingTimes");
inline const QString frmOperatingMode = QStringLiteral("frmOperatingMode");
inline const QString frmVideoConfig = QStringLiteral("frmVideoConfig");
inline const QString frmDeflHVEnable = QStringLiteral("frmDeflHVEnable");
inline const QString frmScanSelect = QStringLiteral("frmScanSelect");
inline const QString frmCurrentScanSet = QStringLiteral("frmCurrentScanSet");
inline const QString frmGeometryAdj = QStringLiteral("frmGeometryAdj");
inline const QString frmVideoAdj = QStringLiteral("frmVideoAdj");
inline const QString frmBrightnessContrast = QStringLiteral("frmBrightnessContrast");
inline const QString frmG2 = QStringLiteral("frmG2");
inline const QString frmMDI_HV = QStringLiteral("frmMDI_HV");
inline const QString frmBacklight = QStringLiteral("frmBacklight");
inline const QString frmFPHeaterFan = QStringLiteral("frmFPHeaterFan");
inline const QString frmTestPoint = QStringLiteral("frmTestPoint");
inline const QString frmMDITestPoints = QStringLiteral("frmMDITestPoints");
inline const QString frmFlatPanelTestPoints = QStringLiteral("frmFlatPanelTestPoints");
inline const QString frmCRTVoltages = QStringLiteral("frmCRTVoltages");
inline const QString frmHVLimits = QStringLiteral("frmHVLimits");
inline const QString frmDeflectionStatus = QStringLiteral("frmDeflectionStatus");
inline const QString frmPeekPoke = QStringLiteral("frmPeekPoke");
inline const QString frmI2cProbe = QStringLiteral("frmI2cProbe");
inline const QString frmSoftware = QStringLiteral("frmSoftware");
inline const QString frmBootBlock = QStringLiteral("frmBootBlock");
inline const QString frmBootProgress = QStringLiteral("frmBootProgress");
inline const QString frmCompare = QStringLiteral("frmCompare");

} // namespace tvk::win
