#pragma once
// A port factory that hands device names with a known prefix ("sim:...") to
// the factory registered for it and everything else to a fallback factory
// (normally the real serial ports).

#include "link/serialport.h"

#include <QList>
#include <QPair>

namespace tvk {

class CompositePortFactory : public PortFactory {
public:
    // The factories are not owned and must outlive this one.
    explicit CompositePortFactory(PortFactory *fallback = nullptr) : m_fallback(fallback) {}

    // Device names starting with prefix (case-insensitive) go to factory.
    // Routes are tried in the order they were added; the full name is passed on.
    void addRoute(const QString &prefix, PortFactory *factory);

    std::unique_ptr<SerialPort> create(const QString &deviceName) override;

private:
    QList<QPair<QString, PortFactory *>> m_routes;
    PortFactory *m_fallback = nullptr;
};

} // namespace tvk
