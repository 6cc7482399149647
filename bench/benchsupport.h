#pragma once
// Pieces the benchmark programs share: the monitor simulator served on a
// pseudo-terminal by tvk-monitor-sim, the tool in this process as a
// technician runs it (real main window offscreen, real serial port), the
// event loop's pulse, and a firmware download measured from end to end.

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "apptest.h"
#include "guitest.h"
#include "link/qtserialport.h"

#include <QElapsedTimer>
#include <QList>
#include <QProcess>
#include <QTimer>

#include <functional>
#include <memory>

namespace tvk::bench {

// Nanoseconds on the monotonic clock every process of this machine shares.
qint64 monotonicNs();
// CPU time this thread has used, nanoseconds. Beside a wall-clock span it
// tells the tool's own work from time the machine gave to other programs.
qint64 threadCpuNs();

// Runs the event loop, sleeping while there is nothing to do, until done()
// or timeoutMs have passed; done() is asked at least every 50 ms. A busy
// loop here would take the CPU from the tool being measured.
bool waitUntil(const std::function<bool()> &done, int timeoutMs);

// Nearest-rank percentile (p in 0..100) of a list of values; 0 when empty.
double percentile(QList<double> values, double p);

// The machine's load averages, as /proc/loadavg gives them.
QString loadAverage();

// tvk-monitor-sim on a pseudo-terminal, a symbolic link to its device at
// linkPath. With a command hook the simulator runs with --verbose and the
// hook gets every command line it receives, stamped with monotonicNs() when
// the line reached this process.
class SimServer {
public:
    using CommandHook = std::function<void(const QByteArray &line, qint64 atNs)>;

    SimServer() = default;
    ~SimServer(); // stops the simulator
    SimServer(const SimServer &) = delete;
    SimServer &operator=(const SimServer &) = delete;

    // options as after "sim:", e.g. "baud=9600,image=/tmp/x.bin".
    bool start(const QString &linkPath, const QString &options, CommandHook hook = {});
    void stop();
    QString error() const { return m_error; }

private:
    void readErrors();

    QProcess m_proc;
    CommandHook m_hook;
    QByteArray m_partial;
    QString m_error;
};

// The real serial port, with a hook that runs before anything else sees
// the characters of a read (the link connects after it).
class StampingPortFactory : public PortFactory {
public:
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;
    std::function<void()> beforeRead;

private:
    QtPortFactory m_real;
};

// The tool in this process: core, main window (offscreen) and the real
// serial port on Com1 = linkPath; dialogs and messages are stand-ins that
// record (a benchmark must never wait on a modal box).
struct BenchTool {
    explicit BenchTool(const QString &linkPath);
    ~BenchTool();

    // Shows the main window, runs its load sequence and waits until the
    // monitor is online and the connection's own traffic is over.
    bool connect(QString *error);
    // Runs the event loop for ms milliseconds.
    static void runFor(int ms);

    SystemClock clock;
    StampingPortFactory ports;
    test::RecordingBeeper beeper;
    test::RecordingMessages messages;
    test::ScriptedDialogs dialogs;
    test::FakeLauncher launcher;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

// What a thread did over a span, from the kernel's own accounts: time on a
// CPU, time ready to run but waiting for one (the scheduler), and the rest,
// with what sampling saw then: asleep in a system call (a wait of the
// tool's), or in none (the CPU taken from under the thread, as a virtual
// machine's host does, which the kernel does not count to the thread).
struct ThreadSpan {
    double onCpuMs = 0, waitingForCpuMs = 0, asleepMs = 0;
    QString asleepIn; // e.g. "asleep in fdatasync (12 of 14 samples)"; empty when not sampled
    QString text() const;
};

// The event loop's pulse: a 1 ms precise timer on this thread; the longest
// gap between two of its ticks is the longest the loop was kept from running.
// Each gap's CPU time on this thread is kept too: a long gap with little CPU
// time is the machine running other programs, not the tool at work. A
// watcher thread looks at this thread every half millisecond while a tick is
// late, so the longest gap also says what the thread was doing.
class LoopPulse {
public:
    LoopPulse();
    ~LoopPulse();
    void start();
    void stop();
    double longestMs() const { return m_longestNs / 1e6; }
    // When the longest gap began, seconds after start().
    double longestAtS() const { return m_longestAtNs / 1e9; }
    // The CPU time this thread used during the longest gap.
    double longestCpuMs() const { return m_longestCpuNs / 1e6; }
    // The most CPU time this thread used between two ticks.
    double busiestCpuMs() const { return m_busiestCpuNs / 1e6; }
    int gapsOver16ms() const { return m_over16; }
    // The thread over the longest gap.
    const ThreadSpan &longestSpan() const { return m_longestSpan; }

private:
    struct Watcher;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = -1, m_lastCpu = 0, m_longestNs = 0, m_longestAtNs = 0, m_longestCpuNs = 0, m_busiestCpuNs = 0;
    int m_over16 = 0;
    ThreadSpan m_longestSpan;
    std::unique_ptr<Watcher> m_watcher;
};

// A firmware download of a generated Intel HEX file (records data records
// of 16 bytes) into tvk-monitor-sim pacing its answers like a baud line,
// through the tool's own Load Software action, the pulse running.
struct DownloadResult {
    QString error; // empty when the download ran and ended
    int dataRecords = 0;
    int lines = 0;             // records in the file, the end record included
    double transferMs = 0;     // first record written to the end record's reply
    double floorMs = 0;        // pause + wire time of every record and reply
    double longestGapMs = 0, longestGapAtS = 0, longestGapCpuMs = 0, busiestCpuMs = 0;
    ThreadSpan longestGapSpan;
    int gapsOver16ms = 0;
    qint64 exchanges = 0;      // record exchanges timed below
    double replyAvgMs = 0;     // write to the last piece of its reply
    double turnAvgMs = 0, turnMaxMs = 0; // reply to next write, pause included
    bool imageMatches = false; // what the simulator received is the file's image
};
DownloadResult runDownload(const QString &workDir, int records, int baud, int pauseMs);

} // namespace tvk::bench
