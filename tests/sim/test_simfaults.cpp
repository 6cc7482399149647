// The simulated monitor's fault modes: when they start, what they send, and
// that the monitor answers normally once they are over.

#include "monitorsim.h"

#include <QSet>
#include <QTest>

using namespace tvk::sim;

namespace {

QByteArray ask(MonitorSimulator &sim, const QByteArray &command) { return sim.feed(command + "\r\n"); }

MonitorConfig withOptions(const QString &options)
{
    MonitorConfig c;
    QStringList ignored;
    applyOptions(c, options, &ignored);
    if (!ignored.isEmpty())
        qWarning() << "ignored" << ignored;
    return c;
}

} // namespace

class TestSimFaults : public QObject {
    Q_OBJECT
private slots:
    void startsAtItsCommand_lastsItsCount_thenAnswersNormally()
    {
        MonitorSimulator sim(withOptions(QStringLiteral("fault=silent,faulton=dt,faultcommands=2")));
        QCOMPARE(ask(sim, "p"), QByteArray("p\r\n#"));
        QVERIFY(!sim.faultActive());
        QCOMPARE(ask(sim, "dt"), QByteArray("dt")); // the echo went out before the line ended
        QVERIFY(sim.faultActive());
        QCOMPARE(ask(sim, "p"), QByteArray()); // the second and last silent line
        QVERIFY(!sim.faultActive());
        QCOMPARE(ask(sim, "p"), QByteArray("p\r\n#"));
        QCOMPARE(ask(sim, "dt").right(1), QByteArray("#")); // a fault comes once
        QCOMPARE(sim.commandCount(), 5);

        MonitorSimulator busy(withOptions(QStringLiteral("fault=busy,faultafter=1")));
        QCOMPARE(ask(busy, "p"), QByteArray("p\r\n#"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(ask(busy, "df"), QByteArray("df\r\n!"));
    }

    void noise_hasItsSize_andOnlyRandomNoiseMayHoldMarkers()
    {
        for (const char *kind : {"garbage", "nocr", "nomarker"}) {
            MonitorSimulator sim(withOptions(QStringLiteral("fault=%1,faulton=dt,faultcommands=1,faultbytes=20000")
                                                   .arg(QLatin1String(kind))));
            const QByteArray out = ask(sim, "dt");
            QCOMPARE(out.size(), 4 + 20000);
            const QByteArray noise = out.mid(4);
            if (qstrcmp(kind, "garbage") == 0) {
                QVERIFY(noise.contains('#') && noise.contains('!') && noise.contains('\r'));
                QSet<char> distinct(noise.cbegin(), noise.cend());
                QVERIFY(distinct.size() > 200);
            } else {
                QVERIFY(!noise.contains('#') && !noise.contains('$') && !noise.contains('!'));
                QCOMPARE(noise.contains('\r'), qstrcmp(kind, "nomarker") == 0);
                QVERIFY(noise.count('\n') > 100);
            }
            QCOMPARE(ask(sim, "p"), QByteArray("p\r\n#"));
        }
    }

    void wrongFamily_andIdentity_answerAsAnotherFirmware()
    {
        // A flat panel whose test points come out as a CRT's; its version stays.
        MonitorSimulator family(withOptions(QStringLiteral("version=3.10,fault=family,faultversion=2.25")));
        MonitorSimulator crt(withOptions(QStringLiteral("version=2.25")));
        MonitorSimulator panel(withOptions(QStringLiteral("version=3.10")));
        QCOMPARE(ask(family, "df"), QByteArray("df\r\nV 3.10\r\n#"));
        const QByteArray points = ask(family, "da");
        QCOMPARE(points, ask(crt, "da"));
        QVERIFY(points != ask(panel, "da"));
        QCOMPARE(family.config().firmwareVersion, QStringLiteral("3.10"));

        MonitorSimulator identity(withOptions(QStringLiteral("version=3.10,fault=identity,faulton=p,faultversion=1.50")));
        QCOMPARE(ask(identity, "df"), QByteArray("df\r\nV 3.10\r\n#"));
        ask(identity, "p");
        QCOMPARE(ask(identity, "df"), QByteArray("df\r\nV 1.50\r\n#"));
    }

    void badOptionsAreReported()
    {
        MonitorConfig c;
        QStringList ignored;
        applyOptions(c, QStringLiteral("fault=melt,faultbytes=0,faultcommands=0,faultversion=x,faulton="), &ignored);
        QCOMPARE(ignored.size(), 5);
        QVERIFY(c.fault == MonitorConfig::Fault::None);
    }
};

QTEST_MAIN(TestSimFaults)
#include "test_simfaults.moc"
