#include "core/appcore.h"

#include "core/handlerlist.h"
#include "core/supportbundle.h"
#include "protocol/commands.h"

#include <QRegularExpression>

namespace tvk {

AppCore::AppCore(const Platform &platform, QObject *parent)
    : QObject(parent)
    , clock(*platform.clock)
    , ports(*platform.ports)
    , beeper(*platform.beeper)
    , messages(*platform.messages)
    , fileDialogs(*platform.fileDialogs)
    , inputBox(*platform.inputBox)
    , portMap(settings, platform.portInfo ? *platform.portInfo : static_cast<PortInfoSource &>(systemPorts))
    , link(clock, ports, globals, commLog, beeper)
    , dispatcher([this] { return int(data.MonitorType); })
    , shell(controls, messages, globals, data, AppShell::Hooks{[this](const QString &c) { send(c); }})
    , connector(clock, link, globals, controls, windows, messages)
    , modelStart(connector, shell)
    , fullRead(clock, globals, [this](const QString &c) { send(c); })
    , download(HexDownload::Seams{clock, beeper, messages,
                                  [this](const QString &c) { link.SendCommand(lineOf(c), &download); },
                                  [this] { link.DropQueuedCommands(&download); }})
    , panels{controls,
             data,
             applying,
             [this](const QString &c) { send(c); },
             [this](const QString &c) { link.SendCommand(lineOf(c), nullptr, SerialLink::Queueing::Once); },
             [this] { return globals.connection.online(); },
             [this](const QString &text) { showStatus(text); },
             windows,
             messages}
    , fileSaver(mdf(), fullRead, globals.connection, controls, settings, FileSaveInitDir)
{
    link.setDispatcher([this](const QString &response) {
        const int before = data.MonitorType;
        {
            // Whatever a reply does to the windows, it never writes back.
            MonitorStateApplying::Scope scope(applying);
            dispatcher.DispatchResponse(response);
        }
        // Another type in the middle of a session: another monitor on the
        // cable, or one that lost its mind. Said once, where it happened.
        if (before != 0 && data.MonitorType != before) {
            const QString text = monitorTypeChangedText(data.FirmwareVersion, data.MonitorType, before);
            commLog.LogEvent(text);
            showStatus(text);
        }
        // Parsed: a reply the full read was owed is in the image now.
        fullRead.responseDispatched();
        emit responses.responseParsed(response);
    });
    dispatcher.setPingHandler([this](const PingReply &reply) { connector.PingReplied(reply); });
    // The connector decides the connection state; the shell paints it.
    connect(&connector, &Connector::stateEntered, &shell, &AppShell::showConnectionState);
    link.setDeviceResolver([this](int port) { return portMap.resolve(port); });
    registerReplyHandlers(dispatcher, replyContext, download);
    wireDownload();
    wireFullRead();
    wireSessionRecord();
    connect(&commLog, &CommLog::lineNoise, this, [this] { showStatus(CommLog::lineNoiseText()); });
}

AppCore::~AppCore() = default;

MdfContext AppCore::mdf()
{
    return MdfContext{data,       scanSets, applying, replyContext, dispatcher, messages,
                      [this] { return globals.connection.online(); }};
}

MonitorLine AppCore::monitorLine()
{
    return MonitorLine{clock, link, connector, globals, responses, data, scanSets};
}

DacFileActions AppCore::fileActions()
{
    return DacFileActions(mdf(), fileSaver, fileDialogs, shell, settings, FileSaveInitDir);
}

FirmwareActions::Context AppCore::firmwareContext()
{
    return FirmwareActions::Context{globals,  controls, messages,
                                    fileDialogs, settings, CodeInitDir,
                                    download, [this](const QString &c) { send(c); },
                                    [this](bool on) { connector.setAutoPing(on); }};
}

void AppCore::wireDownload()
{
    link.setRefusalFraming([this] { return download.isBusy(); });
    commLog.setTrafficSuppressed([this] { return download.suppressesTraffic(); });
    connect(&download, &HexDownload::keepAliveInterval, &connector, &Connector::setKeepAliveInterval);
    // The progress window follows the download.
    connect(&download.progress(), &DownloadProgress::changed, this, [this] {
        const bool shown = download.progress().isShown();
        if (shown != windows.isWindowVisible(win::frmBootProgress)) {
            if (shown)
                windows.openWindow(win::frmBootProgress);
            else
                windows.hideWindow(win::frmBootProgress);
        }
    });
    connect(&link, &SerialLink::portLost, this, [this](const QString &reason) {
        download.linkLost(QStringLiteral("The serial port was lost: ") + reason);
    });
    connect(&connector, &Connector::monitorLost, this, [this] {
        // A monitor whose last word was "!" is there but busy; otherwise
        // it fell silent.
        const bool busy = commLog.lastReceivedMark() == u'!';
        const QString text = monitorLostText(globals.CommPort, busy);
        commLog.LogEvent(text);
        showStatus(text);
        download.linkLost(QStringLiteral("The monitor stopped answering the keep-alive ping."));
    });
    connect(&connector, &Connector::cycleStarted, this, [this] {
        download.linkLost(QStringLiteral("A new connection cycle was started."));
    });
}

void AppCore::wireSessionRecord()
{
    const QString &configs = SettingsSection::Configs;
    sessionRecord.setEnabled(settings.readBool(AppName::Tarvikon, configs, QStringLiteral("SessionRecord"), true));
    const int maxMb = settings.readInt(AppName::Tarvikon, configs, QStringLiteral("SessionRecordMaxMB"), 50);
    sessionRecord.setMaxTotalBytes(qint64(maxMb > 0 ? maxMb : 50) * 1024 * 1024);
    sessionRecord.setFolder(SessionRecord::defaultFolder());
    sessionRecord.setClock(&clock);
    sessionRecord.attach(link);
    sessionRecord.attach(connector);
    // The log's event lines (port events, a silent monitor, dropped
    // commands) belong in the record too.
    connect(&commLog, &CommLog::eventLogged, &sessionRecord, &SessionRecord::logEvent);
    connect(&download, &HexDownload::activeChanged, &sessionRecord, [this](bool active) {
        sessionRecord.logEvent(active ? QStringLiteral("Download started") : QStringLiteral("Download ended"));
    });
}

void AppCore::wireFullRead()
{
    connect(&link, &SerialLink::commandWritten, &fullRead, &FullRead::commandWritten);
    // Whatever the read still owes will not come.
    connect(&link, &SerialLink::portLost, &fullRead, [this](const QString &reason) {
        fullRead.abort(QStringLiteral("the serial port was lost (") + reason + QStringLiteral(")"));
    });
    connect(&connector, &Connector::monitorLost, &fullRead,
            [this] { fullRead.abort(QStringLiteral("the monitor stopped answering")); });
    connect(&connector, &Connector::cycleStarted, &fullRead,
            [this] { fullRead.abort(QStringLiteral("a new connection cycle was started")); });
}

bool AppCore::saveSupportBundle()
{
    QString serial = data.SerialNumber.trimmed();
    serial.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]+")), QStringLiteral("_"));
    SupportBundle::Sources sources{sessionRecord, settings, portMap,
                                   FormatMdfFile(mdf(), QDateTime::currentDateTime()),
                                   serial.isEmpty() ? QStringLiteral("image.mdv") : serial + QStringLiteral(".mdv")};
    const bool saved = SupportBundle::save(sources, fileDialogs, messages);
    if (saved)
        showStatus(QStringLiteral("Support bundle saved."));
    return saved;
}

QString AppCore::monitorLostText(int port, bool busy)
{
    if (busy)
        return QStringLiteral("The monitor on Com%1 answers only \"!\" (busy) and takes no commands; "
                              "trying to connect again.")
            .arg(port);
    return QStringLiteral("The monitor on Com%1 stopped answering; trying to connect again.").arg(port);
}

QString AppCore::monitorTypeChangedText(const QString &version, int type, int before)
{
    return QStringLiteral("The monitor now reports firmware %1 (type %2, was %3); "
                          "the windows follow the new type.")
        .arg(version)
        .arg(type)
        .arg(before);
}

QString AppCore::lineOf(const QString &command)
{
    return command.endsWith(u'\n') ? command : cmd::line(command);
}

void AppCore::send(const QString &command)
{
    // Only the user changes the monitor: a set command queued while a reply
    // (or a loaded file) is being applied is a fault of the program.
    Q_ASSERT_X(!applying.active() || !cmd::isSet(command), "AppCore::send",
               qPrintable(QStringLiteral("set command while applying: ") + command.trimmed()));
    link.SendCommand(lineOf(command), nullptr, SerialLink::Queueing::NewestWins);
}

} // namespace tvk
