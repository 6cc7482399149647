#pragma once
// The program-wide state and the widget-free parts of the tool, built once
// by the composition root, which hands each window the panel context and by
// name whatever else that window needs: settings, link state, the monitor image, the
// control book, the communication log, the serial link, the response
// dispatcher, the main window's state routines, the connection logic, the
// full read and the Save As that waits for it.
// Platform services come in from outside so that tests can stand in for them.

#include "core/appshell.h"
#include "model/replycontext.h"
#include "base/controlbook.h"
#include "base/dialogs.h"
#include "base/settings.h"
#include "core/commandrun.h"
#include "core/commlog.h"
#include "core/dacfile.h"
#include "core/fileactions.h"
#include "core/firmwareactions.h"
#include "core/panelcontext.h"
#include "core/ports/portmapping.h"
#include "base/clock.h"
#include "model/trendhistory.h"
#include "firmware/hexdownload.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "link/seriallink.h"
#include "link/sessionrecord.h"
#include "model/fullread.h"
#include "model/monitordata.h"
#include "model/scansets.h"
#include "protocol/dispatcher.h"

#include <QObject>

namespace tvk {

// Forwards to the window registry once the windows exist; records nothing
// before that.
class WindowHostProxy : public WindowHost {
public:
    void setTarget(WindowHost *target) { m_target = target; }
    void openWindow(const QString &window) override
    {
        if (m_target)
            m_target->openWindow(window);
    }
    void hideWindow(const QString &window) override
    {
        if (m_target)
            m_target->hideWindow(window);
    }
    bool isWindowVisible(const QString &window) const override
    {
        return m_target && m_target->isWindowVisible(window);
    }

private:
    WindowHost *m_target = nullptr;
};

struct Platform {
    Clock *clock = nullptr;
    PortFactory *ports = nullptr;
    Beeper *beeper = nullptr;
    UserMessages *messages = nullptr;
    FileDialogs *fileDialogs = nullptr;
    InputBox *inputBox = nullptr;
    // The serial ports the system lists (QSerialPortInfo when not given).
    PortInfoSource *portInfo = nullptr;
};

// What the data model's start asks of the tool: the connector forgets any
// monitor (the shell paints the no-monitor state), the shell disables the
// menus that wait for a monitor.
class ModelStartHost : public MonitorDataHost {
public:
    ModelStartHost(Connector &connector, AppShell &shell) : m_connector(connector), m_shell(shell) {}
    void EnterNoMonitorState() override { m_connector.EnterNoMonitorState(); }
    void DisableMonitorMenus() override { m_shell.DisableMonitorMenus(); }

private:
    Connector &m_connector;
    AppShell &m_shell;
};

class AppCore : public QObject {
    Q_OBJECT
public:
    explicit AppCore(const Platform &platform, QObject *parent = nullptr);
    ~AppCore() override;

    // Queue a command (CR LF is added when missing). A control's value
    // replaces the same control's value still waiting (SerialLink::Queueing).
    void send(const QString &command);

    Clock &clock;
    PortFactory &ports;
    Beeper &beeper;
    UserMessages &messages;
    FileDialogs &fileDialogs;
    InputBox &inputBox;

    Settings settings;
    // Initial folders of the file dialogs.
    QString FileSaveInitDir;
    QString CodeInitDir;
    QtPortInfoSource systemPorts;
    // Com1..Com4 and the devices they open.
    PortMappingStore portMap;
    LinkGlobals globals;
    MonitorData data;
    ControlBook controls;
    WindowHostProxy windows;
    CommLog commLog;
    // Every byte both ways and every link event, one file a day, in the
    // per-user data folder (settings "SessionRecord", "SessionRecordMaxMB").
    SessionRecord sessionRecord;
    SerialLink link;
    ResponseDispatcher dispatcher;
    AppShell shell;
    Connector connector;
    ModelStartHost modelStart;
    ScanSets scanSets;
    FullRead fullRead;
    // The last minutes of every test-point reading, for the trend lines.
    TrendHistory testPointHistory;

    // The port chosen on the command line for this run (1), or 0. The stored
    // port is left as it was unless the user chooses another.
    int CommPortThisRun = 0;
    HexDownload download;


    // Held while the monitor's own state is applied to controls (a reply
    // moving sliders or selecting options, a window taking the book's
    // entries when it is created): control handlers send nothing meanwhile.
    MonitorStateApplying applying;
    // What the reply handlers may reach: the program's own parts, the shell
    // for the monitor-type profiles and menu items.
    ReplyContext replyContext{data, controls,
                              ReplyContext::Parts{&applying, &scanSets, &testPointHistory, &clock, &shell}};
    // What every window may reach.
    PanelContext panels;
    // File Save As: reads the monitor, then writes the file.
    DacFileSaver fileSaver;

    // Told once a response has been dispatched to its parsers: whatever it
    // carried is in the image now.
    ResponseFeed responses;

    // What reading and writing a .mdv file reaches.
    MdfContext mdf();
    // What runs of commands (compare, restore, their reads) reach.
    MonitorLine monitorLine();
    // The File menu's Open, Save As and Close.
    DacFileActions fileActions();
    // What the software and boot-block windows' actions reach.
    FirmwareActions::Context firmwareContext();

    // Help, Save Support Bundle: the record, the settings, the image, the
    // version, the platform and the ports in one archive, after the user
    // has seen what it holds.
    bool saveSupportBundle();

    // A short note for the main window's status bar.
    void showStatus(const QString &text) { emit statusMessage(text); }
    // What the status bar and the log say when the monitor stops answering
    // (busy: it answers "!" only).
    static QString monitorLostText(int port, bool busy);
    // ... and when a connected monitor reports another type.
    static QString monitorTypeChangedText(const QString &version, int type, int before);

signals:
    void statusMessage(const QString &text);

private:
    void wireDownload();
    void wireSessionRecord();
    static QString lineOf(const QString &command);
    // The full read learns of written commands and parsed replies, and
    // fails when the monitor or the port is lost.
    void wireFullRead();
};

} // namespace tvk
