#pragma once
// Port numbers as the user chooses them ("Com1".."Com4") and the devices
// they stand for. The device of each port is a setting of section "Configs"
// ("Com1Device".."Com4Device"), so a technician can point Com1 at a USB
// adapter without renaming anything.

#include <QString>

namespace tvk {

class Settings;

// "Com1Device" for port 1, and so on.
QString portDeviceKey(int port);
// The device of a port when the settings hold none: "/dev/ttyS0".."/dev/ttyS3"
// on Linux and other Unix systems, "COM1".."COM4" on Windows. Port numbers
// below 1 count as 1.
QString defaultDeviceForPort(int port);
// The device a port number opens: the setting, or the default when the
// setting is missing or blank.
QString deviceForPort(const Settings &settings, int port);

} // namespace tvk
