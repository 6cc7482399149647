// Reading a monitor's scan sets and writing saved settings back, on the core
// with a scripted port and a hand-moved clock; the monitor simulator answers
// every command written to it until the test silences it. What the monitor
// received is read from the port, so the tests see the wire.

#include "core/restore.h"
#include "core/settingscompare.h"
#include "core/settingsread.h"
#include "simbench.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::sim;
using namespace tvk::test;

namespace {

struct Bench : SimBench {
    Bench()
    {
        core->data.InitMonitorData(core->globals, core->settings, &core->modelStart);
        connect();
    }
    // The commands written from `from` on, keep-alive pings left out.
    QStringList wire(int from) const
    {
        QStringList out;
        const QByteArrayList w = port()->writes();
        for (int i = from; i < w.size(); ++i)
            if (w[i].trimmed() != "p")
                out << QString::fromLatin1(w[i].trimmed());
        return out;
    }
    int written() const { return int(port()->writes().size()); }

    SettingsImage read(const QList<int> &scanSets)
    {
        SettingsRead reader(core->monitorLine());
        QSignalSpy done(&reader, &SettingsRead::finished);
        SettingsRead::Options o;
        o.scanSets = scanSets;
        o.includeCurrent = false;
        if (!reader.start(o))
            qFatal("no read");
        run(6000);
        if (done.count() != 1)
            qFatal("read did not finish");
        return reader.image(QStringLiteral("monitor"));
    }
    int &present(char group, int scanSet, int channel)
    {
        return sim.config().dacGroups[group].present[size_t(scanSet)][size_t(channel)];
    }
};

} // namespace

class TestSettingsRestore : public QObject {
    Q_OBJECT
private slots:
    void restoresTwoScanSets_andReturnsToTheOneTheMonitorRan()
    {
        Bench b;
        QVERIFY(b.core->globals.connection.online());
        b.sim.config().currentScanSet = 1;
        b.core->data.CurrentScanSet = 4; // the window's choice, given back at the end
        const SettingsImage saved = b.read({0, 2});
        QCOMPARE(saved.scanSets.size(), 2);
        QCOMPARE(b.sim.config().currentScanSet, 1);
        QCOMPARE(b.core->data.CurrentScanSet, 4);

        const int v0 = b.present('v', 0, 0), l2 = b.present('l', 2, 2), h1 = b.present('h', 2, 1);
        b.present('v', 0, 0) = 10;
        b.present('l', 2, 2) = 11;
        b.present('h', 2, 1) = 12;
        const SettingsImage now = b.read({0, 2});
        const SettingsComparison c = compareSettings(saved, now);
        QCOMPARE(c.differingChannels, 3);
        QCOMPARE(c.summary(), QStringLiteral("3 of %1 channels differ").arg(c.comparedChannels));

        const RestorePlan plan = planRestore(saved, now, {});
        QCOMPARE(plan.total(), 3);
        SettingsRestore restore(b.core->monitorLine());
        QSignalSpy done(&restore, &SettingsRestore::finished);
        QSignalSpy progress(&restore, &SettingsRestore::progress);
        const int from = b.written();
        QVERIFY(restore.start(plan));
        b.run(8000);
        QCOMPARE(done.count(), 1);
        QCOMPARE(restore.result().summary(), QStringLiteral("3 written, 0 differ"));
        QCOMPARE(progress.last().at(0).toInt(), 3);

        const QStringList expected = QStringList{"dc", "CC0", QStringLiteral("cdv0%1").arg(v0), "ddv", "ddpv", "ddfv",
                                                 "CC2", QStringLiteral("cdl2%1").arg(l2), QStringLiteral("cdh1%1").arg(h1),
                                                 "ddl", "ddpl", "ddfl", "ddh", "ddph", "ddfh",
                                                 "CC1", "ddl", "ddpl", "ddfl", "ddh", "ddph", "ddfh", "ddv", "ddpv", "ddfv"};
        QCOMPARE(b.wire(from), expected);
        QCOMPARE(b.present('v', 0, 0), v0);
        QCOMPARE(b.present('l', 2, 2), l2);
        QCOMPARE(b.present('h', 2, 1), h1);
        QCOMPARE(b.sim.config().currentScanSet, 1);
        QCOMPARE(b.core->data.CurrentScanSet, 4);
    }

    void initialValues_onlyWhenAsked_factoryNever()
    {
        Bench b;
        const SettingsImage saved = b.read({0});
        auto &g = b.sim.config().dacGroups['b'];
        const auto factory = g.factory;
        const int i0 = g.initial[0][0], p0 = g.present[0][0], p1 = g.present[0][1];
        g.initial[0][0] = 5;
        const SettingsImage now = b.read({0});
        // Not asked: nothing to write (the present values agree).
        QVERIFY(planRestore(saved, now, {}).isEmpty());

        RestoreOptions o;
        o.initial = true;
        const RestorePlan plan = planRestore(saved, now, o);
        SettingsRestore restore(b.core->monitorLine());
        const int from = b.written();
        QVERIFY(restore.start(plan));
        b.run(6000);
        QCOMPARE(restore.result().summary(), QStringLiteral("2 written, 0 differ"));
        QCOMPARE(b.wire(from).mid(0, 7),
                 QStringList({"dc", "CC0", QStringLiteral("cdb0%1").arg(i0), QStringLiteral("cdb1%1").arg(g.initial[0][1]),
                              "cdbp", QStringLiteral("cdb0%1").arg(p0), QStringLiteral("cdb1%1").arg(p1)}));
        QCOMPARE(g.initial[0][0], i0);
        QCOMPARE(g.present[0][0], p0);
        QCOMPARE(g.factory, factory);
        for (const QString &c : b.wire(from))
            QVERIFY2(!c.startsWith("cdbf") && !c.startsWith("CDCC"), qPrintable(c));
    }

    void aSilentMonitor_stopsTheRestore_andSaysHowFarItGot()
    {
        Bench b;
        const SettingsImage saved = b.read({0});
        for (int c = 0; c < 7; ++c)
            b.present('v', 0, c) += 1;
        const SettingsImage now = b.read({0});
        SettingsRestore restore(b.core->monitorLine());
        QSignalSpy done(&restore, &SettingsRestore::finished);
        QVERIFY(restore.start(planRestore(saved, now, {})));
        b.run(600); // "dc", "CC0" and a few values
        b.answering = false;
        b.run(15000);
        QCOMPARE(done.count(), 1);
        const RestoreResult &r = restore.result();
        QCOMPARE(r.outcome, RestoreResult::Outcome::Failed);
        QVERIFY(r.written > 0 && r.written < 7);
        QCOMPARE(r.notWritten.size(), 7 - r.written);
        QVERIFY2(r.summary().startsWith("Stopped, the monitor stopped answering: ")
                     || r.summary().startsWith("Stopped, the monitor did not answer"),
                 qPrintable(r.summary()));
        QVERIFY(r.summary().endsWith(QStringLiteral("%1 of 7 written, the rest left as it was").arg(r.written)));
        QCOMPARE(b.core->data.CurrentScanSet, 0);
    }

    void aCancel_stopsAfterTheCommandOnTheWire_andGoesBackToTheScanSet()
    {
        Bench b;
        b.sim.config().currentScanSet = 3;
        const SettingsImage saved = b.read({0, 1});
        for (int k : {0, 1})
            for (int c = 0; c < 7; ++c)
                b.present('v', k, c) += 1;
        const SettingsImage now = b.read({0, 1});
        SettingsRestore restore(b.core->monitorLine());
        QSignalSpy done(&restore, &SettingsRestore::finished);
        const int from = b.written();
        QVERIFY(restore.start(planRestore(saved, now, {})));
        b.run(700);
        restore.cancel();
        b.run(3000);
        QCOMPARE(done.count(), 1);
        const RestoreResult &r = restore.result();
        QCOMPARE(r.outcome, RestoreResult::Outcome::Cancelled);
        QVERIFY(r.written > 0 && r.written < 7);
        QCOMPARE(r.summary(), QStringLiteral("Cancelled: %1 of 14 written, the rest left as it was").arg(r.written));
        const QStringList wire = b.wire(from);
        QCOMPARE(wire.last(), QStringLiteral("CC3"));
        QCOMPARE(wire.filter(QRegularExpression("^cd")).size(), r.written);
        QCOMPARE(b.sim.config().currentScanSet, 3);
        for (int c = 0; c < 7; ++c)
            QCOMPARE(b.present('v', 1, c), now.scanSet(1)->find(DacGroupId::V, c)->present.value());
    }
};

QTEST_GUILESS_MAIN(TestSettingsRestore)
#include "test_settingsrestore.moc"
