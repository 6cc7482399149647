// Port numbers to devices, and routing device names to port factories.

#include "base/settings.h"
#include "link/compositeportfactory.h"
#include "link/portmap.h"
#include "testsupport.h"

#include <QTest>

using namespace tvk;

class TestPortMap : public QObject {
    Q_OBJECT
private slots:
    void devicesFromSettings();
    void compositeRouting();
};

void TestPortMap::devicesFromSettings()
{
    Settings s;
#ifdef Q_OS_WIN
    QCOMPARE(deviceForPort(s, 1), QStringLiteral("COM1"));
    QCOMPARE(deviceForPort(s, 4), QStringLiteral("COM4"));
#else
    QCOMPARE(deviceForPort(s, 1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(deviceForPort(s, 4), QStringLiteral("/dev/ttyS3"));
#endif
    QCOMPARE(defaultDeviceForPort(0), defaultDeviceForPort(1));
    QCOMPARE(portDeviceKey(2), QStringLiteral("Com2Device"));

    s.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("Com2Device"),
            QStringLiteral(" /dev/ttyUSB0 "));
    s.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("Com3Device"), QString());
    QCOMPARE(deviceForPort(s, 2), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(deviceForPort(s, 3), defaultDeviceForPort(3)); // blank: the default
}

void TestPortMap::compositeRouting()
{
    test::ScriptedPortFactory real;
    test::ScriptedPortFactory sim;
    CompositePortFactory ports(&real);
    ports.addRoute(QStringLiteral("sim:"), &sim);

    QVERIFY(ports.create(QStringLiteral("SIM:crt")));
    QVERIFY(ports.create(QStringLiteral("/dev/ttyS0")));
    QCOMPARE(sim.devices, QStringList{"SIM:crt"});
    QCOMPARE(real.devices, QStringList{"/dev/ttyS0"});

    CompositePortFactory none;
    QVERIFY(!none.create(QStringLiteral("/dev/ttyS0")));
}

QTEST_GUILESS_MAIN(TestPortMap)
#include "test_portmap.moc"
