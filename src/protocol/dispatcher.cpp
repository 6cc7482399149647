#include "protocol/dispatcher.h"

#include "base/texthelpers.h"
#include "base/monitorfamily.h"

#include <utility>

namespace tvk {

namespace {

constexpr std::size_t indexOf(Route route) { return static_cast<std::size_t>(route); }

// The protocol is ASCII: only a to z are upper-cased, so no other character
// can turn into a family letter by case mapping.
char16_t upperFirst(const QString &text)
{
    const char16_t c = text.at(0).unicode();
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

// The argument after a one-letter selector, leading whitespace stripped.
QString afterFirst(const QString &text) { return TrimLeading(QStringView(text).mid(1)); }

} // namespace

ResponseDispatcher::ResponseDispatcher(std::function<int()> monitorType)
    : m_monitorType(std::move(monitorType))
{
}

int ResponseDispatcher::currentMonitorType() const
{
    return m_monitorType ? m_monitorType() : 0;
}

void ResponseDispatcher::setHandler(Route route, Handler handler)
{
    if (route == Route::ProbeResult || route == Route::Count)
        return;
    m_handlers[indexOf(route)] = std::move(handler);
}

bool ResponseDispatcher::hasHandler(Route route) const
{
    if (route == Route::ProbeResult)
        return bool(m_probeHandler);
    if (route == Route::Count)
        return false;
    return bool(m_handlers[indexOf(route)]);
}

void ResponseDispatcher::setProbeHandler(ProbeHandler handler)
{
    m_probeHandler = std::move(handler);
}

void ResponseDispatcher::setPingHandler(PingHandler handler) { m_pingHandler = std::move(handler); }

std::optional<RoutedText> ResponseDispatcher::RouteDataResponse(const QString &text) const
{
    const QString rest = TrimLeading(text);
    if (rest.isEmpty())
        return std::nullopt;
    const QString argument = afterFirst(rest);

    Route route;
    switch (upperFirst(rest)) {
    case 'A': {
        // The test-point layout differs per monitor family; x99 of the
        // second and third families has no parser.
        switch (monitorFamilyExceptX99(currentMonitorType())) {
        case MonitorFamily::Early: route = Route::TestPoints1; break;
        case MonitorFamily::Mdi: route = Route::TestPoints2; break;
        case MonitorFamily::FlatPanel: route = Route::TestPoints3; break;
        case MonitorFamily::Unknown: return std::nullopt;
        }
        break;
    }
    case 'B': route = Route::BootBlockState; break;
    case 'C': route = Route::CurrentScanSet; break;
    case 'D': route = Route::DacValues; break;
    case 'E': route = Route::EpromVersion; break;
    case 'F': route = Route::FirmwareVersion; break;
    case 'H': route = Route::HighVoltage; break;
    case 'M': route = Route::ModelNumber; break;
    case 'P': route = Route::LimitsReport; break;
    case 'R': route = Route::Backlight; break;
    case 'S': route = Route::SerialNumber; break;
    case 'T':
    case 'U': route = Route::OperatingTime; break;
    case 'V': route = Route::SyncFrequencies; break;
    case 'W': route = Route::OperatingMode; break;
    case 'X': route = Route::Capability; break;
    default: return std::nullopt;
    }
    return RoutedText{route, argument};
}

std::optional<RoutedText> ResponseDispatcher::RouteBootResponse(const QString &text)
{
    const QString rest = TrimLeading(text);
    if (rest.isEmpty())
        return std::nullopt;

    switch (upperFirst(rest)) {
    case 'F':
        // Only the erase-and-load step "bf3" answers with something the
        // download engine acts on; it gets the text from the F on, as echoed.
        if (afterFirst(rest).startsWith(QLatin1Char('3')))
            return RoutedText{Route::FlashLoadReply, rest};
        return std::nullopt;
    case 'S':
        return RoutedText{Route::SramLoadReply, rest};
    default: // "E" and anything else: no effect
        return std::nullopt;
    }
}

ResponseDispatcher::Resolved ResponseDispatcher::resolve(const QString &text) const
{
    Resolved result;
    const QString stripped = TrimLeading(text);
    if (stripped.isEmpty())
        return result;
    const QString rest = afterFirst(stripped);

    auto routeTo = [&result](std::optional<RoutedText> routed) {
        if (routed) {
            result.kind = Resolved::Kind::Handler;
            result.routed = std::move(*routed);
        }
    };

    switch (upperFirst(stripped)) {
    case ':': routeTo(RoutedText{Route::DownloadReply, rest}); break;
    case 'A': {
        if (auto address = ParseAddressResponse(rest))
            routeTo(RoutedText{Route::Address, *address});
        break;
    }
    case 'B': routeTo(RouteBootResponse(rest)); break;
    case 'D': routeTo(RouteDataResponse(rest)); break;
    case 'M': routeTo(RoutedText{Route::DeflHvState, rest}); break;
    case 'P':
        result.kind = Resolved::Kind::Ping;
        result.ping = ParsePingResponse(rest);
        break;
    case 'R': routeTo(RoutedText{Route::MemoryRead, rest}); break;
    default: // "C" echoes of set commands, "E", "W" and anything else
        break;
    }
    return result;
}

std::optional<Route> ResponseDispatcher::routeOf(const QString &text) const
{
    const Resolved resolved = resolve(text);
    switch (resolved.kind) {
    case Resolved::Kind::Handler:
        return resolved.routed.route;
    case Resolved::Kind::Ping:
        if (resolved.ping.kind == PingReply::Kind::Probe && resolved.ping.colour)
            return Route::ProbeResult;
        return std::nullopt;
    case Resolved::Kind::Ignored:
        break;
    }
    return std::nullopt;
}

void ResponseDispatcher::DispatchResponse(const QString &text)
{
    Resolved resolved = resolve(text);
    switch (resolved.kind) {
    case Resolved::Kind::Ignored:
        return;
    case Resolved::Kind::Handler: {
        // A copy, so a handler that replaces its own registration while it
        // runs does not destroy the function being executed.
        const Handler handler = m_handlers[indexOf(resolved.routed.route)];
        if (handler)
            handler(resolved.routed.argument);
        return;
    }
    case Resolved::Kind::Ping:
        break;
    }

    const PingReply &ping = resolved.ping;
    switch (ping.kind) {
    case PingReply::Kind::Probe:
        if (ping.colour && m_probeHandler) {
            const ProbeHandler handler = m_probeHandler;
            handler(ping.text, *ping.colour);
        }
        break;
    case PingReply::Kind::Application:
    case PingReply::Kind::BootBlock:
    case PingReply::Kind::NotAnswered:
        if (m_pingHandler) {
            const PingHandler handler = m_pingHandler;
            handler(ping);
        }
        break;
    }
}

} // namespace tvk
