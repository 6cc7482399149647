// Line framing, event reporting and the paced transmit queue of the serial
// link, driven through the scripted port and a hand-moved clock.

#include "linkrig.h"

#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using tvk::test::ScriptedPort;
using Rig = tvk::test::LinkRig;

class TestSerialLink : public QObject {
    Q_OBJECT
private slots:
    void framing_data();
    void framing();
    void interimMarker();
    void markersAreReported();
    void reopenDiscardsWaitingInput();
    void openFailureAndDeviceChoice();
    void echoAndEvents();
    void eventTable_data();
    void eventTable();
    void nestedReceiveKeepsOrder();
    void receiveBufferIsBounded();
    void portLoss();

    void writeWaitsForPause();
    void oneCommandPerClosedResponse();
    void responseDuringPauseReleasesNothing();
    void clearXmitQueue();
    void clearQueuedCommandsKeepsBusy();
    void splittingAtLineFeeds();
    void newestValueReplacesWaitingOne();
    void dispatcherQueuesDuringDispatch();
    void failedWrites();
    void bypass();
    void stateTakenAndPutBack();
};

void TestSerialLink::framing_data()
{
    QTest::addColumn<QByteArrayList>("chunks");
    QTest::addColumn<QStringList>("responses");
    QTest::addColumn<QString>("rest");

    QTest::newRow("P# CR LF") << QByteArrayList{"P#\r\n"} << QStringList{"P#"} << QString();
    QTest::newRow("two lines") << QByteArrayList{"ddv\r\n1,2,3#\r\n"}
                               << QStringList{"ddv\r\n1,2,3#"} << QString();
    QTest::newRow("leading CR LF") << QByteArrayList{"\r\nP#"} << QStringList{"\r\nP#"} << QString();
    QTest::newRow("marker mid-chunk")
        << QByteArrayList{"A#B\rC\r\nD$xy"} << QStringList{"A#", "BC\r\nD$"} << QString("xy");
    QTest::newRow("split over reads") << QByteArrayList{"d", "f\r", "\n1.0", "2#", "\r\n"}
                                      << QStringList{"df\r\n1.02#"} << QString();
    QTest::newRow("interim drops text") << QByteArrayList{"noise!\r\nP#"} << QStringList{"P#"}
                                        << QString();
    QTest::newRow("unterminated stays") << QByteArrayList{"abc\r\nde"} << QStringList{}
                                        << QString("abc\r\nde");
    QTest::newRow("boot block prompt") << QByteArrayList{"p\r\nP$\r\n"} << QStringList{"p\r\nP$"}
                                       << QString();
}

void TestSerialLink::framing()
{
    QFETCH(QByteArrayList, chunks);
    QFETCH(QStringList, responses);
    QFETCH(QString, rest);
    Rig r;
    ScriptedPort *port = r.open();
    QVERIFY(port);
    for (const QByteArray &c : chunks)
        port->feed(c);
    QCOMPARE(r.dispatched, responses);
    QCOMPARE(r.link.ReceiveBuffer(), rest);
}

void TestSerialLink::interimMarker()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QStringLiteral("bf3\r\n"));
    r.clock.advance(100);
    QVERIFY(r.link.XmitBusy());
    r.link.tmrKickXmitQueue()->stop();

    // Queue not empty: the kick is not armed by "!".
    r.link.SendCommand(QStringLiteral("p\r\n"));
    port->feed("half a line!");
    QVERIFY(r.dispatched.isEmpty());
    QVERIFY(r.link.ReceiveBuffer().isEmpty());
    QCOMPARE(r.link.LineState(), int(SerialLink::AfterInterim));
    QVERIFY(r.link.XmitBusy());
    QVERIFY(!r.link.tmrKickXmitQueue()->isActive());

    // Queue empty: "!" arms the one-shot kick.
    r.link.ClearQueuedCommands();
    port->feed("!");
    QVERIFY(r.link.tmrKickXmitQueue()->isActive());
    QCOMPARE(r.link.tmrKickXmitQueue()->interval(), 2000);
    r.clock.advance(5000);
    QVERIFY(!r.link.tmrKickXmitQueue()->isActive()); // it fired once and stopped
    QVERIFY(r.link.XmitBusy());
    QCOMPARE(r.writes(), QStringList{"bf3\r\n"});
}

void TestSerialLink::markersAreReported()
{
    Rig r;
    ScriptedPort *port = r.open();
    QSignalSpy interim(&r.link, &SerialLink::interimMarker);
    // Each end marker is reported before its response is dispatched, so the
    // connection's clocks have moved before any reply handler runs.
    QStringList order;
    QObject::connect(&r.link, &SerialLink::responseClosed, [&] { order << QStringLiteral("closed"); });
    r.onDispatch = [&](const QString &response) { order << response; };

    port->feed("P#\r\nx!\r\nB$");
    QCOMPARE(order, (QStringList{"closed", "P#", "closed", "B$"}));
    QCOMPARE(interim.size(), 1);

    // A refusal's "!" closes a response; the prompt after it is reported
    // but dispatches nothing.
    r.link.setRefusalFraming([] { return true; });
    order.clear();
    port->feed("E1!");
    QCOMPARE(order, (QStringList{"closed", "E1!"}));
    port->feed("\r\n#");
    QCOMPARE(order, (QStringList{"closed", "E1!", "closed"}));
    QCOMPARE(interim.size(), 1);
}

void TestSerialLink::reopenDiscardsWaitingInput()
{
    Rig r;
    ScriptedPort *port = r.open();
    port->feed("partial");
    port->preload("stale#\r\n");

    QVERIFY(r.link.OpenCommPort());
    QCOMPARE(r.ports.ports.size(), 1); // same device, same port object
    QCOMPARE(port->openCount(), 2);
    QCOMPARE(port->bytesAvailable(), 0);
    port->feed("P#");
    // Neither the waiting input nor the old partial line reaches the dispatcher.
    QCOMPARE(r.dispatched, QStringList{"P#"});
}

void TestSerialLink::openFailureAndDeviceChoice()
{
    Rig r;
    r.g.CommPort = 3;
    QVERIFY(r.open());
    QCOMPARE(r.ports.devices, QStringList{"dev3"});
    QVERIFY(r.link.isPortOpen());
    QCOMPARE(r.link.deviceName(), QStringLiteral("dev3"));

    // Another port number: a new port on its own device; a failed open is false.
    r.g.CommPort = 2;
    r.ports.nextOpenResult = false;
    QVERIFY(!r.link.OpenCommPort());
    QCOMPARE(r.ports.devices, (QStringList{"dev3", "dev2"}));
    QVERIFY(!r.ports.ports.first()->isOpen()); // the old port was closed first
    QVERIFY(!r.link.isPortOpen());
    QVERIFY(r.log.events.isEmpty()); // the caller reports the failure
}

void TestSerialLink::echoAndEvents()
{
    Rig r;
    ScriptedPort *port = r.open();
    port->feed("p\r\nP#\r\n");
    port->injectEvent(CommEvent::Dsr);
    QVERIFY(r.log.traffic.isEmpty());
    QCOMPARE(r.log.events, QStringList{"Received comEvDSR"});
    QCOMPARE(r.log.received, QStringLiteral("p\r\nP#\r\n")); // the log file sees everything

    r.g.CommLogEcho = true;
    port->feed("p\r\nP#\r\n");
    // LF is not echoed; every CR, stored or dropped, breaks the line.
    QCOMPARE(r.log.traffic, QStringLiteral("p\r\nP#\r\n"));
    r.log.traffic.clear();
    port->feed(QByteArray("a\n\nb"));
    QCOMPARE(r.log.traffic, QStringLiteral("ab"));
}

void TestSerialLink::eventTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("1") << 1 << "Received comEvSend";
    QTest::newRow("3") << 3 << "Received comEvCTS";
    QTest::newRow("4") << 4 << "Received comEvDSR";
    QTest::newRow("5") << 5 << "Received comEvCD";
    QTest::newRow("6") << 6 << "Received comEvRing";
    QTest::newRow("1001") << 1001 << "Received comBreak";
    QTest::newRow("1002") << 1002 << "Received comCTSTO";
    QTest::newRow("1003") << 1003 << "Received comDSRTO";
    QTest::newRow("1004") << 1004 << "Received comFrame";
    QTest::newRow("1006") << 1006 << "Received comOverrun";
    QTest::newRow("1007") << 1007 << "Received comCDTO";
    QTest::newRow("1008") << 1008 << "Received comRxOver";
    QTest::newRow("1010") << 1010 << "Received comTxFull";
    QTest::newRow("7 silent") << 7 << QString();
    QTest::newRow("1009 silent") << 1009 << QString();
    QTest::newRow("1011 silent") << 1011 << QString();
    QTest::newRow("1005 unknown") << 1005 << QString();
    QTest::newRow("42 unknown") << 42 << QString();
}

void TestSerialLink::eventTable()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    Rig r;
    ScriptedPort *port = r.open();
    port->feed("ab");
    port->injectEvent(code);
    QCOMPARE(r.log.events, message.isEmpty() ? QStringList{} : QStringList{message});
    // Events never disturb the line being collected.
    QCOMPARE(r.link.ReceiveBuffer(), QStringLiteral("ab"));
}

void TestSerialLink::nestedReceiveKeepsOrder()
{
    // A parser that spins an event loop may let the port report more input
    // before the rest of the current read has been handled.
    Rig r;
    ScriptedPort *port = r.open();
    r.onDispatch = [&](const QString &resp) {
        if (resp == QLatin1String("A#"))
            port->feed("C#");
    };
    port->feed("A#B#");
    QCOMPARE(r.dispatched, (QStringList{"A#", "B#", "C#"}));
}

void TestSerialLink::receiveBufferIsBounded()
{
    Rig r;
    ScriptedPort *port = r.open();
    const QByteArray garbage(SerialLink::kMaxReceiveBuffer / 4, 'x');
    for (int i = 0; i < 12; ++i) {
        port->feed(garbage);
        QVERIFY(r.link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    }
    QCOMPARE(r.log.events.size(), 1);
    QVERIFY(r.log.events.first().contains(QLatin1String("overflow")));

    port->feed("tail#");
    QCOMPARE(r.dispatched.size(), 1);
    QVERIFY(r.dispatched.first().endsWith(QLatin1String("xxxtail#")));
    QVERIFY(r.link.ReceiveBuffer().isEmpty());

    // A later runaway line is reported again.
    for (int i = 0; i < 5; ++i)
        port->feed(garbage);
    QCOMPARE(r.log.events.size(), 2);
}

void TestSerialLink::portLoss()
{
    Rig r;
    ScriptedPort *port = r.open();
    QSignalSpy lost(&r.link, &SerialLink::portLost);
    r.link.SendCommand(QStringLiteral("p\r\n"));
    port->injectLoss(QStringLiteral("unplugged"));
    QCOMPARE(lost.size(), 1);
    QCOMPARE(lost.first().first().toString(), QStringLiteral("unplugged"));
    QCOMPARE(r.log.events.size(), 1);
    QVERIFY(r.log.events.first().contains(QLatin1String("dev1")));
    QVERIFY(r.log.events.first().contains(QLatin1String("unplugged")));
    QVERIFY(!r.link.isPortOpen());

    // The command waiting out its pause cannot go anywhere: dropped, queue free.
    r.link.SendCommand(QStringLiteral("df\r\n"));
    r.clock.advance(100);
    QVERIFY(port->writes().isEmpty());
    QVERIFY(!r.link.XmitBusy());
    QVERIFY(r.link.XmitQueue().isEmpty());
    QCOMPARE(r.log.events.size(), 2);
    QVERIFY(r.log.events.last().contains(QLatin1String("2 command(s) not sent")));
}

void TestSerialLink::writeWaitsForPause()
{
    Rig r;
    r.open();
    QSignalSpy written(&r.link, &SerialLink::commandWritten);
    r.link.SendCommand(QStringLiteral("p\r\n"));
    QVERIFY(r.link.XmitBusy());
    QVERIFY(r.link.isWritePending());
    r.clock.advance(99);
    QVERIFY(r.writes().isEmpty());
    r.clock.advance(1);
    QCOMPARE(r.writes(), QStringList{"p\r\n"});
    QCOMPARE(r.log.transmitted, QStringList{"p\r\n"});
    QCOMPARE(written.size(), 1);
    QCOMPARE(written.first().first().toString(), QStringLiteral("p\r\n"));
    QVERIFY(r.link.tmrKickXmitQueue()->isActive());
    QCOMPARE(r.link.tmrKickXmitQueue()->interval(), 2000);
    r.clock.advance(10000);
    QCOMPARE(r.writes().size(), 1); // the pause does not repeat
}

void TestSerialLink::newestValueReplacesWaitingOne()
{
    using Q = SerialLink::Queueing;
    Rig r;
    ScriptedPort *port = r.open();
    auto send = [&](const char *c, Q rule = Q::NewestWins) { r.link.SendCommand(QString::fromLatin1(c), nullptr, rule); };
    send("cdv150\r\n");
    r.clock.advance(100); // written: in flight, never touched again
    send("cdv151\r\n");
    send("dh\r\n", Q::Once);
    send("dh\r\n", Q::Once); // the same read already waits
    send("cdh020\r\n");
    send("cdv152\r\n");
    send("cdv1-3\r\n"); // the newest value of vertical 1 waits where its first one did
    send("cdv150\r\n", Q::AsIs); // typed in the log: goes out as typed
    send("cdv160\r\n"); // may not overtake the typed line
    send("CC2\r\n");
    send("dh\r\n", Q::Once); // after a scan-set choice the read is another
    send("cdv170\r\n");
    QCOMPARE(r.link.XmitQueue(), QStringLiteral(
        "cdv1-3\r\ndh\r\ncdh020\r\ncdv150\r\ncdv160\r\nCC2\r\ndh\r\ncdv170\r\n"));

    // Everything left is written one by one, and the log shows each write.
    const char *replies[] = {"cdv150\r\n#", "cdv1-3\r\n#", "dh\r\n1#", "cdh020\r\n#", "cdv150\r\n#",
                             "cdv160\r\n#", "CC2\r\n#", "dh\r\n2#", "cdv170\r\n#"};
    for (const char *reply : replies) {
        port->feed(reply);
        r.clock.advance(100);
    }
    QCOMPARE(r.writes(), (QStringList{"cdv150\r\n", "cdv1-3\r\n", "dh\r\n", "cdh020\r\n", "cdv150\r\n",
                                      "cdv160\r\n", "CC2\r\n", "dh\r\n", "cdv170\r\n"}));
    QCOMPARE(r.log.transmitted, r.writes());
}

void TestSerialLink::oneCommandPerClosedResponse()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QStringLiteral("ddv\r\n"));
    r.clock.advance(100);
    r.link.SendCommand(QStringLiteral("ddh\r\n"));
    r.link.SendCommand(QStringLiteral("dds\r\n"));
    r.link.SendCommand(QStringLiteral("ddiv\r\n"));
    r.clock.advance(5000); // kick ticks change nothing while a command is in flight
    QCOMPARE(r.writes(), QStringList{"ddv\r\n"});

    port->feed("ddv\r\n1,2#\r\n");
    r.clock.advance(99);
    QCOMPARE(r.writes().size(), 1);
    r.clock.advance(1);
    QCOMPARE(r.writes().last(), QStringLiteral("ddh\r\n"));

    port->feed("working!\r\n"); // interim: releases nothing
    r.clock.advance(3000);
    QCOMPARE(r.writes().size(), 2);

    port->feed("ddh\r\n3,4$\r\n");
    r.clock.advance(100);
    port->feed("dds\r\n5#\r\n");
    r.clock.advance(100);
    QCOMPARE(r.writes(), (QStringList{"ddv\r\n", "ddh\r\n", "dds\r\n", "ddiv\r\n"}));
    port->feed("ddiv\r\n6#\r\n");
    QVERIFY(!r.link.XmitBusy());
    r.clock.advance(3000);
    QCOMPARE(r.writes().size(), 4);
}

void TestSerialLink::responseDuringPauseReleasesNothing()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QStringLiteral("a\r\n"));
    r.clock.advance(100);
    r.link.ClearXmitQueue(); // "a" abandoned, its answer still on its way
    r.link.SendCommand(QStringLiteral("b\r\n"));
    r.link.SendCommand(QStringLiteral("c\r\n"));
    r.clock.advance(50);
    port->feed("a#"); // late answer to "a", during b's pause
    QVERIFY(r.link.XmitBusy());
    QVERIFY(r.link.isWritePending());
    r.clock.advance(50);
    QCOMPARE(r.writes(), (QStringList{"a\r\n", "b\r\n"}));
    r.clock.advance(1000);
    QCOMPARE(r.writes().size(), 2); // c waits for b's answer
    port->feed("b#");
    r.clock.advance(100);
    QCOMPARE(r.writes().last(), QStringLiteral("c\r\n"));
}

void TestSerialLink::clearXmitQueue()
{
    Rig r;
    r.open();
    r.link.ClearXmitQueue(); // idle: silent
    QVERIFY(r.beeper.beeps.isEmpty());

    // In flight, still in the pause: the pending write is abandoned too.
    r.link.SendCommand(QStringLiteral("p\r\n"));
    r.link.SendCommand(QStringLiteral("df\r\n"));
    r.clock.advance(50);
    r.link.ClearXmitQueue();
    QCOMPARE(r.beeper.beeps, (QList<QPair<int, int>>{{250, 250}}));
    QVERIFY(!r.link.XmitBusy());
    QVERIFY(r.link.XmitQueue().isEmpty());
    // What never left is named.
    QCOMPARE(r.log.events.last(), QStringLiteral("Dropped: 2 command(s) not sent: \"p\", \"df\""));
    r.clock.advance(1000);
    QVERIFY(r.writes().isEmpty());

    // Written and unanswered: one beep, and the next command goes at once.
    r.link.SendCommand(QStringLiteral("p\r\n"));
    r.clock.advance(100);
    r.link.ClearXmitQueue();
    QCOMPARE(r.beeper.beeps.size(), 2);
    r.link.SendCommand(QStringLiteral("p\r\n"));
    r.clock.advance(100);
    QCOMPARE(r.writes(), (QStringList{"p\r\n", "p\r\n"}));
}

void TestSerialLink::clearQueuedCommandsKeepsBusy()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QStringLiteral("a\r\n"));
    r.link.SendCommand(QStringLiteral("b\r\n"));
    r.link.ClearQueuedCommands(); // during the pause: "a" is in flight, "b" dropped
    QVERIFY(r.link.XmitBusy());
    r.clock.advance(100);
    r.link.SendCommand(QStringLiteral("c\r\n"));
    r.clock.advance(1000);
    QCOMPARE(r.writes(), QStringList{"a\r\n"});
    QVERIFY(r.beeper.beeps.isEmpty());
    port->feed("a#");
    r.clock.advance(100);
    QCOMPARE(r.writes(), (QStringList{"a\r\n", "c\r\n"}));
}

void TestSerialLink::splittingAtLineFeeds()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QString()); // nothing
    QVERIFY(!r.link.XmitBusy());

    r.link.SendCommand(QStringLiteral("df")); // no LF: one appended
    r.clock.advance(100);
    QCOMPARE(r.writes(), QStringList{"df\n"});
    QVERIFY(r.link.XmitQueue().isEmpty());

    // Several commands in one call leave separately; a last piece without LF
    // is written as it is.
    r.link.SendCommand(QStringLiteral("cdv1,5\r\ncdv2,6\r\nx\ny"));
    QCOMPARE(r.link.XmitQueue(), QStringLiteral("cdv1,5\r\ncdv2,6\r\nx\ny"));
    const QStringList answers{"df#", "1#", "2#", "x#"};
    for (const QString &a : answers) {
        port->feed(a.toLatin1());
        r.clock.advance(100);
    }
    QCOMPARE(r.writes(), (QStringList{"df\n", "cdv1,5\r\n", "cdv2,6\r\n", "x\n", "y"}));

    // Only LF is the last character: written whole.
    port->feed("y#");
    r.link.ClearXmitQueue();
    r.link.SendCommand(QStringLiteral("pk0x10\r\n"));
    QVERIFY(r.link.XmitQueue().isEmpty());
    QCOMPARE(r.link.pendingCommand(), QStringLiteral("pk0x10\r\n"));

    // TransmitNext on an empty queue does not claim a command in flight.
    r.clock.advance(100);
    port->feed("ok#");
    r.link.TransmitNext();
    QVERIFY(!r.link.XmitBusy());

    // A last piece without its LF stays a command of its own: one queued
    // after it is not glued to it.
    r.link.SendCommand(QStringLiteral("a\nb"));
    r.link.SendCommand(QStringLiteral("c\r\n"));
    QCOMPARE(r.link.queuedCount(), 2);
    for (const char *answer : {"a#", "b#", "c#"}) {
        r.clock.advance(100);
        port->feed(answer);
    }
    QCOMPARE(r.writes().mid(r.writes().size() - 3), (QStringList{"a\n", "b", "c\r\n"}));
}

void TestSerialLink::dispatcherQueuesDuringDispatch()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.onDispatch = [&](const QString &resp) {
        if (resp.startsWith(QLatin1String("P")))
            r.link.SendCommand(QStringLiteral("df\r\n"));
    };
    r.link.SendCommand(QStringLiteral("p\r\n"));
    r.clock.advance(100);
    port->feed("P#\r\n");
    QVERIFY(r.link.XmitBusy()); // "df" taken right after the dispatch returned
    r.clock.advance(100);
    QCOMPARE(r.writes(), (QStringList{"p\r\n", "df\r\n"}));
}

void TestSerialLink::failedWrites()
{
    Rig r;
    ScriptedPort *port = r.open();
    port->setWriteFails(true);
    r.link.SendCommand(QStringLiteral("a\r\n"));
    r.link.SendCommand(QStringLiteral("b\r\n"));
    r.clock.advance(100);
    QVERIFY(!r.link.XmitBusy()); // nothing in flight that could be answered
    QCOMPARE(r.log.events.size(), 1);
    QVERIFY(r.log.events.first().contains(QLatin1String("\"a\"")));
    QVERIFY(r.log.transmitted.isEmpty());

    // The rest is retried by the kick, not at once.
    port->setWriteFails(false);
    r.clock.advance(1999);
    QVERIFY(port->writes().isEmpty());
    r.clock.advance(101);
    QCOMPARE(r.writes(), QStringList{"b\r\n"});
}

void TestSerialLink::bypass()
{
    Rig r;
    ScriptedPort *port = r.open();
    QSignalSpy written(&r.link, &SerialLink::commandWritten);
    r.link.SendCommand(QStringLiteral("a\r\n"));
    r.link.WriteBypass(QStringLiteral("x"));
    QCOMPARE(r.writes(), QStringList{"x"}); // no pause, no queue
    QVERIFY(r.link.XmitBusy());
    QCOMPARE(r.log.transmitted, QStringList{"x"});
    QCOMPARE(written.size(), 0);

    port->close();
    r.link.WriteBypass(QStringLiteral("y"));
    QCOMPARE(r.writes(), QStringList{"x"});
    QCOMPARE(r.log.events.size(), 1);
}

QTEST_GUILESS_MAIN(TestSerialLink)
#include "test_seriallink.moc"

// The link returns to a state taken earlier: the half line received, the
// queue and the command in flight, so what follows goes as it did.
void TestSerialLink::stateTakenAndPutBack()
{
    Rig r;
    ScriptedPort *port = r.open();
    r.link.SendCommand(QStringLiteral("dv\r\n"));
    r.link.SendCommand(QStringLiteral("dh\r\n"));
    r.clock.advance(100); // "dv" in flight, "dh" queued
    port->feed("dv\r\n12");
    const SerialLink::State mark = r.link.state();
    const ManualClock::Snapshot moment = r.clock.snapshot();

    port->feed("3#"); // closes "dv", "dh" waits out its pause
    r.link.SendCommand(QStringLiteral("dt\r\n"));
    QVERIFY(r.link.isWritePending());
    r.link.restoreState(mark);
    r.clock.restore(moment);
    QCOMPARE(r.link.ReceiveBuffer(), QStringLiteral("dv\r\n12"));
    QCOMPARE(r.link.XmitQueue(), QStringLiteral("dh\r\n"));
    QVERIFY(r.link.XmitBusy() && !r.link.isWritePending());

    port->feed("4#");
    r.clock.advance(100);
    QCOMPARE(r.dispatched.mid(r.dispatched.size() - 2), (QStringList{"dv\r\n123#", "dv\r\n124#"}));
    QCOMPARE(r.writes(), (QStringList{"dv\r\n", "dh\r\n"}));
}
