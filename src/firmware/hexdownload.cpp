#include "firmware/hexdownload.h"

#include "protocol/commands.h"

#include <QDir>
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

} // namespace

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

bool HexDownload::start(Target target, const QString &path, QString *error)
{
    const auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (isBusy())
        return fail(QStringLiteral("A download is already running; wait for it to end or abort it."));
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("Cannot open '%1': %2").arg(QDir::toNativeSeparators(path), m_file.errorString()));
    m_fileName = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    m_fileLength = m_file.size();
    m_bytesSent = 0;
    m_recordNumber = 0;
    m_recordRetries = 0;
    m_totalRetries = 0;
    m_abort = false;
    m_target = target;
    setState(State::Preparing);
    m_watch->start(kPrepareSilenceMs);
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
    const bool sending = m_state == State::Sending;
    finish();
    beeps({{250, 250}, {125, 250}, {125, 250}});
    QString text = QStringLiteral("The connection to the monitor was lost, quitting.") + kCrLf + reason;
    if (sending)
        text += kCrLf + recordNumberLine();
    m_s.messages.message(text, kDownloadError);
}

void HexDownload::onSilence()
{
    m_watch->stop();
    if (!isBusy())
        return;
    const bool sending = m_state == State::Sending;
    finish();
    // The command in flight will never be answered.
    if (m_s.abandonInFlight)
        m_s.abandonInFlight();
    beeps({{250, 250}, {125, 250}, {125, 250}});
    QString text = QStringLiteral("The monitor stopped answering, quitting.");
    if (sending)
        text += kCrLf + recordNumberLine();
    m_s.messages.message(text, kDownloadError);
}

// ---------------------------------------------------------------------------

HexDownload::LineRead HexDownload::readRecord(QString *line)
{
    m_recordRetries = 0;
    if (!m_file.isOpen() || m_file.atEnd())
        return LineRead::EndOfFile;
    const QByteArray raw = m_file.readLine();
    if (raw.isEmpty() && m_file.error() != QFileDevice::NoError)
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
                         QStringLiteral("File Format Error"));
}

void HexDownload::finish()
{
    m_watch->stop();
    if (m_file.isOpen())
        m_file.close();
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
