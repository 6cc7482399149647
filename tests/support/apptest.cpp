#include "apptest.h"

namespace tvk::test {

CoreHarness::CoreHarness()
{
    freshSettingsFolder();
    core = std::make_unique<AppCore>(Platform{&clock, &ports, &beeper, &messages, &dialogs, &dialogs});
    core->windows.setTarget(&windows);
}

CoreHarness::~CoreHarness() = default;

} // namespace tvk::test
