#include "link/sessionrecord.h"

#include "base/clock.h"
#include "link/connector.h"
#include "link/seriallink.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace tvk {

namespace {
const QString kStampFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz");
constexpr int kStampLength = 23;
// How often (in bytes written) the folder's total is checked against the cap.
constexpr qint64 kCheckEvery = 64 * 1024;

// "session-2026-05-01.log" or "session-2026-05-01_02.log"
const QRegularExpression &fileNamePattern()
{
    static const QRegularExpression re(QStringLiteral("^session-(\\d{4}-\\d{2}-\\d{2})(?:_(\\d+))?\\.log$"));
    return re;
}

struct RecordFile {
    QString path;
    QDate day;
    int part = 1;
    qint64 size = 0;
    QDateTime modified;
};

QList<RecordFile> listFiles(const QString &folder)
{
    QList<RecordFile> out;
    if (folder.isEmpty())
        return out;
    const QFileInfoList infos = QDir(folder).entryInfoList({QStringLiteral("session-*.log")}, QDir::Files);
    for (const QFileInfo &info : infos) {
        const auto m = fileNamePattern().match(info.fileName());
        if (!m.hasMatch())
            continue;
        const QDate day = QDate::fromString(m.captured(1), Qt::ISODate);
        if (!day.isValid())
            continue;
        const int part = m.captured(2).isEmpty() ? 1 : m.captured(2).toInt();
        out.append({info.absoluteFilePath(), day, part, info.size(), info.lastModified()});
    }
    std::sort(out.begin(), out.end(), [](const RecordFile &a, const RecordFile &b) {
        return a.day != b.day ? a.day < b.day : a.part < b.part;
    });
    return out;
}

QString fileName(const QDate &day, int part)
{
    const QString date = day.toString(Qt::ISODate);
    return part <= 1 ? QStringLiteral("session-%1.log").arg(date)
                     : QStringLiteral("session-%1_%2.log").arg(date).arg(part, 2, 10, QLatin1Char('0'));
}

QString shown(QString command)
{
    while (command.endsWith(u'\n') || command.endsWith(u'\r'))
        command.chop(1);
    return command;
}
} // namespace

QString SessionRecord::defaultFolder()
{
    const QString base = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    return base.isEmpty() ? QString() : base + QStringLiteral("/records");
}

SessionRecord::SessionRecord(QObject *parent)
    : QObject(parent)
    , m_nowMs([] { return QDateTime::currentMSecsSinceEpoch(); })
{
}

void SessionRecord::setTimeSource(std::function<QDateTime()> now)
{
    m_nowMs = [now = std::move(now)] { return now().toMSecsSinceEpoch(); };
    m_minuteStartMs = -1;
}

QString SessionRecord::stamp(qint64 ms, QDate *day)
{
    // Every command and every reply gets a stamp. Working out the local time
    // asks the C library to check the time zone (a look at /etc/localtime on
    // each call) and Qt to read the format; both are done once a minute.
    if (m_minuteStartMs < 0 || ms < m_minuteStartMs || ms >= m_minuteStartMs + 60000) {
        const QDateTime local = QDateTime::fromMSecsSinceEpoch(ms);
        const QTime t = local.time();
        m_minuteStartMs = ms - (t.second() * 1000 + t.msec());
        m_minuteDay = local.date();
        m_minuteText = local.toString(QStringLiteral("yyyy-MM-dd hh:mm:"));
    }
    const int into = int(ms - m_minuteStartMs);
    *day = m_minuteDay;
    QString text = m_minuteText;
    text.reserve(kStampLength);
    const int s = into / 1000, milli = into % 1000;
    text += QChar(u'0' + s / 10);
    text += QChar(u'0' + s % 10);
    text += u'.';
    text += QChar(u'0' + milli / 100);
    text += QChar(u'0' + milli / 10 % 10);
    text += QChar(u'0' + milli % 10);
    return text;
}

SessionRecord::~SessionRecord() = default;

void SessionRecord::setFolder(const QString &folder)
{
    if (folder == m_folder)
        return;
    m_file.close();
    m_day = QDate();
    m_failed = false;
    m_folder = folder;
}

void SessionRecord::setMaxTotalBytes(qint64 bytes)
{
    m_maxBytes = std::max<qint64>(bytes, 4096);
    m_sinceCheck = kCheckEvery; // checked with the next line
}

void SessionRecord::setEnabled(bool on)
{
    if (on == m_enabled)
        return;
    if (!on)
        logEvent(QStringLiteral("Session record off"));
    m_enabled = on;
    if (!on)
        m_file.close();
    else
        logEvent(QStringLiteral("Session record on"));
}

void SessionRecord::attach(SerialLink &link)
{
    connect(&link, &SerialLink::bytesWritten, this, &SessionRecord::transmitted);
    connect(&link, &SerialLink::bytesReceived, this, &SessionRecord::received);
    connect(&link, &SerialLink::commandWritten, this, &SessionRecord::commandWritten);
    connect(&link, &SerialLink::responseClosed, this, &SessionRecord::responseClosed);
    connect(&link, &SerialLink::portOpened, this,
            [this](const QString &device) { logEvent(QStringLiteral("Port %1 opened").arg(device)); });
    connect(&link, &SerialLink::portClosed, this,
            [this](const QString &device) { logEvent(QStringLiteral("Port %1 closed").arg(device)); });
    connect(&link, &SerialLink::portLost, this, [this, &link](const QString &reason) {
        logEvent(QStringLiteral("Port %1 lost: %2").arg(link.deviceName(), reason));
    });
}

void SessionRecord::attach(Connector &connector)
{
    connect(&connector, &Connector::stateEntered, this, [this](ConnectionState state) {
        switch (state) {
        case ConnectionState::Online: logEvent(QStringLiteral("Online")); break;
        case ConnectionState::BootMode: logEvent(QStringLiteral("Boot mode")); break;
        case ConnectionState::NoMonitor: logEvent(QStringLiteral("Offline")); break;
        case ConnectionState::OfflineDemo: logEvent(QStringLiteral("Offline demo")); break;
        }
    });
    connect(&connector, &Connector::portReplugged, this, [this] { logEvent(QStringLiteral("Port found again")); });
    // The monitor that stopped answering leaves nothing to time.
    connect(&connector, &Connector::monitorLost, this, [this] { m_writtenMs = -1; });
}

void SessionRecord::transmitted(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        write(Kind::Tx, escape(bytes));
}

void SessionRecord::received(const QByteArray &bytes)
{
    if (!bytes.isEmpty())
        write(Kind::Rx, escape(bytes));
}

void SessionRecord::logEvent(const QString &text)
{
    // An event is one line: line ends inside it are escaped like traffic.
    QString line = text;
    line.replace(u'\\', QStringLiteral("\\x5C")).replace(u'\r', QStringLiteral("\\x0D")).replace(u'\n', QStringLiteral("\\x0A"));
    write(Kind::Event, line);
}

void SessionRecord::commandWritten(const QString &command)
{
    m_inFlight = shown(command);
    m_writtenMs = m_clock ? m_clock->nowMs() : m_nowMs();
}

void SessionRecord::responseClosed()
{
    if (m_writtenMs < 0)
        return;
    const qint64 now = m_clock ? m_clock->nowMs() : m_nowMs();
    const qint64 ms = now - m_writtenMs;
    m_writtenMs = -1;
    write(Kind::RoundTrip, QStringLiteral("%1 ms %2").arg(ms).arg(escape(m_inFlight.toLatin1())));
}

QString SessionRecord::kindText(Kind kind)
{
    switch (kind) {
    case Kind::Tx: return QStringLiteral("TX");
    case Kind::Rx: return QStringLiteral("RX");
    case Kind::RoundTrip: return QStringLiteral("RT");
    case Kind::Event: return QStringLiteral("EV");
    }
    return QString();
}

void SessionRecord::write(Kind kind, const QString &body)
{
    if (!m_enabled || m_folder.isEmpty())
        return;
    QDate day;
    const QString stamped = stamp(m_nowMs(), &day);
    if (day != m_day || !m_file.isOpen()) {
        if (day == m_day && m_failed)
            return; // this day's file failed; the next day tries again
        if (!openFor(day))
            return;
    }
    const QByteArray line =
        (stamped + QLatin1Char(' ') + kindText(kind) + QLatin1Char(' ') + body + QLatin1Char('\n'))
            .toLatin1();
    // One write per line, straight to the system (the file is unbuffered).
    if (m_file.write(line) != line.size()) {
        m_failed = true;
        m_file.close();
        return;
    }
    m_sinceCheck += line.size();
    if (m_sinceCheck >= kCheckEvery || m_sinceCheck >= m_maxBytes / 16) {
        m_sinceCheck = 0;
        // A day that fills half the cap goes on in a new part, so that the
        // older part can go when the cap is reached.
        if (m_file.size() > m_maxBytes / 2) {
            m_file.close();
            ++m_part;
            openFor(day);
        }
        prune();
    }
}

bool SessionRecord::openFor(const QDate &day)
{
    m_file.close();
    if (day != m_day) {
        m_day = day;
        m_part = 1;
        // Go on with the newest part of the day that is already there.
        for (const RecordFile &f : listFiles(m_folder))
            if (f.day == day)
                m_part = std::max(m_part, f.part);
    }
    m_failed = false;
    if (!QDir().mkpath(m_folder)) {
        m_failed = true;
        return false;
    }
    m_file.setFileName(QDir(m_folder).filePath(fileName(day, m_part)));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        m_failed = true;
        return false;
    }
    m_sinceCheck = 0;
    prune();
    return true;
}

void SessionRecord::prune()
{
    QList<RecordFile> all = listFiles(m_folder);
    qint64 total = 0;
    for (const RecordFile &f : std::as_const(all))
        total += f.size;
    const QString current = QFileInfo(m_file.fileName()).absoluteFilePath();
    for (const RecordFile &f : std::as_const(all)) {
        if (total <= m_maxBytes)
            break;
        if (f.path == current)
            continue; // the one being written stays
        if (QFile::remove(f.path))
            total -= f.size;
    }
}

QStringList SessionRecord::files() const
{
    QStringList out;
    for (const RecordFile &f : listFiles(m_folder))
        out << f.path;
    return out;
}

QStringList SessionRecord::filesSince(const QDateTime &since) const
{
    QStringList out;
    for (const RecordFile &f : listFiles(m_folder))
        if (f.modified >= since)
            out << f.path;
    return out;
}

QString SessionRecord::escape(QByteArrayView bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(bytes.size());
    for (const char ch : bytes) {
        const uchar c = uchar(ch);
        if (c < 0x20 || c > 0x7E || c == '\\') {
            out += QLatin1String("\\x");
            out += QLatin1Char(hex[c >> 4]);
            out += QLatin1Char(hex[c & 15]);
        } else {
            out += QLatin1Char(char(c));
        }
    }
    return out;
}

bool SessionRecord::unescape(QStringView text, QByteArray *bytes)
{
    bytes->clear();
    bytes->reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\\') {
            if (c.unicode() > 0xFF)
                return false;
            bytes->append(char(c.unicode()));
            continue;
        }
        if (i + 3 >= text.size() || text.at(i + 1) != u'x')
            return false;
        bool ok = false;
        const int value = text.mid(i + 2, 2).toInt(&ok, 16);
        if (!ok)
            return false;
        bytes->append(char(value));
        i += 3;
    }
    return true;
}

std::optional<SessionRecord::Entry> SessionRecord::parseLine(QStringView line)
{
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    // "yyyy-MM-dd hh:mm:ss.zzz KK body"
    if (line.size() < kStampLength + 3 || line.at(kStampLength) != u' ')
        return std::nullopt;
    Entry e;
    e.when = QDateTime::fromString(line.left(kStampLength).toString(), kStampFormat);
    if (!e.when.isValid())
        return std::nullopt;
    const QStringView kind = line.mid(kStampLength + 1, 2);
    const QStringView body = line.size() > kStampLength + 4 ? line.mid(kStampLength + 4) : QStringView();
    if (line.size() > kStampLength + 3 && line.at(kStampLength + 3) != u' ')
        return std::nullopt;
    if (kind == u"TX" || kind == u"RX") {
        e.kind = kind == u"TX" ? Kind::Tx : Kind::Rx;
        if (!unescape(body, &e.bytes))
            return std::nullopt;
    } else if (kind == u"RT" || kind == u"EV") {
        e.kind = kind == u"RT" ? Kind::RoundTrip : Kind::Event;
        e.text = body.toString();
    } else {
        return std::nullopt;
    }
    return e;
}

bool SessionRecord::readFile(const QString &path, QList<Entry> *entries)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine());
        if (const auto e = parseLine(line))
            entries->append(*e);
    }
    return true;
}

} // namespace tvk
