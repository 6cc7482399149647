#include "link/openerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tvk {

namespace {

const QString kBreak = QStringLiteral("\r\n");

OpenFailure classify(const OpenFailureFacts &f)
{
    switch (f.sysErrno) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenFailure::NoSuchDevice;
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    case EBUSY:
        return OpenFailure::Busy;
    case 0:
        break;
    default:
        return f.qtError == QSerialPort::DeviceNotFoundError ? OpenFailure::NoSuchDevice
                                                              : OpenFailure::Other;
    }
    // The device opens for open(2) itself (or there is no errno to ask, as on
    // Windows): a permission error of the port then means it is taken, by
    // another program's lock file here or by its open handle on Windows.
    if (f.qtError == QSerialPort::PermissionError)
        return OpenFailure::Busy;
    if (f.qtError == QSerialPort::DeviceNotFoundError)
        return OpenFailure::NoSuchDevice;
    return OpenFailure::Other;
}

QString noSuchDeviceReason(const OpenFailureFacts &f)
{
    QString text = QStringLiteral("there is no such device");
    if (f.existing.isEmpty())
        return text + kBreak + QStringLiteral("No serial ports were found on this computer");
    return text + kBreak + QStringLiteral("Serial ports found: ") + f.existing.join(QStringLiteral(", "));
}

QString permissionReason(const DeviceAccess &a)
{
    QString text = QStringLiteral("permission denied");
    if (!a.known)
        return text;
    const bool groupMayUse = (a.mode & 060) == 060;
    if (groupMayUse && !a.inGroup) {
        if (a.groupListsUser)
            return text + kBreak
                + QStringLiteral("The user %1 was added to the group \"%2\" after this session "
                                 "started:")
                      .arg(a.user, a.group)
                + kBreak
                + QStringLiteral("log out and in again (or start the tool from \"newgrp %1\")")
                      .arg(a.group);
        return text + kBreak
            + QStringLiteral("The user %1 is not in the group \"%2\" that owns it. Add it with")
                  .arg(a.user, a.group)
            + kBreak + QStringLiteral("    ") + addToGroupCommand(a.group, a.user) + kBreak
            + QStringLiteral("then log out and in again");
    }
    return text + kBreak
        + QStringLiteral("It belongs to %1, group \"%2\", mode %3, which does not let %4 read and "
                         "write it")
              .arg(a.owner, a.group, QStringLiteral("%1").arg(a.mode & 0777, 4, 8, QLatin1Char('0')),
                   a.user);
}

QString busyReason(const OpenFailureFacts &f)
{
    QString text = QStringLiteral("it is busy: another program holds it");
    if (!f.holder.isEmpty())
        text += QStringLiteral(" (process ") + f.holder + QStringLiteral(")");
    return text + kBreak
        + QStringLiteral("Close that program (a terminal program, a modem manager or another copy "
                         "of this tool)");
}

} // namespace

QString addToGroupCommand(const QString &group, const QString &user)
{
    return QStringLiteral("sudo usermod -aG %1 %2").arg(group, user);
}

OpenDiagnosis diagnoseOpenFailure(const OpenFailureFacts &facts)
{
    OpenDiagnosis d;
    d.kind = classify(facts);
    switch (d.kind) {
    case OpenFailure::NoSuchDevice: d.reason = noSuchDeviceReason(facts); break;
    case OpenFailure::PermissionDenied: d.reason = permissionReason(facts.access); break;
    case OpenFailure::Busy: d.reason = busyReason(facts); break;
    case OpenFailure::Other:
        d.reason = facts.qtText.isEmpty() ? QStringLiteral("unknown error") : facts.qtText;
        break;
    }
    return d;
}

#ifdef Q_OS_UNIX
namespace {

int probeOpen(const QString &device)
{
    const QByteArray path = QFile::encodeName(device);
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errno;
    ::close(fd);
    return 0;
}

QString userName(uid_t uid)
{
    const passwd *pw = ::getpwuid(uid);
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(uid);
}

DeviceAccess accessOf(const QString &device)
{
    DeviceAccess a;
    struct stat st {};
    if (::stat(QFile::encodeName(device).constData(), &st) != 0)
        return a;
    a.known = true;
    a.mode = st.st_mode & 07777;
    a.owner = userName(st.st_uid);
    a.user = userName(::geteuid());
    const group *gr = ::getgrgid(st.st_gid);
    a.group = gr ? QString::fromLocal8Bit(gr->gr_name) : QString::number(st.st_gid);
    if (gr) {
        for (char **m = gr->gr_mem; m && *m; ++m)
            a.groupListsUser = a.groupListsUser || QString::fromLocal8Bit(*m) == a.user;
    }
    a.inGroup = ::getegid() == st.st_gid;
    const int n = ::getgroups(0, nullptr);
    if (n > 0) {
        QList<gid_t> groups(n);
        const int got = ::getgroups(n, groups.data());
        for (int i = 0; i < got; ++i)
            a.inGroup = a.inGroup || groups[i] == st.st_gid;
    }
    return a;
}

// The first other process with the device open, as "pid (name)" (Linux; only
// the processes this user may look into).
QString holderOf(const QString &device)
{
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty() || !QFileInfo::exists(QStringLiteral("/proc/self/fd")))
        return {};
    const QString self = QString::number(::getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &pid : pids) {
        if (pid == self || !pid.front().isDigit())
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        const QFileInfoList links = fds.entryInfoList(QDir::System | QDir::NoDotAndDotDot);
        for (const QFileInfo &link : links) {
            if (link.symLinkTarget() != target)
                continue;
            QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
            QString name;
            if (comm.open(QIODevice::ReadOnly))
                name = QString::fromLocal8Bit(comm.readAll()).trimmed();
            return name.isEmpty() ? pid : pid + QStringLiteral(" ") + name;
        }
    }
    return {};
}

} // namespace
#endif

OpenFailureFacts openFailureFacts(const QString &device, int qtError, const QString &qtText,
                                  const QStringList &existing)
{
    OpenFailureFacts f;
    f.device = device;
    f.qtError = qtError;
    f.qtText = qtText;
    f.existing = existing;
#ifdef Q_OS_UNIX
    f.sysErrno = probeOpen(device);
    if (f.sysErrno == EACCES || f.sysErrno == EPERM)
        f.access = accessOf(device);
    const OpenFailure kind = classify(f);
    if (kind == OpenFailure::Busy)
        f.holder = holderOf(device);
#endif
    return f;
}

} // namespace tvk
