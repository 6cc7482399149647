// The parsers of the DAC value, scan-set title, current scan set and sync
// frequency replies, fed as the framing delivers them (echo, CR LF, output
// lines, marker) through the dispatcher into the control book, the monitor
// image and the scan sets.

#include "replybench.h"
#include "testsupport.h"
#include "base/settings.h"
#include "base/windownames.h"
#include "core/replies/dacreplies.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

// The reply handlers on an image with the model's start values, as after the
// main window's load.
struct Core {
    Core()
    {
        freshSettingsFolder();
        const Settings settings;
        LinkGlobals globals;
        bench.data.InitMonitorData(globals, settings);
    }
    ReplyBench &c() { return bench; }
    void feed(const char *echo, const char *line) { c().dispatcher.DispatchResponse(framedReply(echo, line)); }
    int at(DacGroupId g, DacTable t, int ch, int scan = 0) { return c().data.value(g, t, ch, scan).value_or(-99); }
    QString text(const QString &window, const QString &control)
    {
        return c().controls.text(window, control).value_or(QStringLiteral("<unset>"));
    }
    int slider(const QString &window, const QString &control)
    {
        return c().controls.value(window, control).value_or(-99);
    }
    ReplyBench bench;
};

const QString geo = win::frmGeometryAdj;
const QString video = win::frmVideoAdj;
const QString bc = win::frmBrightnessContrast;

} // namespace

class TestDacReplies : public QObject {
    Q_OBJECT
private slots:
    void presentL_contrastBrightnessAndVideoSliders()
    {
        Core t;
        t.c().data.CurrentScanSet = 2;
        t.feed("ddl", "128,130,90,91,92,10,11,12");
        QCOMPARE(t.slider(bc, "HScroll_Contrast"), 128);
        QCOMPARE(t.text(bc, "lblContrastPV"), QStringLiteral("128"));
        QCOMPARE(t.slider(bc, "HScroll_Brightness"), 130);
        QCOMPARE(t.text(bc, "Label18"), QStringLiteral("130"));
        const int expect[] = {90, 91, 92, 10, 11, 12};
        for (int c = 2; c <= 7; ++c) {
            QCOMPARE(t.slider(video, QStringLiteral("HScroll1_%1").arg(c)), expect[c - 2]);
            QCOMPARE(t.text(video, QStringLiteral("Text1_%1").arg(c)), QString::number(expect[c - 2]));
            QCOMPARE(t.at(DacGroupId::L, DacTable::Present, c, 2), expect[c - 2]);
        }
        // The present table of the current scan set only.
        QCOMPARE(t.at(DacGroupId::L, DacTable::Present, 0, 2), 128);
        QCOMPARE(t.at(DacGroupId::L, DacTable::Present, 0, 0), 0);
        QVERIFY(!t.c().data.DataChanged);
    }

    void presentH_channel8Capped_shortListLeavesTheRestUnknown()
    {
        Core t;
        t.feed("ddh", "1,2,3,4,200");
        QCOMPARE(t.slider(geo, "HHScroll1_3"), 4);
        QCOMPARE(t.slider(geo, "HHScroll1_8"), 127);
        QCOMPARE(t.text(geo, "HText1_8"), QStringLiteral("127"));
        QCOMPARE(t.at(DacGroupId::H, DacTable::Present, 8), 127);
        QCOMPARE(t.at(DacGroupId::H, DacTable::Present, 4), 0);

        // Shorter than the channels (cut by line noise): the channels it
        // does not reach are unknown - empty boxes, no slider value, never
        // the last value repeated - also those read before.
        t.feed("ddv", "1,2,3,4,5,6,7");
        t.feed("ddv", "10,20");
        QCOMPARE(t.at(DacGroupId::V, DacTable::Present, 1), 20);
        for (int c = 2; c <= 6; ++c) {
            QVERIFY(!t.c().data.isKnown(DacGroupId::V, DacTable::Present, c, 0));
            QCOMPARE(t.text(geo, QStringLiteral("Text1_%1").arg(c)), QString());
            QVERIFY(!t.c().controls.value(geo, QStringLiteral("HScroll1_%1").arg(c)));
        }
        t.feed("ddh", "5,6");
        QVERIFY(!t.c().data.isKnown(DacGroupId::H, DacTable::Present, 8, 0));
        QCOMPARE(t.text(geo, "HText1_8"), QString());
        t.feed("dds", "30");
        QVERIFY(!t.c().data.isKnown(DacGroupId::N, DacTable::Present, 1, 0));
        QVERIFY(!t.c().controls.value(geo, "HScroll2_2"));
    }

    void presentStop_keepsLaterChannelsAndEndsTheApplyingScope()
    {
        Core t;
        t.feed("ddv", "1,2,3,4,5,6,7");
        // Record SendOnChange whenever a slider is written.
        QList<bool> flagAtWrite;
        connect(&t.c().controls, &ControlBook::changed, &t.c().controls,
                [&](const QString &, const QString &, ControlProperty p) {
                    if (p == ControlProperty::Value)
                        flagAtWrite << !t.c().context.applying.active();
                });
        t.feed("ddv", "50,51,300,53");
        QCOMPARE(flagAtWrite, (QList<bool>{false, false}));
        QVERIFY(!t.c().context.applying.active());
        QCOMPARE(t.at(DacGroupId::V, DacTable::Present, 1), 51);
        QCOMPARE(t.at(DacGroupId::V, DacTable::Present, 2), 3);
        QCOMPARE(t.slider(geo, "HScroll1_2"), 3); // kept from the first reply
        // A value outside 0..255 in channel 8's place is no value either.
        t.feed("ddh", "1,2,3,4,-5");
        QCOMPARE(t.at(DacGroupId::H, DacTable::Present, 8), 0);
        QVERIFY(!t.c().context.applying.active());
    }

    void factoryAndInitial_storeAndShow()
    {
        Core t;
        t.c().data.CurrentScanSet = 1;
        t.feed("ddfv", "9,9,9,9,9,9,9");
        t.feed("ddfv", "10,20,300,40");
        QCOMPARE(t.at(DacGroupId::V, DacTable::Factory, 0, 1), 10);
        QCOMPARE(t.at(DacGroupId::V, DacTable::Factory, 1, 1), 20);
        for (int c = 2; c <= 6; ++c)
            QCOMPARE(t.at(DacGroupId::V, DacTable::Factory, c, 1), 9);
        QCOMPARE(t.text(geo, "Text2_1"), QStringLiteral("20"));
        QCOMPARE(t.at(DacGroupId::V, DacTable::Present, 0, 1), 0); // factory reads leave present

        t.feed("ddpb", "77");
        QCOMPARE(t.at(DacGroupId::B, DacTable::Initial, 0, 1), 77);
        QVERIFY(!t.c().data.isKnown(DacGroupId::B, DacTable::Initial, 1, 1));
        QCOMPARE(t.text(video, "BText3_1"), QString());
        t.feed("ddps", "North-South Initial Values\r\n40");
        QCOMPARE(t.text(geo, "NText6_0"), QStringLiteral("40"));
        QCOMPARE(t.text(geo, "NText6_2"), QString());

        t.feed("ddpl", "1,2,3,4,5,6,7,8");
        QCOMPARE(t.text(bc, "Label12"), QStringLiteral("1"));
        QCOMPARE(t.text(bc, "Label31"), QStringLiteral("2"));
        QCOMPARE(t.text(video, "Text3_7"), QStringLiteral("8"));
        t.feed("ddfl", "11,12,13,14,15,16,17,18");
        QCOMPARE(t.text(bc, "Label15"), QStringLiteral("11"));
        QCOMPARE(t.text(bc, "Label33"), QStringLiteral("12"));
        QCOMPARE(t.at(DacGroupId::L, DacTable::Factory, 7, 1), 18);

        // Channel 8 of H: one more value, not capped in the stored tables.
        t.feed("ddph", "1,2,3,4,200");
        QCOMPARE(t.at(DacGroupId::H, DacTable::Initial, 8, 1), 200);
        QCOMPARE(t.text(geo, "HText3_8"), QStringLiteral("200"));
    }

    void unknownSelectors_changeNothing()
    {
        Core t;
        t.feed("dda", "1,2,3,4,5,6,7,8");
        t.feed("ddpa", "1,2,3,4,5,6,7,8");
        t.feed("ddpn", "0,1,Title");
        t.feed("ddfk", "1,2,3");
        QVERIFY(t.c().controls.entriesFor(geo).isEmpty());
        QVERIFY(t.c().controls.entriesFor(video).isEmpty());
        QVERIFY(t.c().controls.entriesFor(bc).isEmpty());
        QCOMPARE(t.c().context.scanSets.title(0), ScanSets::defaultTitle(0));
        for (DacGroupId g : {DacGroupId::L, DacGroupId::B, DacGroupId::H, DacGroupId::V, DacGroupId::N})
            for (int c = 0; c < kDacChannels; ++c)
                for (DacTable tb : {DacTable::Present, DacTable::Factory, DacTable::Initial})
                    QCOMPARE(t.at(g, tb, c), 0);
        QVERIFY(!t.c().context.applying.active());
    }

    void northSouth_valueKIsChannelK()
    {
        Core t;
        t.c().data.CurrentScanSet = 3;
        // The link drops the CR after the previous prompt, so the echo runs
        // into the heading line; the values follow on the next line.
        t.c().dispatcher.DispatchResponse(
            QStringLiteral("ddfsNorth-South Factory Values\r\n40,50,70\r\n#"));
        QCOMPARE(t.text(geo, "NText5_0"), QStringLiteral("40"));
        QCOMPARE(t.text(geo, "NText5_1"), QStringLiteral("50"));
        QCOMPARE(t.text(geo, "NText5_2"), QStringLiteral("63")); // capped at the maximum
        QCOMPARE(t.at(DacGroupId::N, DacTable::Factory, 0, 3), 40);
        QCOMPARE(t.at(DacGroupId::N, DacTable::Factory, 2, 3), 63);
        QCOMPARE(t.at(DacGroupId::N, DacTable::Factory, 3, 3), 0);

        t.feed("ddps", "North-South Initial Values\r\n1,300,3");
        QCOMPARE(t.text(geo, "NText6_0"), QStringLiteral("1"));
        QCOMPARE(t.text(geo, "NText6_1"), QStringLiteral("<unset>"));
        QCOMPARE(t.at(DacGroupId::N, DacTable::Initial, 0, 3), 1);
        QCOMPARE(t.at(DacGroupId::N, DacTable::Initial, 2, 3), 0);

        QList<bool> flagAtWrite;
        connect(&t.c().controls, &ControlBook::changed, &t.c().controls,
                [&](const QString &, const QString &control, ControlProperty p) {
                    if (p == ControlProperty::Value && control.startsWith(u"HScroll2_"))
                        flagAtWrite << !t.c().context.applying.active();
                });
        // A position beyond the slider's 0..63 ends the walk: not capped.
        t.feed("dds", "5,6,64");
        QCOMPARE(flagAtWrite, (QList<bool>{false, false}));
        QVERIFY(!t.c().context.applying.active());
        QCOMPARE(t.slider(geo, "HScroll2_0"), 5);
        QCOMPARE(t.slider(geo, "HScroll2_1"), 6);
        QCOMPARE(t.slider(geo, "HScroll2_2"), -99);
        QCOMPARE(t.text(geo, "NText4_1"), QStringLiteral("6"));
        QCOMPARE(t.at(DacGroupId::N, DacTable::Present, 1, 3), 6);
    }

    void noScanSetSelected_showsButStoresNothing()
    {
        Core t;
        t.c().data.CurrentScanSet = -1;
        t.feed("ddv", "11,12,13,14,15,16,17");
        t.feed("ddfh", "21,22,23,24,25");
        t.feed("ddps", "Initial\r\n31,32,33");
        t.feed("dds", "41,42,43");
        QCOMPARE(t.slider(geo, "HScroll1_6"), 17);
        QCOMPARE(t.text(geo, "HText2_8"), QStringLiteral("25"));
        QCOMPARE(t.text(geo, "NText6_2"), QStringLiteral("33"));
        QCOMPARE(t.slider(geo, "HScroll2_2"), 43);
        for (int s = 0; s < kDacScanSets; ++s)
            for (int c = 0; c < kDacChannels; ++c) {
                QCOMPARE(t.at(DacGroupId::V, DacTable::Present, c, s), 0);
                QCOMPARE(t.at(DacGroupId::H, DacTable::Factory, c, s), 0);
                QCOMPARE(t.at(DacGroupId::N, DacTable::Initial, c, s), 0);
                QCOMPARE(t.at(DacGroupId::N, DacTable::Present, c, s), 0);
            }
    }

    void titles_intoScanSetRows()
    {
        Core t;
        QList<int> markChanges;
        connect(&t.c().context.scanSets, &ScanSets::markChanged, &t.c().context.scanSets,
                [&](int index, int) { markChanges << index; });
        t.c().dispatcher.DispatchResponse(QStringLiteral(
            "ddn\r\n0,1,640x480 60Hz\r\n1,0,800x600\r\n9,1,Out of range\r\n3,7,Odd mark\r\n#"));
        QCOMPARE(t.c().context.scanSets.title(1), QStringLiteral("800x600"));
        QCOMPARE(t.c().context.scanSets.mark(1), 0);
        // Index 9 is above NumScanSets: it becomes 0.
        QCOMPARE(t.c().context.scanSets.title(0), QStringLiteral("Out of range"));
        QCOMPARE(t.c().context.scanSets.mark(0), 1);
        QCOMPARE(t.c().context.scanSets.title(3), QStringLiteral("Odd mark"));
        QCOMPARE(t.c().context.scanSets.mark(3), 0);
        // The marker line is no title line.
        QCOMPARE(t.c().context.scanSets.title(2), ScanSets::defaultTitle(2));
        QCOMPARE(markChanges, QList<int>{0});

        // At most NumScanSets lines; an index with no row ends the parse.
        const auto lines = ParseScanSetTitles(u"0,1,A\r\n6,1,B\r\n2,1,C\r\n#", 6);
        QCOMPARE(lines.size(), size_t(1));
        QCOMPARE(ParseScanSetTitles(u"0,1,A\r\n1,1,B\r\n2,1,C#", 2).size(), size_t(2));
        QCOMPARE(ParseScanSetTitles(u"2,1,Last#", 6).front().title, QStringLiteral("Last"));
    }

    void currentScanSet_labels()
    {
        Core t;
        t.c().dispatcher.DispatchResponse(QStringLiteral(
            "dc\r\nConfig Number = 3\r\nConfig Name = 1024x768 60Hz\r\nH Freq = 48.15 kHz\r\nV Freq = 60.00 Hz\r\n#"));
        const QString w = win::frmCurrentScanSet;
        QCOMPARE(t.text(w, "lblScanNumber"), QStringLiteral("3"));
        QCOMPARE(t.text(w, "lblScanName"), QStringLiteral("1024x768 60Hz"));

        const QString longName(100, u'x');
        const auto r = ParseCurrentScanSet(QString(QStringLiteral("Config Number = 2\r\nConfig Name = ")
                                                   + longName + QStringLiteral("\r\n#")));
        QCOMPARE(r.name->size(), 72);
        QCOMPARE(*r.number, QStringLiteral("2"));
        // Without the labels nothing is shown.
        const auto none = ParseCurrentScanSet(u"3\r\n#");
        QVERIFY(!none.number && !none.name);
    }

    void syncFrequencies_formatAndPanelsByType()
    {
        Core t;
        t.c().data.MonitorType = 150;
        t.c().dispatcher.DispatchResponse(
            QStringLiteral("dv\r\nVsync Frequency = 60.00\r\nHsync Frequency = 31.25\r\n#"));
        QCOMPARE(t.text("frmTestPoint", "VertFreqBox"), QStringLiteral("60.00"));
        QCOMPARE(t.text("frmTestPoint", "HFreqTextBox"), QStringLiteral("32.00"));
        QCOMPARE(t.text("frmMDITestPoints", "VertFreqBox"), QStringLiteral("<unset>"));

        t.c().data.MonitorType = 225;
        t.c().dispatcher.DispatchResponse(
            QStringLiteral("dv\r\nVsync Frequency = 350\r\nHsync Frequency = 295\r\n#"));
        // 350 Hz is above 300; 295 x 1.024 is too.
        QCOMPARE(t.text("frmMDITestPoints", "VertFreqBox"), QStringLiteral("0.00"));
        QCOMPARE(t.text("frmDeflectionStatus", "HFreqTextBox"), QStringLiteral("0.00"));
        QCOMPARE(t.text("frmTestPoint", "VertFreqBox"), QStringLiteral("60.00"));

        const auto f = ParseSyncFrequencies(u"Hsync Frequency = 31.25\r\n#");
        QCOMPARE(f.vertical, 0.0);
        QCOMPARE(f.horizontal, 0.0); // the H line must follow the V line
    }
};

QTEST_GUILESS_MAIN(TestDacReplies)
#include "test_dacreplies.moc"
