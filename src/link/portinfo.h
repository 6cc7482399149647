#pragma once
// What the system says about its serial ports: device path, description,
// maker, serial number and USB ids. The real source asks QSerialPortInfo;
// tests offer a list of made-up adapters instead.

#include <QList>
#include <QString>

namespace tvk {

struct SerialPortEntry {
    QString device;       // what open() takes: "/dev/ttyUSB0", "COM3"
    QString portName;     // "ttyUSB0", "COM3"
    QString description;  // "FT232R USB UART"
    QString manufacturer; // "FTDI"
    QString serialNumber; // empty when the adapter has none
    quint16 vendorId = 0;
    quint16 productId = 0;
    bool hasUsbIds = false;

    // "0403:6001", or empty without USB ids.
    QString usbIds() const;
};

class PortInfoSource {
public:
    virtual ~PortInfoSource() = default;
    virtual QList<SerialPortEntry> availablePorts() const = 0;
};

// QSerialPortInfo::availablePorts().
class QtPortInfoSource : public PortInfoSource {
public:
    QList<SerialPortEntry> availablePorts() const override;
};

// A fixed list (tests, and wherever the list is already known).
class ListPortInfoSource : public PortInfoSource {
public:
    QList<SerialPortEntry> availablePorts() const override { return ports; }
    QList<SerialPortEntry> ports;
};

} // namespace tvk
