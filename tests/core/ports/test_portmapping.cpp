// The port map as the user manages it, with made-up adapters behind the
// serial-port information seam: what is stored, how a remembered adapter is
// found again under another device name, what the picker lists.

#include "base/settings.h"
#include "core/ports/portmapping.h"
#include "core/ports/portpickermodel.h"
#include "link/portmap.h"
#include "pty.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;

namespace {

SerialPortEntry adapter(const QString &device, const QString &serial, quint16 vid = 0x0403,
                        quint16 pid = 0x6001, const QString &description = QStringLiteral("FT232R USB UART"))
{
    SerialPortEntry e;
    e.device = device;
    e.portName = device.section(u'/', -1);
    e.description = description;
    e.manufacturer = QStringLiteral("FTDI");
    e.serialNumber = serial;
    e.vendorId = vid;
    e.productId = pid;
    e.hasUsbIds = true;
    return e;
}

QString stored(const QString &key)
{
    // A second store reads what reached the file.
    Settings other;
    return other.read(AppName::Tarvikon, SettingsSection::Configs, key, QStringLiteral("<none>"));
}

struct Fresh {
    Fresh() { test::freshSettingsFolder(); }
};

struct Rig : Fresh {
    Settings settings;
    ListPortInfoSource system;
    PortMappingStore store{settings, system};
};

} // namespace

class TestPortMapping : public QObject {
    Q_OBJECT
private slots:
    void adapterIsStoredAtOnce_andFoundAgainUnderAnotherName();
    void serialNumberAlone_isNotEnoughAcrossMakers();
    void typedPath_forgetsTheAdapter_andPresenceFollowsTheFile();
    void thisRunDevice_isNeverStored_andTheUsersChoiceEndsIt();
    void pickerLists_adaptersSimulatorAndMappedDevices();
    void pickerChoices_storeAndMoveTheMappedToColumn();
};

void TestPortMapping::adapterIsStoredAtOnce_andFoundAgainUnderAnotherName()
{
    Rig r;
    const SerialPortEntry ftdi = adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("A10K3XQ"));
    r.system.ports = {ftdi};
    QSignalSpy changed(&r.store, &PortMappingStore::changed);
    r.store.mapToAdapter(2, ftdi);
    QCOMPARE(changed.size(), 1);
    QCOMPARE(changed.first().first().toInt(), 2);
    QCOMPARE(stored(QStringLiteral("Com2Device")), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(stored(QStringLiteral("Com2SerialNumber")), QStringLiteral("A10K3XQ"));
    QCOMPARE(stored(QStringLiteral("Com2UsbIds")), QStringLiteral("0403:6001"));
    QCOMPARE(r.store.resolve(2), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(r.store.presence(2, r.system.ports), PortPresence::Present);
    QVERIFY2(r.store.describe(2).contains(QStringLiteral("serial number A10K3XQ")), qPrintable(r.store.describe(2)));

    // Pulled: not plugged in, and the port falls back to the last device.
    r.system.ports.clear();
    QCOMPARE(r.store.presence(2, r.system.ports), PortPresence::NotPluggedIn);
    QCOMPARE(r.store.resolve(2), QStringLiteral("/dev/ttyUSB0"));
    QVERIFY(r.store.describe(2).contains(QStringLiteral("not plugged in")));

    // Plugged into another socket: another device name, the same adapter.
    r.system.ports = {adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("OTHER1")),
                      adapter(QStringLiteral("/dev/ttyUSB1"), QStringLiteral("A10K3XQ"))};
    QCOMPARE(r.store.resolve(2), QStringLiteral("/dev/ttyUSB1"));
    QCOMPARE(r.store.presence(2, r.system.ports), PortPresence::Present);
    // The other ports keep their defaults.
    QCOMPARE(r.store.resolve(1), defaultDeviceForPort(1));

    // An adapter without a serial number is remembered by its device only.
    const SerialPortEntry ch340 = adapter(QStringLiteral("/dev/ttyUSB2"), QString(), 0x1a86, 0x7523);
    r.store.mapToAdapter(3, ch340);
    QCOMPARE(stored(QStringLiteral("Com3SerialNumber")), QString());
    QCOMPARE(stored(QStringLiteral("Com3UsbIds")), QString());
}

void TestPortMapping::serialNumberAlone_isNotEnoughAcrossMakers()
{
    Rig r;
    r.store.mapToAdapter(1, adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("0001")));
    r.system.ports = {adapter(QStringLiteral("/dev/ttyACM0"), QStringLiteral("0001"), 0x2341, 0x0043)};
    QCOMPARE(r.store.presence(1, r.system.ports), PortPresence::NotPluggedIn);
    QCOMPARE(r.store.resolve(1), QStringLiteral("/dev/ttyUSB0"));
}

void TestPortMapping::typedPath_forgetsTheAdapter_andPresenceFollowsTheFile()
{
    Rig r;
    QTemporaryDir dir;
    r.store.mapToAdapter(1, adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("A1")));
    const QString link = dir.filePath(QStringLiteral("monitor"));
    r.store.mapToDevice(1, QStringLiteral("  ") + link + QStringLiteral(" "));
    QCOMPARE(stored(QStringLiteral("Com1Device")), link);
    QCOMPARE(stored(QStringLiteral("Com1SerialNumber")), QString());
    QCOMPARE(r.store.presence(1, {}), PortPresence::Missing);
    QVERIFY(r.store.describe(1).endsWith(QStringLiteral("(not found)")));
    QFile f(link);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.close();
    QCOMPARE(r.store.presence(1, {}), PortPresence::Present);

    // Blank or out-of-range choices change nothing.
    r.store.mapToDevice(1, QStringLiteral("   "));
    r.store.mapToDevice(5, QStringLiteral("/dev/ttyS9"));
    QCOMPARE(r.store.resolve(1), link);
    QCOMPARE(stored(QStringLiteral("Com5Device")), QStringLiteral("<none>"));
}

void TestPortMapping::thisRunDevice_isNeverStored_andTheUsersChoiceEndsIt()
{
    Rig r;
    r.store.mapToDevice(1, QStringLiteral("/dev/ttyS3"));
    r.store.setThisRunDevice(1, QStringLiteral("sim:version=1.38"));
    QCOMPARE(r.store.resolve(1), QStringLiteral("sim:version=1.38"));
    QVERIFY(r.store.choice(1).thisRunOnly);
    QCOMPARE(r.store.describe(1), QStringLiteral("sim:version=1.38 (bundled simulator, this run only)"));
    QCOMPARE(stored(QStringLiteral("Com1Device")), QStringLiteral("/dev/ttyS3"));
    r.store.mapToDevice(1, QStringLiteral("/dev/ttyS2"));
    QVERIFY(!r.store.choice(1).thisRunOnly);
    QCOMPARE(r.store.resolve(1), QStringLiteral("/dev/ttyS2"));
}

void TestPortMapping::pickerLists_adaptersSimulatorAndMappedDevices()
{
    Rig r;
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("monitor"));
    // A simulator's link: a symbolic link to a pseudo-terminal.
    const test::PtyPair pair;
    const bool pty = pair.ok();
    if (pty)
        QVERIFY(QFile::link(pair.slaveName(), link));
    r.system.ports = {adapter(QStringLiteral("/dev/ttyUSB1"), QStringLiteral("B2")),
                      adapter(QStringLiteral("/dev/ttyS0"), QString(), 0, 0, QString())};
    r.store.mapToAdapter(1, adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("GONE"))); // unplugged
    r.store.mapToDevice(2, link);
    r.store.mapToDevice(3, QStringLiteral("/dev/ttyUSB1"));
    const QString absent = dir.filePath(QStringLiteral("absent"));
    r.store.mapToDevice(4, absent);

    PortPickerModel model(r.store);
    const QList<PortPickerEntry> &rows = model.entries();
    QStringList devices;
    for (const PortPickerEntry &e : rows)
        devices << e.port.device;
    QCOMPARE(devices, (QStringList{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB1"),
                                   QStringLiteral("/dev/ttyUSB0"), link, absent,
                                   PortPickerModel::defaultSimulator()}));
    QVERIFY(!rows[2].present);
    QCOMPARE(rows[2].port.description, QStringLiteral("not plugged in"));
    QCOMPARE(rows[2].port.usbIds(), QStringLiteral("0403:6001"));
    if (pty)
        QVERIFY2(rows[3].port.description.startsWith(QStringLiteral("pseudo-terminal /dev/pts/")),
                 qPrintable(rows[3].port.description));
    QCOMPARE(rows[4].port.description, QStringLiteral("not found"));
    QCOMPARE(rows[5].kind, PortPickerEntry::Kind::Simulator);

    QCOMPARE(model.rowForPort(1), 2);
    QCOMPARE(model.portState(1), QStringLiteral("not plugged in"));
    QCOMPARE(model.portsUsing(1), QStringLiteral("Com3"));
    QCOMPARE(model.data(model.index(1, PortPickerModel::Ports)).toString(), QStringLiteral("Com3"));
    QCOMPARE(model.data(model.index(1, PortPickerModel::SerialNumber)).toString(), QStringLiteral("B2"));
    QCOMPARE(model.rowCount(), 6);

    // The adapter comes back elsewhere: Com1's row is the listed adapter now.
    r.system.ports << adapter(QStringLiteral("/dev/ttyUSB4"), QStringLiteral("GONE"));
    model.refresh();
    QCOMPARE(model.entries()[model.rowForPort(1)].port.device, QStringLiteral("/dev/ttyUSB4"));
    QCOMPARE(model.portState(1), QStringLiteral("present"));
}

void TestPortMapping::pickerChoices_storeAndMoveTheMappedToColumn()
{
    Rig r;
    r.system.ports = {adapter(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("A1")),
                      adapter(QStringLiteral("/dev/ttyUSB1"), QString())};
    PortPickerModel model(r.store);
    QSignalSpy changed(&model, &PortPickerModel::mappingChanged);
    model.choose(4, 0);
    QCOMPARE(stored(QStringLiteral("Com4SerialNumber")), QStringLiteral("A1"));
    QCOMPARE(model.portsUsing(0), QStringLiteral("Com4"));
    model.choose(1, 0);
    QCOMPARE(model.portsUsing(0), QStringLiteral("Com1, Com4"));

    // A typed path naming a listed adapter takes the adapter (serial number included).
    model.chooseDevice(2, QStringLiteral(" /dev/ttyUSB0 "));
    QCOMPARE(stored(QStringLiteral("Com2SerialNumber")), QStringLiteral("A1"));
    // Any other path is stored as typed and listed.
    model.chooseDevice(3, QStringLiteral("/dev/ttyACM7"));
    QCOMPARE(stored(QStringLiteral("Com3Device")), QStringLiteral("/dev/ttyACM7"));
    QCOMPARE(model.portState(3), QStringLiteral("not found"));
    QCOMPARE(model.entries()[model.rowForPort(3)].port.device, QStringLiteral("/dev/ttyACM7"));
    QCOMPARE(changed.size(), 4);
    model.choose(3, 99); // no such row
    QCOMPARE(changed.size(), 4);
}

QTEST_GUILESS_MAIN(TestPortMapping)
#include "test_portmapping.moc"
