#pragma once
// The DAC value file (".mdv"): the monitor image saved as comma-separated
// text lines ended by CR LF, in a single-byte character set (Latin-1).
//
//   "Velloran Monitor DAC Value File"
//   "Version 2.0"
//   "File Created: ","<date>"
//   identity lines ("Model Number: ","TM-2100" ...), only while a monitor answers
//   "NumScanSets",6
//   "NumLDacs",8 ... "NumCPPDacs",4
//   for every scan set whose enable mark is 1:
//     "ScanSet",k
//     "ScanSetName","<title>"
//     "<channel name>",present,factory,initial   (groups L .. CPP; H ends with channel 8)
//
// The file state lives in MonitorData (FileIsOpen, FilePath, FileTitle,
// FileOpenForInput, DataChanged, ReadPosition). No operating-system handle is
// held between operations: the reader reads the whole file at once, the
// writer replaces the file in one step.

#include <QByteArray>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace tvk {

class AppCore;

// A shorter file cannot be a DAC value file.
inline constexpr qint64 kMdfMinimumSize = 100;

// Dialog filters.
inline const QString kMdfOpenFilter =
    QStringLiteral("Monitor Data Files (*.mdv);;Text Files (*.txt);;All files (*)");
inline const QString kMdfSaveFilter = QStringLiteral("Monitor Data Files (*.mdv);;All Files (*)");

inline const QString kSaveChangesQuestion =
    QStringLiteral("The data has been changed. Do you wish to save changes?");

// The fields of one line: split at commas outside double quotes, quotes
// removed, blanks before a field skipped, blanks after an unquoted field
// dropped. An empty line has no fields.
QStringList SplitMdfFields(QStringView line);

// The date and time of the "File Created: " line, in the system's short
// date and time format.
QString MdfDateText(const QDateTime &when);

// The whole file as it is written, from the monitor image, the scan-set
// titles and marks, and whether a monitor answers (identity lines).
QByteArray FormatMdfFile(const AppCore &core, const QDateTime &created);

// Writes the image as it stands to FilePath (the file is replaced only once
// it is complete). False, with a message, when nothing was written. It reads
// nothing from the monitor: Save As reads first (DacFileSaver).
bool WriteMDF(AppCore &core);
// Reads FilePath into the image. False, with a message, when the file was
// rejected or the read ended at an error; what was stored before an error
// stays in the image.
bool ReadMDF(AppCore &core);

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
    explicit DacFileSaver(AppCore &core, QObject *parent = nullptr);

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

    AppCore &m_core;
    QString m_pendingPath;
};

// The File menu: Open, Save As and Close, with their dialogs and questions.
class DacFileActions {
public:
    explicit DacFileActions(AppCore &core) : m_core(core) {}

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

    AppCore &m_core;
};

} // namespace tvk
