#include "guitest.h"

#include "monitorsim.h"
#include "simport.h"

#include <QCoreApplication>
#include <QLabel>

namespace tvk::test {

GuiHarness::GuiHarness(const char *simOptions)
{
    freshSettingsFolder();
    PortFactory *ports = &scriptedPorts;
    if (simOptions) {
        simPorts = std::make_unique<sim::SimPortFactory>(nullptr, &clock);
        ports = simPorts.get();
    }
    core = std::make_unique<AppCore>(Platform{&clock, ports, &beeper, &messages, &dialogs, &dialogs, &portInfo});
    if (simOptions) {
        for (int i = 1; i <= 4; ++i)
            core->settings.write(AppName::Tarvikon, SettingsSection::Configs,
                                 QStringLiteral("Com%1Device").arg(i),
                                 QStringLiteral("sim:") + QString::fromLatin1(simOptions));
    }
    core->shell.SetUserMode();
    window = std::make_unique<MainWindow>(*core, launcher);
}

GuiHarness::~GuiHarness()
{
    window.reset();
    core.reset();
}

void GuiHarness::pump(int ms, int stepMs)
{
    for (int t = 0; t < ms; t += stepMs) {
        QCoreApplication::processEvents();
        clock.advance(std::min(stepMs, ms - t));
        QCoreApplication::processEvents();
    }
}

bool panelVisible(MainWindow &main, const QString &window)
{
    return main.registry().isWindowVisible(window);
}

void GuiHarness::start(int settleMs, QSize size)
{
    window->resize(size);
    window->show();
    window->startUp();
    pump(settleMs);
}

bool GuiHarness::goOnline(int settleMs, QSize size)
{
    start(settleMs, size);
    const ConnectionState state = core->connector.connectionState();
    if (state == ConnectionState::Online)
        return true;
    qWarning("not online %d ms after start-up: connection state %d", settleMs, int(state));
    return false;
}

QString GuiHarness::labelText(const QString &window, const QString &name) const
{
    auto *label = child<QLabel>(window, name);
    return label ? label->text() : QStringLiteral("<missing>");
}

QByteArrayList GuiHarness::receivedWithoutPings() const
{
    sim::MonitorSimulator *m = monitor();
    if (!m)
        qFatal("no simulated monitor behind the port");
    QByteArrayList out;
    for (const QByteArray &c : m->commandsReceived())
        if (c != "p")
            out << c;
    return out;
}

QString GuiHarness::queued() const
{
    return queuedCommands(*core);
}

sim::MonitorSimulator *GuiHarness::monitor() const
{
    auto *port = qobject_cast<sim::SimPort *>(core->link.port());
    return port ? port->simulator() : nullptr;
}

} // namespace tvk::test
