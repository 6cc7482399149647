#include "link/portmap.h"

#include "base/settings.h"

#include <algorithm>

namespace tvk {

QString portDeviceKey(int port)
{
    return QStringLiteral("Com%1Device").arg(std::max(1, port));
}

QString defaultDeviceForPort(int port)
{
    const int n = std::max(1, port);
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(n);
#else
    return QStringLiteral("/dev/ttyS%1").arg(n - 1);
#endif
}

QString deviceForPort(const Settings &settings, int port)
{
    const QString fallback = defaultDeviceForPort(port);
    const QString device = settings
                               .read(AppName::Tarvikon, SettingsSection::Configs,
                                     portDeviceKey(port), fallback)
                               .trimmed();
    return device.isEmpty() ? fallback : device;
}

} // namespace tvk
