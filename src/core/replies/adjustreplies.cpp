#include "core/replies/adjustreplies.h"

#include "app/controlbook.h"
#include "model/monitordata.h"
#include "protocol/dispatcher.h"

#include <algorithm>

namespace tvk {

namespace {

QString indexed(const char *base, int index)
{
    return QString::fromLatin1(base) + QLatin1Char('_') + QString::number(index);
}

// Restores a flag however the applier leaves.
class FlagScope {
public:
    FlagScope(bool &flag, bool value) : m_flag(flag), m_saved(flag) { m_flag = value; }
    ~FlagScope() { m_flag = m_saved; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
    bool m_saved;
};

// Moves a slider to a reported value; a value outside the slider's range is
// shown at the nearest end and never sent back.
void showOnSlider(const AdjustReplyContext &ctx, const QString &window, const QString &slider,
                  int value, int maximum)
{
    const int shown = std::clamp(value, 0, maximum);
    FlagScope showOnly(ctx.showOnly, ctx.showOnly || shown != value);
    ctx.controls.setValue(window, slider, shown);
}

void showLimitBoxes(const AdjustReplyContext &ctx, const QString &window, const HvReport &r)
{
    ctx.controls.setText(window, QStringLiteral("HVUpperLimitTextBox"), zeroPadded(r.upperLimit, 3));
    ctx.controls.setText(window, QStringLiteral("HVLowerLimitTextBox"), zeroPadded(r.lowerLimit, 3));
    // The anode-voltage count comes from the test-point readings; until one
    // arrived there is nothing to show.
    if (ctx.data.AnodeVoltageCount)
        ctx.controls.setText(window, QStringLiteral("HVValTextBox"),
                             zeroPadded(*ctx.data.AnodeVoltageCount, 3));
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
        controls.setChecked(kBacklightWindow, QStringLiteral("ckPhotocell"), *r.photocellEnabled);
    const QString deflectionWindows[] = {kTestPointWindow, kMdiTestPointsWindow, kDeflectionStatusWindow};
    for (const QString &window : deflectionWindows) {
        if (r.vertical)
            controls.setText(window, QStringLiteral("VFailValue"), *r.vertical);
        if (r.horizontal)
            controls.setText(window, QStringLiteral("HFailValue"), *r.horizontal);
    }
    if (r.limits) {
        for (int i = 0; i < kLimitCount; ++i) {
            const QString text = QString::number((*r.limits)[size_t(i)]);
            controls.setText(kLimitsWindowName, indexed("lblLimit", i), text);
            controls.setText(kBrightnessContrastWindowName, indexed("lblLimits", i), text);
        }
    }
    if (r.contrastHysteresis)
        controls.setText(kBrightnessContrastWindowName, QStringLiteral("txtHystC"),
                         QString::number(*r.contrastHysteresis));
    if (r.brightnessHysteresis)
        controls.setText(kBrightnessContrastWindowName, QStringLiteral("txtHystB"),
                         QString::number(*r.brightnessHysteresis));
    if (r.brightnessAutomatic) {
        controls.setChecked(kBrightnessContrastWindowName, QStringLiteral("Option4"), *r.brightnessAutomatic);
        controls.setChecked(kBrightnessContrastWindowName, QStringLiteral("Option3"), !*r.brightnessAutomatic);
    }
    if (r.contrastAutomatic) {
        controls.setChecked(kBrightnessContrastWindowName, QStringLiteral("Option2"), *r.contrastAutomatic);
        controls.setChecked(kBrightnessContrastWindowName, QStringLiteral("Option1"), !*r.contrastAutomatic);
    }
}

void ApplyHvReport(const AdjustReplyContext &ctx, const HvReport &r)
{
    MonitorData &data = ctx.data;
    data.HvUpperLimit = qint16(std::clamp(r.upperLimit, -32768, 32767));
    data.HvLowerLimit = qint16(std::clamp(r.lowerLimit, -32768, 32767));
    const int type = data.MonitorType;
    if (type < 200) {
        showLimitBoxes(ctx, kTestPointWindow, r);
        return;
    }
    if (type > 299)
        return;
    if (type == 200)
        return; // the first units of the family report limits only

    showLimitBoxes(ctx, kMdiHvWindow, r);
    showLimitBoxes(ctx, kHvLimitsWindow, r);
    ControlBook &book = ctx.controls;
    const HvControlValues &hv = r[HvControl::HighVoltage];
    {
        FlagScope quiet(ctx.sendOnChange, false);
        // Every control's present value is shown, so that no slider starts
        // from a position the monitor never reported.
        for (int i = 0; i < kHvControlCount; ++i)
            showOnSlider(ctx, kMdiHvWindow, indexed("HScroll1", i), r.controls[size_t(i)].present, 255);
        showOnSlider(ctx, kG2Window, indexed("HScroll1", 1), hv.present, kG2SliderMaximum);
    }
    for (int i = 0; i < kHvControlCount; ++i) {
        book.setText(kMdiHvWindow, indexed("Text2", i), zeroPadded(r.controls[size_t(i)].factory, 3));
        book.setText(kMdiHvWindow, indexed("Text3", i), zeroPadded(r.controls[size_t(i)].initial, 3));
    }
    book.setText(kG2Window, indexed("Label3", 1), zeroPadded(std::min(hv.initial, kG2SliderMaximum), 2));
    book.setText(kG2Window, indexed("Label4", 1), zeroPadded(std::min(hv.factory, kG2SliderMaximum), 2));
    book.setText(kMdiTestPointsWindow, QStringLiteral("HVUpperLimitTextBox"), zeroPadded(r.upperLimit, 3));
    book.setText(kMdiTestPointsWindow, QStringLiteral("HVLowerLimitTextBox"), zeroPadded(r.lowerLimit, 3));
    book.setText(kMdiTestPointsWindow, QStringLiteral("FocusLabel"),
                 zeroPadded(std::min(r[HvControl::Focus].factory, kG2SliderMaximum), 3));
    book.setText(kMdiTestPointsWindow, QStringLiteral("G2Label"),
                 zeroPadded(std::min(r[HvControl::G2].factory, kG2SliderMaximum), 3));
}

void ApplyDutyCycle(ControlBook &controls, const DutyCycleReply &reply)
{
    const char *box = reply.setting == FilamentSetting::Steady   ? "txtFilSteady"
                    : reply.setting == FilamentSetting::Warmup   ? "txtFilWarmup"
                                                                 : "txtSetFilImmediate";
    controls.setText(kBacklightWindow, QString::fromLatin1(box), reply.value);
}

void installAdjustReplyHandlers(ResponseDispatcher &dispatcher, const AdjustReplyContext &context)
{
    const AdjustReplyContext ctx = context;
    dispatcher.setHandler(Route::LimitsReport, [ctx](const QString &text) {
        ApplyLimitsReport(ctx.controls, ParseLimitsReport(text, ctx.data.MonitorType));
    });
    dispatcher.setHandler(Route::HighVoltage, [ctx](const QString &text) {
        ApplyHvReport(ctx, ParseHvReport(text));
    });
    dispatcher.setHandler(Route::Backlight, [ctx](const QString &text) {
        if (const auto reply = ParseDutyCycle(text))
            ApplyDutyCycle(ctx.controls, *reply);
    });
}

} // namespace tvk
