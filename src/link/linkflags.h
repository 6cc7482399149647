#pragma once
// Program-wide flags of the serial link, shared by the link, the response
// dispatcher, the connection logic and the main window.

namespace tvk {

struct LinkFlags {
    bool MonitorOnline = false;   // a ping was answered; the monitor is connected
    bool BootBlockReply = false;  // that answer came from the boot block ("$")
    bool AutoPing = true;         // keep-alive pings allowed
    bool CommLogEcho = false;     // echo received characters into the log window
    bool XmitQueueBypass = false; // typed characters go straight to the port
};

} // namespace tvk
