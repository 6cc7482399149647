#pragma once
// The main window's routines that need no widgets: the caption, the four
// connection states, the three application modes and the monitor-type menu
// profiles. They act on named menu items and panel controls through the
// ControlBook, so every table here is testable without a window.

#include "app/controlbook.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "model/monitordata.h"

#include <QObject>
#include <QString>
#include <functional>

namespace tvk {

enum class ConnectionState { NoMonitor, Online, BootMode, OfflineDemo };

enum AppModeValue : int { UserMode = 0, ServiceMode = 1, FactoryMode = 2 };

// "3.0.13"
QString applicationVersionText();
// "Tarvikon"
QString applicationTitle();

class AppShell : public QObject, public ConnectionStates, public MonitorDataHost {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString &)> sendCommand; // queue a command
        std::function<void()> stopReplyTimer;             // tmrConnect of frmConnect
    };

    AppShell(ControlBook &controls, UserMessages &messages, LinkGlobals &globals,
             MonitorData &data, Hooks hooks, QObject *parent = nullptr);

    // Caption: "TVK Monitor Adjustment Tool V3.0.13 -- " + text, or " -- (No File)".
    void SetMainTitle(const QString &text);
    QString mainTitle() const { return m_title; }

    void EnterOnlineState() override;
    void EnterBootModeState() override;
    void EnterNoMonitorState() override;
    void EnterOfflineDemoState();
    void SetMenuItemEnabled(const QString &menuName, bool enabled) override;
    ConnectionState connectionState() const { return m_state; }

    void SetUserMode();
    void SetServiceMode();
    void SetFactoryMode();
    void ReapplyAppMode();
    int AppMode() const { return m_appMode; }
    // Only for the guard of ReapplyAppMode; the mode routines are the way in.
    void forceAppModeValue(int value) { m_appMode = value; }

    // Monitor-type profiles, applied by the firmware version reply.
    void ApplyFlatPanelMenus();
    void ApplyMdiMenus();
    void ApplyEarlyFirmwareMenus();

    static const QString kServicePassword;
    static const QString kFactoryPassword;

signals:
    void connectionStateChanged(tvk::ConnectionState state);
    void appModeChanged(int mode);
    void mainTitleChanged(const QString &title);

private:
    void menu(const char *name, bool on);
    void applyMode(int mode);
    void applyHysteresisRow(bool shown);

    ControlBook &m_controls;
    UserMessages &m_messages;
    LinkGlobals &m_g;
    MonitorData &m_data;
    Hooks m_hooks;
    ConnectionState m_state = ConnectionState::NoMonitor;
    int m_appMode = UserMode;
    QString m_title;
};

} // namespace tvk
