// The real serial port against a pseudo-terminal: the test holds the master
// side and plays the monitor. What every port does (open, read, write, loss,
// reopen) is in test_portcontract; here is what only this port does.

#include "link/qtserialport.h"
#include "link/seriallink.h"
#include "pty.h"
#include "testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using tvk::test::PtyPair;

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void missingDevice();
    void linkOverPty();
    void unreadStreamIsHeldToTheCap();
    void writeNobodyTakesIsANotice();
};

// The other side takes nothing: once the driver's buffer is full, what the
// port wrote waits, and after the time-out the log hears of it, once.
void TestQtSerialPort::writeNobodyTakesIsANotice()
{
    PtyPair pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    QtSerialPort port;
    port.setWriteTimeout(100);
    QVERIFY2(port.open(pty.slaveName()), qPrintable(port.errorString()));
    QSignalSpy notices(&port, &SerialPort::notice);
    QVERIFY(port.write(QByteArray(1024 * 1024, 'w')));
    QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 3000);
    QVERIFY2(notices.first().first().toString().contains(QStringLiteral("write timed out")),
             qPrintable(notices.first().first().toString()));
    QTest::qWait(300);
    QCOMPARE(notices.size(), 1);
}

// Nobody reads (a nested event loop keeps the link away) while the monitor
// streams: the port holds its cap and no more, the rest waits in the driver
// and the sender is held back; once read, the stream flows again.
void TestQtSerialPort::unreadStreamIsHeldToTheCap()
{
    PtyPair pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    QtSerialPort port;
    QVERIFY2(port.open(pty.slaveName()), qPrintable(port.errorString()));
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

void TestQtSerialPort::linkOverPty()
{
    PtyPair pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    SystemClock clock;
    QtPortFactory ports;
    LinkGlobals g;
    test::RecordingLog log;
    test::RecordingBeeper beeper;
    SerialLink link(clock, ports, g, log, beeper);
    link.setDeviceResolver([&](int) { return pty.slaveName(); });
    QStringList dispatched;
    link.setDispatcher([&](const QString &r) { dispatched << r; });

    QVERIFY(pty.send("stale#"));
    QTest::qWait(50);
    QVERIFY(link.OpenCommPort());
    QTest::qWait(50);
    pty.take(); // the line discipline echoed "stale#" before the port went raw
    link.SendCommand(QStringLiteral("p\r\n"));
    QCOMPARE(pty.readAtLeast(3), QByteArray("p\r\n"));
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
