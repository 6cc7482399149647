#include "benchsupport.h"

#include "hexgen.h"
#include "core/firmwareactions.h"
#include "panels/firmware/softwarepanel.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>

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

LoopPulse::LoopPulse()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (m_last >= 0) {
            const qint64 gap = now - m_last;
            if (gap > 16'000'000)
                ++m_over16;
            if (gap > m_longestNs) {
                m_longestNs = gap;
                m_longestAtNs = m_last;
                m_longestCpuNs = cpu - m_lastCpu;
            }
            m_busiestCpuNs = std::max(m_busiestCpuNs, cpu - m_lastCpu);
        }
        m_last = now;
        m_lastCpu = cpu;
    });
}

void LoopPulse::start()
{
    m_last = -1;
    m_longestNs = m_longestAtNs = m_longestCpuNs = m_busiestCpuNs = 0;
    m_over16 = 0;
    m_clock.start();
    m_timer.start(1);
}

void LoopPulse::stop() { m_timer.stop(); }

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
