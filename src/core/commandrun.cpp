#include "core/commandrun.h"

#include "base/clock.h"
#include "link/connector.h"
#include "link/linkglobals.h"
#include "link/seriallink.h"
#include "protocol/commands.h"

namespace tvk {

CommandRun::CommandRun(const MonitorLine &line, QObject *parent)
    : QObject(parent), m_line(line), m_watch(line.clock.createTimer(this))
{
    connect(m_watch, &Timer::timeout, this, [this] {
        fail(m_written ? QStringLiteral("the monitor did not answer \"%1\"").arg(m_steps.value(0).command)
                       : QStringLiteral("\"%1\" was not sent (the transmit queue was cleared or held up)")
                             .arg(m_steps.value(0).command));
    });
    connect(&line.link, &SerialLink::commandWritten, this, &CommandRun::onWritten);
    connect(&line.parsed, &ResponseFeed::responseParsed, this, &CommandRun::onResponse);
    connect(&line.link, &SerialLink::portLost, this, [this](const QString &reason) {
        fail(QStringLiteral("the serial port was lost (") + reason + u')');
    });
    connect(&line.connector, &Connector::monitorLost, this,
            [this] { fail(QStringLiteral("the monitor stopped answering")); });
    connect(&line.connector, &Connector::cycleStarted, this,
            [this] { fail(QStringLiteral("a new connection cycle was started")); });
}

CommandRun::~CommandRun()
{
    if (m_running && m_sent)
        m_line.link.DropQueuedCommands(this);
}

void CommandRun::append(Step step)
{
    m_steps.append(std::move(step));
    if (m_running && !m_sent)
        sendNext();
}

bool CommandRun::start()
{
    if (m_running)
        return true;
    if (!m_line.globals.connection.online())
        return false;
    m_running = true;
    m_cancelRequested = false;
    m_unitOpen = false;
    m_answered = 0;
    sendNext();
    return true;
}

void CommandRun::sendNext()
{
    if (!m_running || m_sent)
        return;
    if (m_cancelRequested) {
        while (!m_steps.isEmpty()) {
            const Step &s = m_steps.first();
            if (s.evenOnCancel || (s.followsPrevious && m_unitOpen))
                break;
            m_steps.removeFirst();
            m_unitOpen = false;
        }
        if (m_steps.isEmpty()) {
            stop();
            emit cancelled();
            return;
        }
    }
    if (m_steps.isEmpty()) {
        emit drained();
        return;
    }
    const Step &step = m_steps.first();
    if (step.sending)
        step.sending();
    m_sent = true;
    m_written = false;
    m_watch->start(kReplyWaitMs);
    m_line.link.SendCommand(cmd::line(step.command), this, SerialLink::Queueing::AsIs);
}

void CommandRun::onWritten(const QString &text)
{
    if (!m_running || !m_sent)
        return;
    // Another command written while ours was in flight means ours was
    // dropped from the link unanswered: the next reply is not ours.
    m_written = !m_steps.isEmpty() && text == cmd::line(m_steps.first().command);
    if (m_written)
        m_watch->start(kReplyWaitMs);
}

void CommandRun::onResponse(const QString &response)
{
    if (!m_running || !m_written)
        return;
    m_watch->stop();
    const Step step = m_steps.takeFirst();
    m_sent = false;
    m_written = false;
    m_unitOpen = true;
    ++m_answered;
    if (step.answered)
        step.answered(response);
    if (m_running)
        emit stepAnswered(m_answered);
    if (m_running)
        sendNext();
}

void CommandRun::cancel()
{
    if (!m_running)
        return;
    m_cancelRequested = true;
    if (m_sent && !m_written && !m_steps.first().followsPrevious && !m_steps.first().evenOnCancel) {
        // Not on the wire yet: take it back.
        m_line.link.DropQueuedCommands(this);
        m_sent = false;
        m_steps.removeFirst();
        m_unitOpen = false;
        sendNext();
        return;
    }
    if (!m_sent)
        sendNext();
}

void CommandRun::stop()
{
    m_running = false;
    m_sent = false;
    m_written = false;
    m_watch->stop();
    m_steps.clear();
}

void CommandRun::fail(const QString &reason)
{
    if (!m_running)
        return;
    if (m_sent)
        m_line.link.DropQueuedCommands(this);
    stop();
    emit failed(reason);
}

} // namespace tvk
