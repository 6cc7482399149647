// The scan selection logic without its window: choosing, the enable boxes
// and their Armed guard, copy, rename, deselect and OK.

#include "apptest.h"
#include "base/windownames.h"
#include "core/scanselect.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

// Queued command words, in order.
QStringList queued(AppCore &core)
{
    QStringList words = queuedCommands(core).split("\r\n", Qt::SkipEmptyParts);
    return words;
}

void clearQueue(AppCore &core) { core.link.ClearXmitQueue(); }

bool boxEnabled(AppCore &core, int i) { return core.controls.isEnabled(win::frmScanSelect, ScanSelect::boxName(i)); }
bool chosen(AppCore &core, int i)
{
    return core.controls.checked(win::frmScanSelect, ScanSelect::choiceName(i)).value_or(false);
}

struct Fixture {
    Fixture()
    {
        h.core->data.InitMonitorData(h.core->globals, h.core->settings);
        for (int i = 0; i < 6; ++i)
            h.core->scanSets.setTitle(i, QStringLiteral("Timing %1").arg(i + 1));
    }
    CoreHarness h;
    AppCore &core() { return *h.core; }
};

} // namespace

class TestScanSelect : public QObject {
    Q_OBJECT
private slots:
    void choose_sendsAndSetsTheCaption()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        s.load();
        ConnectionFlagsForTests::setOnline(f.core().globals, true);
        f.core().scanSets.setMark(0, 1); // box of the current scan set, clicked on: "CCE0"
        f.core().scanSets.setMark(2, 2);
        clearQueue(f.core());

        s.choose(2);
        QCOMPARE(f.core().data.CurrentScanSet, qint16(2));
        QCOMPARE(f.core().data.ScanSetCaption, QStringLiteral("Scan Set Selected: #3: Timing 3"));
        QCOMPARE(s.SelectedScanSetName(), QStringLiteral("Timing 3"));
        // The old row greys (1 -> 2) and the new one lights (2 -> 1); both
        // changes count as clicks of an armed window.
        QCOMPARE(f.core().scanSets.mark(0), 2);
        QCOMPARE(f.core().scanSets.mark(2), 1);
        QCOMPARE(queued(f.core()), QStringList({"CCE0", "CCE2", "CC2"}));
        QVERIFY(!boxEnabled(f.core(), 0));
        QVERIFY(boxEnabled(f.core(), 2));
        QVERIFY(chosen(f.core(), 2));
        QVERIFY(!chosen(f.core(), 0));
    }

    void boxClicks_sendOnlyArmedAndOnline()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        ConnectionFlagsForTests::setOnline(f.core().globals, true);
        f.core().scanSets.setMark(1, 1); // before load: not armed
        QVERIFY(queued(f.core()).isEmpty());
        s.load();
        QVERIFY(s.Armed());
        QCOMPARE(s.ScanSetMark(1), qint16(0)); // forgotten at load
        f.core().scanSets.setMark(0, 1);
        f.core().scanSets.setMark(0, 0);
        QCOMPARE(queued(f.core()), QStringList({"CCE0", "CCD0"}));
        QCOMPARE(s.ScanSetMark(0), qint16(0));
        {
            // The titles reply sets marks as the monitor holds them: kept, never sent back.
            MonitorStateApplying::Scope applying(f.core().applying);
            f.core().scanSets.setMark(4, 1);
        }
        QCOMPARE(queued(f.core()), QStringList({"CCE0", "CCD0"}));
        QCOMPARE(s.ScanSetMark(4), qint16(1));
        clearQueue(f.core());
        ConnectionFlagsForTests::setOnline(f.core().globals, false);
        f.core().scanSets.setMark(0, 1);
        QVERIFY(queued(f.core()).isEmpty());
        QCOMPARE(s.ScanSetMark(0), qint16(1));
    }

    // Activation asks for the current scan set and chooses it again; the
    // boxes it greys send nothing.
    void activate_online_queriesAndChooses_withoutEnabling()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        f.core().data.CurrentScanSet = 3;
        s.load();
        QVERIFY(boxEnabled(f.core(), 3));
        QVERIFY(!boxEnabled(f.core(), 1));
        ConnectionFlagsForTests::setOnline(f.core().globals, true);
        f.core().scanSets.setMark(1, 1);
        f.core().scanSets.setMark(3, 1);
        f.core().scanSets.setMark(5, 1);
        clearQueue(f.core());

        s.activate();
        QCOMPARE(queued(f.core()), QStringList({"dc", "CC3"}));
        QCOMPARE(f.core().scanSets.mark(1), 2);
        QCOMPARE(f.core().scanSets.mark(5), 2);
        QCOMPARE(f.core().scanSets.mark(3), 1);
        QVERIFY(boxEnabled(f.core(), 3));
        QVERIFY(!boxEnabled(f.core(), 5));
        QVERIFY(s.Armed());

        // Offline: no "dc", the choice is still sent.
        ConnectionFlagsForTests::setOnline(f.core().globals, false);
        clearQueue(f.core());
        s.activate();
        QCOMPARE(queued(f.core()), QStringList({"CC3"}));
    }

    void deselect_ok_andActivateWithNothingChosen()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        s.load();
        s.choose(4);
        s.deselect();
        QCOMPARE(f.core().data.CurrentScanSet, qint16(-1));
        QVERIFY(!chosen(f.core(), 4));
        QCOMPARE(f.core().data.ScanSetCaption, QStringLiteral("Scan Set Selected: #5: Timing 5")); // until OK
        s.ok();
        QCOMPARE(f.core().data.ScanSetCaption, QStringLiteral("ScanSetSelected: (None)"));
        QVERIFY(s.SelectedScanSetName().isEmpty());
        QCOMPARE(f.h.windows.hidden, QStringList({win::frmScanSelect}));

        // Rename needs a choice.
        s.rename();
        QCOMPARE(f.h.messages.messages, QStringList({"Nothing Selected"}));
        QVERIFY(f.h.dialogs.inputPrompts.isEmpty());

        clearQueue(f.core());
        s.activate();
        QCOMPARE(queued(f.core()), QStringList({"CC0"}));
        QCOMPARE(f.core().data.CurrentScanSet, qint16(0));
        for (int i = 0; i < 6; ++i)
            QVERIFY(!chosen(f.core(), i));
    }

    void rename_cutsTo31Characters()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        s.load();
        s.choose(1);
        clearQueue(f.core());
        const QString forty = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789abcd");
        f.h.dialogs.inputAnswers << forty << QString() << std::nullopt;
        s.rename();
        QCOMPARE(f.h.dialogs.inputPrompts, QStringList({"Enter New Name For: #2: Timing 2"}));
        QCOMPARE(queued(f.core()), QStringList({"ccn" + forty.left(31)}));
        QCOMPARE(f.core().scanSets.title(1), forty.left(31));
        QCOMPARE(s.SelectedScanSetName(), forty.left(31));
        // Empty and cancelled answers change nothing.
        s.rename();
        s.rename();
        QCOMPARE(queued(f.core()).size(), 1);
        QCOMPARE(f.core().scanSets.title(1), forty.left(31));
    }

    void copy_onlineOnly()
    {
        Fixture f;
        ScanSelect s(f.core().panels, f.core().scanSets, f.core().inputBox);
        s.load();
        clearQueue(f.core());
        s.copy(2);
        QVERIFY(queued(f.core()).isEmpty());
        QCOMPARE(f.core().data.CurrentScanSet, qint16(0));
        ConnectionFlagsForTests::setOnline(f.core().globals, true);
        s.copy(2);
        QCOMPARE(queued(f.core()), QStringList({"CC3", "CDCC", "cdlp", "cdbp", "cdvp", "cdhp"}));
        QCOMPARE(f.core().data.CurrentScanSet, qint16(3));
    }
};

QTEST_GUILESS_MAIN(TestScanSelect)
#include "test_scanselect.moc"
