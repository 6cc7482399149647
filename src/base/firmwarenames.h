#pragma once
// Controls of the firmware windows (frmSoftware, frmBootBlock) that the
// reply handlers, the shell and the firmware actions reach through the
// control book.

#include "base/controlnames.h"

namespace tvk::ctl {

// frmSoftware.
inline const QString lblFlashVersion = QStringLiteral("lblFlashVersion");
inline const QString lblSRAMFile = QStringLiteral("lblSRAMFile");
inline const QString btnLoadSRAM = QStringLiteral("btnLoadSRAM");
inline const QString btnRunSRAM = QStringLiteral("btnRunSRAM");

// frmBootBlock: the values of the boot block report, and its auto-boot state.
inline QString lblValue_(int i) { return element(u"lblValue", i); }
inline const QString lblAutoBoot = QStringLiteral("lblAutoBoot");

} // namespace tvk::ctl
