// The simulated monitor's DAC groups and scan sets, and round trips of its
// replies through the tool's parsers (the simulator's output is exactly what
// the framing hands to the dispatcher: echo, CR LF, lines, "#").

#include "apptest.h"
#include "guitest.h"
#include "core/replies/dacreplies.h"
#include "model/fullread.h"
#include "monitorsim.h"

#include <QTest>

using namespace tvk;
using namespace tvk::sim;
using namespace tvk::test;

namespace {

QByteArray ask(MonitorSimulator &sim, const QByteArray &command) { return sim.feed(command + "\r\n"); }

// The single output line of a read, without echo and prompt.
QByteArray valuesOf(MonitorSimulator &sim, const QByteArray &command)
{
    const QByteArray r = ask(sim, command);
    const QByteArray head = command + "\r\n";
    if (!r.startsWith(head) || !r.endsWith("\r\n#"))
        return "<bad framing: " + r + ">";
    return r.mid(head.size(), r.size() - head.size() - 3);
}

struct Tool {
    Tool() { h.core->data.InitMonitorData(h.core->globals, h.core->settings); }
    AppCore &c() { return *h.core; }
    // The simulator answers, the tool parses.
    void read(MonitorSimulator &sim, const QByteArray &command)
    {
        c().dispatcher.DispatchResponse(QString::fromLatin1(ask(sim, command)));
    }
    int at(DacGroupId g, DacTable t, int ch, int scan) { return c().data.value(g, t, ch, scan).value_or(-99); }
    CoreHarness h;
};

} // namespace

class TestSimDac : public QObject {
    Q_OBJECT
private slots:
    void reads_oneLinePerGroup()
    {
        MonitorSimulator sim;
        const auto &g = sim.config().dacGroups;
        // Counted channels, then channel 8 for group h.
        QCOMPARE(valuesOf(sim, "ddl").split(',').size(), 8);
        QCOMPARE(valuesOf(sim, "ddfb").split(',').size(), 2);
        const QList<QByteArray> h = valuesOf(sim, "ddph").split(',');
        QCOMPARE(h.size(), 5);
        QCOMPARE(h.last().toInt(), g['h'].initial[0][8]);
        QVERIFY(valuesOf(sim, "ddfs").startsWith("North-South Factory Values\r\n"));
        QVERIFY(valuesOf(sim, "ddps").startsWith("North-South Initial Values\r\n"));
        QCOMPARE(valuesOf(sim, "dds").split(',').size(), 3);
        // Present, initial and factory differ, and so do the scan sets.
        QVERIFY(valuesOf(sim, "ddv") != valuesOf(sim, "ddfv"));
        QVERIFY(g['v'].factory[0] != g['v'].factory[1]);
        // Reads without a group answer at once with nothing.
        QCOMPARE(ask(sim, "dda"), QByteArray("dda\r\n#"));
        QCOMPARE(ask(sim, "ddpk"), QByteArray("ddpk\r\n#"));
        // Defaults stay inside every channel's range.
        for (char letter : {'l', 'b', 'h', 'v', 's'})
            for (int k = 0; k < MonitorConfig::kScanSets; ++k)
                for (int c = 0; c < MonitorConfig::kDacChannels; ++c)
                    QVERIFY(g[letter].present[k][c] <= dacMaximum(letter, c));
    }

    void everyFullReadStep_isAnsweredWithThePrompt()
    {
        MonitorSimulator sim;
        for (int step = 0; step <= FullRead::kLastStep; ++step) {
            const QString command = FullRead::stepCommand(step);
            if (command.isEmpty())
                continue;
            const QByteArray r = sim.feed(command.toLatin1());
            QVERIFY2(r.endsWith('#'), qPrintable(command));
        }
    }

    void setDac_readBack_andRefusals()
    {
        MonitorSimulator sim;
        ask(sim, "cdv1127");
        ask(sim, "cdl0200"); // contrast
        ask(sim, "cdh8120");
        ask(sim, "cds264");  // above 63: refused
        ask(sim, "cdh8128"); // above 127: refused
        ask(sim, "cdv9100"); // group v has no channel 9
        ask(sim, "cdvx5");
        const auto &g = sim.config().dacGroups;
        QCOMPARE(g['v'].present[0][1], 127);
        QCOMPARE(g['l'].present[0][0], 200);
        QCOMPARE(g['h'].present[0][8], 120);
        QCOMPARE(g['s'].present[0][2], MonitorConfig().dacGroups['s'].present[0][2]);
        QCOMPARE(g['v'].present[0][9], 0);

        Tool t;
        t.read(sim, "ddv");
        t.read(sim, "ddh");
        QCOMPARE(t.at(DacGroupId::V, DacTable::Present, 1, 0), 127);
        QCOMPARE(t.at(DacGroupId::H, DacTable::Present, 8, 0), 120);
        QCOMPARE(t.c().controls.value("frmGeometryAdj", "HScroll1_1").value_or(-1), 127);
    }

    void storeInitial_thenReadInitial()
    {
        MonitorSimulator sim;
        ask(sim, "cdb0201");
        QVERIFY(sim.config().dacGroups['b'].initial[0][0] != 201);
        ask(sim, "cdbp");
        QCOMPARE(sim.config().dacGroups['b'].initial[0][0], 201);

        Tool t;
        t.read(sim, "ddpb");
        QCOMPARE(t.at(DacGroupId::B, DacTable::Initial, 0, 0), 201);
        QCOMPARE(t.c().controls.text("frmVideoAdj", "BText3_0").value_or(""), QStringLiteral("201"));
    }

    void northSouth_roundTripMapsValueKToChannelK()
    {
        MonitorSimulator sim;
        ask(sim, "cds010");
        ask(sim, "cds120");
        ask(sim, "cds230");
        ask(sim, "cdsp");
        const auto &n = sim.config().dacGroups['s'];
        Tool t;
        t.read(sim, "dds");
        t.read(sim, "ddps");
        t.read(sim, "ddfs");
        for (int k = 0; k < 3; ++k) {
            QCOMPARE(t.at(DacGroupId::N, DacTable::Present, k, 0), 10 * (k + 1));
            QCOMPARE(t.at(DacGroupId::N, DacTable::Initial, k, 0), 10 * (k + 1));
            QCOMPARE(t.at(DacGroupId::N, DacTable::Factory, k, 0), n.factory[0][k]);
            QCOMPARE(t.c().controls.text("frmGeometryAdj", QStringLiteral("NText5_%1").arg(k)).value_or(""),
                     QString::number(n.factory[0][k]));
        }
    }

    void selectScanSet_readsItsValues_andCopyFromFirst()
    {
        MonitorSimulator sim;
        const MonitorConfig fresh;
        ask(sim, "CC3");
        QCOMPARE(sim.config().currentScanSet, 3);
        ask(sim, "CC9"); // no such scan set
        QCOMPARE(sim.config().currentScanSet, 3);

        Tool t;
        t.c().data.CurrentScanSet = 3;
        t.read(sim, "ddfv");
        for (int c = 0; c < 7; ++c)
            QCOMPARE(t.at(DacGroupId::V, DacTable::Factory, c, 3), fresh.dacGroups['v'].factory[3][c]);
        QVERIFY(fresh.dacGroups['v'].factory[3] != fresh.dacGroups['v'].factory[0]);

        ask(sim, "CDCC");
        QCOMPARE(sim.config().dacGroups['l'].present[3], fresh.dacGroups['l'].present[0]);
        QCOMPARE(sim.config().dacGroups['l'].factory[3], fresh.dacGroups['l'].factory[3]);

        // "dc" and "dv" follow the selection.
        t.c().data.MonitorType = 225;
        t.read(sim, "dc");
        t.read(sim, "dv");
        QCOMPARE(t.c().controls.text("frmCurrentScanSet", "lblScanNumber").value_or(""), QStringLiteral("4"));
        QCOMPARE(t.c().controls.text("frmCurrentScanSet", "lblScanName").value_or(""),
                 fresh.scanSets[3].title);
        QCOMPARE(t.c().controls.text("frmMDITestPoints", "VertFreqBox").value_or(""), QStringLiteral("75.03"));
    }

    void renameEnableDisable_thenTitles()
    {
        MonitorSimulator sim;
        ask(sim, "CC2");
        ask(sim, "ccn" + QByteArray(40, 'A'));
        ask(sim, "CCE5");
        ask(sim, "CCD1");
        QCOMPARE(sim.config().scanSets[2].title, QString(31, u'A'));

        Tool t;
        t.read(sim, "ddn");
        QCOMPARE(t.c().scanSets.title(2), QString(31, u'A'));
        QCOMPARE(t.c().scanSets.title(0), MonitorConfig().scanSets[0].title);
        QCOMPARE(t.c().scanSets.mark(5), 1);
        QCOMPARE(t.c().scanSets.mark(1), 0);
        QCOMPARE(t.c().scanSets.mark(0), 1);
    }

    void syncFrequencies_defaultScanSet()
    {
        MonitorSimulator sim;
        QCOMPARE(ask(sim, "dv"), QByteArray("dv\r\nVsync Frequency = 60.00\r\nHsync Frequency = 31.25\r\n#"));
        Tool t;
        t.c().data.MonitorType = 150;
        t.read(sim, "dv");
        QCOMPARE(t.c().controls.text("frmTestPoint", "HFreqTextBox").value_or(""), QStringLiteral("32.00"));
    }

    // Against the simulator behind the real main window: a full read refreshes
    // every table of every group with a reply parser, though no panel is open.
    void fullRead_refreshesTheImageWithoutPanels()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        QVERIFY(h.core->globals.connection.online());
        const MonitorConfig &m = h.monitor()->config();
        h.core->fullRead.start();
        h.pump((FullRead::kLastStep + 3) * 1000, 10);
        QVERIFY(!h.core->fullRead.isRunning());

        const MonitorData &d = h.core->data;
        const struct {
            DacGroupId group;
            char letter;
        } groups[] = {{DacGroupId::L, 'l'}, {DacGroupId::B, 'b'}, {DacGroupId::H, 'h'},
                      {DacGroupId::V, 'v'}, {DacGroupId::N, 's'}};
        for (const auto &g : groups) {
            const auto &sg = m.dacGroups[g.letter];
            for (int c : d.channelsOf(g.group)) {
                QCOMPARE(int(*d.value(g.group, DacTable::Present, c, 0)), sg.present[0][size_t(c)]);
                QCOMPARE(int(*d.value(g.group, DacTable::Initial, c, 0)), sg.initial[0][size_t(c)]);
                QCOMPARE(int(*d.value(g.group, DacTable::Factory, c, 0)), sg.factory[0][size_t(c)]);
            }
        }
        QVERIFY(!h.core->applying.active());
        QCOMPARE(h.core->controls.text("frmCurrentScanSet", "lblScanName").value_or(""),
                 m.scanSets[0].title);
    }
};

QTEST_MAIN(TestSimDac)
#include "test_simdac.moc"
