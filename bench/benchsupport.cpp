#include "benchsupport.h"

#include "hexgen.h"
#include "core/firmwareactions.h"
#include "panels/firmware/softwarepanel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <map>
#include <mutex>
#include <pthread.h>
#include <sched.h>
#include <thread>
#include <utility>
#include <unistd.h>

namespace tvk::bench {

qint64 monotonicNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

qint64 threadCpuNs()
{
    timespec ts{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return qint64(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

bool waitUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer t;
    t.start();
    QTimer wake; // makes WaitForMoreEvents return to look at done() and the time
    wake.start(50);
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return done();
}

double percentile(QList<double> values, double p)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype rank = qsizetype(std::ceil(p / 100.0 * double(values.size())));
    return values.at(std::clamp<qsizetype>(rank - 1, 0, values.size() - 1));
}

QString loadAverage()
{
    QFile f(QStringLiteral("/proc/loadavg"));
    if (!f.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    const QList<QByteArray> parts = f.readAll().split(' ');
    return parts.size() >= 3 ? QString::fromLatin1(parts[0] + ' ' + parts[1] + ' ' + parts[2])
                             : QStringLiteral("unknown");
}

// ---------------------------------------------------------------------------

SimServer::~SimServer() { stop(); }

bool SimServer::start(const QString &linkPath, const QString &options, CommandHook hook)
{
    m_hook = std::move(hook);
    QStringList args{QStringLiteral("--link"), linkPath, QStringLiteral("--options"), options};
    if (m_hook) {
        args << QStringLiteral("--verbose");
        QObject::connect(&m_proc, &QProcess::readyReadStandardError, [this] { readErrors(); });
    } else {
        m_proc.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }
    m_proc.start(QStringLiteral(TVK_MONITOR_SIM_PATH), args);
    if (!m_proc.waitForStarted(5000)) {
        m_error = m_proc.errorString();
        return false;
    }
    // The slave's path comes on standard output once the link is in place.
    QDeadlineTimer deadline(5000);
    while (!m_proc.canReadLine() && !deadline.hasExpired() && m_proc.state() == QProcess::Running)
        m_proc.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    if (!m_proc.readLine().startsWith('/') || !QFileInfo(linkPath).isSymLink()) {
        m_error = QStringLiteral("the simulator did not come up");
        return false;
    }
    return true;
}

void SimServer::stop()
{
    if (m_proc.state() == QProcess::NotRunning)
        return;
    m_proc.terminate(); // the simulator removes its link
    if (!m_proc.waitForFinished(5000)) {
        m_proc.kill();
        m_proc.waitForFinished(2000);
    }
}

void SimServer::readErrors()
{
    const qint64 at = monotonicNs();
    m_partial += m_proc.readAllStandardError();
    for (;;) {
        const qsizetype end = m_partial.indexOf('\n');
        if (end < 0)
            break;
        const QByteArray line = m_partial.left(end);
        m_partial.remove(0, end + 1);
        if (line.startsWith("<< "))
            m_hook(line.mid(3), at);
    }
}

// ---------------------------------------------------------------------------

std::unique_ptr<SerialPort> StampingPortFactory::create(const QString &deviceName)
{
    std::unique_ptr<SerialPort> port = m_real.create(deviceName);
    if (port)
        QObject::connect(port.get(), &SerialPort::received, [this] {
            if (beforeRead)
                beforeRead();
        });
    return port;
}

BenchTool::BenchTool(const QString &linkPath)
{
    core = std::make_unique<AppCore>(Platform{&clock, &ports, &beeper, &messages, &dialogs, &dialogs});
    core->settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("Com1Device"), linkPath);
    core->shell.SetUserMode();
    window = std::make_unique<MainWindow>(*core, launcher);
}

BenchTool::~BenchTool()
{
    window->close();
    window.reset();
    core.reset();
}

void BenchTool::runFor(int ms)
{
    waitUntil([] { return false; }, ms);
}

bool BenchTool::connect(QString *error)
{
    window->resize(1000, 800);
    window->show();
    window->startUp();
    QElapsedTimer wait;
    wait.start();
    if (!waitUntil([this] { return core->globals.connection.online(); }, 10000)) {
        *error = QStringLiteral("the tool did not connect");
        return false;
    }
    // Let the connection's own traffic ("df", "dx") finish.
    waitUntil([&] { return wait.elapsed() >= 3000 && !core->link.XmitBusy(); }, 15000);
    return true;
}

// ---------------------------------------------------------------------------

namespace {

// /proc/thread-self/schedstat: nanoseconds on a CPU and waiting in the run
// queue, as the scheduler counts them.
struct SchedStat {
    qint64 onCpuNs = 0, waitingNs = 0;
};

SchedStat readSchedStat(const QByteArray &path)
{
    SchedStat s;
    if (FILE *f = std::fopen(path.constData(), "r")) {
        long long run = 0, wait = 0;
        if (std::fscanf(f, "%lld %lld", &run, &wait) == 2)
            s = {run, wait};
        std::fclose(f);
    }
    return s;
}

// The system call a thread sleeps in, from /proc/…/syscall ("running" or
// the call's number first); -1 when it runs.
int sleepingSyscall(const QByteArray &path)
{
    int nr = -1;
    if (FILE *f = std::fopen(path.constData(), "r")) {
        char word[32] = {};
        if (std::fscanf(f, "%31s", word) == 1 && word[0] >= '0' && word[0] <= '9')
            nr = std::atoi(word);
        std::fclose(f);
    }
    return nr;
}

QString syscallName(int nr)
{
#if defined(__x86_64__)
    switch (nr) {
    case 0: return QStringLiteral("read");
    case 1: return QStringLiteral("write");
    case 7: return QStringLiteral("poll");
    case 23: return QStringLiteral("select");
    case 35: return QStringLiteral("nanosleep");
    case 73: return QStringLiteral("flock");
    case 74: return QStringLiteral("fsync");
    case 75: return QStringLiteral("fdatasync");
    case 202: return QStringLiteral("futex");
    case 230: return QStringLiteral("clock_nanosleep");
    case 232: return QStringLiteral("epoll_wait");
    case 257: return QStringLiteral("openat");
    case 271: return QStringLiteral("ppoll");
    default: break;
    }
#endif
    return QStringLiteral("system call %1").arg(nr);
}

} // namespace

QString ThreadSpan::text() const
{
    return QStringLiteral("on a CPU %1 ms, waiting for a CPU %2 ms, neither %3 ms: %4")
        .arg(onCpuMs, 0, 'f', 3)
        .arg(waitingForCpuMs, 0, 'f', 3)
        .arg(asleepMs, 0, 'f', 3)
        .arg(asleepIn.isEmpty() ? QStringLiteral("not sampled") : asleepIn);
}

// Samples the pulse's thread while its tick is late: the system call it
// sleeps in, counted per gap. The pulse reads and resets the counts on
// each tick.
struct LoopPulse::Watcher {
    QByteArray syscallPath;
    std::atomic<qint64> lastTickNs{-1}; // monotonicNs() of the last tick
    std::atomic<bool> stop{false};
    std::mutex lock;
    std::map<int, int> samples; // system call -> samples in this gap; -1 running
    std::thread thread;

    explicit Watcher(pid_t tid)
        : syscallPath(QByteArray("/proc/self/task/") + QByteArray::number(tid) + "/syscall")
    {
        thread = std::thread([this] {
            // Where allowed, the watcher goes before ordinary threads: on a
            // busy machine it would otherwise wait for a CPU as long as the
            // thread it watches. It sleeps nearly all the time.
            sched_param fifo{};
            fifo.sched_priority = 1;
            pthread_setschedparam(pthread_self(), SCHED_FIFO, &fifo);
            while (!stop.load()) {
                std::this_thread::sleep_for(std::chrono::microseconds(500));
                const qint64 last = lastTickNs.load();
                if (last < 0 || monotonicNs() - last < 2'000'000)
                    continue;
                const int nr = sleepingSyscall(syscallPath);
                if (lastTickNs.load() != last)
                    continue; // the tick came while looking: not part of the gap
                const std::lock_guard<std::mutex> g(lock);
                ++samples[nr];
            }
        });
    }
    ~Watcher()
    {
        stop = true;
        thread.join();
    }
    std::map<int, int> take()
    {
        const std::lock_guard<std::mutex> g(lock);
        return std::exchange(samples, {});
    }
};

LoopPulse::LoopPulse()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    const QByteArray schedPath = "/proc/self/task/" + QByteArray::number(int(::gettid())) + "/schedstat";
    auto lastSched = std::make_shared<SchedStat>();
    QObject::connect(&m_timer, &QTimer::timeout, [this, schedPath, lastSched] {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        const SchedStat sched = readSchedStat(schedPath);
        const std::map<int, int> samples = m_watcher->take();
        if (m_last >= 0) {
            const qint64 gap = now - m_last;
            if (gap > 16'000'000)
                ++m_over16;
            if (gap > m_longestNs) {
                m_longestNs = gap;
                m_longestAtNs = m_last;
                m_longestCpuNs = cpu - m_lastCpu;
                ThreadSpan span;
                span.onCpuMs = (sched.onCpuNs - lastSched->onCpuNs) / 1e6;
                span.waitingForCpuMs = (sched.waitingNs - lastSched->waitingNs) / 1e6;
                span.asleepMs = std::max(0.0, gap / 1e6 - span.onCpuMs - span.waitingForCpuMs);
                int total = 0, most = 0, mostNr = -1;
                for (const auto &[nr, n] : samples) {
                    total += n;
                    if (nr >= 0 && n > most) {
                        most = n;
                        mostNr = nr;
                    }
                }
                if (mostNr >= 0)
                    span.asleepIn = QStringLiteral("asleep in %1 (%2 of %3 samples)")
                                        .arg(syscallName(mostNr))
                                        .arg(most)
                                        .arg(total);
                else if (total > 0)
                    span.asleepIn = QStringLiteral("in no system call (all %1 samples): time the kernel did not "
                                                   "count to the thread, the CPU taken from under it")
                                        .arg(total);
                m_longestSpan = span;
            }
            m_busiestCpuNs = std::max(m_busiestCpuNs, cpu - m_lastCpu);
        }
        m_last = now;
        m_lastCpu = cpu;
        *lastSched = sched;
        m_watcher->lastTickNs = monotonicNs();
    });
}

LoopPulse::~LoopPulse() = default;

void LoopPulse::start()
{
    m_last = -1;
    m_longestNs = m_longestAtNs = m_longestCpuNs = m_busiestCpuNs = 0;
    m_over16 = 0;
    m_longestSpan = {};
    if (!m_watcher)
        m_watcher = std::make_unique<Watcher>(::gettid());
    m_watcher->take();
    m_clock.start();
    m_watcher->lastTickNs = monotonicNs();
    m_timer.start(1);
}

void LoopPulse::stop()
{
    m_timer.stop();
    if (m_watcher)
        m_watcher->lastTickNs = -1;
}

// ---------------------------------------------------------------------------

namespace {

// Characters of the record exchanges as the floor counts them: each record
// with CR LF, and its reply (echo, CR LF, prompt).
qint64 wireCharacters(const QByteArray &hexText)
{
    qint64 n = 0;
    for (const QByteArray &raw : hexText.split('\n')) {
        const QByteArray line = raw.trimmed();
        if (!line.isEmpty())
            n += (line.size() + 2) + (line.size() + 3); // the end record's "EOF" line is left out: a floor
    }
    return n;
}

} // namespace

DownloadResult runDownload(const QString &workDir, int records, int baud, int pauseMs)
{
    DownloadResult r;
    r.dataRecords = records;
    const test::HexImage image = test::patternImage(records, 16, 0x4000);
    const QByteArray hexText = test::intelHex(image);
    const QString hexPath = workDir + QStringLiteral("/bench.hex");
    const QString imagePath = workDir + QStringLiteral("/received.bin");
    const QString linkPath = workDir + QStringLiteral("/monitor-download");
    QFile::remove(imagePath);
    if (!test::writeIntelHex(hexPath, image)) {
        r.error = QStringLiteral("cannot write the HEX file");
        return r;
    }

    // What the tool's signals write to outlives the tool (declared first).
    QElapsedTimer total;
    // Where the time of a record goes: from the write to the last piece of
    // its reply (line and monitor), and from there to the next write (tool).
    qint64 lastWriteNs = -1, lastReceivedNs = -1;
    double replySumMs = 0, turnSumMs = 0;
    bool ended = false;
    qint64 startNs = 0, endNs = 0;
    LoopPulse pulse;

    SimServer sim;
    if (!sim.start(linkPath, QStringLiteral("baud=%1,image=%2").arg(baud).arg(imagePath))) {
        r.error = sim.error();
        return r;
    }
    BenchTool tool(linkPath);
    if (!tool.connect(&r.error))
        return r;
    AppCore &core = *tool.core;
    core.link.setWritePauseMs(pauseMs);
    tool.ports.beforeRead = [&] { lastReceivedNs = total.nsecsElapsed(); };
    QObject::connect(&core.link, &SerialLink::commandWritten, [&](const QString &c) {
        const qint64 now = total.nsecsElapsed();
        if (c.startsWith(u':') && lastWriteNs >= 0 && lastReceivedNs > lastWriteNs) {
            replySumMs += (lastReceivedNs - lastWriteNs) / 1e6;
            const double turn = (now - lastReceivedNs) / 1e6;
            turnSumMs += turn;
            r.turnMaxMs = std::max(r.turnMaxMs, turn);
            ++r.exchanges;
        }
        lastWriteNs = now;
    });

    tool.dialogs.openAnswers << hexPath;
    tool.messages.okCancelAnswer = true;
    FirmwareActions actions(core.firmwareContext());
    QObject::connect(&core.download, &HexDownload::activeChanged, [&](bool active) {
        if (active) {
            startNs = total.nsecsElapsed();
        } else {
            endNs = total.nsecsElapsed();
            ended = true;
        }
    });
    total.start();
    pulse.start();
    actions.loadFlash();
    while (!ended && core.download.isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    pulse.stop();
    tool.ports.beforeRead = nullptr;
    if (!ended || !tool.messages.messages.isEmpty()) {
        r.error = QStringLiteral("the download failed: ") + tool.messages.messages.join(u'|');
        return r;
    }

    r.lines = int(hexText.count('\n'));
    r.transferMs = (endNs - startNs) / 1e6;
    const double wireMs = baud > 0 ? double(wireCharacters(hexText)) * 10.0 * 1000.0 / baud : 0.0;
    r.floorMs = double(r.lines) * pauseMs + wireMs;
    r.longestGapMs = pulse.longestMs();
    r.longestGapAtS = pulse.longestAtS();
    r.longestGapCpuMs = pulse.longestCpuMs();
    r.longestGapSpan = pulse.longestSpan();
    r.busiestCpuMs = pulse.busiestCpuMs();
    r.gapsOver16ms = pulse.gapsOver16ms();
    if (r.exchanges > 0) {
        r.replyAvgMs = replySumMs / double(r.exchanges);
        r.turnAvgMs = turnSumMs / double(r.exchanges);
    }
    QFile got(imagePath);
    r.imageMatches = got.open(QIODevice::ReadOnly) && got.readAll() == image.data;
    return r;
}

} // namespace tvk::bench
