#include "core/ports/portmapping.h"

#include "base/settings.h"
#include "link/portmap.h"

#include <QDir>
#include <QFileInfo>

namespace tvk {

namespace {
QString readConfig(const Settings &s, const QString &key)
{
    return s.read(AppName::Tarvikon, SettingsSection::Configs, key, QString()).trimmed();
}
} // namespace

PortMappingStore::PortMappingStore(Settings &settings, const PortInfoSource &info, QObject *parent)
    : QObject(parent), m_settings(settings), m_info(info)
{
}

QString PortMappingStore::serialNumberKey(int port) { return QStringLiteral("Com%1SerialNumber").arg(port); }
QString PortMappingStore::usbIdsKey(int port) { return QStringLiteral("Com%1UsbIds").arg(port); }

bool PortMappingStore::isSimulator(const QString &device)
{
    return device.startsWith(QStringLiteral("sim:"), Qt::CaseInsensitive);
}

PortChoice PortMappingStore::choice(int port) const
{
    PortChoice c;
    if (valid(port) && !m_thisRun[port - 1].isEmpty()) {
        c.device = m_thisRun[port - 1];
        c.thisRunOnly = true;
        return c;
    }
    c.device = deviceForPort(m_settings, port);
    if (valid(port)) {
        c.serialNumber = readConfig(m_settings, serialNumberKey(port));
        c.usbIds = readConfig(m_settings, usbIdsKey(port));
    }
    return c;
}

void PortMappingStore::mapToAdapter(int port, const SerialPortEntry &adapter)
{
    if (!valid(port) || adapter.device.trimmed().isEmpty())
        return;
    m_thisRun[port - 1].clear();
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, portDeviceKey(port), adapter.device.trimmed());
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, serialNumberKey(port),
                     adapter.serialNumber.trimmed());
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, usbIdsKey(port),
                     adapter.serialNumber.trimmed().isEmpty() ? QString() : adapter.usbIds());
    m_settings.sync();
    emit changed(port);
}

void PortMappingStore::mapToDevice(int port, const QString &device)
{
    const QString d = device.trimmed();
    if (!valid(port) || d.isEmpty())
        return;
    m_thisRun[port - 1].clear();
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, portDeviceKey(port), d);
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, serialNumberKey(port), QString());
    m_settings.write(AppName::Tarvikon, SettingsSection::Configs, usbIdsKey(port), QString());
    m_settings.sync();
    emit changed(port);
}

void PortMappingStore::setThisRunDevice(int port, const QString &device)
{
    if (valid(port))
        m_thisRun[port - 1] = device.trimmed();
}

const SerialPortEntry *PortMappingStore::findAdapter(const PortChoice &c,
                                                     const QList<SerialPortEntry> &available) const
{
    if (c.serialNumber.isEmpty())
        return nullptr;
    for (const SerialPortEntry &e : available) {
        // Serial numbers are only unique per maker: the USB ids must agree
        // too when they were stored.
        if (e.serialNumber == c.serialNumber && (c.usbIds.isEmpty() || e.usbIds() == c.usbIds))
            return &e;
    }
    return nullptr;
}

QString PortMappingStore::resolve(int port) const
{
    // Asking the system for its ports takes a while: only a remembered
    // adapter needs it.
    const PortChoice c = choice(port);
    return c.serialNumber.isEmpty() ? c.device : resolve(port, m_info.availablePorts());
}

QString PortMappingStore::resolve(int port, const QList<SerialPortEntry> &available) const
{
    const PortChoice c = choice(port);
    if (const SerialPortEntry *e = findAdapter(c, available))
        return e->device;
    return c.device;
}

PortPresence PortMappingStore::presence(int port, const QList<SerialPortEntry> &available) const
{
    const PortChoice c = choice(port);
    if (isSimulator(c.device))
        return PortPresence::Present;
    if (!c.serialNumber.isEmpty())
        return findAdapter(c, available) ? PortPresence::Present : PortPresence::NotPluggedIn;
    for (const SerialPortEntry &e : available) {
        if (e.device == c.device || e.portName == c.device)
            return PortPresence::Present;
    }
    return QFileInfo::exists(c.device) ? PortPresence::Present : PortPresence::Missing;
}

QString PortMappingStore::describe(int port) const
{
    const PortChoice c = choice(port);
    if (!c.serialNumber.isEmpty())
        return describe(port, m_info.availablePorts());
    // Without asking the system: what the path itself tells.
    QStringList facts;
    if (isSimulator(c.device))
        facts << QStringLiteral("bundled simulator");
    else if (QDir::isAbsolutePath(c.device) && !QFileInfo::exists(c.device))
        facts << QStringLiteral("not found");
    if (c.thisRunOnly)
        facts << QStringLiteral("this run only");
    return facts.isEmpty() ? c.device : c.device + QStringLiteral(" (") + facts.join(QStringLiteral(", ")) + u')';
}

QString PortMappingStore::describe(int port, const QList<SerialPortEntry> &available) const
{
    const PortChoice c = choice(port);
    const QString device = resolve(port, available);
    QStringList facts;
    if (isSimulator(device)) {
        facts << QStringLiteral("bundled simulator");
    } else if (const SerialPortEntry *e = findAdapter(c, available)) {
        if (!e->description.isEmpty())
            facts << e->description;
        facts << QStringLiteral("serial number ") + e->serialNumber;
    } else {
        switch (presence(port, available)) {
        case PortPresence::NotPluggedIn:
            facts << QStringLiteral("adapter with serial number %1 not plugged in").arg(c.serialNumber);
            break;
        case PortPresence::Missing: facts << QStringLiteral("not found"); break;
        case PortPresence::Present:
            for (const SerialPortEntry &e : available) {
                if (e.device == device && !e.description.isEmpty())
                    facts << e.description;
            }
            break;
        }
    }
    if (c.thisRunOnly)
        facts << QStringLiteral("this run only");
    return facts.isEmpty() ? device : device + QStringLiteral(" (") + facts.join(QStringLiteral(", ")) + u')';
}

} // namespace tvk
