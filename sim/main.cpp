// tvk-monitor-sim: serves the simulated monitor on a pseudo-terminal, so that
// the tool (or any terminal program) can open it like a serial port.
//
//   tvk-monitor-sim --link /tmp/monitor --version 2.25
//   tvk-monitor-sim --link /tmp/monitor --options "version=1.38,silentafter=5"
//   tvk-monitor-sim --link /tmp/monitor --replay session-2026-05-01.log
//
// With --replay the monitor is the one in a session record of the tool: each
// command gets the answer the recorded monitor gave to it (see
// replaymonitor.h); the other monitor options do not apply then.
//
// The slave device's path is printed on standard output, alone on its line.
// With --link a symbolic link to it is made at the given path (an existing
// symbolic link there is replaced; any other file is left alone and the
// program stops). The link is removed again when the program ends, also on
// SIGTERM, SIGINT and SIGHUP.

#include "monitorsim.h"
#include "replaymonitor.h"

#include <QBasicTimer>
#include <QElapsedTimer>
#include <QTimer>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>

#include <cstdio>
#include <memory>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>
#endif

using tvk::sim::MonitorConfig;
using tvk::sim::MonitorSimulator;
using tvk::sim::ReplayMonitor;

namespace {

void printError(const QString &text)
{
    std::fprintf(stderr, "tvk-monitor-sim: %s\n", qPrintable(text));
}

#ifdef Q_OS_UNIX

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

// The simulator on the master side of a pseudo-terminal.
class PtyServer : public QObject {
public:
    // With a replay, it answers instead of the simulator.
    PtyServer(const MonitorConfig &config, bool verbose, ReplayMonitor *replay = nullptr)
        : m_sim(config), m_replay(replay), m_verbose(verbose), m_baud(replay ? 0 : config.baud)
    {
        m_sinceStart.start();
        m_paceTimer.setSingleShot(true);
        m_paceTimer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_paceTimer, &QTimer::timeout, this, [this] { releasePaced(); });
    }

    ~PtyServer() override
    {
        removeLink();
        if (m_slave >= 0)
            ::close(m_slave);
        if (m_master >= 0)
            ::close(m_master);
    }

    bool start(QString *error)
    {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
            *error = QStringLiteral("cannot create a pseudo-terminal: %1").arg(errnoText());
            return false;
        }
        const char *name = ::ptsname(m_master);
        if (!name) {
            *error = QStringLiteral("cannot name the pseudo-terminal: %1").arg(errnoText());
            return false;
        }
        m_slavePath = QByteArray(name);

        // Keep the slave open ourselves: the master then keeps working while
        // no client has the device open, and clients may come and go.
        m_slave = ::open(name, O_RDWR | O_NOCTTY);
        if (m_slave < 0) {
            *error = QStringLiteral("cannot open %1: %2").arg(QString::fromLocal8Bit(name), errnoText());
            return false;
        }
        termios t{};
        if (::tcgetattr(m_slave, &t) == 0) {
            // A serial line carries the bytes as they are: no echo by the
            // terminal, no CR/LF translation, no line editing.
            ::cfmakeraw(&t);
            ::cfsetispeed(&t, B9600);
            ::cfsetospeed(&t, B9600);
            ::tcsetattr(m_slave, TCSANOW, &t);
        }
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);

        m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
        connect(m_readNotifier, &QSocketNotifier::activated, this, [this] { readMaster(); });
        m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
        m_writeNotifier->setEnabled(false);
        connect(m_writeNotifier, &QSocketNotifier::activated, this, [this] { flush(); });

        if (m_verbose) {
            const auto print = [](const QByteArray &line) { std::fprintf(stderr, "<< %s\n", line.constData()); };
            connect(&m_sim, &MonitorSimulator::commandReceived, this, print);
            if (m_replay)
                connect(m_replay, &ReplayMonitor::commandReceived, this, print);
        }
        return true;
    }

    QByteArray slavePath() const { return m_slavePath; }

    bool makeLink(const QByteArray &link, QString *error)
    {
        struct stat st{};
        if (::lstat(link.constData(), &st) == 0 && !S_ISLNK(st.st_mode)) {
            *error = QStringLiteral("%1 exists and is not a symbolic link; not replacing it")
                         .arg(QString::fromLocal8Bit(link));
            return false;
        }
        // Build the new link beside the old one and rename it over, so the
        // path never points nowhere while a client looks for it.
        const QByteArray temp = link + ".tmp" + QByteArray::number(qint64(::getpid()));
        ::unlink(temp.constData());
        if (::symlink(m_slavePath.constData(), temp.constData()) != 0
            || ::rename(temp.constData(), link.constData()) != 0) {
            *error = QStringLiteral("cannot make the link %1: %2").arg(QString::fromLocal8Bit(link), errnoText());
            ::unlink(temp.constData());
            return false;
        }
        m_link = link;
        return true;
    }

    void removeLink()
    {
        if (m_link.isEmpty())
            return;
        // Only our own link: another server may have taken the path over.
        char target[4096];
        const ssize_t n = ::readlink(m_link.constData(), target, sizeof target - 1);
        if (n >= 0 && QByteArray(target, n) == m_slavePath)
            ::unlink(m_link.constData());
        m_link.clear();
    }

private:
    void readMaster()
    {
        char buf[512];
        for (;;) {
            const ssize_t n = ::read(m_master, buf, sizeof buf);
            if (n > 0) {
                const QByteArray in(buf, n);
                const QByteArray out = m_replay ? m_replay->feed(in) : m_sim.feed(in);
                if (m_baud > 0)
                    pace(n, out);
                else
                    m_pending += out;
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                // EIO while no client holds the slave open: wait for the next one.
                m_readNotifier->setEnabled(false);
                m_retryTimer.start(100, this);
            }
            break;
        }
        flush();
    }

    void flush()
    {
        while (!m_pending.isEmpty()) {
            const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
            if (n > 0) {
                m_pending.remove(0, n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                m_writeNotifier->setEnabled(true);
                return;
            }
            m_pending.clear(); // the line is gone; the reply with it
        }
        m_writeNotifier->setEnabled(false);
    }

    // With a line speed: the answer leaves when the command and the answer
    // would have crossed a serial line of that speed (10 bits a character).
    void pace(qint64 bytesIn, const QByteArray &out)
    {
        m_bytesIn += bytesIn;
        if (out.isEmpty())
            return;
        const qint64 wireNs = (m_bytesIn + out.size()) * 10 * 1'000'000'000LL / m_baud;
        m_bytesIn = 0;
        m_lastDueNs = std::max(m_sinceStart.nsecsElapsed(), m_lastDueNs) + wireNs;
        m_paced.append({m_lastDueNs, out});
        armPaceTimer();
    }

    void armPaceTimer()
    {
        if (m_paced.isEmpty() || m_paceTimer.isActive())
            return;
        const qint64 waitNs = m_paced.first().dueNs - m_sinceStart.nsecsElapsed();
        m_paceTimer.start(int(std::max<qint64>(0, (waitNs + 500'000) / 1'000'000)));
    }

    void releasePaced()
    {
        const qint64 now = m_sinceStart.nsecsElapsed();
        while (!m_paced.isEmpty() && m_paced.first().dueNs <= now + 500'000)
            m_pending += m_paced.takeFirst().bytes;
        flush();
        armPaceTimer();
    }

    void timerEvent(QTimerEvent *) override
    {
        m_retryTimer.stop();
        m_readNotifier->setEnabled(true);
    }

    MonitorSimulator m_sim;
    ReplayMonitor *m_replay;
    bool m_verbose;
    int m_master = -1;
    int m_slave = -1;
    QByteArray m_slavePath;
    QByteArray m_link;
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QBasicTimer m_retryTimer;
    struct Paced {
        qint64 dueNs;
        QByteArray bytes;
    };
    int m_baud = 0;
    qint64 m_bytesIn = 0;
    qint64 m_lastDueNs = 0;
    QList<Paced> m_paced;
    QElapsedTimer m_sinceStart;
    QTimer m_paceTimer;
};

#endif // Q_OS_UNIX

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tvk-monitor-sim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Serves a simulated monitor on a pseudo-terminal."));
    parser.addHelpOption();
    const QCommandLineOption linkOpt(QStringLiteral("link"), QStringLiteral("Make a symbolic link to the device at <path>."), QStringLiteral("path"));
    const QCommandLineOption optionsOpt(QStringLiteral("options"), QStringLiteral("Simulator options, as after \"sim:\" (e.g. \"version=2.25,boot\")."), QStringLiteral("list"));
    const QCommandLineOption versionOpt(QStringLiteral("version"), QStringLiteral("Firmware version (e.g. 2.25)."), QStringLiteral("version"));
    const QCommandLineOption epromOpt(QStringLiteral("eprom"), QStringLiteral("EPROM version."), QStringLiteral("version"));
    const QCommandLineOption bootOpt(QStringLiteral("boot"), QStringLiteral("Answer from the boot block."));
    const QCommandLineOption busyOpt(QStringLiteral("busy"), QStringLiteral("Answer every command with \"!\" only."));
    const QCommandLineOption silentOpt(QStringLiteral("silent-after"), QStringLiteral("Stop answering after <n> commands."), QStringLiteral("n"));
    const QCommandLineOption verboseOpt(QStringLiteral("verbose"), QStringLiteral("Print each command received on standard error."));
    const QCommandLineOption replayOpt(QStringLiteral("replay"), QStringLiteral("Answer as the monitor in the session record <file> did."), QStringLiteral("file"));
    parser.addOptions({linkOpt, optionsOpt, versionOpt, epromOpt, bootOpt, busyOpt, silentOpt, verboseOpt, replayOpt});
    parser.process(app);

    MonitorConfig config;
    QStringList ignored;
    tvk::sim::applyOptions(config, parser.value(optionsOpt), &ignored);
    if (parser.isSet(versionOpt))
        tvk::sim::applyOptions(config, QStringLiteral("version=") + parser.value(versionOpt), &ignored);
    if (parser.isSet(epromOpt))
        tvk::sim::applyOptions(config, QStringLiteral("eprom=") + parser.value(epromOpt), &ignored);
    if (parser.isSet(silentOpt))
        tvk::sim::applyOptions(config, QStringLiteral("silentafter=") + parser.value(silentOpt), &ignored);
    if (parser.isSet(bootOpt))
        config.bootBlock = true;
    if (parser.isSet(busyOpt))
        config.busy = true;
    for (const QString &item : std::as_const(ignored))
        printError(QStringLiteral("option ignored: %1").arg(item));

#ifdef Q_OS_UNIX
    if (::pipe(g_signalPipe) != 0) {
        printError(QStringLiteral("cannot create a pipe: %1").arg(errnoText()));
        return 1;
    }
    ::fcntl(g_signalPipe[1], F_SETFL, O_NONBLOCK);
    struct sigaction sa{};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        ::sigaction(sig, &sa, nullptr);
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &app, [] {
        char c;
        [[maybe_unused]] const ssize_t n = ::read(g_signalPipe[0], &c, 1);
        QCoreApplication::quit();
    });

    QString error;
    std::unique_ptr<ReplayMonitor> replay;
    if (parser.isSet(replayOpt)) {
        replay = std::make_unique<ReplayMonitor>();
        if (!replay->load(parser.value(replayOpt), &error)) {
            printError(error);
            return 1;
        }
    }
    PtyServer server(config, parser.isSet(verboseOpt), replay.get());
    if (!server.start(&error)) {
        printError(error);
        return 1;
    }
    if (parser.isSet(linkOpt)) {
        const QByteArray link = QFile::encodeName(parser.value(linkOpt));
        if (!server.makeLink(link, &error)) {
            printError(error);
            return 1;
        }
    }
    std::printf("%s\n", server.slavePath().constData());
    std::fflush(stdout);
    if (replay)
        std::fprintf(stderr, "tvk-monitor-sim: replaying %s (%d commands) on %s\n",
                     qPrintable(parser.value(replayOpt)), replay->knownCommands(), server.slavePath().constData());
    else
        std::fprintf(stderr, "tvk-monitor-sim: firmware V %s%s on %s\n", qPrintable(config.firmwareVersion),
                     config.bootBlock ? " (boot block)" : "", server.slavePath().constData());
    return app.exec(); // the server removes its link as it goes
#else
    printError(QStringLiteral("pseudo-terminals are not available on this system"));
    return 1;
#endif
}
