#pragma once
// The Intel HEX download engine: sends a firmware or program image to the
// monitor one record per command line, each record only after the monitor
// acknowledged the previous one.
//
// A transfer is started with start(): the file is read whole and checked
// (checkHexFile: every line a well-formed record with its checksum, known
// record types, an end record) before anything is queued, so a bad file never
// gets as far as an erased flash. Only a file that passed is sent, and only
// the part up to its end record. Then the commands that go before the
// preparing command (the software window's "cz0" and "cb0") and the
// preparing command itself are queued ("bf3" erases the flash, "bs" prepares
// the SRAM). The monitor's answer to it (HandleEraseReply /
// HandleSramLoadReply) sends the first record; every record reply
// (HandleRecordReply) sends the next one, resends a refused one, or ends the
// transfer. Each record still goes through the same line test while it is
// sent: it must begin with ":" and hold no control characters (a lone
// carriage return would split the command); it goes out unchanged, without
// its line end, and the monitor checks address, type and checksum again.
//
// A reply is classified by what it contains anywhere in its text:
//   "!"        a refusal (it wins over "#"/"$": a refused record is never
//              taken as acknowledged)
//   "#", "$"   an acknowledgement
//   "EOF"      the monitor's end-of-download report
//
// Every ending (success, failure at the end, retry limit, unknown reply, bad
// line, file ending before the monitor reported the end, the monitor falling
// silent, the link lost) closes the file, hides the progress window and
// clears DownloadActive. When the transfer gives up on the monitor (silence,
// link lost) the commands it queued and that are still waiting are taken
// back; the command in flight stays in flight, and commands others queued
// stay queued. Only one transfer exists at a time: start() refuses while one
// is being prepared or sent.
//
// Widget-free: the progress window binds to progress(); the link is reached
// through the send and drop functions; the keep-alive clock through the
// keepAliveInterval signal.

#include "base/controlbook.h"
#include "base/clock.h"
#include "link/linklog.h"

#include <QBuffer>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

namespace tvk {

// The whole-file check of an Intel HEX file, from its bytes. Lines end in LF
// or CR LF. Every line up to the end record must be a record: ":", then an
// even number of hexadecimal digits, a byte count matching the data, a known
// type (00 data, 01 end, 02 and 04 extended addresses, 03 and 05 start
// addresses) with the length its type needs, and a checksum that brings the
// sum of its bytes to zero. After the end record only blank lines (and a
// DOS end-of-file character) may follow.
struct HexFileCheck {
    bool ok = false;
    int line = 0;         // 1-based line at fault; for a missing end record the line after the last
    QString reason;       // what is wrong, e.g. "bad checksum (...)", "no end-of-file record"
    int records = 0;      // records up to and including the end record
    qsizetype length = 0; // bytes up to and including the end record's line end
};
HexFileCheck checkHexFile(const QByteArray &bytes);

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
        // Queue one command line (CR LF is added) as the download's own.
        std::function<void(const QString &)> send;
        // Take back the download's own commands still waiting in the
        // transmit queue (not the one in flight). Called when the transfer
        // gives up on the monitor.
        std::function<void()> dropQueued;
    };

    // The monitor has this long to answer a record, and to answer the
    // preparing command (erasing a flash takes a while).
    static constexpr int kRecordSilenceMs = 10000;
    static constexpr int kPrepareSilenceMs = 30000;

    explicit HexDownload(const Seams &seams, QObject *parent = nullptr);
    ~HexDownload() override;

    // HEX files larger than this are refused unread.
    static constexpr qint64 kMaxFileBytes = 64 * 1024 * 1024;

    // Reads and checks the whole file; if it passed, queues `first` (each a
    // command line) and then the preparing command. False when a transfer is
    // already running, the file cannot be read or it failed its check: the
    // reason is shown in a message box (a bad file with its name, the line and
    // what is wrong), and nothing at all is queued.
    bool start(Target target, const QString &path, const QStringList &first = {});

    // The message for a file that failed its check.
    static QString badFileText(const QString &fileName, const HexFileCheck &check);
    static const QString kFileFormatErrorTitle;

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
    void giveUp(const QString &text);
    QString recordNumberLine() const;

    Seams m_s;
    DownloadProgress m_progress;
    Timer *m_watch;
    State m_state = State::Idle;
    Target m_target = Target::Flash;
    QByteArray m_data; // the checked file, up to its end record
    QBuffer m_file;
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
