#pragma once
// The simulated monitor behind the serial port seam, in the same process.
//
// Device names start with "sim:" and carry the simulator's options after the
// colon, comma-separated, e.g. "sim:version=2.25,boot" or
// "sim:version=1.38,silentafter=5". The options are those of applyOptions()
// in monitorsim.h (version, type, eprom, boot, capability, mode, silentafter,
// busy, days, hours, minutes, seconds, cycles, session, model, part, serial,
// dm<u>, ds<u>, i2c, delay, chunk); unknown ones are ignored and reported
// once through notice().
//
// What the link writes goes to the simulator at once; its output comes back
// later, through the event loop, in chunks of `chunk` characters every
// `delay` ms (defaults 32 and 2), each chunk raising received(). Nothing is
// ever delivered from inside write().
//
// The monitor keeps its stored state while the port is closed and reopened
// with the same device name; a different name starts a new monitor.

#include "base/clock.h"
#include "link/serialport.h"

#include <memory>

namespace tvk::sim {

class MonitorSimulator;

class SimPort : public SerialPort {
    Q_OBJECT
public:
    static constexpr QStringView kPrefix = u"sim:";

    // Replies are paced by timers of the clock; without one, real time.
    explicit SimPort(Clock *clock = nullptr, QObject *parent = nullptr);
    ~SimPort() override;

    bool open(const QString &deviceName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    bool write(const QByteArray &data) override;
    QString errorString() const override { return m_error; }
    bool isSimulated() const override { return true; }

    // The simulated adapter is pulled out: the port closes and reports
    // lost(), as a real port does when its device goes away. Nothing
    // happens while the port is closed.
    void unplug(const QString &reason = QStringLiteral("simulated adapter unplugged"));

    // The monitor behind the port (null before the first open).
    MonitorSimulator *simulator() const { return m_sim; }
    // Characters produced by the monitor and not yet delivered.
    qint64 pendingOutput() const { return m_outgoing.size(); }

    static bool isSimName(const QString &deviceName);

private:
    void deliverChunk();

    std::unique_ptr<Clock> m_ownClock;
    Clock *m_clock = nullptr;
    Timer *m_timer = nullptr;
    MonitorSimulator *m_sim = nullptr;
    bool m_open = false;
    QString m_device;
    QString m_error;
    QByteArray m_outgoing; // produced, waiting for its chunk
    QByteArray m_input;    // delivered, waiting for readAll()
};

// Makes SimPorts for "sim:" names and hands every other name to the
// fallback factory (the real serial ports). Without a fallback, other names
// get a port whose open() fails.
class SimPortFactory : public PortFactory {
public:
    explicit SimPortFactory(PortFactory *fallback = nullptr, Clock *clock = nullptr)
        : m_fallback(fallback), m_clock(clock)
    {
    }
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;

private:
    PortFactory *m_fallback;
    Clock *m_clock;
};

} // namespace tvk::sim
