#include "core/replies/adjustreplies.h"
#include "base/adjustnames.h"
#include "base/diagnames.h"
#include "base/infonames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "base/controlbook.h"
#include "model/monitordata.h"
#include "model/replycontext.h"

#include <algorithm>

namespace tvk {

namespace {


// Moves a slider to a reported value; a value outside the slider's range is
// shown at the nearest end and never sent back. A value the report did not
// carry leaves the slider unknown.
void showOnSlider(const ReplyContext &ctx, const QString &window, const QString &slider,
                  std::optional<int> value, int maximum)
{
    if (!value) {
        ctx.controls.clearValue(window, slider);
        return;
    }
    const int shown = std::clamp(*value, 0, maximum);
    const MonitorStateApplying::Scope mode(ctx.applying, shown != *value ? MonitorStateApplying::Mode::ShowOnly
                                                                          : MonitorStateApplying::Mode::Apply);
    ctx.controls.setValue(window, slider, shown);
}

// "007" for 7; an empty box for a value the report did not carry.
QString padded(std::optional<int> value, int digits)
{
    return value ? zeroPadded(*value, digits) : QString();
}

void showLimitBoxes(const ReplyContext &ctx, const QString &window, const HvReport &r)
{
    ctx.controls.setText(window, ctl::HVUpperLimitTextBox, padded(r.upperLimit, 3));
    ctx.controls.setText(window, ctl::HVLowerLimitTextBox, padded(r.lowerLimit, 3));
    // The anode-voltage count comes from the test-point readings; until one
    // arrived there is nothing to show.
    const int anode = ctx.data.LastReading[MonitorData::kAnodeVoltageReading];
    if (anode >= 0)
        ctx.controls.setText(window, ctl::HVValTextBox, zeroPadded(anode, 3));
}

// frmG2's 6-bit slider shows the high-voltage setting only while it fits:
// above 63 the slider is disabled (a step of it would send a value far below
// the monitor's own) and the present box shows the monitor's value.
void showOnG2Slider(const ReplyContext &ctx, std::optional<int> present)
{
    const QString slider = ctl::HScroll1_(1);
    const QString box = ctl::Label2_(1);
    if (!present) {
        ctx.controls.clearValue(win::frmG2, slider);
        ctx.controls.setText(win::frmG2, box, QString());
        return;
    }
    const bool fits = *present >= 0 && *present <= kG2SliderMaximum;
    ctx.controls.setEnabled(win::frmG2, slider, fits);
    if (fits)
        ctx.controls.setValue(win::frmG2, slider, *present);
    ctx.controls.setText(win::frmG2, box, zeroPadded(*present, 2));
}

} // namespace

QString zeroPadded(int value, int digits)
{
    const QString number = QString::number(qAbs(qint64(value))).rightJustified(digits, u'0');
    return value < 0 ? QLatin1Char('-') + number : number;
}

void ApplyLimitsReport(ControlBook &controls, const LimitsReport &r)
{
    if (r.photocellEnabled)
        controls.setChecked(win::frmBacklight, ctl::ckPhotocell, *r.photocellEnabled);
    const QString deflectionWindows[] = {win::frmTestPoint, win::frmMDITestPoints, win::frmDeflectionStatus};
    for (const QString &window : deflectionWindows) {
        if (r.vertical)
            controls.setText(window, ctl::VFailValue, *r.vertical);
        if (r.horizontal)
            controls.setText(window, ctl::HFailValue, *r.horizontal);
    }
    if (r.limits) {
        for (int i = 0; i < kLimitCount; ++i) {
            const QString text = QString::number((*r.limits)[size_t(i)]);
            controls.setText(win::frmLimits, ctl::lblLimit_(i), text);
            controls.setText(win::frmBrightnessContrast, ctl::lblLimits_(i), text);
        }
    }
    if (r.contrastHysteresis)
        controls.setText(win::frmBrightnessContrast, ctl::txtHystC,
                         QString::number(*r.contrastHysteresis));
    if (r.brightnessHysteresis)
        controls.setText(win::frmBrightnessContrast, ctl::txtHystB,
                         QString::number(*r.brightnessHysteresis));
    if (r.brightnessAutomatic) {
        controls.setChecked(win::frmBrightnessContrast, ctl::Option4, *r.brightnessAutomatic);
        controls.setChecked(win::frmBrightnessContrast, ctl::Option3, !*r.brightnessAutomatic);
    }
    if (r.contrastAutomatic) {
        controls.setChecked(win::frmBrightnessContrast, ctl::Option2, *r.contrastAutomatic);
        controls.setChecked(win::frmBrightnessContrast, ctl::Option1, !*r.contrastAutomatic);
    }
}

void ApplyHvReport(const ReplyContext &ctx, const HvReport &r)
{
    MonitorData &data = ctx.data;
    // A limit the report did not carry keeps what was known of it.
    if (r.upperLimit)
        data.HvUpperLimit = qint16(std::clamp(*r.upperLimit, -32768, 32767));
    if (r.lowerLimit)
        data.HvLowerLimit = qint16(std::clamp(*r.lowerLimit, -32768, 32767));
    const int type = data.MonitorType;
    if (belowMdiFamily(type)) {
        showLimitBoxes(ctx, win::frmTestPoint, r);
        return;
    }
    if (flatPanelOrLater(type))
        return;
    if (type == 200)
        return; // the first units of the family report limits only

    showLimitBoxes(ctx, win::frmMDI_HV, r);
    showLimitBoxes(ctx, win::frmHVLimits, r);
    ControlBook &book = ctx.controls;
    const HvControlValues &hv = r[HvControl::HighVoltage];
    {
        MonitorStateApplying::Scope applying(ctx.applying);
        // Every control's present value is shown, so that no slider starts
        // from a position the monitor never reported.
        for (int i = 0; i < kHvControlCount; ++i)
            showOnSlider(ctx, win::frmMDI_HV, ctl::HScroll1_(i), r.controls[size_t(i)].present, 255);
        showOnG2Slider(ctx, hv.present);
    }
    for (int i = 0; i < kHvControlCount; ++i) {
        if (!r.controls[size_t(i)].present)
            book.setText(win::frmMDI_HV, ctl::Text1_(i), QString());
        book.setText(win::frmMDI_HV, ctl::Text2_(i), padded(r.controls[size_t(i)].factory, 3));
        book.setText(win::frmMDI_HV, ctl::Text3_(i), padded(r.controls[size_t(i)].initial, 3));
    }
    const auto upTo63 = [](std::optional<int> v) {
        return v ? std::optional<int>(std::min(*v, kG2SliderMaximum)) : std::nullopt;
    };
    book.setText(win::frmG2, ctl::Label3_(1), padded(upTo63(hv.initial), 2));
    book.setText(win::frmG2, ctl::Label4_(1), padded(upTo63(hv.factory), 2));
    book.setText(win::frmMDITestPoints, ctl::HVUpperLimitTextBox, padded(r.upperLimit, 3));
    book.setText(win::frmMDITestPoints, ctl::HVLowerLimitTextBox, padded(r.lowerLimit, 3));
    book.setText(win::frmMDITestPoints, ctl::FocusLabel,
                 padded(upTo63(r[HvControl::Focus].factory), 3));
    book.setText(win::frmMDITestPoints, ctl::G2Label, padded(upTo63(r[HvControl::G2].factory), 3));
}

void ApplyDutyCycle(ControlBook &controls, const DutyCycleReply &reply)
{
    const QString &box = reply.setting == FilamentSetting::Steady ? ctl::txtFilSteady
                       : reply.setting == FilamentSetting::Warmup ? ctl::txtFilWarmup
                                                                  : ctl::txtSetFilImmediate;
    controls.setText(win::frmBacklight, box, reply.value);
}

void installAdjustReplyHandlers(ReplyHandlers &r)
{
    r.on(Route::LimitsReport, [](ReplyContext &ctx, const QString &text) {
        ApplyLimitsReport(ctx.controls, ParseLimitsReport(text, ctx.data.MonitorType));
    });
    r.on(Route::HighVoltage, [](ReplyContext &ctx, const QString &text) {
        ApplyHvReport(ctx, ParseHvReport(text));
    });
    r.on(Route::Backlight, [](ReplyContext &ctx, const QString &text) {
        if (const auto reply = ParseDutyCycle(text))
            ApplyDutyCycle(ctx.controls, *reply);
    });
}

} // namespace tvk
