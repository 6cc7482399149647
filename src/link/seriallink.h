#pragma once
// The serial link: owns the one serial port, turns received characters into
// responses closed by "#" or "$", queues outgoing commands and writes them one
// at a time, each after a 100 ms pause, with exactly one command in flight.
//
// The connection logic keeps its own timers (keep-alive and reply): the link
// reports each closed response and each interim marker as a signal and knows
// nothing of what they mean for the connection. The link's own timers are
// the pause before each write and the one-shot queue kick.
//
// Markers. "#" (application firmware) and "$" (boot block) close a response:
// it is dispatched, then the next queued command may go. "!" is the interim
// marker: the text before it is dropped and the command stays in flight until
// a later "#" or "$".
//
// Refusals during a firmware download. While refusal framing is on (a
// download is being prepared or running), "!" means the monitor refused the
// command instead: the text up to and including the "!" is dispatched as one
// response (the download engine takes it as a refusal) and releases the queue
// for the resend, like "#" would. The monitor may close a refusal with "!"
// alone or follow it with "#" (or "$"): a prompt that follows the "!" with
// nothing but line ends or blanks between belongs to the refusal; it is
// dropped without dispatching or releasing anything, so it can never be
// counted as an acknowledgement. Outside a download "!" keeps its interim
// meaning exactly.

#include "base/clock.h"
#include "link/linkglobals.h"
#include "link/linklog.h"
#include "link/serialport.h"

#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace tvk {

class SerialLink : public QObject {
    Q_OBJECT
public:
    // Line state of the receive handler.
    enum LineStateValue { Collecting = 0, AfterEnd = 2, AfterInterim = 3 };

    // A received line that never closes is cut once the buffer holds this many
    // characters (the oldest are dropped and the drop is logged).
    static constexpr int kMaxReceiveBuffer = 64 * 1024;
    static constexpr int kWritePauseMs = 100;
    static constexpr int kKickIntervalMs = 2000;

    SerialLink(Clock &clock, PortFactory &ports, LinkGlobals &globals, LinkLog &log,
               Beeper &beeper, QObject *parent = nullptr);
    ~SerialLink() override;

    // Called with every closed response (DispatchResponse).
    void setDispatcher(std::function<void(const QString &)> dispatch);
    // While this returns true, "!" closes a refusal (see above).
    void setRefusalFraming(std::function<bool()> on);
    // The pause before each write (tests over a real port shorten it).
    void setWritePauseMs(int ms) { m_writePauseMs = ms; }
    int writePauseMs() const { return m_writePauseMs; }
    // Maps a port number 1..4 to the device name to open.
    void setDeviceResolver(std::function<QString(int)> resolver);

    // Opens port globals.CommPort with the fixed settings and discards
    // characters already waiting. False on any failure (no message here).
    bool OpenCommPort();
    // Closes the port without sending anything.
    void CloseCommPort();
    // At exit: the pause and the kick stop, queued commands and the one
    // waiting out its pause are forgotten, and the port is closed. Nothing
    // more is written.
    void shutdown();
    bool isPortOpen() const;
    bool isSimulated() const;
    QString deviceName() const;
    // The device a port number stands for now (the port map may have changed
    // since the port was opened).
    QString resolveDevice(int port) const;
    SerialPort *port() const { return m_port.get(); }
    LinkLog &log() const { return m_log; }

    // The transmit queue. A command may carry its owner (any address that
    // stands for the sender, null for none), so that the sender can later
    // take back what it queued and nothing else.
    //
    // How a command joins the queue. AsIs appends it (typed lines, downloads,
    // anything a person must see go out as it was made). NewestWins lets a
    // set of a control (cmd::controlOf) take the place of that control's set
    // still waiting, so a slider dragged over a slow link ends at its last
    // value without replaying every value it passed. Once drops a read when
    // the same read already waits (a poll whose last read has not gone out).
    // Neither reaches past a set that is not a control's value (a scan-set
    // choice, a store, a typed line): what came before it stays as it was.
    // The command written, or waiting out its pause, is never changed.
    enum class Queueing { AsIs, NewestWins, Once };
    void SendCommand(const QString &text, const void *owner = nullptr, Queueing rule = Queueing::AsIs);
    void TransmitNext();
    // Drops the queued commands and forgets the one in flight; the commands
    // dropped are named in the communication log.
    void ClearXmitQueue();
    void ClearQueuedCommands(); // the log window's "Clear Xmit Queue": XmitQueue only
    // Drops the queued commands of `owner` only, naming them in the
    // communication log; commands of others keep their order. The command
    // in flight (or waiting out its pause) is abandoned only when it is
    // owner's too, and the next command of another goes out; one of another
    // sender is never touched. Returns how many were dropped.
    int DropQueuedCommands(const void *owner);
    // Writes text straight to the port, outside the queue ("Xmit Q Bypass").
    // The text goes to LogTransmit; commandWritten is not emitted for it.
    void WriteBypass(const QString &text);

    // The queued commands as one text, in order (the one in flight excluded).
    QString XmitQueue() const;
    qsizetype queuedCount() const { return m_xmitQueue.size(); }
    bool XmitBusy() const { return m_xmitBusy; }
    QString ReceiveBuffer() const { return m_receiveBuffer; }
    int LineState() const { return m_lineState; }
    // A command has been taken off the queue and waits out the pause before
    // it is written (XmitBusy is already set).
    bool isWritePending() const { return m_writePending; }
    QString pendingCommand() const { return m_pendingWrite; }

    Timer *tmrKickXmitQueue() const { return m_kick; }

    // What the link holds between two calls besides its port and its timers
    // (the receive buffer and line state, the queue and the command in
    // flight), as a value: a fuzz target returns to it before each input.
    struct State {
        QString receiveBuffer;
        int lineState = Collecting;
        bool afterRefusal = false;
        bool overflowLogged = false;
        QStringList xmitQueue;
        QList<const void *> xmitOwners; // who queued each of xmitQueue
        QStringList xmitControls;       // the control each may be replaced for, or empty
        const void *inFlightOwner = nullptr;
        bool xmitBusy = false;
        QString pendingWrite;
        bool writePending = false;
    };
    State state() const;
    void restoreState(const State &state);

signals:
    // An end marker arrived: "#" or "$", or the "!" of a refusal. Emitted
    // just before the response it closes is dispatched. The prompt that
    // follows a refusal is reported as well, though it dispatches nothing:
    // the monitor is answering.
    void responseClosed();
    // An interim "!" arrived: the command is still being worked on and stays
    // in flight.
    void interimMarker();
    // A command left for the monitor (CR LF included).
    void commandWritten(const QString &text);
    // The port went away while open; it is closed now.
    void portLost(const QString &reason);
    // The port was opened (the device) or closed by the tool.
    void portOpened(const QString &device);
    void portClosed(const QString &device);
    // Every byte as it went out (queued commands and bypassed typing) and as
    // it came in, before anything is made of it (the session record).
    void bytesWritten(const QByteArray &bytes);
    void bytesReceived(const QByteArray &bytes);

private:
    void attachPort(SerialPort *port);
    void onReceived();
    void onCommEvent(int code);
    void onPortLost(const QString &reason);
    void onKick();
    void processCharacter(QChar c);
    void appendReceived(QStringView text); // no string is made for each character
    void closeResponse();
    void writePending();
    void flushEcho();
    void logDropped(const QStringList &commands);

    Clock &m_clock;
    PortFactory &m_ports;
    LinkGlobals &m_g;
    LinkLog &m_log;
    Beeper &m_beeper;
    std::function<void(const QString &)> m_dispatch;
    std::function<QString(int)> m_resolveDevice;
    std::function<bool()> m_refusalFraming;
    bool m_afterRefusal = false; // only line ends and blanks since a refusal's "!"
    int m_writePauseMs = kWritePauseMs;
    std::unique_ptr<SerialPort> m_port;

    QString m_receiveBuffer;
    int m_lineState = Collecting;
    struct Queued {
        QString text;               // with its line end (a last piece may have none)
        const void *owner = nullptr;
        QString control;            // queued NewestWins: the control a newer value replaces
    };
    // Applies the rule to one command; true when it took the place of (or
    // was already) a waiting one, so nothing is appended.
    bool mergeWaiting(const Queued &command, Queueing rule);
    QList<Queued> m_xmitQueue;  // commands waiting, oldest first
    bool m_xmitBusy = false;    // one command is in flight (or waiting out its pause)
    QString m_pendingWrite;     // taken off the queue, waiting out the pause
    const void *m_inFlightOwner = nullptr; // who queued the command in flight
    bool m_writePending = false;
    bool m_inReceive = false;      // the receive handler is running (a parser may spin an event loop)
    bool m_overflowLogged = false; // the current unterminated line was already cut and logged
    QString m_echo;                // received characters not yet echoed to the log
    QSet<QString> m_notes;         // notes already logged (each is said once)

    Timer *m_pause = nullptr;
    Timer *m_kick = nullptr;
};

} // namespace tvk
