#pragma once
// The real main window on the core, offscreen. With a simulated monitor, every
// port device is "sim:<options>" and the simulator's replies are paced by the
// same manual clock as the link, so a test drives the whole program with
// clock.advance() (see pump()).

#include "app/appcore.h"
#include "app/mainwindow.h"
#include "app/qtplatform.h"
#include "apptest.h"

#include <memory>

namespace tvk::sim {
class SimPortFactory;
class MonitorSimulator;
} // namespace tvk::sim

namespace tvk::test {

class FakeLauncher : public DesktopLauncher {
public:
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        started << (program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '))).trimmed();
        return startResult;
    }
    bool openFile(const QString &path) override
    {
        opened << path;
        return openResult;
    }
    bool fileExists(const QString &) const override { return false; }
    QStringList started, opened;
    bool startResult = false;
    bool openResult = true;
};

struct GuiHarness {
    // simOptions: null for scripted ports; otherwise Com1..Com4 map to
    // "sim:" + options and the simulator answers.
    explicit GuiHarness(const char *simOptions = nullptr);
    ~GuiHarness();

    // Advance the manual clock by ms in small steps, letting queued events run.
    void pump(int ms, int stepMs = 5);
    // The simulated monitor behind the open port (null for scripted ports).
    sim::MonitorSimulator *monitor() const;

    ManualClock clock;
    ScriptedPortFactory scriptedPorts;
    std::unique_ptr<sim::SimPortFactory> simPorts;
    RecordingBeeper beeper;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    FakeLauncher launcher;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

} // namespace tvk::test
