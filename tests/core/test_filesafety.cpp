// Files the tool writes survive a write that fails half way: the DAC value
// file and the settings stores are written beside the old file and take its
// place in one step, so a full disk leaves the old file whole.
//
// A full disk is simulated with a file-size limit on this process: a write
// past the limit fails (EFBIG), as a write to a full disk fails (ENOSPC).
// That works for every user, root included, where a read-only folder would not.

#include "apptest.h"
#include "base/settings.h"
#include "core/dacfile.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace tvk;
using namespace tvk::test;

namespace {

// Files may grow to `bytes` at most while this lives.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_ok = ::getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN); // the write fails instead of killing us
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        m_ok = m_ok && ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool ok() const { return m_ok; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_ok = false;
};

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

ino_t inodeOf(const QString &path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

class TestFileSafety : public QObject {
    Q_OBJECT
private slots:
    void mdvSave_failingMidWrite_keepsThePreviousFile_andSaysSo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bench.mdv"));
        CoreHarness h;
        h.core->data.InitMonitorData(h.core->globals, h.core->settings);
        for (int k = 0; k < 7; ++k)
            h.core->scanSets.setMark(k, 1); // every scan set: a file of many kilobytes
        const QByteArray previous = "\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n"
                                    "\"#\",\"the technician's earlier save, which must survive\"\r\n";
        QVERIFY(writeBytes(path, previous));
        const qsizetype full = FormatMdfFile(h.core->mdf(), QDateTime::currentDateTime()).size();
        QVERIFY(full > 4096);

        h.core->data.DataChanged = true;
        h.dialogs.saveAnswers << path;
        {
            FileSizeLimit limit(rlim_t(full / 2)); // the disk fills half way through
            QVERIFY(limit.ok());
            h.core->fileActions().saveAs();
        }
        QCOMPARE(readBytes(path), previous);
        QCOMPARE(entries(dir.path()), QStringList({QStringLiteral("bench.mdv")})); // no half file left
        QCOMPARE(h.messages.messages.size(), 1);
        const QString m = h.messages.messages.first();
        QVERIFY2(m.startsWith(QStringLiteral("The DAC values could not be saved to ") + path), qPrintable(m));
        QVERIFY2(m.contains(QStringLiteral("An existing file of that name has not been changed.")), qPrintable(m));
        QVERIFY(h.core->data.DataChanged); // still unsaved

        // With room again the same save goes through and replaces the file whole.
        h.dialogs.saveAnswers << path;
        h.core->fileActions().saveAs();
        QCOMPARE(h.messages.messages.size(), 1);
        QCOMPARE(readBytes(path).size(), full);
        QVERIFY(!h.core->data.DataChanged);
    }

    void settings_areWrittenBesideAndRenamedIntoPlace_aFailedSyncKeepsTheOldFile()
    {
        freshSettingsFolder();
        const QString key = QStringLiteral("FileSaveInitDir");
        QString file;
        {
            Settings s;
            s.write(AppName::Tarvikon, SettingsSection::Configs, key, QStringLiteral("/first/"));
            s.sync();
            file = s.location(AppName::Tarvikon);
        }
        const QByteArray first = readBytes(file);
        QVERIFY(first.contains("/first/"));
        const ino_t before = inodeOf(file);
        QVERIFY(before != 0);

        // A new file takes the old one's place: the store is never truncated
        // and rewritten where it lies.
        {
            Settings s;
            s.write(AppName::Tarvikon, SettingsSection::Configs, key, QStringLiteral("/second/"));
            s.sync();
        }
        QVERIFY(inodeOf(file) != before);
        const QByteArray second = readBytes(file);
        QVERIFY(second.contains("/second/"));
        const QString folder = QFileInfo(file).absolutePath();
        for (const QString &name : entries(folder))
            QVERIFY2(name.endsWith(QStringLiteral(".conf")), qPrintable(name)); // no temporary left

        // The disk is full: the sync fails and the file on disk stays whole.
        {
            FileSizeLimit limit(rlim_t(second.size() + 16)); // outlives the store and its last sync
            QVERIFY(limit.ok());
            Settings s;
            s.write(AppName::Tarvikon, SettingsSection::Configs, key, QString(4096, u'x')); // less than a write buffer: only the flush fails
            s.sync();
        }
        QCOMPARE(readBytes(file), second);
        // What the next start of the tool reads (this process keeps the
        // failed change in memory, so a copy is read).
        QTemporaryDir elsewhere;
        const QString copy = elsewhere.filePath(QStringLiteral("copy.ini"));
        QVERIFY(QFile::copy(file, copy));
        const QSettings next(copy, QSettings::IniFormat);
        QCOMPARE(next.value(SettingsSection::Configs + u'/' + key).toString(), QStringLiteral("/second/"));
    }
};

QTEST_MAIN(TestFileSafety)
#include "test_filesafety.moc"
