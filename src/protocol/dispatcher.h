#pragma once
// Routes every closed response, and every line of a DAC value file read back,
// to the parser of its family: the first letter (upper-cased, after leading
// CR, LF, blank and TAB), and for the "D" and "B" families the second letter.
// Parsers of later features register here; a family without a handler is
// ignored exactly like an unknown one.

#include "protocol/replyparsers.h"

#include <QString>
#include <array>
#include <cstddef>
#include <functional>
#include <optional>

namespace tvk {

// Everything a response can be routed to, beyond the ping reply which the
// dispatcher handles itself.
enum class Route {
    DownloadReply,   // ":"
    DeflHvState,     // "M"
    MemoryRead,      // "R"
    Address,         // "A": handler gets "0x" + the hex digits
    ProbeResult,     // "P" with lowercase i: use setProbeHandler
    TestPoints1,     // "DA", MonitorType 100..199
    TestPoints2,     // "DA", MonitorType 200..298
    TestPoints3,     // "DA", MonitorType 300..398
    BootBlockState,  // "DB"
    CurrentScanSet,  // "DC"
    DacValues,       // "DD"
    EpromVersion,    // "DE"
    FirmwareVersion, // "DF"
    HighVoltage,     // "DH"
    ModelNumber,     // "DM"
    LimitsReport,    // "DP"
    Backlight,       // "DR"
    SerialNumber,    // "DS"
    OperatingTime,   // "DT" and "DU"
    SyncFrequencies, // "DV"
    OperatingMode,   // "DW"
    Capability,      // "DX"
    FlashLoadReply,  // "BF3"
    SramLoadReply,   // "BS"
    Count
};

// Where one text goes: the route and the argument its handler receives.
struct RoutedText {
    Route route;
    QString argument;
};

class ResponseDispatcher {
public:
    using Handler = std::function<void(const QString &text)>;
    using ProbeHandler = std::function<void(const QString &text, int colour)>;
    using PingHandler = std::function<void(const PingReply &reply)>;

    // monitorType yields the current MonitorType (firmware version x 100, 0
    // until the firmware version was read); it selects the test-point parser.
    explicit ResponseDispatcher(std::function<int()> monitorType);

    // Route one closed response, or one line of a DAC value file. The reply
    // to a ping goes to the ping handler (the connection logic, which keeps
    // the online and boot-block flags); everything else goes to the
    // registered handler of its route. Texts without a route, or whose route
    // has no handler, are ignored silently.
    void DispatchResponse(const QString &text);

    // Register (or with an empty function, remove) the parser of a route.
    // Route::ProbeResult and Route::Count are not accepted here.
    void setHandler(Route route, Handler handler);
    void clearHandler(Route route) { setHandler(route, {}); }
    bool hasHandler(Route route) const;
    // The I2C probe result handler: the result line and its colour.
    void setProbeHandler(ProbeHandler handler);
    // The ping reply: answered by the application or the boot block, or not.
    void setPingHandler(PingHandler handler);

    // The route a text would take, without calling anything and whether or
    // not a handler is registered. Ping replies and ignored texts give
    // nothing; a probe result with a colour gives Route::ProbeResult.
    std::optional<Route> routeOf(const QString &text) const;

    // The routers, each given the text after its family letter; public for
    // tests and logging. They return the route and argument without calling.
    std::optional<RoutedText> RouteDataResponse(const QString &text) const;
    static std::optional<RoutedText> RouteBootResponse(const QString &text);

private:
    struct Resolved {
        enum class Kind { Ignored, Handler, Ping } kind = Kind::Ignored;
        RoutedText routed{Route::Count, {}};
        PingReply ping;
    };
    Resolved resolve(const QString &text) const;
    int currentMonitorType() const;

    std::function<int()> m_monitorType;
    std::array<Handler, static_cast<std::size_t>(Route::Count)> m_handlers;
    ProbeHandler m_probeHandler;
    PingHandler m_pingHandler;
};

} // namespace tvk
