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

#include "base/applying.h"
#include "base/controlbook.h"
#include "model/monitordata.h"
#include "model/scansets.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <functional>

namespace tvk {

class ResponseDispatcher;
struct ReplyContext;

// What reading and writing a file reaches: the monitor image, the scan-set
// titles and marks, the reply handlers (a file's identity lines are applied
// as the monitor's replies would be), the message box, and whether a monitor
// answers (the identity lines are written only then).
struct MdfContext {
    MonitorData &data;
    ScanSets &scanSets;
    MonitorStateApplying &applying;
    ReplyContext &replies;
    ResponseDispatcher &dispatcher;
    UserMessages &messages;
    std::function<bool()> online;
};

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
QByteArray FormatMdfFile(const MdfContext &mdf, const QDateTime &created);

// Writes the image as it stands to FilePath (the file is replaced only once
// it is complete). False, with a message, when nothing was written. It reads
// nothing from the monitor: Save As reads first (DacFileSaver, fileactions.h).
bool WriteMDF(const MdfContext &mdf);
// Reads FilePath into the image. False, with a message, when the file was
// rejected or the read ended at an error; what was stored before an error
// stays in the image.
bool ReadMDF(const MdfContext &mdf);

// Makes path the data file (FilePath, FileTitle, FileIsOpen), for reading or
// writing.
void attachFile(MonitorData &d, const QString &path, bool forInput);

} // namespace tvk
