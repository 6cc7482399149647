#include "core/replies/operatingmode.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/appshell.h"
#include "model/replycontext.h"
#include "base/texthelpers.h"

namespace tvk {

namespace {

const QString kModelTypePrefix = QStringLiteral("Model Type = ");

// Selects one button of a pair and clears the other, so that the book never
// holds two selected buttons of one frame for a window created later.
void selectPair(ControlBook &book, const QString &window, const QString &whenSet,
                const QString &whenClear, bool set)
{
    book.setChecked(window, set ? whenClear : whenSet, false);
    book.setChecked(window, set ? whenSet : whenClear, true);
}

} // namespace


std::optional<int> ParseOperatingModeWord(QStringView text)
{
    const qsizetype at = text.indexOf(kModelTypePrefix);
    if (at < 0)
        return std::nullopt;
    const int word = ParseNumber(text.mid(at + kModelTypePrefix.size()));
    if (word < 1 || word > 31)
        return std::nullopt;
    return word;
}

OperatingModeOptions OptionsFromWord(int word)
{
    OperatingModeOptions o;
    o.extendedCommands = word & ModeBit::ExtendedCommands;
    o.monochrome = word & ModeBit::Monochrome;
    o.dacUpdating = word & ModeBit::DacUpdating;
    o.brightnessDisabled = word & ModeBit::BrightnessDisabled;
    o.contrastDisabled = word & ModeBit::ContrastDisabled;
    return o;
}

int ComposeOperatingModeWord(const OperatingModeOptions &o)
{
    int word = 0;
    if (o.extendedCommands)
        word += ModeBit::ExtendedCommands;
    if (o.monochrome)
        word += ModeBit::Monochrome;
    if (o.dacUpdating)
        word += ModeBit::DacUpdating;
    if (o.brightnessDisabled)
        word += ModeBit::BrightnessDisabled;
    if (o.contrastDisabled)
        word += ModeBit::ContrastDisabled;
    return word;
}

void HandleOperatingModeReply(ReplyContext &ctx, const QString &text)
{
    MonitorStateApplying::Scope applying(ctx.applying);
    if (const auto word = ParseOperatingModeWord(text))
        ShowOperatingMode(ctx, OptionsFromWord(*word));
}

void ShowOperatingMode(ReplyContext &ctx, const OperatingModeOptions &o)
{
    MonitorStateApplying::Scope applying(ctx.applying);
    ControlBook &book = ctx.controls;
    const QString &w = win::frmOperatingMode;
    selectPair(book, w, ctl::Mirovan_Commands_Enabled_Opt,
               ctl::Mirovan_Commands_Disabled_Opt, o.extendedCommands);
    selectPair(book, w, ctl::MonochromeOption, ctl::ColorOption, o.monochrome);
    selectPair(book, w, ctl::DacUpdatingEnabledOptionButton,
               ctl::DACUpdatingDisabledOptionButton, o.dacUpdating);
    const QString brightnessDisabled = ctl::UserBrightnessDisabledOption;
    const QString brightnessEnabled = ctl::UserBrightnessEnabledOption;
    const QString contrastDisabled = ctl::UserContrastDisabledOption;
    const QString contrastEnabled = ctl::UserContrastEnabledOption;
    selectPair(book, w, brightnessDisabled, brightnessEnabled, o.brightnessDisabled);
    selectPair(book, win::frmBrightnessContrast, brightnessDisabled, brightnessEnabled, o.brightnessDisabled);
    selectPair(book, w, contrastDisabled, contrastEnabled, o.contrastDisabled);
    selectPair(book, win::frmBrightnessContrast, contrastDisabled, contrastEnabled, o.contrastDisabled);
}

} // namespace tvk
