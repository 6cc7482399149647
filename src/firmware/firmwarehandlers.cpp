#include "firmware/firmwarehandlers.h"
#include "base/firmwarenames.h"

#include "base/controlbook.h"
#include "firmware/bootblock.h"
#include "firmware/hexdownload.h"
#include "protocol/dispatcher.h"

namespace tvk {

void applyBootBlockReply(const QString &text, ControlBook &controls)
{
    const BootBlockReport report = ParseBootBlockReply(text);
    for (int i = 0; i < report.count; ++i)
        controls.setText(win::frmBootBlock, ctl::lblValue_(i), report.values[i]);
    if (report.autoBoot)
        controls.setText(win::frmBootBlock, ctl::lblAutoBoot, *report.autoBoot);
}

void installFirmwareHandlers(ResponseDispatcher &dispatcher, HexDownload &download, ControlBook &controls)
{
    dispatcher.setHandler(Route::DownloadReply, [&download](const QString &t) { download.HandleRecordReply(t); });
    dispatcher.setHandler(Route::FlashLoadReply, [&download](const QString &t) { download.HandleEraseReply(t); });
    dispatcher.setHandler(Route::SramLoadReply, [&download](const QString &t) { download.HandleSramLoadReply(t); });
    dispatcher.setHandler(Route::BootBlockState, [&controls](const QString &t) { applyBootBlockReply(t, controls); });
}

} // namespace tvk
