// The real serial port against a pseudo-terminal: the test holds the master
// side and plays the monitor.

#include "link/qtserialport.h"
#include "link/seriallink.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

using namespace tvk;

namespace {

class Pty {
public:
    Pty()
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0)
            return;
        if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            closeMaster();
            return;
        }
        const char *name = ::ptsname(m_master);
        if (!name) {
            closeMaster();
            return;
        }
        m_slave = QString::fromLocal8Bit(name);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    }
    ~Pty() { closeMaster(); }
    bool ok() const { return m_master >= 0; }
    QString slave() const { return m_slave; }
    bool send(const QByteArray &data) const
    {
        return ::write(m_master, data.constData(), size_t(data.size())) == data.size();
    }
    QByteArray take() const
    {
        QByteArray out;
        char buf[256];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n <= 0)
                break;
            out.append(buf, n);
        }
        return out;
    }
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slave;
};

} // namespace

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void receiveAndWrite();
    void missingDevice();
    void masterHangUpIsLoss();
    void linkOverPty();
    void unreadStreamIsHeldToTheCap();
};

// Nobody reads (a nested event loop keeps the link away) while the monitor
// streams: the port holds its cap and no more, the rest waits in the driver
// and the sender is held back; once read, the stream flows again.
void TestQtSerialPort::unreadStreamIsHeldToTheCap()
{
    Pty pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    QtSerialPort port;
    QVERIFY2(port.open(pty.slave()), qPrintable(port.errorString()));
    const QByteArray chunk(4096, 'n');
    qint64 sent = 0;
    int blocked = 0;
    QElapsedTimer t;
    t.start();
    while (sent < 4 * QtSerialPort::kReadBufferSize && blocked < 50 && t.elapsed() < 10000) {
        if (pty.send(chunk)) {
            sent += chunk.size();
            blocked = 0;
        } else {
            ++blocked;
        }
        QCoreApplication::processEvents();
    }
    QVERIFY2(sent < 4 * QtSerialPort::kReadBufferSize, qPrintable(QString::number(sent))); // held back
    QTRY_VERIFY_WITH_TIMEOUT(port.bytesAvailable() >= QtSerialPort::kReadBufferSize / 2, 3000);
    QVERIFY2(port.bytesAvailable() <= QtSerialPort::kReadBufferSize, qPrintable(QString::number(port.bytesAvailable())));

    // Read: the driver's share follows, and the sender has room again.
    qint64 got = 0;
    bool room = false;
    t.restart();
    while (!room && t.elapsed() < 5000) {
        got += port.readAll().size();
        room = pty.send(chunk);
        QCoreApplication::processEvents();
    }
    QVERIFY(room);
    sent += chunk.size();
    t.restart();
    while (got < sent && t.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        got += port.readAll().size();
    }
    QVERIFY2(got >= sent, qPrintable(QStringLiteral("%1 of %2").arg(got).arg(sent))); // a refused write may have gone in part
}

void TestQtSerialPort::receiveAndWrite()
{
    Pty pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    QtSerialPort port;
    QSignalSpy notices(&port, &SerialPort::notice);
    QVERIFY2(port.open(pty.slave()), qPrintable(port.errorString()));
    QVERIFY(port.isOpen());
    QCOMPARE(port.deviceName(), pty.slave());
    // A pseudo-terminal has no modem lines; that is only a notice.
    for (const QList<QVariant> &n : std::as_const(notices))
        QVERIFY(n.first().toString().contains(pty.slave()));

    QSignalSpy received(&port, &SerialPort::received);
    QSignalSpy lost(&port, &SerialPort::lost);
    QVERIFY(pty.send(QByteArray("P\0#\r\n", 5)));
    QByteArray got;
    QTRY_VERIFY_WITH_TIMEOUT((got += port.readAll()).size() >= 4, 3000);
    QVERIFY(received.size() >= 1);
    QCOMPARE(got, QByteArray("P#\r\n")); // raw: CR LF untouched, NUL gone

    QVERIFY(port.write("p\r\n"));
    QByteArray echoed;
    QTRY_VERIFY_WITH_TIMEOUT((echoed += pty.take()).size() >= 3, 3000);
    QCOMPARE(echoed, QByteArray("p\r\n"));

    port.close();
    QVERIFY(!port.isOpen());
    QVERIFY(!port.write("x"));
    QCOMPARE(lost.size(), 0);

    // Open again after a close.
    QVERIFY(port.open(pty.slave()));
    QVERIFY(port.isOpen());
}

void TestQtSerialPort::missingDevice()
{
    QtSerialPort port;
    QVERIFY(!port.open(QStringLiteral("/dev/tvk-no-such-port")));
    QVERIFY(!port.isOpen());
    QVERIFY(!port.errorString().isEmpty());
    QtPortFactory factory;
    auto made = factory.create(QStringLiteral("/dev/ttyS0"));
    QVERIFY(made);
    QVERIFY(!made->isOpen());
}

void TestQtSerialPort::masterHangUpIsLoss()
{
    Pty pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    QtSerialPort port;
    QVERIFY(port.open(pty.slave()));
    QSignalSpy lost(&port, &SerialPort::lost);
    QSignalSpy received(&port, &SerialPort::received);
    pty.closeMaster(); // the far end goes away, as an unplugged adapter does
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
    QVERIFY(!port.isOpen());
    QVERIFY(!lost.first().first().toString().isEmpty());
    // Reported once, and the dead device no longer wakes the event loop.
    QTest::qWait(200);
    QCOMPARE(lost.size(), 1);
    QCOMPARE(received.size(), 0);
}

void TestQtSerialPort::linkOverPty()
{
    Pty pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    SystemClock clock;
    QtPortFactory ports;
    LinkGlobals g;
    test::RecordingLog log;
    test::RecordingBeeper beeper;
    SerialLink link(clock, ports, g, log, beeper);
    link.setDeviceResolver([&](int) { return pty.slave(); });
    QStringList dispatched;
    link.setDispatcher([&](const QString &r) { dispatched << r; });

    QVERIFY(pty.send("stale#"));
    QTest::qWait(50);
    QVERIFY(link.OpenCommPort());
    QTest::qWait(50);
    pty.take(); // the line discipline echoed "stale#" before the port went raw
    link.SendCommand(QStringLiteral("p\r\n"));
    QByteArray out;
    QTRY_VERIFY_WITH_TIMEOUT((out += pty.take()).size() >= 3, 3000);
    QCOMPARE(out, QByteArray("p\r\n"));
    QVERIFY(pty.send(QByteArray("p\r\nP\0#\r\n", 8)));
    QTRY_COMPARE_WITH_TIMEOUT(dispatched, QStringList{"p\r\nP#"}, 3000);
    QVERIFY(!link.XmitBusy());

    QSignalSpy lost(&link, &SerialLink::portLost);
    pty.closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(lost.size(), 1, 3000);
    QVERIFY(!link.isPortOpen());
}

QTEST_GUILESS_MAIN(TestQtSerialPort)
#include "test_qtserialport.moc"
