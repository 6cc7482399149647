#include "commlog/commlog.h"

#include <QDateTime>

namespace tvk {

namespace {
const QString kCrLf = QStringLiteral("\r\n");
}

CommLog::CommLog(QObject *parent)
    : QObject(parent)
    , m_now([] { return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz")); })
{
}

CommLog::~CommLog() = default;

void CommLog::append(const QString &text)
{
    m_text += text;
    emit appended(text);
}

void CommLog::clearText()
{
    m_text.clear();
    emit textReset(m_text);
}

void CommLog::LogEvent(const QString &text)
{
    append(text + kCrLf);
    if (m_logToFile)
        writeFile(QStringLiteral("** ") + text + kCrLf);
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
    QString line = text;
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    writeFile(QStringLiteral(">> ") + line + kCrLf);
}

void CommLog::LogReceived(const QString &text)
{
    if (m_logToFile)
        writeFile(text);
}

void CommLog::writeFile(const QString &text)
{
    if (!m_file.isOpen())
        return;
    // A received line may end in the middle of a command we send: start the
    // command on a line of its own.
    const bool ownLine = text.startsWith(QStringLiteral(">> ")) || text.startsWith(QStringLiteral("** "));
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
    if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
        m_fileError = m_file.errorString();
        m_logToFile = false;
        LogEvent(QStringLiteral("Log file ") + m_file.fileName()
                 + QStringLiteral(" cannot be written (") + m_fileError
                 + QStringLiteral("); file logging is off."));
        emit fileLoggingStopped();
        emit fileStateChanged();
    }
}

bool CommLog::chooseFile(const QString &path)
{
    releaseFile();
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        m_fileError = m_file.errorString();
        LogEvent(QStringLiteral("Log file ") + path + QStringLiteral(" cannot be opened (")
                 + m_fileError + QStringLiteral(")."));
        emit fileStateChanged();
        return false;
    }
    m_fileError.clear();
    m_fileAtLineStart = true;
    emit fileStateChanged();
    return true;
}

void CommLog::releaseFile()
{
    m_logToFile = false;
    if (m_file.isOpen()) {
        if (!m_fileAtLineStart)
            m_file.write(kCrLf.toLatin1());
        m_file.close();
    }
    emit fileStateChanged();
}

void CommLog::setLogToFile(bool on)
{
    m_logToFile = on && m_file.isOpen();
    emit fileStateChanged();
}

} // namespace tvk
