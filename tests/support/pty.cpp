#include "pty.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>

#include <algorithm>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace tvk::test {

bool ptyAvailable()
{
    return PtyPair().ok();
}

TerminalFd &TerminalFd::operator=(TerminalFd &&other) noexcept
{
    if (this != &other) {
        close();
        m_fd = other.release();
    }
    return *this;
}

TerminalFd TerminalFd::openRaw(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
    if (fd >= 0) {
        termios t{};
        ::tcgetattr(fd, &t);
        ::cfmakeraw(&t);
        ::tcsetattr(fd, TCSANOW, &t);
    }
    return TerminalFd(fd);
}

void TerminalFd::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool TerminalFd::write(const QByteArray &data) const
{
    if (m_fd < 0)
        return false;
    return ::write(m_fd, data.constData(), size_t(data.size())) == ssize_t(data.size());
}

QByteArray TerminalFd::readAvailable() const
{
    QByteArray out;
    if (m_fd < 0)
        return out;
    for (;;) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 0) <= 0 || !(p.revents & POLLIN))
            break;
        char buf[256];
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

QByteArray TerminalFd::readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs) const
{
    QByteArray got;
    QDeadlineTimer deadline(timeoutMs);
    while (!done(got) && !deadline.hasExpired()) {
        // Short waits on the descriptor, with the event loop run between
        // them: the other side may be a port of this very thread.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{m_fd, POLLIN, 0};
        const int wait = int(std::clamp<qint64>(deadline.remainingTime(), 0, 10));
        if (m_fd < 0 || ::poll(&p, 1, wait) <= 0 || !(p.revents & POLLIN)) {
            // A hung-up side polls ready at once; do not spin on it.
            if (m_fd < 0 || (p.revents & (POLLHUP | POLLERR)))
                ::usleep(5000);
            continue;
        }
        got += readAvailable();
    }
    return got;
}

QByteArray TerminalFd::readUntil(char marker, int count, int timeoutMs) const
{
    return readUntil([marker, count](const QByteArray &got) { return got.count(marker) >= count; },
                     timeoutMs);
}

QByteArray TerminalFd::readAtLeast(qsizetype size, int timeoutMs) const
{
    return readUntil([size](const QByteArray &got) { return got.size() >= size; }, timeoutMs);
}

PtyPair::PtyPair()
{
    TerminalFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master.isOpen() || ::grantpt(master.fd()) != 0 || ::unlockpt(master.fd()) != 0)
        return;
    const char *name = ::ptsname(master.fd());
    if (!name)
        return;
    m_slave = QString::fromLocal8Bit(name);
    ::fcntl(master.fd(), F_SETFL, ::fcntl(master.fd(), F_GETFL) | O_NONBLOCK);
    m_master = std::move(master);
}

bool PtyPair::makeSlaveRaw()
{
    if (!ok())
        return false;
    return TerminalFd::openRaw(m_slave).isOpen();
}

} // namespace tvk::test
