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
//
// File lines:
//   [2024-05-01 10:00:00.000] text received from the monitor
//   [2024-05-01 10:00:00.100] >> a command written to the port
//   [2024-05-01 10:00:00.200] ** an event line of the link
// Received text is written as the window shows it: a CR becomes a line break,
// an LF is dropped.

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
    // The text never holds more than this: event lines do not empty it, and
    // a flood of them (or one huge piece of traffic) would otherwise grow it
    // without end. Past it the oldest half goes.
    static constexpr int kMaxText = 64 * 1024;
    // Received characters are judged in blocks: a block of which a quarter
    // or more is not text is line noise. The first such block is reported;
    // after kNoiseQuiet characters of blocks that are text again, the next
    // noise is reported anew.
    static constexpr int kNoiseBlock = 256;
    static constexpr int kNoiseQuiet = 4096;
    static QString lineNoiseText();

    explicit CommLog(QObject *parent = nullptr);
    ~CommLog() override;

    // LinkLog
    void LogEvent(const QString &text) override;
    void LogTrafficText(const QString &text) override;
    void LogTrafficLine(const QString &text) override;
    void LogTransmit(const QString &text) override;
    void LogReceived(const QString &text) override;

    QString text() const { return m_text; }
    // The last character received that is not a line end or a blank ("!"
    // when the monitor's last word was its busy marker); null before any.
    QChar lastReceivedMark() const { return m_lastMark; }
    void clearText();
    // Empties the text (textReset only when there was any) and forgets what
    // was received (the last mark and the line-noise watch), as at start.
    // The file is left as it is.
    void reset();

    // While this returns true, traffic is not written to the window (a running
    // firmware download past its first records). The file still records it.
    void setTrafficSuppressed(std::function<bool()> suppressed) { m_suppressed = std::move(suppressed); }

    // Log file. chooseFile opens (appends to) the file, file logging still
    // off; false with fileError() set, and the failure logged, when it cannot
    // be opened (any file chosen before is released either way).
    bool chooseFile(const QString &path);
    // Ends file logging and closes the file (nothing happens without one).
    void releaseFile();
    bool LogFileOpen() const { return m_file.isOpen(); }
    bool LogToFile() const { return m_logToFile; }
    // Only takes effect while a file is open.
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
    // The monitor's output turned to line noise; the event was logged.
    void lineNoise();
    // LogFileOpen or LogToFile may have changed.
    void fileStateChanged();
    // An event line was written (the session record keeps it too).
    void eventLogged(const QString &text);

private:
    void appendTraffic(const QString &text);
    void watchForNoise(const QString &text);
    void append(const QString &text);
    // False when the file failed (file logging is then off and it was reported).
    bool writeFile(const QString &text);
    void closeFile();

    QString m_text;
    std::function<bool()> m_suppressed;
    std::function<QString()> m_now;
    QFile m_file;
    bool m_logToFile = false;
    bool m_fileAtLineStart = true;
    QString m_fileError;
    int m_blockChars = 0; // characters of the current block
    int m_blockNoise = 0; // ... that are not text
    int m_quietBlocks = 0; // text blocks in a row
    bool m_noiseNoted = false;
    QChar m_lastMark;
};

} // namespace tvk
