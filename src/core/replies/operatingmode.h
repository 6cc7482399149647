#pragma once
// The monitor's operating-mode word ("dw" reads it, "cw" + decimal writes
// it): five switches stored in the monitor.
//
//   16  extended ("Mirovan") command set enabled
//    8  display type: set for a monochrome display, clear for colour
//    4  5-second DAC updating enabled
//    2  user brightness control disabled by default after power-on
//    1  user contrast control disabled by default after power-on
//
// The display-type bit has the same meaning when read and when written, so
// writing back a word just read never changes the display type.
//
// While a reply selects option buttons of the configuration panels the
// monitor's state is being applied, so those buttons send nothing back.

#include "base/windownames.h"
#include <QString>
#include <QStringView>
#include <optional>

namespace tvk {

struct ReplyContext;

namespace ModeBit {
inline constexpr int ExtendedCommands = 16;
inline constexpr int Monochrome = 8;
inline constexpr int DacUpdating = 4;
inline constexpr int BrightnessDisabled = 2;
inline constexpr int ContrastDisabled = 1;
} // namespace ModeBit

struct OperatingModeOptions {
    bool extendedCommands = true;
    bool monochrome = false;
    bool dacUpdating = false;
    bool brightnessDisabled = false;
    bool contrastDisabled = false;
    bool operator==(const OperatingModeOptions &) const = default;
};

// The word after "Model Type = " (decimal, octal with a leading 0 or hex
// with 0x); nothing when the text lacks it or the word is not 1..31.
std::optional<int> ParseOperatingModeWord(QStringView text);
OperatingModeOptions OptionsFromWord(int word);
int ComposeOperatingModeWord(const OperatingModeOptions &options);

// Selects the options on "frmOperatingMode" and the two user-control
// options on "frmBrightnessContrast", while the monitor's state is being applied.
void ShowOperatingMode(ReplyContext &ctx, const OperatingModeOptions &options);
// The DW reply handler: shows a valid word, ignores anything else.
void HandleOperatingModeReply(ReplyContext &ctx, const QString &text);

} // namespace tvk
