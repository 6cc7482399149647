// Flash download benchmark: the real main window on the real serial port
// flashes an Intel HEX file into tvk-monitor-sim on a pseudo-terminal, the
// simulator pacing every answer like a 9600-baud line. Prints the total time,
// the time per record, the ratio to the floor (the 100 ms pause before each
// write plus the wire time of the record and of its reply) and the longest
// gap between ticks of the event loop during the transfer.
//
//   flashbench [--records N] [--baud B] [--pause MS]
//
// --records  data records in the file (default 4000)
// --baud     simulated line speed (default 9600; 0: answers at once)
// --pause    pause before each write in ms (default the link's 100)

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "apptest.h"
#include "guitest.h"
#include "hexgen.h"
#include "link/qtserialport.h"
#include "panels/firmware/firmwareactions.h"
#include "panels/firmware/softwarepanel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

using namespace tvk;
using namespace tvk::test;

namespace {

// Characters of one record exchange as the floor counts them: the record
// with CR LF, and the reply (echo, CR LF, prompt).
struct WireCount {
    qint64 sent = 0;
    qint64 replied = 0;
};

WireCount wireOf(const QByteArray &hexText)
{
    WireCount w;
    for (const QByteArray &raw : hexText.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (line.isEmpty())
            continue;
        w.sent += line.size() + 2;
        w.replied += line.size() + 3; // the end record's "EOF" line is left out: a floor
    }
    return w;
}

int fail(const char *what)
{
    std::fprintf(stderr, "flashbench: %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption recordsOpt(QStringLiteral("records"), QStringLiteral("Data records."), QStringLiteral("n"), QStringLiteral("4000"));
    const QCommandLineOption baudOpt(QStringLiteral("baud"), QStringLiteral("Line speed."), QStringLiteral("b"), QStringLiteral("9600"));
    const QCommandLineOption pauseOpt(QStringLiteral("pause"), QStringLiteral("Pause before each write, ms."), QStringLiteral("ms"),
                                      QString::number(SerialLink::kWritePauseMs));
    parser.addOptions({recordsOpt, baudOpt, pauseOpt});
    parser.process(app);
    const int records = parser.value(recordsOpt).toInt();
    const int baud = parser.value(baudOpt).toInt();
    const int pauseMs = parser.value(pauseOpt).toInt();
    if (records < 1 || baud < 0 || pauseMs < 0)
        return fail("bad option value");

    // The file.
    const HexImage image = patternImage(records, 16, 0x4000);
    const QByteArray hexText = intelHex(image);
    const QString hexPath = dir.filePath(QStringLiteral("bench.hex"));
    const QString imagePath = dir.filePath(QStringLiteral("received.bin"));
    if (!writeIntelHex(hexPath, image))
        return fail("cannot write the HEX file");

    // The simulator.
    const QString linkPath = dir.filePath(QStringLiteral("monitor"));
    QProcess sim;
    sim.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    sim.start(QStringLiteral(TVK_MONITOR_SIM_PATH),
              {QStringLiteral("--link"), linkPath, QStringLiteral("--options"),
               QStringLiteral("baud=%1,image=%2").arg(baud).arg(imagePath)});
    if (!sim.waitForStarted(5000) || !sim.waitForReadyRead(5000))
        return fail("the simulator did not start");

    // The tool.
    SystemClock clock;
    QtPortFactory ports;
    RecordingBeeper beeper;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    FakeLauncher launcher;
    AppCore core(Platform{&clock, &ports, &beeper, &messages, &dialogs, &dialogs});
    core.settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("Com1Device"), linkPath);
    core.shell.SetUserMode();
    MainWindow window(core, launcher);
    window.resize(1000, 800);
    window.show();
    window.startUp();
    QElapsedTimer wait;
    wait.start();
    while (!core.globals.MonitorOnline && wait.elapsed() < 10000)
        app.processEvents(QEventLoop::AllEvents, 50);
    if (!core.globals.MonitorOnline)
        return fail("the tool did not connect");
    // Let the connection's own traffic ("df", "dx") finish.
    while (wait.elapsed() < 3000)
        app.processEvents(QEventLoop::AllEvents, 50);
    core.link.setWritePauseMs(pauseMs);

    // The event loop's pulse: a 1 ms timer, the longest gap between ticks.
    QElapsedTimer pulseClock;
    qint64 lastTick = -1, longestGapNs = 0, longestGapAtNs = 0;
    int gapsOver16 = 0;
    QTimer pulse;
    pulse.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pulse, &QTimer::timeout, [&] {
        const qint64 now = pulseClock.nsecsElapsed();
        if (lastTick >= 0) {
            const qint64 gap = now - lastTick;
            if (gap > 16'000'000)
                ++gapsOver16;
            if (gap > longestGapNs) {
                longestGapNs = gap;
                longestGapAtNs = lastTick;
            }
        }
        lastTick = now;
    });

    QElapsedTimer total;
    // Where the time of a record goes: from the write to the last piece of
    // its reply (line and monitor), and from there to the next write (tool).
    qint64 lastWriteNs = -1, lastReceivedNs = -1, exchanges = 0;
    double replySumMs = 0, turnSumMs = 0, turnMaxMs = 0;
    QObject::connect(core.link.port(), &SerialPort::received, [&] { lastReceivedNs = total.nsecsElapsed(); });
    QObject::connect(&core.link, &SerialLink::commandWritten, [&](const QString &c) {
        const qint64 now = total.nsecsElapsed();
        if (c.startsWith(u':') && lastWriteNs >= 0 && lastReceivedNs > lastWriteNs) {
            replySumMs += (lastReceivedNs - lastWriteNs) / 1e6;
            const double turn = (now - lastReceivedNs) / 1e6;
            turnSumMs += turn;
            turnMaxMs = std::max(turnMaxMs, turn);
            ++exchanges;
        }
        lastWriteNs = now;
    });

    dialogs.openAnswers << hexPath;
    messages.okCancelAnswer = true;
    FirmwareActions actions(firmwareContext(core));
    bool ended = false;
    qint64 startNs = 0, endNs = 0;
    QObject::connect(&core.download, &HexDownload::activeChanged, [&](bool active) {
        if (active) {
            startNs = total.nsecsElapsed();
        } else {
            endNs = total.nsecsElapsed();
            ended = true;
        }
    });
    total.start();
    pulseClock.start();
    pulse.start(1);
    actions.loadFlash();
    while (!ended && core.download.isBusy())
        app.processEvents(QEventLoop::WaitForMoreEvents);
    pulse.stop();
    if (!ended || !messages.messages.isEmpty()) {
        std::fprintf(stderr, "flashbench: the download failed: %s\n", qPrintable(messages.messages.join(u'|')));
        return 1;
    }

    // From the first record written to the end record's reply.
    const int lines = int(hexText.count('\n'));
    const WireCount wire = wireOf(hexText);
    const double transferMs = (endNs - startNs) / 1e6;
    const double perRecordMs = transferMs / lines;
    const double wireMs = baud > 0 ? double(wire.sent + wire.replied) * 10.0 * 1000.0 / baud : 0.0;
    const double floorMs = double(lines) * pauseMs + wireMs;
    QFile got(imagePath);
    const bool match = got.open(QIODevice::ReadOnly) && got.readAll() == image.data;

    std::printf("records in file       %d (%d data records)\n", lines, records);
    std::printf("line speed            %d baud, pause %d ms\n", baud, pauseMs);
    std::printf("total time            %.3f s\n", transferMs / 1000.0);
    std::printf("time per record       %.3f ms\n", perRecordMs);
    std::printf("floor per record      %.3f ms (pause + wire time of record and reply)\n", floorMs / lines);
    std::printf("ratio to floor        %.4f\n", floorMs > 0 ? transferMs / floorMs : 0.0);
    std::printf("longest event gap     %.3f ms, %.3f s after the start; %d gaps over 16 ms\n", longestGapNs / 1e6,
                longestGapAtNs / 1e9, gapsOver16);
    if (exchanges > 0) {
        std::printf("write to reply         %.3f ms on average (line and monitor)\n", replySumMs / exchanges);
        std::printf("reply to next write    %.3f ms on average, %.3f ms at most (tool, pause included)\n",
                    turnSumMs / exchanges, turnMaxMs);
    }
    std::printf("image matches file    %s\n", match ? "yes" : "NO");

    window.close();
    sim.terminate();
    sim.waitForFinished(2000);
    return match ? 0 : 1;
}
