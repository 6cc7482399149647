#include "core/appcore.h"

#include "core/handlerlist.h"

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
    , shell(controls, messages, globals, data,
            AppShell::Hooks{[this](const QString &c) { send(c); },
                            [this] { link.tmrConnect()->stop(); }})
    , connector(clock, link, globals, shell, controls, windows, messages)
    , fullRead(clock, globals, [this](const QString &c) { send(c); })
{
    link.setDispatcher([this](const QString &response) { dispatcher.DispatchResponse(response); });
    dispatcher.setPingHandler([this](const PingReply &reply) { connector.PingReplied(reply); });
    link.setDeviceResolver([this](int port) { return portMap.resolve(port); });
    registerReplyHandlers(*this);
}

AppCore::~AppCore() = default;

void AppCore::send(const QString &command)
{
    link.SendCommand(command.endsWith(u'\n') ? command : command + QStringLiteral("\r\n"));
}

} // namespace tvk
