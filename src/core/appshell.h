#pragma once
// The main window's routines that need no widgets: the caption, the four
// connection states, the three application modes and the monitor-type menu
// profiles. They act on named menu items and panel controls through the
// ControlBook, so every table here is testable without a window.

#include "base/controlbook.h"
#include "core/mainmenu.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "model/monitordata.h"
#include "model/monitorprofilehost.h"

#include <QObject>
#include <QString>
#include <functional>

namespace tvk {

enum AppModeValue : int { UserMode = 0, ServiceMode = 1, FactoryMode = 2 };

// "3.0.13"
QString applicationVersionText();
// "Tarvikon"
QString applicationTitle();

class AppShell : public QObject, public MonitorProfileHost {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void(const QString &)> sendCommand; // queue a command
    };

    AppShell(ControlBook &controls, UserMessages &messages, LinkGlobals &globals,
             MonitorData &data, Hooks hooks, QObject *parent = nullptr);

    // Caption: "TVK Monitor Adjustment Tool V3.0.13 -- " + text, or " -- (No File)".
    void SetMainTitle(const QString &text);
    QString mainTitle() const { return m_title; }

    // What each connection state shows: the caption, the menus, the
    // indicators. The connector decides the state (Connector::stateEntered
    // calls showConnectionState); these only paint it.
    void showConnectionState(ConnectionState state);
    void EnterOnlineState();
    void EnterBootModeState();
    void EnterNoMonitorState();
    void EnterOfflineDemoState();
    void SetMenuItemEnabled(const QString &menuName, bool enabled) override;
    // The items of the menu table's start-up column off.
    void DisableMonitorMenus();

    void SetUserMode();
    void SetServiceMode();
    void SetFactoryMode();
    void ReapplyAppMode();
    int AppMode() const { return m_appMode; }
    // Only for the guard of ReapplyAppMode; the mode routines are the way in.
    void forceAppModeValue(int value) { m_appMode = value; }

    // Monitor-type profiles, applied by the firmware version reply.
    // ApplyMdiMenus reads the code from MonitorType.
    void ApplyFlatPanelMenus();
    void ApplyMdiMenus();
    void ApplyEarlyFirmwareMenus();

    // Which profile a version code selects: 300 and above flat panel,
    // 200..298 MDI, 138 and below early firmware, 139..199 and 299 none.
    enum class MonitorProfile { None, FlatPanel, Mdi, EarlyFirmware };
    static MonitorProfile profileForCode(int code);
    // Applies the profile of the code (the MDI profile's code-dependent rows
    // use this code). Does not store the code in MonitorType: the version
    // reply does that first.
    void applyMonitorTypeProfile(int code) override;

    // The mode dialog (frmAppMode) and its password gate (frmPassword).
    enum class ModeRequest {
        ModeSet,        // User mode applied: hide the mode dialog
        PasswordNeeded, // expected password set: show the password dialog
        Unchanged       // the selected Service/Factory mode is already current
    };
    // OK of the mode dialog with the selected option (UserMode, ServiceMode, FactoryMode).
    ModeRequest ModeDialogOk(int selectedMode);
    // OK of the password dialog: leading and trailing blanks are removed and
    // the rest compared exactly with the expected password. True: the mode is
    // set. False: "Incorrect Password..." has been shown and nothing changed.
    bool PasswordDialogOk(const QString &typed);
    QString expectedPassword() const { return m_expectedPassword; }
    static QString incorrectPasswordText();

    static const QString kServicePassword;
    static const QString kFactoryPassword;

signals:
    void appModeChanged(int mode);
    void mainTitleChanged(const QString &title);

private:
    // Sets the items whose cell the function picks is On or Off.
    void applyMenuColumn(MenuSet (*cell)(const MenuItemDef &));
    void applyMode(int mode);
    void applyHysteresisRow(bool shown);
    void applyMdi(int code);

    ControlBook &m_controls;
    UserMessages &m_messages;
    LinkGlobals &m_g;
    MonitorData &m_data;
    Hooks m_hooks;
    int m_appMode = UserMode;
    QString m_title;
    QString m_expectedPassword;
};

} // namespace tvk
