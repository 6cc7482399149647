#pragma once
// Program-wide state of the serial link, shared by the link, the response
// dispatcher, the connection logic, the data model start-up and the windows.

namespace tvk {

struct LinkGlobals {
    int CommPort = 1;             // serial port in use, 1..4 ("Com1".."Com4")
    int ConnectRetryLimit = 5;    // ping attempts per connection cycle
    // Written by the connector only: the ping reply sets them, the
    // no-monitor state and a port open clear MonitorOnline.
    bool MonitorOnline = false;   // a ping was answered; the monitor is connected
    bool BootBlockReply = false;  // that answer came from the boot block ("$")
    bool AutoPing = true;         // keep-alive pings allowed
    bool CommLogEcho = false;     // echo received characters into the log window
    bool XmitQueueBypass = false; // typed characters go straight to the port
};

} // namespace tvk
