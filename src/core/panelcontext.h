#pragma once
// What every window of the tool may reach: the control book its controls
// mirror, the monitor image, the scope in which the monitor's own state is
// applied, the transmit queue, whether a monitor answers, the status line,
// the other windows and the message box. A window that needs more (the
// communication log, the connector, the download engine) asks for it by name
// in its constructor; none sees the whole program.

#include "base/applying.h"
#include "base/controlbook.h"
#include "model/monitordata.h"

#include <QString>

#include <functional>

namespace tvk {

struct PanelContext {
    ControlBook &controls;
    MonitorData &data;
    MonitorStateApplying &applying;
    // Queues a command (CR LF is added when missing); a newer value of a
    // control replaces its value still waiting to be written.
    std::function<void(const QString &)> send;
    // Queues a read unless the same read already waits (a timer's poll).
    std::function<void(const QString &)> poll;
    // The monitor's application firmware answers.
    std::function<bool()> online;
    // A short note for the main window's status bar.
    std::function<void(const QString &)> showStatus;
    WindowHost &windows;
    UserMessages &messages;
};

} // namespace tvk
