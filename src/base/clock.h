#pragma once
// Timers of the link and the panels, behind a small clock so that tests can
// drive time by hand instead of sleeping.
//
// A Timer behaves like the monitor tool's window timers: it ticks every
// interval while it is running; start(ms) sets the interval and restarts the
// count; stop() halts it. A timer that should fire once stops itself in its
// tick handler.

#include <QObject>
#include <QList>
#include <QPointer>
#include <memory>

class QTimer;

namespace tvk {

class Timer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~Timer() override = default;

    virtual void start(int intervalMs) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual int interval() const = 0;

signals:
    void timeout();
};

class Clock {
public:
    virtual ~Clock() = default;
    // The timer is owned by parent (Qt ownership).
    virtual Timer *createTimer(QObject *parent) = 0;
    // Milliseconds since some fixed start; only differences matter.
    virtual qint64 nowMs() const = 0;
};

// Real time on the event loop. scale < 1 shortens every interval
// (end-to-end tests run the real timings ten or twenty times faster).
class SystemClock : public Clock {
public:
    explicit SystemClock(double scale = 1.0);
    Timer *createTimer(QObject *parent) override;
    qint64 nowMs() const override;
    double scale() const { return m_scale; }

private:
    double m_scale;
    qint64 m_startMs;
};

// Time that moves only when advance() is called: every timer due within the
// step fires in order of its due time, as often as it falls due.
class ManualClock : public Clock {
public:
    Timer *createTimer(QObject *parent) override;
    qint64 nowMs() const override { return m_now; }
    void advance(qint64 ms);

    // The time and every timer's state, to return to later: a fuzz target
    // starts each input from the same moment.
    struct Snapshot {
        struct TimerState {
            QPointer<class ManualTimer> timer;
            bool active = false;
            int interval = 0;
            qint64 due = 0;
        };
        qint64 now = 0;
        QList<TimerState> timers;
    };
    Snapshot snapshot() const;
    // Back to the snapshot's time; its timers get their states back, and
    // timers made since are stopped.
    void restore(const Snapshot &snapshot);

private:
    friend class ManualTimer;
    qint64 m_now = 0;
    QList<QPointer<class ManualTimer>> m_timers;
};

class ManualTimer : public Timer {
    Q_OBJECT
public:
    ManualTimer(ManualClock &clock, QObject *parent) : Timer(parent), m_clock(clock) {}
    void start(int intervalMs) override;
    void stop() override { m_active = false; }
    bool isActive() const override { return m_active; }
    int interval() const override { return m_interval; }

private:
    friend class ManualClock;
    ManualClock &m_clock;
    bool m_active = false;
    int m_interval = 0;
    qint64 m_due = 0;
};

} // namespace tvk
