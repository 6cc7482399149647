// The operating-time, operating-mode and deflection/HV reply handlers on a
// book and an image, without windows: what they store, what they write into
// the control book, and that they ask nothing of the main window (the one
// place a reply could reach the monitor from).

#include "replybench.h"
#include "base/windownames.h"
#include "core/replies/deflhv.h"
#include "core/replies/operatingmode.h"
#include "core/replies/operatingtime.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

std::optional<bool> checked(const ReplyBench &bench, const QString &window, const char *control)
{
    return bench.controls.checked(window, QString::fromLatin1(control));
}

QString text(const ReplyBench &bench, const QString &window, const QString &control)
{
    return bench.controls.text(window, control).value_or(QStringLiteral("<unset>"));
}

} // namespace

class TestConfigReplies : public QObject {
    Q_OBJECT
private slots:
    void operatingTime_addsBothTimesWithCarries()
    {
        const auto r = ParseOperatingTime(u"1,23,59,59\r\n0,0,0,1\r\n42\r\n#");
        QVERIFY(r);
        QCOMPARE(*r, (OperatingTimeReading{2, 0, 0, 0, 42}));
        QCOMPARE(FormatOperatingTime(*r), QStringLiteral("2:00:00:00"));

        const auto unchanged = ParseOperatingTime(u"5,7,3,9\r\n0,0,0,0\r\n7\r\n#");
        QVERIFY(unchanged);
        QCOMPARE(FormatOperatingTime(*unchanged), QStringLiteral("5:07:03:09"));

        // Carries from every field at once, and session hours beyond a day.
        const auto r2 = ParseOperatingTime(u"10,22,30,40\r\n1,26,45,50\r\n0\r\n#");
        QVERIFY(r2);
        QCOMPARE(*r2, (OperatingTimeReading{13, 1, 16, 30, 0}));
    }

    void operatingTime_readsFullWidthCounters()
    {
        // 65535 days and a six-digit cycle count are the monitor's own numbers,
        // not cut at the fifth digit.
        const auto r = ParseOperatingTime(u"\r\n65535,0,0,0\r\n\r\n0,0,0,0\r\n123456\r\nUser Controls = 1\r\n#");
        QVERIFY(r);
        QCOMPARE(r->days, 65535);
        QCOMPARE(r->cycles, 123456);
    }

    void operatingTime_incompleteOrForeignReplies_giveNothing()
    {
        QVERIFY(!ParseOperatingTime(u"#"));
        QVERIFY(!ParseOperatingTime(u"1,2,3,4\r\n5,6,7,8\r\n#"));      // no cycles
        QVERIFY(!ParseOperatingTime(u"1,2,3\r\n5,6,7,8\r\n9\r\n#"));    // three fields
        QVERIFY(!ParseOperatingTime(u"1,2,3,4\r\n5,6,x,8\r\n9\r\n#"));  // not a number
        QVERIFY(!ParseOperatingTime(u"1,2,3,-4\r\n5,6,7,8\r\n9\r\n#")); // negative
        QVERIFY(!ParseOperatingTime(u"5:07:03:09\r\n\r\n0\r\n"));       // file text form
    }

    void operatingTimeReply_storesAndFillsBothPanels_DtAndDu()
    {
        ReplyBench bench;
        bench.data.SerialNumber = QStringLiteral("SN-1234");
        bench.dispatcher.DispatchResponse(QStringLiteral("dt\r\n1,23,59,59\r\n0,0,0,1\r\n42\r\n#"));
        QCOMPARE(bench.data.OperatingTimeText, QStringLiteral("2:00:00:00"));
        QCOMPARE(bench.data.OperatingCyclesText, QStringLiteral("42"));
        QCOMPARE(text(bench, win::frmOperatingTime, "lblOperatingTimeValue"), QStringLiteral("2:00:00:00"));
        QCOMPARE(text(bench, win::frmOperatingTime, "lblOperatingCyclesValue"), QStringLiteral("42"));
        const QStringList boxes = {"OperatingDaysTextBox", "OperatingHoursTextBox", "OperatingMinutesTextBox",
                                   "OperatingSecondsTextBox", "OperatingCyclesTextBox"};
        const QStringList expected = {"2", "0", "0", "0", "42"};
        for (int i = 0; i < boxes.size(); ++i)
            QCOMPARE(text(bench, win::frmSetOperatingTimes, boxes[i]), expected[i]);
        QCOMPARE(text(bench, win::frmSetOperatingTimes, "lblSerialNumberValue"), QStringLiteral("SN-1234"));

        bench.dispatcher.DispatchResponse(QStringLiteral("du\r\n3,1,2,3\r\n0,0,0,0\r\n5\r\n#"));
        QCOMPARE(bench.data.OperatingTimeText, QStringLiteral("3:01:02:03"));

        // A DU reply that is not in the counter format leaves everything.
        bench.dispatcher.DispatchResponse(QStringLiteral("du\r\nUser Controls = 1\r\n#"));
        QCOMPARE(bench.data.OperatingTimeText, QStringLiteral("3:01:02:03"));
        QCOMPARE(text(bench, win::frmOperatingTime, "lblOperatingCyclesValue"), QStringLiteral("5"));
        QVERIFY(bench.profiles.untouched());
    }

    void operatingEntries_areCheckedAgainstTheirRanges()
    {
        const auto &f = operatingFields();
        QCOMPARE(f[0].command, QChar(u'd'));
        QVERIFY(IsOperatingEntryAcceptable(f[0], u"65535"));
        QVERIFY(IsOperatingEntryAcceptable(f[0], u"40000")); // beyond 16-bit signed
        QVERIFY(!IsOperatingEntryAcceptable(f[0], u"70000"));
        QVERIFY(IsOperatingEntryAcceptable(f[1], u" 23 "));
        QVERIFY(!IsOperatingEntryAcceptable(f[1], u"24"));
        QVERIFY(!IsOperatingEntryAcceptable(f[2], u"60"));
        QVERIFY(!IsOperatingEntryAcceptable(f[3], u"5a"));
        QVERIFY(!IsOperatingEntryAcceptable(f[3], u"-1"));
        QVERIFY(IsOperatingEntryAcceptable(f[4], u"2147483647"));
        QVERIFY(!IsOperatingEntryAcceptable(f[4], u"12x"));
        QVERIFY(!IsOperatingEntryAcceptable(f[4], u"99999999999"));
        QVERIFY(IsOperatingEntryAcceptable(f[2], u"")); // nothing to refuse
        QCOMPARE(operatingEntryMessage(f[1]), QStringLiteral("Please Re-Enter\r\n0 <= Operating Hours <= 23"));
        QCOMPARE(operatingEntryMessage(f[2]), QStringLiteral("Please Re-Enter\r\n0 <= Operating Minutes <= 59"));
    }

    void modeWord_bit8KeepsItsMeaningBothWays()
    {
        // Writing back any word just read reproduces it, display type included.
        for (int word = 1; word <= 31; ++word)
            QCOMPARE(ComposeOperatingModeWord(OptionsFromWord(word)), word);
        QVERIFY(OptionsFromWord(8).monochrome);
        QVERIFY(!OptionsFromWord(20).monochrome);

        OperatingModeOptions o;
        o.extendedCommands = true;
        o.dacUpdating = true;
        o.contrastDisabled = true;
        QCOMPARE(ComposeOperatingModeWord(o), 21);
        o.monochrome = true;
        QCOMPARE(ComposeOperatingModeWord(o), 29);
    }

    void modeWord_parsesNotationsAndRange()
    {
        QCOMPARE(ParseOperatingModeWord(u"Model Type = 0x14\r\n#"), std::optional<int>(20));
        QCOMPARE(ParseOperatingModeWord(u"Model Type = 017\r\n#"), std::optional<int>(15));
        QCOMPARE(ParseOperatingModeWord(u"Model Type = 31"), std::optional<int>(31));
        QVERIFY(!ParseOperatingModeWord(u"Model Type = 0\r\n#"));
        QVERIFY(!ParseOperatingModeWord(u"Model Type = 32\r\n#"));
        QVERIFY(!ParseOperatingModeWord(u"Model Type = \r\n#"));
        QVERIFY(!ParseOperatingModeWord(u"Mode = 20\r\n#"));
    }

    void modeReply_0x14_selectsOptionsOnBothPanels_underGuard()
    {
        ReplyBench bench;
        QList<bool> guardSeen;
        connect(&bench.controls, &ControlBook::changed, this,
                [&] { guardSeen << bench.context.applying.active(); });
        bench.dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 0x14\r\n#"));

        const QString &w = win::frmOperatingMode;
        QCOMPARE(checked(bench, w, "Mirovan_Commands_Enabled_Opt"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "Mirovan_Commands_Disabled_Opt"), std::optional<bool>(false));
        QCOMPARE(checked(bench, w, "ColorOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "MonochromeOption"), std::optional<bool>(false));
        QCOMPARE(checked(bench, w, "DacUpdatingEnabledOptionButton"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "UserBrightnessEnabledOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "UserContrastEnabledOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, win::frmBrightnessContrast, "UserBrightnessEnabledOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, win::frmBrightnessContrast, "UserBrightnessDisabledOption"), std::optional<bool>(false));
        QCOMPARE(checked(bench, win::frmBrightnessContrast, "UserContrastEnabledOption"), std::optional<bool>(true));
        QVERIFY(!guardSeen.isEmpty());
        QVERIFY(!guardSeen.contains(false));
        QVERIFY(!bench.context.applying.active());
        QVERIFY(bench.profiles.untouched());

        // Out of range or missing: nothing changes, and the guard is clear again.
        guardSeen.clear();
        bench.dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 0\r\n#"));
        bench.dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 32\r\n#"));
        bench.dispatcher.DispatchResponse(QStringLiteral("dw\r\n#"));
        QVERIFY(guardSeen.isEmpty());
        QVERIFY(!bench.context.applying.active());

        bench.dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 11\r\n#"));
        QCOMPARE(checked(bench, w, "Mirovan_Commands_Disabled_Opt"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "MonochromeOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, w, "DACUpdatingDisabledOptionButton"), std::optional<bool>(true));
        QCOMPARE(checked(bench, win::frmBrightnessContrast, "UserBrightnessDisabledOption"), std::optional<bool>(true));
        QCOMPARE(checked(bench, win::frmBrightnessContrast, "UserContrastDisabledOption"), std::optional<bool>(true));
    }

    void deflHvReply_selectsReportedState()
    {
        QCOMPARE(ParseDeflHvReply(u"h1\r\n#"), (DeflHvState{DeflHvState::Switch::HighVoltage, true}));
        QCOMPARE(ParseDeflHvReply(u"D0"), (DeflHvState{DeflHvState::Switch::Deflection, false}));
        QVERIFY(!ParseDeflHvReply(u"D2\r\n#"));
        QVERIFY(!ParseDeflHvReply(u"H"));

        ReplyBench bench;
        bench.dispatcher.DispatchResponse(QStringLiteral("mh1\r\n#"));
        QCOMPARE(checked(bench, win::frmDeflHVEnable, "optHVEnable"), std::optional<bool>(true));
        QCOMPARE(checked(bench, win::frmDeflHVEnable, "optHVDisable"), std::optional<bool>(false));
        QVERIFY(!checked(bench, win::frmDeflHVEnable, "optDeflEnable"));

        bench.dispatcher.DispatchResponse(QStringLiteral("MD2\r\n#"));
        QVERIFY(!checked(bench, win::frmDeflHVEnable, "optDeflEnable"));
        QVERIFY(!checked(bench, win::frmDeflHVEnable, "optDeflDisable"));
        QVERIFY(!bench.context.applying.active());
        QVERIFY(bench.profiles.untouched());
    }
};

QTEST_MAIN(TestConfigReplies)
#include "test_configreplies.moc"
