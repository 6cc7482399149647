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
// core's ConfigUpdateGuard is set, so those buttons send nothing back.

#include "base/windownames.h"
#include <QString>
#include <QStringView>
#include <optional>

namespace tvk {

class AppCore;

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
// options on "frmBrightnessContrast", under ConfigUpdateGuard.
void ShowOperatingMode(AppCore &core, const OperatingModeOptions &options);
// The DW reply handler: shows a valid word, ignores anything else.
void HandleOperatingModeReply(AppCore &core, const QString &text);

// Sets ConfigUpdateGuard for its lifetime and restores the previous value.
class ConfigUpdateScope {
public:
    explicit ConfigUpdateScope(AppCore &core);
    ~ConfigUpdateScope();
    ConfigUpdateScope(const ConfigUpdateScope &) = delete;
    ConfigUpdateScope &operator=(const ConfigUpdateScope &) = delete;

private:
    AppCore &m_core;
    bool m_previous;
};
} // namespace tvk
