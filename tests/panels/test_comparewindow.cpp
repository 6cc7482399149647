// The compare window on the real main window (offscreen) and the simulated
// monitor: a file saved before a repair, three channels changed since, the
// table shows exactly those, the ticked ones are written back and checked.

#include "base/menunames.h"
#include "base/windownames.h"
#include "guitest.h"
#include "monitorsim.h"
#include "panels/compare/comparewindow.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestCompareWindow : public QObject {
    Q_OBJECT
private slots:
    void changedChannelsAreShown_andTheTickedOnesWrittenBack()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        QTemporaryDir dir;
        const QString path = dir.filePath("before.mdv");
        h.core->scanSets.setMark(0, 1);
        h.dialogs.saveAnswers << path;
        h.window->trigger(menu::mnuFileSaveAs);
        h.pump(48000, 20);
        QVERIFY(QFile::exists(path));

        auto &groups = h.monitor()->config().dacGroups;
        const int v0 = groups['v'].present[0][0], l2 = groups['l'].present[0][2];
        groups['v'].present[0][0] = 100;
        groups['l'].present[0][2] = 101;
        groups['h'].present[0][1] = 102;

        h.dialogs.openAnswers << path;
        h.window->trigger(menu::mnuFileCompareMonitor);
        QVERIFY(h.visible(win::frmCompare));
        h.pump(6000, 20);
        auto *table = h.require<QTableWidget>(win::frmCompare, "tblChanges");
        QCOMPARE(table->rowCount(), 3);
        QVERIFY2(h.labelText(win::frmCompare, "lblSummary").startsWith("3 of "),
                 qPrintable(h.labelText(win::frmCompare, "lblSummary")));
        QVERIFY(!h.require<QLabel>(win::frmCompare, "lblWarning")->isVisibleTo(table->window()));
        QStringList names;
        for (int r = 0; r < 3; ++r) {
            names << table->item(r, 2)->text();
            QCOMPARE(table->item(r, 0)->checkState(), Qt::Checked);
        }
        QCOMPARE(names, QStringList({"L Red Gain", "H Horizontal Center", "V Vertical Size"}));

        // The README's picture of the window, when asked for.
        if (const QString shot = qEnvironmentVariable("TVK_COMPARE_SCREENSHOT"); !shot.isEmpty())
        {
            QWidget *frame = h.window->registry().find(win::frmCompare)->parentWidget();
            frame->resize(960, 600);
            QVERIFY(frame->grab().save(shot));
        }

        // The horizontal one stays as it is now.
        table->item(1, 0)->setCheckState(Qt::Unchecked);
        auto *write = h.require<QPushButton>(win::frmCompare, "btnWrite");
        QVERIFY(write->isEnabled());
        h.monitor()->clearCommands();
        write->click();
        QVERIFY(h.require<QPushButton>(win::frmCompare, "btnCancel")->isEnabled());
        // No full read may choose scan sets while the restore does.
        h.window->trigger(menu::mnuMonitorUpdate);
        QVERIFY(!h.core->fullRead.isRunning());
        QVERIFY(h.messages.messages.last().contains("Compare Settings is reading or writing"));
        h.pump(6000, 20);
        QVERIFY2(h.labelText(win::frmCompare, "lblResult").startsWith("2 written, 0 differ."),
                 qPrintable(h.labelText(win::frmCompare, "lblResult")));
        QCOMPARE(groups['v'].present[0][0], v0);
        QCOMPARE(groups['l'].present[0][2], l2);
        QCOMPARE(groups['h'].present[0][1], 102);
        QCOMPARE(table->rowCount(), 1);
        for (const QByteArray &c : h.receivedWithoutPings())
            QVERIFY2(!c.startsWith("cdh") && !c.endsWith("p"), c.constData());

        // Another monitor's file warns at the top.
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray other = f.readAll();
        f.close();
        const qsizetype at = other.indexOf("\"Serial Number: \",\"") + 19;
        other.insert(at, "X");
        const QString otherPath = dir.filePath("other.mdv");
        QFile o(otherPath);
        QVERIFY(o.open(QIODevice::WriteOnly) && o.write(other) == other.size());
        o.close();
        h.dialogs.openAnswers << path << otherPath;
        h.window->trigger(menu::mnuFileCompareFiles);
        QVERIFY(h.require<QLabel>(win::frmCompare, "lblWarning")->isVisibleTo(table->window()));
        QVERIFY(h.labelText(win::frmCompare, "lblWarning").contains("serial number differs"));
        QVERIFY(!write->isEnabled()); // two files: nothing to write to
    }
};

QTEST_MAIN(TestCompareWindow)
#include "test_comparewindow.moc"
