// Connection cycles, keep-alive and the port choice of the connector, on the
// core with a scripted port and a hand-moved clock. The scripted monitor
// answers every command written to it unless the test silences it.

#include "apptest.h"
#include "base/windownames.h"
#include "link/portmap.h"

#include <QDir>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
struct Rig : CoreHarness {
    enum class Answer { Normal, BootBlock, Interim, Silent };
    Answer answer = Answer::Normal;
    int answered = 0;       // writes of the current port already answered
    qint64 lastReplyMs = -1;
    QList<qint64> pingTimes; // clock time of every "p" written

    Connector &connector() { return core->connector; }
    LinkGlobals &g() { return core->globals; }

    // Moves time in 10 ms steps; after each step the monitor answers what
    // was written to it since the last step.
    void run(int ms)
    {
        stepAnswering(ms, answered, [this](ScriptedPort *p, const QByteArray &cmd) {
            if (cmd == "p\r\n")
                pingTimes << clock.nowMs();
            reply(p, cmd);
        });
    }
    void reply(ScriptedPort *p, const QByteArray &cmd)
    {
        const QByteArray echo = cmd.trimmed() + "\r\n";
        switch (answer) {
        case Answer::Silent:
            return;
        case Answer::Interim:
            p->feed(echo + "!");
            return;
        case Answer::BootBlock:
            p->feed(echo + "$");
            break;
        case Answer::Normal:
            p->feed(cmd == "df\r\n" ? echo + "2.25\r\n#" : echo + "#");
            break;
        }
        lastReplyMs = clock.nowMs();
    }
    int count(const QByteArray &cmd) const
    {
        return port() ? int(port()->writes().count(cmd)) : 0;
    }
    QString text(const QString &window, const QString &control) const
    {
        return core->controls.text(window, control).value_or(QString());
    }
    // Opens Com1 and runs until the first attempt tick has declared the connection.
    void connect()
    {
        connector().LoadConnectWindow();
        run(2050);
    }
};

} // namespace

class TestConnector : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void limitFive_pingsFiveTimesThenTimesOut()
    {
        Rig r;
        r.connector().setAutoReConnect(false);
        r.answer = Rig::Answer::Silent;
        r.connector().LoadConnectWindow();
        QVERIFY(r.windows.visible.contains(win::frmTrying));
        QCOMPARE(r.text(win::frmTrying, "lblLimit"), QStringLiteral("5"));
        QCOMPARE(r.text(win::frmTrying, "lblToGo"), QStringLiteral("5"));

        r.run(8050);
        QCOMPARE(r.text(win::frmTrying, "lblToGo"), QStringLiteral("1"));
        QVERIFY(r.connector().cycleRunning());
        r.run(2000); // t = 10050: the fifth tick gave up
        QCOMPARE(r.pingTimes.size(), 5);
        for (int i = 1; i < 5; ++i)
            QCOMPARE(r.pingTimes[i] - r.pingTimes[i - 1], 2000);
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(!r.windows.visible.contains(win::frmTrying));
        QVERIFY(r.windows.visible.contains(win::frmTimedOut));
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        QCOMPARE(r.text(win::frmConnect, "lbl1"), Connector::unableToConnectText());
        QCOMPARE(Connector::unableToConnectText().split(QStringLiteral("\r\n")).size(), 4);

        // No more pings; the notice closes itself 5 s after it opened.
        r.run(4900);
        QCOMPARE(r.pingTimes.size(), 5);
        QVERIFY(r.windows.visible.contains(win::frmTimedOut));
        r.run(100);
        QVERIFY(!r.windows.visible.contains(win::frmTimedOut));
        QVERIFY(!r.connector().timedOutTimer()->isActive());
    }

    void limitOne_givesUpAfterTwoSecondsWithOnePing()
    {
        Rig r;
        r.g().ConnectRetryLimit = 1;
        r.connector().setAutoReConnect(false);
        r.answer = Rig::Answer::Silent;
        r.connector().LoadConnectWindow();
        r.run(1990);
        QVERIFY(r.connector().cycleRunning());
        r.run(20);
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(r.windows.visible.contains(win::frmTimedOut));
        r.run(6000);
        QCOMPARE(r.pingTimes.size(), 1);
    }

    void limitZero_orAutoReConnect_neverGivesUp()
    {
        for (const bool autoReConnect : {false, true}) {
            Rig r;
            r.g().ConnectRetryLimit = autoReConnect ? 2 : 0;
            r.connector().setAutoReConnect(autoReConnect);
            r.answer = Rig::Answer::Silent;
            r.connector().LoadConnectWindow();
            r.run(60150);
            QVERIFY(r.connector().cycleRunning());
            QVERIFY(!r.windows.opened.contains(win::frmTimedOut));
            QCOMPARE(r.pingTimes.size(), 31);
            QCOMPARE(r.connector().TriesToGo(), r.g().ConnectRetryLimit - 30);
            QCOMPARE(r.text(win::frmTrying, "lblToGo"), QString::number(r.connector().TriesToGo()));
            // Every further ping first abandons the unanswered one.
            QCOMPARE(r.beeper.beeps.size(), 30);
        }
    }

    // The connector returns to a state taken earlier: the attempts left
    // count down from there again.
    void stateTakenAndPutBack_countsDownFromThere()
    {
        Rig r;
        r.g().ConnectRetryLimit = 4;
        r.connector().setAutoReConnect(false);
        r.answer = Rig::Answer::Silent;
        r.connector().LoadConnectWindow();
        r.run(2010);
        const Connector::State mark = r.connector().state();
        QCOMPARE(mark.triesToGo, 3);
        QVERIFY(!mark.autoReConnect);
        r.run(4000);
        QCOMPARE(r.connector().TriesToGo(), 1);
        r.connector().setAutoReConnect(true);
        r.connector().restoreState(mark);
        QCOMPARE(r.connector().TriesToGo(), 3);
        QVERIFY(!r.connector().autoReConnect());
        r.run(2000);
        QCOMPARE(r.text(win::frmTrying, "lblToGo"), QStringLiteral("2"));
    }

    void pingReplies_setTheLinkFlags()
    {
        Rig r;
        using K = PingReply::Kind;
        r.core->dispatcher.DispatchResponse(QStringLiteral("p\r\n$"));
        QVERIFY(r.g().connection.online());
        QVERIFY(r.g().connection.bootBlock());

        r.core->dispatcher.DispatchResponse(QStringLiteral("\r\nP#"));
        QVERIFY(r.g().connection.online());
        QVERIFY(!r.g().connection.bootBlock());

        ConnectionFlagsForTests::setOnline(r.g(), true, true);
        r.core->dispatcher.DispatchResponse(QStringLiteral("p\r\nnoise"));
        QVERIFY(!r.g().connection.online());
        QVERIFY(r.g().connection.bootBlock()); // only the online flag is cleared

        ConnectionFlagsForTests::setOnline(r.g(), true);
        r.connector().PingReplied(PingReply{K::Probe, {}, {}});
        QVERIFY(r.g().connection.online()); // a probe result is no ping answer
    }

    void pingReply_connectsAtTheNextTick()
    {
        Rig r;
        r.connector().LoadConnectWindow();
        r.run(1000);
        QVERIFY(r.g().connection.online());
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        QCOMPARE(r.count("df\r\n"), 0);
        r.run(1150);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(!r.windows.visible.contains(win::frmTrying));
        QCOMPARE(r.text(win::frmConnect, "lbl1"), QStringLiteral("Connected on the selected port."));
        QCOMPARE(r.core->controls.color(win::frmConnect, "btnInd"), Colour::Green);
        QCOMPARE(r.core->controls.color("frmCommLog", "btnInd"), Colour::Green);
        QVERIFY(r.core->controls.isEnabled("frmMain", "mnuMonitorOffline"));
        QCOMPARE(r.count("df\r\n"), 1);
        QCOMPARE(r.pingTimes.size(), 1);
    }

    void bootBlockReply_entersBootModeWithoutVersionRead()
    {
        Rig r;
        r.answer = Rig::Answer::BootBlock;
        r.connect();
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::BootMode);
        QVERIFY(r.g().connection.online());
        QVERIFY(r.g().connection.bootBlock());
        QVERIFY(!r.windows.visible.contains(win::frmTrying));
        r.run(500);
        QCOMPARE(r.count("df\r\n"), 0);
    }

    void keepAlive_pingsFiveSecondsAfterTheLastReply_andDeclaresSilentMonitorLost()
    {
        Rig r;
        r.connect();
        r.run(200); // the "df" reply
        QCOMPARE(r.count("df\r\n"), 1);
        const qint64 lastReply = r.lastReplyMs;
        const int pings = r.pingTimes.size();
        r.run(5500);
        QCOMPARE(r.pingTimes.size(), pings + 1);
        const qint64 gap = r.pingTimes.last() - lastReply;
        QVERIFY2(gap >= 5000 && gap <= 5200, qPrintable(QString::number(gap)));
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);

        // The monitor falls silent: its next keep-alive ping is the last one.
        r.answer = Rig::Answer::Silent;
        r.run(5200);
        const qint64 unanswered = r.pingTimes.last();
        QVERIFY(r.connector().replyTimer()->isActive());
        QList<qint64> lostAt;
        QObject::connect(&r.connector(), &Connector::monitorLost, [&] { lostAt << r.clock.nowMs(); });
        r.windows.visible.remove(win::frmConnect);
        r.run(2100);
        QCOMPARE(lostAt.size(), 1);
        // Declared lost 2 s after the ping was queued (it is written 100 ms later).
        QCOMPARE(lostAt.first() - unanswered, 1900);
        QVERIFY(r.windows.visible.contains(win::frmConnect));
        QVERIFY(r.windows.visible.contains(win::frmTrying));
        QVERIFY(r.connector().cycleRunning());
        QVERIFY(!r.connector().keepAliveTimer()->isActive());
        QCOMPARE(r.core->controls.color(win::frmConnect, "btnInd"), Colour::Red);
        // The new cycle pings at once, although the old ping never got its answer.
        QCOMPARE(r.pingTimes.size(), pings + 3);
        QCOMPARE(r.pingTimes.last() - lostAt.first(), 100);

        // The monitor answers again: connected once more.
        r.answer = Rig::Answer::Normal;
        r.run(3500);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
    }

    void keepAlive_withAutoPingOff_neverDeclaresLost()
    {
        Rig r;
        r.connect();
        r.run(200);
        r.connector().setAutoPing(false);
        r.answer = Rig::Answer::Silent;
        const int pings = r.pingTimes.size();
        r.run(30000);
        QCOMPARE(r.pingTimes.size(), pings);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(r.connector().keepAliveTimer()->isActive());
        QVERIFY(!r.connector().replyTimer()->isActive());
    }

    void interimMarker_stopsReplyTimer_andKeepsKeepAliveShort()
    {
        Rig r;
        r.connect();
        r.run(200);
        r.answer = Rig::Answer::Interim;
        const int pings = r.pingTimes.size();
        r.run(5200);
        QCOMPARE(r.pingTimes.size(), pings + 1);
        QVERIFY(!r.connector().replyTimer()->isActive());
        QCOMPARE(r.connector().keepAliveTimer()->interval(), 2000);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
    }

    void markers_moveTheKeepAlive_onlyWhileOnline()
    {
        Rig r;
        QVERIFY(r.core->link.OpenCommPort());
        Timer *keepAlive = r.connector().keepAliveTimer();
        Timer *reply = r.connector().replyTimer();

        // Offline: markers stop the reply timer but leave the keep-alive alone.
        reply->start(2000);
        r.port()->feed("zz#");
        QVERIFY(!reply->isActive());
        QVERIFY(!keepAlive->isActive());

        ConnectionFlagsForTests::setOnline(r.g(), true);
        reply->start(2000);
        r.port()->feed("x!");
        QVERIFY(!reply->isActive());
        QVERIFY(keepAlive->isActive());
        QCOMPARE(keepAlive->interval(), 2000);

        reply->start(2000);
        r.port()->feed("\r\nzz#");
        QVERIFY(!reply->isActive());
        QCOMPARE(keepAlive->interval(), 5000);
        QVERIFY(keepAlive->isActive());
    }

    void theMonitorIsForgotten_byEveryPathToNoMonitor()
    {
        Rig r;
        r.connect();
        auto online = [&r] {
            ConnectionFlagsForTests::setOnline(r.g(), true);
            r.connector().replyTimer()->start(Connector::kReplyMs);
        };
        auto forgotten = [&r] {
            return !r.g().connection.online() && !r.connector().replyTimer()->isActive();
        };
        online();
        r.core->connector.EnterNoMonitorState();
        QVERIFY(forgotten());
        online();
        r.core->connector.EnterOfflineDemoState();
        QVERIFY(forgotten());
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::OfflineDemo);
        QVERIFY(r.core->shell.mainTitle().contains(QStringLiteral("Offline Demo")));
        online();
        r.core->data.InitMonitorData(r.g(), r.core->settings, &r.core->modelStart);
        QVERIFY(forgotten());
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);

        // Opening a port: nobody has answered on it yet, whether it opens or not.
        online();
        r.port()->setOpenResult(false);
        r.connector().LoadConnectWindow();
        QVERIFY(forgotten());
        r.port()->setOpenResult(true);
        online();
        r.connector().ChoosePort(1);
        QVERIFY(r.core->link.isPortOpen());
        QVERIFY(forgotten());
    }

    void shutdown_stopsEveryClock_andClosesThePort()
    {
        Rig r;
        r.connect();
        r.run(200);
        r.answer = Rig::Answer::Silent;
        r.run(5200); // a keep-alive ping waits for its answer
        QVERIFY(r.connector().replyTimer()->isActive());
        r.core->send(QStringLiteral("de")); // queued behind the ping
        const int writes = r.port()->writes().size();
        QSignalSpy lost(&r.connector(), &Connector::monitorLost);

        r.connector().shutdown();
        QVERIFY(!r.core->link.isPortOpen());
        for (Timer *t : {r.connector().keepAliveTimer(), r.connector().replyTimer(), r.connector().attemptTimer(),
                         r.connector().timedOutTimer(), r.connector().replugTimer(),
                         r.core->link.tmrKickXmitQueue()})
            QVERIFY(!t->isActive());
        QVERIFY(!r.core->link.XmitBusy());
        QVERIFY(r.core->link.XmitQueue().isEmpty());

        // Nothing wakes up afterwards: no ping, no lost monitor, no reopen.
        r.run(20000);
        QCOMPARE(r.port()->writes().size(), writes);
        QCOMPARE(lost.size(), 0);
        QVERIFY(!r.core->link.isPortOpen());
    }

    void downloadPacing_reArmsOnlyARunningKeepAlive()
    {
        Rig r;
        emit r.core->download.keepAliveInterval(7000);
        QVERIFY(!r.connector().keepAliveTimer()->isActive());
        r.connect();
        QVERIFY(r.connector().keepAliveTimer()->isActive());
        emit r.core->download.keepAliveInterval(7000);
        QVERIFY(r.connector().keepAliveTimer()->isActive());
        QCOMPARE(r.connector().keepAliveTimer()->interval(), 7000);
    }

    void monitorAnsweringOnlyInterim_isLost_queueDoesNotPileUp()
    {
        Rig r;
        r.connect();
        r.run(200);
        r.answer = Rig::Answer::Interim;
        QList<qint64> lostAt;
        QObject::connect(&r.connector(), &Connector::monitorLost, [&] { lostAt << r.clock.nowMs(); });
        r.core->send(QStringLiteral("dt")); // answered "!" and held in flight
        const qint64 sent = r.clock.nowMs();
        r.run(10000);
        // The first keep-alive after the "!" (2 s) is queued behind "dt" and
        // never answered: lost 2 s later, however often the keep-alive ticks.
        QCOMPARE(lostAt.size(), 1);
        QVERIFY2(lostAt.first() - sent <= 4200, qPrintable(QString::number(lostAt.first() - sent)));
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(r.core->link.XmitQueue().size() <= 3); // a ping at most, never a pile of them
    }

    void choosingTheSamePort_doesNothing()
    {
        Rig r;
        r.connect();
        const int opens = r.port()->openCount();
        const int created = r.ports.ports.size();
        const int openedWindows = r.windows.opened.size();
        r.connector().ChoosePort(0);
        r.run(3000);
        QCOMPARE(r.port()->openCount(), opens);
        QCOMPARE(r.ports.ports.size(), created);
        QCOMPARE(r.windows.opened.size(), openedWindows);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
    }

    void choosingAnotherPort_opensItAndStartsACycle()
    {
        Rig r;
        r.connect();
        r.connector().ChoosePort(2);
        QCOMPARE(r.g().CommPort, 3);
        QCOMPARE(r.ports.devices.last(), deviceForPortText(3));
        QVERIFY(r.connector().cycleRunning());
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        r.answered = 0;
        r.run(2050);
        QCOMPARE(r.count("p\r\n"), 1);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(r.core->shell.mainTitle().endsWith(QStringLiteral("Monitor on Com3")));
    }

    void portThatWillNotOpen_isReported_andLeavesNoMonitor()
    {
        Rig r;
        r.connect();
        r.ports.nextOpenResult = false;
        r.connector().ChoosePort(1);
        QCOMPARE(r.messages.messages.size(), 1);
        QVERIFY(r.messages.messages.first().startsWith(QStringLiteral("Comm Port Error  on Com2 -> try another port\r\n")));
        QCOMPARE(r.g().CommPort, 2);
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(!r.connector().keepAliveTimer()->isActive());
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(r.text(win::frmConnect, "lbl1").contains(QStringLiteral("could not be opened")));

        // OK tries the port again and reports it again.
        r.connector().OkPressed();
        QCOMPARE(r.messages.messages.size(), 2);
        QVERIFY(!r.connector().cycleRunning());
    }

    void portFailingAtStart_staysQuiet_untilTheUserActs()
    {
        Rig r;
        r.ports.nextOpenResult = false;
        r.connector().LoadConnectWindow();
        QVERIFY(r.messages.messages.isEmpty());
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(!r.windows.opened.contains(win::frmTrying));
        QVERIFY(r.text(win::frmConnect, "lbl1").startsWith(QStringLiteral("Trying port 1\r\nCom1")));
        QCOMPARE(r.core->controls.color(win::frmConnect, "btnInd"), Colour::Red);
    }

    void lostAdapter_stopsEverything_andOkReopens()
    {
        Rig r;
        r.connect();
        r.run(200);
        r.port()->injectLoss(QStringLiteral("device removed"));
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(!r.connector().keepAliveTimer()->isActive());
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(r.windows.visible.contains(win::frmConnect));
        QVERIFY(r.text(win::frmConnect, "lbl1").contains(QStringLiteral("device removed")));
        const int opens = r.port()->openCount();
        r.connector().OkPressed();
        QCOMPARE(r.port()->openCount(), opens + 1);
        QVERIFY(r.connector().cycleRunning());
    }

    void lostAdapter_withAutoReConnect_isLookedForEvery2s_andReopened()
    {
        Rig r;
        r.connect();
        ScriptedPort *port = r.port();
        port->injectLoss(QStringLiteral("device removed"));
        QVERIFY(r.connector().waitingForReplug());
        QVERIFY(r.text(win::frmConnect, "lbl1").contains(QStringLiteral("Looking for it every 2 seconds")));
        const int opens = port->openCount();
        port->setOpenResult(false); // still unplugged
        r.run(1990);
        QCOMPARE(port->openCount(), opens);
        r.run(4000);
        QCOMPARE(port->openCount(), opens + 2);
        QVERIFY(!r.connector().cycleRunning());
        QVERIFY(r.messages.messages.isEmpty()); // looking is silent
        // OK while it is still unplugged says so, and the search goes on.
        r.connector().OkPressed();
        QCOMPARE(r.messages.messages.size(), 1);
        QVERIFY(r.connector().waitingForReplug());
        r.run(10); // the search starts its 2 s again from here

        port->setOpenResult(true); // plugged in again
        const int pings = r.pingTimes.size();
        r.run(2200);
        QCOMPARE(port->openCount(), opens + 4);
        QVERIFY(!r.connector().waitingForReplug());
        QCOMPARE(r.pingTimes.size(), pings + 1); // a new cycle pings at once
        r.run(2100);
        QCOMPARE(r.core->connector.connectionState(), ConnectionState::Online);

        // Unticking Auto ReConnect while looking stops it; ticking it again resumes.
        r.port()->injectLoss(QStringLiteral("device removed"));
        r.connector().setAutoReConnect(false);
        QVERIFY(!r.connector().waitingForReplug());
        QVERIFY(r.text(win::frmConnect, "lbl1").contains(QStringLiteral("then click OK")));
        const int before = r.port()->openCount();
        r.run(6000);
        QCOMPARE(r.port()->openCount(), before);
        r.connector().setAutoReConnect(true);
        QVERIFY(r.connector().waitingForReplug());
        // Going offline ends the search for good.
        r.connector().GoOffline();
        QVERIFY(!r.connector().waitingForReplug());
        r.connector().setAutoReConnect(true);
        r.run(6000);
        QCOMPARE(r.port()->openCount(), before);
    }

    void remappedPort_isReopenedByOk_andAFailedOpenSaysWhy()
    {
        Rig r;
        r.connect();
        const int opens = r.port()->openCount();
        // OK on the same mapping keeps the open port.
        r.connector().OkPressed();
        QCOMPARE(r.port()->openCount(), opens);
        r.core->portMap.mapToDevice(1, QStringLiteral("/dev/ttyUSB5"));
        r.ports.nextOpenResult = false;
        r.connector().OkPressed();
        QCOMPARE(r.ports.devices.last(), QStringLiteral("/dev/ttyUSB5"));
        QCOMPARE(r.messages.messages.size(), 1);
        const QString shown = r.messages.messages.first();
        QVERIFY(shown.startsWith(Connector::portErrorMessage(1) + QStringLiteral("\r\n\r\n")));
        QVERIFY(shown.endsWith(QStringLiteral("Com1 (/dev/ttyUSB5) could not be opened: cannot open.")));
        QVERIFY(r.text(win::frmConnect, "lbl1").contains(QStringLiteral("(/dev/ttyUSB5) could not be opened: cannot open")));
    }

    void cancelOfflineAndGoOffline_endTheCycle()
    {
        for (int how = 0; how < 3; ++how) {
            Rig r;
            r.answer = Rig::Answer::Silent;
            r.connector().LoadConnectWindow();
            r.run(500);
            if (how == 0)
                r.connector().CancelCycle();
            else if (how == 1)
                r.connector().OfflinePressed();
            else
                r.connector().GoOffline();
            QVERIFY(!r.connector().cycleRunning());
            QVERIFY(!r.windows.visible.contains(win::frmTrying));
            QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
            // A monitor that answers late does not connect behind the user's back.
            r.answer = Rig::Answer::Normal;
            r.run(6000);
            QCOMPARE(r.pingTimes.size(), 1);
            QCOMPARE(r.core->connector.connectionState(), ConnectionState::NoMonitor);
            QCOMPARE(r.windows.hidden.contains(win::frmConnect), how != 0);
        }
    }

    void retryLimit_acceptsWholeNumbersUpTo32767_andTheNextCycleUsesIt()
    {
        Rig r;
        for (const char *bad : {"abc", "-1", "40000", "", "7.5", "99999999999999999999"}) {
            QVERIFY2(!r.connector().SetRetryLimit(QString::fromLatin1(bad)), bad);
            QCOMPARE(r.g().ConnectRetryLimit, 5);
        }
        QCOMPARE(r.messages.messages.size(), 6);
        QCOMPARE(r.messages.messages.first(), Connector::retryLimitRefusal());
        QVERIFY(r.connector().SetRetryLimit(QStringLiteral("32767")));
        QVERIFY(r.connector().SetRetryLimit(QStringLiteral(" 2 ")));
        QCOMPARE(r.g().ConnectRetryLimit, 2);

        r.connector().setAutoReConnect(false);
        r.answer = Rig::Answer::Silent;
        r.connector().LoadConnectWindow();
        QCOMPARE(r.text(win::frmTrying, "lblLimit"), QStringLiteral("2"));
        r.run(4050);
        QCOMPARE(r.pingTimes.size(), 2);
        QVERIFY(r.windows.visible.contains(win::frmTimedOut));
    }

private:
    static QString deviceForPortText(int port) { return defaultDeviceForPort(port); }
};

QTEST_GUILESS_MAIN(TestConnector)
#include "test_connector.moc"
