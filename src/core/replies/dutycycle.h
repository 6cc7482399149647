#pragma once
// The monitor's answers to the backlight reads "drs", "drw" and "drf": one
// line "Duty Cycle = 128 %". The text is what follows the letters "D" and
// "R" of the echo; its first letter (any case) selects the box: "S" steady,
// "W" warm-up, "A", "B", "D", "E", "F", "M", "N" the temporary setting.

#include <QString>
#include <QStringView>
#include <optional>

namespace tvk {

enum class FilamentSetting { Steady, Warmup, Immediate };

struct DutyCycleReply {
    FilamentSetting setting;
    QString value; // the figure after the label, without the per-cent sign
    friend bool operator==(const DutyCycleReply &, const DutyCycleReply &) = default;
};

// Nothing for another letter or a text without "Duty Cycle = ".
std::optional<DutyCycleReply> ParseDutyCycle(QStringView text);

} // namespace tvk
