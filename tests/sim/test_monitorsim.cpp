#include "monitorsim.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk::sim;

class TestMonitorSim : public QObject {
    Q_OBJECT

private:
    static QByteArray ask(MonitorSimulator &sim, const QByteArray &command)
    {
        return sim.feed(command + "\r\n");
    }

private slots:
    void readsAnswerInTheToolsGrammar_data()
    {
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QByteArray>("reply");
        QTest::newRow("ping") << QByteArray("p") << QByteArray("p\r\n#");
        QTest::newRow("firmware") << QByteArray("df") << QByteArray("df\r\nV 2.25\r\n#");
        QTest::newRow("eprom") << QByteArray("de") << QByteArray("de\r\nV 1.05\r\n#");
        QTest::newRow("capability") << QByteArray("dx") << QByteArray("dx\r\nCapability = 0x4C\r\n#");
        QTest::newRow("time") << QByteArray("dt") << QByteArray("dt\r\n1,23,59,59\r\n0,0,0,1\r\n42\r\n#");
        QTest::newRow("mode") << QByteArray("dw") << QByteArray("dw\r\nModel Type = 20\r\n#");
        QTest::newRow("model own") << QByteArray("dms") << QByteArray("dms\r\nModel Number = TM-9\r\n#");
        QTest::newRow("model bare") << QByteArray("dm") << QByteArray("dm\r\nModel Number = TM-9\r\n#");
        QTest::newRow("part") << QByteArray("dmu") << QByteArray("dmu\r\nModel Number = P-1\r\n#");
        QTest::newRow("crt part") << QByteArray("dmt") << QByteArray("dmt\r\nModel Number = CRT-19\r\n#");
        QTest::newRow("serial own") << QByteArray("dss") << QByteArray("dss\r\nSerial Number = 12345\r\n#");
        QTest::newRow("serial bare") << QByteArray("ds") << QByteArray("ds\r\nSerial Number = 12345\r\n#");
        QTest::newRow("serial unit u") << QByteArray("dsu") << QByteArray("dsu\r\n#");
        QTest::newRow("unknown unit") << QByteArray("dmz") << QByteArray("dmz\r\n#");
        QTest::newRow("df with suffix") << QByteArray("dfd") << QByteArray("dfd\r\n#");
        QTest::newRow("unknown") << QByteArray("zz9") << QByteArray("zz9\r\n#");
        QTest::newRow("defl echo") << QByteArray("md1") << QByteArray("md1\r\n#");
        QTest::newRow("probe ok") << QByteArray("pi0x52") << QByteArray("pi0x52\r\nDevice 0x52 OK\r\n#");
        QTest::newRow("probe none") << QByteArray("pi0x50") << QByteArray("pi0x50\r\nDevice 0x50 NR\r\n#");
    }
    void readsAnswerInTheToolsGrammar()
    {
        QFETCH(QByteArray, command);
        QFETCH(QByteArray, reply);
        MonitorConfig c;
        c.capability = 0x4C;
        c.operatingTime = {1, 23, 59, 59};
        c.sessionTime = {0, 0, 0, 1};
        c.operatingCycles = 42;
        c.modelNumbers['s'] = QStringLiteral("TM-9");
        c.modelNumbers['u'] = QStringLiteral("P-1");
        c.modelNumbers['t'] = QStringLiteral("CRT-19");
        c.serialNumbers['s'] = QStringLiteral("12345");
        MonitorSimulator sim(c);
        QCOMPARE(ask(sim, command), reply);
    }

    void userControlsReplyStartsLikeOperatingTime()
    {
        MonitorSimulator sim;
        const QByteArray dt = ask(sim, "dt");
        QVERIFY(ask(sim, "CPB0").endsWith('#'));
        const QByteArray du = ask(sim, "du");
        // Same three time lines after the echo, so the tool's time parser reads
        // the same time from either reply.
        QCOMPARE(du.mid(2, dt.size() - 3), dt.mid(2, dt.size() - 3));
        QVERIFY(du.contains("User Brightness = 0\r\n"));
        QVERIFY(du.contains("User Contrast = 1\r\n"));
    }

    void setCommandsReadBack()
    {
        MonitorSimulator sim;
        QCOMPARE(ask(sim, "cmsXR-77"), QByteArray("cmsXR-77\r\n#"));
        QCOMPARE(ask(sim, "dms"), QByteArray("dms\r\nModel Number = XR-77\r\n#"));
        ask(sim, "cmh HV 2");
        QCOMPARE(ask(sim, "dmh"), QByteArray("dmh\r\nModel Number =  HV 2\r\n#"));
        ask(sim, "cst998877");
        QCOMPARE(ask(sim, "dst"), QByteArray("dst\r\nSerial Number = 998877\r\n#"));
        ask(sim, "csuNOPE"); // no serial number for unit u
        QVERIFY(!sim.config().serialNumbers.contains('u'));

        ask(sim, "cod7");
        ask(sim, "coh8");
        ask(sim, "com9");
        ask(sim, "cos10");
        ask(sim, "coc1234");
        sim.config().sessionTime = {};
        QCOMPARE(ask(sim, "dt"), QByteArray("dt\r\n7,8,9,10\r\n0,0,0,0\r\n1234\r\n#"));

        ask(sim, "cw29");
        QCOMPARE(ask(sim, "dw"), QByteArray("dw\r\nModel Type = 29\r\n#"));

        ask(sim, "md0");
        ask(sim, "mh0");
        QVERIFY(!sim.config().deflectionEnabled);
        QVERIFY(!sim.config().highVoltageEnabled);
        ask(sim, "CP0");
        ask(sim, "CPC0");
        QVERIFY(!sim.config().userControlsEnabled);
        QVERIFY(!sim.config().userContrastEnabled);
        QVERIFY(sim.config().userBrightnessEnabled);
    }

    void badSetValuesLeaveStoredValues()
    {
        MonitorSimulator sim;
        const OperatingTime before = sim.config().operatingTime;
        const int cycles = sim.config().operatingCycles;
        const int word = sim.config().modeWord;
        for (const char *bad : {"coh24", "com60", "cos-1", "cod65536", "coc", "cochello", "coh1x", "cw32", "cw", "cwx"})
            QCOMPARE(ask(sim, bad), QByteArray(bad) + "\r\n#");
        QCOMPARE(sim.config().operatingTime, before);
        QCOMPARE(sim.config().operatingCycles, cycles);
        QCOMPARE(sim.config().modeWord, word);
    }

    void bootBlockAnswersWithDollarUntilRun()
    {
        MonitorConfig c;
        c.bootBlock = true;
        MonitorSimulator sim(c);
        QCOMPARE(ask(sim, "p"), QByteArray("p\r\n$"));
        QCOMPARE(ask(sim, "df"), QByteArray("df\r\n$"));
        QCOMPARE(ask(sim, "g"), QByteArray("g\r\n$"));
        QCOMPARE(ask(sim, "p"), QByteArray("p\r\n#"));
        QCOMPARE(ask(sim, "df"), QByteArray("df\r\nV 2.25\r\n#"));
    }

    void silentAfterCountsButStopsAnswering()
    {
        MonitorConfig c;
        c.silentAfter = 2;
        MonitorSimulator sim(c);
        QVERIFY(!ask(sim, "p").isEmpty());
        QVERIFY(!sim.isSilent());
        QVERIFY(!ask(sim, "df").isEmpty());
        QVERIFY(sim.isSilent());
        QCOMPARE(ask(sim, "p"), QByteArray()); // not even the echo
        QCOMPARE(sim.feed("d"), QByteArray());
        QCOMPARE(sim.feed("t\r\n"), QByteArray());
        QCOMPARE(sim.commandCount(), 4);
        QCOMPARE(sim.commandsReceived(), (QByteArrayList{"p", "df", "p", "dt"}));
    }

    void busyAnswersWithInterimMarkerOnly()
    {
        MonitorConfig c;
        c.busy = true;
        MonitorSimulator sim(c);
        QCOMPARE(ask(sim, "df"), QByteArray("df\r\n!"));
    }

    void lineEndsAndTyping()
    {
        MonitorSimulator sim;
        QSignalSpy spy(&sim, &MonitorSimulator::commandReceived);
        // CR LF is one line end, not a line and an empty line.
        QCOMPARE(sim.feed("p\r\n"), QByteArray("p\r\n#"));
        QCOMPARE(sim.feed("p\r"), QByteArray("p\r\n#"));
        QCOMPARE(sim.feed("\np\n"), QByteArray("p\r\n#"));
        // A CR LF pair split across two reads.
        QCOMPARE(sim.feed("p\r"), QByteArray("p\r\n#"));
        QCOMPARE(sim.feed("\n"), QByteArray());
        // Empty and blank lines run nothing.
        QCOMPARE(sim.feed("\r\n\r\n"), QByteArray());
        QCOMPARE(sim.feed("  \r"), QByteArray("  \r\n"));
        QCOMPARE(sim.commandCount(), 4);

        // One character at a time, as typed; each echoed on arrival.
        QByteArray out;
        for (char ch : QByteArray("dx\r\n"))
            out += sim.feed(QByteArray(1, ch));
        QCOMPARE(out, QByteArray("dx\r\nCapability = 0xFF\r\n#"));

        // A typo corrected with backspace.
        out = sim.feed("dq");
        out += sim.feed("\b");
        out += sim.feed("w\r");
        QCOMPARE(out, QByteArray("dq\b \bw\r\nModel Type = 20\r\n#"));
        QCOMPARE(sim.commandsReceived().last(), QByteArray("dw"));

        // Several commands in one chunk are answered in order.
        QCOMPARE(sim.feed("p\r\ndw\r\n"), QByteArray("p\r\n#dw\r\nModel Type = 20\r\n#"));
        QCOMPARE(spy.count(), sim.commandCount());
    }

    void overlongLineIsCutNotGrown()
    {
        MonitorSimulator sim;
        const QByteArray junk(5000, 'x');
        const QByteArray out = sim.feed("cms" + junk + "\r\n");
        QCOMPARE(out.size(), MonitorSimulator::kMaxLineLength + 3);
        QCOMPARE(sim.config().modelNumbers.value('s').size(), MonitorSimulator::kMaxLineLength - 3);
        QCOMPARE(sim.feed("p\r\n"), QByteArray("p\r\n#"));
    }

    void optionsParse()
    {
        MonitorConfig c;
        QStringList ignored;
        applyOptions(c, u"version=1.38, BOOT ,silentafter=5,capability=0x44,mode=7,frobnicate=3,days=2,hours=99,"
                        u"session=90061,dmt=CRT-21,dsh=H-1,serial=S-9,i2c=50:a0,busy=no",
                      &ignored);
        QCOMPARE(c.firmwareVersion, QStringLiteral("1.38"));
        QVERIFY(c.bootBlock);
        QVERIFY(!c.busy);
        QCOMPARE(c.silentAfter, 5);
        QCOMPARE(c.capability, 0x44);
        QCOMPARE(c.modeWord, 7);
        QCOMPARE(c.operatingTime.days, 2);
        QCOMPARE(c.sessionTime, (OperatingTime{1, 1, 1, 1}));
        QCOMPARE(c.modelNumbers.value('t'), QStringLiteral("CRT-21"));
        QCOMPARE(c.serialNumbers.value('h'), QStringLiteral("H-1"));
        QCOMPARE(c.serialNumbers.value('s'), QStringLiteral("S-9"));
        QCOMPARE(c.i2cDevices, (QList<int>{0x50, 0xA0}));
        QCOMPARE(ignored, (QStringList{QStringLiteral("frobnicate=3"), QStringLiteral("hours=99")}));

        applyOptions(c, u"type=217");
        QCOMPARE(c.firmwareVersion, QStringLiteral("2.17"));
        QCOMPARE(monitorTypeOf(c.firmwareVersion), 217);
        applyOptions(c, u"type=305,version=garbage", &ignored);
        QCOMPARE(c.firmwareVersion, QStringLiteral("3.05"));
        QVERIFY(ignored.contains(QStringLiteral("version=garbage")));
    }
};

QTEST_GUILESS_MAIN(TestMonitorSim)
#include "test_monitorsim.moc"
