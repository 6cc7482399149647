#pragma once
// The compare window: a saved file beside the monitor, two files side by
// side, or a file's present values beside its factory values. One row per
// channel that differs (or that one side lacks), the differences first; a
// tick beside each present value that differs from the monitor, "Write to
// Monitor" with progress and Cancel, the outcome after the read-back, and a
// warning at the top when the model or serial number is another monitor's.

#include "core/restore.h"
#include "core/settingscompare.h"
#include "core/settingsread.h"
#include "panels/panel.h"

#include <QSet>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

namespace tvk {

class FileDialogs;
class FullRead;

class CompareWindow : public Panel {
    Q_OBJECT
public:
    enum class Mode { None, FileWithMonitor, TwoFiles, FileWithFactory };

    // fileFolder: where the file dialogs open (the folder of the last file).
    CompareWindow(const PanelContext &context, const MonitorLine &line, const FullRead &fullRead,
                  FileDialogs &dialogs, const QString &fileFolder);

    // The File menu's rows: each asks for its file(s), then compares.
    void compareWithMonitor();
    void compareTwoFiles();
    void compareWithFactory();

    // The same with the files given.
    void compareWithMonitor(const QString &path);
    void compareFiles(const QString &left, const QString &right);
    void compareWithFactory(const QString &path);

    Mode mode() const { return m_mode; }
    const SettingsComparison &comparison() const { return m_comparison; }
    // Said when a full read of the monitor is running: it reads the scan set
    // the monitor runs, so no other may be chosen meanwhile.
    static QString fullReadRunningText();
    bool isBusy() const { return m_read->isRunning() || m_restore->isRunning(); }

private:
    std::optional<SettingsImage> load(const QString &path);
    std::optional<QString> askForFile(const QString &title);
    void showComparison();
    void fillTable();
    void onReadFinished();
    void write();
    void onRestoreFinished(const RestoreResult &result);
    void tickMatching(bool on);
    void updateButtons();
    void setBusy(const QString &what);
    static QString key(int scanSet, DacGroupId group, int channel);

    MonitorLine m_line;
    const FullRead &m_fullRead;
    FileDialogs &m_dialogs;
    const QString &m_fileFolder;
    SettingsRead *m_read;
    SettingsRestore *m_restore;
    Mode m_mode = Mode::None;
    std::optional<SettingsImage> m_left, m_right;
    SettingsComparison m_comparison;
    QSet<QString> m_unticked;

    QLabel *m_warning;
    QLabel *m_heading;
    QLabel *m_summary;
    QTableWidget *m_table;
    QCheckBox *m_showEqual;
    QComboBox *m_scanSetChoice;
    QComboBox *m_groupChoice;
    QPushButton *m_tick;
    QPushButton *m_untick;
    QCheckBox *m_initial;
    QProgressBar *m_progress;
    QPushButton *m_write;
    QPushButton *m_cancel;
    QLabel *m_result;
};

} // namespace tvk
