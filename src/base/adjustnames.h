#pragma once
// Controls of the adjustment windows that the reply handlers and the shell
// reach through the control book: colour balance (frmVideoAdj), geometry
// (frmGeometryAdj), high voltage (frmMDI_HV, frmG2), brightness and contrast
// (frmBrightnessContrast) and the backlight (frmBacklight).

#include "base/controlnames.h"

namespace tvk::ctl {

// Slider rows, element = channel (or row): the slider, the present, factory
// and initial value boxes, the caption.
inline QString HScroll1_(int i) { return element(u"HScroll1", i); } // video L, geometry V, MDI HV, G2
inline QString Text1_(int i) { return element(u"Text1", i); }
inline QString Text2_(int i) { return element(u"Text2", i); }
inline QString Text3_(int i) { return element(u"Text3", i); }
inline QString Label1_(int i) { return element(u"Label1", i); }
inline QString HScroll2_(int i) { return element(u"HScroll2", i); } // video B, geometry N
inline QString BText1_(int i) { return element(u"BText1", i); }
inline QString BText2_(int i) { return element(u"BText2", i); }
inline QString BText3_(int i) { return element(u"BText3", i); }
inline QString HHScroll1_(int i) { return element(u"HHScroll1", i); } // geometry H
inline QString HText1_(int i) { return element(u"HText1", i); }
inline QString HText2_(int i) { return element(u"HText2", i); }
inline QString HText3_(int i) { return element(u"HText3", i); }
inline QString NText4_(int i) { return element(u"NText4", i); } // geometry N
inline QString NText5_(int i) { return element(u"NText5", i); }
inline QString NText6_(int i) { return element(u"NText6", i); }
// frmG2: present, initial and factory labels of its one slider (element 1).
inline QString Label2_(int i) { return element(u"Label2", i); }
inline QString Label3_(int i) { return element(u"Label3", i); }
inline QString Label4_(int i) { return element(u"Label4", i); }

// frmVideoAdj.
inline const QString VideoSetInitialSettingsButton = QStringLiteral("VideoSetInitialSettingsButton");

// frmBrightnessContrast: contrast is DAC channel L0, brightness L1.
inline const QString HScroll_Contrast = QStringLiteral("HScroll_Contrast");
inline const QString lblContrastPV = QStringLiteral("lblContrastPV");
inline const QString Label12 = QStringLiteral("Label12"); // contrast initial
inline const QString Label15 = QStringLiteral("Label15"); // contrast factory
inline const QString HScroll_Brightness = QStringLiteral("HScroll_Brightness");
inline const QString Label18 = QStringLiteral("Label18"); // brightness present
inline const QString Label31 = QStringLiteral("Label31"); // brightness initial
inline const QString Label33 = QStringLiteral("Label33"); // brightness factory
// The eight limits: contrast day lower/upper, night lower/upper, then brightness.
inline QString lblLimits_(int i) { return element(u"lblLimits", i); }
inline const QString lblHystC = QStringLiteral("lblHystC");
inline const QString txtHystC = QStringLiteral("txtHystC");
inline const QString btnSetHystC = QStringLiteral("btnSetHystC");
inline const QString txtHystB = QStringLiteral("txtHystB");
// Software control disabled / enabled: contrast, then brightness.
inline const QString Option1 = QStringLiteral("Option1");
inline const QString Option2 = QStringLiteral("Option2");
inline const QString Option3 = QStringLiteral("Option3");
inline const QString Option4 = QStringLiteral("Option4");
inline const QString btnSetDefaultsContrast = QStringLiteral("btnSetDefaultsContrast");
inline const QString btnSetDefaultsBrightness = QStringLiteral("btnSetDefaultsBrightness");

// frmBacklight.
inline const QString txtFilWarmup = QStringLiteral("txtFilWarmup");
inline const QString txtFilSteady = QStringLiteral("txtFilSteady");
inline const QString txtSetFilImmediate = QStringLiteral("txtSetFilImmediate");
inline const QString ckPhotocell = QStringLiteral("ckPhotocell");

} // namespace tvk::ctl
