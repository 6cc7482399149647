#include "link/linkglobals.h"
#include "model/fullread.h"
#include "testsupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;

// A full read online whose every command is written and answered at once.
struct AnsweringRead {
    AnsweringRead() { ConnectionFlagsForTests::setOnline(g, true); }
    ManualClock clock;
    LinkGlobals g;
    QStringList sent;
    FullRead read{clock, g, [this](const QString &c) {
                      sent << c.trimmed();
                      read.commandWritten(c);
                      read.responseDispatched();
                  }};
};

class TestFullRead : public QObject {
    Q_OBJECT
private slots:
    void offline_sendsNothingAndLeavesTheTimer()
    {
        ManualClock clock;
        LinkGlobals g;
        QStringList sent;
        FullRead read(clock, g, [&](const QString &c) { sent << c; });
        QVERIFY(!read.start());
        clock.advance(5000);
        QVERIFY(sent.isEmpty());
        QVERIFY(!read.isRunning());
    }

    void online_sendsEveryStepOneASecond_thenStops()
    {
        AnsweringRead a;
        FullRead &read = a.read;
        QStringList &sent = a.sent;
        ManualClock &clock = a.clock;
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
        QCOMPARE(finished.count(), 1);
    }

    // Finished means every command of the read was answered, not only sent;
    // a reply that never comes fails the read and names the step.
    void finishesOnlyWhenEveryStepIsAnswered_elseFailsNamingTheStep()
    {
        ManualClock clock;
        LinkGlobals g;
        ConnectionFlagsForTests::setOnline(g, true);
        QStringList wire; // queued, not yet written
        FullRead read(clock, g, [&](const QString &c) { wire << c; });
        QSignalSpy finished(&read, &FullRead::finished);
        QSignalSpy failed(&read, &FullRead::failed);
        const auto answer = [&](int n) {
            for (; n > 0 && !wire.isEmpty(); --n) {
                read.commandWritten(wire.takeFirst());
                read.responseDispatched();
            }
        };
        read.start();
        for (int s = 0; s <= FullRead::kLastStep; ++s) {
            answer(1);
            clock.advance(FullRead::kIntervalMs);
        }
        QVERIFY(!read.tmrSave()->isActive());
        QVERIFY(read.isRunning());
        QVERIFY(read.owedReplies() > 0);
        // Another command and its reply between ours change nothing.
        read.commandWritten("p\r\n");
        read.responseDispatched();
        // All but the last answered: still owed.
        answer(int(wire.size()) - 1);
        QCOMPARE(read.owedReplies(), 1);
        QCOMPARE(finished.count(), 0);
        // Written, not yet answered: still owed.
        read.commandWritten(wire.takeFirst());
        QCOMPARE(finished.count(), 0);
        read.responseDispatched();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(failed.count(), 0);
        QVERIFY(!read.isRunning());

        // Again, and the queue loses "ddv" unwritten: the read waits the
        // reply time, then fails at that step.
        wire.clear();
        read.start();
        for (int s = 0; s < 5; ++s) {
            answer(int(wire.size()));
            clock.advance(FullRead::kIntervalMs);
        }
        QCOMPARE(wire, QStringList({"ddv\r\n"}));
        wire.removeFirst();            // never written
        read.commandWritten("p\r\n"); // other traffic goes on
        read.responseDispatched();
        clock.advance(2 * FullRead::kIntervalMs);
        answer(int(wire.size())); // "ddfv" and "ddpv" answered: not the reply owed first
        QCOMPARE(read.owedReplies(), 3);
        clock.advance(FullRead::kReplyWaitMs - 3500);
        QCOMPARE(failed.count(), 0);
        clock.advance(2000);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 4);
        QCOMPARE(failed.at(0).at(1).toString(), QStringLiteral("ddv"));
        QVERIFY(failed.at(0).at(2).toString().startsWith(QStringLiteral("the command was not sent")));
        QVERIFY(!read.isRunning());
        QVERIFY(!read.tmrSave()->isActive());
        QCOMPARE(finished.count(), 1);

        // Aborted by its owner: the first step not answered, the reason given.
        wire.clear();
        read.start();
        answer(1);
        clock.advance(3 * FullRead::kIntervalMs); // "da", "db", "dc" queued
        read.commandWritten(wire.takeFirst());   // "da" in flight
        read.abort("the serial port was lost");
        QCOMPARE(failed.count(), 2);
        QCOMPARE(failed.at(1).at(1).toString(), QStringLiteral("da"));
        QCOMPARE(failed.at(1).at(2).toString(), QStringLiteral("the serial port was lost"));
        read.responseDispatched(); // its late reply ends nothing more
        read.abort("again");
        QCOMPARE(failed.count(), 2);
        QCOMPARE(finished.count(), 1);
    }

    void monitorLostMidway_stopsAndSaysSo_insteadOfFinishing()
    {
        AnsweringRead a;
        FullRead &read = a.read;
        QStringList &sent = a.sent;
        ManualClock &clock = a.clock;
        LinkGlobals &g = a.g;
        QSignalSpy finished(&read, &FullRead::finished);
        QSignalSpy failed(&read, &FullRead::failed);
        read.start();
        clock.advance(5000);
        const qsizetype before = sent.size();
        ConnectionFlagsForTests::setOnline(g, false);
        clock.advance(60000);
        QCOMPARE(sent.size(), before);
        QCOMPARE(finished.count(), 0);
        QCOMPARE(failed.count(), 1);
        QCOMPARE(failed.at(0).at(0).toInt(), 5);
        QCOMPARE(failed.at(0).at(1).toString(), QStringLiteral("ddfv"));
        QVERIFY(!read.isRunning());

        // Started again once the monitor is back, it runs to the end.
        ConnectionFlagsForTests::setOnline(g, true);
        QVERIFY(read.start());
        clock.advance(60000);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(failed.count(), 1);
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
        ConnectionFlagsForTests::setOnline(g, true);
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
