#pragma once
// Controls of the information windows that the reply handlers and the shell
// reach through the control book: version, capability, ID, model and serial
// number, limits, current scan set.

#include "base/controlnames.h"

#include <array>

namespace tvk::ctl {

// frmVersion (and the shell clears them when the monitor goes).
inline const QString lblMonitorFirmwareVersionValue = QStringLiteral("lblMonitorFirmwareVersionValue");
inline const QString lblMonitorEpromVersionValue = QStringLiteral("lblMonitorEpromVersionValue");

// frmCapability: one indicator per bit of the capability word, bit 0 first.
inline const std::array<QString, 8> capabilityIndicators = {
    QStringLiteral("btnLVPS"), QStringLiteral("btnPwrDist"),     QStringLiteral("btnVideo"),
    QStringLiteral("btnDeflection"), QStringLiteral("btnNS"),    QStringLiteral("btnConvergence"),
    QStringLiteral("btnG2"),   QStringLiteral("btnExpLEDs")};

// frmID: the numbers as read.
inline const QString lblModel = QStringLiteral("lblModel");
inline const QString lblSerial = QStringLiteral("lblSerial");
inline const QString lblPart = QStringLiteral("lblPart");
inline const QString lblLVPSSerialValue = QStringLiteral("lblLVPSSerialValue");
inline const QString lblLVPSPartNumberValue = QStringLiteral("lblLVPSPartNumberValue");
inline const QString lblDeflSerialValue = QStringLiteral("lblDeflSerialValue");
inline const QString lblDeflPartValue = QStringLiteral("lblDeflPartValue");
inline const QString lblConvSerialValue = QStringLiteral("lblConvSerialValue");
inline const QString lblConvPartValue = QStringLiteral("lblConvPartValue");
inline const QString lblVideoSerialValue = QStringLiteral("lblVideoSerialValue");
inline const QString lblVideoPartValue = QStringLiteral("lblVideoPartValue");
inline const QString lblCPUSerialValue = QStringLiteral("lblCPUSerialValue");
inline const QString lblCPUPartValue = QStringLiteral("lblCPUPartValue");
inline const QString lblCRTSerialValue = QStringLiteral("lblCRTSerialValue");
inline const QString lblCRTPartValue = QStringLiteral("lblCRTPartValue");
inline const QString lblHVPSSerialValue = QStringLiteral("lblHVPSSerialValue");
inline const QString lblHVPSPartValue = QStringLiteral("lblHVPSPartValue");
inline const QString lblHVPSModelValue = QStringLiteral("lblHVPSModelValue");
inline const QString lblFocusSerialValue = QStringLiteral("lblFocusSerialValue");
inline const QString lblFocusPartValue = QStringLiteral("lblFocusPartValue");
inline const QString lblFocusModelValue = QStringLiteral("lblFocusModelValue");
inline const QString lblG2PartValue = QStringLiteral("lblG2PartValue");
inline const QString lblG2SerialValue = QStringLiteral("lblG2SerialValue");

// frmSetModelAndSerialNumber: the boxes the numbers are edited in.
inline const QString txtModel = QStringLiteral("txtModel");
inline const QString txtSerial = QStringLiteral("txtSerial");
inline const QString txtPart = QStringLiteral("txtPart");
inline const QString txtLVPSSerial = QStringLiteral("txtLVPSSerial");
inline const QString txtLVPSPart = QStringLiteral("txtLVPSPart");
inline const QString txtDeflSerial = QStringLiteral("txtDeflSerial");
inline const QString txtDeflPart = QStringLiteral("txtDeflPart");
inline const QString txtConvSerial = QStringLiteral("txtConvSerial");
inline const QString txtConvPart = QStringLiteral("txtConvPart");
inline const QString txtVideoSerial = QStringLiteral("txtVideoSerial");
inline const QString txtVideoPart = QStringLiteral("txtVideoPart");
inline const QString txtCPUSerial = QStringLiteral("txtCPUSerial");
inline const QString txtCPUPart = QStringLiteral("txtCPUPart");
inline const QString txtCRTSerial = QStringLiteral("txtCRTSerial");
inline const QString txtCRTPart = QStringLiteral("txtCRTPart");
inline const QString txtHVPSSerial = QStringLiteral("txtHVPSSerial");
inline const QString txtHVPSPart = QStringLiteral("txtHVPSPart");
inline const QString txtHVPSModel = QStringLiteral("txtHVPSModel");
inline const QString txtFocusSerial = QStringLiteral("txtFocusSerial");
inline const QString txtFocusPart = QStringLiteral("txtFocusPart");
inline const QString txtFocusModel = QStringLiteral("txtFocusModel");
inline const QString txtG2Part = QStringLiteral("txtG2Part");
inline const QString txtG2Serial = QStringLiteral("txtG2Serial");

// frmLimits: the eight brightness and contrast limits.
inline QString lblLimit_(int i) { return element(u"lblLimit", i); }

// frmCurrentScanSet.
inline const QString lblScanNumber = QStringLiteral("lblScanNumber");
inline const QString lblScanName = QStringLiteral("lblScanName");
inline const QString lblScanHFreq = QStringLiteral("lblScanHFreq");
inline const QString lblScanVFreq = QStringLiteral("lblScanVFreq");

} // namespace tvk::ctl
