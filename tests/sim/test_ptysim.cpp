// The pseudo-terminal front end, end to end: start it, open its link like a
// serial device, talk to the monitor, stop it.

#include "pty.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/types.h>

using tvk::test::ptyAvailable;
using tvk::test::TerminalFd;

class TestPtySim : public QObject {
    Q_OBJECT

private:
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

    static void writeAll(const TerminalFd &fd, const QByteArray &data) { QVERIFY(fd.write(data)); }

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

        TerminalFd fd = TerminalFd::openRaw(link);
        QVERIFY2(fd.isOpen(), strerror(errno));
        writeAll(fd, "p\r\n");
        QCOMPARE(fd.readUntil('#'), QByteArray("p\r\n#"));
        writeAll(fd, "df\r\n");
        QCOMPARE(fd.readUntil('#'), QByteArray("df\r\nV 2.17\r\n#"));
        // Typed one character at a time.
        for (char c : QByteArray("dw\r"))
            writeAll(fd, QByteArray(1, c));
        QCOMPARE(fd.readUntil('#'), QByteArray("dw\r\nModel Type = 20\r\n#"));
        fd.close();

        // A client that comes back finds the same monitor.
        fd = TerminalFd::openRaw(link);
        QVERIFY(fd.isOpen());
        writeAll(fd, "cmsPTY-1\r\ndms\r\n");
        QCOMPARE(fd.readUntil('#', 2), QByteArray("cmsPTY-1\r\n#dms\r\nModel Number = PTY-1\r\n#"));
        fd.close();

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
        TerminalFd fd = TerminalFd::openRaw(link);
        QVERIFY(fd.isOpen());
        writeAll(fd, "p\n");
        QCOMPARE(fd.readUntil('$'), QByteArray("p\r\n$"));
        fd.close();
        ::kill(pid_t(proc.processId()), SIGINT);
        QVERIFY(proc.waitForFinished(5000));
        QVERIFY(waitForPath(link, false));
    }
};

QTEST_GUILESS_MAIN(TestPtySim)
#include "test_ptysim.moc"
