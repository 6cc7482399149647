#include "simport.h"

#include "monitorsim.h"

namespace tvk::sim {

namespace {

// Stands in for a real port when this build has none to offer.
class UnavailablePort : public SerialPort {
public:
    bool open(const QString &deviceName) override
    {
        m_device = deviceName;
        m_error = QStringLiteral("No serial port support for %1").arg(deviceName);
        return false;
    }
    void close() override {}
    bool isOpen() const override { return false; }
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override { return 0; }
    QByteArray readAll() override { return {}; }
    bool write(const QByteArray &) override { return false; }
    QString errorString() const override { return m_error; }

private:
    QString m_device;
    QString m_error;
};

} // namespace

SimPort::SimPort(Clock *clock, QObject *parent) : SerialPort(parent), m_clock(clock)
{
    if (!m_clock) {
        m_ownClock = std::make_unique<SystemClock>();
        m_clock = m_ownClock.get();
    }
    m_timer = m_clock->createTimer(this);
    connect(m_timer, &Timer::timeout, this, &SimPort::deliverChunk);
}

SimPort::~SimPort()
{
    // The timer may come from a clock that outlives this port; stop it first.
    m_timer->stop();
}

bool SimPort::isSimName(const QString &deviceName)
{
    return deviceName.startsWith(kPrefix, Qt::CaseInsensitive);
}

bool SimPort::open(const QString &deviceName)
{
    if (m_open)
        close();
    if (!isSimName(deviceName)) {
        m_error = QStringLiteral("Not a simulated monitor: %1").arg(deviceName);
        return false;
    }
    if (!m_sim || deviceName != m_device) {
        MonitorConfig config;
        QStringList ignored;
        applyOptions(config, QStringView(deviceName).mid(kPrefix.size()), &ignored);
        delete m_sim;
        m_sim = new MonitorSimulator(config, this);
        if (!ignored.isEmpty())
            emit notice(QStringLiteral("Simulator options ignored: %1").arg(ignored.join(QStringLiteral(", "))));
    }
    m_device = deviceName;
    m_error.clear();
    m_outgoing.clear();
    m_input.clear();
    m_open = true;
    return true;
}

void SimPort::close()
{
    m_timer->stop();
    m_outgoing.clear();
    m_input.clear();
    m_open = false;
}

void SimPort::unplug(const QString &reason)
{
    if (!m_open)
        return;
    close();
    m_error = reason;
    emit lost(reason);
}

QByteArray SimPort::readAll()
{
    QByteArray data = m_input;
    m_input.clear();
    data.replace('\0', QByteArray());
    return data;
}

bool SimPort::write(const QByteArray &data)
{
    if (!m_open) {
        m_error = QStringLiteral("Port not open");
        return false;
    }
    m_outgoing += m_sim->feed(data);
    if (!m_outgoing.isEmpty() && !m_timer->isActive())
        m_timer->start(std::max(1, m_sim->config().replyDelayMs));
    return true;
}

void SimPort::deliverChunk()
{
    const int chunk = std::max(1, m_sim ? m_sim->config().replyChunk : 1);
    if (!m_open || m_outgoing.isEmpty()) {
        m_timer->stop();
        return;
    }
    m_input += m_outgoing.left(chunk);
    m_outgoing.remove(0, chunk);
    if (m_outgoing.isEmpty())
        m_timer->stop();
    emit received();
}

std::unique_ptr<SerialPort> SimPortFactory::create(const QString &deviceName)
{
    if (SimPort::isSimName(deviceName))
        return std::make_unique<SimPort>(m_clock);
    if (m_fallback)
        return m_fallback->create(deviceName);
    return std::make_unique<UnavailablePort>();
}

} // namespace tvk::sim
