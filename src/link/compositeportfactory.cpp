#include "link/compositeportfactory.h"

namespace tvk {

void CompositePortFactory::addRoute(const QString &prefix, PortFactory *factory)
{
    if (!prefix.isEmpty() && factory)
        m_routes.append({prefix, factory});
}

std::unique_ptr<SerialPort> CompositePortFactory::create(const QString &deviceName)
{
    for (const auto &route : std::as_const(m_routes)) {
        if (deviceName.startsWith(route.first, Qt::CaseInsensitive))
            return route.second->create(deviceName);
    }
    return m_fallback ? m_fallback->create(deviceName) : nullptr;
}

} // namespace tvk
