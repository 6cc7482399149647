#include "firmware/hexdownload.h"

#include "protocol/commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace tvk {

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kDownloadError = QStringLiteral("Download Error");

bool isRefusal(const QString &t) { return t.contains(u'!'); }
bool isAcknowledgement(const QString &t) { return !isRefusal(t) && (t.contains(u'#') || t.contains(u'$')); }
bool isEndOfFile(const QString &t) { return t.contains(QLatin1String("EOF")); }

QString withoutLineEnd(QString line)
{
    while (line.endsWith(u'\r') || line.endsWith(u'\n'))
        line.chop(1);
    return line;
}

// A carriage return (a file with old Mac line ends) or another control
// character inside a record would reach the monitor as a line end or junk in
// the middle of the command.
bool hasControlCharacter(const QString &line)
{
    for (const QChar c : line)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return true;
    return false;
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QString hexByte(int b)
{
    return QStringLiteral("0x") + QString::number(b, 16).rightJustified(2, u'0').toUpper();
}

// Why one line (line end removed) is not a record, or empty; the record's
// type in *type.
QString recordFault(const QByteArray &line, int *type)
{
    if (line.isEmpty())
        return QStringLiteral("not a HEX record (empty line)");
    if (line.at(0) != ':')
        return QStringLiteral("not a HEX record (it does not begin with ':')");
    for (const char c : line)
        if (uchar(c) < 0x20 || uchar(c) == 0x7F)
            return QStringLiteral("not a HEX record (control character)");
    const QByteArray digits = line.mid(1);
    QByteArray bytes;
    bytes.reserve(digits.size() / 2);
    for (qsizetype i = 0; i + 1 < digits.size(); i += 2) {
        const int hi = hexDigit(digits.at(i));
        const int lo = hexDigit(digits.at(i + 1));
        if (hi < 0 || lo < 0)
            return QStringLiteral("not a HEX record (not hexadecimal digits)");
        bytes.append(char(hi << 4 | lo));
    }
    if (digits.size() % 2 != 0)
        return hexDigit(digits.back()) < 0 ? QStringLiteral("not a HEX record (not hexadecimal digits)")
                                           : QStringLiteral("not a HEX record (odd number of digits)");
    if (bytes.size() < 5)
        return QStringLiteral("not a HEX record (too short)");
    const int count = uchar(bytes.at(0));
    if (bytes.size() != count + 5)
        return QStringLiteral("record length: the byte count says %1 data bytes, the line holds %2")
            .arg(count)
            .arg(bytes.size() - 5);
    quint8 sum = 0;
    for (const char b : std::as_const(bytes))
        sum += quint8(b);
    if (sum != 0) {
        const quint8 given = quint8(bytes.back());
        return QStringLiteral("bad checksum (%1, should be %2)").arg(hexByte(given), hexByte(quint8(given - sum)));
    }
    *type = uchar(bytes.at(3));
    int needs = -1;
    switch (*type) {
    case 0x00: break;
    case 0x01: needs = 0; break;
    case 0x02:
    case 0x04: needs = 2; break;
    case 0x03:
    case 0x05: needs = 4; break;
    default: return QStringLiteral("unknown record type %1").arg(hexByte(*type));
    }
    if (needs >= 0 && count != needs)
        return QStringLiteral("record length: a record of type %1 holds %2 data bytes, not %3")
            .arg(hexByte(*type))
            .arg(needs)
            .arg(count);
    return {};
}

bool isBlank(const QByteArray &line)
{
    for (const char c : line)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\x1A')
            return false;
    return true;
}

} // namespace

HexFileCheck checkHexFile(const QByteArray &bytes)
{
    HexFileCheck check;
    bool ended = false;
    int lineNo = 0;
    qsizetype from = 0;
    while (from < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', from);
        const qsizetype next = lf < 0 ? bytes.size() : lf + 1;
        QByteArray line = bytes.mid(from, (lf < 0 ? bytes.size() : lf) - from);
        from = next;
        ++lineNo;
        while (line.endsWith('\r'))
            line.chop(1);
        if (ended) {
            if (!isBlank(line)) {
                check.line = lineNo;
                check.reason = QStringLiteral("data after the end-of-file record");
                return check;
            }
            continue;
        }
        int type = -1;
        const QString fault = recordFault(line, &type);
        if (!fault.isEmpty()) {
            check.line = lineNo;
            check.reason = fault;
            return check;
        }
        ++check.records;
        if (type == 0x01) {
            ended = true;
            check.length = next;
        }
    }
    if (!ended) {
        check.line = lineNo + 1;
        check.reason = QStringLiteral("no end-of-file record");
        return check;
    }
    check.line = 0;
    check.ok = true;
    return check;
}

// ---------------------------------------------------------------------------

void DownloadProgress::setGauge(int percent)
{
    percent = std::clamp(percent, 0, 100);
    if (percent == m_gauge)
        return;
    m_gauge = percent;
    emit changed();
}

void DownloadProgress::setRetryText(const QString &text)
{
    if (text == m_retry)
        return;
    m_retry = text;
    emit changed();
}

void DownloadProgress::setShown(bool shown)
{
    if (shown == m_shown)
        return;
    m_shown = shown;
    emit changed();
}

// ---------------------------------------------------------------------------

HexDownload::HexDownload(const Seams &seams, QObject *parent)
    : QObject(parent), m_s(seams), m_watch(seams.clock.createTimer(this))
{
    connect(m_watch, &Timer::timeout, this, &HexDownload::onSilence);
}

HexDownload::~HexDownload() = default;

const QString HexDownload::kFileFormatErrorTitle = QStringLiteral("File Format Error");

QString HexDownload::badFileText(const QString &fileName, const HexFileCheck &check)
{
    return QStringLiteral("'") + fileName + QStringLiteral("' is not a usable HEX file.") + kCrLf
        + QStringLiteral("Line ") + QString::number(check.line) + QStringLiteral(": ") + check.reason + kCrLf
        + QStringLiteral("Nothing was sent to the monitor.");
}

bool HexDownload::start(Target target, const QString &path, const QStringList &first)
{
    if (isBusy()) {
        m_s.messages.message(QStringLiteral("A download is already running; wait for it to end or abort it."));
        return false;
    }
    const QString name = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_s.messages.message(QStringLiteral("Cannot open '%1': %2").arg(name, file.errorString()));
        return false;
    }
    if (file.size() > kMaxFileBytes) {
        m_s.messages.message(QStringLiteral("'%1' is too large for a HEX file (%2 bytes).").arg(name).arg(file.size()));
        return false;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_s.messages.message(QStringLiteral("Cannot read '%1': %2").arg(name, file.errorString()));
        return false;
    }
    file.close();
    const HexFileCheck check = checkHexFile(bytes);
    if (!check.ok) {
        beeps({{250, 250}});
        m_s.messages.message(badFileText(name, check), kFileFormatErrorTitle);
        return false;
    }

    if (m_file.isOpen())
        m_file.close();
    // Only what was checked is ever sent.
    m_data = bytes.left(check.length);
    m_file.setBuffer(&m_data);
    m_file.open(QIODevice::ReadOnly);
    m_fileName = name;
    m_fileLength = bytes.size();
    m_bytesSent = 0;
    m_recordNumber = 0;
    m_recordRetries = 0;
    m_totalRetries = 0;
    m_abort = false;
    m_target = target;
    setState(State::Preparing);
    m_watch->start(kPrepareSilenceMs);
    for (const QString &command : first)
        m_s.send(command);
    m_s.send(target == Target::Flash ? cmd::startFlashLoad() : cmd::startSramLoad());
    return true;
}

// ---------------------------------------------------------------------------
// Preparing replies

void HexDownload::HandleEraseReply(const QString &text)
{
    // Only the answer to our own "bf3": the same command typed in the log
    // window starts nothing.
    if (m_state != State::Preparing || m_target != Target::Flash)
        return;
    if (isRefusal(text)) {
        finish();
        m_s.messages.message(QStringLiteral("Message was '") + text + u'\'',
                             QStringLiteral("Flash Block Erase Failed"));
    } else if (text.contains(u'#') || text.contains(u'$')) {
        startSending(true);
    } else {
        finish();
        beeps({{250, 250}});
        m_s.messages.message(QStringLiteral("Bad response to bf3 erase command"));
    }
}

void HexDownload::HandleSramLoadReply(const QString &text)
{
    if (m_state != State::Preparing || m_target != Target::Sram)
        return;
    if (isRefusal(text)) {
        finish();
        m_s.messages.message(QStringLiteral("Message was '") + text + u'\'');
    } else if (!text.contains(u'#')) {
        // The boot block's "$" alone does not start an SRAM transfer.
        finish();
        beeps({{250, 250}});
        m_s.messages.message(QStringLiteral("Bad response to bs command"));
    } else {
        startSending(false);
    }
}

void HexDownload::startSending(bool setKeepAlive)
{
    m_recordNumber = 1;
    m_bytesSent = 0;
    m_abort = false;
    QString line;
    switch (readRecord(&line)) {
    case LineRead::Record: break;
    case LineRead::BadFormat: fileFormatError(line); return;
    case LineRead::EndOfFile:
        finish();
        beeps({{250, 250}});
        m_s.messages.message(QStringLiteral("Error Reading '") + m_fileName + QStringLiteral("'. ") + kCrLf
                             + QStringLiteral("Please try a different file, or something."));
        return;
    }
    m_progress.setGauge(0);
    m_progress.setRetryText(QStringLiteral("Retries:"));
    m_progress.setShown(true);
    setState(State::Sending);
    setActive(true);
    sendRecord(line, setKeepAlive);
}

// ---------------------------------------------------------------------------
// Record replies

void HexDownload::HandleRecordReply(const QString &text)
{
    if (m_state != State::Sending)
        return; // a record typed in the log window, or a late reply
    m_watch->stop();

    const bool aborted = m_abort;
    const bool eof = aborted || isEndOfFile(text);
    const bool ack = !aborted && isAcknowledgement(text);
    const bool refused = aborted || isRefusal(text);

    if (eof && ack) {
        if (m_target == Target::Sram)
            m_lastSramFile = m_fileName;
        m_progress.setGauge(100);
        finish();
        beeps({{250, 250}, {500, 250}, {1000, 250}});
        return;
    }
    if (eof && refused) {
        finish();
        beeps({{250, 250}, {125, 250}, {125, 250}});
        if (!aborted)
            m_s.messages.message(QStringLiteral("Failed checksum after booting flash.") + kCrLf
                                     + QStringLiteral("Result was '") + text + u'\'' + kCrLf
                                     + QStringLiteral("Try again or check Flash Chip, Pin 1 = +12V."),
                                 kDownloadError);
        return;
    }
    if (eof) {
        finish();
        m_s.messages.message(QStringLiteral("EOF error, result neither fish nor fowl.") + kCrLf
                                 + QStringLiteral("Result was '") + text + u'\'' + kCrLf
                                 + QStringLiteral("Try again, check connection & power."),
                             kDownloadError);
        return;
    }
    if (ack) {
        QString line;
        switch (readRecord(&line)) {
        case LineRead::Record: break;
        case LineRead::BadFormat: fileFormatError(line); return;
        case LineRead::EndOfFile:
            // The monitor took the last line of the file and is waiting for
            // more: the file has no end record, or the monitor did not report.
            finish();
            beeps({{250, 250}, {125, 250}, {125, 250}});
            m_s.messages.message(QStringLiteral("The file ended before the monitor reported the end of the download, quitting.")
                                     + kCrLf + QStringLiteral("File '") + m_fileName + u'\'' + kCrLf
                                     + recordNumberLine(),
                                 kDownloadError);
            return;
        }
        sendRecord(line, true);
        m_bytesSent += line.size();
        if (m_fileLength > 0)
            m_progress.setGauge(std::min<qint64>(99, m_bytesSent * 100 / m_fileLength));
        ++m_recordNumber;
        return;
    }
    if (refused) {
        beeps({{250, 250}, {125, 250}});
        ++m_recordRetries;
        ++m_totalRetries;
        m_progress.setRetryText(QStringLiteral("Retries: ") + QString::number(m_totalRetries));
        if (m_recordRetries > DownloadRetryLimit) {
            finish();
            m_s.messages.message(QStringLiteral("Retry Limit exceeded, quitting.") + kCrLf + recordNumberLine(),
                                 kDownloadError);
            return;
        }
        sendRecord(m_lastRecord, true);
        return;
    }
    finish();
    beeps({{250, 250}, {125, 250}, {250, 125}, {125, 250}});
    m_s.messages.message(QStringLiteral("Record was unrecognized type, quitting.") + kCrLf
                             + QStringLiteral("Record = '") + text + u'\'',
                         kDownloadError);
}

void HexDownload::linkLost(const QString &reason)
{
    if (!isBusy())
        return;
    QString text = QStringLiteral("The connection to the monitor was lost, quitting.") + kCrLf + reason;
    if (m_state == State::Sending)
        text += kCrLf + recordNumberLine();
    giveUp(text);
}

void HexDownload::onSilence()
{
    m_watch->stop();
    if (!isBusy())
        return;
    QString text = QStringLiteral("The monitor stopped answering, quitting.");
    if (m_state == State::Sending)
        text += kCrLf + recordNumberLine();
    giveUp(text);
}

void HexDownload::giveUp(const QString &text)
{
    finish();
    // What the transfer queued and the monitor has not seen goes; the command
    // in flight and the commands of others stay.
    if (m_s.dropQueued)
        m_s.dropQueued();
    beeps({{250, 250}, {125, 250}, {125, 250}});
    m_s.messages.message(text, kDownloadError);
}

// ---------------------------------------------------------------------------

HexDownload::LineRead HexDownload::readRecord(QString *line)
{
    m_recordRetries = 0;
    if (!m_file.isOpen() || m_file.atEnd())
        return LineRead::EndOfFile;
    const QByteArray raw = m_file.readLine();
    if (raw.isEmpty())
        return LineRead::EndOfFile;
    *line = withoutLineEnd(QString::fromLatin1(raw));
    return line->startsWith(u':') && !hasControlCharacter(*line) ? LineRead::Record : LineRead::BadFormat;
}

void HexDownload::sendRecord(const QString &record, bool setKeepAlive)
{
    m_lastRecord = record;
    if (setKeepAlive)
        emit keepAliveInterval(DownloadKeepAliveInterval);
    m_watch->start(kRecordSilenceMs);
    m_s.send(cmd::hexRecord(record));
}

void HexDownload::fileFormatError(const QString &line)
{
    finish();
    m_s.messages.message(QStringLiteral("Bad record format in '") + m_fileName + u'\'' + kCrLf
                             + QStringLiteral("First record start '") + line.left(8) + kCrLf
                             + QStringLiteral("Should start with ':NNNNNNN'") + kCrLf
                             + QStringLiteral("Giving up."),
                         kFileFormatErrorTitle);
}

void HexDownload::finish()
{
    m_watch->stop();
    if (m_file.isOpen())
        m_file.close();
    m_data.clear();
    m_abort = false;
    m_progress.setShown(false);
    setActive(false);
    setState(State::Idle);
}

void HexDownload::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    emit activeChanged(active);
}

void HexDownload::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void HexDownload::beeps(std::initializer_list<std::pair<int, int>> tones)
{
    for (const auto &[hz, ms] : tones)
        m_s.beeper.Beep(hz, ms);
}

QString HexDownload::recordNumberLine() const
{
    return QStringLiteral("Record number was ") + QString::number(m_recordNumber);
}

} // namespace tvk
