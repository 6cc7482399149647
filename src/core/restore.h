#pragma once
// Writing a saved file's settings back into a monitor, and checking them.
//
// The plan comes from a file's image and the monitor's image just read: the
// ticked channels whose present value differs. Initial values are restored
// only when asked, group by group: every channel of the group is set to the
// file's initial value, "cd" + group + "p" stores them as the initial
// settings, then every channel is set back to its present value (the file's
// where it is restored, else the monitor's own). Factory values are never
// written. Nothing is sent for a channel whose file value is missing or
// outside its slider's range, nor for a group the monitor has no set command
// for; the plan says why.
//
// The run (SettingsRestore), one command at a time as the replies come:
//   "dc"; for each scan set concerned: "CC" + N, the set commands, then the
//   DAC reads of the groups it touched (read back); finally "CC" + the scan
//   set the monitor ran and its reads. Then the values read back are checked
//   against the file: "N written, 0 differ", or what still differs.
// A cancel stops after the command on the wire, a lost monitor at once; both
// say what was written and leave the rest as it was.

#include "core/commandrun.h"
#include "core/settingsimage.h"

#include <QObject>
#include <QSet>
#include <QStringList>

#include <functional>

namespace tvk {


struct RestoreWrite {
    int scanSet = 0;
    DacGroupId group = DacGroupId::L;
    int channel = 0;
    QString name;
    int value = 0;
};

struct RestoreOptions {
    bool initial = false;
    // Only these groups or scan sets (empty: all).
    QList<DacGroupId> groups;
    QList<int> scanSets;
    // Whether a channel's present value is to be written (the window's
    // ticks); all when not given.
    std::function<bool(int scanSet, DacGroupId group, int channel)> ticked;
};

struct RestorePlan {
    struct InitialGroup {
        int scanSet = 0;
        DacGroupId group = DacGroupId::L;
        QList<RestoreWrite> initial;      // the file's initial values
        QList<RestoreWrite> presentAfter; // the present values set again after the store
    };
    QList<RestoreWrite> present;
    QList<InitialGroup> initial;
    // What is not written, and why.
    QStringList skipped;

    QList<int> scanSets() const;
    // Values to write: present values and initial values.
    int total() const;
    bool isEmpty() const { return present.isEmpty() && initial.isEmpty(); }
};

RestorePlan planRestore(const SettingsImage &file, const SettingsImage &monitor, const RestoreOptions &options);

// The commands of a plan for one scan set, in order, without the scan-set
// choice and without the reads.
QStringList restoreCommands(const RestorePlan &plan, int scanSet);
// The groups a plan touches in a scan set (all scan sets for -1).
QList<DacGroupId> touchedGroups(const RestorePlan &plan, int scanSet = -1);

struct RestoreResult {
    enum class Outcome { Done, Cancelled, Failed };
    Outcome outcome = Outcome::Done;
    int written = 0; // values the monitor took (answered)
    int total = 0;
    QStringList stillDiffer; // after the read-back
    QStringList notWritten;  // a cancelled or failed run: what is left alone
    QStringList skipped;     // from the plan
    QString reason;          // of a failure
    // "3 written, 0 differ" and the like.
    QString summary() const;
};

class SettingsRestore : public QObject {
    Q_OBJECT
public:
    explicit SettingsRestore(const MonitorLine &line, QObject *parent = nullptr);

    // False (nothing sent) while no monitor is online, a restore runs or the
    // plan writes nothing.
    bool start(const RestorePlan &plan);
    void cancel() { m_run.cancel(); }
    bool isRunning() const { return m_run.isRunning(); }
    const RestoreResult &result() const { return m_result; }

signals:
    void progress(int done, int total);
    void finished(const tvk::RestoreResult &result);

private:
    void planAfterScanSet(const QString &reply);
    void appendReads(int scanSet, const QList<DacGroupId> &groups);
    void verify();
    void end(RestoreResult::Outcome outcome, const QString &reason = QString());

    MonitorLine m_core;
    CommandRun m_run;
    RestorePlan m_plan;
    RestoreResult m_result;
    int m_savedSelection = 0;
    int m_monitorScanSet = -1;
    // Values written, in order, and whether each has been answered.
    struct Pending {
        QString label;
        int values;
        bool done = false;
    };
    QList<Pending> m_pending;
    // Pending entries [first, last] of each initial-value sequence.
    QList<std::pair<int, int>> m_sequences;
};

} // namespace tvk
