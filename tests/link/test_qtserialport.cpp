// The real serial port against a pseudo-terminal: the test holds the master
// side and plays the monitor. What every port does (open, read, write, loss,
// reopen) is in test_portcontract; here is what only this port does.

#include "link/qtserialport.h"
#include "link/seriallink.h"
#include "pty.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using tvk::test::PtyPair;

class TestQtSerialPort : public QObject {
    Q_OBJECT
private slots:
    void missingDevice();
    void linkOverPty();
};

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
