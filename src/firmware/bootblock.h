#pragma once
// The monitor's boot-block report ("db"): nine configuration bytes, each
// after "= 0x" on a line of its own, then a line "... auto boot <state>".
// Plain parsing; the boot-block window shows the values.

#include <QString>
#include <array>
#include <optional>

namespace tvk {

struct BootBlockReport {
    static constexpr int kValues = 9;
    // Two-character hexadecimal texts, by index (lblValue_0 .. lblValue_8);
    // only the first `count` were in the reply.
    std::array<QString, kValues> values;
    int count = 0;
    // The word after "auto boot " (lblAutoBoot), when the reply had it.
    std::optional<QString> autoBoot;
};

// Nothing (an empty report) when the text holds no "= 0x".
BootBlockReport ParseBootBlockReply(const QString &text);

// Captions of the nine values (lblBB_0 .. lblBB_8).
const std::array<QString, BootBlockReport::kValues> &bootBlockCaptions();

} // namespace tvk
