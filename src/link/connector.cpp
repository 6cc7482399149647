#include "link/connector.h"
#include "base/connectionnames.h"
#include "base/menunames.h"
#include "base/windownames.h"

#include "link/seriallink.h"
#include "protocol/commands.h"

namespace tvk {

Connector::Connector(Clock &clock, SerialLink &link, LinkGlobals &globals, ControlBook &controls,
                     WindowHost &windows, UserMessages &messages, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_g(globals)
    , m_controls(controls)
    , m_windows(windows)
    , m_messages(messages)
    , m_keepAlive(clock.createTimer(this))
    , m_reply(clock.createTimer(this))
    , m_attempt(clock.createTimer(this))
    , m_timedOut(clock.createTimer(this))
    , m_replug(clock.createTimer(this))
{
    connect(m_replug, &Timer::timeout, this, &Connector::onReplugTick);
    connect(m_attempt, &Timer::timeout, this, &Connector::onAttemptTick);
    connect(m_timedOut, &Timer::timeout, this, &Connector::DismissTimedOut);
    connect(m_keepAlive, &Timer::timeout, this, &Connector::onKeepAliveTick);
    connect(m_reply, &Timer::timeout, this, &Connector::onReplyTimeout);
    connect(&link, &SerialLink::responseClosed, this, &Connector::onResponseClosed);
    connect(&link, &SerialLink::interimMarker, this, &Connector::onInterimMarker);
    connect(&link, &SerialLink::portLost, this, &Connector::onPortLost);
}

void Connector::setIndicators(int colour)
{
    m_controls.setColor(win::frmConnect, ctl::btnInd, colour);
    m_controls.setColor(win::frmCommLog, ctl::btnInd, colour);
}

void Connector::setStatus(const QString &text)
{
    m_controls.setText(win::frmConnect, ctl::lbl1, text);
}

QString Connector::unableToConnectText()
{
    return QStringLiteral("Unable to connect to monitor. Make sure the\r\n"
                          "monitor is connected and turned on, then click OK to\r\n"
                          "try again, Offline to work without a monitor, or Exit to\r\n"
                          "quit the application.");
}

QString Connector::portErrorMessage(int port)
{
    return QStringLiteral("Comm Port Error  on Com") + QString::number(port)
        + QStringLiteral(" -> try another port");
}

QString Connector::portNotOpenedText(int port, const QString &device, const QString &reason)
{
    QString text = QStringLiteral("Trying port ") + QString::number(port) + QStringLiteral("\r\nCom")
        + QString::number(port);
    if (!device.isEmpty())
        text += QStringLiteral(" (") + device + QStringLiteral(")");
    text += QStringLiteral(" could not be opened");
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text + QStringLiteral(".\r\nChoose another port, or click OK to try again.");
}

QString Connector::portErrorDetail(int port, const QString &device, const QString &reason)
{
    QString text = portErrorMessage(port) + QStringLiteral("\r\n\r\nCom") + QString::number(port);
    if (!device.isEmpty())
        text += QStringLiteral(" (") + device + QStringLiteral(")");
    text += QStringLiteral(" could not be opened");
    if (!reason.isEmpty())
        text += QStringLiteral(": ") + reason;
    return text + u'.';
}

QString Connector::portFailureText() const
{
    const SerialPort *port = m_link.port();
    return portNotOpenedText(m_g.CommPort, m_link.deviceName(), port ? port->errorString() : QString());
}

QString Connector::retryLimitRefusal()
{
    return QStringLiteral("The retry limit must be a whole number from 0 to 32767.");
}

void Connector::openTrying()
{
    m_replug->stop();
    m_portLost = false;
    m_windows.openWindow(win::frmTrying);
    StartCycle();
}

void Connector::stopCycleTimers()
{
    m_replug->stop();
    m_attempt->stop();
    m_reply->stop();
    m_keepAlive->stop();
}

bool Connector::openPort()
{
    // Whoever answered on the port before, nobody has answered on this open.
    markOffline();
    return m_link.OpenCommPort();
}

void Connector::EnterNoMonitorState()
{
    markOffline();
    enterState(ConnectionState::NoMonitor);
}

void Connector::EnterOfflineDemoState()
{
    markOffline();
    enterState(ConnectionState::OfflineDemo);
}

void Connector::enterState(ConnectionState state)
{
    m_state = state;
    emit stateEntered(state);
}

void Connector::markOffline()
{
    m_g.connection.m_online = false;
    m_reply->stop();
}

void Connector::portOpenFailed()
{
    // Whatever ran on the port before is gone with it.
    stopCycleTimers();
    m_windows.hideWindow(win::frmTrying);
    EnterNoMonitorState();
    setIndicators(Colour::Red);
    setStatus(portFailureText());
    // OK pressed too early on a pulled adapter does not end the search.
    if (m_portLost && m_autoReConnect)
        m_replug->start(kReplugMs);
}

void Connector::LoadConnectWindow()
{
    setIndicators(Colour::Red);
    setStatus(QStringLiteral("Trying port ") + QString::number(m_g.CommPort));
    if (openPort())
        openTrying();
    else
        setStatus(portFailureText());
}

void Connector::ChoosePort(int index)
{
    const int port = index + 1;
    if (port == m_g.CommPort || port < 1 || port > 4)
        return;
    m_g.CommPort = port;
    if (openPort()) {
        openTrying();
    } else {
        portOpenFailed();
        const SerialPort *p = m_link.port();
        m_messages.message(portErrorDetail(port, m_link.deviceName(), p ? p->errorString() : QString()));
    }
}

void Connector::OkPressed()
{
    // A port lost while open (adapter pulled), one that would not open at
    // start, or one mapped to another device since, is opened again first.
    const bool reopen = !m_link.isPortOpen() || m_link.deviceName() != m_link.resolveDevice(m_g.CommPort);
    if (reopen && !openPort()) {
        portOpenFailed();
        const SerialPort *p = m_link.port();
        m_messages.message(
            portErrorDetail(m_g.CommPort, m_link.deviceName(), p ? p->errorString() : QString()));
        return;
    }
    openTrying();
}

void Connector::OfflinePressed()
{
    // Working without a monitor ends a cycle that is still running, or it
    // would connect behind the user's back.
    stopCycleTimers();
    m_portLost = false;
    m_windows.hideWindow(win::frmTrying);
    EnterNoMonitorState();
    m_windows.hideWindow(win::frmConnect);
}

void Connector::DonePressed() { m_windows.hideWindow(win::frmConnect); }

void Connector::GoOffline()
{
    stopCycleTimers();
    m_portLost = false;
    EnterNoMonitorState();
    m_windows.hideWindow(win::frmConnect);
    m_windows.hideWindow(win::frmTrying);
}

void Connector::ReConnect()
{
    EnterNoMonitorState();
    m_windows.hideWindow(win::frmConnect);
    m_windows.hideWindow(win::frmTrying);
    m_windows.openWindow(win::frmConnect);
    OkPressed();
}

void Connector::sendPing() { m_link.SendCommand(cmd::ping()); }

void Connector::PingReplied(const PingReply &reply)
{
    switch (reply.kind) {
    case PingReply::Kind::Application:
        m_g.connection.m_online = true;
        m_g.connection.m_bootBlock = false;
        break;
    case PingReply::Kind::BootBlock:
        m_g.connection.m_online = true;
        m_g.connection.m_bootBlock = true;
        break;
    case PingReply::Kind::NotAnswered:
        m_g.connection.m_online = false;
        break;
    case PingReply::Kind::Probe:
        break;
    }
}

void Connector::StartCycle()
{
    // The keep-alive of an earlier connection has nothing to keep alive now;
    // the next connection starts it again.
    m_keepAlive->stop();
    EnterNoMonitorState();
    setStatus(QStringLiteral("Trying port ") + QString::number(m_g.CommPort));
    m_controls.setText(win::frmTrying, ctl::lblLimit, QString::number(m_g.ConnectRetryLimit));
    m_triesToGo = m_g.ConnectRetryLimit;
    m_controls.setText(win::frmTrying, ctl::lblToGo, QString::number(m_triesToGo));
    m_attempt->start(kAttemptMs);
    // A command left in flight by a monitor that went silent would hold the
    // first ping back until the next attempt.
    m_link.ClearXmitQueue();
    sendPing();
    emit cycleStarted();
}

void Connector::CancelCycle()
{
    m_attempt->stop();
    m_windows.hideWindow(win::frmTrying);
    EnterNoMonitorState();
}

void Connector::onAttemptTick()
{
    if (m_g.connection.online()) {
        m_attempt->stop();
        m_reply->stop();
        m_keepAlive->start(kKeepAliveAfterConnectMs);
        const bool boot = m_g.connection.bootBlock();
        if (boot)
            enterState(ConnectionState::BootMode);
        else
            enterState(ConnectionState::Online);
        m_controls.setEnabled(win::frmMain, menu::mnuMonitorOffline, true);
        setStatus(QStringLiteral("Connected on the selected port."));
        setIndicators(Colour::Green);
        if (!boot)
            m_link.SendCommand(cmd::readFirmwareVersion());
        m_windows.hideWindow(win::frmTrying);
        emit connected(boot);
        return;
    }
    --m_triesToGo;
    if (m_autoReConnect || m_triesToGo != 0) {
        m_controls.setText(win::frmTrying, ctl::lblToGo, QString::number(m_triesToGo));
        m_link.ClearXmitQueue();
        sendPing();
        m_attempt->start(kAttemptMs);
        return;
    }
    m_attempt->stop();
    EnterNoMonitorState();
    m_windows.hideWindow(win::frmTrying);
    ShowTimedOut();
    setStatus(unableToConnectText());
    emit cycleFailed();
}

void Connector::onKeepAliveTick()
{
    if (m_g.connection.online() && m_g.connection.autoPing()) {
        sendPing();
        // A ping still unanswered keeps its deadline: after "!" the
        // keep-alive ticks as often as the reply timer runs, and restarting
        // it here would never let a monitor that answers only "!" be lost.
        if (!m_reply->isActive())
            m_reply->start(kReplyMs);
    } else {
        m_reply->stop();
    }
}

void Connector::onResponseClosed()
{
    m_reply->stop();
    if (m_g.connection.online())
        m_keepAlive->start(kKeepAliveAfterResponseMs);
}

void Connector::onInterimMarker()
{
    // Still working on it: the monitor is there, but the next quiet spell
    // is checked sooner.
    m_reply->stop();
    if (m_g.connection.online())
        m_keepAlive->start(kKeepAliveAfterInterimMs);
}

void Connector::setAutoPing(bool on)
{
    m_g.connection.m_autoPing = on;
    if (on)
        m_keepAlive->start(kKeepAliveAfterAutoPingMs);
}

void Connector::setKeepAliveInterval(int ms)
{
    if (m_keepAlive->isActive())
        m_keepAlive->start(ms);
}

void Connector::shutdown()
{
    stopCycleTimers();
    m_timedOut->stop();
    m_link.shutdown();
}

void Connector::onReplyTimeout()
{
    const bool lost = m_g.connection.online();
    m_reply->stop();
    m_keepAlive->stop();
    if (!lost)
        return;
    EnterNoMonitorState();
    setIndicators(Colour::Red);
    m_windows.openWindow(win::frmConnect);
    emit monitorLost();
    OkPressed();
}

QString Connector::portLostText(const QString &reason) const
{
    QString text = QStringLiteral("The port Com") + QString::number(m_g.CommPort);
    const QString device = m_link.deviceName();
    if (!device.isEmpty())
        text += QStringLiteral(" (") + device + QStringLiteral(")");
    text += QStringLiteral(" was lost: ") + reason;
    if (m_autoReConnect)
        return text + QStringLiteral("\r\nLooking for it every 2 seconds (Auto ReConnect); "
                                     "reconnect the adapter,\r\nor choose another port.");
    return text + QStringLiteral("\r\nReconnect the adapter, then click OK, or choose another port.");
}

void Connector::onPortLost(const QString &reason)
{
    stopCycleTimers();
    EnterNoMonitorState();
    setIndicators(Colour::Red);
    m_windows.hideWindow(win::frmTrying);
    m_portLost = true;
    m_lostReason = reason;
    setStatus(portLostText(reason));
    m_windows.openWindow(win::frmConnect);
    if (m_autoReConnect)
        m_replug->start(kReplugMs);
}

void Connector::setAutoReConnect(bool on)
{
    m_autoReConnect = on;
    if (!m_portLost)
        return;
    if (on && !m_replug->isActive())
        m_replug->start(kReplugMs);
    else if (!on)
        m_replug->stop();
    setStatus(portLostText(m_lostReason));
}

void Connector::onReplugTick()
{
    if (!m_autoReConnect || !m_portLost || m_link.isPortOpen()) {
        m_replug->stop();
        return;
    }
    // The device is looked up again each time: a remembered adapter may come
    // back under another name.
    if (!openPort())
        return;
    m_replug->stop();
    m_portLost = false;
    m_link.log().LogEvent(QStringLiteral("Serial port %1 is back; connecting again").arg(m_link.deviceName()));
    emit portReplugged();
    openTrying();
}

bool Connector::SetRetryLimit(const QString &text)
{
    const QString t = text.trimmed();
    bool ok = !t.isEmpty();
    for (QChar c : t)
        ok = ok && c >= u'0' && c <= u'9';
    const int value = ok ? t.toInt(&ok) : -1;
    if (!ok || value < 0 || value > 32767) {
        m_messages.message(retryLimitRefusal());
        return false;
    }
    m_g.ConnectRetryLimit = value;
    m_controls.setText(win::frmTrying, ctl::lblLimit, QString::number(value));
    return true;
}

void Connector::restoreState(const State &state)
{
    m_triesToGo = state.triesToGo;
    m_portLost = state.portLost;
    m_lostReason = state.lostReason;
    m_autoReConnect = state.autoReConnect;
    m_state = state.connection; // quietly: the caller paints it if it must
}

void Connector::ShowTimedOut()
{
    m_windows.openWindow(win::frmTimedOut);
    m_timedOut->start(kTimedOutNoticeMs);
}

void Connector::DismissTimedOut()
{
    m_timedOut->stop();
    m_windows.hideWindow(win::frmTimedOut);
}

} // namespace tvk
