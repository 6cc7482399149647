// The limits report, the high-voltage report and the duty-cycle replies, from
// the text the line framing delivers (echo, CR LF, the monitor's lines, "#")
// through the dispatcher into the control book and the monitor image.

#include "replybench.h"
#include "base/windownames.h"
#include "core/replies/adjustreplies.h"
#include "core/replies/replynumbers.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

QString text(const ReplyBench &bench, const QString &window, const QString &control)
{
    return bench.controls.text(window, control).value_or(QStringLiteral("<unset>"));
}

std::optional<bool> checked(const ReplyBench &bench, const QString &window, const char *control)
{
    return bench.controls.checked(window, QString::fromLatin1(control));
}

void dispatch(ReplyBench &bench, const char *reply)
{
    bench.dispatcher.DispatchResponse(QString::fromLatin1(reply));
}

const char *const kLimitsReply =
    "dp\r\n1,0\r\nPhotocell Enabled\r\nLimits 12.5, 13.5,40,200,-2.5,250.49,9,99,3,4\r\nBC 0,1\r\n#";

const char *const kHvReply =
    "dh\r\nUpper Limit = 210.6\r\nLower Limit = 95\r\nHV Control Value = 200, 175, 170\r\n"
    "Focus Control Value = 120, 121, 122\r\nVideo +80V Control Value = 90, 91, 92\r\n#";

} // namespace

class TestAdjustReplies : public QObject {
    Q_OBJECT
private slots:
    void numbers_roundHalvesToEven_andStayWithin16Bits()
    {
        QCOMPARE(RoundToInt16(12.5), 12);
        QCOMPARE(RoundToInt16(13.5), 14);
        QCOMPARE(RoundToInt16(-2.5), -2);
        QCOMPARE(RoundToInt16(250.49), 250);
        QCOMPARE(RoundToInt16(1e9), 32767);
        QCOMPARE(RoundToInt16(-1e9), -32768);
        QCOMPARE(LeadingRoundedOrZero(u"  7.5,8"), 8);
        QCOMPARE(LeadingRoundedOrZero(u"abc"), 0);
        QCOMPARE(LeadingRoundedOrZero(u"-"), 0);
    }

    void limitsReport_everyItemIntoEveryPanelThatShowsIt()
    {
        ReplyBench c;
        c.data.MonitorType = 225;
        dispatch(c, kLimitsReply);

        for (const QString &w : {win::frmTestPoint, win::frmMDITestPoints, win::frmDeflectionStatus}) {
            QCOMPARE(text(c, w, QStringLiteral("VFailValue")), QStringLiteral("Not Operating"));
            QCOMPARE(text(c, w, QStringLiteral("HFailValue")), QStringLiteral("Operating"));
        }
        QCOMPARE(checked(c, win::frmBacklight, "ckPhotocell"), std::optional<bool>(true));
        const QStringList expected = {"12", "14", "40", "200", "-2", "250", "9", "99"};
        for (int i = 0; i < kLimitCount; ++i) {
            QCOMPARE(text(c, win::frmLimits, QStringLiteral("lblLimit_%1").arg(i)), expected[i]);
            QCOMPARE(text(c, win::frmBrightnessContrast, QStringLiteral("lblLimits_%1").arg(i)), expected[i]);
        }
        QCOMPARE(text(c, win::frmBrightnessContrast, QStringLiteral("txtHystC")), QStringLiteral("3"));
        QCOMPARE(text(c, win::frmBrightnessContrast, QStringLiteral("txtHystB")), QStringLiteral("4"));
        // "BC 0,1": brightness under automatic control, contrast not.
        QCOMPARE(checked(c, win::frmBrightnessContrast, "Option4"), std::optional<bool>(true));
        QCOMPARE(checked(c, win::frmBrightnessContrast, "Option3"), std::optional<bool>(false));
        QCOMPARE(checked(c, win::frmBrightnessContrast, "Option2"), std::optional<bool>(false));
        QCOMPARE(checked(c, win::frmBrightnessContrast, "Option1"), std::optional<bool>(true));
        // Reading the report asks nothing of the monitor.
        QVERIFY(c.profiles.untouched());
    }

    void limitsReport_hysteresisAndFlagsByMonitorType()
    {
        struct Case { int type; bool hysteresis; bool flags; };
        for (const Case k : {Case{215, false, false}, Case{216, true, true}, Case{299, true, true},
                             Case{300, true, false}, Case{301, false, false}, Case{150, false, false}}) {
            const LimitsReport r = ParseLimitsReport(u"0,0\r\nLimits 1,2,3,4,5,6,7,8,30,40\r\nBC 1,0\r\n#", k.type);
            QVERIFY(r.limits);
            QCOMPARE(r.contrastHysteresis.has_value(), k.hysteresis);
            QCOMPARE(r.brightnessHysteresis.has_value(), k.hysteresis);
            if (k.hysteresis) {
                QCOMPARE(*r.contrastHysteresis, 30);
                QCOMPARE(*r.brightnessHysteresis, 40);
            }
            QCOMPARE(r.brightnessAutomatic.has_value(), k.flags);
            if (k.flags) {
                QCOMPARE(*r.brightnessAutomatic, false);
                QCOMPARE(*r.contrastAutomatic, true);
            }
        }
    }

    void limitsReport_missingPartsChangeNothing_shortListsRepeat()
    {
        ReplyBench c;
        c.data.MonitorType = 230;
        c.controls.setText(win::frmLimits, QStringLiteral("lblLimit_3"), QStringLiteral("77"));
        c.controls.setText(win::frmBrightnessContrast, QStringLiteral("txtHystC"), QStringLiteral("5"));
        // Both photocell labels: the box ends clear. No "Limits ": limits and
        // hysteresis stay. A first character that is no state writes nothing.
        dispatch(c, "dp\r\nX Photocell Enabled Photocell Disabled\r\n#");
        QCOMPARE(checked(c, win::frmBacklight, "ckPhotocell"), std::optional<bool>(false));
        QCOMPARE(text(c, win::frmLimits, QStringLiteral("lblLimit_3")), QStringLiteral("77"));
        QCOMPARE(text(c, win::frmBrightnessContrast, QStringLiteral("txtHystC")), QStringLiteral("5"));
        QCOMPARE(text(c, win::frmTestPoint, QStringLiteral("VFailValue")), QStringLiteral("<unset>"));
        QCOMPARE(checked(c, win::frmBrightnessContrast, "Option1"), std::nullopt);

        // Fewer values than limits: the last one repeats; "Photocell
        // Disabled" alone clears the box.
        const LimitsReport r = ParseLimitsReport(u"0,1 Photocell Disabled Limits 10,20", 230);
        QCOMPARE(r.photocellEnabled, std::optional<bool>(false));
        QCOMPARE(*r.horizontal, QStringLiteral("Not Operating"));
        const std::array<int, kLimitCount> repeated{10, 20, 20, 20, 20, 20, 20, 20};
        QCOMPARE(*r.limits, repeated);
    }

    void hvReport_fieldsAndTheirAbsence()
    {
        const HvReport r = ParseHvReport(QString::fromLatin1(kHvReply).mid(4));
        QCOMPARE(r.upperLimit, 211);
        QCOMPARE(r.lowerLimit, 95);
        QCOMPARE(r[HvControl::HighVoltage], (HvControlValues{200, 175, 170}));
        QCOMPARE(r[HvControl::Focus], (HvControlValues{120, 121, 122}));
        // A control the report does not name is not known, never 0.
        QCOMPARE(r[HvControl::G2], (HvControlValues{}));
        QCOMPARE(r[HvControl::Video], (HvControlValues{90, 91, 92}));
        // A line with one number does not borrow the next line's values.
        const HvReport shortLine = ParseHvReport(u"G2 Control Value = 40\r\nFocus Control Value = 1, 2, 3\r\n#");
        QCOMPARE(shortLine[HvControl::G2], (HvControlValues{40, std::nullopt, std::nullopt}));
        QCOMPARE(shortLine.upperLimit, std::nullopt);
    }

    void hvReport_onAnMdiUnit_showsEveryControl_sendsNothing()
    {
        ReplyBench c;
        c.data.MonitorType = 225;
        dispatch(c, kHvReply);
        QCOMPARE(c.data.HvUpperLimit, qint16(211));
        QCOMPARE(c.data.HvLowerLimit, qint16(95));
        QCOMPARE(c.controls.value(win::frmMDI_HV, QStringLiteral("HScroll1_0")), std::optional<int>(200));
        QCOMPARE(c.controls.value(win::frmMDI_HV, QStringLiteral("HScroll1_1")), std::optional<int>(120));
        QCOMPARE(c.controls.value(win::frmMDI_HV, QStringLiteral("HScroll1_3")), std::optional<int>(90));
        // HV present 200 does not fit the 6-bit slider of frmG2: the slider
        // is disabled and left where it was, the box shows the monitor's value.
        QCOMPARE(c.controls.value(win::frmG2, QStringLiteral("HScroll1_1")), std::nullopt);
        QCOMPARE(c.controls.enabled(win::frmG2, QStringLiteral("HScroll1_1")), std::optional<bool>(false));
        QCOMPARE(text(c, win::frmG2, QStringLiteral("Label2_1")), QStringLiteral("200"));
        QCOMPARE(text(c, win::frmG2, QStringLiteral("Label3_1")), QStringLiteral("63"));
        QCOMPARE(text(c, win::frmG2, QStringLiteral("Label4_1")), QStringLiteral("63"));
        // Without "G2 Control Value = " its boxes are empty and its slider unknown.
        QCOMPARE(text(c, win::frmMDI_HV, QStringLiteral("Text2_2")), QString());
        QCOMPARE(text(c, win::frmMDI_HV, QStringLiteral("Text3_2")), QString());
        QCOMPARE(c.controls.value(win::frmMDI_HV, QStringLiteral("HScroll1_2")), std::nullopt);
        QCOMPARE(text(c, win::frmMDI_HV, QStringLiteral("Text2_1")), QStringLiteral("122"));
        QCOMPARE(text(c, win::frmMDI_HV, QStringLiteral("Text3_3")), QStringLiteral("091"));
        for (const QString &w : {win::frmMDI_HV, win::frmHVLimits, win::frmMDITestPoints}) {
            QCOMPARE(text(c, w, QStringLiteral("HVUpperLimitTextBox")), QStringLiteral("211"));
            QCOMPARE(text(c, w, QStringLiteral("HVLowerLimitTextBox")), QStringLiteral("095"));
        }
        QCOMPARE(text(c, win::frmMDITestPoints, QStringLiteral("FocusLabel")), QStringLiteral("063"));
        QCOMPARE(text(c, win::frmMDITestPoints, QStringLiteral("G2Label")), QString());
        // No anode reading yet: nothing to show in its box.
        QCOMPARE(text(c, win::frmMDI_HV, QStringLiteral("HVValTextBox")), QStringLiteral("<unset>"));
        QVERIFY(!c.context.applying.active());
        QVERIFY(!c.context.applying.showOnly());
        QVERIFY(c.profiles.untouched());
    }

    void hvReport_byMonitorType()
    {
        ReplyBench c;
        c.data.LastReading[MonitorData::kAnodeVoltageReading] = 7;
        c.data.MonitorType = 150;
        dispatch(c, kHvReply);
        QCOMPARE(text(c, win::frmTestPoint, QStringLiteral("HVUpperLimitTextBox")), QStringLiteral("211"));
        QCOMPARE(text(c, win::frmTestPoint, QStringLiteral("HVValTextBox")), QStringLiteral("007"));
        QCOMPARE(c.controls.value(win::frmMDI_HV, QStringLiteral("HScroll1_0")), std::nullopt);

        // Type 200 and the flat panels keep the limits only.
        for (int type : {200, 300}) {
            ReplyBench k;
            k.data.MonitorType = qint16(type);
            dispatch(k, kHvReply);
            QCOMPARE(k.data.HvUpperLimit, qint16(211));
            QVERIFY(k.controls.entriesFor(win::frmMDI_HV).isEmpty());
            QVERIFY(k.controls.entriesFor(win::frmTestPoint).isEmpty());
            QVERIFY(k.controls.entriesFor(win::frmG2).isEmpty());
        }
    }

    void dutyCycle_selectsTheBoxByLetter()
    {
        ReplyBench c;
        dispatch(c, "drs\r\nDuty Cycle = 128 %\r\n#");
        QCOMPARE(text(c, win::frmBacklight, QStringLiteral("txtFilSteady")), QStringLiteral("128"));
        dispatch(c, "DRW\r\nDuty Cycle = 64 %\r\n#");
        QCOMPARE(text(c, win::frmBacklight, QStringLiteral("txtFilWarmup")), QStringLiteral("64"));
        dispatch(c, "drf\r\nDuty Cycle = 200 %\r\n#");
        QCOMPARE(text(c, win::frmBacklight, QStringLiteral("txtSetFilImmediate")), QStringLiteral("200"));
        // Another letter, or no label: nothing.
        QCOMPARE(ParseDutyCycle(u"x\r\nDuty Cycle = 5 %\r\n#"), std::nullopt);
        QCOMPARE(ParseDutyCycle(u"s\r\nDuty 5 %\r\n#"), std::nullopt);
        QCOMPARE(ParseDutyCycle(u"n\r\nDuty Cycle = 7 %"),
                 (std::optional<DutyCycleReply>(DutyCycleReply{FilamentSetting::Immediate, QStringLiteral("7")})));
    }
};

QTEST_MAIN(TestAdjustReplies)
#include "test_adjustreplies.moc"
