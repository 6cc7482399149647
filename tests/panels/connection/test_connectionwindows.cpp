// The four connection windows on the real main window, with the simulated
// monitor behind the ports and the manual clock.

#include "app/windowregistry.h"
#include "base/windownames.h"
#include "guitest.h"
#include "panels/connection/timedoutwindow.h"
#include "monitorsim.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestConnectionWindows : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void startUp_showsBothWindows_andConnects()
    {
        GuiHarness h("version=2.25");
        h.start();
        QVERIFY(h.visible("frmConnect"));
        QVERIFY(h.visible("frmTrying"));
        // The progress window is in front.
        QCOMPARE(h.window->mdiArea()->activeSubWindow(), h.window->registry().subWindow("frmTrying"));

        auto *frame = h.window->registry().subWindow("frmConnect");
        QCOMPARE(frame->widget()->windowTitle(), QStringLiteral("Monitor Connection"));
        QVERIFY(h.child<QRadioButton>("frmConnect", "optCommPort_0")->isChecked());
        QCOMPARE(h.child<QRadioButton>("frmConnect", "optCommPort_3")->text(), QStringLiteral("Com4"));
        QCOMPARE(h.child<QRadioButton>("frmConnect", "optCommPort_2")->toolTip(),
                 QStringLiteral("sim:version=2.25 (bundled simulator)"));
        QCOMPARE(h.child<QPushButton>("frmConnect", "btnOK")->toolTip(), QStringLiteral("Try this port."));
        QCOMPARE(h.child<QPushButton>("frmConnect", "btnOffline")->toolTip(),
                 QStringLiteral("Work without a monitor."));
        QCOMPARE(h.child<QPushButton>("frmConnect", "btnDone")->toolTip(), QStringLiteral("Close Window"));
        QCOMPARE(h.child<QPushButton>("frmTrying", "btnCancel")->toolTip(), QStringLiteral("Stop Connect Attempt"));
        QCOMPARE(h.child<QLabel>("frmTrying", "lblLimit")->text(), QStringLiteral("5"));
        auto *indicator = h.child<QPushButton>("frmConnect", "btnInd");
        QCOMPARE(indicator->property("tvkColour").toInt(), Colour::Red);
        QCOMPARE(h.child<QLabel>("frmConnect", "lbl1")->text(), QStringLiteral("Trying port 1"));

        h.pump(2300);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(!h.visible("frmTrying"));
        QCOMPARE(indicator->property("tvkColour").toInt(), Colour::Green);
        QCOMPARE(h.child<QLabel>("frmConnect", "lbl1")->text(),
                 QStringLiteral("Connected on the selected port."));
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- Monitor on Com1")));
        const QByteArrayList received = h.monitor()->commandsReceived();
        QVERIFY(received.contains("p"));
        QVERIFY(received.contains("df"));
        QCOMPARE(h.core->data.MonitorType, 225);

        // Tool tips follow the port map each time the window comes up.
        h.core->settings.write(AppName::Tarvikon, SettingsSection::Configs, "Com2Device", "/dev/ttyUSB7");
        QTest::mouseClick(h.child<QPushButton>("frmConnect", "btnDone"), Qt::LeftButton);
        QVERIFY(!h.visible("frmConnect"));
        h.window->trigger(QStringLiteral("mnuMonitorOnline"));
        QVERIFY(h.visible("frmConnect"));
        QCOMPARE(h.child<QRadioButton>("frmConnect", "optCommPort_1")->toolTip(), QStringLiteral("/dev/ttyUSB7 (not found)"));
    }

    void silentMonitor_isDeclaredLost_andANewCycleStarts()
    {
        GuiHarness h("version=2.25,silentafter=2");
        h.start();
        h.pump(2300);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QTest::mouseClick(h.child<QPushButton>("frmConnect", "btnDone"), Qt::LeftButton);
        QVERIFY(!h.visible("frmConnect"));
        // The version reply closes the last answered response; a keep-alive
        // ping follows about 5 s later and is declared lost 2 s after that.
        int elapsed = 0;
        while (elapsed < 10000 && h.core->connector.connectionState() == ConnectionState::Online) {
            h.pump(100);
            elapsed += 100;
        }
        QVERIFY2(elapsed >= 6500 && elapsed <= 7500, qPrintable(QString::number(elapsed)));
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(h.visible("frmConnect"));
        QVERIFY(h.visible("frmTrying"));
        QVERIFY(h.core->connector.cycleRunning());
        QCOMPARE(h.child<QPushButton>("frmConnect", "btnInd")->property("tvkColour").toInt(), Colour::Red);
        const int before = h.monitor()->commandsReceived().count("p");
        h.pump(4100);
        QVERIFY(h.monitor()->commandsReceived().count("p") >= before + 2);
    }

    void changeTries_refusesBadInput_andTheNextCycleUsesTheLimit()
    {
        GuiHarness h("version=2.25,silentafter=0");
        h.start();
        QTest::mouseClick(h.child<QPushButton>("frmTrying", "btnChange"), Qt::LeftButton);
        QVERIFY(h.visible("frmChangeTries"));
        auto *text = h.child<QLineEdit>("frmChangeTries", "txtConnectRetryLimit");
        auto *ok = h.child<QPushButton>("frmChangeTries", "btnOK");
        QCOMPARE(text->text(), QStringLiteral("5"));
        for (const char *bad : {"abc", "-1", "40000"}) {
            text->setText(QString::fromLatin1(bad));
            QTest::mouseClick(ok, Qt::LeftButton);
            QVERIFY2(h.visible("frmChangeTries"), bad);
        }
        QCOMPARE(h.messages.messages.size(), 3);
        QCOMPARE(h.core->globals.ConnectRetryLimit, 5);
        text->setText(QStringLiteral("7"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!h.visible("frmChangeTries"));
        QCOMPARE(h.core->globals.ConnectRetryLimit, 7);

        // Re-activating the progress window does not restart the cycle.
        h.pump(4100);
        QCOMPARE(h.core->connector.TriesToGo(), 3);
        h.window->registry().hideWindow(win::frmTrying);
        h.window->registry().openWindow(win::frmTrying);
        QCOMPARE(h.core->connector.TriesToGo(), 3);

        QTest::mouseClick(h.child<QPushButton>("frmConnect", "btnOK"), Qt::LeftButton);
        QCOMPARE(h.child<QLabel>("frmTrying", "lblLimit")->text(), QStringLiteral("7"));
        QCOMPARE(h.child<QLabel>("frmTrying", "lblToGo")->text(), QStringLiteral("7"));
        // Stored at exit.
        h.window->shutDown();
        QCOMPARE(h.core->settings.readInt(AppName::Tarvikon, SettingsSection::Configs, "ConnectRetryLimit", 0), 7);
    }

    void timedOut_noticeAndStatus_andTheNoticeClosesItself()
    {
        GuiHarness h("version=2.25,silentafter=0");
        h.start();
        auto *autoReConnect = h.child<QCheckBox>("frmConnect", "ckAutoReConnect");
        QVERIFY(autoReConnect->isChecked());
        QTest::mouseClick(autoReConnect, Qt::LeftButton);
        QVERIFY(!h.core->connector.autoReConnect());

        h.pump(10100);
        QVERIFY(!h.visible("frmTrying"));
        QVERIFY(h.visible("frmTimedOut"));
        auto *status = h.child<QLabel>("frmConnect", "lbl1");
        QCOMPARE(status->text(), Connector::unableToConnectText());
        // Four lines, not seven: each CR LF is one line break.
        QVERIFY(status->sizeHint().height() < 5 * status->fontMetrics().lineSpacing());
        QCOMPARE(h.monitor()->commandsReceived().count("p"), 5);
        QCOMPARE(h.window->registry().find("frmTimedOut")->windowTitle(),
                 QStringLiteral("Monitor Connection Timed Out"));
        QVERIFY(h.window->registry().find("frmTimedOut")->findChildren<QLabel *>().first()->text()
                == TimedOutWindow::noticeText());
        h.pump(4800); // t = 14920: the notice came up at 10000
        QVERIFY(h.visible("frmTimedOut"));
        h.pump(200);
        QVERIFY(!h.visible("frmTimedOut"));

        // Again with a limit of 1, dismissed by its OK button.
        h.core->globals.ConnectRetryLimit = 1;
        QTest::mouseClick(h.child<QPushButton>("frmConnect", "btnOK"), Qt::LeftButton);
        h.pump(2100);
        QVERIFY(h.visible("frmTimedOut"));
        auto *dismiss = h.child<QPushButton>("frmTimedOut", "btnOK");
        QCOMPARE(dismiss->toolTip(), QStringLiteral("Dismiss This Window"));
        QTest::mouseClick(dismiss, Qt::LeftButton);
        QVERIFY(!h.visible("frmTimedOut"));
        QVERIFY(!h.core->connector.timedOutTimer()->isActive());
    }

    void portChoice_reportsAPortThatWillNotOpen_andIgnoresTheSamePort()
    {
        GuiHarness h("version=2.25");
        h.core->settings.write(AppName::Tarvikon, SettingsSection::Configs, "Com2Device", "/dev/tvk-missing");
        h.start();
        h.pump(2300);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);

        h.child<QRadioButton>("frmConnect", "optCommPort_1")->click();
        QCOMPARE(h.messages.messages.size(), 1);
        // The message names the port, then the device and why.
        QVERIFY(h.messages.messages.first().startsWith(
            QStringLiteral("Comm Port Error  on Com2 -> try another port\r\n\r\nCom2 (/dev/tvk-missing) could not be opened: ")));
        QCOMPARE(h.core->globals.CommPort, 2);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(h.child<QLabel>("frmConnect", "lbl1")->text().contains(QStringLiteral("/dev/tvk-missing")));
        // The same option again: nothing at all.
        h.child<QRadioButton>("frmConnect", "optCommPort_1")->click();
        QCOMPARE(h.messages.messages.size(), 1);

        h.child<QRadioButton>("frmConnect", "optCommPort_3")->click();
        QVERIFY(h.visible("frmTrying"));
        h.pump(2300);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::Online);
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral("Monitor on Com4")));

        // Offline ends the connection and hides the window.
        QTest::mouseClick(h.child<QPushButton>("frmConnect", "btnOffline"), Qt::LeftButton);
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::NoMonitor);
        QVERIFY(!h.visible("frmConnect"));
    }
};

QTEST_MAIN(TestConnectionWindows)
#include "test_connectionwindows.moc"
