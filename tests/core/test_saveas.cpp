// File Save As with a monitor online: the whole monitor is read first and the
// file holds what the monitor holds, or nothing is written at all. The core
// runs on a scripted port and a hand-moved clock; the monitor simulator
// answers every command written to it until the test silences it.

#include "base/windownames.h"
#include "core/dacfile.h"
#include "simbench.h"

#include <QFile>
#include <QHash>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::sim;
using namespace tvk::test;

namespace {

QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Bench : SimBench {
    Bench()
    {
        core->data.InitMonitorData(core->globals, core->settings, &core->modelStart);
        core->scanSets.setMark(0, 1);
    }
    void saveAs(const QString &path)
    {
        dialogs.saveAnswers << path;
        core->fileActions().saveAs();
    }
};

// name -> "present,factory,initial" of the DAC lines of scan set 0.
QHash<QString, QString> dacLines(const QByteArray &file)
{
    QHash<QString, QString> lines;
    bool inSet0 = false;
    for (const QByteArray &raw : file.split('\n')) {
        const QString line = QString::fromLatin1(raw.trimmed());
        if (line.startsWith(QLatin1String("\"ScanSet\",")))
            inSet0 = line == QLatin1String("\"ScanSet\",0");
        else if (inSet0 && line.startsWith(u'"') && !line.startsWith(QLatin1String("\"ScanSetName\""))) {
            const qsizetype close = line.indexOf(u'"', 1);
            lines.insert(line.mid(1, close - 1), line.mid(close + 2));
        }
    }
    return lines;
}

} // namespace

class TestSaveAs : public QObject {
    Q_OBJECT
private slots:
    void online_readsTheWholeMonitorFirst_thenWritesItsValues()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("bench.mdv");
        Bench b;
        b.connect();
        QVERIFY(b.core->globals.connection.online());
        b.core->data.DataChanged = true;
        b.saveAs(path);
        QVERIFY(b.core->fileSaver.isBusy());
        QVERIFY(b.core->fullRead.isRunning());

        // Most of the way through the read: nothing written yet, nothing
        // attached, the changes still unsaved; a second Save As is refused
        // without a dialog (a busy message).
        b.run(40000);
        QVERIFY(!QFile::exists(path));
        QVERIFY(b.core->data.DataChanged);
        QVERIFY(b.core->data.FilePath.isEmpty());
        const qsizetype dialogs = b.dialogs.saveRequests.size();
        b.saveAs(dir.filePath("other.mdv"));
        QCOMPARE(b.dialogs.saveRequests.size(), dialogs);
        QCOMPARE(b.messages.messages, QStringList({DacFileSaver::busyText(path)}));
        b.dialogs.saveAnswers.clear();
        // Neither is a file opened into the image being saved.
        b.core->fileActions().open();
        QVERIFY(b.dialogs.openRequests.isEmpty());
        QCOMPARE(b.messages.messages.size(), 2);

        b.run(8000);
        QVERIFY(!b.core->fullRead.isRunning());
        QVERIFY(!b.core->fileSaver.isBusy());
        QCOMPARE(b.messages.messages.size(), 2);
        const QByteArray file = readBytes(path);
        QVERIFY2(file.contains("\"Firmware Version: \",\"V 2.25\""), file.left(600).constData());
        const QHash<QString, QString> lines = dacLines(file);
        const MonitorData &d = b.core->data;
        const MonitorConfig &m = b.sim.config();
        const struct {
            DacGroupId group;
            char letter;
        } groups[] = {{DacGroupId::L, 'l'}, {DacGroupId::B, 'b'}, {DacGroupId::H, 'h'},
                      {DacGroupId::V, 'v'}, {DacGroupId::N, 's'}};
        int nonZero = 0;
        for (const auto &g : groups) {
            const auto &sg = m.dacGroups[g.letter];
            for (int c : d.channelsOf(g.group)) {
                const QString want = QStringLiteral("%1,%2,%3")
                                         .arg(sg.present[0][size_t(c)])
                                         .arg(sg.factory[0][size_t(c)])
                                         .arg(sg.initial[0][size_t(c)]);
                QCOMPARE(lines.value(d.channelName(g.group, c)), want);
                nonZero += sg.present[0][size_t(c)] != 0;
            }
        }
        QVERIFY(nonZero > 10);
        QVERIFY(!b.core->data.DataChanged);
        QCOMPARE(b.core->data.FilePath, path);
        QVERIFY(b.core->controls.text(win::frmMain, QString()).value_or("").endsWith(" -- bench.mdv"));
    }

    void monitorLostMidRead_writesNothing_andNamesTheStep()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("bench.mdv");
        const QByteArray earlier = "\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n"
                                   "\"#\",\"yesterday's settings of this monitor\"\r\n";
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(earlier) == earlier.size());
        }
        Bench b;
        b.connect();
        b.core->data.DataChanged = true;
        b.saveAs(path);
        b.run(12000);
        b.answering = false; // the monitor falls silent a quarter of the way
        b.run(15000);

        QVERIFY(!b.core->fileSaver.isBusy());
        QVERIFY(!b.core->fullRead.isRunning());
        QCOMPARE(readBytes(path), earlier);
        QCOMPARE(b.messages.messages.size(), 1);
        const QString m = b.messages.messages.first();
        QVERIFY2(m.startsWith("The file " + path + " was not saved."), qPrintable(m));
        QVERIFY2(m.contains("(\"" + QString::fromLatin1(b.firstUnanswered) + "\")"), qPrintable(m));
        QVERIFY2(m.contains("the monitor stopped answering"), qPrintable(m));
        QVERIFY(b.core->data.DataChanged);
        QVERIFY(b.core->data.FilePath.isEmpty());
        QVERIFY(!b.core->controls.text(win::frmMain, QString()).value_or("").contains("bench.mdv"));
        // The tool takes a Save As again.
        b.saveAs(dir.filePath("next.mdv"));
        QCOMPARE(b.dialogs.saveRequests.size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestSaveAs)
#include "test_saveas.moc"
