// Firmware downloads end to end: the real main window on the real serial port
// against tvk-monitor-sim on a pseudo-terminal. The pause before each write is
// shortened so that thousands of records pass in seconds; the rest of the
// link runs at its scaled real timing.

#include "firmware/firmwarehandlers.h"
#include "hexgen.h"
#include "panels/firmware/softwarepanel.h"
#include "ptyharness.h"

#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using namespace tvk;
using namespace tvk::test;

namespace {

// Written before the transfer, scaled like every interval of the harness.
constexpr int kShortPauseMs = 5;

struct Transfer {
    PtyHarness h;
    QString hexPath;
    QString imagePath;
    HexImage image;
    bool started = false;

    // Starts the simulator with the image option and `options`, connects,
    // writes a file of `records` data records.
    bool setUp(int records, const QString &options = QString())
    {
        hexPath = h.dir.filePath(QStringLiteral("fw.hex"));
        imagePath = h.dir.filePath(QStringLiteral("received.bin"));
        image = patternImage(records, 16, 0x4000);
        if (!writeIntelHex(hexPath, image))
            return false;
        QString opts = QStringLiteral("image=") + imagePath;
        if (!options.isEmpty())
            opts += u',' + options;
        if (!h.startSim({QStringLiteral("--options"), opts}))
            return false;
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.startTool();
        if (!connected.wait(5000) && connected.isEmpty())
            return false;
        h.core->link.setWritePauseMs(kShortPauseMs);
        return true;
    }
    void flash()
    {
        h.dialogs.openAnswers << hexPath;
        h.messages.okCancelAnswer = true;
        FirmwareActions actions(h.core->firmwareContext());
        actions.loadFlash();
        started = h.core->download.isBusy();
    }
    QByteArray received() const
    {
        QFile f(imagePath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    int recordsAtSim() const
    {
        int n = 0;
        for (const QByteArray &c : h.sim->commands())
            n += c.startsWith(':');
        return n;
    }
    // Runs the event loop until the download is idle (QTRY's waits sleep
    // between looks, which would slow every record down).
    bool waitUntilIdle(int timeoutMs)
    {
        if (!h.core->download.isBusy())
            return true;
        QEventLoop loop;
        QObject::connect(&h.core->download, &HexDownload::stateChanged, &loop, [&](HexDownload::State s) {
            if (s == HexDownload::State::Idle)
                loop.quit();
        });
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return !h.core->download.isBusy();
    }
    // Runs the event loop until `records` records have been sent.
    bool waitForRecord(int records, int timeoutMs)
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (h.core->download.RecordNumber() >= records || !h.core->download.isBusy())
                loop.quit();
        });
        poll.start(1);
        QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
        loop.exec();
        return h.core->download.RecordNumber() >= records;
    }
    // Ended cleanly: nothing running, file closed, window hidden.
    bool endedCleanly() const
    {
        const HexDownload &d = h.core->download;
        return !d.isBusy() && !d.DownloadActive() && !d.isFileOpen() && !h.visible(win::frmBootProgress);
    }
};

#define SET_UP(t, ...)                                                                         \
    do {                                                                                       \
        if (!ptyAvailable())                                                                   \
            QSKIP("no pseudo-terminals on this system");                                       \
        QVERIFY2((t).setUp(__VA_ARGS__), qPrintable((t).h.sim ? (t).h.sim->error() : QString())); \
    } while (false)

} // namespace

class TestDownloadPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void fourThousandRecords_imageMatchesByteForByte();
    void refusedRecords_bothForms_recover();
    void abort_stopsAtTheNextReply();
    void silentMonitor_andLostPort_endCleanly();
    void cancelledDialogAndBadFile_sendNothing();
};

void TestDownloadPty::fourThousandRecords_imageMatchesByteForByte()
{
    Transfer t;
    SET_UP(t, 4000);
    QVERIFY(hexLineCount(t.image) >= 4000);
    t.flash();
    QVERIFY(t.started);
    QTRY_VERIFY_WITH_TIMEOUT(t.h.core->download.DownloadActive(), 5000);
    QVERIFY(t.h.visible(win::frmBootProgress));
    QVERIFY(t.waitUntilIdle(60000));
    QVERIFY2(t.h.messages.messages.isEmpty(), qPrintable(t.h.messages.messages.join(u'|')));
    QVERIFY(t.endedCleanly());
    QCOMPARE(t.h.beeper.beeps.mid(t.h.beeper.beeps.size() - 3),
             (QList<QPair<int, int>>{{250, 250}, {500, 250}, {1000, 250}}));
    const QByteArray got = t.received();
    QCOMPARE(got.size(), t.image.data.size());
    QVERIFY(got == t.image.data);
}

void TestDownloadPty::refusedRecords_bothForms_recover()
{
    Transfer t;
    // Records 3, 10 and 25 are refused twice each, "!" alone and "!" with the
    // prompt by turns.
    SET_UP(t, 40, QStringLiteral("refuse=3:10:25,refusetimes=2,refuseform=both"));
    t.flash();
    QVERIFY(t.started);
    QVERIFY(t.waitUntilIdle(20000));
    QVERIFY2(t.h.messages.messages.isEmpty(), qPrintable(t.h.messages.messages.join(u'|')));
    QCOMPARE(t.h.core->download.TotalRetries(), 6);
    QCOMPARE(t.h.core->download.progress().retryText(), QStringLiteral("Retries: 6"));
    QVERIFY(t.received() == t.image.data);
    QTRY_COMPARE_WITH_TIMEOUT(t.recordsAtSim(), hexLineCount(t.image) + 6, 2000);
    // The link is still usable afterwards.
    t.h.core->send(QStringLiteral("df"));
    QTRY_COMPARE_WITH_TIMEOUT(t.h.sim->count("df"), 2, 3000);
    QTRY_VERIFY_WITH_TIMEOUT(!t.h.core->link.XmitBusy(), 3000);
}

void TestDownloadPty::abort_stopsAtTheNextReply()
{
    Transfer t;
    SET_UP(t, 3000);
    t.flash();
    QVERIFY(t.waitForRecord(50, 10000));
    auto *abort = t.h.child<QPushButton>(win::frmBootProgress, QStringLiteral("BootAbortButton"));
    QVERIFY(abort);
    abort->click();
    const int inFlight = t.h.core->download.RecordNumber();
    QVERIFY(t.waitUntilIdle(3000));
    QCOMPARE(t.h.core->download.RecordNumber(), inFlight);
    QVERIFY(t.endedCleanly());
    QVERIFY(t.h.messages.messages.isEmpty());
    QCOMPARE(t.h.beeper.beeps.mid(t.h.beeper.beeps.size() - 3),
             (QList<QPair<int, int>>{{250, 250}, {125, 250}, {125, 250}}));
    QTest::qWait(300);
    QCOMPARE(t.recordsAtSim(), inFlight);
}

void TestDownloadPty::silentMonitor_andLostPort_endCleanly()
{
    {
        Transfer t;
        SET_UP(t, 100, QStringLiteral("silentafterrecord=20"));
        t.flash();
        QVERIFY(t.started);
        QVERIFY(t.waitUntilIdle(10000));
        QVERIFY(t.endedCleanly());
        QCOMPARE(t.h.messages.messages.size(), 1);
        QCOMPARE(t.h.messages.messages.first(),
                 QStringLiteral("The monitor stopped answering, quitting.\r\nRecord number was 21"));
        // The unanswered record stays in flight; nothing of the download
        // waits behind it.
        QVERIFY(!t.h.core->link.XmitQueue().contains(u':'));
    }
    {
        Transfer t;
        SET_UP(t, 3000);
        t.flash();
        QVERIFY(t.waitForRecord(30, 10000));
        t.h.sim->stop(); // the monitor's end of the line goes away
        QVERIFY(t.waitUntilIdle(5000));
        QVERIFY(t.endedCleanly());
        QCOMPARE(t.h.messages.messages.size(), 1);
        QVERIFY2(t.h.messages.messages.first().startsWith(
                     QStringLiteral("The connection to the monitor was lost, quitting.\r\nThe serial port was lost")),
                 qPrintable(t.h.messages.messages.first()));
        // The tool runs on.
        QVERIFY(t.h.window->isVisible());
        QTest::qWait(200);
        QVERIFY(!t.h.core->download.isBusy());
    }
}

void TestDownloadPty::cancelledDialogAndBadFile_sendNothing()
{
    Transfer t;
    SET_UP(t, 3100);
    // Nothing queued before a command that does reach the monitor did: once
    // that one is there, what the tool would have sent is there too.
    const auto sentSoFar = [&t]() -> QByteArrayList {
        const int before = t.h.sim->count("df");
        t.h.core->send(QStringLiteral("df"));
        if (!QTest::qWaitFor([&] { return t.h.sim->count("df") > before; }, 3000))
            return {"(no answer)"};
        QByteArrayList got;
        for (const QByteArray &c : t.h.sim->commands())
            if (c == "cz0" || c == "cb0" || c == "bf3" || c.startsWith(':'))
                got << c;
        return got;
    };

    // The firmware dialog cancelled.
    t.h.messages.okCancelAnswer = true;
    FirmwareActions(t.h.core->firmwareContext()).loadFlash();
    QVERIFY(!t.h.core->download.isBusy());
    QCOMPARE(sentSoFar(), QByteArrayList{});

    // A bad checksum in record 3000.
    QFile f(t.hexPath);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = f.readAll().split('\n');
    f.close();
    QByteArray &line = lines[2999];
    line[line.size() - 2] = line.at(line.size() - 2) == '0' ? '1' : '0'; // the checksum's last digit
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(lines.join('\n'));
    f.close();
    t.flash();
    QVERIFY(!t.started);
    QCOMPARE(t.h.messages.titles, QStringList{QStringLiteral("File Format Error")});
    QVERIFY2(t.h.messages.messages.value(0).contains(QStringLiteral("Line 3000: bad checksum")),
             qPrintable(t.h.messages.messages.value(0)));
    QCOMPARE(sentSoFar(), QByteArrayList{});
    QVERIFY(t.h.core->globals.connection.autoPing());
}

QTEST_MAIN(TestDownloadPty)
#include "test_download_pty.moc"
