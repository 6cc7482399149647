#pragma once

namespace tvk {
class DesktopLauncher;
class WindowRegistry;
// Registers every window of the tool with its factory, in one readable list.
void registerWindows(WindowRegistry &registry, DesktopLauncher &launcher);
} // namespace tvk
