#pragma once
// The Intel HEX download engine: sends a firmware or program image to the
// monitor one record per command line, each record only after the monitor
// acknowledged the previous one.
//
// A transfer is started with start(): the file is opened and the preparing
// command is queued ("bf3" erases the flash, "bs" prepares the SRAM). The
// monitor's answer to it (HandleEraseReply / HandleSramLoadReply) sends the
// first record; every record reply (HandleRecordReply) sends the next one,
// resends a refused one, or ends the transfer. The engine does not interpret
// the records: a line must begin with ":", hold no control characters (a
// lone carriage return would split the command), and goes out unchanged,
// without its line end; the monitor checks address, type and checksum.
//
// A reply is classified by what it contains anywhere in its text:
//   "!"        a refusal (it wins over "#"/"$": a refused record is never
//              taken as acknowledged)
//   "#", "$"   an acknowledgement
//   "EOF"      the monitor's end-of-download report
//
// Every ending (success, failure at the end, retry limit, unknown reply, bad
// line in the file, file ending before the monitor reported the end, the
// monitor falling silent, the link lost) closes the file, hides the progress
// window and clears DownloadActive. Only one transfer exists at a time:
// start() refuses while one is being prepared or sent.
//
// Widget-free: the progress window binds to progress(); the link is reached
// through the send and abandon functions; the keep-alive clock through the
// keepAliveInterval signal.

#include "base/controlbook.h"
#include "base/clock.h"
#include "link/linklog.h"

#include <QFile>
#include <QObject>
#include <QString>
#include <functional>

namespace tvk {

// What the progress window shows ("Download Progress").
class DownloadProgress : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    int gauge() const { return m_gauge; }         // Gauge1, 0..100
    QString retryText() const { return m_retry; } // RetryLabel
    bool isShown() const { return m_shown; }

    void setGauge(int percent);
    void setRetryText(const QString &text);
    void setShown(bool shown);

signals:
    void changed();

private:
    int m_gauge = 0;
    QString m_retry;
    bool m_shown = false;
};

class HexDownload : public QObject {
    Q_OBJECT
public:
    enum class Target { Flash, Sram };
    enum class State { Idle, Preparing, Sending };

    struct Seams {
        Clock &clock;
        Beeper &beeper;
        UserMessages &messages;
        // Queue one command line (CR LF is added).
        std::function<void(const QString &)> send;
        // Forget the command in flight (a monitor that fell silent would
        // otherwise hold the transmit queue for ever).
        std::function<void()> abandonInFlight;
    };

    // The monitor has this long to answer a record, and to answer the
    // preparing command (erasing a flash takes a while).
    static constexpr int kRecordSilenceMs = 10000;
    static constexpr int kPrepareSilenceMs = 30000;

    explicit HexDownload(const Seams &seams, QObject *parent = nullptr);
    ~HexDownload() override;

    // Opens the file and queues the preparing command. False, with the
    // reason in *error, when a transfer is already running or the file cannot
    // be opened; nothing is queued then.
    bool start(Target target, const QString &path, QString *error = nullptr);

    // Replies, as the dispatcher hands them over: the "B" reply from its
    // sub-letter on, the record reply without its leading ":".
    void HandleEraseReply(const QString &text);
    void HandleSramLoadReply(const QString &text);
    void HandleRecordReply(const QString &text);

    // BootAbortButton: the transfer ends at the next record reply.
    void Abort() { m_abort = true; }
    // The port was lost, the monitor declared lost, or a new connection cycle
    // dropped the command in flight: a running transfer cannot go on.
    void linkLost(const QString &reason);

    State state() const { return m_state; }
    bool isBusy() const { return m_state != State::Idle; }
    Target target() const { return m_target; }
    DownloadProgress &progress() { return m_progress; }

    QString HexFileName() const { return m_fileName; }
    qint64 HexFileLength() const { return m_fileLength; }
    int RecordNumber() const { return m_recordNumber; }
    qint64 BytesSent() const { return m_bytesSent; }
    QString LastRecord() const { return m_lastRecord; }
    int RecordRetries() const { return m_recordRetries; }
    int TotalRetries() const { return m_totalRetries; }
    bool DownloadAbort() const { return m_abort; }
    bool DownloadActive() const { return m_active; }
    bool isFileOpen() const { return m_file.isOpen(); }
    // The file of the last SRAM download that ended with success.
    QString lastSramFile() const { return m_lastSramFile; }

    int DownloadRetryLimit = 5;
    int DownloadKeepAliveInterval = 7000;
    // Log every record in the communication log, not only the first ones.
    bool BootLogging = false;

    // The communication log leaves out the traffic of a running download
    // from this record on, unless BootLogging is set.
    static constexpr int kLoggedRecords = 5;
    bool suppressesTraffic() const { return m_active && m_recordNumber >= kLoggedRecords && !BootLogging; }

signals:
    // Set the keep-alive clock's interval (restarting its count) while it runs.
    void keepAliveInterval(int ms);
    void activeChanged(bool active);
    void stateChanged(tvk::HexDownload::State state);

private:
    enum class LineRead { Record, BadFormat, EndOfFile };
    LineRead readRecord(QString *line);
    void startSending(bool setKeepAlive);
    void sendRecord(const QString &record, bool setKeepAlive);
    void finish();
    void setActive(bool active);
    void setState(State state);
    void fileFormatError(const QString &line);
    void beeps(std::initializer_list<std::pair<int, int>> tones);
    void onSilence();
    QString recordNumberLine() const;

    Seams m_s;
    DownloadProgress m_progress;
    Timer *m_watch;
    State m_state = State::Idle;
    Target m_target = Target::Flash;
    QFile m_file;
    QString m_fileName;
    qint64 m_fileLength = 0;
    int m_recordNumber = 0;
    qint64 m_bytesSent = 0;
    QString m_lastRecord;
    int m_recordRetries = 0;
    int m_totalRetries = 0;
    bool m_abort = false;
    bool m_active = false;
    QString m_lastSramFile;
};

} // namespace tvk
