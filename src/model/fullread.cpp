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
    : QObject(parent)
    , m_g(globals)
    , m_send(std::move(send))
    , m_timer(clock.createTimer(this))
    , m_replyWatch(clock.createTimer(this))
{
    connect(m_timer, &Timer::timeout, this, &FullRead::onTick);
    connect(m_replyWatch, &Timer::timeout, this, [this] {
        fail(m_inFlight ? QStringLiteral("the monitor did not answer")
                        : QStringLiteral("the command was not sent (the transmit queue was cleared or held up)"));
    });
}

QString FullRead::stepCommand(int step)
{
    if (step < 0 || step > kLastStep)
        return QString();
    return steps().at(step);
}

bool FullRead::start()
{
    if (!m_g.connection.online())
        return false;
    // Replies still owed to an earlier start no longer count; should one of
    // those commands still be in flight, its reply is not taken for ours.
    m_owed.clear();
    m_inFlight = false;
    m_replyWatch->stop();
    m_running = true;
    m_sendCount = 0;
    ReadStep(0);
    return true;
}

void FullRead::ReadStep(int step)
{
    if (!m_g.connection.online())
        return;
    const QString command = stepCommand(step);
    if (!command.isEmpty()) {
        if (m_running) {
            m_owed.append({step, command});
            if (m_owed.size() == 1)
                m_replyWatch->start(kReplyWaitMs);
        }
        m_send(command);
    }
    if (step < kLastStep) {
        // Re-arm only when the timer is not already counting: a tick must not
        // restart its own interval.
        if (!m_timer->isActive())
            m_timer->start(kIntervalMs);
    }
    emit progress(qBound(0, step, kLastStep), kSteps);
}

void FullRead::onTick()
{
    if (!m_g.connection.online()) {
        // The monitor went away during the read: counting on through steps
        // that send nothing would end as if everything had been read.
        fail(QStringLiteral("the monitor is no longer online"));
        return;
    }
    ReadStep(m_sendCount);
    if (m_sendCount <= kLastStep)
        ++m_sendCount;
    if (m_sendCount > kLastStep) {
        m_timer->stop();
        finishIfDone();
    }
}

void FullRead::commandWritten(const QString &text)
{
    if (!m_running)
        return;
    // Another command written while ours was in flight means ours was
    // dropped from the link unanswered: its reply is not the next one.
    m_inFlight = !m_owed.isEmpty() && text == m_owed.first().command;
    if (m_inFlight)
        m_replyWatch->start(kReplyWaitMs);
}

void FullRead::responseDispatched()
{
    if (!m_running || !m_inFlight)
        return;
    m_inFlight = false;
    m_owed.removeFirst();
    if (m_owed.isEmpty())
        m_replyWatch->stop();
    else
        m_replyWatch->start(kReplyWaitMs);
    finishIfDone();
}

void FullRead::abort(const QString &reason)
{
    if (m_running)
        fail(reason);
}

void FullRead::finishIfDone()
{
    if (!m_running || m_sendCount <= kLastStep || !m_owed.isEmpty())
        return;
    m_running = false;
    m_timer->stop();
    m_replyWatch->stop();
    emit finished();
}

int FullRead::firstUnansweredStep() const
{
    if (!m_owed.isEmpty())
        return m_owed.first().step;
    for (int step = qMax(0, m_sendCount); step <= kLastStep; ++step) {
        if (!stepCommand(step).isEmpty())
            return step;
    }
    return kLastStep;
}

void FullRead::fail(const QString &reason)
{
    const int step = firstUnansweredStep();
    m_running = false;
    m_timer->stop();
    m_replyWatch->stop();
    m_owed.clear();
    m_inFlight = false;
    emit failed(step, stepCommand(step).trimmed(), reason);
}

} // namespace tvk
