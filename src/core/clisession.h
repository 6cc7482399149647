#pragma once
// The verbs of the command line (--save, --compare, --restore, --info): one
// job on the monitor without windows, on the same core as the desktop tool.
// The session connects on Com1 (the --port device), does its job as the
// replies come, prints the outcome (text or one JSON document) and ends
// with an exit status. Nothing blocks: the caller runs the event loop until
// finished().

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "core/commandline.h"
#include "core/restore.h"
#include "core/settingscompare.h"
#include "core/settingsread.h"
#include "link/linklog.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

namespace tvk {

class AppCore;

namespace exitstatus {
inline constexpr int Done = 0;
inline constexpr int Differs = 1;
inline constexpr int Usage = 2;
inline constexpr int PortFailed = 3;
inline constexpr int NoMonitor = 4;
inline constexpr int MonitorLost = 5;
inline constexpr int FileRefused = 6;
inline constexpr int Interrupted = 130;
} // namespace exitstatus

// The platform services of a run without windows: messages are collected
// (and printed by the session), questions are answered No, dialogs are
// cancelled, beeps are silent.
class ConsoleServices : public UserMessages, public FileDialogs, public InputBox, public Beeper {
public:
    void message(const QString &text, const QString &) override { messages << text; }
    bool askYesNo(const QString &, const QString &) override { return false; }
    bool askOkCancel(const QString &, const QString &) override { return false; }
    std::optional<QString> openFile(const FileDialogOptions &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogOptions &) override { return std::nullopt; }
    std::optional<QString> getText(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    void Beep(int, int) override {}
    QStringList messages;
};

class CliSession : public QObject {
    Q_OBJECT
public:
    struct Output {
        std::function<void(const QString &)> out; // standard output
        std::function<void(const QString &)> err; // standard error
        bool progress = false;                    // a progress line (a terminal)
    };
    // How long a monitor may take to answer the first ping cycle.
    static constexpr int kConnectTries = 3;

    CliSession(AppCore &core, ConsoleServices &services, const CommandLine &line, Output output,
               QObject *parent = nullptr);
    ~CliSession() override;

    // Checks the file, opens the port and begins; finished() follows, perhaps
    // at once.
    void start();
    // Ctrl+C: the job stops cleanly (a restore says what was written).
    void interrupt();
    int exitCode() const { return m_exit; }

signals:
    void finished(int exitCode);

private:
    void onConnected(bool bootBlock);
    void startJob();
    void onReadFinished();
    void onRestoreFinished(const RestoreResult &result);
    void finish(int code, const QString &error = QString());
    // Standard output, after the progress line is cleared.
    void print(const QString &text);
    void printProgress(const QString &what, int done, int total);
    QString deviceText() const;

    AppCore &m_core;
    ConsoleServices &m_services;
    CommandLine m_line;
    Output m_output;
    std::optional<SettingsImage> m_file;
    std::unique_ptr<SettingsRead> m_read;
    std::unique_ptr<SettingsRestore> m_restore;
    bool m_started = false; // the job began (after connecting)
    bool m_interrupted = false;
    bool m_done = false;
    bool m_progressShown = false;
    int m_exit = exitstatus::Done;
};

// The part of an image the --groups and --scan-sets lists keep.
SettingsImage filterImage(const SettingsImage &image, const QList<DacGroupId> &groups, const QList<int> &scanSets);

} // namespace tvk
