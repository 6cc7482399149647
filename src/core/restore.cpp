#include "core/restore.h"

#include "model/monitordata.h"
#include "model/scansets.h"
#include "core/settingscompare.h"
#include "core/settingsread.h"
#include "protocol/commands.h"

#include <algorithm>

namespace tvk {

namespace {

QString groupCommand(DacGroupId group) { return QString::fromLatin1(dacGroupDesc(group).command); }

QString writeLabel(const RestoreWrite &w, const QString &table)
{
    return QStringLiteral("scan set %1 %2 %3 %4").arg(w.scanSet + 1).arg(channelLabel(w.group, w.name), table).arg(w.value);
}

bool inRange(int value, DacGroupId group, int channel)
{
    return value >= 0 && value <= dacChannelMaximum(group, channel);
}

} // namespace

QList<int> RestorePlan::scanSets() const
{
    QList<int> out;
    for (const RestoreWrite &w : present)
        if (!out.contains(w.scanSet))
            out << w.scanSet;
    for (const InitialGroup &g : initial)
        if (!out.contains(g.scanSet))
            out << g.scanSet;
    std::sort(out.begin(), out.end());
    return out;
}

int RestorePlan::total() const
{
    int n = int(present.size());
    for (const InitialGroup &g : initial)
        n += int(g.initial.size());
    return n;
}

RestorePlan planRestore(const SettingsImage &file, const SettingsImage &monitor, const RestoreOptions &options)
{
    RestorePlan plan;
    const auto groupWanted = [&](DacGroupId g) { return options.groups.isEmpty() || options.groups.contains(g); };
    for (const ImageScanSet &fs : file.scanSets) {
        if (!options.scanSets.isEmpty() && !options.scanSets.contains(fs.index))
            continue;
        const ImageScanSet *ms = monitor.scanSet(fs.index);
        const QString where = QStringLiteral("scan set %1").arg(fs.index + 1);
        if (!ms) {
            plan.skipped << where + QStringLiteral(": not read from the monitor");
            continue;
        }
        for (const ImageChannel &fc : fs.channels) {
            if (!groupWanted(fc.group))
                continue;
            const QString label = where + u' ' + channelLabel(fc.group, fc.name);
            const ImageChannel *mc = ms->find(fc.group, fc.channel);
            if (!mc) {
                // Only groups the monitor reports can be written: the others
                // have no set command either.
                if (isReadableGroup(fc.group))
                    plan.skipped << label + QStringLiteral(": the monitor does not have this channel");
                continue;
            }
            if (mc->present == fc.present)
                continue;
            if (options.ticked && !options.ticked(fs.index, fc.group, fc.channel))
                continue;
            if (!fc.present) {
                plan.skipped << label + QStringLiteral(": no present value in the file");
                continue;
            }
            if (!inRange(*fc.present, fc.group, fc.channel)) {
                plan.skipped << label
                        + QStringLiteral(": the file's value %1 is outside 0..%2")
                              .arg(*fc.present)
                              .arg(dacChannelMaximum(fc.group, fc.channel));
                continue;
            }
            plan.present << RestoreWrite{fs.index, fc.group, fc.channel, fc.name, *fc.present};
        }
        if (!options.initial)
            continue;
        for (const DacGroupDesc &g : kDacGroups) {
            if (!isReadableGroup(g.id) || !groupWanted(g.id) || !ms->hasGroup(g.id))
                continue;
            bool differs = false;
            for (const ImageChannel &mc : ms->channels) {
                if (mc.group != g.id)
                    continue;
                const ImageChannel *fc = fs.find(g.id, mc.channel);
                if (fc && fc->initial != mc.initial)
                    differs = true;
            }
            if (!differs)
                continue;
            // The store takes every channel of the group: each needs the
            // file's initial value and a present value to go back to.
            RestorePlan::InitialGroup ig{fs.index, g.id, {}, {}};
            QString problem;
            for (const ImageChannel &mc : ms->channels) {
                if (mc.group != g.id)
                    continue;
                const ImageChannel *fc = fs.find(g.id, mc.channel);
                if (!fc || !fc->initial) {
                    problem = mc.name + QStringLiteral(" has no initial value in the file");
                    break;
                }
                if (!inRange(*fc->initial, g.id, mc.channel)) {
                    problem = mc.name + QStringLiteral("'s initial value %1 is outside 0..%2")
                                            .arg(*fc->initial)
                                            .arg(dacChannelMaximum(g.id, mc.channel));
                    break;
                }
                ig.initial << RestoreWrite{fs.index, g.id, mc.channel, mc.name, *fc->initial};
                const auto restored = std::find_if(plan.present.begin(), plan.present.end(), [&](const RestoreWrite &w) {
                    return w.scanSet == fs.index && w.group == g.id && w.channel == mc.channel;
                });
                std::optional<int> back = restored != plan.present.end() ? std::optional<int>(restored->value) : mc.present;
                if (!back) {
                    problem = mc.name + QStringLiteral("'s present value was not read from the monitor");
                    break;
                }
                ig.presentAfter << RestoreWrite{fs.index, g.id, mc.channel, mc.name, *back};
            }
            if (!problem.isEmpty()) {
                plan.skipped << where + QStringLiteral(" initial values of group ") + QLatin1String(g.letter)
                        + QStringLiteral(": ") + problem;
                continue;
            }
            plan.initial << ig;
        }
    }
    return plan;
}

QStringList restoreCommands(const RestorePlan &plan, int scanSet)
{
    QStringList out;
    for (const RestoreWrite &w : plan.present)
        if (w.scanSet == scanSet)
            out << cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed();
    for (const RestorePlan::InitialGroup &g : plan.initial) {
        if (g.scanSet != scanSet)
            continue;
        for (const RestoreWrite &w : g.initial)
            out << cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed();
        out << cmd::storeDacInitial(groupCommand(g.group)).trimmed();
        for (const RestoreWrite &w : g.presentAfter)
            out << cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed();
    }
    return out;
}

QList<DacGroupId> touchedGroups(const RestorePlan &plan, int scanSet)
{
    QList<DacGroupId> out;
    const auto add = [&](int k, DacGroupId g) {
        if ((scanSet < 0 || k == scanSet) && !out.contains(g))
            out << g;
    };
    for (const RestoreWrite &w : plan.present)
        add(w.scanSet, w.group);
    for (const RestorePlan::InitialGroup &g : plan.initial)
        add(g.scanSet, g.group);
    std::sort(out.begin(), out.end());
    return out;
}

QString RestoreResult::summary() const
{
    QString s;
    switch (outcome) {
    case Outcome::Done:
        s = QStringLiteral("%1 written, %2 differ").arg(written).arg(stillDiffer.size());
        break;
    case Outcome::Cancelled:
        s = QStringLiteral("Cancelled: %1 of %2 written, the rest left as it was").arg(written).arg(total);
        break;
    case Outcome::Failed:
        s = QStringLiteral("Stopped, %1: %2 of %3 written, the rest left as it was").arg(reason).arg(written).arg(total);
        break;
    }
    return s;
}

SettingsRestore::SettingsRestore(const MonitorLine &line, QObject *parent)
    : QObject(parent), m_core(line), m_run(line)
{
    connect(&m_run, &CommandRun::drained, this, [this] {
        m_run.finish();
        verify();
    });
    connect(&m_run, &CommandRun::failed, this,
            [this](const QString &reason) { end(RestoreResult::Outcome::Failed, reason); });
    // The way back to the scan set the monitor ran is sent even on a cancel.
    connect(&m_run, &CommandRun::cancelled, this, [this] { end(RestoreResult::Outcome::Cancelled); });
}

bool SettingsRestore::start(const RestorePlan &plan)
{
    if (m_run.isRunning() || plan.isEmpty())
        return false;
    m_plan = plan;
    m_result = RestoreResult{};
    m_result.total = plan.total();
    m_result.skipped = plan.skipped;
    m_pending.clear();
    m_sequences.clear();
    m_savedSelection = m_core.data.CurrentScanSet;
    m_monitorScanSet = -1;
    m_run.append(CommandRun::Step{cmd::readCurrentScanSet().trimmed(), {},
                                  [this](const QString &reply) { planAfterScanSet(reply); }});
    return m_run.start();
}

void SettingsRestore::appendReads(int scanSet, const QList<DacGroupId> &groups)
{
    const auto select = [this, scanSet] { m_core.data.CurrentScanSet = qint16(scanSet); };
    for (DacGroupId g : groups) {
        const QString c = groupCommand(g);
        for (const QString &read : {cmd::readDac(c), cmd::readDacInitial(c), cmd::readDacFactory(c)})
            m_run.append(CommandRun::Step{read.trimmed(), select, {}});
    }
}

void SettingsRestore::planAfterScanSet(const QString &reply)
{
    const auto current = scanSetOfReply(reply);
    if (!current) {
        m_run.abort(QStringLiteral("the monitor did not say which scan set it runs"));
        return;
    }
    m_monitorScanSet = *current;
    QList<int> order = m_plan.scanSets();
    // The scan set the monitor runs comes last: the run ends on it.
    if (order.removeAll(m_monitorScanSet))
        order << m_monitorScanSet;
    for (int k : order) {
        const auto select = [this, k] { m_core.data.CurrentScanSet = qint16(k); };
        m_run.append(CommandRun::Step{cmd::selectScanSet(k).trimmed(), select, {}, false, k == m_monitorScanSet});
        // One entry per value written; a store counts the values it stores.
        const auto add = [&](const QString &command, const QString &label, int values, bool follows = false) {
            const int index = int(m_pending.size());
            m_pending << Pending{label, values};
            m_run.append(CommandRun::Step{command, select,
                                          [this, index](const QString &) {
                                              m_pending[index].done = true;
                                              m_result.written += m_pending[index].values;
                                              emit progress(m_result.written, m_result.total);
                                          },
                                          follows});
        };
        for (const RestoreWrite &w : m_plan.present)
            if (w.scanSet == k)
                add(cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed(), writeLabel(w, QStringLiteral("present")), 1);
        for (const RestorePlan::InitialGroup &g : m_plan.initial) {
            if (g.scanSet != k)
                continue;
            // Set, store, set back: a cancel never cuts this short.
            const int first = int(m_pending.size());
            bool follows = false;
            for (const RestoreWrite &w : g.initial) {
                add(cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed(), QString(), 0, follows);
                follows = true;
            }
            add(cmd::storeDacInitial(groupCommand(g.group)).trimmed(),
                QStringLiteral("scan set %1 initial values of group %2").arg(k + 1).arg(QLatin1String(dacGroupDesc(g.group).letter)),
                int(g.initial.size()), true);
            for (const RestoreWrite &w : g.presentAfter)
                add(cmd::setDac(groupCommand(w.group), w.channel, w.value).trimmed(), QString(), 0, true);
            m_sequences << std::pair<int, int>(first, int(m_pending.size()) - 1);
        }
        appendReads(k, touchedGroups(m_plan, k));
    }
    // Back to the scan set the monitor ran. Its own values are read again
    // so that the windows show what it runs.
    if (!order.isEmpty() && order.last() != m_monitorScanSet) {
        const auto select = [this] { m_core.data.CurrentScanSet = qint16(m_monitorScanSet); };
        m_run.append(CommandRun::Step{cmd::selectScanSet(m_monitorScanSet).trimmed(), select, {}, false, true});
        appendReads(m_monitorScanSet, touchedGroups(m_plan));
    }
    emit progress(0, m_result.total);
}

void SettingsRestore::verify()
{
    const MonitorData &d = m_core.data;
    const auto check = [&](const RestoreWrite &w, DacTable table, const char *what) {
        const bool known = d.isKnown(w.group, table, w.channel, w.scanSet);
        const auto v = d.value(w.group, table, w.channel, w.scanSet);
        if (known && v && *v == w.value)
            return;
        m_result.stillDiffer << QStringLiteral("scan set %1 %2 %3: %4 in the file, %5 on the monitor")
                                    .arg(w.scanSet + 1)
                                    .arg(channelLabel(w.group, w.name), QLatin1String(what))
                                    .arg(w.value)
                                    .arg(known && v ? QString::number(*v) : QStringLiteral("not read"));
    };
    for (const RestoreWrite &w : m_plan.present)
        check(w, DacTable::Present, "present");
    for (const RestorePlan::InitialGroup &g : m_plan.initial) {
        for (const RestoreWrite &w : g.initial)
            check(w, DacTable::Initial, "initial");
        for (const RestoreWrite &w : g.presentAfter)
            check(w, DacTable::Present, "present");
    }
    end(RestoreResult::Outcome::Done);
}

void SettingsRestore::end(RestoreResult::Outcome outcome, const QString &reason)
{
    m_core.data.CurrentScanSet = qint16(m_savedSelection);
    m_result.outcome = outcome;
    m_result.reason = reason;
    if (outcome != RestoreResult::Outcome::Done) {
        for (const Pending &p : m_pending)
            if (!p.done && !p.label.isEmpty())
                m_result.notWritten << p.label;
        // A sequence cut by a lost monitor may have left present values at
        // the file's initial ones.
        for (const auto &[first, last] : m_sequences) {
            if (!m_pending[first].done || m_pending[last].done)
                continue;
            QString sequence;
            for (int i = first; i <= last; ++i)
                if (!m_pending[i].label.isEmpty())
                    sequence = m_pending[i].label;
            m_result.notWritten << QStringLiteral("CHECK %1: cut short, the present values may hold the "
                                                  "file's initial values")
                                       .arg(sequence);
        }
    }
    emit finished(m_result);
}

} // namespace tvk
