#include "guitest.h"

#include "monitorsim.h"
#include "simport.h"

#include <QCoreApplication>

namespace tvk::test {

GuiHarness::GuiHarness(const char *simOptions)
{
    freshSettingsFolder();
    PortFactory *ports = &scriptedPorts;
    if (simOptions) {
        simPorts = std::make_unique<sim::SimPortFactory>(nullptr, &clock);
        ports = simPorts.get();
    }
    core = std::make_unique<AppCore>(Platform{&clock, ports, &beeper, &messages, &dialogs, &dialogs});
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

sim::MonitorSimulator *GuiHarness::monitor() const
{
    auto *port = qobject_cast<sim::SimPort *>(core->link.port());
    return port ? port->simulator() : nullptr;
}

} // namespace tvk::test
