#include "core/ports/portpickermodel.h"

#include <QFileInfo>

#include <algorithm>

namespace tvk {

QString describeDevicePath(const QString &device)
{
    const QFileInfo info(device);
    if (!info.exists())
        return {};
    const QString target = info.canonicalFilePath();
    if (target.startsWith(QStringLiteral("/dev/pts/")) || target.startsWith(QStringLiteral("/dev/pty")))
        return target == device ? QStringLiteral("pseudo-terminal")
                                : QStringLiteral("pseudo-terminal ") + target;
    if (info.isFile())
        return QStringLiteral("file");
    return {};
}

PortPickerModel::PortPickerModel(PortMappingStore &store, QObject *parent)
    : QAbstractTableModel(parent), m_store(store)
{
    refresh();
}

void PortPickerModel::refresh()
{
    beginResetModel();
    m_available = m_store.info().availablePorts();
    std::sort(m_available.begin(), m_available.end(),
              [](const SerialPortEntry &a, const SerialPortEntry &b) { return a.device < b.device; });
    m_entries.clear();
    for (const SerialPortEntry &e : std::as_const(m_available))
        m_entries.append({PortPickerEntry::Kind::Adapter, e, true});

    // Mapped devices the system does not list, and the simulator.
    bool simulatorListed = false;
    for (int port = 1; port <= PortMappingStore::kPorts; ++port) {
        const PortChoice c = m_store.choice(port);
        const QString device = m_store.resolve(port, m_available);
        if (rowOfDevice(device) >= 0)
            continue;
        PortPickerEntry entry;
        entry.port.device = device;
        if (PortMappingStore::isSimulator(device)) {
            entry.kind = PortPickerEntry::Kind::Simulator;
            entry.port.description = QStringLiteral("bundled simulator");
            simulatorListed = true;
        } else if (!c.serialNumber.isEmpty()) {
            entry.kind = PortPickerEntry::Kind::Adapter;
            entry.port.serialNumber = c.serialNumber;
            entry.port.description = QStringLiteral("not plugged in");
            entry.present = false;
            const QStringList ids = c.usbIds.split(u':');
            if (ids.size() == 2) {
                bool okV = false, okP = false;
                entry.port.vendorId = quint16(ids[0].toUInt(&okV, 16));
                entry.port.productId = quint16(ids[1].toUInt(&okP, 16));
                entry.port.hasUsbIds = okV && okP;
            }
        } else {
            entry.present = m_store.presence(port, m_available) == PortPresence::Present;
            entry.port.description = entry.present ? describeDevicePath(device) : QStringLiteral("not found");
        }
        m_entries.append(entry);
    }
    for (const PortPickerEntry &e : std::as_const(m_entries))
        simulatorListed = simulatorListed || e.kind == PortPickerEntry::Kind::Simulator;
    if (!simulatorListed) {
        PortPickerEntry sim;
        sim.kind = PortPickerEntry::Kind::Simulator;
        sim.port.device = defaultSimulator();
        sim.port.description = QStringLiteral("bundled simulator");
        m_entries.append(sim);
    }
    endResetModel();
}

int PortPickerModel::rowOfDevice(const QString &device) const
{
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].port.device == device)
            return i;
    }
    return -1;
}

int PortPickerModel::rowForPort(int port) const
{
    const PortChoice c = m_store.choice(port);
    if (!c.serialNumber.isEmpty() && !c.thisRunOnly) {
        for (int i = 0; i < m_entries.size(); ++i) {
            const SerialPortEntry &e = m_entries[i].port;
            if (m_entries[i].kind == PortPickerEntry::Kind::Adapter && e.serialNumber == c.serialNumber
                && (c.usbIds.isEmpty() || !e.hasUsbIds || e.usbIds() == c.usbIds))
                return i;
        }
    }
    return rowOfDevice(m_store.resolve(port, m_available));
}

QString PortPickerModel::portsUsing(int row) const
{
    QStringList ports;
    for (int port = 1; port <= PortMappingStore::kPorts; ++port) {
        if (rowForPort(port) == row)
            ports << QStringLiteral("Com%1").arg(port);
    }
    return ports.join(QStringLiteral(", "));
}

QString PortPickerModel::portState(int port) const
{
    QString state;
    switch (m_store.presence(port, m_available)) {
    case PortPresence::Present: state = QStringLiteral("present"); break;
    case PortPresence::NotPluggedIn: state = QStringLiteral("not plugged in"); break;
    case PortPresence::Missing: state = QStringLiteral("not found"); break;
    }
    if (m_store.choice(port).thisRunOnly)
        state += QStringLiteral(", this run only");
    return state;
}

void PortPickerModel::choose(int port, int row)
{
    if (row < 0 || row >= m_entries.size())
        return;
    const PortPickerEntry e = m_entries[row];
    if (e.kind == PortPickerEntry::Kind::Adapter && !e.port.serialNumber.isEmpty())
        m_store.mapToAdapter(port, e.port);
    else
        m_store.mapToDevice(port, e.port.device);
    refresh();
    emit mappingChanged(port);
}

void PortPickerModel::chooseDevice(int port, const QString &device)
{
    const QString d = device.trimmed();
    if (d.isEmpty())
        return;
    const int row = rowOfDevice(d);
    if (row >= 0 && m_entries[row].kind == PortPickerEntry::Kind::Adapter && m_entries[row].present) {
        choose(port, row);
        return;
    }
    m_store.mapToDevice(port, d);
    refresh();
    emit mappingChanged(port);
}

int PortPickerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

int PortPickerModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PortPickerModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size() || role != Qt::DisplayRole)
        return {};
    const PortPickerEntry &e = m_entries[index.row()];
    switch (index.column()) {
    case Device: return e.port.device;
    case Description: return e.port.description;
    case Manufacturer: return e.port.manufacturer;
    case SerialNumber: return e.port.serialNumber;
    case UsbIds: return e.port.usbIds();
    case Ports: return portsUsing(index.row());
    default: return {};
    }
}

QVariant PortPickerModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case Device: return QStringLiteral("Device");
    case Description: return QStringLiteral("Description");
    case Manufacturer: return QStringLiteral("Manufacturer");
    case SerialNumber: return QStringLiteral("Serial number");
    case UsbIds: return QStringLiteral("USB ids");
    case Ports: return QStringLiteral("Mapped to");
    default: return {};
    }
}

} // namespace tvk
