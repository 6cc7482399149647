// The simulated monitor's adjustment reports and settings, and their round
// trips through the tool's parsers: a CRT reports its high-voltage controls,
// a flat panel its photocell and backlight; every set command is kept.

#include "apptest.h"
#include "base/windownames.h"
#include "core/replies/adjustreplies.h"
#include "monitorsim.h"

#include <QTest>

using namespace tvk;
using namespace tvk::sim;
using namespace tvk::test;

namespace {

QByteArray ask(MonitorSimulator &sim, const QByteArray &command) { return sim.feed(command + "\r\n"); }

} // namespace

class TestSimAdjust : public QObject {
    Q_OBJECT
private slots:
    void crt_hvControlsAndLimitsRoundTrip()
    {
        MonitorConfig config;
        applyOptions(config, u"version=2.25");
        MonitorSimulator sim(config);
        for (const QByteArray &c : {"chh201", "chg17", "chu230", "chl80", "chx5", "chf300"})
            ask(sim, c);
        const auto &s = sim.adjust();
        QCOMPARE(s.hv[0].present, 201);
        QCOMPARE(s.hv[2].present, 17);
        QCOMPARE(s.hv[1].present, 120); // 300 refused
        ask(sim, "chp");
        QCOMPARE(sim.adjust().hv[0].initial, 201);
        ask(sim, "chr");
        QCOMPARE(sim.adjust().hv[0].present, sim.adjust().hv[0].factory);

        const HvReport r = ParseHvReport(QString::fromLatin1(ask(sim, "dh")).mid(2));
        QCOMPARE(r.upperLimit, 230);
        QCOMPARE(r.lowerLimit, 80);
        QCOMPARE(r[HvControl::HighVoltage].initial, 201);
        QCOMPARE(r[HvControl::G2].present, sim.adjust().hv[2].present);

        // The limits report of a CRT: deflection, limits, hysteresis, flags.
        ask(sim, "cdl0111");
        ask(sim, "cpl2");
        ask(sim, "CPHC9");
        ask(sim, "CPB0");
        const QString dp = QString::fromLatin1(ask(sim, "dp"));
        const LimitsReport l = ParseLimitsReport(QStringView(dp).mid(2).trimmed(), 225);
        QCOMPARE(*l.vertical, QStringLiteral("Operating"));
        QCOMPARE((*l.limits)[2], 111);
        QCOMPARE(*l.contrastHysteresis, 9);
        QCOMPARE(*l.brightnessAutomatic, true);
        QCOMPARE(*l.contrastAutomatic, false);
        QCOMPARE(l.photocellEnabled, std::nullopt);
    }

    void flatPanel_backlightPhotocellHeaterFan()
    {
        MonitorConfig config;
        applyOptions(config, u"version=3.10");
        MonitorSimulator sim(config);
        // No high-voltage supply: the report is empty and sets are ignored.
        QCOMPARE(ask(sim, "dh"), QByteArray("dh\r\n#"));
        ask(sim, "chh10");
        QCOMPARE(sim.adjust().hv[0].present, 180);

        for (const QByteArray &c : {"crs77", "crw12x", "cp8", "cp3", "cqh1", "cp5", "cqf2", "cv"})
            ask(sim, c);
        QCOMPARE(sim.adjust().filamentSteady, 77);
        QCOMPARE(sim.adjust().filamentWarmup, 200);
        QVERIFY(!sim.adjust().photocell);
        QCOMPARE(sim.adjust().heaterMode, 3);
        QVERIFY(sim.adjust().heaterOn);
        QCOMPARE(sim.adjust().fanMode, 5);
        QCOMPARE(sim.adjust().fanSetting, 2);
        QVERIFY(sim.adjust().statusMessages);

        CoreHarness h;
        h.core->data.MonitorType = 310;
        for (const QByteArray &c : {"drs", "drw", "drf", "dp"})
            h.core->dispatcher.DispatchResponse(QString::fromLatin1(ask(sim, c)));
        QCOMPARE(h.core->controls.text(win::frmBacklight, QStringLiteral("txtFilSteady")),
                 std::optional<QString>(QStringLiteral("77")));
        QCOMPARE(h.core->controls.text(win::frmBacklight, QStringLiteral("txtFilWarmup")),
                 std::optional<QString>(QStringLiteral("200")));
        QCOMPARE(h.core->controls.checked(win::frmBacklight, QStringLiteral("ckPhotocell")),
                 std::optional<bool>(false));
    }
};

QTEST_MAIN(TestSimAdjust)
#include "test_simadjust.moc"
