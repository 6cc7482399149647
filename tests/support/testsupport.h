#pragma once
// Stand-ins for the platform seams: a scripted serial port, a recording log
// and a recording beeper.

#include "link/linkglobals.h"
#include "link/linklog.h"
#include "link/serialport.h"

#include <QByteArrayList>
#include <QList>
#include <QPair>
#include <QStringList>

namespace tvk {

// Tests that run the core without a connector, or put it in a state no
// monitor answered, set the connector's flags through here.
struct ConnectionFlagsForTests {
    static void setOnline(LinkGlobals &g, bool online, bool bootBlock = false)
    {
        g.connection.m_online = online;
        g.connection.m_bootBlock = online && bootBlock;
    }
};

} // namespace tvk

namespace tvk::test {

// Every test process keeps its settings in a folder of its own: the one ctest
// gives it (TVK_TEST_CONFIG), or a temporary folder when the test binary is
// run by hand, so a test never touches the user's own settings. This empties
// that folder, so that each harness starts from an empty store.
void freshSettingsFolder();

// An in-memory port: feed() delivers characters as the monitor would send
// them, written() shows what the link wrote.
class ScriptedPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool open(const QString &deviceName) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    bool write(const QByteArray &data) override;
    QString errorString() const override { return m_error; }

    // Queue characters and raise the receive event.
    void feed(const QByteArray &data);
    // Queue characters without raising an event (already waiting at open).
    void preload(const QByteArray &data) { m_input += data; }
    void injectEvent(int code) { emit commEvent(code); }
    void injectLoss(const QString &reason);
    void setOpenResult(bool ok, const QString &error = QString());
    void setWriteFails(bool fails) { m_writeFails = fails; }

    QByteArrayList writes() const { return m_writes; }
    QByteArray written() const { return m_writes.join(); }
    void clearWrites() { m_writes.clear(); }
    int openCount() const { return m_openCount; }

private:
    bool m_open = false;
    bool m_openResult = true;
    bool m_writeFails = false;
    int m_openCount = 0;
    QString m_device;
    QString m_error;
    QByteArray m_input;
    QByteArrayList m_writes;
};

// Hands out one scripted port per create() call; the test keeps the pointers.
class ScriptedPortFactory : public PortFactory {
public:
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;
    QList<ScriptedPort *> ports;  // every port created, oldest first
    QStringList devices;          // the device names asked for
    ScriptedPort *last() const { return ports.isEmpty() ? nullptr : ports.last(); }
    bool nextOpenResult = true;
};

class RecordingLog : public LinkLog {
public:
    void LogEvent(const QString &text) override { events << text; }
    void LogTrafficText(const QString &text) override { traffic += text; }
    void LogTrafficLine(const QString &text) override { traffic += text + QStringLiteral("\r\n"); }
    void LogTransmit(const QString &text) override { transmitted << text; }
    void LogReceived(const QString &text) override { received += text; }
    QStringList events;
    QString traffic;
    QStringList transmitted;
    QString received;
};

class RecordingBeeper : public Beeper {
public:
    void Beep(int frequencyHz, int durationMs) override { beeps.append({frequencyHz, durationMs}); }
    QList<QPair<int, int>> beeps;
};

} // namespace tvk::test
