// The whole tool against the monitor simulator served on a pseudo-terminal:
// the real main window (offscreen), the real serial port and real time, run
// five times faster (the slider drag at the link's own timing). What the
// monitor received is read from the simulator's own report, so these tests
// see the wire as the monitor sees it.

#include "base/adjustnames.h"
#include "base/menunames.h"
#include "panels/panel.h"
#include "app/windowregistry.h"
#include "monitorsim.h"
#include "ptyharness.h"
#include "sliderdrag.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QAbstractSlider>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

constexpr int kAttempt = int(Connector::kAttemptMs * PtyHarness::kScale);   // attempt clock
constexpr int kKeepAlive = int(5000 * PtyHarness::kScale);                  // after a response
constexpr int kReply = int(Connector::kReplyMs * PtyHarness::kScale);       // reply timer
constexpr int kNotice = int(Connector::kTimedOutNoticeMs * PtyHarness::kScale);

int indicator(PtyHarness &h)
{
    auto *button = h.child<QPushButton>("frmConnect", "btnInd");
    return button ? button->property("tvkColour").toInt() : -1;
}

QString within(qint64 value, qint64 low, qint64 high)
{
    return QStringLiteral("%1 ms, expected %2..%3").arg(value).arg(low).arg(high);
}

} // namespace

// Checks that a measured interval lies within [low, high] ms.
#define VERIFY_BETWEEN(value, low, high)                                                       \
    do {                                                                                       \
        const qint64 v_ = (value);                                                             \
        QVERIFY2(v_ >= (low) && v_ <= (high), qPrintable(within(v_, (low), (high))));         \
    } while (false)

#define START_SIM(h, ...)                                                                      \
    do {                                                                                       \
        if (!ptyAvailable())                                                                   \
            QSKIP("no pseudo-terminals on this system");                                       \
        QVERIFY2((h).startSim(__VA_ARGS__), qPrintable((h).sim->error()));                    \
    } while (false)

class TestE2ePty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Closing the main window in a test must not quit the event loops
        // that QSignalSpy and QTRY run.
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void connects_asksForTheVersion_andKeepsTheLinkAlive()
    {
        PtyHarness h;
        START_SIM(h, {QStringLiteral("--version"), QStringLiteral("2.25")});
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        QSignalSpy lost(&h.core->connector, &Connector::monitorLost);
        h.startTool();
        QVERIFY(h.core->link.isPortOpen());
        QCOMPARE(h.core->link.deviceName(), h.linkPath);

        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        QCOMPARE(connected.at(0).at(0).toBool(), false);
        QVERIFY2(h.window->windowTitle().endsWith(QStringLiteral(" -- Monitor on Com1")),
                 qPrintable(h.window->windowTitle()));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QCOMPARE(indicator(h), Colour::Green);
        QCOMPARE(h.child<QLabel>("frmConnect", "lbl1")->text(), QStringLiteral("Connected on the selected port."));
        QVERIFY(!h.visible("frmTrying"));

        // The monitor saw its ping answered first, then the version request,
        // whose reply sets the monitor type.
        QTRY_COMPARE_WITH_TIMEOUT(h.sim->count("df"), 1, 3000);
        const QByteArrayList first = h.sim->commands();
        QCOMPARE(first.first(), QByteArray("p"));
        for (const QByteArray &line : first.mid(0, first.indexOf("df")))
            QCOMPARE(line, QByteArray("p"));
        QTRY_COMPARE_WITH_TIMEOUT(h.core->data.MonitorType, 225, 3000);

        // Keep-alive: one ping about 5 s (scaled) after each response. The
        // version reply may bring further reads (the capability word); the
        // first keep-alive follows the last of them, the next follows the
        // first one's reply.
        const int pingsAtConnect = h.sim->count("p");
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("p") >= pingsAtConnect + 2, 4 * kKeepAlive + 2000);
        const QList<SimProcess::Received> all = h.sim->received();
        int keep1 = -1;
        for (int i = int(first.indexOf("df")) + 1; i < all.size() && keep1 < 0; ++i)
            if (all[i].line == "p")
                keep1 = i;
        QVERIFY(keep1 > 0 && keep1 + 1 < all.size());
        QCOMPARE(all[keep1 + 1].line, QByteArray("p"));
        // Well above the 2 s (scaled) of a reply timer or attempt clock.
        VERIFY_BETWEEN(all[keep1].atMs - all[keep1 - 1].atMs, kKeepAlive * 7 / 10, kKeepAlive * 5 / 2);
        VERIFY_BETWEEN(all[keep1 + 1].atMs - all[keep1].atMs, kKeepAlive * 7 / 10, kKeepAlive * 5 / 2);
        QCOMPARE(lost.count(), 0);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QCOMPARE(indicator(h), Colour::Green);
    }

    void silentMonitor_givesUpAfterTheRetryLimit()
    {
        PtyHarness h;
        START_SIM(h, {QStringLiteral("--silent-after"), QStringLiteral("0")});
        h.setConfig(QStringLiteral("ConnectRetryLimit"), QStringLiteral("3"));
        QSignalSpy failed(&h.core->connector, &Connector::cycleFailed);
        qint64 failedAt = -1;
        QObject::connect(&h.core->connector, &Connector::cycleFailed, [&] { failedAt = h.now(); });
        h.startTool();
        // The technician unticks Auto ReConnect while the first ping is out.
        auto *autoReConnect = h.child<QCheckBox>("frmConnect", "ckAutoReConnect");
        QVERIFY(autoReConnect && autoReConnect->isChecked());
        autoReConnect->click();
        QVERIFY(!h.core->connector.autoReConnect());
        QCOMPARE(h.child<QLabel>("frmTrying", "lblLimit")->text(), QStringLiteral("3"));

        QTRY_COMPARE_WITH_TIMEOUT(failed.count(), 1, 3 * kAttempt + 3000);
        QVERIFY(h.visible("frmTimedOut"));
        QVERIFY(!h.visible("frmTrying"));
        QVERIFY(h.visible("frmConnect"));
        const QString status = h.child<QLabel>("frmConnect", "lbl1")->text();
        QCOMPARE(status, Connector::unableToConnectText());
        QCOMPARE(status.split(QStringLiteral("\r\n")).size(), 4);
        QCOMPARE(indicator(h), Colour::Red);
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- No monitor")));

        // Three pings, one attempt clock apart, and the end one clock after the last.
        QTRY_COMPARE_WITH_TIMEOUT(h.sim->count("p"), 3, 1000);
        QCOMPARE(h.sim->commands(), QByteArrayList({"p", "p", "p"}));
        const QList<qint64> pings = h.sim->times("p");
        VERIFY_BETWEEN(pings[1] - pings[0], kAttempt / 2, kAttempt * 3);
        VERIFY_BETWEEN(pings[2] - pings[1], kAttempt / 2, kAttempt * 3);
        VERIFY_BETWEEN(failedAt - pings[2], kAttempt / 2, kAttempt * 3);

        // The notice closes by itself after 5 s (scaled); no ping meanwhile.
        QTRY_VERIFY_WITH_TIMEOUT(!h.visible("frmTimedOut"), kNotice * 3 + 2000);
        VERIFY_BETWEEN(h.now() - failedAt, kNotice * 7 / 10, kNotice * 3 + 2000);
        QCOMPARE(h.sim->count("p"), 3);
        QVERIFY(!h.core->connector.cycleRunning());
        QCOMPARE(h.core->connector.TriesToGo(), 0);
    }

    void bootBlock_entersBootMode_withoutAskingTheVersion()
    {
        PtyHarness h;
        START_SIM(h, {QStringLiteral("--boot")});
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.startTool();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        QCOMPARE(connected.at(0).at(0).toBool(), true);
        QVERIFY2(h.window->windowTitle().endsWith(QStringLiteral(" -- Monitor on Com1 -- BOOT MODE")),
                 qPrintable(h.window->windowTitle()));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::BootMode);
        QCOMPARE(indicator(h), Colour::Green);
        QVERIFY(h.window->menuAction(QStringLiteral("mnuMonitorRun"))->isEnabled());
        auto *adjust = h.window->findChild<QMenu *>(QStringLiteral("mnuAdjust"));
        QVERIFY(adjust && !adjust->menuAction()->isEnabled());

        // The keep-alive after connecting reaches the boot block and is
        // answered; nothing else is ever sent.
        const int pingsAtConnect = h.sim->count("p");
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("p") >= pingsAtConnect + 1, 2 * kKeepAlive + 2000);
        QTest::qWait(kReply + 100); // the reply timer of that ping runs out unfired
        for (const QByteArray &line : h.sim->commands())
            QCOMPARE(line, QByteArray("p"));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::BootMode);
        QCOMPARE(h.core->data.MonitorType, 0);
    }

    void monitorThatFallsSilent_isLost_andANewCycleStarts()
    {
        PtyHarness h;
        // Answers the connecting ping, the version request and one keep-alive.
        START_SIM(h, {QStringLiteral("--version"), QStringLiteral("1.50"), QStringLiteral("--silent-after"),
                      QStringLiteral("3")});
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        QSignalSpy lost(&h.core->connector, &Connector::monitorLost);
        qint64 lostAt = -1;
        QObject::connect(&h.core->connector, &Connector::monitorLost, [&] { lostAt = h.now(); });
        h.startTool();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 3 * kKeepAlive + kReply + 4000);

        QTRY_VERIFY_WITH_TIMEOUT(h.sim->commands().size() >= 4, 1000);
        QCOMPARE(h.sim->commands().mid(0, 4), QByteArrayList({"p", "df", "p", "p"}));
        const QList<qint64> pings = h.sim->times("p");
        // The answered keep-alive was followed by the next one ...
        VERIFY_BETWEEN(pings[2] - pings[1], kKeepAlive * 7 / 10, kKeepAlive * 5 / 2);
        // ... whose silence was noticed one reply timer later, with no second chance.
        VERIFY_BETWEEN(lostAt - pings[2], kReply / 2, kReply * 3 + 200);

        QVERIFY2(h.window->windowTitle().endsWith(QStringLiteral(" -- No monitor")),
                 qPrintable(h.window->windowTitle()));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);
        QCOMPARE(indicator(h), Colour::Red);
        QVERIFY(h.visible("frmConnect"));
        QVERIFY(h.visible("frmTrying"));
        QVERIFY(h.core->connector.cycleRunning());

        // The new cycle keeps pinging (Auto ReConnect is on), on the port
        // that was already open.
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("p") >= 5, 3 * kAttempt + 2000);
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("p") >= 6, 3 * kAttempt + 2000);
        const QList<qint64> later = h.sim->times("p");
        VERIFY_BETWEEN(later[5] - later[4], kAttempt / 2, kAttempt * 3);
        QVERIFY(h.core->link.isPortOpen());
        QCOMPARE(connected.count(), 1);
    }

    // Saved the moment the monitor is connected, before any panel read
    // anything: the file holds the monitor's values, not the empty image.
    void saveAsRightAfterConnecting_writesTheMonitorsValues()
    {
        PtyHarness h;
        START_SIM(h, {QStringLiteral("--version"), QStringLiteral("2.25")});
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.startTool();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        h.core->scanSets.setMark(0, 1); // scan set 1 ticked in the scan selection
        const QString path = h.dir.filePath(QStringLiteral("bench.mdv"));
        h.dialogs.saveAnswers << path;
        h.window->trigger(QStringLiteral("mnuFileSaveAs"));
        QVERIFY(h.core->fileSaver.isBusy());
        QVERIFY(!QFile::exists(path));
        auto *progress = h.window->findChild<QProgressBar *>(QStringLiteral("prgFullRead"));
        QVERIFY(progress && progress->isVisible());

        const int stepMs = PtyHarness::scaled(FullRead::kIntervalMs);
        QTRY_VERIFY_WITH_TIMEOUT(!h.core->fileSaver.isBusy(), FullRead::kSteps * stepMs + 8000);
        QCOMPARE(h.messages.messages, QStringList());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        // The simulator's own values, as its configuration holds them.
        sim::MonitorConfig m;
        sim::applyOptions(m, u"version=2.25");
        const auto &l = m.dacGroups['l'];
        const auto &v = m.dacGroups['v'];
        QVERIFY(l.present[0][0] != 0 && v.present[0][0] != 0);
        for (const auto &[name, group] : {std::pair{"Master Contrast", &l}, std::pair{"Vertical Size", &v}}) {
            const QByteArray line = QByteArray("\"") + name + "\","
                + QByteArray::number((*group).present[0][0]) + ',' + QByteArray::number((*group).factory[0][0])
                + ',' + QByteArray::number((*group).initial[0][0]) + "\r\n";
            QVERIFY2(bytes.contains(line), line.constData());
        }
        QVERIFY(bytes.contains("\"Firmware Version: \",\"V 2.25\""));
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- bench.mdv")));
        QVERIFY(!progress->isVisible());
    }

    void sliderDraggedOverASlowLink_endsAtTheLastValueSoonAfterTheRelease()
    {
        // The link's own timing: the pause before each write and a 9600-baud wire.
        PtyHarness h(1.0);
        START_ONLINE(h, QStringLiteral("version=2.25,baud=9600"));
        h.window->trigger(menu::mnuAdjustGeometry);
        sim::MonitorConfig m;
        sim::applyOptions(m, u"version=2.25");
        auto *slider = h.child<QAbstractSlider>(win::frmGeometryAdj, ctl::HScroll1_(0)); // Vertical Size
        QVERIFY(slider);
        QTRY_COMPARE_WITH_TIMEOUT(slider->value(), int(m.dacGroups['v'].present[0][0]), 5000);
        const qsizetype before = h.sim->commands().size();

        // Across the whole bar in 1.5 s.
        const int hi = dragAcross(slider, 1500);
        const qint64 released = h.now();

        const QByteArray last = "cdv0" + QByteArray::number(hi);
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count(last) == 1, 3000);
        QByteArrayList sets;
        for (const QByteArray &c : h.sim->commands().mid(before))
            if (c.startsWith("cdv0"))
                sets << c;
        QVERIFY2(sets.size() <= 15, sets.join(' ').constData());
        QCOMPARE(sets.last(), last);
        const qint64 held = h.sim->times(last).constFirst() - released;
        QVERIFY2(held <= 300, qPrintable(QStringLiteral("%1 ms after the release").arg(held)));
    }

    void closingTheWindow_closesThePort_andSendsNothing()
    {
        PtyHarness h;
        START_SIM(h, {QStringLiteral("--version"), QStringLiteral("2.25")});
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        // What the tool wrote, in order; the monitor must receive exactly this.
        QByteArrayList written;
        QObject::connect(&h.core->link, &SerialLink::commandWritten,
                         [&](const QString &text) { written << text.trimmed().toLatin1(); });
        h.startTool();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        QTRY_COMPARE_WITH_TIMEOUT(h.core->data.MonitorType, 225, 3000);
        QVERIFY(h.core->connector.keepAliveTimer()->isActive());

        // A command still queued at the close must not go out either.
        h.core->send(QStringLiteral("de"));
        QVERIFY(h.window->close());
        QVERIFY(!h.core->link.isPortOpen());
        const QByteArrayList writtenBeforeClose = written;
        QVERIFY(!writtenBeforeClose.contains("de"));

        // Longer than a keep-alive and its reply timer: a ping would have
        // gone out by now, had anything been left running.
        QTest::qWait(kKeepAlive + kReply + 200);
        QCOMPARE(written, writtenBeforeClose);
        QCOMPARE(h.sim->commands(), writtenBeforeClose);
        QVERIFY(!h.core->link.isPortOpen());
    }
};

QTEST_MAIN(TestE2ePty)
#include "test_e2e_pty.moc"
