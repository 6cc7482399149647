#include "model/fullread.h"

#include "link/linkglobals.h"
#include "protocol/commands.h"

#include <QStringList>

namespace tvk {

namespace {
// The read commands of the sequence, by step; step 3 sends nothing.
const QStringList &steps()
{
    using namespace cmd;
    static const QStringList commands {
        readTestPoints(), readBootBlock(), readCurrentScanSet(), QString(),
        readDac(u"v"), readDacFactory(u"v"), readDacInitial(u"v"),
        readDac(u"h"), readDacInitial(u"h"), readDacFactory(u"h"),
        readDac(u"l"), readDacInitial(u"l"), readDacFactory(u"l"),
        readDac(u"b"), readDacInitial(u"b"), readDacFactory(u"b"),
        readEpromVersion(), readFirmwareVersion(), readHighVoltage(), readModelNumber(u"s"),
        readLimitsReportFull(), readSerialNumber(u"s"), readOperatingTime(), readModeWord(),
        readDac(u"a"), readDacInitial(u"a"), readDacFactory(u"a"),
        readDac(u"d"), readDacInitial(u"d"), readDacFactory(u"d"),
        readDac(u"e"), readDacInitial(u"e"), readDacFactory(u"e"),
        readDac(u"g"), readDacInitial(u"g"), readDacFactory(u"g"),
        readDac(u"i"), readDacInitial(u"i"), readDacFactory(u"i"),
        readDac(u"k"), readDacInitial(u"k"), readDacFactory(u"k"),
        readDac(u"s"), readDacInitial(u"s"), readDacFactory(u"s"),
    };
    return commands;
}
} // namespace

FullRead::FullRead(Clock &clock, const LinkGlobals &globals,
                   std::function<void(const QString &)> send, QObject *parent)
    : QObject(parent), m_g(globals), m_send(std::move(send)), m_timer(clock.createTimer(this))
{
    connect(m_timer, &Timer::timeout, this, &FullRead::onTick);
}

QString FullRead::stepCommand(int step)
{
    if (step < 0 || step > kLastStep)
        return QString();
    return steps().at(step);
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
    if (!m_g.MonitorOnline) {
        // The monitor went away during the read: counting on through steps
        // that send nothing would end as if everything had been read.
        m_timer->stop();
        emit interrupted(m_sendCount, kLastStep + 1);
        return;
    }
    ReadStep(m_sendCount);
    if (m_sendCount <= kLastStep)
        ++m_sendCount;
    if (m_sendCount > kLastStep) {
        m_timer->stop();
        emit finished();
    }
}

} // namespace tvk
