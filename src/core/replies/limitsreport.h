#pragma once
// The monitor's answer to "dp": one report shared by several panels - the
// photocell state, the vertical and horizontal deflection states, the eight
// brightness and contrast limits, the two hysteresis values and the flags of
// the automatic brightness and contrast control.
//
// The text is what follows the letters "D" and "P" of the echo, leading
// white space removed: its first and third characters are the vertical and
// horizontal deflection states ("0" operating, "1" not); the labels
// "Photocell Enabled", "Photocell Disabled", "Limits " and "BC" may stand
// anywhere in it. Each item is independent: a missing label leaves its item
// out.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace tvk {

inline constexpr int kLimitCount = 8;

struct LimitsReport {
    // Ticked or clear; with both labels present the box ends clear.
    std::optional<bool> photocellEnabled;
    // "Operating" or "Not Operating".
    std::optional<QString> vertical;
    std::optional<QString> horizontal;
    // Limits 0..7: contrast day lower/upper, night lower/upper, then the
    // same four for brightness.
    std::optional<std::array<int, kLimitCount>> limits;
    // Contrast and brightness hysteresis (MonitorType 216..300 only).
    std::optional<int> contrastHysteresis;
    std::optional<int> brightnessHysteresis;
    // Automatic control enabled (flag "0") or disabled (MonitorType
    // 216..299 only).
    std::optional<bool> brightnessAutomatic;
    std::optional<bool> contrastAutomatic;
};

// "Operating" for "0", "Not Operating" for "1", nothing for anything else.
std::optional<QString> DeflectionStateText(QChar flag);

LimitsReport ParseLimitsReport(QStringView text, int monitorType);

} // namespace tvk
