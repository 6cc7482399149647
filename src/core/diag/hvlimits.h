#pragma once
// The high-voltage limits a technician sets from the test-point panels: raw
// counts of the anode-voltage converter, like the "HV Val" reading. A limit
// goes to the monitor only as a whole number within the range the monitor's
// last limits report allows: the upper limit from the lower limit to 255,
// the lower limit from 0 to the upper limit. Before any report both run
// over 0..255.

#include <QString>
#include <QStringView>
#include <functional>
#include <optional>

namespace tvk {

enum class HvLimit { Upper, Lower };

struct HvLimitCheck {
    std::optional<int> value; // the limit to send
    QString problem;          // why nothing is sent
};

// upper, lower: the limits of the last report; both 0 when none came yet.
HvLimitCheck CheckHvLimit(HvLimit which, QStringView text, int upper, int lower);

class UserMessages;

// The Set button beside a limit box, on every window that has one: a limit
// that passes CheckHvLimit is sent ("chu" / "chl") and the limits are read
// back ("dh") so the boxes show what the monitor stored; one that does not
// is said in a message box and nothing is sent.
bool SendHvLimit(HvLimit which, QStringView text, int upper, int lower, UserMessages &messages,
                 const std::function<void(const QString &)> &send);

} // namespace tvk
