#include "base/clock.h"

#include <QDateTime>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace tvk {

namespace {

class QtTimer : public Timer {
public:
    QtTimer(double scale, QObject *parent) : Timer(parent), m_scale(scale), m_timer(this)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &Timer::timeout);
    }
    void start(int intervalMs) override
    {
        m_interval = intervalMs;
        if (intervalMs <= 0) {
            m_timer.stop();
            return;
        }
        m_timer.start(std::max(1, int(std::lround(intervalMs * m_scale))));
    }
    void stop() override { m_timer.stop(); }
    bool isActive() const override { return m_timer.isActive(); }
    int interval() const override { return m_interval; }

private:
    double m_scale;
    int m_interval = 0;
    QTimer m_timer;
};

} // namespace

SystemClock::SystemClock(double scale)
    : m_scale(scale > 0 ? scale : 1.0), m_startMs(QDateTime::currentMSecsSinceEpoch())
{
}

Timer *SystemClock::createTimer(QObject *parent) { return new QtTimer(m_scale, parent); }

qint64 SystemClock::nowMs() const
{
    return qint64((QDateTime::currentMSecsSinceEpoch() - m_startMs) / m_scale);
}

Timer *ManualClock::createTimer(QObject *parent)
{
    auto *t = new ManualTimer(*this, parent);
    m_timers.append(t);
    return t;
}

void ManualTimer::start(int intervalMs)
{
    m_interval = intervalMs;
    m_active = intervalMs > 0;
    m_due = m_clock.m_now + intervalMs;
}

void ManualClock::advance(qint64 ms)
{
    const qint64 end = m_now + ms;
    for (;;) {
        m_timers.removeAll(nullptr);
        ManualTimer *next = nullptr;
        for (const auto &t : std::as_const(m_timers)) {
            if (t && t->m_active && t->m_due <= end && (!next || t->m_due < next->m_due))
                next = t;
        }
        if (!next)
            break;
        m_now = next->m_due;
        next->m_due += next->m_interval; // periodic until stopped or restarted
        emit next->timeout();
    }
    m_now = end;
}

ManualClock::Snapshot ManualClock::snapshot() const
{
    Snapshot s;
    s.now = m_now;
    for (const auto &t : m_timers) {
        if (t)
            s.timers.append({t, t->m_active, t->m_interval, t->m_due});
    }
    return s;
}

void ManualClock::restore(const Snapshot &snapshot)
{
    m_timers.removeAll(nullptr);
    for (const auto &t : std::as_const(m_timers))
        t->m_active = false;
    for (const auto &s : snapshot.timers) {
        if (!s.timer)
            continue;
        s.timer->m_active = s.active;
        s.timer->m_interval = s.interval;
        s.timer->m_due = s.due;
    }
    m_now = snapshot.now;
}

} // namespace tvk
