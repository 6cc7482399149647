// What the link may count on from every serial port it is given: the real
// port on a pseudo-terminal, the simulated monitor in this process, and the
// scripted port the other tests play the monitor with. Every test below runs
// once per port; each rig is the port with the far end the test plays, and
// says where its port differs from the others and why.

#include "link/portinfo.h"
#include "link/serialport.h"
#include "monitorsim.h"
#include "simport.h"
#include "testsupport.h"

#ifdef Q_OS_UNIX
#include "link/qtserialport.h"
#include "pty.h"
#endif

#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tvk;

namespace {

// Where a port legitimately departs from the others.
struct Differences {
    // The far end is a monitor that only answers commands: it is made to
    // speak with a ping, and it never sends a NUL.
    bool farEndOnlyAnswers = false;
    // What is waiting when the port opens is handed over rather than
    // dropped: the scripted port plays characters already in the driver, so
    // that the link's own discarding can be tested.
    bool keepsInputAcrossOpen = false;
    bool simulated = false;
};

class PortRig {
public:
    explicit PortRig(Differences d) : differences(d) {}
    virtual ~PortRig() = default;

    const Differences differences;

    virtual SerialPort &port() = 0;
    // A device that opens.
    virtual QString device() const = 0;
    // A device that will not open (from now on, for the scripted port).
    virtual QString unopenableDevice() = 0;
    // The far end sends bytes (not for a far end that only answers).
    virtual void farEndSends(const QByteArray &bytes) = 0;
    // What the port wrote that reached the far end since the last call:
    // once at least `atLeast` bytes are there, or after timeoutMs.
    virtual QByteArray farEndReceived(qsizetype atLeast, int timeoutMs) = 0;
    // The far end goes away while the port is open.
    virtual void dropFarEnd() = 0;
};

#ifdef Q_OS_UNIX
// QSerialPort on the slave of a pseudo-terminal; the test holds the master.
class QtPtyRig : public PortRig {
public:
    QtPtyRig() : PortRig({})
    {
        // Raw from the start, so that what the master sends while the port is
        // closed is not echoed back into what the port wrote.
        m_pty.makeSlaveRaw();
        m_port.setPortInfo(&m_noPorts);
    }
    bool ok() const { return m_pty.ok(); }

    SerialPort &port() override { return m_port; }
    QString device() const override { return m_pty.slaveName(); }
    QString unopenableDevice() override { return QStringLiteral("/dev/tvk-no-such-port"); }
    void farEndSends(const QByteArray &bytes) override { QVERIFY(m_pty.send(bytes)); }
    QByteArray farEndReceived(qsizetype atLeast, int timeoutMs) override
    {
        QByteArray got = m_pty.take();
        if (got.size() < atLeast)
            got += m_pty.readAtLeast(atLeast - got.size(), timeoutMs);
        return got;
    }
    void dropFarEnd() override { m_pty.closeMaster(); }

private:
    test::PtyPair m_pty;
    ListPortInfoSource m_noPorts;
    QtSerialPort m_port;
};
#endif

// The simulated monitor, on real time.
class SimRig : public PortRig {
public:
    SimRig() : PortRig({.farEndOnlyAnswers = true, .simulated = true}) {}

    SerialPort &port() override { return m_port; }
    QString device() const override { return QStringLiteral("sim:version=2.25"); }
    QString unopenableDevice() override { return QStringLiteral("/dev/ttyS0"); }
    void farEndSends(const QByteArray &) override { QFAIL("the simulated monitor only answers"); }
    // The monitor keeps the command lines without their line ends; every
    // line the tests write ends in CR LF.
    QByteArray farEndReceived(qsizetype, int) override
    {
        QByteArray out;
        if (auto *monitor = m_port.simulator()) {
            for (const QByteArray &line : monitor->commandsReceived())
                out += line + "\r\n";
            monitor->clearCommands();
        }
        return out;
    }
    void dropFarEnd() override { m_port.unplug(); }

private:
    sim::SimPort m_port;
};

class ScriptedRig : public PortRig {
public:
    ScriptedRig() : PortRig({.keepsInputAcrossOpen = true}) {}

    SerialPort &port() override { return m_port; }
    QString device() const override { return QStringLiteral("/dev/ttyUSB0"); }
    QString unopenableDevice() override
    {
        m_port.setOpenResult(false, QStringLiteral("cannot open"));
        return QStringLiteral("/dev/ttyUSB1");
    }
    // While closed, the characters wait in the driver without an event.
    void farEndSends(const QByteArray &bytes) override
    {
        if (m_port.isOpen())
            m_port.feed(bytes);
        else
            m_port.preload(bytes);
    }
    QByteArray farEndReceived(qsizetype, int) override
    {
        const QByteArray out = m_port.written();
        m_port.clearWrites();
        return out;
    }
    void dropFarEnd() override { m_port.injectLoss(QStringLiteral("adapter unplugged")); }

private:
    test::ScriptedPort m_port;
};

enum class Kind { QtOnPty, Simulator, Scripted };

// Makes the far end speak; returns what the port must read.
QByteArray farEndSpeaks(PortRig &rig)
{
    if (rig.differences.farEndOnlyAnswers) {
        rig.port().write("p\r\n");
        return "p\r\n#"; // the command echoed, the response closed
    }
    rig.farEndSends(QByteArray("P\0#\r\n", 5));
    return "P#\r\n"; // the NUL dropped, the line end as sent
}

} // namespace

class TestPortContract : public QObject {
    Q_OBJECT

    std::unique_ptr<PortRig> m_rig;

private slots:
    void initTestCase_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("qt-on-pty") << int(Kind::QtOnPty);
        QTest::newRow("simulator") << int(Kind::Simulator);
        QTest::newRow("scripted") << int(Kind::Scripted);
    }

    void init()
    {
        QFETCH_GLOBAL(int, kind);
        switch (Kind(kind)) {
        case Kind::QtOnPty: {
#ifdef Q_OS_UNIX
            auto rig = std::make_unique<QtPtyRig>();
            if (!rig->ok())
                QSKIP("no pseudo-terminal on this system for the real port");
            m_rig = std::move(rig);
#else
            QSKIP("the real port is tried on a pseudo-terminal, which this system lacks");
#endif
            break;
        }
        case Kind::Simulator:
            m_rig = std::make_unique<SimRig>();
            break;
        case Kind::Scripted:
            m_rig = std::make_unique<ScriptedRig>();
            break;
        }
    }

    void cleanup() { m_rig.reset(); }

    void openAndClose()
    {
        SerialPort &port = m_rig->port();
        QSignalSpy notices(&port, &SerialPort::notice);
        QSignalSpy lost(&port, &SerialPort::lost);
        QVERIFY(!port.isOpen());
        QCOMPARE(port.isSimulated(), m_rig->differences.simulated);

        QVERIFY2(port.open(m_rig->device()), qPrintable(port.errorString()));
        QVERIFY(port.isOpen());
        QCOMPARE(port.deviceName(), m_rig->device());
        QCOMPARE(port.bytesAvailable(), qint64(0));
        QCOMPARE(notices.size(), 0);

        port.close();
        QVERIFY(!port.isOpen());
        port.close(); // a second close is harmless
        QVERIFY(!port.isOpen());
        QTest::qWait(50);
        QCOMPARE(lost.size(), 0); // a close is no loss

        // A device that will not open says why.
        QVERIFY(!port.open(m_rig->unopenableDevice()));
        QVERIFY(!port.isOpen());
        QVERIFY(!port.errorString().isEmpty());
    }

    void read_bytesFromTheFarEndArrive()
    {
        SerialPort &port = m_rig->port();
        QVERIFY(port.open(m_rig->device()));
        QSignalSpy received(&port, &SerialPort::received);
        const QByteArray expected = farEndSpeaks(*m_rig);
        QTRY_VERIFY_WITH_TIMEOUT(received.size() >= 1, 3000);
        QVERIFY(port.bytesAvailable() > 0);
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).size() >= expected.size(), 3000);
        QCOMPARE(got, expected);
        QCOMPARE(port.bytesAvailable(), qint64(0));
        QVERIFY(port.readAll().isEmpty());
    }

    void write_reachesTheFarEnd()
    {
        SerialPort &port = m_rig->port();
        QVERIFY(port.open(m_rig->device()));
        QVERIFY(port.write("df\r\n"));
        QCOMPARE(m_rig->farEndReceived(4, 3000), QByteArray("df\r\n"));
        QVERIFY(port.write("dw\r\n"));
        QCOMPARE(m_rig->farEndReceived(4, 3000), QByteArray("dw\r\n"));
    }

    void write_failsWhenClosed()
    {
        SerialPort &port = m_rig->port();
        QVERIFY(!port.write("p\r\n")); // never opened
        QVERIFY(!port.errorString().isEmpty());

        QVERIFY(port.open(m_rig->device()));
        port.close();
        QVERIFY(!port.write("p\r\n"));
        QVERIFY(!port.errorString().isEmpty());
        QCOMPARE(m_rig->farEndReceived(1, 200), QByteArray());
    }

    void loss_isReportedOnceAndClosesThePort()
    {
        SerialPort &port = m_rig->port();
        QVERIFY(port.open(m_rig->device()));
        QSignalSpy lost(&port, &SerialPort::lost);
        QSignalSpy received(&port, &SerialPort::received);
        m_rig->dropFarEnd();
        QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
        QVERIFY(!port.isOpen());
        QVERIFY(!lost.first().first().toString().isEmpty());
        // Reported once, and the dead device no longer wakes anyone.
        QTest::qWait(200);
        QCOMPARE(lost.size(), 1);
        QCOMPARE(received.size(), 0);
        QVERIFY(!port.write("p\r\n"));
    }

    void reopen_afterClose()
    {
        SerialPort &port = m_rig->port();
        QVERIFY(port.open(m_rig->device()));
        // Characters that reach the port around the close: an answer still
        // under way, or what the far end sends while the port is closed.
        if (m_rig->differences.farEndOnlyAnswers) {
            QVERIFY(port.write("p\r\n"));
            port.close();
        } else {
            port.close();
            m_rig->farEndSends("stale#");
        }
        QTest::qWait(50);
        m_rig->farEndReceived(0, 0); // forget what was written before the close

        QVERIFY2(port.open(m_rig->device()), qPrintable(port.errorString()));
        QVERIFY(port.isOpen());
        QCOMPARE(port.deviceName(), m_rig->device());
        QTest::qWait(100);
        const QByteArray waiting = port.readAll();
        QCOMPARE(waiting, m_rig->differences.keepsInputAcrossOpen ? QByteArray("stale#") : QByteArray());

        // Both ways work as on the first open.
        const QByteArray expected = farEndSpeaks(*m_rig);
        QByteArray got;
        QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).size() >= expected.size(), 3000);
        QCOMPARE(got, expected);
        m_rig->farEndReceived(0, 0);
        QVERIFY(port.write("df\r\n"));
        QCOMPARE(m_rig->farEndReceived(4, 3000), QByteArray("df\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestPortContract)
#include "test_portcontract.moc"
