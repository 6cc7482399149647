#pragma once
// Seams between the link and what the platform or the windows provide:
// the communication log writers and the beep.

#include <QString>

namespace tvk {

class LinkLog {
public:
    virtual ~LinkLog() = default;
    // One event line, always written.
    virtual void LogEvent(const QString &text) = 0;
    // Received text appended to the current line.
    virtual void LogTrafficText(const QString &text) = 0;
    // Received text and a line break.
    virtual void LogTrafficLine(const QString &text) = 0;
    // A command as it was written to the port (CR LF included); the log
    // file records it.
    virtual void LogTransmit(const QString &text) { Q_UNUSED(text); }
    // Every received character, echo on or off (the log file records them).
    virtual void LogReceived(const QString &text) { Q_UNUSED(text); }
};

class NullLinkLog : public LinkLog {
public:
    void LogEvent(const QString &) override {}
    void LogTrafficText(const QString &) override {}
    void LogTrafficLine(const QString &) override {}
};

class Beeper {
public:
    virtual ~Beeper() = default;
    virtual void Beep(int frequencyHz, int durationMs) = 0;
};

} // namespace tvk
