#pragma once
// Controls of the configuration windows that the reply handlers and other
// panels reach through the control book: operating mode, deflection and HV
// enable, scan selection, operating time and the setting of it.

#include "base/controlnames.h"

namespace tvk::ctl {

// frmOperatingMode: each setting is a pair of options. The brightness and
// contrast pairs are on frmBrightnessContrast too.
inline const QString Mirovan_Commands_Enabled_Opt = QStringLiteral("Mirovan_Commands_Enabled_Opt");
inline const QString Mirovan_Commands_Disabled_Opt = QStringLiteral("Mirovan_Commands_Disabled_Opt");
inline const QString MonochromeOption = QStringLiteral("MonochromeOption");
inline const QString ColorOption = QStringLiteral("ColorOption");
inline const QString DacUpdatingEnabledOptionButton = QStringLiteral("DacUpdatingEnabledOptionButton");
inline const QString DACUpdatingDisabledOptionButton = QStringLiteral("DACUpdatingDisabledOptionButton");
inline const QString UserBrightnessEnabledOption = QStringLiteral("UserBrightnessEnabledOption");
inline const QString UserBrightnessDisabledOption = QStringLiteral("UserBrightnessDisabledOption");
inline const QString UserContrastEnabledOption = QStringLiteral("UserContrastEnabledOption");
inline const QString UserContrastDisabledOption = QStringLiteral("UserContrastDisabledOption");

// frmDeflHVEnable.
inline const QString optDeflEnable = QStringLiteral("optDeflEnable");
inline const QString optDeflDisable = QStringLiteral("optDeflDisable");
inline const QString optHVEnable = QStringLiteral("optHVEnable");
inline const QString optHVDisable = QStringLiteral("optHVDisable");

// frmScanSelect: per scan set, the option that selects it and the box that
// enables it.
inline QString ScanSelectChoice_(int i) { return element(u"ScanSelectChoice", i); }
inline QString Check1_(int i) { return element(u"Check1", i); }

// frmOperatingTime.
inline const QString lblOperatingTimeValue = QStringLiteral("lblOperatingTimeValue");
inline const QString lblOperatingCyclesValue = QStringLiteral("lblOperatingCyclesValue");

// frmSetOperatingTimes.
inline const QString OperatingDaysTextBox = QStringLiteral("OperatingDaysTextBox");
inline const QString OperatingHoursTextBox = QStringLiteral("OperatingHoursTextBox");
inline const QString OperatingMinutesTextBox = QStringLiteral("OperatingMinutesTextBox");
inline const QString OperatingSecondsTextBox = QStringLiteral("OperatingSecondsTextBox");
inline const QString OperatingCyclesTextBox = QStringLiteral("OperatingCyclesTextBox");
inline const QString lblSerialNumberValue = QStringLiteral("lblSerialNumberValue");

} // namespace tvk::ctl
