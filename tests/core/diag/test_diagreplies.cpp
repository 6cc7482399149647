// Peek and poke replies and checks, I2C probe results, and the HV limit
// check, through the dispatcher into the control book, the reply framed.

#include "replybench.h"
#include "base/windownames.h"
#include "core/diag/hvlimits.h"
#include "core/diag/i2cprobe.h"
#include "core/diag/memoryreplies.h"

#include <QSet>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

QString shown(ReplyBench &bench, const QString &window, const char *control)
{
    return bench.controls.text(window, QString::fromLatin1(control)).value_or(QStringLiteral("<unset>"));
}

int colourOf(ReplyBench &bench, const char *button)
{
    return bench.controls.color(win::frmI2cProbe, QString::fromLatin1(button)).value_or(-1);
}

} // namespace

class TestDiagReplies : public QObject {
    Q_OBJECT
private slots:
    void memoryReads_landInTheirBoxes()
    {
        ReplyBench c;
        c.dispatcher.DispatchResponse(framedReply("rb", "0x0100 := 0x3f"));
        QCOMPARE(shown(c, win::frmPeekPoke, "DataByteBox"), QStringLiteral("0x3F"));
        // Digits running to the end of the text are all taken.
        c.dispatcher.DispatchResponse(QStringLiteral("rw\r\n0x0100 := 0x12ab"));
        QCOMPARE(shown(c, win::frmPeekPoke, "DataWordBox"), QStringLiteral("0x12AB"));
        c.dispatcher.DispatchResponse(framedReply("rc", "0x0100 := 'T"));
        QCOMPARE(shown(c, win::frmPeekPoke, "txtDataChar"), QStringLiteral("T"));
        c.dispatcher.DispatchResponse(framedReply("a0x200", "Addr = 0x0200"));
        QCOMPARE(shown(c, win::frmPeekPoke, "AddressBox"), QStringLiteral("0x0200"));

        // A byte reply without ":= 0x" and another read letter change nothing.
        c.dispatcher.DispatchResponse(framedReply("rb", "Bad address"));
        c.dispatcher.DispatchResponse(framedReply("rx", "0x0100 := 0x55"));
        QCOMPARE(shown(c, win::frmPeekPoke, "DataByteBox"), QStringLiteral("0x3F"));
        QVERIFY(!ParseMemoryRead(u"x\r\n:= 0x55"));
        // A character reply without an apostrophe shows its first line whole.
        QCOMPARE(ParseMemoryRead(u"c\r\n#")->text, QStringLiteral("c"));
    }

    void hexChecks_refuseWhatIsNoValueOfTheWidth_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("sent"); // empty: refused
        const int b = int(HexWidth::Byte), w = int(HexWidth::Word);
        QTest::newRow("placeholder byte") << "0xXX" << b << "";
        QTest::newRow("placeholder word") << "0xXXXX" << w << "";
        QTest::newRow("empty") << "  " << b << "";
        QTest::newRow("prefix only") << "0x" << b << "";
        QTest::newRow("too wide for a byte") << "0x100" << b << "";
        QTest::newRow("too wide for a word") << "0x12345" << w << "";
        QTest::newRow("blank inside") << "0x1 2" << w << "";
        QTest::newRow("byte") << "0x3f" << b << "0x3F";
        QTest::newRow("byte without prefix") << " A " << b << "0xA";
        QTest::newRow("word") << "0X12ab" << w << "0x12AB";
    }
    void hexChecks_refuseWhatIsNoValueOfTheWidth()
    {
        QFETCH(QString, text);
        QFETCH(int, width);
        QFETCH(QString, sent);
        const HexCheck check = CheckHexValue(text, HexWidth(width), QStringLiteral("data byte"));
        QCOMPARE(check.value.value_or(QString()), sent);
        QCOMPARE(check.problem.isEmpty(), !sent.isEmpty());
        if (!sent.isEmpty())
            return;
        QVERIFY(check.problem.contains(QStringLiteral("data byte")));
        QVERIFY(check.problem.contains(width == 2 ? QStringLiteral("0x00 to 0xFF") : QStringLiteral("0x0000 to 0xFFFF")));
    }

    void probeResults_colourEveryButtonOfTheirPair()
    {
        ReplyBench c;
        c.dispatcher.DispatchResponse(framedReply("pi0x93", "Device 0x93 OK"));
        QCOMPARE(colourOf(c, "btnU119"), Colour::Green);
        QCOMPARE(colourOf(c, "btnU906"), Colour::Green);
        QCOMPARE(colourOf(c, "btnU513"), -1);
        c.dispatcher.DispatchResponse(framedReply("pi0x48", "Device 0x48 NR OK"));
        QCOMPARE(colourOf(c, "btnU513"), Colour::Red);
        c.dispatcher.DispatchResponse(framedReply("pi0xAF", "Device 0xAF NC"));
        QCOMPARE(colourOf(c, "btnU628"), Colour::Yellow);
        // Lower-case addresses and addresses of no device colour nothing.
        c.dispatcher.DispatchResponse(framedReply("pi0xab", "Device 0xab OK"));
        c.dispatcher.DispatchResponse(framedReply("pi0x10", "Device 0x10 OK"));
        QCOMPARE(colourOf(c, "btnU103"), -1);
        QVERIFY(ButtonsForProbeResult(u"i0x93\r\nno device named\r\n#").isEmpty());
        QVERIFY(ButtonsForProbeResult(u"i\r\nDevice 0x").isEmpty());
    }

    void testAll_reachesEveryDevice()
    {
        QCOMPARE(testAllAddresses().size(), 36);
        QSet<QString> reached;
        for (const QString &a : testAllAddresses()) {
            const QStringList buttons = ButtonsForProbeResult(QStringLiteral("i\r\nDevice 0x") + a + QStringLiteral(" OK"));
            QVERIFY2(!buttons.isEmpty(), qPrintable(a));
            for (const QString &b : buttons)
                reached.insert(b);
        }
        QCOMPARE(reached.size(), int(i2cDevices().size()));
        // Each button's own probe colours it.
        for (const I2cDevice &d : i2cDevices())
            QVERIFY(ButtonsForProbeResult(QStringLiteral("i Device 0x") + QLatin1String(d.probe))
                        .contains(QStringLiteral("btn") + QLatin1String(d.part)));
        QCOMPARE(ProbeAddressFromText(u" 0xa4 "), std::optional<QString>(QStringLiteral("A4")));
        QCOMPARE(ProbeAddressFromText(u"5"), std::optional<QString>(QStringLiteral("05")));
        QVERIFY(!ProbeAddressFromText(u"1AB"));
        QVERIFY(!ProbeAddressFromText(u"zz"));
    }

    void hvLimits_wholeNumbersWithinTheReportedRange()
    {
        // Before any report: 0..255 for both.
        QCOMPARE(CheckHvLimit(HvLimit::Upper, u" 200 ", 0, 0).value, std::optional<int>(200));
        QVERIFY(!CheckHvLimit(HvLimit::Upper, u"256", 0, 0).value);
        // With a report of 210 / 120: the upper from 120, the lower up to 210.
        QCOMPARE(CheckHvLimit(HvLimit::Upper, u"120", 210, 120).value, std::optional<int>(120));
        const HvLimitCheck low = CheckHvLimit(HvLimit::Upper, u"119", 210, 120);
        QVERIFY(!low.value);
        QCOMPARE(low.problem, QStringLiteral("The HV upper limit must be a whole number from 120 to 255."));
        QCOMPARE(CheckHvLimit(HvLimit::Lower, u"0", 210, 120).value, std::optional<int>(0));
        QCOMPARE(CheckHvLimit(HvLimit::Lower, u"211", 210, 120).problem,
                 QStringLiteral("The HV lower limit must be a whole number from 0 to 210."));
        for (const char16_t *junk : {u"", u"12.5", u"-1", u"1e2", u"abc", u"0x10"})
            QVERIFY2(!CheckHvLimit(HvLimit::Lower, junk, 210, 120).value, qPrintable(QString::fromUtf16(junk)));
    }
};

QTEST_MAIN(TestDiagReplies)
#include "test_diagreplies.moc"
