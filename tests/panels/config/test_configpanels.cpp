// The configuration panels on the real main window: the operating-time
// panels with their entry checks, the operating-mode word, video source and
// degauss, deflection and HV enable; and against the simulated monitor.

#include "panels/panel.h"
#include "app/windowregistry.h"
#include "guitest.h"
#include "monitorsim.h"

#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

void open(GuiHarness &h, const char *window) { h.window->registry().openWindow(QString::fromLatin1(window)); }

void typeInto(QLineEdit *box, const QString &text)
{
    box->clear();
    QTest::keyClicks(box, text);
}

} // namespace

class TestConfigPanels : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void operatingTime_readsOnOpeningAndReRead_andShowsReplies()
    {
        GuiHarness h;
        h.window->show();
        // A reply before the panel exists is shown once it is opened.
        h.core->dispatcher.DispatchResponse(QStringLiteral("dt\r\n1,23,59,59\r\n0,0,0,1\r\n42\r\n#"));
        open(h, "frmOperatingTime");
        QCOMPARE(h.queued(), QStringLiteral("dt\r\n"));
        QCOMPARE(h.child<QLabel>("frmOperatingTime", "lblOperatingTimeValue")->text(), QStringLiteral("2:00:00:00"));
        QCOMPARE(h.child<QLabel>("frmOperatingTime", "lblOperatingCyclesValue")->text(), QStringLiteral("42"));
        QCOMPARE(h.window->registry().find("frmOperatingTime")->windowTitle(), QStringLiteral("Operating Time"));
        h.child<QPushButton>("frmOperatingTime", "btnReRead")->click();
        QCOMPARE(h.queued(), QStringLiteral("dt\r\ndt\r\n"));
        h.child<QPushButton>("frmOperatingTime", "btnOK")->click();
        QVERIFY(!h.window->registry().isWindowVisible("frmOperatingTime"));
    }

    void setOperatingTimes_refusedOrEmptyBoxesSendNothing()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmSetOperatingTimes");
        QCOMPARE(h.queued(), QStringLiteral("dt\r\n"));
        auto *hours = h.child<QLineEdit>("frmSetOperatingTimes", "OperatingHoursTextBox");
        auto *setHours = h.child<QPushButton>("frmSetOperatingTimes", "SetOperatingHoursButton");
        QVERIFY(hours && setHours);

        // Leaving the box with 24 refuses it; "Set" then has nothing to send.
        typeInto(hours, QStringLiteral("24"));
        QTest::keyClick(hours, Qt::Key_Return);
        QCOMPARE(h.messages.messages, QStringList{QStringLiteral("Please Re-Enter\r\n0 <= Operating Hours <= 23")});
        QVERIFY(hours->text().isEmpty());
        setHours->click();
        QCOMPARE(h.queued(), QStringLiteral("dt\r\n"));
        QCOMPARE(h.messages.messages.size(), 1);

        // An invalid entry reaching "Set" unchecked is refused there, once.
        auto *minutes = h.child<QLineEdit>("frmSetOperatingTimes", "OperatingMinutesTextBox");
        minutes->setText(QStringLiteral("75"));
        h.child<QPushButton>("frmSetOperatingTimes", "SetOperatingMinutesButton")->click();
        QCOMPARE(h.messages.messages.last(), QStringLiteral("Please Re-Enter\r\n0 <= Operating Minutes <= 59"));
        QCOMPARE(h.messages.messages.size(), 2);
        QVERIFY(minutes->text().isEmpty());
        QCOMPARE(h.queued(), QStringLiteral("dt\r\n"));

        auto *days = h.child<QLineEdit>("frmSetOperatingTimes", "OperatingDaysTextBox");
        typeInto(days, QStringLiteral("70000"));
        QTest::keyClick(days, Qt::Key_Return);
        QCOMPARE(h.messages.messages.last(), QStringLiteral("Please Re-Enter\r\n0 <= Operating Days <= 65535"));

        // Valid entries go out trimmed.
        typeInto(days, QStringLiteral("65535"));
        QTest::keyClick(days, Qt::Key_Return);
        h.child<QPushButton>("frmSetOperatingTimes", "SetOperatingDaysButton")->click();
        h.child<QLineEdit>("frmSetOperatingTimes", "OperatingCyclesTextBox")->setText(QStringLiteral(" 1200 "));
        h.child<QPushButton>("frmSetOperatingTimes", "SetOperatingCyclesButton")->click();
        QCOMPARE(h.messages.messages.size(), 3);
        QCOMPARE(h.queued(), QStringLiteral("dt\r\ncod65535\r\ncoc1200\r\n"));

        h.child<QPushButton>("frmSetOperatingTimes", "CloseButton")->click();
        QVERIFY(!h.window->registry().isWindowVisible("frmSetOperatingTimes"));
    }

    void operatingMode_clickWritesComposedWord_repliesDoNotEcho()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmOperatingMode");
        QCOMPARE(h.queued(), QStringLiteral("dw\r\n"));
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "Mirovan_Commands_Enabled_Opt")->isChecked());

        h.core->dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 0x14\r\n#"));
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "DacUpdatingEnabledOptionButton")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "ColorOption")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "UserBrightnessEnabledOption")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "UserContrastEnabledOption")->isChecked());
        QCOMPARE(h.queued(), QStringLiteral("dw\r\n"));

        h.require<QRadioButton>("frmOperatingMode", "UserContrastDisabledOption")->click();
        QCOMPARE(h.queued(), QStringLiteral("dw\r\ncw21\r\n"));
        QCOMPARE(h.core->controls.checked("frmBrightnessContrast", "UserContrastDisabledOption"),
                 std::optional<bool>(true));
        h.require<QRadioButton>("frmOperatingMode", "MonochromeOption")->click();
        QCOMPARE(h.queued(), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));

        // Reading back the word just written keeps the display type.
        h.core->dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 29\r\n#"));
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "MonochromeOption")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "UserContrastDisabledOption")->isChecked());
        QCOMPARE(h.queued(), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));

        // While the monitor's state is being applied, a click sends nothing.
        {
            MonitorStateApplying::Scope applying(h.core->applying);
            h.require<QRadioButton>("frmOperatingMode", "DACUpdatingDisabledOptionButton")->click();
        }
        QCOMPARE(h.queued(), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));
    }

    void deflHv_clickSends_reportSelectsWithoutSecondCommand()
    {
        GuiHarness h;
        h.window->show();
        // A report before the panel exists shows when it opens.
        h.core->dispatcher.DispatchResponse(QStringLiteral("md1\r\n#"));
        open(h, "frmDeflHVEnable");
        QVERIFY(h.queued().isEmpty());
        QVERIFY(h.require<QRadioButton>("frmDeflHVEnable", "optDeflEnable")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmDeflHVEnable", "optHVDisable")->isChecked());

        h.require<QRadioButton>("frmDeflHVEnable", "optHVEnable")->click();
        QCOMPARE(h.queued(), QStringLiteral("mh1\r\n"));
        h.core->dispatcher.DispatchResponse(QStringLiteral("MH1\r\n#"));
        QVERIFY(h.require<QRadioButton>("frmDeflHVEnable", "optHVEnable")->isChecked());
        h.core->dispatcher.DispatchResponse(QStringLiteral("m h0\r\n#"));
        QVERIFY(h.require<QRadioButton>("frmDeflHVEnable", "optHVDisable")->isChecked());
        h.core->dispatcher.DispatchResponse(QStringLiteral("MD2\r\n#"));
        QVERIFY(h.require<QRadioButton>("frmDeflHVEnable", "optDeflEnable")->isChecked());
        QCOMPARE(h.queued(), QStringLiteral("mh1\r\n"));

        h.require<QRadioButton>("frmDeflHVEnable", "optDeflDisable")->click();
        QCOMPARE(h.queued(), QStringLiteral("mh1\r\nmd0\r\n"));
    }

    void videoConfig_sourcesInPanelOrder_andDegauss()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmVideoConfig");
        QVERIFY(h.queued().isEmpty());
        auto *ext = h.require<QRadioButton>("frmVideoConfig", "VideoSourceExternalOption");
        QVERIFY(ext->isChecked());
        QLayout *sources = h.child<QWidget>("frmVideoConfig", "VidSourceFrame")->layout();
        QCOMPARE(sources->itemAt(0)->widget(), ext);
        QCOMPARE(sources->itemAt(1)->widget()->objectName(), QStringLiteral("VideoSourceWhiteOption"));
        QCOMPARE(sources->itemAt(2)->widget()->objectName(), QStringLiteral("VideoSourceBlackOption"));

        h.require<QRadioButton>("frmVideoConfig", "VideoSourceWhiteOption")->click();
        h.require<QRadioButton>("frmVideoConfig", "VideoSourceBlackOption")->click();
        ext->click();
        h.child<QPushButton>("frmVideoConfig", "DegaussButton")->click();
        QCOMPARE(h.queued(), QStringLiteral("ct2\r\nct1\r\nct0\r\ncg\r\n"));
    }

    void simulator_modeWordAndOperatingHoursRoundTrip()
    {
        GuiHarness h("version=2.25,mode=20,days=3,hours=1,minutes=2,seconds=3,session=0,cycles=17");
        QVERIFY(h.goOnline());
        QVERIFY(h.monitor());
        h.monitor()->clearCommands();

        open(h, "frmOperatingMode");
        h.pump(600);
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "DacUpdatingEnabledOptionButton")->isChecked());
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "UserContrastEnabledOption")->isChecked());
        h.require<QRadioButton>("frmOperatingMode", "UserContrastDisabledOption")->click();
        h.pump(600);
        QCOMPARE(h.monitor()->config().modeWord, 21);
        // Reading the word again selects what is shown already and sends nothing back.
        h.window->registry().find("frmOperatingMode")->activate();
        h.pump(600);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dw", "cw21", "dw"}));
        QVERIFY(h.require<QRadioButton>("frmOperatingMode", "UserContrastDisabledOption")->isChecked());

        open(h, "frmSetOperatingTimes");
        h.pump(600);
        QCOMPARE(h.child<QLineEdit>("frmSetOperatingTimes", "OperatingHoursTextBox")->text(), QStringLiteral("1"));
        h.child<QLineEdit>("frmSetOperatingTimes", "OperatingHoursTextBox")->setText(QStringLiteral("5"));
        h.child<QPushButton>("frmSetOperatingTimes", "SetOperatingHoursButton")->click();
        h.pump(600);
        open(h, "frmOperatingTime");
        h.pump(600);
        QCOMPARE(h.child<QLabel>("frmOperatingTime", "lblOperatingTimeValue")->text(), QStringLiteral("3:05:02:03"));
        QCOMPARE(h.child<QLabel>("frmOperatingTime", "lblOperatingCyclesValue")->text(), QStringLiteral("17"));
        QCOMPARE(h.core->data.OperatingTimeText, QStringLiteral("3:05:02:03"));
        QVERIFY(h.receivedWithoutPings().contains("coh5"));

        // Video source and degauss reach the monitor too.
        open(h, "frmVideoConfig");
        h.require<QRadioButton>("frmVideoConfig", "VideoSourceWhiteOption")->click();
        h.child<QPushButton>("frmVideoConfig", "DegaussButton")->click();
        h.pump(600);
        QCOMPARE(h.monitor()->config().videoSource, 2);
        QCOMPARE(h.monitor()->config().degaussCount, 1);
    }
};

QTEST_MAIN(TestConfigPanels)
#include "test_configpanels.moc"
