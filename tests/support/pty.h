#pragma once
// Pseudo-terminals for the tests that need a real terminal device: the test
// holds the master side and plays the monitor (or the adapter) while the
// code under test opens the slave by its name, as it would a serial port.
//
// Reads wait with a timeout and let the Qt event loop run meanwhile, so a
// port that writes from the event loop (QSerialPort) gets its bytes out while
// the test waits for them.

#include <QByteArray>
#include <QString>

#include <functional>

namespace tvk::test {

// True when this system can make pseudo-terminals.
bool ptyAvailable();

// One open terminal descriptor, closed with the object.
class TerminalFd {
public:
    TerminalFd() = default;
    explicit TerminalFd(int fd) : m_fd(fd) {}
    ~TerminalFd() { close(); }
    TerminalFd(TerminalFd &&other) noexcept : m_fd(other.release()) {}
    TerminalFd &operator=(TerminalFd &&other) noexcept;
    TerminalFd(const TerminalFd &) = delete;
    TerminalFd &operator=(const TerminalFd &) = delete;

    // Opens a terminal device (a pseudo-terminal's slave, or a link to one)
    // and makes it raw: no echo, no line editing. Not open on failure, with
    // errno as open(2) left it.
    static TerminalFd openRaw(const QString &path);

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    void close();

    // Writes all of `data`; false when the descriptor took less.
    bool write(const QByteArray &data) const;
    // What is waiting now, without waiting.
    QByteArray readAvailable() const;
    // Reads until `done` holds for everything read so far, or timeoutMs pass.
    QByteArray readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs = 3000) const;
    // Reads until `count` markers have arrived, or timeoutMs pass.
    QByteArray readUntil(char marker, int count = 1, int timeoutMs = 3000) const;
    // Reads until at least `size` bytes have arrived, or timeoutMs pass.
    QByteArray readAtLeast(qsizetype size, int timeoutMs = 3000) const;

private:
    int release()
    {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

    int m_fd = -1;
};

// A pseudo-terminal pair. The master is open (non-blocking) from the start;
// the slave is only named, for the code under test to open.
class PtyPair {
public:
    PtyPair();

    // False when the system gave no pseudo-terminal: QSKIP the test.
    bool ok() const { return m_master.isOpen(); }
    // The slave's device path, "/dev/pts/N".
    QString slaveName() const { return m_slave; }
    int masterFd() const { return m_master.fd(); }
    TerminalFd &master() { return m_master; }

    // The master side's reads and writes (see TerminalFd).
    bool send(const QByteArray &data) const { return m_master.write(data); }
    QByteArray take() const { return m_master.readAvailable(); }
    QByteArray readAtLeast(qsizetype size, int timeoutMs = 3000) const
    {
        return m_master.readAtLeast(size, timeoutMs);
    }

    // Sets the slave raw before anyone opens it: what the master sends while
    // no port holds the slave is neither echoed back nor held for a line end.
    bool makeSlaveRaw();
    // The far end goes away, as an unplugged adapter does: the slave hangs up.
    void closeMaster() { m_master.close(); }

private:
    TerminalFd m_master;
    QString m_slave;
};

} // namespace tvk::test
