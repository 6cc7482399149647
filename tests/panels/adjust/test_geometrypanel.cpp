// The geometry panel on the real main window: its reads, the sends of its
// sliders and bulk buttons, OK and Cancel, the offline fill from the monitor
// image, the north-south controls by monitor type, and the whole road against
// the simulated monitor.

#include "app/windowregistry.h"
#include "base/windownames.h"
#include "guitest.h"
#include "core/replies/dacreplies.h"
#include "monitorsim.h"
#include "panels/adjust/geometrypanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

GeometryPanel *panel(GuiHarness &h)
{
    return qobject_cast<GeometryPanel *>(h.window->registry().find(win::frmGeometryAdj));
}

GeometryPanel *open(GuiHarness &h)
{
    h.window->registry().openWindow(win::frmGeometryAdj);
    return panel(h);
}

// The control `name` on the geometry panel; a missing one ends the run.
template <typename T = QWidget>
T *control(GuiHarness &h, const QString &name)
{
    return h.require<T>(win::frmGeometryAdj, name);
}

QScrollBar *slider(GuiHarness &h, const char *base, int index)
{
    return control<QScrollBar>(h, QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(index));
}

QString box(GuiHarness &h, const char *base, int index)
{
    return control<QLineEdit>(h, QStringLiteral("%1_%2").arg(QLatin1String(base)).arg(index))->text();
}

void click(GuiHarness &h, const char *button) { control<QPushButton>(h, QString::fromLatin1(button))->click(); }

// The main window without start-up: the model still needs its start values
// (group counts, scan set, captions).
void initModel(GuiHarness &h)
{
    h.window->show();
    h.core->data.InitMonitorData(h.core->globals, h.core->settings);
}

// A monitor that answers, without a port: commands stay queued for the test.
void pretendOnline(GuiHarness &h, int type, bool northSouth)
{
    ConnectionFlagsForTests::setOnline(h.core->globals, true);
    h.core->data.MonitorType = qint16(type);
    h.core->data.CapabilityFlags[size_t(Capability::NorthSouthCorrection)] = northSouth;
}

void reply(GuiHarness &h, const char *text) { h.core->dispatcher.DispatchResponse(QString::fromLatin1(text)); }

qint16 model(GuiHarness &h, DacGroupId group, DacTable table, int channel, int scanSet = 0)
{
    return h.core->data.value(group, table, channel, scanSet).value_or(-999);
}

const QString kSixReads = QStringLiteral("ddv\r\nddh\r\nddpv\r\nddph\r\nddfv\r\nddfh\r\n");
const QString kNorthSouthReads = QStringLiteral("dds\r\nddps\r\nddfs\r\n");

} // namespace

class TestGeometryPanel : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    // The reply parsers address this panel's controls by name: every one they
    // write must exist, with the range the monitor allows.
    void controls_matchTheParsersNamesAndRanges()
    {
        GuiHarness h;
        initModel(h);
        h.core->data.ScanSetCaption = QStringLiteral("Scan Set Selected: 2 800x600");
        GeometryPanel *p = open(h);
        QVERIFY(p);
        QCOMPARE(p->windowTitle(), QStringLiteral("Geometry Adjustment"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("ScanSetSelectedLabel3"))->text(),
                 QStringLiteral("Scan Set Selected: 2 800x600"));

        struct Set { DacGroupId group; QList<int> channels; int max; int step; };
        const Set sets[] = { { DacGroupId::V, {0, 1, 2, 3, 4, 5, 6}, 255, 16 },
                             { DacGroupId::H, {0, 1, 2, 3}, 255, 16 },
                             { DacGroupId::H, {8}, 127, 16 },
                             { DacGroupId::N, {0, 1, 2}, 63, 8 } };
        for (const Set &s : sets) {
            for (int ch : s.channels) {
                const DacChannelControls names = dacChannelControls(s.group, ch);
                QCOMPARE(names.window, win::frmGeometryAdj);
                auto *sb = control<QScrollBar>(h, names.slider);
                QCOMPARE(sb->maximum(), s.max);
                QCOMPARE(sb->pageStep(), s.step);
                for (const QString &b : {names.present, names.factory, names.initial})
                    QVERIFY2(p->findChild<QLineEdit *>(b), qPrintable(b));
            }
        }
        QCOMPARE(control<QLabel>(h, QStringLiteral("Label1_5"))->text(), QStringLiteral("Horiz Parallellogram"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("HLabel1_8"))->text(), QStringLiteral("Horiz S Cap"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("Label7_0"))->text(), QStringLiteral("N-S Correction"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("HScroll1_0Low"))->toolTip(), QStringLiteral("Decrease Height"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("HHScroll1_3High"))->toolTip(), QStringLiteral("Rotate CW"));
        QCOMPARE(control<QLabel>(h, QStringLiteral("HScroll2_2Low"))->toolTip(), QStringLiteral("Shift Phase to the Left"));
        auto *save = control<QPushButton>(h, QStringLiteral("Command6"));
        QCOMPARE(save->text(), QStringLiteral("Save Initial Settings"));
        QCOMPARE(save->toolTip(), QStringLiteral("Set the Power On Defaults to the Current Settings"));
        QCOMPARE(control<QPushButton>(h, QStringLiteral("Command1"))->toolTip(),
                 QStringLiteral("Set All Adjustments to Original Factory Defaults"));
    }

    void online_openingQueuesTheReads_northSouthByTypeAndCapability()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225, true);
        open(h);
        QCOMPARE(h.queued(), kSixReads + kNorthSouthReads);
        QVERIFY(slider(h, "HScroll2", 0)->isEnabled());
        QVERIFY(control<QLabel>(h, QStringLiteral("Label7_2"))->isEnabled());

        // Without the capability: six reads, north-south controls disabled.
        h.core->link.ClearXmitQueue();
        click(h, "btnOK");
        h.core->data.CapabilityFlags[size_t(Capability::NorthSouthCorrection)] = false;
        open(h);
        QCOMPARE(h.queued(), kSixReads);
        QVERIFY(!slider(h, "HScroll2", 1)->isEnabled());
        QVERIFY(!control<QLineEdit>(h, QStringLiteral("NText6_1"))->isEnabled());
        QVERIFY(!control<QLabel>(h, QStringLiteral("Label7_1"))->isEnabled());

        // A flat panel leaves them as the last activation left them; an early
        // CRT disables them even with the capability.
        h.core->link.ClearXmitQueue();
        click(h, "btnCancel");
        pretendOnline(h, 310, true);
        open(h);
        QCOMPARE(h.queued(), kSixReads);
        QVERIFY(!slider(h, "HScroll2", 1)->isEnabled());
        h.core->link.ClearXmitQueue();
        click(h, "btnOK");
        pretendOnline(h, 150, true);
        open(h);
        QCOMPARE(h.queued(), kSixReads);
        QVERIFY(!slider(h, "HScroll2", 0)->isEnabled());
        QVERIFY(slider(h, "HScroll1", 0)->isEnabled());
    }

    // Right after start the accepted table holds zeros; Cancel must return
    // the monitor to what it held when the panel opened, never to zeros.
    void online_cancelRestoresTheValuesReadAtOpening()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225, false);
        GeometryPanel *p = open(h);
        // Cancel before the monitor answered knows no value to return to.
        slider(h, "HScroll1", 1)->setValue(50);
        QCOMPARE(h.queued(), kSixReads + QStringLiteral("cdv150\r\n"));
        QCOMPARE(h.core->data.DataChanged, true);
        click(h, "btnCancel");
        QCOMPARE(h.queued(), kSixReads + QStringLiteral("cdv150\r\n"));
        QVERIFY(!h.window->registry().isWindowVisible(win::frmGeometryAdj));

        h.core->link.ClearXmitQueue();
        open(h);
        reply(h, "ddv\r\n140,50,118,130,128,124,131\r\n#");
        // The reply moves the sliders and sends nothing back.
        QCOMPARE(h.queued(), kSixReads);
        QCOMPARE(p->acceptedValue(p->verticalRows()[1]), 50);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Accepted, 0), 140);
        // A later reply (a full read, say) does not move the point of return.
        reply(h, "ddv\r\n141,51,118,130,128,124,131\r\n#");
        h.core->link.ClearXmitQueue();

        slider(h, "HScroll1", 0)->setValue(20);
        slider(h, "HHScroll1", 2)->setValue(90);
        QCOMPARE(h.queued(), QStringLiteral("cdv020\r\ncdh290\r\n"));
        click(h, "btnCancel");
        // Vertical only, back to what the first reply reported.
        QCOMPARE(h.queued(), QStringLiteral("cdv020\r\ncdh290\r\ncdv0140\r\ncdv150\r\n"));
        QVERIFY(!h.queued().contains(QStringLiteral("cdv00\r\n")));
        QCOMPARE(box(h, "Text1", 0), QStringLiteral("140"));

        // OK accepts the positions; Cancel returns to them.
        h.core->link.ClearXmitQueue();
        open(h);
        reply(h, "ddv\r\n140,50,118,130,128,124,131\r\n#");
        slider(h, "HScroll1", 6)->setValue(200);
        click(h, "btnOK");
        QCOMPARE(model(h, DacGroupId::V, DacTable::Accepted, 6), 200);
        open(h);
        h.core->link.ClearXmitQueue();
        slider(h, "HScroll1", 6)->setValue(10);
        click(h, "btnCancel");
        QCOMPARE(h.queued(), QStringLiteral("cdv610\r\ncdv6200\r\n"));
    }

    void online_northSouthRepliesSendNothing_userMovesDo()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225, true);
        open(h);
        h.core->link.ClearXmitQueue();
        reply(h, "dds\r\n10,20,30\r\n#");
        reply(h, "ddfs\r\nNorth-South Factory Values\r\n11,21,99\r\n#");
        QCOMPARE(h.queued(), QString());
        QCOMPARE(h.core->data.DataChanged, false);
        QCOMPARE(slider(h, "HScroll2", 2)->value(), 30);
        QCOMPARE(box(h, "NText4", 1), QStringLiteral("20"));
        QCOMPARE(model(h, DacGroupId::N, DacTable::Present, 2), 30);
        QCOMPARE(box(h, "NText5", 2), QStringLiteral("63"));

        slider(h, "HScroll2", 1)->setValue(40);
        QCOMPARE(h.queued(), QStringLiteral("cds140\r\n"));
        QCOMPARE(h.core->data.DataChanged, true);
        QCOMPARE(model(h, DacGroupId::N, DacTable::Present, 1), 40);
    }

    void online_bulkButtons_sendChangedChannels_HorizSCapIncluded()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225, true);
        open(h);
        reply(h, "ddh\r\n1,2,3,4,200\r\n#");
        QCOMPARE(slider(h, "HHScroll1", 8)->value(), 127);
        reply(h, "ddfh\r\n1,2,3,5,60\r\n#");
        reply(h, "ddfv\r\n0,0,0,0,0,0,0\r\n#");
        reply(h, "ddfs\r\nNorth-South Factory Values\r\n9,9,9\r\n#");
        h.core->link.ClearXmitQueue();
        click(h, "Command1");
        // Only H3 and H8 differ; the north-south set stays on a 2xx unit.
        QCOMPARE(h.queued(), QStringLiteral("cdh35\r\ncdh860\r\n"));
        QCOMPARE(slider(h, "HScroll2", 0)->value(), 0);

        h.core->link.ClearXmitQueue();
        click(h, "Command6");
        QCOMPARE(h.queued(), QStringLiteral("cdvp\r\ncdhp\r\n"));
        QCOMPARE(model(h, DacGroupId::H, DacTable::Initial, 8), 60);
        QCOMPARE(box(h, "HText3", 8), QStringLiteral("60"));

        // An early CRT moves and stores its north-south set too.
        pretendOnline(h, 150, true);
        h.core->link.ClearXmitQueue();
        click(h, "Command1");
        QCOMPARE(slider(h, "HScroll2", 0)->value(), 9);
        QCOMPARE(h.queued(), QStringLiteral("cds09\r\ncds19\r\ncds29\r\n"));
        h.core->link.ClearXmitQueue();
        click(h, "Command6");
        QCOMPARE(h.queued(), QStringLiteral("cdvp\r\ncdhp\r\ncdsp\r\n"));
        QCOMPARE(model(h, DacGroupId::N, DacTable::Initial, 2), 9);
    }

    void offline_fillsFromTheModel_movesChangeOnlyTheModel()
    {
        GuiHarness h;
        initModel(h);
        MonitorData &d = h.core->data;
        // A reply seen before a file was loaded: its slider values must not
        // overwrite the image when the panel is created.
        reply(h, "ddv\r\n5,5,5,5,5,5,5\r\n#");
        for (int ch = 0; ch < 7; ++ch) {
            d.setValue(DacGroupId::V, DacTable::Present, ch, 0, 100 + ch);
            d.setValue(DacGroupId::V, DacTable::Factory, ch, 0, 80 + ch);
            d.setValue(DacGroupId::V, DacTable::Initial, ch, 0, 90 + ch);
        }
        d.setValue(DacGroupId::H, DacTable::Present, 8, 0, 77);
        d.setValue(DacGroupId::H, DacTable::Initial, 8, 0, 70);
        d.setValue(DacGroupId::N, DacTable::Present, 2, 0, 33);
        d.DataChanged = false;

        open(h);
        QCOMPARE(slider(h, "HScroll1", 0)->value(), 100);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Present, 0), 100);
        QCOMPARE(box(h, "Text2", 3), QStringLiteral("83"));
        QCOMPARE(box(h, "Text3", 6), QStringLiteral("96"));
        QCOMPARE(slider(h, "HHScroll1", 8)->value(), 77);
        QCOMPARE(slider(h, "HScroll2", 2)->value(), 33);
        QCOMPARE(d.DataChanged, false);

        slider(h, "HScroll1", 4)->setValue(10);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Present, 4), 10);
        QCOMPARE(box(h, "Text1", 4), QStringLiteral("10"));
        QCOMPARE(d.DataChanged, true);

        click(h, "Command2");
        QCOMPARE(slider(h, "HScroll1", 0)->value(), 90);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Present, 4), 94);
        slider(h, "HScroll1", 4)->setValue(10);
        click(h, "Command6");
        QCOMPARE(model(h, DacGroupId::V, DacTable::Initial, 4), 10);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Initial, 0), 90);
        QCOMPARE(model(h, DacGroupId::H, DacTable::Initial, 8), 70);
        QCOMPARE(box(h, "HText3", 8), QStringLiteral("70"));
        QCOMPARE(box(h, "Text3", 4), QStringLiteral("10"));

        click(h, "btnCancel");
        QCOMPARE(model(h, DacGroupId::V, DacTable::Present, 4), 104);
        QCOMPARE(model(h, DacGroupId::V, DacTable::Present, 0), 100);
        QCOMPARE(h.queued(), QString());
    }

    // With no scan set selected the sliders still drive the monitor, but no
    // table is read or written.
    void noScanSetSelected_tablesUntouched_slidersStillSend()
    {
        GuiHarness h;
        initModel(h);
        h.core->data.setValue(DacGroupId::V, DacTable::Factory, 0, 0, 42);
        h.core->data.CurrentScanSet = -1;
        pretendOnline(h, 225, false);
        open(h);
        reply(h, "ddv\r\n140,126,118,130,128,124,131\r\n#");
        QCOMPARE(slider(h, "HScroll1", 0)->value(), 140);
        h.core->link.ClearXmitQueue();
        h.core->data.DataChanged = false;
        slider(h, "HScroll1", 0)->setValue(60);
        QCOMPARE(h.queued(), QStringLiteral("cdv060\r\n"));
        QCOMPARE(h.core->data.DataChanged, false);
        click(h, "Command1"); // nothing to go back to
        QCOMPARE(slider(h, "HScroll1", 0)->value(), 60);
        click(h, "Command6");
        QCOMPARE(h.queued(), QStringLiteral("cdv060\r\ncdvp\r\ncdhp\r\n"));
        for (int s = 0; s < kDacScanSets; ++s) {
            for (DacTable t : {DacTable::Present, DacTable::Accepted, DacTable::Initial})
                QCOMPARE(model(h, DacGroupId::V, t, 0, s), 0);
        }
        click(h, "btnCancel");
        QVERIFY(h.queued().endsWith(QStringLiteral("cdv0140\r\n")));

        // Offline the fill has nothing to show: the controls stay.
        ConnectionFlagsForTests::setOnline(h.core->globals, false);
        open(h);
        QCOMPARE(slider(h, "HScroll1", 0)->value(), 140);
    }

    // The whole road against the simulated monitor.
    void simulator_readsFillThePanel_andCancelPutsTheMonitorBack()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        QVERIFY(h.monitor());
        QVERIFY(h.core->data.capability(Capability::NorthSouthCorrection));
        h.monitor()->clearCommands();
        const auto &v = h.monitor()->config().dacGroups.value('v');
        const int size = v.present[0][0];
        const int centre = v.present[0][1];
        QVERIFY(size > 0 && centre > 0);

        open(h);
        h.pump(5000);
        const QByteArrayList reads{"ddv", "ddh", "ddpv", "ddph", "ddfv", "ddfh", "dds", "ddps", "ddfs"};
        QCOMPARE(h.receivedWithoutPings().mid(0, reads.size()), reads);
        QCOMPARE(slider(h, "HScroll1", 0)->value(), size);
        QCOMPARE(box(h, "Text2", 0), QString::number(v.factory[0][0]));
        QCOMPARE(box(h, "HText3", 8), QString::number(h.monitor()->config().dacGroups.value('h').initial[0][8]));
        QCOMPARE(slider(h, "HScroll2", 1)->value(), h.monitor()->config().dacGroups.value('s').present[0][1]);
        QCOMPARE(box(h, "NText6", 1), QString::number(h.monitor()->config().dacGroups.value('s').initial[0][1]));
        // The monitor's values were sent back unchanged; the north-south set not at all.
        for (const QByteArray &c : h.receivedWithoutPings())
            QVERIFY2(!c.startsWith("cds"), c.constData());

        slider(h, "HScroll1", 0)->setValue(3);
        slider(h, "HScroll1", 1)->setValue(0);
        h.pump(1000);
        QCOMPARE(h.monitor()->config().dacGroups.value('v').present[0][0], 3);
        click(h, "btnCancel");
        h.pump(1000);
        QCOMPARE(h.monitor()->config().dacGroups.value('v').present[0][0], size);
        QCOMPARE(h.monitor()->config().dacGroups.value('v').present[0][1], centre);
    }
};

QTEST_MAIN(TestGeometryPanel)
#include "test_geometrypanel.moc"
