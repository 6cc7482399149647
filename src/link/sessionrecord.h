#pragma once
// The session record: every byte the tool wrote to the monitor and every
// byte it received, each stamped to the millisecond, the round-trip time of
// each command, and the port and link events in between. It is what a
// technician sends home when a monitor misbehaves in the field, and what the
// simulator replays (tvk-monitor-sim --replay).
//
// One file per day in the record folder ("session-2026-05-01.log"; a day
// that outgrows the size cap goes on in "session-2026-05-01_02.log"). The
// oldest files are removed once all of them together exceed the cap. The
// record goes on across reconnects and port changes.
//
// Lines:
//   2026-05-01 10:00:00.000 TX p\x0D\x0A
//   2026-05-01 10:00:00.061 RX p\x0D\x0A#
//   2026-05-01 10:00:00.061 RT 61 ms p
//   2026-05-01 10:00:00.070 EV Online
// Control characters, bytes above 0x7E and the backslash are written as
// \xHH, so a line gives back the bytes exactly. Each received chunk is a line
// of its own, stamped when it arrived.
//
// Each line is one write to a file opened for appending, with no buffer of
// our own in between: a line goes to the system the moment it is made, so a
// crash loses at most the line being written, and the UI thread never waits
// for the disk to catch up (nothing is synced). A file that cannot be written
// stops the record until the next day or the next folder; it never stops the
// tool.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tvk {

class Clock;
class Connector;
class SerialLink;

class SessionRecord : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kDefaultMaxBytes = 50LL * 1024 * 1024;

    enum class Kind { Tx, Rx, RoundTrip, Event };
    struct Entry {
        QDateTime when;
        Kind kind = Kind::Event;
        QByteArray bytes; // TX and RX: the bytes, unescaped
        QString text;     // RT and EV: the rest of the line
    };

    // The folder where the record lives by default: "records" in the
    // per-user data folder.
    static QString defaultFolder();

    explicit SessionRecord(QObject *parent = nullptr);
    ~SessionRecord() override;

    // Where the files go; the current file is closed and the next line opens
    // one there. Nothing is recorded without a folder.
    void setFolder(const QString &folder);
    QString folder() const { return m_folder; }
    // All files together stay within this many bytes (the current one may
    // pass it by one line before a new part of the day starts).
    void setMaxTotalBytes(qint64 bytes);
    qint64 maxTotalBytes() const { return m_maxBytes; }
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }
    // Wall time of the stamps; tests fix it.
    void setTimeSource(std::function<QDateTime()> now);
    // Round-trip times are measured on this clock (the link's).
    void setClock(const Clock *clock) { m_clock = clock; }

    // Feeds the record from the link: bytes both ways, the port opened and
    // lost, each command written and the prompt that closes its response.
    void attach(SerialLink &link);
    // ... and from the connection logic: online, offline, boot mode, found again.
    void attach(Connector &connector);

    void transmitted(const QByteArray &bytes);
    void received(const QByteArray &bytes);
    void logEvent(const QString &text);
    // A queued command was written; the next closing prompt ends its round trip.
    void commandWritten(const QString &command);
    void responseClosed();

    // The file being written (empty before the first line).
    QString currentFile() const { return m_file.fileName(); }
    // Every record file in the folder, oldest first.
    QStringList files() const;
    // The record files written to at or after `since`, oldest first.
    QStringList filesSince(const QDateTime &since) const;

    static QString escape(QByteArrayView bytes);
    // False when the text holds a broken escape.
    static bool unescape(QStringView text, QByteArray *bytes);
    static std::optional<Entry> parseLine(QStringView line);
    // Every line of a record file that parses; false when it cannot be read.
    static bool readFile(const QString &path, QList<Entry> *entries);

private:
    void write(Kind kind, const QString &body);
    bool openFor(const QDate &day);
    void prune();
    static QString kindText(Kind kind);
    // The local time of a moment as "yyyy-MM-dd hh:mm:ss.zzz", and its day.
    QString stamp(qint64 msSinceEpoch, QDate *day);

    QString m_folder;
    qint64 m_maxBytes = kDefaultMaxBytes;
    bool m_enabled = true;
    std::function<qint64()> m_nowMs; // wall time, ms since the epoch
    // The minute of the last stamp: where it starts, its day and its text up
    // to the seconds. Local time changes its offset only on a minute.
    qint64 m_minuteStartMs = -1;
    QDate m_minuteDay;
    QString m_minuteText;
    const Clock *m_clock = nullptr;
    QFile m_file;
    QDate m_day;
    int m_part = 1;
    bool m_failed = false;         // the current file could not be written
    qint64 m_sinceCheck = 0;       // bytes written since the cap was last checked
    qint64 m_writtenMs = -1;       // when the command in flight was written
    QString m_inFlight;            // that command, as shown
};

} // namespace tvk
