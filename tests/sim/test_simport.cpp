#include "monitorsim.h"
#include "simport.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::sim;

class TestSimPort : public QObject {
    Q_OBJECT

private slots:
    void repliesArriveLaterThroughTheClock()
    {
        ManualClock clock;
        SimPort port(&clock);
        QVERIFY(port.isSimulated());
        QVERIFY(port.open(QStringLiteral("sim:version=2.17,chunk=4,delay=3")));
        QVERIFY(port.isOpen());
        QSignalSpy spy(&port, &SerialPort::received);

        QVERIFY(port.write("df\r\n"));
        QCOMPARE(spy.count(), 0); // never from inside write()
        QCOMPARE(port.bytesAvailable(), 0);

        clock.advance(2);
        QCOMPARE(spy.count(), 0);
        clock.advance(1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(port.readAll(), QByteArray("df\r\n"));

        clock.advance(100);
        QByteArray rest = port.readAll();
        QCOMPARE(rest, QByteArray("V 2.17\r\n#"));
        QCOMPARE(spy.count(), 1 + 3); // "V 2.", "17\r\n", "#"
        QCOMPARE(port.pendingOutput(), 0);
        QCOMPARE(port.simulator()->commandsReceived(), QByteArrayList{"df"});
    }

    void realEventLoopDelivery()
    {
        SimPort port;
        QVERIFY(port.open(QStringLiteral("sim:boot")));
        QSignalSpy spy(&port, &SerialPort::received);
        QVERIFY(port.write("p\r\n"));
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).endsWith('$'), 2000);
        QCOMPARE(got, QByteArray("p\r\n$"));
        QVERIFY(spy.count() >= 1);
    }

    void closeDropsPendingAndKeepsMonitorState()
    {
        ManualClock clock;
        SimPort port(&clock);
        QCOMPARE(port.write("p\r\n"), false); // not open
        QVERIFY(port.open(QStringLiteral("sim:")));
        QVERIFY(port.write("cmsNEW-1\r\n"));
        port.close();
        QVERIFY(!port.isOpen());
        QSignalSpy spy(&port, &SerialPort::received);
        clock.advance(100);
        QCOMPARE(spy.count(), 0); // the reply died with the line

        // Same name: the same monitor, with what was stored in it.
        QVERIFY(port.open(QStringLiteral("sim:")));
        port.write("dms\r\n");
        clock.advance(100);
        QCOMPARE(port.readAll(), QByteArray("dms\r\nModel Number = NEW-1\r\n#"));

        // Another name: a new monitor.
        QVERIFY(port.open(QStringLiteral("sim:model=OTHER")));
        port.write("dms\r\n");
        clock.advance(100);
        QCOMPARE(port.readAll(), QByteArray("dms\r\nModel Number = OTHER\r\n#"));
    }

    void optionsReachTheMonitor()
    {
        ManualClock clock;
        SimPort port(&clock);
        QSignalSpy notices(&port, &SerialPort::notice);
        QVERIFY(port.open(QStringLiteral("sim:version=1.38,silentafter=1,bogus")));
        QCOMPARE(port.simulator()->config().firmwareVersion, QStringLiteral("1.38"));
        QCOMPARE(notices.count(), 1);
        QVERIFY(notices.at(0).at(0).toString().contains(QStringLiteral("bogus")));

        port.write("p\r\n");
        port.write("p\r\n");
        clock.advance(100);
        QCOMPARE(port.readAll(), QByteArray("p\r\n#"));
        QCOMPARE(port.simulator()->commandCount(), 2);

        QVERIFY(!port.open(QStringLiteral("/dev/ttyS0")));
        QVERIFY(!port.errorString().isEmpty());
    }

    void factoryRoutesByName()
    {
        test::ScriptedPortFactory real;
        SimPortFactory factory(&real);
        auto sim = factory.create(QStringLiteral("sim:version=2.25"));
        QVERIFY(sim->isSimulated());
        QVERIFY(qobject_cast<SimPort *>(sim.get()));
        auto other = factory.create(QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(!other->isSimulated());
        QCOMPARE(real.devices, QStringList{QStringLiteral("/dev/ttyUSB0")});

        SimPortFactory alone(nullptr);
        auto none = alone.create(QStringLiteral("/dev/ttyUSB0"));
        QVERIFY(none);
        QVERIFY(!none->open(QStringLiteral("/dev/ttyUSB0")));
        QVERIFY(!none->isOpen());
        QVERIFY(!none->errorString().isEmpty());
        QVERIFY(!none->write("p\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSimPort)
#include "test_simport.moc"
