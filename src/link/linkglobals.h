#pragma once
// Program-wide state of the serial link, shared by the link, the response
// dispatcher, the connection logic, the data model start-up and the windows.

namespace tvk {

class Connector;

// Whether a monitor answers, and how. Everyone reads these; only the
// connector writes them (the ping reply sets them, the no-monitor state and
// a port open clear them, the log window's AutoPing button goes through it).
class ConnectionFlags {
public:
    bool online() const { return m_online; }       // a ping was answered; the monitor is connected
    bool bootBlock() const { return m_bootBlock; } // that answer came from the boot block ("$")
    bool autoPing() const { return m_autoPing; }   // keep-alive pings allowed
    bool operator==(const ConnectionFlags &) const = default;

private:
    friend class Connector;
    friend struct ConnectionFlagsForTests; // tests that stand in for the connector
    bool m_online = false;
    bool m_bootBlock = false;
    bool m_autoPing = true;
};

struct LinkGlobals {
    int CommPort = 1;             // serial port in use, 1..4 ("Com1".."Com4")
    int ConnectRetryLimit = 5;    // ping attempts per connection cycle
    ConnectionFlags connection;   // the connector's
    bool CommLogEcho = false;     // echo received characters into the log window
    bool XmitQueueBypass = false; // typed characters go straight to the port
};

} // namespace tvk
