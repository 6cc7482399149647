#pragma once
// The full read of the monitor: a fixed sequence of read commands, one step
// per second from its own timer (tmrSave), whose replies refresh the
// whole monitor image through their parsers. The timer stops once the
// sequence is past its last step, and the step counter never wraps.
//
// The pacing does not wait for replies, but the read keeps count of them:
// each command it queued is owed a reply. The link tells it which command
// left for the monitor (commandWritten) and when the response in flight has
// been dispatched (responseDispatched); the commands leave in the order they
// were queued, so the reply owed first is matched by its command text. The
// read has finished only when the sequence is past its last step and every
// command of it has been answered, its reply parsed into the image. It has
// failed when a command waits kReplyWaitMs without its own write or reply
// (the monitor fell silent, or the transmit queue was cleared), when the
// monitor goes away while steps are still to be performed, or when the
// owner aborts it (the monitor or the port was lost, a new connection cycle
// began). Nothing blocks: both clocks are timers.

#include "base/clock.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

namespace tvk {

struct LinkGlobals;

class FullRead : public QObject {
    Q_OBJECT
public:
    static constexpr int kLastStep = 44;
    static constexpr int kSteps = kLastStep + 1;
    static constexpr int kIntervalMs = 1000;
    // The longest a command of the read may wait for its write and its
    // reply, counted from the last progress of the read's own commands.
    static constexpr int kReplyWaitMs = 10000;

    // send queues a command; globals.connection.online() tells whether a monitor
    // answers.
    FullRead(Clock &clock, const LinkGlobals &globals, std::function<void(const QString &)> send,
             QObject *parent = nullptr);

    // The command of a step ("" for a step that sends nothing), CR LF included.
    static QString stepCommand(int step);

    // Starts (or restarts) the sequence: SendCount = 0, ReadStep(0). Replies
    // owed to an earlier start are forgotten. With no monitor online nothing
    // is sent, nothing starts, and the result is false.
    bool start();
    // Performs one step.
    void ReadStep(int step);
    int SendCount() const { return m_sendCount; }
    // From start() until finished() or failed(): steps still to perform or
    // replies still owed.
    bool isRunning() const { return m_running; }
    // Commands queued by the read and not answered yet.
    int owedReplies() const { return int(m_owed.size()); }
    Timer *tmrSave() const { return m_timer; }

    // The link wrote a command (CR LF included).
    void commandWritten(const QString &text);
    // A closed response has been dispatched to its parser.
    void responseDispatched();
    // Ends a running read as failed, for `reason`; nothing when none runs.
    void abort(const QString &reason);

signals:
    // A step was performed (online); step of kSteps steps.
    void progress(int step, int total);
    // Every step was performed and every command of the read was answered.
    void finished();
    // The read ended before every step was answered: the timers have
    // stopped; `step` (with its command, line end removed) is the first one
    // not answered, and values of the steps from there on were not read.
    void failed(int step, const QString &command, const QString &reason);

private:
    struct Owed {
        int step;
        QString command;
    };
    void onTick();
    void fail(const QString &reason);
    void finishIfDone();
    // The first step whose reply has not come: the oldest one owed, else the
    // next one to perform that sends a command.
    int firstUnansweredStep() const;

    const LinkGlobals &m_g;
    std::function<void(const QString &)> m_send;
    Timer *m_timer;
    Timer *m_replyWatch;
    int m_sendCount = 0;
    bool m_running = false;
    QList<Owed> m_owed;
    bool m_inFlight = false; // the first owed command was written; its reply is next
};

} // namespace tvk
