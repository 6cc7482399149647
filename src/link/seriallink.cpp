#include "link/seriallink.h"

#include "link/portmap.h"
#include "protocol/commands.h"

#include <QPointer>

namespace tvk {

namespace {
constexpr QChar kCR = u'\r';
constexpr QChar kLF = u'\n';
constexpr int kAbandonBeepHz = 250;
constexpr int kAbandonBeepMs = 250;

// A command as the log shows it: without its line end.
QString shown(const QString &command)
{
    QString t = command;
    while (t.endsWith(kLF) || t.endsWith(kCR))
        t.chop(1);
    return t;
}
} // namespace

SerialLink::SerialLink(Clock &clock, PortFactory &ports, LinkGlobals &globals, LinkLog &log,
                       Beeper &beeper, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_ports(ports)
    , m_g(globals)
    , m_log(log)
    , m_beeper(beeper)
{
    m_pause = m_clock.createTimer(this);
    m_kick = m_clock.createTimer(this);
    connect(m_pause, &Timer::timeout, this, &SerialLink::writePending);
    connect(m_kick, &Timer::timeout, this, &SerialLink::onKick);
}

SerialLink::~SerialLink()
{
    if (m_port) {
        m_port->disconnect(this);
        m_port->close();
    }
}

void SerialLink::setDispatcher(std::function<void(const QString &)> dispatch)
{
    m_dispatch = std::move(dispatch);
}

void SerialLink::setRefusalFraming(std::function<bool()> on)
{
    m_refusalFraming = std::move(on);
}

void SerialLink::setDeviceResolver(std::function<QString(int)> resolver)
{
    m_resolveDevice = std::move(resolver);
}

// ---------------------------------------------------------------------------
// The port

void SerialLink::attachPort(SerialPort *port)
{
    connect(port, &SerialPort::received, this, &SerialLink::onReceived);
    connect(port, &SerialPort::commEvent, this, &SerialLink::onCommEvent);
    connect(port, &SerialPort::notice, this, [this](const QString &text) { m_log.LogEvent(text); });
    connect(port, &SerialPort::note, this, [this](const QString &text) {
        if (!m_notes.contains(text)) {
            m_notes.insert(text);
            m_log.LogEvent(text);
        }
    });
    connect(port, &SerialPort::lost, this, &SerialLink::onPortLost);
}

bool SerialLink::OpenCommPort()
{
    if (m_port && m_port->isOpen())
        m_port->close();

    const QString device = m_resolveDevice ? m_resolveDevice(m_g.CommPort)
                                           : defaultDeviceForPort(m_g.CommPort);
    if (device.isEmpty())
        return false;

    if (!m_port || m_port->deviceName() != device) {
        if (m_port) {
            // The old port may be the sender of the signal that got us here.
            m_port->disconnect(this);
            m_port.release()->deleteLater();
        }
        std::unique_ptr<SerialPort> port = m_ports.create(device);
        if (!port)
            return false;
        attachPort(port.get());
        m_port = std::move(port);
    }
    if (!m_port->open(device))
        return false;

    // Whatever the line held before this open is stale.
    if (m_port->bytesAvailable() > 0)
        m_port->readAll();
    // Neither is a partial line received on the port before.
    m_receiveBuffer.clear();
    m_lineState = Collecting;
    m_overflowLogged = false;
    m_afterRefusal = false;
    emit portOpened(device);
    return true;
}

void SerialLink::CloseCommPort()
{
    if (m_port && m_port->isOpen()) {
        m_port->close();
        emit portClosed(m_port->deviceName());
    }
}

void SerialLink::shutdown()
{
    m_pause->stop();
    m_kick->stop();
    m_xmitQueue.clear();
    m_writePending = false;
    m_pendingWrite.clear();
    m_xmitBusy = false;
    CloseCommPort();
}

bool SerialLink::isPortOpen() const { return m_port && m_port->isOpen(); }

bool SerialLink::isSimulated() const { return m_port && m_port->isSimulated(); }

QString SerialLink::deviceName() const { return m_port ? m_port->deviceName() : QString(); }

QString SerialLink::resolveDevice(int port) const
{
    return m_resolveDevice ? m_resolveDevice(port) : defaultDeviceForPort(port);
}

void SerialLink::onPortLost(const QString &reason)
{
    m_log.LogEvent(QStringLiteral("Serial port %1 lost: %2").arg(deviceName(), reason));
    emit portLost(reason);
}

// ---------------------------------------------------------------------------
// Receiving

void SerialLink::onCommEvent(int code)
{
    const char *message = nullptr;
    switch (code) {
    case CommEvent::Receive:
        onReceived();
        return;
    case CommEvent::Send: message = "Received comEvSend"; break; // no send threshold to reset here
    case CommEvent::Cts: message = "Received comEvCTS"; break;
    case CommEvent::Dsr: message = "Received comEvDSR"; break;
    case CommEvent::Cd: message = "Received comEvCD"; break;
    case CommEvent::Ring: message = "Received comEvRing"; break;
    case CommEvent::Break: message = "Received comBreak"; break;
    case CommEvent::CtsTimeout: message = "Received comCTSTO"; break;
    case CommEvent::DsrTimeout: message = "Received comDSRTO"; break;
    case CommEvent::Frame: message = "Received comFrame"; break;
    case CommEvent::Overrun: message = "Received comOverrun"; break;
    case CommEvent::CdTimeout: message = "Received comCDTO"; break;
    case CommEvent::RxOver: message = "Received comRxOver"; break;
    case CommEvent::TxFull: message = "Received comTxFull"; break;
    default: return; // end-of-file, parity, device control block and unknown codes: silent
    }
    m_log.LogEvent(QString::fromLatin1(message));
}

void SerialLink::onReceived()
{
    // A parser that runs a nested event loop must not have later characters
    // handled before the rest of this read: they stay in the port and are
    // picked up by the loop below.
    if (m_inReceive)
        return;
    m_inReceive = true;
    QPointer<SerialLink> alive(this);
    while (m_port && m_port->isOpen() && m_port->bytesAvailable() > 0) {
        const QByteArray bytes = m_port->readAll();
        emit bytesReceived(bytes);
        if (!alive)
            return;
        const QString text = QString::fromLatin1(bytes);
        m_log.LogReceived(text);
        for (const QChar c : text) {
            processCharacter(c);
            if (!alive)
                return;
        }
        flushEcho();
    }
    m_inReceive = false;
}

void SerialLink::flushEcho()
{
    if (m_echo.isEmpty())
        return;
    m_log.LogTrafficText(m_echo);
    m_echo.clear();
}

void SerialLink::appendReceived(QStringView text)
{
    m_receiveBuffer += text;
    if (m_receiveBuffer.size() <= kMaxReceiveBuffer)
        return;
    // No end marker for far longer than any response: keep the newest half.
    int cut = m_receiveBuffer.size() - kMaxReceiveBuffer / 2;
    if (cut < m_receiveBuffer.size() && m_receiveBuffer.at(cut) == kLF)
        ++cut; // do not leave half of a CR LF at the front
    m_receiveBuffer.remove(0, cut);
    if (!m_overflowLogged) {
        m_overflowLogged = true;
        flushEcho();
        m_log.LogEvent(QStringLiteral("Receive buffer overflow: no end marker in %1 characters; "
                                      "the oldest characters were dropped")
                           .arg(kMaxReceiveBuffer));
    }
}

void SerialLink::processCharacter(QChar c)
{
    if (c == kCR) {
        if (m_lineState == AfterEnd || m_lineState == AfterInterim)
            m_lineState = Collecting;
        else
            appendReceived(u"\r\n");
        if (m_g.CommLogEcho) {
            flushEcho();
            m_log.LogTrafficLine(QString());
        }
        return;
    }
    if (c == kLF)
        return;

    if (m_g.CommLogEcho)
        m_echo += c;

    if (m_afterRefusal && c != u' ' && c != u'\t') {
        m_afterRefusal = false;
        if (c == u'#' || c == u'$') {
            // The prompt after a refusal's "!": part of the refusal already
            // dispatched, never an acknowledgement.
            m_lineState = AfterEnd;
            m_receiveBuffer.clear();
            emit responseClosed();
            return;
        }
    }
    appendReceived(QStringView(&c, 1));

    if (c == u'!' && m_refusalFraming && m_refusalFraming()) {
        m_lineState = AfterInterim;
        m_afterRefusal = true;
        emit responseClosed();
        closeResponse();
    } else if (c == u'#' || c == u'$') {
        m_lineState = AfterEnd;
        emit responseClosed();
        closeResponse();
    } else if (c == u'!') {
        m_lineState = AfterInterim;
        emit interimMarker();
        m_receiveBuffer.clear();
        m_overflowLogged = false;
        // The command stays in flight until "#" or "$".
        if (m_xmitQueue.isEmpty())
            m_kick->start(kKickIntervalMs);
    }
}

void SerialLink::closeResponse()
{
    const QString response = m_receiveBuffer;
    m_receiveBuffer.clear();
    m_overflowLogged = false;
    flushEcho();
    QPointer<SerialLink> alive(this);
    if (m_dispatch)
        m_dispatch(response);
    if (!alive)
        return;
    // A command taken off the queue but still waiting out its pause has not
    // been written: this response belongs to an earlier one and must not
    // release anything.
    if (m_writePending)
        return;
    m_xmitBusy = false;
    if (!m_xmitQueue.isEmpty())
        TransmitNext();
}

// ---------------------------------------------------------------------------
// The transmit queue
//
// A list of commands on the one UI thread: SendCommand appends, TransmitNext
// takes the first one when nothing is in flight, and a closed response (or
// the kick) lets the next one go.

void SerialLink::SendCommand(const QString &text, const void *owner, Queueing rule)
{
    if (text.isEmpty())
        return;
    auto queue = [&](const QString &command) {
        Queued q{command, owner, {}};
        if (rule == Queueing::NewestWins)
            q.control = cmd::controlOf(command);
        if (!mergeWaiting(q, rule))
            m_xmitQueue.append(q);
    };
    if (!text.contains(kLF)) {
        queue(text + kLF);
    } else {
        // Several commands in one text leave one by one; a last piece
        // without its LF is a command of its own, written as it is.
        qsizetype from = 0;
        while (from < text.size()) {
            const qsizetype lf = text.indexOf(kLF, from);
            const qsizetype end = lf < 0 ? text.size() : lf + 1;
            queue(text.mid(from, end - from));
            from = end;
        }
    }
    if (!m_xmitBusy)
        TransmitNext();
}

bool SerialLink::mergeWaiting(const Queued &command, Queueing rule)
{
    if (rule == Queueing::AsIs || (rule == Queueing::NewestWins && command.control.isEmpty()))
        return false;
    if (rule == Queueing::Once && cmd::kindOf(command.text) != cmd::Kind::Read)
        return false;
    // Newest first, back to the first command the rule may not reach past.
    for (qsizetype i = m_xmitQueue.size() - 1; i >= 0; --i) {
        Queued &waiting = m_xmitQueue[i];
        if (rule == Queueing::NewestWins) {
            if (!waiting.control.isEmpty()) {
                if (waiting.control == command.control && waiting.owner == command.owner) {
                    waiting.text = command.text;
                    return true;
                }
                continue; // another control's value
            }
            if (cmd::isSet(waiting.text))
                return false;
        } else {
            if (waiting.text == command.text && waiting.owner == command.owner)
                return true;
            const cmd::Kind kind = cmd::kindOf(waiting.text);
            if (kind == cmd::Kind::Set || kind == cmd::Kind::Transfer)
                return false;
        }
    }
    return false;
}

QString SerialLink::XmitQueue() const
{
    QString all;
    for (const Queued &q : m_xmitQueue)
        all += q.text;
    return all;
}

void SerialLink::TransmitNext()
{
    if (m_xmitBusy)
        return;
    // Nothing to send: do not mark a command in flight that no response
    // would ever release.
    if (m_xmitQueue.isEmpty())
        return;
    m_xmitBusy = true;
    const Queued next = m_xmitQueue.takeFirst();
    m_pendingWrite = next.text;
    m_inFlightOwner = next.owner;
    // The pause before every write, without blocking the UI.
    m_writePending = true;
    m_pause->start(m_writePauseMs);
}

void SerialLink::writePending()
{
    m_pause->stop();
    if (!m_writePending)
        return;
    m_writePending = false;
    const QString command = m_pendingWrite;
    m_pendingWrite.clear();

    if (!isPortOpen()) {
        // Nothing queued can reach the monitor; holding it would only replay
        // stale commands once a port is open again.
        const int dropped = 1 + int(m_xmitQueue.size());
        m_xmitQueue.clear();
        m_xmitBusy = false;
        m_log.LogEvent(QStringLiteral("Port not open: %1 command(s) not sent, first \"%2\"")
                           .arg(dropped)
                           .arg(shown(command)));
        return;
    }
    const QByteArray bytes = command.toLatin1();
    if (!m_port->write(bytes)) {
        // The command never left, so no response will release it: drop it
        // and let the kick timer try the rest later.
        m_xmitBusy = false;
        m_log.LogEvent(QStringLiteral("Write failed on %1: \"%2\" not sent (%3)")
                           .arg(m_port->deviceName(), shown(command), m_port->errorString()));
        m_kick->start(kKickIntervalMs);
        return;
    }
    emit bytesWritten(bytes);
    m_log.LogTransmit(command);
    emit commandWritten(command);
    m_kick->start(kKickIntervalMs);
}

void SerialLink::onKick()
{
    m_kick->stop();
    if (!m_xmitQueue.isEmpty())
        TransmitNext();
}

void SerialLink::ClearXmitQueue()
{
    QStringList dropped;
    for (const Queued &q : std::as_const(m_xmitQueue))
        dropped << q.text;
    m_xmitQueue.clear();
    if (m_xmitBusy) {
        m_beeper.Beep(kAbandonBeepHz, kAbandonBeepMs);
        m_xmitBusy = false;
        // A command still waiting out its pause is abandoned as well.
        if (m_writePending)
            dropped.prepend(m_pendingWrite);
        m_pause->stop();
        m_writePending = false;
        m_pendingWrite.clear();
    }
    logDropped(dropped);
}

SerialLink::State SerialLink::state() const
{
    State s{m_receiveBuffer, m_lineState, m_afterRefusal, m_overflowLogged, {}, {}, {}, m_inFlightOwner,
            m_xmitBusy,      m_pendingWrite, m_writePending};
    for (const Queued &q : m_xmitQueue) {
        s.xmitQueue << q.text;
        s.xmitOwners << q.owner;
        s.xmitControls << q.control;
    }
    return s;
}

void SerialLink::restoreState(const State &state)
{
    m_receiveBuffer = state.receiveBuffer;
    m_lineState = state.lineState;
    m_afterRefusal = state.afterRefusal;
    m_overflowLogged = state.overflowLogged;
    m_xmitQueue.clear();
    for (qsizetype i = 0; i < state.xmitQueue.size(); ++i)
        m_xmitQueue.append({state.xmitQueue.at(i), state.xmitOwners.value(i), state.xmitControls.value(i)});
    m_inFlightOwner = state.inFlightOwner;
    m_xmitBusy = state.xmitBusy;
    m_pendingWrite = state.pendingWrite;
    m_writePending = state.writePending;
}

void SerialLink::ClearQueuedCommands()
{
    m_xmitQueue.clear();
}

int SerialLink::DropQueuedCommands(const void *owner)
{
    QStringList dropped;
    for (auto it = m_xmitQueue.begin(); it != m_xmitQueue.end();) {
        if (it->owner == owner) {
            dropped << it->text;
            it = m_xmitQueue.erase(it);
        } else {
            ++it;
        }
    }
    // The owner's command in flight is abandoned too (it waits for an
    // answer its owner has given up on), so the commands of others go on.
    const bool abandon = m_xmitBusy && owner && m_inFlightOwner == owner;
    if (abandon) {
        if (m_writePending)
            dropped.prepend(m_pendingWrite);
        m_pause->stop();
        m_writePending = false;
        m_pendingWrite.clear();
        m_xmitBusy = false;
    }
    logDropped(dropped);
    if (abandon)
        TransmitNext();
    return int(dropped.size());
}

void SerialLink::logDropped(const QStringList &commands)
{
    if (commands.isEmpty())
        return;
    // Named, so that nobody waits for an answer that will not come; a long
    // run is cut short.
    constexpr int kNamed = 8;
    QStringList names;
    for (const QString &c : commands.mid(0, kNamed))
        names << QLatin1Char('"') + shown(c) + QLatin1Char('"');
    QString text = QStringLiteral("Dropped: %1 command(s) not sent: ").arg(commands.size()) + names.join(QStringLiteral(", "));
    if (commands.size() > kNamed)
        text += QStringLiteral(", ...");
    m_log.LogEvent(text);
}

void SerialLink::WriteBypass(const QString &text)
{
    if (text.isEmpty())
        return;
    if (!isPortOpen()) {
        m_log.LogEvent(QStringLiteral("Port not open: typed text not sent"));
        return;
    }
    const QByteArray bytes = text.toLatin1();
    if (!m_port->write(bytes)) {
        m_log.LogEvent(QStringLiteral("Write failed on %1 (%2)")
                           .arg(m_port->deviceName(), m_port->errorString()));
        return;
    }
    emit bytesWritten(bytes);
    // Recorded for the log file; commandWritten is for queued commands only.
    m_log.LogTransmit(text);
}

} // namespace tvk
