// tvkbench: the tool's speed and memory, each figure printed beside its
// target. Everything runs against tvk-monitor-sim on a pseudo-terminal, the
// simulator holding every answer back as long as the command and the answer
// would take on a 9600-baud line.
//
//   tvkbench [--commands N] [--records N] [--starts N]
//
// --commands  commands timed for the overhead (default 500)
// --records   data records of the download (default 4000, about 13 minutes;
//             0 leaves the download out)
// --starts    starts of the tarvik executable timed (default 5)
//
// What is measured, and how:
// - Overhead per command: the time the tool adds to an exchange beyond the
//   100 ms pause and the wire time. Taken on the tool's side of the port: from
//   the moment the read that closes a reply begins (before any of the tool's
//   code sees the characters) to the moment the next queued command has been
//   written, minus the pause. It holds the reply's framing, dispatch, parsers
//   and the windows they fill, the log window's echo, the queue, the lateness
//   of the pause timer and the write. The wire time lies outside that span
//   (the simulator holds the reply back for it before the span begins). The
//   commands are the full read's, cycled, queued at once, the tool as at a
//   first start (log window loaded with its echo on).
// - Longest event-loop stall: a 1 ms timer on the UI thread; the longest gap
//   between two of its ticks during a full read (Monitor > Update All Data,
//   one command a second) and during a firmware download, with what the
//   thread did in the longest gap: the scheduler's accounts of its time on a
//   CPU and waiting for one, the rest asleep, and the system call it slept
//   in (sampled every half millisecond while the tick was late).
// - Drag: the Vertical Size slider of the geometry window dragged across its
//   whole bar in 1.5 s, the value under the pointer at each moment; the
//   set commands the simulator received for it, and the time from the release
//   to the simulator receiving the final value (stamped when its --verbose
//   line arrives here).
// - Start-up: the real tarvik executable (offscreen, --port on the
//   simulator's link, settings in a folder of its own), started this many
//   times after one start that is not counted. "Exec to first ping" is the
//   time from starting the process to the simulator receiving its first
//   command, stamped here when the simulator's --verbose line arrives.
//   "Exec to window drawn" uses the one line tarvik prints with
//   TARVIK_STARTUP_REPORT set: its monotonic clock at the end of the first
//   paint of the main window.
// - Resident memory: a fresh process of this program builds the tool (core
//   and main window, the same code the tarvik executable runs), connects to
//   the simulator, opens every window of the window registry, runs on for
//   5 s and reads VmRSS (and VmHWM, the peak) from /proc/self/status.
// - Beside the wall-clock figures, indented rows give the same spans in CPU
//   time (the UI thread's for the overhead and the stalls, the whole
//   process's for the start): on a machine shared with other work the
//   wall-clock figures hold time the tool spent waiting for a processor.

#include "benchsupport.h"
#include "sliderdrag.h"

#include "app/windowregistry.h"
#include "base/adjustnames.h"
#include "base/menunames.h"
#include "model/fullread.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <cstdio>

using namespace tvk;
using namespace tvk::bench;

namespace {

constexpr double kOverheadMedianTargetMs = 1.0;
constexpr double kOverheadP99TargetMs = 3.0;
constexpr double kStallTargetMs = 16.0;
constexpr double kDragCommandsTarget = 15;
constexpr double kDragSettleTargetMs = 300;
constexpr double kStartTargetMs = 300.0;
constexpr double kMemoryTargetMb = 60.0;

struct Figure {
    QString name;
    double value;
    double target;
    QString unit;
};
QList<Figure> g_figures;

void figure(const QString &name, double value, double target, const char *unit)
{
    g_figures.append({name, value, target, QString::fromLatin1(unit)});
    std::printf("  %-44s %10.3f %-3s target <= %-6g %s  %s\n", qPrintable(name), value, unit, target, unit,
                value <= target ? "met" : "MISSED");
    std::fflush(stdout);
}

template <class... Args>
void note(const char *format, Args... args)
{
    std::printf("  ");
    if constexpr (sizeof...(Args) == 0)
        std::fputs(format, stdout);
    else
        std::printf(format, args...);
    std::printf("\n");
    std::fflush(stdout);
}

void heading(const char *text)
{
    std::printf("\n%s (load average %s)\n", text, qPrintable(loadAverage()));
    std::fflush(stdout);
}

bool linkIdle(const AppCore &core) { return !core.link.XmitBusy() && core.link.XmitQueue().isEmpty(); }

// ---------------------------------------------------------------------------
// Overhead per command, then the stall during a full read, on one connection.

bool measureExchanges(const QString &workDir, int commands)
{
    heading("Overhead per command and event-loop stall during a full read");
    const QString link = workDir + QStringLiteral("/monitor-exchange");
    // What the tool's signals write to outlives the tool (declared first).
    QElapsedTimer clock;
    qint64 readBeganNs = 0, readBeganCpuNs = 0, replyWorkNs = 0, closedAtNs = -1, closedAtCpuNs = 0;
    bool inFlightBefore = false;
    QList<double> overheadMs, overheadCpuMs, processingMs;
    LoopPulse pulse;
    QElapsedTimer readClock;
    bool finished = false;
    int written = 0;

    SimServer sim;
    if (!sim.start(link, QStringLiteral("baud=9600"))) {
        note("the simulator did not start: %s", qPrintable(sim.error()));
        return false;
    }
    BenchTool tool(link);
    QString error;
    if (!tool.connect(&error)) {
        note("%s", qPrintable(error));
        return false;
    }
    AppCore &core = *tool.core;
    const int pauseMs = core.link.writePauseMs();

    QStringList cycle;
    for (int step = 0; step <= FullRead::kLastStep; ++step) {
        const QString c = FullRead::stepCommand(step);
        if (!c.isEmpty())
            cycle << c;
    }

    clock.start();
    QList<QMetaObject::Connection> timing;
    tool.ports.beforeRead = [&] {
        readBeganNs = clock.nsecsElapsed();
        readBeganCpuNs = threadCpuNs();
        inFlightBefore = core.link.XmitBusy() && !core.link.isWritePending();
    };
    // Connected after the link's own handler: runs when the tool is done with the read.
    timing << QObject::connect(core.link.port(), &SerialPort::received, [&] {
        replyWorkNs += clock.nsecsElapsed() - readBeganNs;
        const bool released = !core.link.XmitBusy() || core.link.isWritePending();
        if (inFlightBefore && released) { // this read closed the reply
            processingMs.append(replyWorkNs / 1e6);
            replyWorkNs = 0;
            closedAtNs = core.link.isWritePending() ? readBeganNs : -1;
            closedAtCpuNs = readBeganCpuNs;
        }
    });
    timing << QObject::connect(&core.link, &SerialLink::commandWritten, [&](const QString &) {
        if (closedAtNs >= 0 && overheadMs.size() < commands) {
            overheadMs.append((clock.nsecsElapsed() - closedAtNs) / 1e6 - pauseMs);
            overheadCpuMs.append((threadCpuNs() - closedAtCpuNs) / 1e6);
        }
        closedAtNs = -1;
    });

    // One more than timed: the first write follows no reply.
    for (int i = 0; i <= commands; ++i)
        core.link.SendCommand(cycle.at(i % cycle.size()));
    const qint64 startMs = clock.elapsed();
    waitUntil([&] { return linkIdle(core); }, (commands + 20) * 1000);
    const double seconds = (clock.elapsed() - startMs) / 1000.0;
    tool.ports.beforeRead = nullptr;
    for (const QMetaObject::Connection &c : std::as_const(timing))
        QObject::disconnect(c);

    note("%lld commands timed (the full read's %lld commands, cycled; replies may queue more) in %.1f s",
         qint64(overheadMs.size()), qint64(cycle.size()), seconds);
    if (overheadMs.size() < commands)
        note("fewer commands were timed than asked: %lld of %d", qint64(overheadMs.size()), commands);
    figure(QStringLiteral("overhead per command, median"), percentile(overheadMs, 50), kOverheadMedianTargetMs, "ms");
    figure(QStringLiteral("overhead per command, 99th percentile"), percentile(overheadMs, 99), kOverheadP99TargetMs,
           "ms");
    // The same spans counted in the UI thread's CPU time: the tool's own
    // work, without the time a busy machine gives to other programs.
    figure(QStringLiteral("  the same in UI-thread CPU time, median"), percentile(overheadCpuMs, 50),
           kOverheadMedianTargetMs, "ms");
    figure(QStringLiteral("  the same in UI-thread CPU time, p99"), percentile(overheadCpuMs, 99), kOverheadP99TargetMs,
           "ms");
    note("overhead: max %.3f ms; in UI-thread CPU time max %.3f ms", percentile(overheadMs, 100),
         percentile(overheadCpuMs, 100));
    note("reply processing alone (every read of a reply, framing to dispatch and parsers): median %.3f ms, "
         "p99 %.3f ms, max %.3f ms",
         percentile(processingMs, 50), percentile(processingMs, 99), percentile(processingMs, 100));

    // The full read, as from the menu.
    QObject::connect(&core.fullRead, &FullRead::finished, [&] { finished = true; });
    QObject::connect(&core.link, &SerialLink::commandWritten, [&](const QString &) { ++written; });
    readClock.start();
    pulse.start();
    tool.window->trigger(QStringLiteral("mnuMonitorUpdate"));
    waitUntil([&] { return finished && linkIdle(core); }, 120000);
    BenchTool::runFor(1000); // the last reply's parsers and repaints
    pulse.stop();
    if (!finished) {
        note("the full read did not finish");
        return false;
    }
    note("full read: %d commands in %.1f s; longest gap %.3f s after its start, the UI thread busy %.3f ms of it; "
         "%d gaps over 16 ms; most CPU time between two ticks %.3f ms",
         written, readClock.elapsed() / 1000.0, pulse.longestAtS(), pulse.longestCpuMs(), pulse.gapsOver16ms(),
         pulse.busiestCpuMs());
    note("the UI thread in the longest gap: %s", qPrintable(pulse.longestSpan().text()));
    figure(QStringLiteral("longest event-loop stall, full read"), pulse.longestMs(), kStallTargetMs, "ms");
    figure(QStringLiteral("  UI thread's longest busy stretch (CPU)"), pulse.busiestCpuMs(), kStallTargetMs, "ms");
    return true;
}

// ---------------------------------------------------------------------------
// A slider dragged over a slow line: what the monitor gets, and how soon the
// value under the hand is the monitor's.

bool measureDrag(const QString &workDir)
{
    heading("Slider drag at 9600 baud");
    const QString link = workDir + QStringLiteral("/monitor-drag");
    QList<std::pair<QByteArray, qint64>> received; // outlives the simulator's hook
    SimServer sim;
    if (!sim.start(link, QStringLiteral("baud=9600"),
                   [&](const QByteArray &line, qint64 atNs) { received.append({line, atNs}); })) {
        note("the simulator did not start: %s", qPrintable(sim.error()));
        return false;
    }
    BenchTool tool(link);
    QString error;
    if (!tool.connect(&error)) {
        note("%s", qPrintable(error));
        return false;
    }
    tool.window->trigger(menu::mnuAdjustGeometry);
    auto *slider = test::panelChild<QAbstractSlider>(*tool.window, win::frmGeometryAdj, ctl::HScroll1_(0));
    if (!slider || !waitUntil([&] { return linkIdle(*tool.core); }, 10000)) {
        note("the geometry window did not load its values");
        return false;
    }
    BenchTool::runFor(500);
    const qsizetype from = received.size();

    QElapsedTimer drag;
    drag.start();
    const int hi = test::dragAcross(slider, 1500);
    const qint64 releasedNs = monotonicNs();
    const QByteArray last = "cdv0" + QByteArray::number(hi);
    auto arrived = [&] {
        for (qsizetype i = from; i < received.size(); ++i)
            if (received.at(i).first == last)
                return received.at(i).second;
        return qint64(-1);
    };
    if (!waitUntil([&] { return arrived() >= 0; }, 20000)) {
        note("the final value %s never reached the simulator", last.constData());
        return false;
    }
    int sets = 0;
    for (qsizetype i = from; i < received.size(); ++i)
        sets += received.at(i).first.startsWith("cdv0") ? 1 : 0;
    note("%d..%d in %.2f s; %d set commands reached the monitor, the last %s", slider->minimum(), hi,
         drag.elapsed() / 1000.0, sets, last.constData());
    figure(QStringLiteral("drag: set commands written"), sets, kDragCommandsTarget, "");
    figure(QStringLiteral("drag: release to the monitor's final value"), (arrived() - releasedNs) / 1e6,
           kDragSettleTargetMs, "ms");
    return true;
}

// ---------------------------------------------------------------------------

bool measureDownload(const QString &workDir, int records)
{
    heading("Event-loop stall during a firmware download");
    note("%d data records at 9600 baud: about %.0f minutes", records, records * 0.19 / 60.0);
    const DownloadResult r = runDownload(workDir, records, 9600, SerialLink::kWritePauseMs);
    if (!r.error.isEmpty()) {
        note("%s", qPrintable(r.error));
        return false;
    }
    note("%d records in %.1f s, %.3f ms a record, %.4f times the floor (pause + wire time); image %s", r.lines,
         r.transferMs / 1000.0, r.transferMs / r.lines, r.floorMs > 0 ? r.transferMs / r.floorMs : 0.0,
         r.imageMatches ? "matches the file" : "DOES NOT MATCH the file");
    note("longest gap %.3f s after the start, the UI thread busy %.3f ms of it; %d gaps over 16 ms; most CPU "
         "time between two ticks %.3f ms",
         r.longestGapAtS, r.longestGapCpuMs, r.gapsOver16ms, r.busiestCpuMs);
    note("the UI thread in the longest gap: %s", qPrintable(r.longestGapSpan.text()));
    note("reply to next write %.3f ms on average, %.3f ms at most (pause included)", r.turnAvgMs, r.turnMaxMs);
    figure(QStringLiteral("longest event-loop stall, %1-record download").arg(records), r.longestGapMs, kStallTargetMs,
           "ms");
    figure(QStringLiteral("  UI thread's longest busy stretch (CPU)"), r.busiestCpuMs, kStallTargetMs, "ms");
    return r.imageMatches;
}

// ---------------------------------------------------------------------------

struct StartTimes {
    double drawnMs = -1, pingMs = -1, cpuMs = -1;
    QByteArray firstCommand;
};

StartTimes startOnce(const QString &workDir, int run, QString *error)
{
    StartTimes t;
    const QString link = workDir + QStringLiteral("/monitor-start");
    qint64 firstCommandNs = -1, drawnNs = -1;
    SimServer sim;
    if (!sim.start(link, QStringLiteral("baud=9600"), [&](const QByteArray &line, qint64 at) {
            if (firstCommandNs < 0) {
                firstCommandNs = at;
                t.firstCommand = line;
            }
        })) {
        *error = sim.error();
        return t;
    }
    QProcess tarvik;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TARVIK_STARTUP_REPORT"), QStringLiteral("1"));
    tarvik.setProcessEnvironment(env);
    tarvik.setProcessChannelMode(QProcess::SeparateChannels);
    tarvik.setStandardErrorFile(QProcess::nullDevice());
    QByteArray out;
    static const QRegularExpression drawnLine(QStringLiteral("drawn at (\\d+) ns.* ([0-9.]+) ms of CPU"));
    QObject::connect(&tarvik, &QProcess::readyReadStandardOutput, [&] {
        out += tarvik.readAllStandardOutput();
        const QRegularExpressionMatch m = drawnLine.match(QString::fromLatin1(out));
        if (m.hasMatch()) {
            drawnNs = m.captured(1).toLongLong();
            t.cpuMs = m.captured(2).toDouble();
        }
    });
    const qint64 execNs = monotonicNs();
    tarvik.start(QStringLiteral(TVK_TARVIK_PATH),
                 {QStringLiteral("--settings"), workDir + QStringLiteral("/start-settings"), QStringLiteral("--port"), link});
    const bool both = waitUntil([&] { return drawnNs >= 0 && firstCommandNs >= 0; }, 15000);
    tarvik.terminate();
    if (!tarvik.waitForFinished(5000)) {
        tarvik.kill();
        tarvik.waitForFinished(2000);
    }
    if (!both) {
        *error = QStringLiteral("start %1: %2").arg(run).arg(drawnNs < 0 ? QStringLiteral("no drawn line from tarvik")
                                                                         : QStringLiteral("no command reached the simulator"));
        return t;
    }
    t.drawnMs = (drawnNs - execNs) / 1e6;
    t.pingMs = (firstCommandNs - execNs) / 1e6;
    return t;
}

bool measureStart(const QString &workDir, int starts)
{
    heading("Start-up of the tarvik executable");
    QString error;
    startOnce(workDir, 0, &error); // the first start writes the settings files; not counted
    if (!error.isEmpty()) {
        note("%s", qPrintable(error));
        return false;
    }
    QList<double> drawn, ping, cpu;
    QByteArray first;
    for (int run = 1; run <= starts; ++run) {
        const StartTimes t = startOnce(workDir, run, &error);
        if (!error.isEmpty()) {
            note("%s", qPrintable(error));
            return false;
        }
        drawn << t.drawnMs;
        ping << t.pingMs;
        cpu << t.cpuMs;
        first = t.firstCommand;
        note("start %d: window drawn %.1f ms (%.1f ms of CPU time by then), first command (\"%s\") %.1f ms", run,
             t.drawnMs, t.cpuMs, first.constData(), t.pingMs);
    }
    figure(QStringLiteral("start, exec to main window drawn (median)"), percentile(drawn, 50), kStartTargetMs, "ms");
    figure(QStringLiteral("start, exec to first ping (median)"), percentile(ping, 50), kStartTargetMs, "ms");
    figure(QStringLiteral("  tool's CPU time to window drawn (median)"), percentile(cpu, 50), kStartTargetMs, "ms");
    note("slowest of %d: window %.1f ms, first ping %.1f ms", starts, percentile(drawn, 100), percentile(ping, 100));
    return true;
}

// ---------------------------------------------------------------------------

qint64 statusKb(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(qstrlen(key)).trimmed().split(' ').value(0).toLongLong();
    }
    return -1;
}

// The child: the tool with every window loaded; prints "key value" lines.
int memoryChild(const QString &link)
{
    BenchTool tool(link);
    QString error;
    if (!tool.connect(&error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    const qint64 before = statusKb("VmRSS:");
    WindowRegistry &registry = tool.window->registry();
    const QStringList names = registry.names();
    for (const QString &name : names) {
        registry.openWindow(name);
        BenchTool::runFor(50);
    }
    BenchTool::runFor(5000);
    int loaded = 0;
    for (const QString &name : names)
        loaded += registry.isLoaded(name) ? 1 : 0;
    std::printf("registered %lld\nloaded %d\nrss-before %lld\nrss %lld\nhwm %lld\n", qint64(names.size()), loaded,
                before, statusKb("VmRSS:"), statusKb("VmHWM:"));
    return 0;
}

bool measureMemory(const QString &workDir)
{
    heading("Resident memory with every window loaded");
    const QString link = workDir + QStringLiteral("/monitor-memory");
    SimServer sim;
    if (!sim.start(link, QStringLiteral("baud=9600"))) {
        note("the simulator did not start: %s", qPrintable(sim.error()));
        return false;
    }
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), workDir + QStringLiteral("/memory-config"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), link});
    if (!child.waitForFinished(120000) || child.exitCode() != 0) {
        note("the measuring process failed");
        return false;
    }
    QHash<QByteArray, qint64> v;
    for (const QByteArray &line : child.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> kv = line.split(' ');
        if (kv.size() == 2)
            v.insert(kv[0], kv[1].toLongLong());
    }
    note("%lld of %lld registered windows loaded; %.1f MB resident before opening them, peak %.1f MB",
         v.value("loaded"), v.value("registered"), v.value("rss-before") / 1024.0, v.value("hwm") / 1024.0);
    figure(QStringLiteral("resident memory, every window loaded"), v.value("rss") / 1024.0, kMemoryTargetMb, "MB");
    return v.value("loaded") == v.value("registered") && v.value("rss") > 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    if (qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME") || !(argc >= 2 && qstrcmp(argv[1], "--memory-child") == 0)) {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
        // The session records of the tools measured here (this process and
        // the tarvik processes it starts) are not the user's.
        qputenv("XDG_DATA_HOME", dir.filePath(QStringLiteral("data")).toLocal8Bit());
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption commandsOpt(QStringLiteral("commands"), QStringLiteral("Commands timed for the overhead."),
                                         QStringLiteral("n"), QStringLiteral("500"));
    const QCommandLineOption recordsOpt(QStringLiteral("records"),
                                        QStringLiteral("Data records of the download (0: no download)."),
                                        QStringLiteral("n"), QStringLiteral("4000"));
    const QCommandLineOption startsOpt(QStringLiteral("starts"), QStringLiteral("Starts of tarvik timed."),
                                       QStringLiteral("n"), QStringLiteral("5"));
    QCommandLineOption childOpt(QStringLiteral("memory-child"), QStringLiteral("(internal)"), QStringLiteral("link"));
    childOpt.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({commandsOpt, recordsOpt, startsOpt, childOpt});
    parser.process(app);
    if (parser.isSet(childOpt))
        return memoryChild(parser.value(childOpt));

    const int commands = parser.value(commandsOpt).toInt();
    const int records = parser.value(recordsOpt).toInt();
    const int starts = parser.value(startsOpt).toInt();
    if (commands < 1 || records < 0 || starts < 1) {
        std::fprintf(stderr, "tvkbench: bad option value\n");
        return 1;
    }

    std::printf("tvkbench: %s build, Qt %s, %d processors, against tvk-monitor-sim at 9600 baud\n", TVK_BUILD_TYPE,
                qVersion(), QThread::idealThreadCount());
    std::printf("overhead = from the start of the read that closes a reply to the next command written, minus "
                "the %d ms pause\n",
                SerialLink::kWritePauseMs);
    std::printf("rows indented under a figure count CPU time instead of wall-clock time: what the tool itself\n"
                "spends, without the time a loaded machine gives to other programs (the figure above it is the\n"
                "one the target is for)\n");
    bool ok = measureStart(dir.path(), starts);
    ok = measureMemory(dir.path()) && ok;
    ok = measureExchanges(dir.path(), commands) && ok;
    ok = measureDrag(dir.path()) && ok;
    if (records > 0)
        ok = measureDownload(dir.path(), records) && ok;

    std::printf("\nSummary (load average now %s)\n", qPrintable(loadAverage()));
    int missed = 0;
    for (const Figure &f : std::as_const(g_figures)) {
        std::printf("  %-44s %10.3f %-3s target <= %-6g %s  %s\n", qPrintable(f.name), f.value, qPrintable(f.unit),
                    f.target, qPrintable(f.unit), f.value <= f.target ? "met" : "MISSED");
        missed += f.value <= f.target ? 0 : 1;
    }
    if (!ok)
        std::printf("  some measurements did not complete (see above)\n");
    return ok && missed == 0 ? 0 : 1;
}
