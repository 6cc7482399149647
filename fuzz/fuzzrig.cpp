#include "fuzzrig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tvk::fuzz {

namespace {
QTemporaryDir *g_dir = nullptr;
} // namespace

void checkFailed(const char *what, const char *file, int line)
{
    std::fprintf(stderr, "==fuzz== check failed at %s:%d: %s\n", file, line, what);
    std::abort();
}

void initProcess(bool makeCoreApplication)
{
    // The folder outlives every input; libFuzzer ends the process with exit().
    g_dir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/tvk-fuzz-XXXXXX"));
    std::atexit([] { delete g_dir; });
    QDir(g_dir->path()).mkpath(QStringLiteral("config"));
    QDir(g_dir->path()).mkpath(QStringLiteral("files"));
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own warnings about hostile input would only slow the run down.
    qputenv("QT_LOGGING_RULES", "*.debug=false;*.warning=false");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &msg) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "qFatal: %s\n", qPrintable(msg));
            std::abort();
        }
    });
    if (makeCoreApplication) {
        static int argc = 1;
        static char name[] = "tvk-fuzz";
        static char *argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
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

bool FedPort::write(const QByteArray &)
{
    if (!m_open)
        return false;
    ++m_writes;
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
    auto port = std::make_unique<FedPort>();
    last = port.get();
    return port;
}

// --- CoreRig -----------------------------------------------------------------

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
    // As at start-up: group sizes, channel names, the no-monitor state.
    core->data.InitMonitorData(core->globals, core->settings, &core->shell);
}

CoreRig::~CoreRig()
{
    core.reset();
    // Ports replaced by a reopen are deleted later; there is no event loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
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
