#pragma once
// Which device each of the ports "Com1".."Com4" opens, and remembering it.
//
// A port maps to a device path ("Configs"/"Com1Device".."Com4Device", the
// keys the link reads). When the user picks a USB adapter that has a
// serial number, its serial number and USB ids are kept too
// ("Com1SerialNumber", "Com1UsbIds"), so the adapter is found again when it
// comes back under another device name. A device given on the command line
// serves for this run only and is never stored.

#include "link/portinfo.h"

#include <QList>
#include <QObject>
#include <QString>
#include <array>

namespace tvk {

class Settings;

enum class PortPresence {
    Present,      // the device is there (or the simulator, always there)
    NotPluggedIn, // a remembered adapter the system does not list now
    Missing,      // a device path that does not exist
};

struct PortChoice {
    QString device;       // the device path as stored (or given for this run)
    QString serialNumber; // of the remembered adapter; empty for a plain path
    QString usbIds;       // "0403:6001" of the remembered adapter, or empty
    bool thisRunOnly = false;
};

class PortMappingStore : public QObject {
    Q_OBJECT
public:
    static constexpr int kPorts = 4;

    // Neither is owned; both must outlive the store.
    PortMappingStore(Settings &settings, const PortInfoSource &info, QObject *parent = nullptr);

    static QString serialNumberKey(int port); // "Com1SerialNumber"
    static QString usbIdsKey(int port);       // "Com1UsbIds"
    static bool isSimulator(const QString &device);

    PortChoice choice(int port) const;

    // An adapter the system lists: stored at once, with its serial number
    // when it has one.
    void mapToAdapter(int port, const SerialPortEntry &adapter);
    // A device path typed by the user, or the simulator: stored at once; a
    // remembered adapter is forgotten.
    void mapToDevice(int port, const QString &device);
    // For this run only (the command line); cleared by a mapping the user makes.
    void setThisRunDevice(int port, const QString &device);

    // The device a port opens now: the remembered adapter under whatever
    // name it has now, else the stored path (or the platform's default).
    QString resolve(int port) const;
    QString resolve(int port, const QList<SerialPortEntry> &available) const;
    PortPresence presence(int port, const QList<SerialPortEntry> &available) const;
    // The option button's tool tip: the device, then what is known of it.
    QString describe(int port) const;
    QString describe(int port, const QList<SerialPortEntry> &available) const;

    const PortInfoSource &info() const { return m_info; }

signals:
    // The user mapped a port to another device.
    void changed(int port);

private:
    static bool valid(int port) { return port >= 1 && port <= kPorts; }
    const SerialPortEntry *findAdapter(const PortChoice &c, const QList<SerialPortEntry> &available) const;

    Settings &m_settings;
    const PortInfoSource &m_info;
    std::array<QString, kPorts> m_thisRun;
};

} // namespace tvk
