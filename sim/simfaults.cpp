// Faults of the simulated monitor, for testing how the tool survives them:
// a monitor that falls silent for a while, one that answers "!" to
// everything, one that streams noise (random bytes, endless lines without a
// carriage return, a megabyte without a prompt), one whose answers come from
// another family's firmware, and one that suddenly reports another type.
//
// A fault starts at a chosen command (or after a number of commands) and may
// end after a number of command lines, so a test can check that the tool is
// usable again once the monitor behaves.

#include "monitorsim.h"

#include <QRandomGenerator>

namespace tvk::sim {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

bool parseFault(QStringView value, MonitorConfig::Fault &fault)
{
    using F = MonitorConfig::Fault;
    static const struct {
        const char16_t *name;
        F fault;
    } kNames[] = {
        {u"none", F::None},         {u"silent", F::Silent},     {u"busy", F::Busy},
        {u"garbage", F::Garbage},   {u"nocr", F::NoCr},         {u"nomarker", F::NoMarker},
        {u"family", F::WrongFamily}, {u"identity", F::Identity},
    };
    for (const auto &n : kNames) {
        if (value.compare(QStringView(n.name), Qt::CaseInsensitive) == 0) {
            fault = n.fault;
            return true;
        }
    }
    return false;
}

// Text lines of `bytes` characters in all, each ended by `lineEnd`, with
// nothing in them the tool could take for a prompt or a refusal.
QByteArray noiseLines(int bytes, const QByteArray &lineEnd)
{
    QByteArray out;
    out.reserve(bytes);
    for (int n = 0; out.size() < bytes; ++n)
        out += "Line " + QByteArray::number(n).rightJustified(6, '0')
               + " of an answer that never ends, ABCDEFGHIJKLMNOPQRSTUVWXYZ 0123456789" + lineEnd;
    out.truncate(bytes);
    return out;
}

} // namespace

bool applyFaultOption(MonitorConfig &config, const QString &name, QStringView value, bool &good)
{
    bool ok = false;
    const int number = value.toInt(&ok);
    if (name == u"fault") {
        good = parseFault(value.trimmed(), config.fault);
    } else if (name == u"faulton") {
        good = !value.trimmed().isEmpty();
        if (good)
            config.faultOn = value.trimmed().toString();
    } else if (name == u"faultafter") {
        good = ok && number >= 0;
        if (good)
            config.faultAfter = number;
    } else if (name == u"faultcommands") {
        good = ok && number >= -1 && number != 0;
        if (good)
            config.faultCommands = number;
    } else if (name == u"faultbytes") {
        good = ok && number > 0 && number <= (64 << 20);
        if (good)
            config.faultBytes = number;
    } else if (name == u"cut") {
        const qsizetype colon = value.lastIndexOf(u':');
        const int length = colon > 0 ? value.mid(colon + 1).toInt(&ok) : -1;
        good = colon > 0 && ok && length >= 0;
        if (good)
            config.cutAnswers.insert(value.left(colon).trimmed().toLatin1(), length);
    } else if (name == u"faultversion") {
        good = monitorTypeOf(value.toString()) > 0;
        if (good)
            config.faultVersion = value.trimmed().toString();
    } else {
        return false;
    }
    return true;
}

void MonitorSimulator::startFault(const QByteArray &line)
{
    if (m_faultStarted || m_config.fault == MonitorConfig::Fault::None)
        return;
    bool start = false;
    if (!m_config.faultOn.isEmpty())
        start = line.trimmed() == m_config.faultOn.toLatin1();
    else if (m_config.faultAfter >= 0)
        start = m_commands.size() >= m_config.faultAfter;
    else
        start = true;
    if (!start)
        return;
    m_faultStarted = true;
    m_faultActive = true;
    m_faultLeft = m_config.faultCommands;
}

void MonitorSimulator::countFaultLine()
{
    if (!m_faultActive || m_faultLeft < 0)
        return;
    if (--m_faultLeft <= 0)
        m_faultActive = false;
}

bool MonitorSimulator::executeFault(const QByteArray &line, QByteArray &out)
{
    if (!m_faultActive || m_inWrongFamily)
        return false;
    using F = MonitorConfig::Fault;
    const bool versionRead = line.trimmed() == "df";
    switch (m_config.fault) {
    case F::None:
    case F::Silent: // nothing reaches here: the line was not answered at all
        return false;
    case F::Busy:
        out += '!';
        return true;
    case F::Garbage: {
        QRandomGenerator random(m_garbageSeed++);
        QByteArray noise(m_config.faultBytes, Qt::Uninitialized);
        for (char &c : noise)
            c = char(random.bounded(256));
        out += noise;
        return true;
    }
    case F::NoCr:
        out += noiseLines(m_config.faultBytes, "\n");
        return true;
    case F::NoMarker:
        out += noiseLines(m_config.faultBytes, kLineEnd);
        return true;
    case F::WrongFamily: {
        if (versionRead)
            return false;
        // The other firmware answers; the stored version stays.
        const QString own = m_config.firmwareVersion;
        m_config.firmwareVersion = m_config.faultVersion;
        m_inWrongFamily = true;
        execute(line, out);
        m_inWrongFamily = false;
        m_config.firmwareVersion = own;
        return true;
    }
    case F::Identity:
        if (!versionRead)
            return false;
        out += "V " + m_config.faultVersion.toLatin1() + kLineEnd + '#';
        return true;
    }
    return false;
}

} // namespace tvk::sim
