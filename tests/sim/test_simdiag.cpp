// The simulated monitor's diagnostics, read back through the tool's own
// parsers: test points of each family drifting a little and dropping a
// field on request, the memory behind the address register, and the I2C
// devices present, absent and on an unplugged board.

#include "apptest.h"
#include "core/diag/i2cprobe.h"
#include "core/diag/memoryreplies.h"
#include "core/diag/testpoints.h"
#include "monitorsim.h"

#include <QTest>

using namespace tvk;
using namespace tvk::sim;
using namespace tvk::test;

namespace {

// The reply as the dispatcher hands it to a "DA" parser: after the letters
// "da", leading line ends stripped.
QString afterEcho(MonitorSimulator &sim, const QByteArray &command, int letters)
{
    const QString reply = QString::fromLatin1(sim.feed(command + "\r\n"));
    return reply.mid(letters).trimmed();
}

TestPointReply readTestPoints(MonitorSimulator &sim, TestPointFamily family)
{
    const QString text = afterEcho(sim, "da", 2);
    switch (family) {
    case TestPointFamily::Early: return ParseEarlyTestPoints(text, true);
    case TestPointFamily::Mdi: return ParseMdiTestPoints(text);
    case TestPointFamily::FlatPanel: return ParseFlatPanelTestPoints(text);
    }
    return {};
}

MonitorSimulator simWith(const char *options)
{
    MonitorConfig c;
    applyOptions(c, QString::fromLatin1(options));
    return MonitorSimulator(c);
}

} // namespace

class TestSimDiag : public QObject {
    Q_OBJECT
private slots:
    void testPoints_everyFamilyMeasuresEveryReading_data()
    {
        QTest::addColumn<QString>("options");
        QTest::addColumn<int>("family");
        QTest::addColumn<int>("readings");
        QTest::newRow("early") << "version=1.50" << int(TestPointFamily::Early) << 7;
        QTest::newRow("modular") << "version=2.25" << int(TestPointFamily::Mdi) << 18;
        QTest::newRow("modular, per-gun G2") << "version=2.25,g2guns" << int(TestPointFamily::Mdi) << 20;
        QTest::newRow("flat panel") << "version=3.10" << int(TestPointFamily::FlatPanel) << 12;
    }
    void testPoints_everyFamilyMeasuresEveryReading()
    {
        QFETCH(QString, options);
        QFETCH(int, family);
        QFETCH(int, readings);
        MonitorSimulator sim = simWith(options.toLatin1().constData());
        QMap<QString, QList<double>> seen;
        for (int n = 0; n < 40; ++n) {
            const TestPointReply r = readTestPoints(sim, TestPointFamily(family));
            QCOMPARE(int(r.values.size()), readings);
            for (const TestPointValue &v : r.values) {
                QVERIFY2(v.value, qPrintable(v.control + QStringLiteral(" not measured")));
                if (r.find(v.control) == &v) // what the label shows
                    seen[v.control] << *v.value;
            }
        }
        // Every reading drifts, but only a little around its level.
        for (auto it = seen.cbegin(); it != seen.cend(); ++it) {
            const auto [lo, hi] = std::minmax_element(it->begin(), it->end());
            QVERIFY2(*hi > *lo, qPrintable(it.key()));
            QVERIFY2(*hi - *lo <= 0.15 * std::max(std::fabs(*hi), 1.0) + 0.2, qPrintable(it.key()));
        }
    }

    void testPoints_dropAndJunkFields()
    {
        MonitorSimulator early = simWith("version=1.50,dadrop=3");
        TestPointReply r = readTestPoints(early, TestPointFamily::Early);
        QCOMPARE(r.find(u"CCtrlValue")->text, kNotMeasured);
        QVERIFY(r.find(u"IAnodeValue")->value);

        MonitorSimulator last = simWith("version=3.10,dadrop=12");
        r = readTestPoints(last, TestPointFamily::FlatPanel);
        QCOMPARE(r.find(u"lblVoltage_3")->text, kNotMeasured);
        QVERIFY(r.find(u"lblVoltage_2")->value);

        // Named field 8 of a modular monitor is "Focus Voltage": left out.
        MonitorSimulator named = simWith("version=2.25,dadrop=8,dajunk=1");
        r = readTestPoints(named, TestPointFamily::Mdi);
        QVERIFY(!r.find(u"FocusLabel"));
        QCOMPARE(r.find(u"lblCPUP5Value")->text, kNotMeasured);
        QVERIFY(r.find(u"G2Label")->value);
    }

    void memory_addressRegisterAndReadsAndWrites()
    {
        MonitorSimulator sim;
        auto read = [&](const QByteArray &cmd) {
            return ParseMemoryRead(afterEcho(sim, cmd, 1)).value_or(MemoryReadReply{}).text;
        };
        QVERIFY(afterEcho(sim, "a0x0100", 1).contains(u"Addr = 0x0100"));
        QCOMPARE(read("rc"), QStringLiteral("T"));
        QCOMPARE(read("rb"), QStringLiteral("0x54"));
        QCOMPARE(read("rw"), QStringLiteral("0x5441")); // "TA", high byte first
        sim.feed("wb0x7A\r\n");
        QCOMPARE(read("rc"), QStringLiteral("z"));
        sim.feed("ww0x1234\r\n");
        QCOMPARE(read("rb"), QStringLiteral("0x12"));
        QVERIFY(afterEcho(sim, "a+", 1).contains(u"Addr = 0x0101"));
        QCOMPARE(read("rb"), QStringLiteral("0x34"));
        QVERIFY(afterEcho(sim, "a-", 1).contains(u"Addr = 0x0100"));
        // Values that are no byte or word change nothing; a bad address
        // leaves the register and reports it.
        sim.feed("wb0x123\r\nwb0xXX\r\nww0xXXXX\r\n");
        QCOMPARE(read("rw"), QStringLiteral("0x1234"));
        QVERIFY(afterEcho(sim, "azz", 1).contains(u"Addr = 0x0100"));
        // The register wraps at the ends of the memory.
        sim.feed("a0\r\n");
        QVERIFY(afterEcho(sim, "a-", 1).contains(u"Addr = 0xFFFF"));
        QCOMPARE(int(sim.config().diag.memory.size()), DiagConfig::kMemorySize);
    }

    void i2c_presentAbsentAndNotConnected()
    {
        MonitorSimulator sim = simWith("i2c=92:AA,i2cnc=4C");
        auto probe = [&](const char *address) {
            return QString::fromLatin1(sim.feed(QByteArray("pi0x") + address + "\r\n"));
        };
        // The odd address of a present device answers too, and both
        // buttons sharing the pair are named by the reply.
        const QString shared = probe("93");
        QVERIFY(shared.contains(u"Device 0x93 OK"));
        QCOMPARE(ButtonsForProbeResult(shared.mid(1)), (QStringList{"btnU119", "btnU906"}));
        QVERIFY(probe("AB").contains(u"OK"));
        QVERIFY(probe("4D").contains(u"Device 0x4D NC"));
        QVERIFY(probe("9C").contains(u"Device 0x9C NR"));
        QVERIFY(!probe("zz").contains(u"Device"));
        sim.feed("lt\r\n");
        QVERIFY(sim.config().diag.ledsOn);

        QStringList ignored;
        MonitorConfig c;
        applyOptions(c, u"i2cnc=4C:zz,dadrop=x", &ignored);
        QCOMPARE(ignored, (QStringList{"i2cnc=4C:zz", "dadrop=x"}));
        // By default every device of the boards answers.
        MonitorSimulator all;
        for (const QString &a : testAllAddresses())
            QVERIFY2(QString::fromLatin1(all.feed("pi0x" + a.toLatin1() + "\r\n")).contains(u" OK"), qPrintable(a));
    }
};

QTEST_MAIN(TestSimDiag)
#include "test_simdiag.moc"
