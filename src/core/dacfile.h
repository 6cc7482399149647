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

// Writes the image to FilePath (the file is replaced only once it is
// complete) and starts a full read of the monitor. False, with a message,
// when nothing was written.
bool WriteMDF(AppCore &core);
// Reads FilePath into the image. False, with a message, when the file was
// rejected or the read ended at an error; what was stored before an error
// stays in the image.
bool ReadMDF(AppCore &core);

// The File menu: Open, Save As and Close, with their dialogs and questions.
class DacFileActions {
public:
    explicit DacFileActions(AppCore &core) : m_core(core) {}

    void open();   // mnuFileOpen
    void saveAs(); // mnuFileSaveAs
    void close();  // mnuFileClose

    // "TVK Monitor Tool V3.0.13 -- " + file title: the caption Save As sets.
    static QString savedCaption(const QString &fileTitle);
    // The folder part of a path, separator included ("" when there is none).
    static QString folderOf(const QString &path);

private:
    void askToSave();
    QString initialDir() const;
    // Makes path the data file: named, open, unchanged, and marked as read
    // from (forInput) or written to.
    void attach(const QString &path, bool forInput);

    AppCore &m_core;
};

} // namespace tvk
