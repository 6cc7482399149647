#include "core/diag/diaghandlers.h"
#include "base/confignames.h"
#include "base/diagnames.h"
#include "base/windownames.h"

#include "base/controlbook.h"
#include "core/diag/i2cprobe.h"
#include "core/diag/memoryreplies.h"
#include "model/replycontext.h"
#include "core/replies/operatingmode.h"

namespace tvk {

bool DisplayTypeKnown(const ControlBook &controls)
{
    return controls.checked(win::frmOperatingMode, ctl::MonochromeOption).has_value();
}

bool DisplayIsColour(const ControlBook &controls)
{
    return !controls.checked(win::frmOperatingMode, ctl::MonochromeOption).value_or(false);
}

void ApplyTestPoints(const ReplyContext &context, TestPointFamily family, const TestPointReply &reply)
{
    const qint64 now = context.clock.nowMs();
    for (const TestPointValue &v : reply.values) {
        for (const QString &window : testPointWindows(family, v.control))
            context.controls.setText(window, v.control, v.text);
        // A label two fields share (focus and the blue gun's G2) keeps the
        // history of what it shows: the last one written.
        if (v.value && reply.find(v.control) == &v)
            context.history.add(trendKey(family, v.control), now, *v.value);
    }
    for (int i = 0; i < kKeptReadings; ++i) {
        if (reply.kept[size_t(i)])
            context.data.LastReading[size_t(i)] = *reply.kept[size_t(i)];
    }
}

void installDiagHandlers(ReplyHandlers &r)
{
    r.on(Route::TestPoints1, [](ReplyContext &c, const QString &text) {
        ApplyTestPoints(c, TestPointFamily::Early, ParseEarlyTestPoints(text, DisplayIsColour(c.controls)));
    });
    r.on(Route::TestPoints2, [](ReplyContext &c, const QString &text) {
        ApplyTestPoints(c, TestPointFamily::Mdi, ParseMdiTestPoints(text));
    });
    r.on(Route::TestPoints3, [](ReplyContext &c, const QString &text) {
        ApplyTestPoints(c, TestPointFamily::FlatPanel, ParseFlatPanelTestPoints(text));
    });
    r.on(Route::MemoryRead, [](ReplyContext &c, const QString &text) {
        if (const auto read = ParseMemoryRead(text))
            c.controls.setText(win::frmPeekPoke, read->control, read->text);
    });
    r.on(Route::Address, [](ReplyContext &c, const QString &address) {
        c.controls.setText(win::frmPeekPoke, ctl::AddressBox, address);
    });
    r.onProbe([](ReplyContext &c, const QString &text, int colour) {
        for (const QString &button : ButtonsForProbeResult(text))
            c.controls.setColor(win::frmI2cProbe, button, colour);
    });
}

} // namespace tvk
