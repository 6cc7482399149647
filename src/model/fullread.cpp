#include "model/fullread.h"

#include "link/linkglobals.h"
#include "protocol/commands.h"

namespace tvk {

namespace {
// The read commands of the sequence, by step; step 3 sends nothing.
const char *const kSteps[FullRead::kLastStep + 1] = {
    "da", "db", "dc", nullptr, "ddv", "ddfv", "ddpv", "ddh", "ddph", "ddfh", "ddl", "ddpl",
    "ddfl", "ddb", "ddpb", "ddfb", "de", "df", "dh", "dms", "dps", "dss", "dt", "dw",
    "dda", "ddpa", "ddfa", "ddd", "ddpd", "ddfd", "dde", "ddpe", "ddfe", "ddg", "ddpg", "ddfg",
    "ddi", "ddpi", "ddfi", "ddk", "ddpk", "ddfk", "dds", "ddps", "ddfs",
};
} // namespace

FullRead::FullRead(Clock &clock, const LinkGlobals &globals,
                   std::function<void(const QString &)> send, QObject *parent)
    : QObject(parent), m_g(globals), m_send(std::move(send)), m_timer(clock.createTimer(this))
{
    connect(m_timer, &Timer::timeout, this, &FullRead::onTick);
}

QString FullRead::stepCommand(int step)
{
    if (step < 0 || step > kLastStep || !kSteps[step])
        return QString();
    return cmd::line(QString::fromLatin1(kSteps[step]));
}

void FullRead::start()
{
    m_sendCount = 0;
    ReadStep(0);
}

void FullRead::ReadStep(int step)
{
    if (!m_g.MonitorOnline)
        return;
    const QString command = stepCommand(step);
    if (!command.isEmpty())
        m_send(command);
    if (step < kLastStep) {
        // Re-arm only when the timer is not already counting: a tick must not
        // restart its own interval.
        if (!m_timer->isActive())
            m_timer->start(kIntervalMs);
    }
    emit progress(qBound(0, step, kLastStep), kLastStep + 1);
}

void FullRead::onTick()
{
    ReadStep(m_sendCount);
    if (m_sendCount <= kLastStep)
        ++m_sendCount;
    if (m_sendCount > kLastStep) {
        m_timer->stop();
        emit finished();
    }
}

} // namespace tvk
