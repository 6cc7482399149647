#include "apptest.h"

namespace tvk::test {

QString queuedCommands(const AppCore &core)
{
    return core.link.pendingCommand() + core.link.XmitQueue();
}

CoreHarness::CoreHarness()
{
    freshSettingsFolder();
    core = std::make_unique<AppCore>(Platform{&clock, &ports, &beeper, &messages, &dialogs, &dialogs});
    core->windows.setTarget(&windows);
}

CoreHarness::~CoreHarness() = default;

} // namespace tvk::test
