#pragma once
// The reply handlers of the download and
// the boot-block report.

#include "base/windownames.h"

#include <QString>

namespace tvk {

class ControlBook;
class HexDownload;
class ReplyHandlers;

// Record replies, the replies to "bf3" and "bs" go to the engine; the
// boot-block report fills lblValue_0..8 and lblAutoBoot of frmBootBlock.
void installFirmwareHandlers(ReplyHandlers &r, HexDownload &download);

// Puts a boot-block report into the window's labels (labels the reply did not
// reach keep their text).
void applyBootBlockReply(const QString &text, ControlBook &controls);

} // namespace tvk
