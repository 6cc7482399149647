#pragma once
// The real main window on the core, offscreen. With a simulated monitor, every
// port device is "sim:<options>" and the simulator's replies are paced by the
// same manual clock as the link, so a test drives the whole program with
// clock.advance() (see pump()).

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "panels/panel.h"
#include "app/qtplatform.h"
#include "app/windowregistry.h"
#include "apptest.h"

#include <QByteArrayList>
#include <QSize>
#include <QString>

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

// The control `name` on the loaded panel `window`, or null.
template <class T = QWidget>
T *panelChild(MainWindow &main, const QString &window, const QString &name)
{
    Panel *panel = main.registry().find(window);
    return panel ? panel->findChild<T *>(name) : nullptr;
}

// Whether the panel `window` is shown.
bool panelVisible(MainWindow &main, const QString &window);

struct GuiHarness {
    // simOptions: null for scripted ports; otherwise Com1..Com4 map to
    // "sim:" + options and the simulator answers.
    explicit GuiHarness(const char *simOptions = nullptr);
    ~GuiHarness();

    // Advance the manual clock by ms in small steps, letting queued events run.
    void pump(int ms, int stepMs = 5);
    // The simulated monitor behind the open port (null for scripted ports).
    sim::MonitorSimulator *monitor() const;

    // Sizes and shows the main window and runs its load sequence, then lets
    // settleMs of the manual clock pass.
    void start(int settleMs = 20, QSize size = QSize(1000, 900));
    // start(), then the manual clock runs on to settleMs after the load
    // sequence. False (with a warning naming the state) unless the monitor
    // is online by then: check it with QVERIFY.
    [[nodiscard]] bool goOnline(int settleMs = 2600, QSize size = QSize(1000, 900));

    // The control `name` on the loaded panel `window`, or null.
    template <class T = QWidget>
    T *child(const QString &window, const QString &name) const
    {
        return panelChild<T>(*this->window, window, name);
    }
    // As child(), but a missing control ends the test run with its name.
    template <class T = QWidget>
    T *require(const QString &window, const QString &name) const
    {
        T *w = child<T>(window, name);
        if (!w)
            qFatal("no control %s on %s", qPrintable(name), qPrintable(window));
        return w;
    }
    // The text of a label, "<missing>" when there is none.
    QString labelText(const QString &window, const QString &name) const;
    bool visible(const QString &window) const { return panelVisible(*this->window, window); }

    // The commands the simulated monitor received since its last clear,
    // keep-alive pings left out (a fatal error without a simulated monitor).
    QByteArrayList receivedWithoutPings() const;
    // Everything queued on the link and not yet written.
    QString queued() const;

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
