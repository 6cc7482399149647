#pragma once
// Finding the monitor and keeping it: connection cycles of pings every 2 s
// up to ConnectRetryLimit (or without end with Auto ReConnect), the keep-alive
// ping after each quiet spell, the 2 s reply timer that declares a silent
// monitor lost, and the port choice. Widget-free: the connection windows
// (frmConnect, frmTrying, frmChangeTries, frmTimedOut) are thin views that call
// in here and show what it writes into the ControlBook.
//
// The connector owns the connection: its timers (cycle attempt, keep-alive,
// reply, timed-out notice, replug search), the connection flags (online,
// boot block, AutoPing: LinkGlobals::connection, which nothing else writes)
// and the connection state. It announces each state it enters with
// stateEntered(); the shell listens and paints the caption and menus. The
// serial link tells it of closed responses and interim markers; the ping
// reply comes through the dispatcher's ping route.

#include "base/controlbook.h"
#include "base/clock.h"
#include "link/linkglobals.h"
#include "protocol/replyparsers.h"

#include <QObject>

namespace tvk {

class SerialLink;

enum class ConnectionState { NoMonitor, Online, BootMode, OfflineDemo };

class Connector : public QObject {
    Q_OBJECT
public:
    static constexpr int kAttemptMs = 2000;
    static constexpr int kKeepAliveAfterConnectMs = 2000;
    static constexpr int kKeepAliveAfterResponseMs = 5000;
    static constexpr int kKeepAliveAfterInterimMs = 2000;
    static constexpr int kKeepAliveAfterAutoPingMs = 2000;
    static constexpr int kReplyMs = 2000;
    static constexpr int kTimedOutNoticeMs = 5000;
    // With Auto ReConnect, a port lost while open is looked for this often.
    static constexpr int kReplugMs = 2000;

    Connector(Clock &clock, SerialLink &link, LinkGlobals &globals, ControlBook &controls,
              WindowHost &windows, UserMessages &messages, QObject *parent = nullptr);

    // The one answer to "is a monitor there, and how": the state last
    // entered. The flags behind it are LinkGlobals::connection.
    ConnectionState connectionState() const { return m_state; }
    // No monitor: the monitor known so far is forgotten (the data model's
    // start, a failed cycle, a silent monitor).
    void EnterNoMonitorState();
    // The offline demo: no monitor, every menu usable on the file's values.
    void EnterOfflineDemoState();

    // frmConnect
    void LoadConnectWindow();      // first showing: indicators, status, port open, first cycle
    void ChoosePort(int index);    // optCommPort click, index 0..3
    void OkPressed();              // btnOK: a new cycle on the port already open
    void OfflinePressed();         // btnOffline
    void DonePressed();            // btnDone
    // Go Offline from the main menu
    void GoOffline();
    // ReConnect from the log window
    void ReConnect();

    // The monitor's answer to a ping, as the dispatcher routes it: the one
    // place the online and boot-block flags are learnt from the monitor.
    void PingReplied(const PingReply &reply);

    // AutoPing of the log window. Off: the keep-alive timer runs on but
    // pings nobody. On: pings are allowed again and the timer restarts, the
    // first ping 2 s later.
    void setAutoPing(bool on);
    // The download paces the keep-alive while it sends records: a running
    // keep-alive timer takes the new interval; a stopped one stays stopped.
    void setKeepAliveInterval(int ms);

    // At exit: every timer of the connection and of the link stops, nothing
    // queued is written, and the port is closed.
    void shutdown();

    // frmTrying
    void StartCycle();
    void CancelCycle();
    int TriesToGo() const { return m_triesToGo; }
    bool cycleRunning() const { return m_attempt->isActive(); }

    // frmChangeTries OK: stores a whole number 0..32767; false (nothing
    // changed) for anything else.
    bool SetRetryLimit(const QString &text);
    static QString retryLimitRefusal();
    // "Comm Port Error  on Com<n> -> try another port"
    static QString portErrorMessage(int port);
    // The status text of frmConnect when a port would not open.
    static QString portNotOpenedText(int port, const QString &device, const QString &reason);
    // The message box of a port that would not open: the line above, then
    // the device and why.
    static QString portErrorDetail(int port, const QString &device, const QString &reason);

    // frmTimedOut
    void ShowTimedOut();
    void DismissTimedOut();

    bool autoReConnect() const { return m_autoReConnect; }
    // Ticking it while a lost port waits for the user starts looking for
    // the port; unticking it stops looking.
    void setAutoReConnect(bool on);
    // A lost port is being looked for (Auto ReConnect).
    bool waitingForReplug() const { return m_replug->isActive(); }

    Timer *attemptTimer() const { return m_attempt; }
    Timer *keepAliveTimer() const { return m_keepAlive; }
    Timer *replyTimer() const { return m_reply; }
    Timer *timedOutTimer() const { return m_timedOut; }
    Timer *replugTimer() const { return m_replug; }

    // The four lines of the status label after a failed cycle.
    static QString unableToConnectText();

    // What the connection logic holds besides its timers and the link flags
    // (attempts left, a port lost, Auto ReConnect), as a value: a fuzz target
    // returns to it before each input.
    struct State {
        int triesToGo = 0;
        bool portLost = false;
        QString lostReason;
        bool autoReConnect = true;
        ConnectionState connection = ConnectionState::NoMonitor;
    };
    State state() const { return {m_triesToGo, m_portLost, m_lostReason, m_autoReConnect, m_state}; }
    void restoreState(const State &state);

signals:
    // Every time a state is entered, also the one already shown: the shell
    // paints it afresh.
    void stateEntered(tvk::ConnectionState state);
    void cycleStarted();
    void connected(bool bootBlock);
    void cycleFailed();
    void monitorLost();
    // A port lost while open was found again and reopened.
    void portReplugged();

private:
    void onAttemptTick();
    void onKeepAliveTick();
    void onReplyTimeout();
    void onResponseClosed();
    void onInterimMarker();
    bool openPort();
    void enterState(ConnectionState state);
    void markOffline();
    void onPortLost(const QString &reason);
    void onReplugTick();
    QString portLostText(const QString &reason) const;
    void setIndicators(int colour);
    void setStatus(const QString &text);
    void openTrying();
    void stopCycleTimers();
    void portOpenFailed();
    QString portFailureText() const;
    void sendPing();

    SerialLink &m_link;
    LinkGlobals &m_g;
    ControlBook &m_controls;
    WindowHost &m_windows;
    UserMessages &m_messages;
    Timer *m_keepAlive; // quiet time after the monitor last spoke, then a ping
    Timer *m_reply;     // after a keep-alive ping: its answer must come within 2 s
    Timer *m_attempt;   // one attempt of a connection cycle: 2 s for the ping to be answered
    Timer *m_timedOut;  // closes frmTimedOut after 5 s
    Timer *m_replug;    // looks for a lost port again
    bool m_portLost = false; // lost while open; no open since
    QString m_lostReason;
    int m_triesToGo = 0;
    bool m_autoReConnect = true;
    ConnectionState m_state = ConnectionState::NoMonitor;
};

} // namespace tvk
