#include "link/linkglobals.h"
#include "model/fullread.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;

class TestFullRead : public QObject {
    Q_OBJECT
private slots:
    void offline_sendsNothingAndLeavesTheTimer()
    {
        ManualClock clock;
        LinkGlobals g;
        QStringList sent;
        FullRead read(clock, g, [&](const QString &c) { sent << c; });
        read.start();
        clock.advance(5000);
        QVERIFY(sent.isEmpty());
        QVERIFY(!read.isRunning());
    }

    void online_sendsEveryStepOneASecond_thenStops()
    {
        ManualClock clock;
        LinkGlobals g;
        g.MonitorOnline = true;
        QStringList sent;
        FullRead read(clock, g, [&](const QString &c) { sent << c.trimmed(); });
        QSignalSpy finished(&read, &FullRead::finished);
        read.start();
        QCOMPARE(sent, QStringList({"da"}));
        clock.advance(1000);
        QCOMPARE(sent, QStringList({"da", "da"}));
        clock.advance(3000); // steps 1, 2 and the silent step 3
        QCOMPARE(sent, QStringList({"da", "da", "db", "dc"}));
        clock.advance(41000);
        // "da" twice, then the 43 other commands of the 45 steps (step 3 sends nothing).
        QCOMPARE(sent.size(), 45);
        QCOMPARE(sent.last(), QStringLiteral("ddfs"));
        QCOMPARE(sent.at(4), QStringLiteral("ddv"));
        QCOMPARE(sent.count(QStringLiteral("dms")), 1);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!read.isRunning());
        // Nothing more, however long the program runs.
        clock.advance(100000);
        QCOMPARE(sent.size(), 45);
        QCOMPARE(read.SendCount(), FullRead::kLastStep + 1);
    }

    void monitorLostMidway_stopsAndSaysSo_insteadOfFinishing()
    {
        ManualClock clock;
        LinkGlobals g;
        g.MonitorOnline = true;
        QStringList sent;
        FullRead read(clock, g, [&](const QString &c) { sent << c.trimmed(); });
        QSignalSpy finished(&read, &FullRead::finished);
        QSignalSpy interrupted(&read, &FullRead::interrupted);
        read.start();
        clock.advance(5000);
        const qsizetype before = sent.size();
        g.MonitorOnline = false;
        clock.advance(60000);
        QCOMPARE(sent.size(), before);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(interrupted.count(), 1);
        QCOMPARE(interrupted.at(0).at(0).toInt(), 5);
        QCOMPARE(interrupted.at(0).at(1).toInt(), FullRead::kLastStep + 1);
        QVERIFY(!read.isRunning());

        // Started again once the monitor is back, it runs to the end.
        g.MonitorOnline = true;
        read.start();
        clock.advance(60000);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(interrupted.count(), 1);
    }

    void stepCommands_areTheWholeSequenceInOrder()
    {
        // Every read of the sequence by step, CR LF included; step 3 is silent.
        const QStringList expected {
            "da", "db", "dc", "", "ddv", "ddfv", "ddpv", "ddh", "ddph", "ddfh", "ddl", "ddpl",
            "ddfl", "ddb", "ddpb", "ddfb", "de", "df", "dh", "dms", "dps", "dss", "dt", "dw",
            "dda", "ddpa", "ddfa", "ddd", "ddpd", "ddfd", "dde", "ddpe", "ddfe", "ddg", "ddpg", "ddfg",
            "ddi", "ddpi", "ddfi", "ddk", "ddpk", "ddfk", "dds", "ddps", "ddfs",
        };
        QCOMPARE(expected.size(), FullRead::kLastStep + 1);
        for (int step = 0; step <= FullRead::kLastStep; ++step) {
            const QString want = expected.at(step).isEmpty() ? QString() : expected.at(step) + "\r\n";
            QCOMPARE(FullRead::stepCommand(step), want);
        }
        QVERIFY(FullRead::stepCommand(-1).isEmpty());
        QVERIFY(FullRead::stepCommand(FullRead::kLastStep + 1).isEmpty());
    }

    void restartWhileRunning_beginsAgainAtStepZero()
    {
        ManualClock clock;
        LinkGlobals g;
        g.MonitorOnline = true;
        QStringList sent;
        FullRead read(clock, g, [&](const QString &c) { sent << c.trimmed(); });
        read.start();
        clock.advance(10000);
        sent.clear();
        read.start();
        QCOMPARE(sent, QStringList({"da"}));
        QCOMPARE(read.SendCount(), 0);
        clock.advance(2000);
        QCOMPARE(sent, QStringList({"da", "da", "db"}));
    }
};

QTEST_GUILESS_MAIN(TestFullRead)
#include "test_fullread.moc"
