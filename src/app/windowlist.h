#pragma once

namespace tvk {
class AppCore;
class DesktopLauncher;
class WindowRegistry;
// Registers every window of the tool with its factory, in one readable list:
// each window gets the context all windows share, and by name what else it
// needs of the program.
void registerWindows(WindowRegistry &registry, AppCore &core, DesktopLauncher &launcher);
} // namespace tvk
