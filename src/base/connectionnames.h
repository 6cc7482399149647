#pragma once
// Controls of the connection windows (frmConnect, frmTrying) and the
// communication log (frmCommLog) that the connector, the shell and the
// firmware actions reach through the control book.

#include "base/controlnames.h"

namespace tvk::ctl {

// frmConnect and frmCommLog: the link indicator.
inline const QString btnInd = QStringLiteral("btnInd");
// frmConnect: the status line.
inline const QString lbl1 = QStringLiteral("lbl1");

// frmTrying: the retry limit and the tries left.
inline const QString lblLimit = QStringLiteral("lblLimit");
inline const QString lblToGo = QStringLiteral("lblToGo");

// frmCommLog.
inline const QString ckXmitQueueOverride = QStringLiteral("ckXmitQueueOverride");
inline const QString lblXmitQueueOverride = QStringLiteral("lblXmitQueueOverride");
inline const QString ckWindowEnabled = QStringLiteral("ckWindowEnabled");
inline const QString btnCheckOff = QStringLiteral("btnCheckOff");
inline const QString btnCheckOn = QStringLiteral("btnCheckOn");
inline const QString btnDisableAutoping = QStringLiteral("btnDisableAutoping");

} // namespace tvk::ctl
