// "!" while a firmware download is prepared or running: a refusal that is
// dispatched and releases the queue, in both forms the monitor uses; outside
// a download the interim marker is unchanged.

#include "linkrig.h"

#include <QTest>

using namespace tvk;
using tvk::test::ScriptedPort;

namespace {

// The link with a download running: a refusal is answered with the resend,
// as the download engine does.
struct Rig : tvk::test::LinkRig {
    bool downloading = true;
    ScriptedPort *port = nullptr;

    Rig()
    {
        link.setRefusalFraming([this] { return downloading; });
        onDispatch = [this](const QString &r) {
            if (r.contains(u'!'))
                link.SendCommand(QStringLiteral(":resend\r\n"));
        };
        port = open();
    }
    // A command written and its pause over.
    void sendAndWrite(const QString &c)
    {
        link.SendCommand(c);
        clock.advance(SerialLink::kWritePauseMs);
    }
    int writeCount() const { return int(port->writes().size()); }
};

} // namespace

class TestRefusalFraming : public QObject {
    Q_OBJECT
private slots:
    void bangAloneIsDispatchedAndReleases();
    void promptAfterBangIsNoAcknowledgement();
    void interimMarkerOutsideADownload();
};

void TestRefusalFraming::bangAloneIsDispatchedAndReleases()
{
    Rig r;
    r.sendAndWrite(QStringLiteral(":rec\r\n"));
    r.port->feed(":rec\r\nChecksum Error!");
    QCOMPARE(r.dispatched, QStringList{QStringLiteral(":rec\r\nChecksum Error!")});
    QVERIFY(r.link.XmitBusy()); // the resend is taken and waits out its pause
    r.clock.advance(SerialLink::kWritePauseMs);
    QCOMPARE(r.port->writes().last(), QByteArray(":resend\r\n"));
    // The resend's own reply closes normally.
    r.port->feed("\r\n:resend\r\n#");
    QCOMPARE(r.dispatched.size(), 2);
    QCOMPARE(r.dispatched.last(), QStringLiteral(":resend\r\n#"));
    QVERIFY(!r.link.XmitBusy());
}

void TestRefusalFraming::promptAfterBangIsNoAcknowledgement()
{
    // The prompt arriving in the same chunk, and later (after the resend was
    // written): neither time is it dispatched or does it release anything.
    for (bool late : {false, true}) {
        Rig r;
        r.sendAndWrite(QStringLiteral(":rec\r\n"));
        r.link.SendCommand(QStringLiteral(":next\r\n")); // queued behind
        QCOMPARE(r.writeCount(), 1);
        if (late) {
            r.port->feed(":rec\r\nRefused!");
            r.clock.advance(SerialLink::kWritePauseMs); // ":next" goes out
            r.clock.advance(SerialLink::kWritePauseMs);
            QCOMPARE(r.writeCount(), 2);
            r.port->feed("\r\n#");
        } else {
            r.port->feed(":rec\r\nRefused!\r\n#");
            r.clock.advance(SerialLink::kWritePauseMs);
        }
        QCOMPARE(r.dispatched, QStringList{QStringLiteral(":rec\r\nRefused!")});
        QCOMPARE(r.writeCount(), 2);
        QVERIFY(r.link.XmitBusy()); // ":next" still waits for its own reply
        r.clock.advance(SerialLink::kWritePauseMs * 5);
        QCOMPARE(r.writeCount(), 2);
        QCOMPARE(r.link.ReceiveBuffer(), QString());
        r.port->feed(":next\r\n#");
        QVERIFY(r.dispatched.last().startsWith(QStringLiteral(":next")));
        QCOMPARE(r.dispatched.size(), 2);
        QVERIFY(r.link.XmitBusy()); // the resend queued by the refusal goes now
        r.clock.advance(SerialLink::kWritePauseMs);
        QCOMPARE(r.port->writes().last(), QByteArray(":resend\r\n"));
    }
}

void TestRefusalFraming::interimMarkerOutsideADownload()
{
    Rig r;
    r.downloading = false;
    r.sendAndWrite(QStringLiteral("df\r\n"));
    r.port->feed("df\r\nbusy!\r\n");
    QVERIFY(r.dispatched.isEmpty());
    QVERIFY(r.link.XmitBusy());
    r.port->feed("V 2.25\r\n#");
    QCOMPARE(r.dispatched, QStringList{QStringLiteral("V 2.25\r\n#")});
    QVERIFY(!r.link.XmitBusy());
}

QTEST_GUILESS_MAIN(TestRefusalFraming)
#include "test_refusalframing.moc"
