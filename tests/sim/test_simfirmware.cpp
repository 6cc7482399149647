// The simulated monitor's firmware loading: checked records, refusals in both
// forms, the end record, silence, the image, and the boot-block commands.

#include "hexgen.h"
#include "monitorsim.h"

#include <QTest>

using namespace tvk::sim;
using namespace tvk::test;

namespace {

QByteArray ask(MonitorSimulator &sim, const QByteArray &command) { return sim.feed(command + "\r\n"); }

MonitorSimulator withOptions(const QString &options)
{
    MonitorConfig config;
    QStringList ignored;
    applyOptions(config, options, &ignored);
    if (!ignored.isEmpty())
        qWarning("ignored options: %s", qPrintable(ignored.join(u',')));
    return MonitorSimulator(config);
}

} // namespace

class TestSimFirmware : public QObject {
    Q_OBJECT
private slots:
    void recordsAreChecked_data();
    void recordsAreChecked();
    void endRecordVariants();
    void bootBlockCommands();
};

void TestSimFirmware::recordsAreChecked_data()
{
    QTest::addColumn<QByteArray>("record");
    QTest::addColumn<QByteArray>("answer");
    const QByteArray good = hexRecord(0, 0x0100, "\x01\x02\x03");
    QTest::newRow("good") << good << QByteArray("#");
    QByteArray badSum = good;
    badSum.back() = badSum.back() == '0' ? '1' : '0';
    QTest::newRow("checksum") << badSum << QByteArray("Checksum Error!");
    QTest::newRow("length") << QByteArray(":05010000010203F0") << QByteArray("Bad Length!");
    QTest::newRow("odd digits") << QByteArray(":0301000001020") << QByteArray("Bad Record!");
    QTest::newRow("not hex") << QByteArray(":03010000010G03F6") << QByteArray("Bad Record!");
    QTest::newRow("type") << hexRecord(7, 0, "\x01") << QByteArray("Bad Record Type!");
    QTest::newRow("beyond memory") << hexRecord(0, 0xFFFF, "\x01\x02") << QByteArray("#"); // 0x10000 fits
}

void TestSimFirmware::recordsAreChecked()
{
    QFETCH(QByteArray, record);
    QFETCH(QByteArray, answer);
    MonitorSimulator sim;
    QCOMPARE(ask(sim, record), record + "\r\n" + "Not Loading!");
    QCOMPARE(ask(sim, "bf3"), QByteArray("bf3\r\nFlash Erased\r\n#"));
    QCOMPARE(ask(sim, record), record + "\r\n" + answer);

    // An address beyond the memory is refused.
    MonitorSimulator small = withOptions(QStringLiteral("erasefail=0"));
    small.config().memorySize = 0x100;
    ask(small, "bs");
    QCOMPARE(ask(small, hexRecord(0, 0x00FF, "\x01\x02")).right(12), QByteArray("Bad Address!"));
    QCOMPARE(ask(small, hexRecord(0, 0x00FE, "\x01\x02")).right(1), QByteArray("#"));
}

void TestSimFirmware::endRecordVariants()
{
    const QByteArray eof = hexRecord(1, 0, {});
    const struct {
        const char *options;
        QByteArray answer;
    } cases[] = {
        {"eofbad", "EOF Checksum Failed!"},
        {"eofunreported", "#"},
        {"boot", "EOF Checksum OK\r\n$"},
    };
    for (const auto &c : cases) {
        MonitorSimulator sim = withOptions(QString::fromLatin1(c.options));
        ask(sim, "bf3");
        QCOMPARE(ask(sim, eof).mid(eof.size() + 2), c.answer);
        QVERIFY(sim.loadFinished());
    }
    MonitorSimulator failing = withOptions(QStringLiteral("erasefail"));
    QCOMPARE(ask(failing, "bf3"), QByteArray("bf3\r\nFlash Erase Failed!"));
    QCOMPARE(ask(failing, eof).right(12), QByteArray("Not Loading!"));
}

void TestSimFirmware::bootBlockCommands()
{
    MonitorSimulator sim;
    QByteArray db = ask(sim, "db");
    QVERIFY(db.startsWith("db\r\nFlag AA = 0xAA\r\nFlag 55 = 0x55\r\n"));
    QVERIFY(db.endsWith("auto boot ON\r\n#"));
    QCOMPARE(db.count("= 0x"), 9);
    QCOMPARE(ask(sim, "cb0"), QByteArray("cb0\r\n#"));
    QVERIFY(ask(sim, "db").endsWith("Abort AutoBoot = 0x01\r\nauto boot OFF\r\n#"));
    QCOMPARE(ask(sim, "cz0"), QByteArray("cz0\r\n#"));
    QVERIFY(!sim.config().checking);
    // Reset with the automatic start off: the boot block answers from then on.
    QCOMPARE(ask(sim, "x"), QByteArray("x\r\nReset\r\n#"));
    QVERIFY(sim.config().bootBlock);
    QCOMPARE(ask(sim, "df"), QByteArray("df\r\n$"));
    QCOMPARE(ask(sim, "g"), QByteArray("g\r\n$"));
    QCOMPARE(ask(sim, "df"), QByteArray("df\r\nV 2.25\r\n#"));
    QCOMPARE(ask(sim, "f"), QByteArray("f\r\nNo SRAM Program\r\n#"));
    ask(sim, "bs");
    ask(sim, hexRecord(1, 0, {}));
    QCOMPARE(ask(sim, "f"), QByteArray("f\r\nRunning SRAM Program\r\n#"));
}

QTEST_GUILESS_MAIN(TestSimFirmware)
#include "test_simfirmware.moc"
