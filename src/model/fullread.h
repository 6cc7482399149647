#pragma once
// The full read of the monitor: a fixed sequence of read commands, one step
// per second from its own timer (tmrSave), whose replies refresh the
// whole monitor image through their parsers. Nothing waits for the replies.
// The timer stops once the sequence is past its last step, and the step
// counter never wraps.

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
    static constexpr int kIntervalMs = 1000;

    // send queues a command; online tells whether a monitor answers.
    FullRead(Clock &clock, const LinkGlobals &globals, std::function<void(const QString &)> send,
             QObject *parent = nullptr);

    // The command of a step ("" for a step that sends nothing), CR LF included.
    static QString stepCommand(int step);

    // Starts (or restarts) the sequence: SendCount = 0, ReadStep(0).
    void start();
    // Performs one step.
    void ReadStep(int step);
    int SendCount() const { return m_sendCount; }
    bool isRunning() const { return m_timer->isActive(); }
    Timer *tmrSave() const { return m_timer; }

signals:
    // A step was performed (online); step of kLastStep + 1 steps.
    void progress(int step, int total);
    // The sequence is past its last step and the timer has stopped.
    void finished();
    // The monitor stopped answering before the last step: the timer has
    // stopped and steps from `step` on were not read.
    void interrupted(int step, int total);

private:
    void onTick();

    const LinkGlobals &m_g;
    std::function<void(const QString &)> m_send;
    Timer *m_timer;
    int m_sendCount = 0;
};

} // namespace tvk
