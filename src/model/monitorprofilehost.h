#pragma once
// The two things a reply does to the main window beyond the control book:
// the firmware version selects the monitor-type menu profile, the capability
// word turns adjustment menus on or off. The main window's state routines
// implement it; tests record the calls.

#include <QString>

namespace tvk {

class MonitorProfileHost {
public:
    virtual ~MonitorProfileHost() = default;
    // Applies the menu profile of a monitor type code (firmware version x 100).
    virtual void applyMonitorTypeProfile(int code) = 0;
    virtual void SetMenuItemEnabled(const QString &menuName, bool enabled) = 0;
};

} // namespace tvk
