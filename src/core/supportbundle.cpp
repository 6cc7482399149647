#include "core/supportbundle.h"

#include "base/controlbook.h"
#include "base/dialogs.h"
#include "base/settings.h"
#include "core/appshell.h"
#include "core/ports/portmapping.h"
#include "link/sessionrecord.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QSysInfo>
#include <QTemporaryFile>

#include <archive.h>
#include <archive_entry.h>

#include <memory>

namespace tvk {

namespace {
struct WriteArchive {
    archive *a = archive_write_new();
    ~WriteArchive() { archive_write_free(a); }
};
struct ReadArchive {
    archive *a = archive_read_new();
    ~ReadArchive() { archive_read_free(a); }
};

QString archiveError(archive *a)
{
    const char *text = archive_error_string(a);
    return text ? QString::fromLocal8Bit(text) : QStringLiteral("unknown error");
}

bool isLayoutKey(QStringView key)
{
    for (const char *end : {"WindowState", "Top", "Left", "Width", "Height"})
        if (key.endsWith(QLatin1String(end)))
            return true;
    return false;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

QByteArray SupportBundle::stripPasswords(const QByteArray &ini)
{
    const QStringList secrets{AppShell::kServicePassword, AppShell::kFactoryPassword};
    QByteArray out;
    for (const QByteArray &raw : ini.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        const qsizetype eq = line.indexOf(u'=');
        const QString trimmed = line.trimmed();
        if (eq < 0 || trimmed.startsWith(u'[') || trimmed.startsWith(u';') || trimmed.startsWith(u'#')) {
            out += raw + '\n';
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1);
        bool secret = key.contains(QLatin1String("password"), Qt::CaseInsensitive) && !isLayoutKey(key);
        for (const QString &s : secrets)
            secret = secret || value.contains(s, Qt::CaseInsensitive);
        if (secret)
            out += (key + QStringLiteral("=(removed)")).toUtf8() + '\n';
        else
            out += raw + '\n';
    }
    if (!ini.endsWith('\n') && out.endsWith('\n'))
        out.chop(1);
    return out;
}

QByteArray SupportBundle::recordSince(const QStringList &files, const QDateTime &since)
{
    QByteArray out;
    for (const QString &path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            continue;
        while (!f.atEnd()) {
            const QByteArray line = f.readLine();
            const auto entry = SessionRecord::parseLine(QString::fromLatin1(line));
            if (entry && entry->when >= since)
                out += line.endsWith('\n') ? line : line + '\n';
        }
    }
    return out;
}

QByteArray SupportBundle::platformText()
{
    QString t;
    t += QStringLiteral("Operating system: %1\n").arg(QSysInfo::prettyProductName());
    t += QStringLiteral("Kernel: %1 %2\n").arg(QSysInfo::kernelType(), QSysInfo::kernelVersion());
    t += QStringLiteral("Processor: %1 (built for %2)\n").arg(QSysInfo::currentCpuArchitecture(), QSysInfo::buildCpuArchitecture());
    t += QStringLiteral("Qt: %1 (built with %2)\n").arg(QString::fromLatin1(qVersion()), QStringLiteral(QT_VERSION_STR));
    t += QStringLiteral("Build: %1\n").arg(QSysInfo::buildAbi());
    return t.toUtf8();
}

QByteArray SupportBundle::portsText(const PortMappingStore &ports)
{
    const QList<SerialPortEntry> available = ports.info().availablePorts();
    QString t = QStringLiteral("Serial ports of this system: %1\n").arg(available.size());
    for (const SerialPortEntry &p : available) {
        t += QStringLiteral("  %1").arg(p.device);
        QStringList about;
        for (const QString &part : {p.description, p.manufacturer})
            if (!part.isEmpty())
                about << part;
        if (p.hasUsbIds)
            about << QStringLiteral("USB %1").arg(p.usbIds());
        if (!p.serialNumber.isEmpty())
            about << QStringLiteral("serial number %1").arg(p.serialNumber);
        if (!about.isEmpty())
            t += QStringLiteral(": ") + about.join(QStringLiteral(", "));
        t += u'\n';
    }
    t += QStringLiteral("\nThe tool's ports:\n");
    for (int port = 1; port <= 4; ++port)
        t += QStringLiteral("  Com%1: %2\n").arg(port).arg(ports.describe(port, available).replace(u'\n', QStringLiteral("; ")));
    return t.toUtf8();
}

QList<SupportBundle::Item> SupportBundle::collect(const Sources &s, const QDateTime &now)
{
    QList<Item> items;
    const QDateTime since = now.addSecs(-3600LL * kRecordHours);
    items.append({QStringLiteral("session-record.log"),
                  QStringLiteral("the session record of the last %1 hours (every byte to and from the monitor)")
                      .arg(kRecordHours),
                  recordSince(s.record.filesSince(since), since)});
    // The settings as they are now, on disk.
    s.settings.sync();
    for (AppName app : {AppName::Tarvikon, AppName::Tarvik}) {
        const QString path = s.settings.location(app);
        items.append({QFileInfo(path).fileName().isEmpty() ? appNameText(app) + QStringLiteral(".conf")
                                                           : QFileInfo(path).fileName(),
                      QStringLiteral("the settings of %1, mode passwords removed").arg(appNameText(app)),
                      stripPasswords(fileBytes(path))});
    }
    items.append({s.imageName.isEmpty() ? QStringLiteral("image.mdv") : s.imageName,
                  QStringLiteral("the current monitor image as a DAC value file"), s.image});
    items.append({QStringLiteral("version.txt"), QStringLiteral("the tool's version"),
                  (applicationTitle() + QStringLiteral(" ") + applicationVersionText() + u'\n').toUtf8()});
    items.append({QStringLiteral("platform.txt"), QStringLiteral("the operating system, processor and Qt version"),
                  platformText()});
    items.append({QStringLiteral("ports.txt"), QStringLiteral("the serial ports with their adapters, and Com1 to Com4"),
                  portsText(s.ports)});
    return items;
}

QString SupportBundle::summary(const QList<Item> &items, const QString &path)
{
    QString t = QStringLiteral("The support bundle %1 will hold:\n\n").arg(QDir::toNativeSeparators(path));
    for (const Item &i : items)
        t += QStringLiteral("- %1: %2 (%3 bytes)\n").arg(i.name, i.description).arg(i.bytes.size());
    t += QStringLiteral("\nNo password is in it. Write it?");
    return t;
}

bool SupportBundle::write(const QString &path, const QList<Item> &items, QString *error)
{
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.bundle-XXXXXX"));
    if (!temp.open()) {
        *error = temp.errorString();
        return false;
    }
    temp.close();
    {
        WriteArchive w;
        archive_write_set_format_zip(w.a);
        if (archive_write_open_filename(w.a, QFile::encodeName(temp.fileName()).constData()) != ARCHIVE_OK) {
            *error = archiveError(w.a);
            return false;
        }
        const time_t now = time(nullptr);
        for (const Item &item : items) {
            std::unique_ptr<archive_entry, void (*)(archive_entry *)> e(archive_entry_new(), archive_entry_free);
            archive_entry_set_pathname(e.get(), item.name.toUtf8().constData());
            archive_entry_set_size(e.get(), item.bytes.size());
            archive_entry_set_filetype(e.get(), AE_IFREG);
            archive_entry_set_perm(e.get(), 0644);
            archive_entry_set_mtime(e.get(), now, 0);
            if (archive_write_header(w.a, e.get()) != ARCHIVE_OK
                || (item.bytes.size() > 0
                    && archive_write_data(w.a, item.bytes.constData(), size_t(item.bytes.size())) != item.bytes.size())) {
                *error = archiveError(w.a);
                return false;
            }
        }
        if (archive_write_close(w.a) != ARCHIVE_OK) {
            *error = archiveError(w.a);
            return false;
        }
    }
    QFile::remove(path);
    if (!temp.rename(path)) {
        *error = temp.errorString();
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

bool SupportBundle::read(const QString &path, QMap<QString, QByteArray> *files, QString *error)
{
    ReadArchive r;
    archive_read_support_format_all(r.a);
    archive_read_support_filter_all(r.a);
    if (archive_read_open_filename(r.a, QFile::encodeName(path).constData(), 16384) != ARCHIVE_OK) {
        *error = archiveError(r.a);
        return false;
    }
    archive_entry *e = nullptr;
    int rc;
    while ((rc = archive_read_next_header(r.a, &e)) == ARCHIVE_OK) {
        QByteArray bytes;
        char buf[8192];
        la_ssize_t n;
        while ((n = archive_read_data(r.a, buf, sizeof buf)) > 0)
            bytes.append(buf, n);
        if (n < 0) {
            *error = archiveError(r.a);
            return false;
        }
        files->insert(QString::fromUtf8(archive_entry_pathname(e)), bytes);
    }
    if (rc != ARCHIVE_EOF) {
        *error = archiveError(r.a);
        return false;
    }
    return true;
}

bool SupportBundle::save(const Sources &sources, FileDialogs &dialogs, UserMessages &messages)
{
    FileDialogOptions o;
    o.title = QStringLiteral("Save Support Bundle");
    o.filter = QStringLiteral("Support Bundles (*.zip);;All files (*.*)");
    o.initialDir = QDir::homePath();
    o.proposedName = QStringLiteral("tarvik-support-%1.zip")
                         .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-hhmm")));
    const auto path = dialogs.saveFile(o);
    if (!path)
        return false;
    const QList<Item> items = collect(sources, QDateTime::currentDateTime());
    if (!messages.askOkCancel(summary(items, *path), QStringLiteral("Save Support Bundle")))
        return false;
    QString error;
    if (write(*path, items, &error))
        return true;
    messages.message(QStringLiteral("The support bundle could not be written to %1 (%2).")
                         .arg(QDir::toNativeSeparators(*path), error));
    return false;
}

} // namespace tvk
