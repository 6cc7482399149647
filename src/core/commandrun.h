#pragma once
// A run of commands to the monitor, one at a time: each is queued only when
// the one before has been answered and its reply parsed, so a run can look at
// what came back before it goes on, and a cancel leaves nothing of it queued.
// The run's commands carry the run as their owner on the link.
//
// It fails when a command waits kReplyWaitMs for its write and its reply,
// when the serial port or the monitor is lost, or when a new connection
// cycle begins; it never blocks (a timer on the core's clock).

#include <QObject>
#include <QList>
#include <QString>

#include <functional>

namespace tvk {

class Clock;
class Connector;
class MonitorData;
class ScanSets;
class SerialLink;
class Timer;
struct LinkGlobals;

// Told once a response has been dispatched to its parsers (the image holds
// what it said).
class ResponseFeed : public QObject {
    Q_OBJECT
signals:
    void responseParsed(const QString &response);
};

// What a run of commands and the reads and writes built on it reach: the
// clock, the link and the connection, where parsed replies are told, and the
// monitor image with its scan sets.
struct MonitorLine {
    Clock &clock;
    SerialLink &link;
    Connector &connector;
    const LinkGlobals &globals;
    ResponseFeed &parsed;
    MonitorData &data;
    ScanSets &scanSets;
};

class CommandRun : public QObject {
    Q_OBJECT
public:
    static constexpr int kReplyWaitMs = 10000;

    struct Step {
        QString command; // without line end
        // Just before the command is queued.
        std::function<void()> sending;
        // After its reply was parsed; reply is the response as the link
        // assembled it (echo included).
        std::function<void(const QString &reply)> answered;
        // The step belongs to the one before (a sequence that must not be
        // cut in the middle): a cancel waits for the first step without it.
        bool followsPrevious = false;
        // The step is sent even after a cancel (the way back to the scan set
        // the monitor ran).
        bool evenOnCancel = false;
    };

    explicit CommandRun(const MonitorLine &line, QObject *parent = nullptr);
    ~CommandRun() override;

    // Steps to send after those already given; may be called while running
    // (from a step's answered function too).
    void append(Step step);
    void append(const QString &command) { append(Step{command, {}, {}}); }
    // Starts sending. False (and nothing sent) while no monitor is online.
    bool start();
    // Stops the run: a command not yet written is taken back, one already
    // written is waited for, and so are the steps that follow it
    // (followsPrevious); of the rest only those sent even on a cancel go.
    // Then cancelled() follows.
    void cancel();
    // Ends a drained run: nothing more will be appended.
    void finish() { stop(); }
    // Ends the run as failed, for reason (a reply the owner cannot go on with).
    void abort(const QString &reason) { fail(reason); }
    bool isRunning() const { return m_running; }
    // Steps answered since start.
    int answeredSteps() const { return m_answered; }
    // Steps given and not yet answered.
    int pendingSteps() const { return int(m_steps.size()); }

signals:
    // Every step given has been answered; the owner appends more or is done.
    void drained();
    // A step was answered (answered steps since start).
    void stepAnswered(int answered);
    void failed(const QString &reason);
    void cancelled();

private:
    void sendNext();
    void onWritten(const QString &text);
    void onResponse(const QString &response);
    void stop();
    void fail(const QString &reason);

    MonitorLine m_line;
    Timer *m_watch;
    QList<Step> m_steps;
    bool m_running = false;
    bool m_sent = false;    // the first step is queued on the link
    bool m_written = false; // ... and written: its reply is the next one
    bool m_cancelRequested = false;
    bool m_unitOpen = false; // the step before the first was sent and answered
    int m_answered = 0;
};

} // namespace tvk
