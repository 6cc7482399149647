// The pseudo-terminal front end, end to end: start it, open its link like a
// serial device, talk to the monitor, stop it.

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

class TestPtySim : public QObject {
    Q_OBJECT

private:
    static bool ptyAvailable()
    {
        const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0)
            return false;
        const bool ok = ::grantpt(fd) == 0 && ::unlockpt(fd) == 0 && ::ptsname(fd);
        ::close(fd);
        return ok;
    }

    static bool waitForPath(const QString &path, bool present, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (QFileInfo(path).isSymLink() != present) {
            if (deadline.hasExpired())
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    // Reads until `count` markers have arrived or the time runs out.
    static QByteArray readUntil(int fd, char marker, int count = 1, int timeoutMs = 3000)
    {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.count(marker) < count && !deadline.hasExpired()) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, int(std::max<qint64>(1, deadline.remainingTime()))) <= 0)
                continue;
            char buf[256];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                got.append(buf, n);
        }
        return got;
    }

    static int openDevice(const QString &path)
    {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY);
        if (fd >= 0) {
            termios t{};
            ::tcgetattr(fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
        }
        return fd;
    }

    static void writeAll(int fd, const QByteArray &data)
    {
        QCOMPARE(::write(fd, data.constData(), size_t(data.size())), ssize_t(data.size()));
    }

private slots:
    void servesTheMonitorOnALink()
    {
        if (!ptyAvailable())
            QSKIP("no pseudo-terminals on this system");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString link = dir.filePath(QStringLiteral("monitor"));
        // A stale link from an earlier run is replaced.
        QVERIFY(QFile::link(QStringLiteral("/nonexistent/old"), link));

        QProcess proc;
        proc.start(QStringLiteral(TVK_MONITOR_SIM_PATH),
                   {QStringLiteral("--link"), link, QStringLiteral("--options"), QStringLiteral("version=2.17")});
        QVERIFY2(proc.waitForStarted(5000), qPrintable(proc.errorString()));
        QVERIFY(proc.waitForReadyRead(5000));
        const QByteArray slave = proc.readLine().trimmed();
        QVERIFY(slave.startsWith("/dev/"));
        QVERIFY(waitForPath(link, true));
        QCOMPARE(QFileInfo(link).symLinkTarget(), QString::fromLocal8Bit(slave));

        int fd = openDevice(link);
        QVERIFY2(fd >= 0, strerror(errno));
        writeAll(fd, "p\r\n");
        QCOMPARE(readUntil(fd, '#'), QByteArray("p\r\n#"));
        writeAll(fd, "df\r\n");
        QCOMPARE(readUntil(fd, '#'), QByteArray("df\r\nV 2.17\r\n#"));
        // Typed one character at a time.
        for (char c : QByteArray("dw\r"))
            writeAll(fd, QByteArray(1, c));
        QCOMPARE(readUntil(fd, '#'), QByteArray("dw\r\nModel Type = 20\r\n#"));
        ::close(fd);

        // A client that comes back finds the same monitor.
        fd = openDevice(link);
        QVERIFY(fd >= 0);
        writeAll(fd, "cmsPTY-1\r\ndms\r\n");
        QCOMPARE(readUntil(fd, '#', 2), QByteArray("cmsPTY-1\r\n#dms\r\nModel Number = PTY-1\r\n#"));
        ::close(fd);

        proc.terminate(); // SIGTERM
        QVERIFY(proc.waitForFinished(5000));
        QCOMPARE(proc.exitStatus(), QProcess::NormalExit);
        QVERIFY(waitForPath(link, false));
    }

    void bootModeAndRefusesToReplaceAFile()
    {
        if (!ptyAvailable())
            QSKIP("no pseudo-terminals on this system");
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("notalink"));
        {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        QProcess refused;
        refused.start(QStringLiteral(TVK_MONITOR_SIM_PATH), {QStringLiteral("--link"), file});
        QVERIFY(refused.waitForFinished(5000));
        QVERIFY(refused.exitCode() != 0);
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));

        const QString link = dir.filePath(QStringLiteral("boot"));
        QProcess proc;
        proc.start(QStringLiteral(TVK_MONITOR_SIM_PATH), {QStringLiteral("--link"), link, QStringLiteral("--boot")});
        QVERIFY(proc.waitForStarted(5000));
        QVERIFY(waitForPath(link, true));
        const int fd = openDevice(link);
        QVERIFY(fd >= 0);
        writeAll(fd, "p\n");
        QCOMPARE(readUntil(fd, '$'), QByteArray("p\r\n$"));
        ::close(fd);
        ::kill(pid_t(proc.processId()), SIGINT);
        QVERIFY(proc.waitForFinished(5000));
        QVERIFY(waitForPath(link, false));
    }
};

QTEST_GUILESS_MAIN(TestPtySim)
#include "test_ptysim.moc"
