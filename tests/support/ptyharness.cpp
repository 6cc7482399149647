#include "ptyharness.h"

#include "base/settings.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QTest>

namespace tvk::test {

SimProcess::SimProcess(const QElapsedTimer &since, QObject *parent) : QObject(parent), m_since(since)
{
    connect(&m_proc, &QProcess::readyReadStandardError, this, &SimProcess::readErrors);
}

SimProcess::~SimProcess() { stop(); }

bool SimProcess::start(const QString &linkPath, const QStringList &arguments)
{
    m_proc.start(QStringLiteral(TVK_MONITOR_SIM_PATH),
                 QStringList{QStringLiteral("--link"), linkPath, QStringLiteral("--verbose")} + arguments);
    if (!m_proc.waitForStarted(5000)) {
        m_error = m_proc.errorString();
        return false;
    }
    // The slave's path comes on standard output once the link is in place.
    QDeadlineTimer deadline(5000);
    while (!m_proc.canReadLine() && !deadline.hasExpired()
           && m_proc.state() == QProcess::Running)
        m_proc.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())));
    const QByteArray slave = m_proc.readLine().trimmed();
    if (!slave.startsWith("/") || !QFileInfo(linkPath).isSymLink()) {
        m_error = QStringLiteral("the simulator did not come up: ")
                  + QString::fromLocal8Bit(m_proc.readAllStandardError());
        return false;
    }
    return true;
}

void SimProcess::stop()
{
    if (m_proc.state() == QProcess::NotRunning)
        return;
    m_proc.terminate(); // SIGTERM: the simulator removes its link
    if (!m_proc.waitForFinished(5000)) {
        m_proc.kill();
        m_proc.waitForFinished(2000);
    }
}

void SimProcess::readErrors()
{
    const qint64 at = m_since.elapsed();
    m_partial += m_proc.readAllStandardError();
    for (;;) {
        const qsizetype end = m_partial.indexOf('\n');
        if (end < 0)
            break;
        const QByteArray line = m_partial.left(end);
        m_partial.remove(0, end + 1);
        if (!line.startsWith("<< "))
            continue; // the simulator's own notes
        const QByteArray command = line.mid(3);
        m_received.append({command, at});
        emit commandReceived(command);
    }
}

QByteArrayList SimProcess::commands() const
{
    QByteArrayList out;
    for (const Received &r : m_received)
        out << r.line;
    return out;
}

int SimProcess::count(const QByteArray &line) const { return int(commands().count(line)); }

QList<qint64> SimProcess::times(const QByteArray &line) const
{
    QList<qint64> out;
    for (const Received &r : m_received)
        if (r.line == line)
            out << r.atMs;
    return out;
}

PtyHarness::PtyHarness(double scale) : clock(scale)
{
    elapsed.start();
    freshSettingsFolder();
    linkPath = dir.filePath(QStringLiteral("monitor"));
    core = std::make_unique<AppCore>(Platform{&clock, &ports, &beeper, &messages, &dialogs, &dialogs});
    // Only Com1 leads to the monitor; the other ports lead nowhere, so a
    // slip onto them shows as a port error rather than a serial device of
    // this machine.
    for (int i = 2; i <= 4; ++i)
        setConfig(QStringLiteral("Com%1Device").arg(i), dir.filePath(QStringLiteral("absent%1").arg(i)));
    core->shell.SetUserMode();
    window = std::make_unique<MainWindow>(*core, launcher);
}

PtyHarness::~PtyHarness()
{
    window.reset();
    core.reset();
    sim.reset();
}

bool PtyHarness::startSim(const QStringList &arguments)
{
    sim = std::make_unique<SimProcess>(elapsed);
    if (!sim->start(linkPath, arguments))
        return false;
    setConfig(QStringLiteral("Com1Device"), linkPath);
    return true;
}

void PtyHarness::setConfig(const QString &key, const QString &value)
{
    core->settings.write(AppName::Tarvikon, SettingsSection::Configs, key, value);
}

bool PtyHarness::startOnline(const QString &options)
{
    if (!startSim({QStringLiteral("--options"), options}))
        return false;
    startTool();
    QElapsedTimer t;
    t.start();
    while (core->data.MonitorType == 0 && t.elapsed() < 5000)
        QTest::qWait(10);
    return core->data.MonitorType != 0;
}

void PtyHarness::startTool()
{
    window->resize(1000, 800);
    window->show();
    window->startUp();
}

} // namespace tvk::test
