#pragma once
// The communication log: the text of the log window (traffic echo, link
// events) and the optional log file. Widget-free; the log window shows the
// text and forwards the user's actions.
//
// Traffic writing empties the text once it holds more than 1500 characters;
// event lines are always written and never trigger the emptying. The log
// file, while file logging is on, receives every received character, every
// command sent and every event line, with a time stamp at each line start;
// emptying the window loses nothing of the file.

#include "link/linklog.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <functional>

namespace tvk {

class CommLog : public QObject, public LinkLog {
    Q_OBJECT
public:
    static constexpr int kTrimThreshold = 1500;

    explicit CommLog(QObject *parent = nullptr);
    ~CommLog() override;

    // LinkLog
    void LogEvent(const QString &text) override;
    void LogTrafficText(const QString &text) override;
    void LogTrafficLine(const QString &text) override;
    void LogTransmit(const QString &text) override;
    void LogReceived(const QString &text) override;

    QString text() const { return m_text; }
    void clearText();

    // While this returns true, traffic is not written to the window (a running
    // firmware download past its first records).
    void setTrafficSuppressed(std::function<bool()> suppressed) { m_suppressed = std::move(suppressed); }

    // Log file. chooseFile opens (appends to) the file; false with
    // fileError() set when it cannot be opened.
    bool chooseFile(const QString &path);
    void releaseFile();
    bool LogFileOpen() const { return m_file.isOpen(); }
    QString logFilePath() const { return m_file.fileName(); }
    bool LogToFile() const { return m_logToFile; }
    void setLogToFile(bool on);
    QString fileError() const { return m_fileError; }
    // Time stamps of the file ("yyyy-MM-dd hh:mm:ss.zzz"); tests fix the clock.
    void setTimeSource(std::function<QString()> now) { m_now = std::move(now); }

signals:
    // The whole text changed (emptied or replaced).
    void textReset(const QString &text);
    // Text appended at the end.
    void appended(const QString &text);
    // File logging stopped on its own (write failure); the message was logged.
    void fileLoggingStopped();
    void fileStateChanged();

private:
    void appendTraffic(const QString &text);
    void append(const QString &text);
    void writeFile(const QString &text);

    QString m_text;
    std::function<bool()> m_suppressed;
    std::function<QString()> m_now;
    QFile m_file;
    bool m_logToFile = false;
    bool m_fileAtLineStart = true;
    QString m_fileError;
};

} // namespace tvk
