// The command-line verbs of the tool against the monitor simulator on a
// pseudo-terminal, run as a technician runs them: the real binary, no
// display, its output and exit status. Channels are changed on the
// simulator by typing set commands to it between runs.

#include "pty.h"
#include "ptyharness.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

using namespace tvk::test;

namespace {

struct Run {
    int exit = -1;
    QString out, err;
};

QProcessEnvironment quietEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home);
    env.insert(QStringLiteral("HOME"), home);
    return env;
}

// Types set commands to the monitor while no tool holds its port.
bool typeToMonitor(const QString &link, const QList<QByteArray> &lines)
{
    TerminalFd fd = TerminalFd::openRaw(link);
    if (!fd.isOpen())
        return false;
    for (const QByteArray &line : lines) {
        if (!fd.write(line + "\r\n"))
            return false;
        if (!fd.readUntil('#', 1, 3000).contains('#'))
            return false;
    }
    return true;
}

} // namespace

class TestCliPty : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QElapsedTimer m_since;
    std::unique_ptr<SimProcess> m_sim;
    QString m_link;

    // Starts the tool with arguments; `whileRunning` runs once the process
    // has started (for signals and lost ports).
    Run tool(const QStringList &arguments, const std::function<void(QProcess &)> &whileRunning = {})
    {
        QProcess p;
        p.setProcessEnvironment(quietEnvironment(m_dir.filePath(QStringLiteral("home"))));
        p.start(QStringLiteral(TVK_TARVIK_PATH), arguments);
        if (!p.waitForStarted(5000))
            return {};
        if (whileRunning)
            whileRunning(p);
        QDeadlineTimer deadline(60000);
        while (p.state() != QProcess::NotRunning && !deadline.hasExpired())
            QTest::qWait(20);
        Run r;
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(p.readAllStandardError());
        return r;
    }
    QStringList on(const QStringList &more) const
    {
        return QStringList{QStringLiteral("--port"), m_link} + more;
    }
    bool startSim()
    {
        m_sim = std::make_unique<SimProcess>(m_since);
        return m_sim->start(m_link, {QStringLiteral("--version"), QStringLiteral("2.25")});
    }

private slots:
    void initTestCase()
    {
        m_since.start();
        m_link = m_dir.filePath(QStringLiteral("monitor"));
        QVERIFY(QDir().mkpath(m_dir.filePath(QStringLiteral("home"))));
    }
    void init()
    {
        if (!ptyAvailable())
            QSKIP("no pseudo-terminals on this system");
        QVERIFY2(startSim(), qPrintable(m_sim->error()));
    }
    void cleanup() { m_sim.reset(); }

    void saveChangeCompareRestore()
    {
        const QString file = m_dir.filePath(QStringLiteral("before.mdv"));
        Run r = tool(on({"--save", file}));
        QCOMPARE(r.exit, 0);
        QCOMPARE(r.out, QStringLiteral("Saved scan set 1 of the monitor on %1 to %2\n").arg(m_link, file));
        QFile saved(file);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        QVERIFY(bytes.startsWith("\"Velloran Monitor DAC Value File\"\r\n"));
        QVERIFY(bytes.contains("\"ScanSet\",0\r\n\"ScanSetName\",\"640x480 60Hz\"\r\n"));
        QVERIFY(!bytes.contains("\"ScanSet\",1"));

        r = tool(on({"--compare", file}));
        QCOMPARE(r.exit, 0);
        QVERIFY2(r.out.contains(QRegularExpression("All \\d+ channels are equal")), qPrintable(r.out));

        // Three channels changed at the monitor.
        QVERIFY(typeToMonitor(m_link, {"cdv0100", "cdl2101", "cdh1102"}));
        QTRY_COMPARE(m_sim->count("cdh1102"), 1);
        r = tool(on({"--compare", file}));
        QCOMPARE(r.exit, 1);
        QVERIFY2(r.out.contains(QRegularExpression("\\b3 of \\d+ channels differ")), qPrintable(r.out));
        for (const char *line : {"V Vertical Size", "L Red Gain", "H Horizontal Center"})
            QVERIFY2(r.out.contains(QLatin1String(line)), line);
        QVERIFY(r.out.contains("-> 100") && r.out.contains("-> 101") && r.out.contains("-> 102"));

        r = tool(on({"--compare", file, "--json"}));
        QCOMPARE(r.exit, 1);
        const QJsonObject j = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QCOMPARE(j.value("differing").toInt(), 3);
        QCOMPARE(j.value("equal").toBool(true), false);
        QCOMPARE(j.value("channels").toArray().size(), 3);

        const qsizetype before = m_sim->commands().size();
        r = tool(on({"--restore", file}));
        QVERIFY2(r.exit == 0, qPrintable(r.out + r.err));
        QCOMPARE(r.out, QStringLiteral("3 written, 0 differ\n"));
        // Only the three channels were set; no factory or initial store.
        QByteArrayList sets;
        for (const QByteArray &c : m_sim->commands().mid(before))
            if (c.startsWith("cd") || c.startsWith("CD"))
                sets << c;
        QCOMPARE(sets.size(), 3);
        QVERIFY(!sets.contains("cdv0100"));

        r = tool(on({"--compare", file}));
        QCOMPARE(r.exit, 0);
    }

    void infoAndTheExitStatuses()
    {
        Run r = tool(on({"--info", "--json"}));
        QCOMPARE(r.exit, 0);
        const QJsonObject j = QJsonDocument::fromJson(r.out.toUtf8()).object();
        QVERIFY2(j.value("firmwareVersion").toString().contains("2.25"), qPrintable(r.out));
        QVERIFY(!j.value("modelNumber").toString().isEmpty());
        QCOMPARE(j.value("scanSet").toInt(), 1);

        r = tool({"--compare", "x.mdv"});
        QCOMPARE(r.exit, 2);
        QVERIFY(r.err.contains("needs --port"));
        r = tool(on({"--compare", m_dir.filePath("missing.mdv")}));
        QCOMPARE(r.exit, 6);
        r = tool({"--port", m_dir.filePath("no-such-port"), "--info"});
        QCOMPARE(r.exit, 3);
        r = tool({"--help"});
        QCOMPARE(r.exit, 0);
        QVERIFY(r.out.contains("130  interrupted"));
        // The user's settings were never touched.
        QVERIFY(!QFile::exists(m_dir.filePath("home/Tarvik/Tarvikon.conf")));
        QVERIFY(QDir(m_dir.filePath("home")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void anInterruptedOrLostRestore_saysHowFarItGot()
    {
        const QString file = m_dir.filePath(QStringLiteral("many.mdv"));
        QCOMPARE(tool(on({"--save", file})).exit, 0);
        QList<QByteArray> changes;
        for (int c = 0; c < 7; ++c)
            changes << "cdv" + QByteArray::number(c) + QByteArray::number(10 + c);
        for (int c = 2; c < 8; ++c)
            changes << "cdl" + QByteArray::number(c) + QByteArray::number(10 + c);
        QVERIFY(typeToMonitor(m_link, changes));
        QTRY_COMPARE(m_sim->count(changes.last()), 1);

        const auto setsSince = [this](qsizetype from) {
            int n = 0;
            for (const QByteArray &c : m_sim->commands().mid(from))
                n += c.startsWith("cdv") || c.startsWith("cdl");
            return n;
        };
        // Ctrl+C once the first value is on its way.
        const qsizetype before = m_sim->commands().size();
        const auto interruptAtFirstSet = [&](QProcess &p) {
            QTRY_VERIFY_WITH_TIMEOUT(setsSince(before) >= 1, 20000);
            ::kill(pid_t(p.processId()), SIGINT);
        };
        Run r = tool(on({"--restore", file}), interruptAtFirstSet);
        QVERIFY2(r.exit == 130, qPrintable(QString::number(r.exit) + r.out + r.err));
        const QRegularExpressionMatch m =
            QRegularExpression("^Cancelled: (\\d+) of 13 written, the rest left as it was\\n").match(r.out);
        QVERIFY2(m.hasMatch(), qPrintable(r.out));
        const int written = m.captured(1).toInt();
        QVERIFY(written >= 1 && written < 13);
        QVERIFY(r.out.contains("  not written: scan set 1 "));
        // The monitor ran the scan set written: nothing is sent after the
        // last value it took, and each value it took was counted.
        QByteArrayList after = m_sim->commands().mid(before);
        after.removeAll("p");
        QVERIFY2(after.last().startsWith("cd"), after.last().constData());
        QCOMPARE(setsSince(before), written);

        // The monitor goes away in the middle of the next one.
        const qsizetype second = m_sim->commands().size();
        const auto loseAtSecondSet = [&](QProcess &) {
            QTRY_VERIFY_WITH_TIMEOUT(setsSince(second) >= 2, 20000);
            m_sim->stop();
        };
        r = tool(on({"--restore", file}), loseAtSecondSet);
        QCOMPARE(r.exit, 5);
        QVERIFY2(r.out.contains(QRegularExpression("^Stopped, .*: \\d+ of \\d+ written, the rest left as it was\\n")),
                 qPrintable(r.out));
        QVERIFY(r.out.contains("  not written: "));
    }
};

QTEST_GUILESS_MAIN(TestCliPty)
#include "test_cli_pty.moc"
