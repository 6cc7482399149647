#include "link/portinfo.h"

#include <QSerialPortInfo>

namespace tvk {

QString SerialPortEntry::usbIds() const
{
    if (!hasUsbIds)
        return {};
    return QStringLiteral("%1:%2")
        .arg(vendorId, 4, 16, QLatin1Char('0'))
        .arg(productId, 4, 16, QLatin1Char('0'));
}

QList<SerialPortEntry> QtPortInfoSource::availablePorts() const
{
    QList<SerialPortEntry> out;
    const QList<QSerialPortInfo> infos = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : infos) {
        SerialPortEntry e;
        e.device = info.systemLocation();
        e.portName = info.portName();
        e.description = info.description();
        e.manufacturer = info.manufacturer();
        e.serialNumber = info.serialNumber();
        e.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        if (e.hasUsbIds) {
            e.vendorId = info.vendorIdentifier();
            e.productId = info.productIdentifier();
        }
        out << e;
    }
    return out;
}

} // namespace tvk
