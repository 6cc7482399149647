#include "firmware/firmwarehandlers.h"
#include "base/firmwarenames.h"

#include "base/controlbook.h"
#include "firmware/bootblock.h"
#include "firmware/hexdownload.h"
#include "model/replycontext.h"

namespace tvk {

void applyBootBlockReply(const QString &text, ControlBook &controls)
{
    const BootBlockReport report = ParseBootBlockReply(text);
    for (int i = 0; i < report.count; ++i)
        controls.setText(win::frmBootBlock, ctl::lblValue_(i), report.values[i]);
    if (report.autoBoot)
        controls.setText(win::frmBootBlock, ctl::lblAutoBoot, *report.autoBoot);
}

void installFirmwareHandlers(ReplyHandlers &r, HexDownload &download)
{
    // The engine outlives the dispatcher's handlers (both belong to the core).
    r.on(Route::DownloadReply, [&download](ReplyContext &, const QString &t) { download.HandleRecordReply(t); });
    r.on(Route::FlashLoadReply, [&download](ReplyContext &, const QString &t) { download.HandleEraseReply(t); });
    r.on(Route::SramLoadReply, [&download](ReplyContext &, const QString &t) { download.HandleSramLoadReply(t); });
    r.on(Route::BootBlockState, [](ReplyContext &ctx, const QString &t) { applyBootBlockReply(t, ctx.controls); });
}

} // namespace tvk
