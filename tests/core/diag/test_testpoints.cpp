// The test-point readings of the three monitor families: conversions and
// number formats, placeholders for readings that were not measured, and the
// replies as the framing delivers them through the dispatcher into the
// control book, the monitor image and the history.

#include "replybench.h"
#include "base/windownames.h"
#include "core/diag/diaghandlers.h"
#include "core/diag/numberformat.h"
#include "core/diag/testpoints.h"
#include "model/trendhistory.h"

#include <QDateTime>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

QString textOf(const TestPointReply &r, const char *control)
{
    const TestPointValue *v = r.find(QString::fromLatin1(control));
    return v ? v->text : QStringLiteral("<absent>");
}

// The reply to "da" of a modular monitor: four counts, then named fields.
QString mdiReply(const char *named)
{
    return QStringLiteral("da\r\n159,160,128,255\r\n") + QString::fromLatin1(named) + QStringLiteral("\r\n#");
}

QString label(ReplyBench &bench, const QString &window, const char *control)
{
    return bench.controls.text(window, QString::fromLatin1(control)).value_or(QStringLiteral("<unset>"));
}

} // namespace

class TestTestPoints : public QObject {
    Q_OBJECT
private slots:
    void formats_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("text");
        QTest::newRow("two decimals") << 6.248 << "#0.00" << "6.25";
        QTest::newRow("integer digit kept") << 0.5 << "#0.00" << "0.50";
        QTest::newRow("two integer digits") << 5.3 << "#00.0" << "05.3";
        QTest::newRow("three digits") << 3.0 << "000" << "003";
        QTest::newRow("negative, wider than the picture") << -520.0 << "000" << "-520";
        QTest::newRow("negative two digits") << -19.48 << "00.0" << "-19.5";
        QTest::newRow("half away from zero") << 0.125 << "0.00" << "0.13";
        QTest::newRow("negative half") << -2.5 << "0" << "-3";
        QTest::newRow("rounds to zero: no sign") << -0.004 << "#0.00" << "0.00";
        QTest::newRow("whole number") << 300.02 << "#0" << "300";
    }
    void formats()
    {
        QFETCH(double, value);
        QFETCH(QString, picture);
        QFETCH(QString, text);
        QCOMPARE(FormatNumber(value, picture), text);
    }

    void early_colourAndMonochromeScales()
    {
        const QString list = QStringLiteral("99,128,64,30,214,203,209\r\n#");
        const TestPointReply colour = ParseEarlyTestPoints(list, true);
        QCOMPARE(textOf(colour, "HFreqTextBox"), QStringLiteral("31.6"));
        QCOMPARE(textOf(colour, "BCtrlValue"), QStringLiteral("2.00 V"));
        QCOMPARE(textOf(colour, "CCtrlValue"), QStringLiteral("1.00 V"));
        // Count 30 is below the colour tube's floor of 37: no current.
        QCOMPARE(textOf(colour, "IAnodeValue"), QStringLiteral("0 uA"));
        QCOMPARE(textOf(colour, "VAnodeValue"), QStringLiteral("20.0 kV"));
        QCOMPARE(textOf(colour, "LV80Value"), QStringLiteral("80.1 V"));
        QCOMPARE(textOf(colour, "LV175Value"), QStringLiteral("174.7 V"));
        // The raised count is what is kept.
        QCOMPARE(colour.kept[3], std::optional<int>(37));
        QCOMPARE(colour.kept[4], std::optional<int>(214));

        const TestPointReply mono = ParseEarlyTestPoints(list, false);
        QCOMPARE(textOf(mono, "IAnodeValue"), QStringLiteral("23 uA")); // (30 - 18) x 486 / 256
        QCOMPARE(textOf(mono, "VAnodeValue"), QStringLiteral("12.6 kV"));
        QCOMPARE(mono.kept[3], std::optional<int>(30));
        QCOMPARE(textOf(ParseEarlyTestPoints(u"1,1,1,10,10,1,1", false), "IAnodeValue"), QStringLiteral("0 uA"));
        QCOMPARE(textOf(ParseEarlyTestPoints(u"1,1,1,40,10,1,1", true), "VAnodeValue"), QStringLiteral("00.9 kV"));
    }

    void early_missingAndJunkFieldsAreNotMeasured()
    {
        // A short list, an empty field, a word and a count beyond 8 bits.
        const TestPointReply r = ParseEarlyTestPoints(u"99,,abc,300,214\r\n#", true);
        QCOMPARE(textOf(r, "HFreqTextBox"), QStringLiteral("31.6"));
        for (const char *c : {"BCtrlValue", "CCtrlValue", "IAnodeValue", "LV80Value", "LV175Value"})
            QCOMPARE(textOf(r, c), kNotMeasured);
        QCOMPARE(textOf(r, "VAnodeValue"), QStringLiteral("20.0 kV"));
        QCOMPARE(r.kept[1], std::optional<int>(-1));
        QCOMPARE(r.kept[3], std::optional<int>(-1)); // never the floor of a missing count
        QVERIFY(!r.find(u"BCtrlValue")->value);
    }

    void mdi_listedAndNamedFields()
    {
        const TestPointReply r = ParseMdiTestPoints(mdiReply(
            "Video_+80V 243\r\nAnode Voltage 221\r\nAnode Current 123\r\nFocus Voltage 31\r\n"
            "G2 Voltage 125\r\nMaster G2 120\r\n-8V 255\r\n+90V 202\r\n+24V 204\r\n+12V 204\r\n"
            "+6.3V 203\r\n+5V 255\r\n-12V 204\r\n-100V 204").mid(4));
        QCOMPARE(textOf(r, "lblCPUP5Value"), QStringLiteral("4.99 V"));
        QCOMPARE(textOf(r, "BCtrlValue"), QStringLiteral("2.50 V"));
        QCOMPARE(textOf(r, "CCtrlValue"), QStringLiteral("2.00 V"));
        QCOMPARE(textOf(r, "lblCCtrlX16Value"), QStringLiteral("3.98 V"));
        QCOMPARE(textOf(r, "lblLV80Value"), QStringLiteral("80.05 V"));
        QCOMPARE(textOf(r, "HVValTextBox"), QStringLiteral("221"));
        QCOMPARE(textOf(r, "VAnodeValue"), QStringLiteral("19.98 kV"));
        QCOMPARE(textOf(r, "IAnodeValue"), QStringLiteral("300 uA"));
        QCOMPARE(textOf(r, "FocusLabel"), QStringLiteral("6.08 kV"));
        QCOMPARE(textOf(r, "G2Label"), QStringLiteral("500.00 V"));
        // The rails: +5V at full scale 4 x 15.62 / 10 = 6.248; the negative
        // rails read +4 V at full scale against their reference.
        QCOMPARE(textOf(r, "lblVoltage_0"), QStringLiteral("04.0V"));
        QCOMPARE(textOf(r, "lblVoltage_1"), QStringLiteral("+090.0V"));
        QCOMPARE(textOf(r, "lblVoltage_2"), QStringLiteral("+24.0V"));
        QCOMPARE(textOf(r, "lblVoltage_3"), QStringLiteral("+12.0V"));
        QCOMPARE(textOf(r, "lblVoltage_4"), QStringLiteral("+06.3V"));
        QCOMPARE(textOf(r, "lblVoltage_5"), QStringLiteral("+6.25V"));
        QCOMPARE(textOf(r, "lblVoltage_6"), QStringLiteral("-12.1V"));
        QCOMPARE(textOf(r, "lblVoltage_7"), QStringLiteral("-101V"));
        // The anode-voltage count is kept as reading 5 for the HV panels.
        QCOMPARE(r.kept[4], std::optional<int>(221));
        QVERIFY(!r.kept[0]);

        QCOMPARE(textOf(ParseMdiTestPoints(u"1,1,1,1\r\n-8V 0\r\nAnode Voltage 5"), "lblVoltage_0"),
                 QStringLiteral("-19.5V"));
        QCOMPARE(textOf(ParseMdiTestPoints(u"1,1,1,1\r\nAnode Voltage 5"), "HVValTextBox"), QStringLiteral("005"));
    }

    void mdi_absentNamesStayAbsent_junkIsNotMeasured()
    {
        const TestPointReply r = ParseMdiTestPoints(u"159,x\r\nG2 Voltage abc\r\nBlue G2 100\r\n#");
        QCOMPARE(textOf(r, "lblCPUP5Value"), QStringLiteral("4.99 V"));
        QCOMPARE(textOf(r, "BCtrlValue"), kNotMeasured);
        QCOMPARE(textOf(r, "lblCCtrlX16Value"), kNotMeasured);
        QCOMPARE(textOf(r, "G2Label"), kNotMeasured);
        // No "Focus Voltage ": only the blue gun's G2 writes FocusLabel.
        QCOMPARE(textOf(r, "FocusLabel"), QStringLiteral("392V"));
        QVERIFY(!r.find(u"VAnodeValue"));
        QVERIFY(!r.find(u"lblVoltage_0"));
        QVERIFY(!r.kept[4]);
        // A later field sharing a label wins it.
        QCOMPARE(textOf(ParseMdiTestPoints(u"1,1,1,1\r\nG2 Voltage 125\r\nGreen G2 128"), "G2Label"),
                 QStringLiteral("502V"));
    }

    void flatPanel_list()
    {
        const TestPointReply r = ParseFlatPanelTestPoints(u"64,128,96,32,10,20,30,159,206,204,204,51\r\n#");
        QCOMPARE(textOf(r, "lblACH7"), QStringLiteral("1.00 V"));
        QCOMPARE(textOf(r, "ECCtrlValue"), QStringLiteral("0.50 V"));
        QCOMPARE(textOf(r, "lblACH6"), QStringLiteral("0.47 V"));
        QCOMPARE(textOf(r, "P5VM"), QStringLiteral("4.99 V"));
        QCOMPARE(textOf(r, "lblVoltage_0"), QStringLiteral("28.05 V"));
        QCOMPARE(textOf(r, "lblVoltage_1"), QStringLiteral("23.01 V"));
        QCOMPARE(textOf(r, "lblVoltage_2"), QStringLiteral("4.99 V"));
        QCOMPARE(textOf(r, "lblVoltage_3"), QStringLiteral("-5.02 V"));
        QCOMPARE(r.kept[6], std::optional<int>(30));
        const TestPointReply shortList = ParseFlatPanelTestPoints(u"64,128\r\n#");
        QCOMPARE(textOf(shortList, "lblVoltage_3"), kNotMeasured);
    }

    void throughTheDispatcher_writesEveryPanelAndKeepsHistory()
    {
        ReplyBench c;
        c.data.MonitorType = 225;
        c.controls.setText(win::frmMDITestPoints, QStringLiteral("FocusLabel"), QStringLiteral("earlier"));
        c.clock.advance(1000);
        c.dispatcher.DispatchResponse(mdiReply("Anode Voltage 221\r\nAnode Current 123\r\n+5V 255"));
        QCOMPARE(label(c, win::frmMDITestPoints, "lblVoltage_5"), QStringLiteral("+6.25V"));
        QCOMPARE(label(c, win::frmCRTVoltages, "lblVoltage_5"), QStringLiteral("+6.25V"));
        QCOMPARE(label(c, win::frmCRTVoltages, "BCtrlValue"), QStringLiteral("2.50 V"));
        QCOMPARE(label(c, win::frmMDI_HV, "IAnodeValue"), QStringLiteral("300 uA"));
        QCOMPARE(label(c, win::frmHVLimits, "HVValTextBox"), QStringLiteral("221"));
        QCOMPARE(label(c, win::frmCRTVoltages, "HVValTextBox"), QStringLiteral("<unset>"));
        QCOMPARE(label(c, win::frmMDITestPoints, "FocusLabel"), QStringLiteral("earlier"));
        QCOMPARE(c.data.LastReading[4], 221);

        c.clock.advance(10000);
        c.dispatcher.DispatchResponse(mdiReply("+5V 250"));
        const auto samples = c.context.history.samples(trendKey(TestPointFamily::Mdi, u"lblVoltage_5"));
        QCOMPARE(samples.size(), 2);
        QCOMPARE(samples.at(0).ms, qint64(1000));
        QCOMPARE(samples.at(1).ms, qint64(11000));
        QVERIFY(qAbs(samples.at(1).value - 4 * 250 / 255.0 * 1.562) < 1e-9);
        // A reading that was not measured adds no sample.
        c.dispatcher.DispatchResponse(mdiReply("+5V --"));
        QCOMPARE(label(c, win::frmMDITestPoints, "lblVoltage_5"), kNotMeasured);
        QCOMPARE(c.context.history.samples(trendKey(TestPointFamily::Mdi, u"lblVoltage_5")).size(), 2);
        // A label two fields write keeps the history of what it shows.
        c.dispatcher.DispatchResponse(mdiReply("Focus Voltage 31\r\nBlue G2 100"));
        const auto focus = c.context.history.samples(trendKey(TestPointFamily::Mdi, u"FocusLabel"));
        QCOMPARE(focus.size(), 1);
        QVERIFY(qAbs(focus.first().value - 100 / 255.0 * 1000) < 1e-9);
    }

    void earlyMonitor_takesTheDisplayTypeOfTheModeWord()
    {
        ReplyBench c;
        c.data.MonitorType = 150;
        const QString da = framedReply("da", "99,128,64,30,214,203,209");
        QVERIFY(!DisplayTypeKnown(c.controls));
        c.dispatcher.DispatchResponse(da);
        QCOMPARE(label(c, win::frmTestPoint, "IAnodeValue"), QStringLiteral("0 uA"));
        // Bit 8 of the mode word: a monochrome display.
        c.dispatcher.DispatchResponse(framedReply("dw", "Model Type = 28"));
        QVERIFY(DisplayTypeKnown(c.controls));
        c.dispatcher.DispatchResponse(da);
        QCOMPARE(label(c, win::frmTestPoint, "IAnodeValue"), QStringLiteral("23 uA"));
        QCOMPARE(label(c, win::frmTestPoint, "VAnodeValue"), QStringLiteral("12.6 kV"));
        QCOMPARE(c.data.LastReading[3], 30);
        // Flat panels are another family: nothing of theirs lands here.
        c.data.MonitorType = 310;
        c.dispatcher.DispatchResponse(framedReply("da", "64,128,96,32,10,20,30,159,206,204,204,51"));
        QCOMPARE(label(c, win::frmTestPoint, "BCtrlValue"), QStringLiteral("2.00 V"));
        QCOMPARE(label(c, win::frmFlatPanelTestPoints, "BCtrlValue"), QStringLiteral("2.00 V"));
        QCOMPARE(label(c, win::frmFlatPanelTestPoints, "lblVoltage_3"), QStringLiteral("-5.02 V"));
    }

    void contextOnABookAndAnImageAlone_keepsItsOwnHistory()
    {
        ControlBook book;
        MonitorData image;
        ReplyContext ctx(image, book);
        ApplyTestPoints(ctx, TestPointFamily::Mdi, ParseMdiTestPoints(u"159,160,128,255\r\nAnode Voltage 221\r\n+5V 255\r\n#"));
        QCOMPARE(book.text(win::frmMDITestPoints, QStringLiteral("lblVoltage_5")), std::optional<QString>(QStringLiteral("+6.25V")));
        QCOMPARE(image.LastReading[4], 221);
        QCOMPARE(ctx.history.samples(trendKey(TestPointFamily::Mdi, u"lblVoltage_5")).size(), 1);
        QVERIFY(!ctx.applying.active());
    }

    void history_ringKeepsTheNewestWithinItsSpan()
    {
        TrendHistory history;
        QStringList signalled;
        connect(&history, &TrendHistory::added, this, [&](const QString &k) { signalled << k; });
        for (int i = 0; i < TrendHistory::kCapacity + 10; ++i)
            history.add(QStringLiteral("a"), i * 1000, i);
        const auto kept = history.samples(QStringLiteral("a"));
        QCOMPARE(kept.size(), TrendHistory::kCapacity);
        QCOMPARE(kept.first().value, 10.0);
        QCOMPARE(kept.last().value, double(TrendHistory::kCapacity + 9));
        QCOMPARE(signalled.size(), TrendHistory::kCapacity + 10);

        // After a pause longer than the span only the new sample is shown.
        history.add(QStringLiteral("b"), 0, 1);
        history.add(QStringLiteral("b"), TrendHistory::kSpanMs, 2);
        history.add(QStringLiteral("b"), TrendHistory::kSpanMs + 1, 3);
        QCOMPARE(history.samples(QStringLiteral("b")).size(), 2);
        QVERIFY(history.samples(QStringLiteral("none")).isEmpty());
    }

    void history_keepsEightHoursAtTheFastestPoll_withinItsCap()
    {
        TrendHistory history;
        const int eightHours = int(8 * 3600 / 5);
        for (int i = 0; i <= eightHours; ++i)
            history.add(QStringLiteral("rail"), qint64(i) * 5000, i);
        const auto kept = history.samples(QStringLiteral("rail"));
        QCOMPARE(kept.size(), eightHours + 1);
        QCOMPARE(kept.first().value, 0.0);
        // Never more readings than the cap, never more memory than it says.
        for (int k = 0; k < TrendHistory::kMaxReadings + 5; ++k)
            for (int i = 0; i < TrendHistory::kCapacity + 3; ++i)
                history.add(QString::number(k), i, i);
        QCOMPARE(history.keys().size(), TrendHistory::kMaxReadings);
        QVERIFY(history.bytesHeld() <= TrendHistory::kMaxBytes);
        QVERIFY(TrendHistory::kMaxBytes <= 20 * 1024 * 1024);
    }

    void trendCsv_isoTimesInUtc_andFieldsQuotedWhenNeeded()
    {
        const QList<TrendHistory::Sample> samples{{1000, 6.25}, {6000, -19.5}};
        const qint64 base = QDateTime(QDate(2026, 5, 1), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
        const QByteArray csv = trendCsv(samples, QStringLiteral("V"), QStringLiteral("SN 1,\"2\""),
                                        [base](qint64 ms) { return base + ms; });
        QCOMPARE(csv, QByteArray("time,value,unit,serial number\r\n"
                                 "2026-05-01T08:00:01.000Z,6.25,V,\"SN 1,\"\"2\"\"\"\r\n"
                                 "2026-05-01T08:00:06.000Z,-19.5,V,\"SN 1,\"\"2\"\"\"\r\n"));
    }
};

QTEST_MAIN(TestTestPoints)
#include "test_testpoints.moc"
