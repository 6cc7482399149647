#include "core/commlog.h"

#include <QDateTime>

namespace tvk {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
const QString kSentPrefix = QStringLiteral(">> ");
const QString kEventPrefix = QStringLiteral("** ");
} // namespace

CommLog::CommLog(QObject *parent)
    : QObject(parent)
    , m_now([] { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")); })
{
}

CommLog::~CommLog()
{
    // No signals from here: the windows may be gone already.
    m_logToFile = false;
    closeFile();
}

void CommLog::append(const QString &text)
{
    m_text += text;
    if (m_text.size() > kMaxText) {
        m_text.remove(0, m_text.size() - kMaxText / 2);
        emit textReset(m_text);
        return;
    }
    emit appended(text);
}

void CommLog::clearText()
{
    m_text.clear();
    emit textReset(m_text);
}

void CommLog::reset()
{
    m_blockChars = 0;
    m_blockNoise = 0;
    m_quietBlocks = 0;
    m_noiseNoted = false;
    m_lastMark = QChar();
    if (!m_text.isEmpty())
        clearText();
}

void CommLog::LogEvent(const QString &text)
{
    append(text + kCrLf);
    if (m_logToFile)
        writeFile(kEventPrefix + text + kCrLf);
    emit eventLogged(text);
}

void CommLog::appendTraffic(const QString &text)
{
    if (m_suppressed && m_suppressed())
        return;
    if (m_text.size() > kTrimThreshold)
        clearText();
    append(text);
}

void CommLog::LogTrafficText(const QString &text) { appendTraffic(text); }

void CommLog::LogTrafficLine(const QString &text) { appendTraffic(text + kCrLf); }

void CommLog::LogTransmit(const QString &text)
{
    if (!m_logToFile)
        return;
    // The LF that follows a CR typed with the queue bypassed belongs to that
    // CR's line.
    if (text == QStringLiteral("\n"))
        return;
    QString line = text;
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    writeFile(kSentPrefix + line + kCrLf);
}

QString CommLog::lineNoiseText()
{
    return QStringLiteral("Line noise: the monitor sent characters that are not text. "
                          "Check the cable, and that the monitor is set to 9600 baud.");
}

void CommLog::watchForNoise(const QString &text)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool plain = (u >= 0x20 && u < 0x7f) || u == u'\r' || u == u'\n' || u == u'\t';
        if (!plain)
            ++m_blockNoise;
        if (u != u'\r' && u != u'\n' && u != u' ' && u != u'\t')
            m_lastMark = c;
        if (++m_blockChars < kNoiseBlock)
            continue;
        const bool noisy = m_blockNoise >= kNoiseBlock / 4;
        m_blockChars = 0;
        m_blockNoise = 0;
        if (!noisy) {
            if (++m_quietBlocks >= kNoiseQuiet / kNoiseBlock)
                m_noiseNoted = false;
            continue;
        }
        m_quietBlocks = 0;
        if (!m_noiseNoted) {
            m_noiseNoted = true;
            LogEvent(lineNoiseText());
            emit lineNoise();
        }
    }
}

void CommLog::LogReceived(const QString &text)
{
    watchForNoise(text);
    if (!m_logToFile)
        return;
    // As the window shows it: a CR ends the line, an LF is dropped, so a
    // monitor line ending in CR LF or in CR alone gives one line break.
    QString out;
    out.reserve(text.size() + 8);
    for (QChar c : text) {
        if (c == u'\r')
            out += kCrLf;
        else if (c != u'\n')
            out += c;
    }
    if (!out.isEmpty())
        writeFile(out);
}

bool CommLog::writeFile(const QString &text)
{
    if (!m_file.isOpen())
        return false;
    // A received line may end in the middle of a command we send: start the
    // command or event on a line of its own.
    const bool ownLine = text.startsWith(kSentPrefix) || text.startsWith(kEventPrefix);
    QString out;
    if (ownLine && !m_fileAtLineStart) {
        out += kCrLf;
        m_fileAtLineStart = true;
    }
    for (QChar c : text) {
        if (m_fileAtLineStart && c != u'\n') {
            out += QLatin1Char('[') + m_now() + QStringLiteral("] ");
            m_fileAtLineStart = false;
        }
        out += c;
        if (c == u'\n')
            m_fileAtLineStart = true;
    }
    const QByteArray bytes = out.toLatin1();
    if (m_file.write(bytes) == bytes.size() && m_file.flush())
        return true;
    // Reported once: file logging is off from here until the user switches
    // it on again.
    m_fileError = m_file.errorString();
    m_logToFile = false;
    LogEvent(QStringLiteral("Log file ") + m_file.fileName() + QStringLiteral(" cannot be written (")
             + m_fileError + QStringLiteral("); file logging is off."));
    emit fileLoggingStopped();
    emit fileStateChanged();
    return false;
}

bool CommLog::chooseFile(const QString &path)
{
    releaseFile();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_fileError = m_file.errorString();
        LogEvent(QStringLiteral("Log file ") + path + QStringLiteral(" cannot be opened (") + m_fileError
                 + QStringLiteral(")."));
        emit fileStateChanged();
        return false;
    }
    m_fileError.clear();
    m_fileAtLineStart = true;
    emit fileStateChanged();
    return true;
}

void CommLog::closeFile()
{
    if (!m_file.isOpen())
        return;
    if (!m_fileAtLineStart)
        m_file.write(kCrLf.toLatin1());
    m_file.close();
    m_fileAtLineStart = true;
}

void CommLog::releaseFile()
{
    setLogToFile(false);
    closeFile();
    emit fileStateChanged();
}

void CommLog::setLogToFile(bool on)
{
    const bool wanted = on && m_file.isOpen();
    if (wanted == m_logToFile)
        return;
    if (wanted) {
        m_logToFile = true;
        // Marks where each logged stretch begins; a failing file reports here.
        writeFile(kEventPrefix + QStringLiteral("File logging on") + kCrLf);
    } else {
        writeFile(kEventPrefix + QStringLiteral("File logging off") + kCrLf);
        m_logToFile = false;
    }
    emit fileStateChanged();
}

} // namespace tvk
