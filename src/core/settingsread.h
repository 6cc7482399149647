#pragma once
// Reads a monitor's settings into the tool's monitor image, scan set by scan
// set, one command at a time as the replies come (CommandRun):
//
//   "dc"                         which scan set the monitor runs (it tells
//                                it counted from 1)
//   the identity reads           or the whole full-read sequence
//   for every other scan set N:  "CC" + N, then its DAC reads
//   when it chose one:           "CC" + the scan set it was on, then that
//                                scan set's DAC reads, so the windows show
//                                the values of the scan set the monitor runs
//
// The reply parsers store DAC values at CurrentScanSet: while the monitor
// runs scan set N the image's CurrentScanSet is N; it is given back its own
// value at the end, also when the read fails or is cancelled.

#include "core/commandrun.h"
#include "core/settingsimage.h"

#include <QObject>

namespace tvk {


// The DAC reads of one scan set: present, initial and factory of L, B, H, V
// and the north-south group.
QStringList scanSetDacReads();
// The scan set a "dc" reply names, 0-based; nothing when it names none.
std::optional<int> scanSetOfReply(const QString &reply);

class SettingsRead : public QObject {
    Q_OBJECT
public:
    struct Options {
        // Scan sets to read besides the one the monitor runs; empty: only that.
        QList<int> scanSets;
        // Whether the one the monitor runs is read as well when scanSets
        // names others.
        bool includeCurrent = true;
        // The whole full-read sequence instead of the identity reads (for a
        // file that holds everything Save As writes).
        bool fullRead = false;
        // The scan-set titles ("ddn"), for a file.
        bool titles = false;
        // The DAC values of the scan sets (not for the identity alone).
        bool dacValues = true;
    };

    explicit SettingsRead(const MonitorLine &line, QObject *parent = nullptr);

    // False (nothing sent) while no monitor is online or a read runs.
    bool start(const Options &options);
    void cancel() { m_run.cancel(); }
    bool isRunning() const { return m_run.isRunning(); }

    // After finished(): the scan set the monitor runs and the scan sets read.
    int monitorScanSet() const { return m_monitorScanSet; }
    QList<int> scanSetsRead() const { return m_read; }
    // The image of what was read.
    SettingsImage image(const QString &source) const;

signals:
    void progress(int done, int total);
    void finished();
    void failed(const QString &reason);
    void cancelled();

private:
    void planAfterScanSet(const QString &reply);
    void appendScanSet(int scanSet, bool choose);
    void restoreSelection();

    MonitorLine m_core;
    CommandRun m_run;
    Options m_options;
    int m_savedSelection = 0;
    int m_monitorScanSet = -1;
    QList<int> m_read;
    int m_total = 0;
};

} // namespace tvk
