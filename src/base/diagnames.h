#pragma once
// Controls of the diagnostic windows that the reply handlers reach through
// the control book: the test-point windows (frmTestPoint, frmMDITestPoints,
// frmCRTVoltages, frmFlatPanelTestPoints, frmDeflectionStatus, frmHVLimits,
// and the high-voltage window frmMDI_HV, which shows some of the same
// readings), peek and poke, and the I2C probe.

#include "base/controlnames.h"

namespace tvk::ctl {

// Deflection: frequencies and states.
inline const QString HFreqTextBox = QStringLiteral("HFreqTextBox");
inline const QString VertFreqBox = QStringLiteral("VertFreqBox");
inline const QString VFailValue = QStringLiteral("VFailValue");
inline const QString HFailValue = QStringLiteral("HFailValue");

// High voltage: the anode-voltage count and the limits.
inline const QString HVValTextBox = QStringLiteral("HVValTextBox");
inline const QString HVUpperLimitTextBox = QStringLiteral("HVUpperLimitTextBox");
inline const QString HVLowerLimitTextBox = QStringLiteral("HVLowerLimitTextBox");

// Readings.
inline const QString BCtrlValue = QStringLiteral("BCtrlValue");
inline const QString CCtrlValue = QStringLiteral("CCtrlValue");
inline const QString ECCtrlValue = QStringLiteral("ECCtrlValue");
inline const QString IAnodeValue = QStringLiteral("IAnodeValue");
inline const QString VAnodeValue = QStringLiteral("VAnodeValue");
inline const QString LV80Value = QStringLiteral("LV80Value");
inline const QString LV175Value = QStringLiteral("LV175Value");
inline const QString lblCPUP5Value = QStringLiteral("lblCPUP5Value");
inline const QString lblCCtrlX16Value = QStringLiteral("lblCCtrlX16Value");
inline const QString lblLV80Value = QStringLiteral("lblLV80Value");
inline const QString FocusLabel = QStringLiteral("FocusLabel");
inline const QString G2Label = QStringLiteral("G2Label");
inline const QString P5VM = QStringLiteral("P5VM");
inline const QString lblACH4 = QStringLiteral("lblACH4");
inline const QString lblACH5 = QStringLiteral("lblACH5");
inline const QString lblACH6 = QStringLiteral("lblACH6");
inline const QString lblACH7 = QStringLiteral("lblACH7");
// The supply rails, element = rail.
inline QString lblVoltage_(int i) { return element(u"lblVoltage", i); }

// frmPeekPoke.
inline const QString AddressBox = QStringLiteral("AddressBox");
inline const QString DataByteBox = QStringLiteral("DataByteBox");
inline const QString DataWordBox = QStringLiteral("DataWordBox");
inline const QString txtDataChar = QStringLiteral("txtDataChar");

// frmI2cProbe: a device's button is named after its part, "U513" -> "btnU513".
inline QString i2cButton(const char *part) { return QString(QLatin1String("btn")) + QLatin1String(part); }

} // namespace tvk::ctl
