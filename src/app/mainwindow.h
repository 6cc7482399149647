#pragma once
// frmMain: the multi-document container of every panel, its menu bar (built
// from the menu table), caption, status bar, start-up and shutdown.

#include "core/mainmenu.h"

#include <QHash>
#include <QMainWindow>

#include <array>
#include <functional>

class QAction;
class QActionGroup;
class QLabel;
class QProgressBar;
class QMdiArea;

namespace tvk {

class CompareWindow;

class AppCore;
class DesktopLauncher;
class WindowRegistry;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // Registers the windows of the window list (windowlist.h).
    MainWindow(AppCore &core, DesktopLauncher &launcher, QWidget *parent = nullptr);
    // Registers the windows `registerWindows` adds: a build, or a test, that
    // leaves a window out gets its menu item shown disabled.
    using WindowList = std::function<void(WindowRegistry &, DesktopLauncher &)>;
    MainWindow(AppCore &core, DesktopLauncher &launcher, const WindowList &registerWindows,
               QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load sequence: settings, start mode, connection window, log window,
    // data model. Call once, after show().
    void startUp();
    // The unload sequence (also run by closing the window).
    void shutDown();

    WindowRegistry &registry() { return *m_registry; }
    QMdiArea *mdiArea() const { return m_area; }
    QAction *menuAction(const QString &name) const { return m_actions.value(name); }
    // Runs a menu item by name, as choosing it does: opens its window or
    // runs its command, whether the item is enabled or not.
    void trigger(const QString &name);

    // Window menu.
    void cascade();
    void tileHorizontally(); // one row per window, full width
    void tileVertically();   // one column per window, full height
    void arrangeIcons();     // minimised windows in a row along the bottom

    void openOperatingConditions();
    // True, after saying so, while the compare window reads or writes the
    // monitor.
    bool compareRunning();
    // Opens the compare window and runs one of its File menu rows.
    void openCompare(void (CompareWindow::*action)());
    void showHelp();

    // The status bar's note when a full read could not finish: the first
    // step not answered (0-based, shown counted from 1), its command, and why.
    static QString fullReadStoppedText(int step, const QString &command, const QString &reason);
    // ... while a Save As waits for the full read, and once a file is written.
    static QString savingText(const QString &path);
    static QString savedText(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void run(MenuCommand command);
    void tile(Qt::Orientation stacking);
    void updateStatus();

    AppCore &m_core;
    DesktopLauncher &m_launcher;
    QMdiArea *m_area;
    WindowRegistry *m_registry;
    QHash<QString, QAction *> m_actions;
    // Items whose window this build does not register: the group is
    // disabled, and an action in a disabled group stays disabled whatever
    // the connection states and modes set.
    QActionGroup *m_unbuilt;
    std::array<std::function<void()>, kMenuCommandCount> m_commands;
    QLabel *m_stateLabel;
    QLabel *m_simBadge;
    QProgressBar *m_readProgress;
    // The file a Save As writes once the running full read has finished.
    QString m_savePath;
    bool m_shutDown = false;
};

} // namespace tvk
