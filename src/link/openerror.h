#pragma once
// Why a serial port would not open, in words a technician can act on:
// the device does not exist (and which ones do), the user may not use it
// (and which group to join, with the command that does it), another program
// holds it, or else the driver's own text.
//
// The wording is built from plain facts (an errno, the device file's owner
// and group, the ports that exist) so that it can be checked without the
// system; openFailureFacts() collects those facts from the system.

#include <QString>
#include <QStringList>

namespace tvk {

enum class OpenFailure { NoSuchDevice, PermissionDenied, Busy, Other };

// Owner, group and mode of a device file, and where the user stands.
struct DeviceAccess {
    bool known = false;         // the file could be examined
    QString owner;              // user name (or number) owning the file
    QString group;              // group name (or number) owning the file
    unsigned mode = 0;          // permission bits, e.g. 0660
    QString user;               // the user running the tool
    bool inGroup = false;       // this process has the group now
    bool groupListsUser = false; // the group database names the user (added, not yet logged in again)
};

struct OpenFailureFacts {
    QString device;
    int qtError = 0;           // QSerialPort::SerialPortError of the failed open
    QString qtText;            // its errorString()
    int sysErrno = 0;          // what open(2) of the device says now; 0 when it opens
    QStringList existing;      // serial ports the system has
    DeviceAccess access;       // for a permission failure
    QString holder;            // "1234 (minicom)" when another process is known to hold it
};

struct OpenDiagnosis {
    OpenFailure kind = OpenFailure::Other;
    QString reason; // follows "could not be opened: "
};

OpenDiagnosis diagnoseOpenFailure(const OpenFailureFacts &facts);

// The command that adds a user to a group.
QString addToGroupCommand(const QString &group, const QString &user);

// The facts of a failed open, collected from the system: open(2) is tried
// once more for its errno, the file is examined, and (on Linux) the
// processes holding the device are looked for.
OpenFailureFacts openFailureFacts(const QString &device, int qtError, const QString &qtText,
                                  const QStringList &existing);

} // namespace tvk
