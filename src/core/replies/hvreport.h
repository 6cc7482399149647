#pragma once
// The monitor's answer to "dh": the high-voltage limits and the present,
// initial and factory values of its four high-voltage controls. Free text
// with labelled fields, each found wherever it stands:
//
//   Upper Limit = 200
//   Lower Limit = 100
//   HV Control Value = 180, 175, 170
//   Focus Control Value = 120, 121, 122
//   G2 Control Value = 40, 41, 42
//   Video +80V Control Value = 90, 91, 92
//
// A missing label or number is not known: it is never read as 0, so a
// report cut short by line noise leaves what it does not carry alone. The
// three numbers of a control are taken from the label's own line only, so a
// line with one number never borrows the next line's values.

#include <QStringView>
#include <array>
#include <optional>

namespace tvk {

struct HvControlValues {
    std::optional<int> present;
    std::optional<int> initial;
    std::optional<int> factory;
    friend bool operator==(const HvControlValues &, const HvControlValues &) = default;
};

// The four controls in the order of their sliders and their "ch" letters.
enum class HvControl { HighVoltage = 0, Focus = 1, G2 = 2, Video = 3 };
inline constexpr int kHvControlCount = 4;
// "h", "f", "g", "v".
char hvControlLetter(HvControl control);

struct HvReport {
    std::optional<int> upperLimit;
    std::optional<int> lowerLimit;
    std::array<HvControlValues, kHvControlCount> controls {};
    const HvControlValues &operator[](HvControl c) const { return controls[size_t(c)]; }
};

HvReport ParseHvReport(QStringView text);

} // namespace tvk
