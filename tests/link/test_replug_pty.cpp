// An adapter pulled and plugged back in, end to end: the whole tool on the
// real serial port against the simulator on a pseudo-terminal; the simulator
// is stopped (its link disappears, as a pulled adapter's device does) and
// started again under the same link name.

#include "base/windownames.h"
#include "ptyharness.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
const QStringList kMonitor{QStringLiteral("--version"), QStringLiteral("2.25")};
constexpr int kReplug = int(Connector::kReplugMs * PtyHarness::kScale);

QString status(PtyHarness &h)
{
    auto *label = h.child<QLabel>(win::frmConnect, "lbl1");
    return label ? label->text() : QString();
}
} // namespace

#define START_SIM(h)                                                                           \
    do {                                                                                       \
        if (!ptyAvailable())                                                                   \
            QSKIP("no pseudo-terminals on this system");                                       \
        QVERIFY2((h).startSim(kMonitor), qPrintable((h).sim->error()));                       \
    } while (false)

class TestReplugPty : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void autoReConnect_findsThePortAgain_andIsBackOnlineWithoutAClick()
    {
        PtyHarness h;
        START_SIM(h);
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        QSignalSpy replugged(&h.core->connector, &Connector::portReplugged);
        h.startTool();
        QVERIFY(h.child<QCheckBox>(win::frmConnect, "ckAutoReConnect")->isChecked());
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);

        h.sim->stop(); // pulled
        QTRY_VERIFY_WITH_TIMEOUT(h.core->connector.waitingForReplug(), 3000);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(!h.core->link.isPortOpen());
        QVERIFY2(status(h).contains(QStringLiteral("was lost")), qPrintable(status(h)));
        QVERIFY(status(h).contains(QStringLiteral("Looking for it every 2 seconds")));
        // Nothing there yet: it keeps looking.
        QTest::qWait(2 * kReplug + 50);
        QVERIFY(h.core->connector.waitingForReplug());
        QCOMPARE(connected.count(), 1);

        QVERIFY2(h.startSim(kMonitor), qPrintable(h.sim->error())); // plugged in again
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 5000);
        QCOMPARE(replugged.count(), 1);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- Monitor on Com1")));
        QCOMPARE(status(h), QStringLiteral("Connected on the selected port."));
        QTRY_VERIFY_WITH_TIMEOUT(h.sim->count("df") == 1, 3000); // the new monitor was asked
        QVERIFY(h.sim->count("p") >= 1);
        QVERIFY(h.messages.messages.isEmpty()); // no message box on the way

        // The session record went on across the replug, with the events in
        // their places among the traffic.
        QList<SessionRecord::Entry> entries;
        QVERIFY(SessionRecord::readFile(h.core->sessionRecord.currentFile(), &entries));
        QStringList events;
        bool pingAfterReplug = false;
        for (const auto &e : entries) {
            if (e.kind == SessionRecord::Kind::Event
                && (e.text == QLatin1String("Online") || e.text.startsWith(QLatin1String("Port"))))
                events << (e.text.contains(QLatin1String(" lost: ")) ? QStringLiteral("lost") : e.text);
            if (events.contains(QStringLiteral("Port found again")) && e.kind == SessionRecord::Kind::Tx
                && e.bytes == "p\r\n")
                pingAfterReplug = true;
        }
        const qsizetype lost = events.indexOf(QStringLiteral("lost"));
        QVERIFY2(lost > 0 && events.indexOf(QStringLiteral("Online")) < lost, qPrintable(events.join(u'|')));
        QVERIFY2(events.indexOf(QStringLiteral("Port found again"), lost) > lost, qPrintable(events.join(u'|')));
        QCOMPARE(events.last(), QStringLiteral("Online"));
        QVERIFY(pingAfterReplug);
    }

    void withoutAutoReConnect_waitsForOk()
    {
        PtyHarness h;
        START_SIM(h);
        QSignalSpy connected(&h.core->connector, &Connector::connected);
        h.startTool();
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 1, 5000);
        h.child<QCheckBox>(win::frmConnect, "ckAutoReConnect")->setChecked(false);

        h.sim->stop();
        QTRY_VERIFY_WITH_TIMEOUT(!h.core->link.isPortOpen(), 3000);
        QVERIFY(!h.core->connector.waitingForReplug());
        QVERIFY2(status(h).contains(QStringLiteral("then click OK")), qPrintable(status(h)));
        QVERIFY2(h.startSim(kMonitor), qPrintable(h.sim->error()));
        QTest::qWait(3 * kReplug);
        QCOMPARE(connected.count(), 1);
        QVERIFY(!h.core->link.isPortOpen());

        QTest::mouseClick(h.child<QPushButton>(win::frmConnect, "btnOK"), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(connected.count(), 2, 5000);
    }
};

QTEST_MAIN(TestReplugPty)
#include "test_replug_pty.moc"
