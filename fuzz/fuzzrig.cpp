#include "fuzzrig.h"

#include <QApplication>
#include <QFont>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <sys/types.h>
#endif

namespace tvk::fuzz {

namespace {
QTemporaryDir *g_dir = nullptr;
} // namespace

void checkFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "==fuzz== check failed at %s:%d: %s\n", file, line, what);
    std::abort();
}

void initProcess(AppKind kind)
{
    // The folder outlives every input; libFuzzer ends the process with exit().
    // In memory where the system offers it: the settings store syncs every
    // write to the disk, which would take most of an input's time. A crash
    // leaves its folder behind: the folders of processes gone are removed.
    const QFileInfo shm(QStringLiteral("/dev/shm"));
    const QString base = shm.isDir() && shm.isWritable() ? shm.filePath() : QDir::tempPath();
#ifdef Q_OS_UNIX
    const QStringList earlier = QDir(base).entryList({QStringLiteral("tvk-fuzz-*-*")}, QDir::Dirs);
    for (const QString &name : earlier) {
        bool ok = false;
        const qint64 pid = name.section(u'-', 2, 2).toLongLong(&ok);
        if (ok && pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
            QDir(base + u'/' + name).removeRecursively();
    }
#endif
    g_dir = new QTemporaryDir(base + QStringLiteral("/tvk-fuzz-%1-XXXXXX").arg(QCoreApplication::applicationPid()));
    std::atexit([] { delete g_dir; });
    QDir(g_dir->path()).mkpath(QStringLiteral("config"));
    QDir(g_dir->path()).mkpath(QStringLiteral("files"));
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    // The session record goes there too, and leaves with it.
    qputenv("XDG_DATA_HOME", (g_dir->path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own event dispatcher: the targets never run an event loop, and
    // GLib's would signal its wake-up file for every event posted (a system
    // call each, some twenty an input), where Qt's signals once until the
    // loop runs.
    qputenv("QT_NO_GLIB", "1");
    // Qt's own warnings about hostile input would only slow the run down.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "qFatal: %s\n", qPrintable(msg));
            std::abort();
        }
    });
    static int argc = 1;
    static char name[] = "tvk-fuzz";
    static char *argv[] = {name, nullptr};
    if (kind == AppKind::Widgets) {
        new QApplication(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
        // Text is measured without shaping: a sub-window shown or activated
        // elides its title again and again, and shaping it with the default
        // font's tables took a sixth of a run. Glyph placement never reaches
        // the monitor.
        QFont font = QApplication::font();
        font.setStyleStrategy(QFont::PreferNoShaping);
        QApplication::setFont(font);
    } else {
        new QCoreApplication(argc, argv);
    }
}

bool replayCheck()
{
    static const bool on = qEnvironmentVariableIntValue("TVK_FUZZ_REPLAY_CHECK") == 1;
    return on;
}

QString configDir() { return g_dir->path() + QStringLiteral("/config"); }

QString scratchPath(const QString &fileName) { return g_dir->path() + QStringLiteral("/files/") + fileName; }

void clearSettings()
{
    QFile::remove(configDir() + QStringLiteral("/Tarvikon.conf"));
    QFile::remove(configDir() + QStringLiteral("/Tarvik.conf"));
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        checkFailed("scratch file cannot be written", __FILE__, __LINE__);
    f.write(bytes);
}

QList<QByteArray> splitAtNul(const std::uint8_t *data, std::size_t size, int maxParts)
{
    QList<QByteArray> parts;
    const char *p = reinterpret_cast<const char *>(data);
    const char *end = p + size;
    while (true) {
        if (parts.size() == maxParts - 1) {
            parts << QByteArray(p, end - p);
            break;
        }
        const char *nul = static_cast<const char *>(std::memchr(p, 0, end - p));
        if (!nul) {
            parts << QByteArray(p, end - p);
            break;
        }
        parts << QByteArray(p, nul - p);
        p = nul + 1;
    }
    return parts;
}

// --- FedPort -----------------------------------------------------------------

bool FedPort::open(const QString &deviceName)
{
    m_device = deviceName;
    m_open = true;
    return true;
}

QByteArray FedPort::readAll()
{
    QByteArray data = m_input;
    m_input.clear();
    data.replace('\0', QByteArray()); // as the real port does
    return data;
}

void FedPort::close()
{
    m_open = false;
    m_input.clear();
}

bool FedPort::write(const QByteArray &data)
{
    if (!m_open)
        return false;
    m_factory.written.append(data);
    if (m_factory.onWrite)
        m_factory.onWrite(data);
    return true;
}

void FedPort::feed(const QByteArray &data)
{
    if (!m_open || data.isEmpty())
        return;
    m_input += data;
    emit received();
}

std::unique_ptr<SerialPort> FedPortFactory::create(const QString &)
{
    auto port = std::make_unique<FedPort>(*this);
    last = port.get();
    return port;
}

// --- CoreRig -----------------------------------------------------------------

struct CoreRig::Start {
    ManualClock::Snapshot clock;
    MonitorData data;
    LinkGlobals globals;
    ControlBook::Pages book;
    std::array<QString, ScanSets::kCount> titles;
    std::array<int, ScanSets::kCount> marks {};
    ConnectionState shellState = ConnectionState::NoMonitor;
    QString shellTitle;
    bool portOpen = false;
    SerialLink::State link;
    Connector::State connector;
};

CoreRig::CoreRig(bool freshSettings)
{
    if (freshSettings)
        clearSettings();
    SerialPortEntry usb;
    usb.device = QStringLiteral("/dev/ttyUSB0");
    usb.portName = QStringLiteral("ttyUSB0");
    usb.description = QStringLiteral("FT232R USB UART");
    usb.manufacturer = QStringLiteral("FTDI");
    usb.serialNumber = QStringLiteral("A50285BI");
    usb.vendorId = 0x0403;
    usb.productId = 0x6001;
    usb.hasUsbIds = true;
    SerialPortEntry plain;
    plain.device = QStringLiteral("/dev/ttyS0");
    plain.portName = QStringLiteral("ttyS0");
    portList.ports = {usb, plain};
    core = std::make_unique<AppCore>(
        Platform{&clock, &ports, &quiet, &quiet, &quiet, &quiet, &portList});
    // No session record: it writes a stamped line to its file for every
    // command and every chunk received, straight to the system, which took
    // over a third of a replies input. It only records; nothing reads it back
    // while the tool runs (its lines have tests of their own).
    core->sessionRecord.setEnabled(false);
    // As at start-up: group sizes, channel names, the no-monitor state.
    core->data.InitMonitorData(core->globals, core->settings, &core->modelStart);
    QObject::connect(&core->controls, &ControlBook::changed,
                     [this](const QString &window, const QString &control) { m_touched.insert({window, control}); });
}

CoreRig::~CoreRig()
{
    core.reset();
    // Ports replaced by a reopen are deleted later; there is no event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void CoreRig::markStart()
{
    AppCore &c = *core;
    // A running transfer holds an open file: it cannot be returned to.
    TVK_FUZZ_CHECK(!c.download.isBusy());
    c.commLog.reset();
    m_start = std::make_unique<Start>();
    m_start->clock = clock.snapshot();
    m_start->data = c.data;
    m_start->globals = c.globals;
    m_start->book = c.controls.pages();
    for (int i = 0; i < ScanSets::kCount; ++i) {
        m_start->titles[size_t(i)] = c.scanSets.title(i);
        m_start->marks[size_t(i)] = c.scanSets.mark(i);
    }
    m_start->shellState = c.connector.connectionState();
    m_start->shellTitle = c.shell.mainTitle();
    m_start->portOpen = c.link.isPortOpen();
    m_start->link = c.link.state();
    m_start->connector = c.connector.state();
    m_touched.clear();
    ports.written.clear();
    quiet.messages = 0;
}

void CoreRig::reset()
{
    AppCore &c = *core;
    // Whatever this sends is forgotten below, when the link is put back.
    c.download.linkLost(QStringLiteral("reset"));
    bool wholeBook = false;
    if (c.connector.connectionState() != m_start->shellState || c.shell.mainTitle() != m_start->shellTitle) {
        // What the state writes to the book goes unnoticed; the whole book
        // is put back below.
        const QSignalBlocker silent(c.controls);
        // The connector's own state comes back with its restoreState below.
        c.shell.showConnectionState(m_start->shellState);
        wholeBook = true;
    }
    restoreBook(wholeBook);
    {
        MonitorStateApplying::Scope applying(c.applying);
        c.scanSets.reset();
        for (int i = 0; i < ScanSets::kCount; ++i) {
            c.scanSets.setTitle(i, m_start->titles[size_t(i)]);
            c.scanSets.setMark(i, m_start->marks[size_t(i)]);
        }
    }
    resetViews();
    // What the windows wrote to the book meanwhile.
    restoreBook();
    // Last: whatever putting the windows back did to them.
    c.data = m_start->data;
    c.globals = m_start->globals;
    c.commLog.reset();
    c.testPointHistory.clear();
    if (c.link.isPortOpen() != m_start->portOpen) {
        if (m_start->portOpen)
            TVK_FUZZ_CHECK(c.link.OpenCommPort());
        else
            c.link.CloseCommPort();
    }
    c.link.restoreState(m_start->link);
    c.connector.restoreState(m_start->connector);
    clock.restore(m_start->clock);
    ports.written.clear();
    quiet.messages = 0;
    m_touched.clear();
}

void CoreRig::restoreBook(bool whole)
{
    // Quietly: the windows keep showing what they show (see apprig.h).
    const QSignalBlocker silent(core->controls);
    if (whole)
        core->controls.restore(m_start->book);
    else
        core->controls.restore(m_start->book, QList<std::pair<QString, QString>>(m_touched.cbegin(), m_touched.cend()));
    m_touched.clear();
}

bool CoreRig::connect(char prompt)
{
    core->connector.LoadConnectWindow();
    if (!core->link.isPortOpen())
        return false;
    advance(150); // the ping waits out the pause before each write
    if (prompt == '#' || prompt == '$') {
        feed(QByteArray("p\r\n") + prompt);
        advance(2000); // the connection logic looks at the answer on its next tick
    }
    return true;
}

void CoreRig::feed(const QByteArray &bytes)
{
    if (FedPort *p = port())
        p->feed(bytes);
}

void CoreRig::advance(int ms)
{
    clock.advance(ms);
}

} // namespace tvk::fuzz
