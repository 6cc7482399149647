#pragma once
// The port picker's list: the serial ports the system has, the bundled
// simulator, and every device a port is mapped to that the system does not
// list (a pseudo-terminal, a typed path, a remembered adapter that is not
// plugged in). One row per device; the last column names the ports mapped to
// it. Choosing stores the mapping at once.

#include "core/ports/portmapping.h"

#include <QAbstractTableModel>

namespace tvk {

struct PortPickerEntry {
    enum class Kind { Adapter, Simulator, Device };
    Kind kind = Kind::Device;
    SerialPortEntry port; // device, description, maker, serial number, USB ids
    bool present = true;
};

class PortPickerModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Device, Description, Manufacturer, SerialNumber, UsbIds, Ports, ColumnCount };
    // Offered when no port is mapped to the simulator yet.
    static QString defaultSimulator() { return QStringLiteral("sim:version=2.25"); }

    explicit PortPickerModel(PortMappingStore &store, QObject *parent = nullptr);

    // Asks the system again.
    void refresh();

    const QList<PortPickerEntry> &entries() const { return m_entries; }
    // The row of the device a port is mapped to (-1 for none).
    int rowForPort(int port) const;
    // "Com1, Com3": the ports mapped to a row's device.
    QString portsUsing(int row) const;
    // "present", "not plugged in", "not found", with "this run only" added.
    QString portState(int port) const;

    // Maps a port to a listed device.
    void choose(int port, int row);
    // Maps a port to a typed device path (a listed adapter when it names one).
    void chooseDevice(int port, const QString &device);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    void mappingChanged(int port);

private:
    int rowOfDevice(const QString &device) const;

    PortMappingStore &m_store;
    QList<SerialPortEntry> m_available;
    QList<PortPickerEntry> m_entries;
};

// "pseudo-terminal", "file", or empty, for a device path the system does not
// list as a serial port.
QString describeDevicePath(const QString &device);

} // namespace tvk
