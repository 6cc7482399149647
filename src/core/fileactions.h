#pragma once
// The File menu (Open, Save As, Close) and the Save As that reads the
// monitor before it writes, on top of the .mdv reader and writer.

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "base/settings.h"
#include "core/dacfile.h"
#include "link/linkglobals.h"

#include <QObject>
#include <QString>

namespace tvk {

class AppShell;
class FullRead;

// Save As, from the chosen path to the written file. With a monitor online
// (its application firmware answering) the whole monitor is read first and
// the file is written only once every step of the full read has been
// answered, so it holds what the monitor holds; while nothing has been read
// the image holds zeros, and such a file loaded into a monitor would wreck
// its picture. A read that fails writes nothing: a file already at the path
// stays as it was, and a message names the step that was not answered.
// With no monitor (or only its boot block, which cannot report the
// settings) the image is written at once, as it stands.
//
// Writing makes the path the data file (FilePath, FileTitle), clears
// DataChanged, sets the "TVK Monitor Tool V... -- <name>" caption and
// remembers the folder as FileSaveInitDir; a save that writes nothing
// changes none of these.
class DacFileSaver : public QObject {
    Q_OBJECT
public:
    DacFileSaver(const MdfContext &file, FullRead &fullRead, const ConnectionFlags &connection,
                 ControlBook &controls, Settings &settings, QString &saveFolder, QObject *parent = nullptr);

    // Saves the image to path, now or once the monitor has been read.
    // Only one save runs at a time: false (and nothing done) while one waits.
    bool save(const QString &path);
    // A save waits for the full read.
    bool isBusy() const { return !m_pendingPath.isEmpty(); }
    QString pendingPath() const { return m_pendingPath; }

    // The message of a save whose read failed at `step` (0-based, as the
    // full read counts; shown counted from 1, as the progress shows it).
    static QString notSavedText(const QString &path, int step, const QString &command, const QString &reason);
    // The message when a file command is chosen while a save reads.
    static QString busyText(const QString &path);

signals:
    // The full read for a save of path has started.
    void reading(const QString &path);
    // The save of path has ended: written or not.
    void ended(const QString &path, bool written);

private:
    bool writeNow(const QString &path);
    void onReadFinished();
    void onReadFailed(int step, const QString &command, const QString &reason);

    MdfContext m_file;
    FullRead &m_fullRead;
    const ConnectionFlags &m_connection;
    ControlBook &m_controls;
    Settings &m_settings;
    QString &m_saveFolder; // FileSaveInitDir
    QString m_pendingPath;
};

// The File menu: Open, Save As and Close, with their dialogs and questions.
class DacFileActions {
public:
    DacFileActions(const MdfContext &file, DacFileSaver &saver, FileDialogs &dialogs, AppShell &shell,
                   Settings &settings, const QString &saveFolder)
        : m_file(file), m_saver(saver), m_dialogs(dialogs), m_shell(shell), m_settings(settings),
          m_saveFolder(saveFolder)
    {
    }

    void open();   // mnuFileOpen; refused while a save reads the monitor
    void saveAs(); // mnuFileSaveAs (DacFileSaver); refused while a save reads
    void close();  // mnuFileClose

    // "TVK Monitor Tool V3.0.13 -- " + file title: the caption Save As sets.
    static QString savedCaption(const QString &fileTitle);
    // The folder part of a path, separator included ("" when there is none).
    static QString folderOf(const QString &path);

private:
    void askToSave();
    // True, after saying so, while a save waits for the monitor's values.
    bool saveIsReading();
    QString initialDir() const;

    MdfContext m_file;
    DacFileSaver &m_saver;
    FileDialogs &m_dialogs;
    AppShell &m_shell;
    Settings &m_settings;
    const QString &m_saveFolder; // FileSaveInitDir
};

} // namespace tvk
