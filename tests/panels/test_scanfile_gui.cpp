// The scan-set windows and the File menu on the real main window, talking to
// the simulated monitor, paced by the manual clock.

#include "panels/panel.h"
#include "base/windownames.h"
#include "app/windowregistry.h"
#include "guitest.h"
#include "core/dacfile.h"
#include "core/scanselect.h"
#include "monitorsim.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

struct Snapshot {
    QList<int> values;
    QStringList identity;
    QStringList titles;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(AppCore &core, const QList<int> &scanSets)
{
    Snapshot s;
    const MonitorData &d = core.data;
    for (int k : scanSets) {
        s.titles << core.scanSets.title(k);
        for (const DacGroupDesc &g : kDacGroups)
            for (int c : d.channelsOf(g.id))
                for (DacTable t : {DacTable::Present, DacTable::Factory, DacTable::Initial})
                    s.values << *d.value(g.id, t, c, k);
    }
    s.identity << d.ModelNumber << d.SerialNumber << d.PartNumber << d.FirmwareVersion << d.RomVersion
               << d.OperatingTimeText << d.OperatingCyclesText;
    return s;
}

} // namespace

class TestScanFileGui : public QObject {
    Q_OBJECT
private slots:
    void scanSelection_fromTheMonitorMenu()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.core->scanSets.setTitle(2, QStringLiteral("1280x1024"));
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuMonitorScanSelect"));
        h.pump(1500);
        QCOMPARE(h.receivedWithoutPings(), QByteArrayList({"dc", "CC0"}));
        QVERIFY(h.window->registry().isWindowVisible(win::frmScanSelect));
        QCOMPARE(h.window->registry().find(win::frmScanSelect)->windowTitle(), QStringLiteral("Scan Selection"));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(h.child<QPushButton>(win::frmScanSelect, QStringLiteral("CopyDAC_%1").arg(i))->text(),
                     QStringLiteral("Copy 1->%1").arg(i + 2));
        QCOMPARE(h.child<QLabel>(win::frmScanSelect, "ScanName_2")->text(), QStringLiteral("1280x1024"));

        // A greyed mark shows as a partly checked, disabled box; the window
        // is armed, so the change is passed on as a click.
        h.monitor()->clearCommands();
        h.core->scanSets.setMark(3, 2);
        h.pump(1000);
        QCOMPARE(h.receivedWithoutPings(), QByteArrayList({"CCE3"}));
        auto *box3 = h.child<QCheckBox>(win::frmScanSelect, "Check1_3");
        QCOMPARE(box3->checkState(), Qt::PartiallyChecked);
        QVERIFY(!box3->isEnabled());

        // The user chooses scan set 3 and enables it.
        h.monitor()->clearCommands();
        h.child<QRadioButton>(win::frmScanSelect, "ScanSelectChoice_2")->click();
        auto *box2 = h.child<QCheckBox>(win::frmScanSelect, "Check1_2");
        QVERIFY(box2->isEnabled());
        box2->click();
        h.pump(1500);
        QCOMPARE(h.receivedWithoutPings(), QByteArrayList({"CC2", "CCE2"}));
        QCOMPARE(h.core->scanSets.mark(2), 1);
        QVERIFY(h.child<QRadioButton>(win::frmScanSelect, "ScanSelectChoice_2")->isChecked());
        QVERIFY(!h.child<QRadioButton>(win::frmScanSelect, "ScanSelectChoice_0")->isChecked());
        QCOMPARE(h.core->data.ScanSetCaption, QStringLiteral("Scan Set Selected: #3: 1280x1024"));

        QTest::mouseClick(h.child<QPushButton>(win::frmScanSelect, "ScanSelectOKButton"), Qt::LeftButton);
        QVERIFY(!h.window->registry().isWindowVisible(win::frmScanSelect));
    }

    void currentScanSet_asksTheMonitor()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuInfoCurrentScan"));
        h.pump(1500);
        QCOMPARE(h.receivedWithoutPings(), QByteArrayList({"dc"}));
        QVERIFY(h.child<QLabel>(win::frmCurrentScanSet, "lblScanHFreq")->text().isEmpty());
        QTest::mouseClick(h.child<QPushButton>(win::frmCurrentScanSet, "btnDone"), Qt::LeftButton);
        QVERIFY(!h.window->registry().isWindowVisible(win::frmCurrentScanSet));
    }

    // Update All Data and Save As both start the full read (Save As writes
    // once it has finished); the file opened again gives back the image and
    // the identity.
    void saveAsThenOpen_restoresImageAndIdentity()
    {
        GuiHarness h("version=2.25,model=TM-2100,serial=SN-42,days=3,cycles=17");
        QVERIFY(h.goOnline());
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuMonitorUpdate"));
        h.pump(300);
        QCOMPARE(h.receivedWithoutPings().value(0), QByteArray("da"));
        h.pump(47000);
        MonitorData &d = h.core->data;
        QCOMPARE(d.ModelNumber, QStringLiteral("TM-2100"));
        QCOMPARE(d.SerialNumber, QStringLiteral("SN-42"));
        d.PartNumber = QStringLiteral("P-7");
        h.core->scanSets.setMark(0, 1);
        h.core->scanSets.setMark(1, 1);
        h.core->scanSets.setTitle(1, QStringLiteral("Second"));
        for (int c = 0; c < 8; ++c)
            d.setValue(DacGroupId::L, DacTable::Present, c, 1, 40 + c);
        d.setValue(DacGroupId::H, DacTable::Factory, 8, 1, 99);

        QTemporaryDir dir;
        const QString path = dir.filePath("image.mdv");
        h.dialogs.saveAnswers << path;
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuFileSaveAs"));
        h.pump(300);
        QCOMPARE(h.receivedWithoutPings().value(0), QByteArray("da"));
        // Written once the monitor has been read again.
        QVERIFY(!QFile::exists(path));
        h.pump(47000);
        QVERIFY(QFile::exists(path));
        const Snapshot before = snapshot(*h.core, {0, 1});
        QCOMPARE(h.window->windowTitle(),
                 QStringLiteral("TVK Monitor Tool V") + applicationVersionText() + QStringLiteral(" -- image.mdv"));
        QCOMPARE(h.messages.messages, QStringList());

        // Offline, with the image and identity gone, the file brings them back.
        h.window->trigger(QStringLiteral("mnuMonitorOffline"));
        h.pump(100);
        for (int k : {0, 1})
            for (const DacGroupDesc &g : kDacGroups)
                for (int c = 0; c < kDacChannels; ++c)
                    for (DacTable t : {DacTable::Present, DacTable::Accepted, DacTable::Factory, DacTable::Initial})
                        d.setValue(g.id, t, c, k, 0);
        d.ModelNumber.clear();
        d.SerialNumber.clear();
        d.PartNumber.clear();
        d.OperatingTimeText.clear();
        d.OperatingCyclesText.clear();
        h.core->scanSets.setTitle(1, QString());
        QVERIFY(d.FirmwareVersion.isEmpty()); // cleared by the offline state

        h.dialogs.openAnswers << path;
        h.window->trigger(QStringLiteral("mnuFileOpen"));
        QCOMPARE(h.messages.messages, QStringList());
        QCOMPARE(snapshot(*h.core, {0, 1}), before);
        for (int k : {0, 1})
            for (const DacGroupDesc &g : kDacGroups)
                for (int c : d.channelsOf(g.id))
                    QCOMPARE(*d.value(g.id, DacTable::Accepted, c, k), *d.value(g.id, DacTable::Present, c, k));
        QCOMPARE(h.window->windowTitle(), QStringLiteral("TVK Monitor Adjustment Tool V")
                                              + applicationVersionText() + QStringLiteral(" -- image.mdv"));
        h.window->registry().openWindow(win::frmID);
        QCOMPARE(h.child<QLabel>("frmID", "lblModel")->text(), QStringLiteral("TM-2100"));
    }
};

QTEST_MAIN(TestScanFileGui)
#include "test_scanfile_gui.moc"
