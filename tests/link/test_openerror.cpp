// Why a port would not open, provoked for real where this machine allows:
// a path that does not exist, a device file the user may not open, a
// pseudo-terminal another holder has opened with exclusive access. Tests run
// as root here, and root passes permission checks and exclusive access; the
// test thread therefore gives up the capabilities that allow that (each
// capability belongs to a thread) while it opens, and takes them back after.

#include "link/openerror.h"
#include "link/portinfo.h"
#include "link/qtserialport.h"
#include "link/seriallink.h"
#include "pty.h"
#include "testsupport.h"

#include <QFile>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <linux/capability.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <termios.h>
#include <unistd.h>

using namespace tvk;

namespace {

// Drops capabilities from this thread's effective set for its lifetime.
class WithoutCapabilities {
public:
    explicit WithoutCapabilities(std::initializer_list<int> caps)
    {
        m_header.version = _LINUX_CAPABILITY_VERSION_3;
        m_header.pid = 0;
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct data[2];
        std::copy(m_saved, m_saved + 2, data);
        for (int cap : caps)
            data[cap / 32].effective &= ~(1u << (cap % 32));
        m_ok = ::syscall(SYS_capset, &m_header, data) == 0;
    }
    ~WithoutCapabilities()
    {
        if (m_ok)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    bool ok() const { return m_ok; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_saved[2]{};
    bool m_ok = false;
};

QString currentUser()
{
    const passwd *pw = ::getpwuid(::geteuid());
    return pw ? QString::fromLocal8Bit(pw->pw_name) : QString::number(::geteuid());
}

bool inGroup(gid_t gid)
{
    gid_t groups[256];
    const int n = ::getgroups(256, groups);
    for (int i = 0; i < n; ++i)
        if (groups[i] == gid)
            return true;
    return ::getegid() == gid;
}

// A group this process is not in: "dialout" where it exists, else a number.
gid_t foreignGroup(QString *name)
{
    if (const group *g = ::getgrnam("dialout"); g && !inGroup(g->gr_gid)) {
        *name = QStringLiteral("dialout");
        return g->gr_gid;
    }
    for (gid_t gid = 4242; gid < 4300; ++gid) {
        if (!::getgrgid(gid) && !inGroup(gid)) {
            *name = QString::number(gid);
            return gid;
        }
    }
    return gid_t(-1);
}

SerialPortEntry listed(const QString &device)
{
    SerialPortEntry e;
    e.device = device;
    return e;
}
} // namespace

class TestOpenError : public QObject {
    Q_OBJECT
private slots:
    void missingPath_namesThePortsThatExist();
    void deviceWithoutPermission_namesTheGroupAndTheCommand();
    void exclusivelyHeldPty_isBusy();
    void otherFailures_keepTheDriversText();
    void wordingFromFacts();
    void missingModemLines_areOneNotePerDevice();
};

void TestOpenError::missingPath_namesThePortsThatExist()
{
    ListPortInfoSource system;
    system.ports = {listed(QStringLiteral("/dev/ttyUSB3")), listed(QStringLiteral("/dev/ttyS0"))};
    QTemporaryDir dir;
    QtSerialPort port;
    port.setPortInfo(&system);
    QVERIFY(!port.open(dir.filePath(QStringLiteral("ttyUSB0"))));
    QCOMPARE(port.openFailure(), OpenFailure::NoSuchDevice);
    QVERIFY2(port.errorString().startsWith(QStringLiteral("there is no such device")), qPrintable(port.errorString()));
    QVERIFY(port.errorString().contains(QStringLiteral("/dev/ttyUSB3, /dev/ttyS0")));

    system.ports.clear();
    QVERIFY(!port.open(dir.filePath(QStringLiteral("ttyUSB0"))));
    QVERIFY(port.errorString().contains(QStringLiteral("No serial ports were found")));
}

void TestOpenError::deviceWithoutPermission_namesTheGroupAndTheCommand()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ttyUSB0"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray native = QFile::encodeName(path);
    QString groupName;
    const bool root = ::geteuid() == 0;
    if (root) {
        // As a USB adapter appears: owned by root, read and write for its group only.
        const gid_t gid = foreignGroup(&groupName);
        if (gid == gid_t(-1))
            QSKIP("no group this process is not in");
        const passwd *nobody = ::getpwnam("nobody");
        QVERIFY(::chown(native.constData(), nobody ? nobody->pw_uid : 65534, gid) == 0);
        QVERIFY(::chmod(native.constData(), 0660) == 0);
    } else {
        QVERIFY(::chmod(native.constData(), 0) == 0);
    }
    WithoutCapabilities plain({CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH, CAP_FOWNER});
    if (root && !plain.ok())
        QSKIP("running as root and this system does not let a thread give up its capabilities, "
              "so a permission failure cannot be provoked");

    QtSerialPort port;
    ListPortInfoSource none;
    port.setPortInfo(&none);
    QVERIFY(!port.open(path));
    QCOMPARE(port.openFailure(), OpenFailure::PermissionDenied);
    const QString why = port.errorString();
    QVERIFY2(why.startsWith(QStringLiteral("permission denied")), qPrintable(why));
    if (root) {
        QVERIFY2(why.contains(QStringLiteral("is not in the group \"%1\"").arg(groupName)), qPrintable(why));
        QVERIFY2(why.contains(addToGroupCommand(groupName, currentUser())), qPrintable(why));
        QCOMPARE(addToGroupCommand(QStringLiteral("dialout"), QStringLiteral("ana")),
                 QStringLiteral("sudo usermod -aG dialout ana"));
    }
}

void TestOpenError::exclusivelyHeldPty_isBusy()
{
    test::PtyPair pty;
    if (!pty.ok())
        QSKIP("no pseudo-terminal available");
    const QString slave = pty.slaveName();
    // Another holder: open with exclusive access, as terminal programs do.
    const int holder = ::open(QFile::encodeName(slave).constData(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0);
    QVERIFY(::ioctl(holder, TIOCEXCL) == 0);
    {
        WithoutCapabilities plain({CAP_SYS_ADMIN});
        if (::geteuid() == 0 && !plain.ok())
            QSKIP("running as root and this system does not let a thread give up CAP_SYS_ADMIN, "
                  "which passes exclusive access");
        QtSerialPort port;
        ListPortInfoSource none;
        port.setPortInfo(&none);
        QVERIFY(!port.open(slave));
        QCOMPARE(port.openFailure(), OpenFailure::Busy);
        QVERIFY2(port.errorString().startsWith(QStringLiteral("it is busy: another program holds it")),
                 qPrintable(port.errorString()));
    }
    ::close(holder);
    // Released: the same device opens.
    QtSerialPort port;
    QVERIFY2(port.open(slave), qPrintable(port.errorString()));
    port.close();
}

void TestOpenError::otherFailures_keepTheDriversText()
{
    // A plain file opens for open(2) but is no terminal: the driver's own words.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("notatty"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QtSerialPort port;
    ListPortInfoSource none;
    port.setPortInfo(&none);
    QVERIFY(!port.open(path));
    QCOMPARE(port.openFailure(), OpenFailure::Other);
    QVERIFY(!port.errorString().isEmpty());
    QVERIFY(!port.errorString().contains(QStringLiteral("no such device")));
}

void TestOpenError::wordingFromFacts()
{
    // What the machine cannot provoke here: a user added to the group whose
    // session started before, a device only its owner may use, a holder
    // found, Qt's lock-file refusal, Windows' "access denied".
    OpenFailureFacts f;
    f.device = QStringLiteral("/dev/ttyUSB0");
    f.sysErrno = EACCES;
    f.access = {true, QStringLiteral("root"), QStringLiteral("dialout"), 0660, QStringLiteral("ana"), false, true};
    OpenDiagnosis d = diagnoseOpenFailure(f);
    QCOMPARE(d.kind, OpenFailure::PermissionDenied);
    QVERIFY(d.reason.contains(QStringLiteral("was added to the group \"dialout\" after this session")));
    QVERIFY(!d.reason.contains(QStringLiteral("usermod")));

    f.access.mode = 0600;
    f.access.groupListsUser = false;
    d = diagnoseOpenFailure(f);
    QVERIFY2(d.reason.contains(QStringLiteral("mode 0600")), qPrintable(d.reason));
    QVERIFY(!d.reason.contains(QStringLiteral("usermod")));

    f = {};
    f.sysErrno = EBUSY;
    f.holder = QStringLiteral("812 minicom");
    d = diagnoseOpenFailure(f);
    QCOMPARE(d.kind, OpenFailure::Busy);
    QVERIFY(d.reason.contains(QStringLiteral("(process 812 minicom)")));

    f = {};
    f.qtError = QSerialPort::PermissionError; // opens for open(2): someone else's lock
    QCOMPARE(diagnoseOpenFailure(f).kind, OpenFailure::Busy);
    f.qtError = QSerialPort::DeviceNotFoundError;
    QCOMPARE(diagnoseOpenFailure(f).kind, OpenFailure::NoSuchDevice);
    f.qtError = QSerialPort::UnsupportedOperationError;
    f.qtText = QStringLiteral("Unsupported operation");
    d = diagnoseOpenFailure(f);
    QCOMPARE(d.kind, OpenFailure::Other);
    QCOMPARE(d.reason, QStringLiteral("Unsupported operation"));
}

void TestOpenError::missingModemLines_areOneNotePerDevice()
{
    const test::PtyPair first, second;
    if (!first.ok() || !second.ok())
        QSKIP("no pseudo-terminal available");
    const QString a = first.slaveName();
    const QString b = second.slaveName();

    SystemClock clock;
    QtPortFactory ports;
    LinkGlobals g;
    test::RecordingLog log;
    test::RecordingBeeper beeper;
    SerialLink link(clock, ports, g, log, beeper);
    QString device = a;
    link.setDeviceResolver([&](int) { return device; });
    for (int i = 0; i < 3; ++i)
        QVERIFY(link.OpenCommPort());
    device = b;
    QVERIFY(link.OpenCommPort());
    device = a;
    QVERIFY(link.OpenCommPort());

    QStringList notes;
    for (const QString &e : std::as_const(log.events)) {
        QVERIFY2(!e.contains(QStringLiteral("could not")), qPrintable(e)); // no failure lines
        if (e.startsWith(QStringLiteral("Note: ")))
            notes << e;
    }
    QCOMPARE(notes.size(), 2);
    QVERIFY(notes[0].contains(a) && notes[0].contains(QStringLiteral("DTR and RTS")));
    QVERIFY(notes[1].contains(b));
}

QTEST_GUILESS_MAIN(TestOpenError)
#include "test_openerror.moc"
