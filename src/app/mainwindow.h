#pragma once
// frmMain: the multi-document container of every panel, its menu bar (built
// from the menu table), caption, status bar, start-up and shutdown.

#include <QHash>
#include <QMainWindow>

class QAction;
class QLabel;
class QProgressBar;
class QMdiArea;

namespace tvk {

class AppCore;
class DesktopLauncher;
class WindowRegistry;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppCore &core, DesktopLauncher &launcher, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The load sequence: settings, start mode, connection window, log window,
    // data model. Call once, after show().
    void startUp();
    // The unload sequence (also run by closing the window).
    void shutDown();

    WindowRegistry &registry() { return *m_registry; }
    QMdiArea *mdiArea() const { return m_area; }
    QAction *menuAction(const QString &name) const { return m_actions.value(name); }
    // Runs a menu item's action by name.
    void trigger(const QString &name);

    // Window menu.
    void cascade();
    void tileHorizontally(); // one row per window, full width
    void tileVertically();   // one column per window, full height
    void arrangeIcons();     // minimised windows in a row along the bottom

    void openOperatingConditions();
    void showHelp();

    // The status bar's note when a full read could not finish.
    static QString fullReadStoppedText(int step, int total);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void tile(Qt::Orientation stacking);
    void updateStatus();

    AppCore &m_core;
    DesktopLauncher &m_launcher;
    QMdiArea *m_area;
    WindowRegistry *m_registry;
    QHash<QString, QAction *> m_actions;
    QLabel *m_stateLabel;
    QLabel *m_simBadge;
    QProgressBar *m_readProgress;
    bool m_shutDown = false;
};

} // namespace tvk
