// Link faults end to end: the whole tool on the real serial port against the
// simulator on a pseudo-terminal, the simulator misbehaving on purpose (or
// stopped, which closes its end of the line). Each case checks what the
// technician is told, that the tool answers again once the fault is over,
// that no buffer grew past its cap while the fault lasted, and that no file
// was lost.

#include "app/mainwindow.h"
#include "base/windownames.h"
#include "firmware/firmwarehandlers.h"
#include "hexgen.h"
#include "panels/firmware/softwarepanel.h"
#include "protocol/commands.h"
#include "ptyharness.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <algorithm>

using namespace tvk;
using namespace tvk::test;

namespace {

// The transmit queue never needs more than a few commands; a fault must not
// let it pile up.
constexpr qsizetype kMaxXmitQueue = 1024;
constexpr int kShortPauseMs = 5;

QString statusMessage(PtyHarness &h) { return h.window->statusBar()->currentMessage(); }

QString connectStatus(PtyHarness &h)
{
    auto *label = h.child<QLabel>(win::frmConnect, "lbl1");
    return label ? label->text() : QString();
}

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The largest size each buffer of the tool reached while it watched: looked
// at every millisecond and at every piece of text the log takes.
struct BufferWatch {
    explicit BufferWatch(PtyHarness &h) : m_h(h)
    {
        QObject::connect(&h.core->commLog, &CommLog::appended, &m_timer, [this] { look(); });
        QObject::connect(&h.core->commLog, &CommLog::textReset, &m_timer, [this] { look(); });
        QObject::connect(&m_timer, &QTimer::timeout, [this] { look(); });
        m_timer.start(1);
    }
    void look()
    {
        AppCore &c = *m_h.core;
        receive = std::max(receive, c.link.ReceiveBuffer().size());
        log = std::max(log, c.commLog.text().size());
        queue = std::max(queue, c.link.XmitQueue().size());
        if (c.link.port())
            port = std::max(port, c.link.port()->bytesAvailable());
    }
    // Every cap held; the figures when one did not.
    bool withinCaps(QString *why) const
    {
        *why = QStringLiteral("receive %1 (cap %2), log %3 (cap %4), queue %5 (cap %6), port %7 (cap %8)")
                   .arg(receive).arg(SerialLink::kMaxReceiveBuffer + 2)
                   .arg(log).arg(CommLog::kMaxText)
                   .arg(queue).arg(kMaxXmitQueue)
                   .arg(port).arg(QtSerialPort::kReadBufferSize);
        return receive <= SerialLink::kMaxReceiveBuffer + 2 && log <= CommLog::kMaxText
            && queue <= kMaxXmitQueue && port <= QtSerialPort::kReadBufferSize;
    }

    PtyHarness &m_h;
    QTimer m_timer;
    qsizetype receive = 0, log = 0, queue = 0;
    qint64 port = 0;
};

#define VERIFY_CAPS(watch)                                                                     \
    do {                                                                                       \
        QString why_;                                                                          \
        const bool within_ = (watch).withinCaps(&why_);                                        \
        qInfo().noquote() << "largest:" << why_;                                               \
        QVERIFY2(within_, qPrintable(why_));                                                   \
    } while (false)

// The tool asks the firmware version and the monitor's answer arrives: the
// tool is usable. Asked again while a connection cycle is still running.
bool answersAgain(PtyHarness &h, int expectedType, int timeoutMs = 8000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < timeoutMs) {
        if (h.core->connector.connectionState() == ConnectionState::Online && !h.core->link.XmitBusy()) {
            h.core->data.MonitorType = 0;
            h.core->send(cmd::readFirmwareVersion());
            QElapsedTimer wait;
            wait.start();
            while (h.core->data.MonitorType == 0 && wait.elapsed() < 1000)
                QTest::qWait(5);
            if (h.core->data.MonitorType == expectedType)
                return true;
        }
        QTest::qWait(20);
    }
    return false;
}

// Runs the event loop for `ms` without QTRY's sleeps between looks.
void spin(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// A firmware file for the flash, and the download started on it.
struct Flash {
    explicit Flash(PtyHarness &h, int records) : h(h)
    {
        path = h.dir.filePath(QStringLiteral("fw.hex"));
        ok = writeIntelHex(path, patternImage(records, 16, 0x4000));
        bytes = readBytes(path);
    }
    bool start()
    {
        h.core->link.setWritePauseMs(kShortPauseMs);
        h.dialogs.openAnswers << path;
        h.messages.okCancelAnswer = true;
        FirmwareActions(h.core->firmwareContext()).loadFlash();
        return h.core->download.isBusy();
    }
    bool waitUntilIdle(int timeoutMs)
    {
        QElapsedTimer t;
        t.start();
        while (h.core->download.isBusy() && t.elapsed() < timeoutMs)
            spin(2);
        return !h.core->download.isBusy();
    }
    PtyHarness &h;
    QString path;
    QByteArray bytes;
    bool ok = false;
};

const QString kMonitor225 = QStringLiteral("version=2.25");

} // namespace

class TestFaultsPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void portVanishesMidFullRead_theReadStopsAndSaysSo_thenTheToolIsBack()
    {
        PtyHarness h;
        START_ONLINE(h, kMonitor225);
        BufferWatch watch(h);
        QSignalSpy failed(&h.core->fullRead, &FullRead::failed);
        QSignalSpy finished(&h.core->fullRead, &FullRead::finished);
        h.window->trigger(QStringLiteral("mnuMonitorUpdate"));
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("ddh") == 1, 5000); // a quarter of the way

        h.sim->stop(); // the monitor's end of the line is closed
        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 3000);
        QCOMPARE(finished.count(), 0);
        QVERIFY(!h.core->fullRead.isRunning());
        const int step = failed.at(0).at(0).toInt();
        QVERIFY(step > 7 && step < FullRead::kLastStep);
        QCOMPARE(failed.at(0).at(1).toString(), FullRead::stepCommand(step).trimmed());
        QVERIFY2(failed.at(0).at(2).toString().startsWith(QStringLiteral("the serial port was lost")),
                 qPrintable(failed.at(0).at(2).toString()));
        QCOMPARE(statusMessage(h), MainWindow::fullReadStoppedText(step, failed.at(0).at(1).toString(),
                                                                   failed.at(0).at(2).toString()));
        QVERIFY(!h.window->findChild<QProgressBar *>(QStringLiteral("prgFullRead"))->isVisible());
        QVERIFY2(connectStatus(h).contains(QStringLiteral("was lost")), qPrintable(connectStatus(h)));
        QVERIFY(h.visible(win::frmConnect));
        QVERIFY(!h.core->link.isPortOpen());
        QVERIFY(h.core->link.XmitQueue().isEmpty());
        QTest::qWait(500); // the rest of the read sends nothing, and says nothing is finished
        QCOMPARE(finished.count(), 0);

        // Plugged in again: found by Auto ReConnect, and answering.
        QVERIFY2(h.startSim({QStringLiteral("--options"), kMonitor225}), qPrintable(h.sim->error()));
        QVERIFY(answersAgain(h, 225));
        VERIFY_CAPS(watch);
    }

    void portVanishesMidDownload_theDownloadEndsAndSaysSo_theFileIsIntact_thenTheToolIsBack()
    {
        PtyHarness h;
        START_ONLINE(h, kMonitor225);
        Flash flash(h, 2000);
        QVERIFY(flash.ok);
        BufferWatch watch(h);
        QVERIFY(flash.start());
        QElapsedTimer t;
        t.start();
        while (h.core->download.RecordNumber() < 40 && t.elapsed() < 10000)
            spin(1);
        QVERIFY(h.core->download.RecordNumber() >= 40);

        h.sim->stop();
        QVERIFY(flash.waitUntilIdle(5000));
        QCOMPARE(h.messages.messages.size(), 1);
        const QString m = h.messages.messages.first();
        QVERIFY2(m.startsWith(QStringLiteral("The connection to the monitor was lost, quitting.\r\n"
                                             "The serial port was lost: ")),
                 qPrintable(m));
        QVERIFY2(m.contains(QStringLiteral("\r\nRecord number was ")), qPrintable(m));
        QCOMPARE(h.messages.titles.first(), QStringLiteral("Download Error"));
        QVERIFY(!h.core->download.isFileOpen());
        QVERIFY(!h.visible(win::frmBootProgress));
        QCOMPARE(readBytes(flash.path), flash.bytes); // the firmware file is untouched

        QVERIFY2(h.startSim({QStringLiteral("--options"), kMonitor225}), qPrintable(h.sim->error()));
        QVERIFY(answersAgain(h, 225));
        QCOMPARE(h.messages.messages.size(), 1);
        VERIFY_CAPS(watch);
    }

    void monitorFallsSilent_theToolSaysSo_andIsBackWhenItAnswers()
    {
        PtyHarness h;
        // Silent from "dt" on, for it and three more lines (the pings of the
        // new connection cycle).
        START_ONLINE(h, QStringLiteral("version=2.25,fault=silent,faulton=dt,faultcommands=4"));
        BufferWatch watch(h);
        QSignalSpy lost(&h.core->connector, &Connector::monitorLost);
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.core->send(cmd::readOperatingTime());
        // Whatever the technician asks meanwhile waits behind it.
        for (int i = 0; i < 20; ++i)
            h.core->send(cmd::readFirmwareVersion());
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        const QString text = AppCore::monitorLostText(1, false);
        QCOMPARE(statusMessage(h), text);
        QVERIFY(h.core->commLog.text().contains(text));
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- No monitor")));
        QVERIFY(h.visible(win::frmConnect));
        QVERIFY(h.core->link.XmitQueue().size() < 16); // the waiting reads were dropped with the monitor

        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        QVERIFY(answersAgain(h, 225));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        VERIFY_CAPS(watch);
    }

    void monitorAnswersOnlyBusy_theToolSaysSo_andIsBackWhenItAnswers()
    {
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25,fault=busy,faulton=dt,faultcommands=5"));
        BufferWatch watch(h);
        QSignalSpy lost(&h.core->connector, &Connector::monitorLost);
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.core->send(cmd::readOperatingTime());
        for (int i = 0; i < 20; ++i)
            h.core->send(cmd::readFirmwareVersion());
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        const QString text = AppCore::monitorLostText(1, true);
        QCOMPARE(statusMessage(h), text);
        QVERIFY(h.core->commLog.text().contains(text));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);

        // While the pings of the new cycle get "!", the monitor is not
        // taken for connected.
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 6000);
        QVERIFY(h.sim->count("p") >= 4);
        QVERIFY(answersAgain(h, 225));
        VERIFY_CAPS(watch);
    }

    void streamsNoise_theToolStaysBounded_saysWhatItSaw_andAnswersAfterwards_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("said");
        QTest::newRow("random bytes") << QStringLiteral("garbage") << CommLog::lineNoiseText();
        QTest::newRow("lines without CR")
            << QStringLiteral("nocr") << QStringLiteral("Receive buffer overflow: no end marker in 65536 characters");
        QTest::newRow("a megabyte without a prompt")
            << QStringLiteral("nomarker") << QStringLiteral("Receive buffer overflow: no end marker in 65536 characters");
    }

    void streamsNoise_theToolStaysBounded_saysWhatItSaw_andAnswersAfterwards()
    {
        QFETCH(QString, kind);
        QFETCH(QString, said);
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25,fault=%1,faulton=dt,faultcommands=1").arg(kind));
        // The log file records every character received: it shows when the
        // whole megabyte has arrived, and it must keep all of it.
        const QString logPath = h.dir.filePath(QStringLiteral("traffic.log"));
        QVERIFY(h.core->commLog.chooseFile(logPath));
        h.core->commLog.setLogToFile(true);
        BufferWatch watch(h);

        h.core->send(cmd::readOperatingTime());
        QElapsedTimer t;
        t.start();
        while (QFileInfo(logPath).size() < (1 << 20) * 9 / 10 && t.elapsed() < 15000)
            spin(5);
        QVERIFY2(QFileInfo(logPath).size() >= (1 << 20) * 9 / 10, qPrintable(QString::number(QFileInfo(logPath).size())));
        QVERIFY(answersAgain(h, 225));
        // Said in the log once, not for every piece of the stream.
        QCOMPARE(readBytes(logPath).count(("** " + said).toLatin1()), 1);
        VERIFY_CAPS(watch);
        if (kind != QLatin1String("garbage"))
            QVERIFY(watch.receive >= SerialLink::kMaxReceiveBuffer / 2); // the cap was reached, not dodged
        QVERIFY(h.core->commLog.LogToFile()); // the file took it all
        QVERIFY(h.window->isVisible());
    }

    void refusesEveryRecord_theDownloadGivesUpAndSaysSo_andTheToolAnswers_data()
    {
        QTest::addColumn<QString>("form");
        QTest::newRow("\"!\" alone") << QStringLiteral("bang");
        QTest::newRow("\"!\" and the prompt") << QStringLiteral("prompt");
    }

    void refusesEveryRecord_theDownloadGivesUpAndSaysSo_andTheToolAnswers()
    {
        QFETCH(QString, form);
        PtyHarness h;
        START_ONLINE(h, QStringLiteral("version=2.25,refuse=1:2:3,refusetimes=1000000,refuseform=") + form);
        Flash flash(h, 50);
        QVERIFY(flash.ok);
        BufferWatch watch(h);
        QVERIFY(flash.start());
        QVERIFY(flash.waitUntilIdle(10000));
        QCOMPARE(h.messages.messages,
                 QStringList({QStringLiteral("Retry Limit exceeded, quitting.\r\nRecord number was 1")}));
        QCOMPARE(h.messages.titles.first(), QStringLiteral("Download Error"));
        int records = 0;
        for (const QByteArray &c : h.sim->commands())
            records += c.startsWith(':');
        QCOMPARE(records, h.core->download.DownloadRetryLimit + 1); // the first record, over and over
        QCOMPARE(readBytes(flash.path), flash.bytes);
        QVERIFY(!h.core->download.isFileOpen());
        QVERIFY(answersAgain(h, 225));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        VERIFY_CAPS(watch);
    }

    void repliesOfAnotherFamily_changeNothing_andAnotherIdentityIsSaid()
    {
        PtyHarness h;
        // A flat panel whose every answer but the version comes from a CRT's firmware.
        START_ONLINE(h, QStringLiteral("version=3.10,fault=family,faultversion=2.25"));
        QCOMPARE(int(h.core->data.MonitorType), 310);
        BufferWatch watch(h);
        const int before = int(h.sim->commands().size());
        for (const QString &c : {cmd::readTestPoints(), cmd::readLimitsReportFull(), cmd::readHighVoltage(),
                                 cmd::readOperatingTime(), cmd::readModeWord(), cmd::readDac(u"l")})
            h.core->send(c);
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->commands().size() >= before + 6 && !h.core->link.XmitBusy(), 5000);
        QVERIFY(answersAgain(h, 310));
        // The CRT's answers were shown for what they are worth, and nothing
        // of them went back to the monitor.
        for (const QByteArray &c : h.sim->commands().mid(before))
            QVERIFY2(!c.startsWith('c') && !c.startsWith('C') && !c.startsWith('w'), c.constData());
        QVERIFY(!statusMessage(h).contains(QStringLiteral("now reports")));
        VERIFY_CAPS(watch);

        // Another monitor's identity in the middle of the session.
        PtyHarness g;
        START_ONLINE(g, QStringLiteral("version=2.25,fault=identity,faulton=dt,faultversion=3.10"));
        g.core->send(cmd::readOperatingTime());
        g.core->send(cmd::readFirmwareVersion());
        QTRY_COMPARE_WITH_TIMEOUT(int(g.core->data.MonitorType), 310, 3000);
        const QString text = AppCore::monitorTypeChangedText(QStringLiteral("V 3.10"), 310, 225);
        QCOMPARE(statusMessage(g), text);
        QCOMPARE(g.core->commLog.text().count(text), 1);
        QCOMPARE(g.core->connector.connectionState(), ConnectionState::Online);
    }
};

QTEST_MAIN(TestFaultsPty)
#include "test_faults_pty.moc"
