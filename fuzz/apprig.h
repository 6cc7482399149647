#pragma once
// The whole tool on the core rig: the real main window (offscreen, shown but
// never painted) with every window of its registry created, for targets that
// need a QApplication (initProcess(AppKind::Widgets)).
//
// Reset (see fuzzrig.h) puts the windows back as far as the program reads
// them back while replies are handled: which frames are shown and which one
// is active, slider and spin-box positions and ranges, checked buttons and
// group boxes, combo-box choices. markStart() records them and watches them
// change; reset() puts back only what changed, with the controls' signals
// blocked (nobody moved them), and when the activation moved it activates the
// marked window afresh, which arms its panel again. Putting back costs what
// the input changed, not what the windows hold.
//
// What the windows only show may carry over from one input to the next:
// texts, enabled states and colours the book set (it is put back quietly),
// the status bar, trend lines, tool tips. No code reads them back while replies are handled: only the user's
// own actions read a box's text or care whether a control is enabled. So may
// what a slider panel keeps for the user's next action: what Cancel returns
// to and whether a slider's position is known.
//
// Qt's posted events: the calls queued meanwhile are delivered after every
// step of the clock, as the event loop would; the layout and paint requests
// are dropped at each reset. They place and draw widgets, never reach the
// monitor, and would take most of the time.

#include "fuzzrig.h"

#include "app/mainwindow.h"

#include <memory>

namespace tvk::fuzz {

class NoLauncher : public DesktopLauncher {
public:
    bool startProgram(const QString &, const QStringList &) override { return false; }
    bool openFile(const QString &) override { return false; }
    bool fileExists(const QString &) const override { return false; }
};

class AppRig : public CoreRig {
public:
    // Builds the main window on the core, shows it and runs its start-up
    // (which opens the port and starts a connection cycle); every
    // registered window is created as well (hidden).
    explicit AppRig(bool freshSettings = true);
    ~AppRig() override;

    void markStart() override;
    // Time passes; then the calls queued meanwhile (queued connections,
    // zero-time single shots) are delivered, as the event loop would.
    void advance(int ms) override;
    static void deliverQueuedCalls();

    // Runs a main-menu item, as choosing it does.
    void trigger(const QString &menuItem) { window->trigger(menuItem); }

    NoLauncher launcher;
    std::unique_ptr<MainWindow> window;

protected:
    void resetViews() override;

private:
    struct Widgets;
    std::unique_ptr<Widgets> m_widgets;
};

} // namespace tvk::fuzz
