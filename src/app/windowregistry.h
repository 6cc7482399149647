#pragma once
// The one list of the tool's windows: each is created on first use inside
// the main window's MDI area, shown and brought to the front on "open", hidden
// (never destroyed) when closed, and unloaded (its layout saved) at shutdown.
// The control book's entries reach each window when it is created and on
// every change while it exists.

#include "base/controlbook.h"
#include "base/settings.h"
#include "core/panelcontext.h"

#include <QHash>
#include <QSet>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QPointer>
#include <functional>
#include <optional>

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace tvk {

class Panel;

class WindowRegistry : public QObject, public WindowHost {
    Q_OBJECT
public:
    // Makes the window from the context every window shares; a window that
    // needs more takes it from the list that registers it.
    using Factory = std::function<Panel *(const PanelContext &)>;

    WindowRegistry(const PanelContext &context, Settings &settings, QMdiArea *area, QObject *parent = nullptr);

    // Registers a window by name; the explicit list lives with the main window.
    void add(const QString &name, Factory factory);
    bool isRegistered(const QString &name) const { return m_factories.contains(name); }
    QStringList names() const { return m_factories.keys(); }
    // The main window takes the book's entries for "frmMain" itself.
    void setMainWindow(QWidget *mainWindow);

    // WindowHost
    void openWindow(const QString &name) override;
    void hideWindow(const QString &name) override;
    bool isWindowVisible(const QString &name) const override;

    // Creates the window hidden if needed (a parser filling its controls).
    Panel *ensure(const QString &name);
    Panel *find(const QString &name) const;
    QMdiSubWindow *subWindow(const QString &name) const;
    bool isLoaded(const QString &name) const { return find(name) != nullptr; }

    // Shutdown: every loaded window, most recent first, saves its layout.
    void unloadAll();

private:
    // The named control of a window (the window itself for ""), looked up
    // once and remembered while it exists under that name.
    QObject *control(QWidget *window, const QString &name);
    static void applyTo(QWidget *window, QObject *target, const ControlBook::Entry &entry,
                        std::optional<ControlProperty> only);
    void onBookChanged(const QString &window, const QString &control, ControlProperty property);
    void onSubWindowActivated(QMdiSubWindow *sub);
    void activate(Panel *panel);
    void unload(Panel *panel);

    PanelContext m_context;
    Settings &m_settings;
    QMdiArea *m_area;
    QWidget *m_mainWindow = nullptr;
    QHash<QString, Factory> m_factories;
    QList<QPointer<Panel>> m_loaded;                // in the order they were made
    QHash<QString, QPointer<Panel>> m_loadedByName; // every reply looks its window up
    // By window, then control name (windows are hidden, never deleted).
    QHash<const QWidget *, QHash<QString, QPointer<QObject>>> m_controls;
    QHash<QString, QSet<QString>> m_unresolved; // names already reported missing, by window
    QPointer<Panel> m_active;
};

} // namespace tvk
