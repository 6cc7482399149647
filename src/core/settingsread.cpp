#include "core/settingsread.h"

#include "model/monitordata.h"
#include "model/scansets.h"
#include "core/replies/dacreplies.h"
#include "model/fullread.h"
#include "protocol/commands.h"

#include <algorithm>

namespace tvk {

QStringList scanSetDacReads()
{
    QStringList reads;
    for (const char *g : {"v", "h", "l", "b", "s"}) {
        const QString group = QString::fromLatin1(g);
        reads << cmd::readDac(group).trimmed() << cmd::readDacInitial(group).trimmed()
              << cmd::readDacFactory(group).trimmed();
    }
    return reads;
}

std::optional<int> scanSetOfReply(const QString &reply)
{
    const auto number = ParseCurrentScanSet(reply).number;
    if (!number)
        return std::nullopt;
    bool ok = false;
    const int shown = number->toInt(&ok);
    if (!ok || !isValidScanSet(shown - 1))
        return std::nullopt;
    return shown - 1;
}

SettingsRead::SettingsRead(const MonitorLine &line, QObject *parent)
    : QObject(parent), m_core(line), m_run(line)
{
    connect(&m_run, &CommandRun::stepAnswered, this, [this](int done) { emit progress(done, m_total); });
    connect(&m_run, &CommandRun::drained, this, [this] {
        m_run.finish();
        restoreSelection();
        emit finished();
    });
    connect(&m_run, &CommandRun::failed, this, [this](const QString &reason) {
        restoreSelection();
        emit failed(reason);
    });
    connect(&m_run, &CommandRun::cancelled, this, [this] {
        restoreSelection();
        emit cancelled();
    });
}

bool SettingsRead::start(const Options &options)
{
    if (m_run.isRunning())
        return false;
    m_options = options;
    m_read.clear();
    m_monitorScanSet = -1;
    m_savedSelection = m_core.data.CurrentScanSet;
    m_total = 1;
    m_run.append(CommandRun::Step{cmd::readCurrentScanSet().trimmed(), {},
                                  [this](const QString &reply) { planAfterScanSet(reply); }});
    return m_run.start();
}

void SettingsRead::appendScanSet(int scanSet, bool choose)
{
    const auto select = [this, scanSet] { m_core.data.CurrentScanSet = qint16(scanSet); };
    if (choose)
        m_run.append(CommandRun::Step{cmd::selectScanSet(scanSet).trimmed(), select, {}, false,
                                      scanSet == m_monitorScanSet});
    for (const QString &read : scanSetDacReads())
        m_run.append(CommandRun::Step{read, select, {}});
    m_total += int(scanSetDacReads().size()) + (choose ? 1 : 0);
}

void SettingsRead::planAfterScanSet(const QString &reply)
{
    const auto current = scanSetOfReply(reply);
    if (!current) {
        m_run.abort(QStringLiteral("the monitor did not say which scan set it runs"));
        return;
    }
    m_monitorScanSet = *current;
    const auto onCurrent = [this] { m_core.data.CurrentScanSet = qint16(m_monitorScanSet); };
    const auto step = [this, onCurrent](const QString &command) {
        m_run.append(CommandRun::Step{command, onCurrent, {}});
        ++m_total;
    };
    if (m_options.fullRead) {
        for (int s = 0; s <= FullRead::kLastStep; ++s)
            if (const QString c = FullRead::stepCommand(s).trimmed(); !c.isEmpty())
                step(c);
        // The part number is not part of the full read; a file names it.
        step(cmd::readModelNumber(u"u").trimmed());
    } else {
        for (const QString &c : {cmd::readModelNumber(u"s"), cmd::readSerialNumber(u"s"),
                                 cmd::readModelNumber(u"u"), cmd::readFirmwareVersion(),
                                 cmd::readEpromVersion(), cmd::readOperatingTime()})
            step(c.trimmed());
    }
    if (m_options.titles)
        step(cmd::readDac(u"n").trimmed());

    if (!m_options.dacValues) {
        emit progress(m_run.answeredSteps(), m_total);
        return;
    }
    QList<int> others = m_options.scanSets;
    std::sort(others.begin(), others.end());
    others.erase(std::unique(others.begin(), others.end()), others.end());
    const bool currentWanted = others.isEmpty() || m_options.includeCurrent || others.contains(m_monitorScanSet);
    others.removeAll(m_monitorScanSet);
    for (int k : others) {
        appendScanSet(k, true);
        m_read << k;
    }
    // Back to the scan set the monitor ran; its values are read last (also
    // when only the others were asked for), so the windows show what the
    // monitor runs.
    if (!others.isEmpty())
        appendScanSet(m_monitorScanSet, true);
    else if (!m_options.fullRead)
        appendScanSet(m_monitorScanSet, false);
    if (currentWanted)
        m_read << m_monitorScanSet;
    std::sort(m_read.begin(), m_read.end());
    emit progress(m_run.answeredSteps(), m_total);
}

void SettingsRead::restoreSelection()
{
    m_core.data.CurrentScanSet = qint16(m_savedSelection);
}

SettingsImage SettingsRead::image(const QString &source) const
{
    return imageFromMonitor(m_core.data, m_core.scanSets, m_read, source);
}

} // namespace tvk
