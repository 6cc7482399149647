// The configuration panels on the real main window: the operating-time
// panels with their entry checks, the operating-mode word, video source and
// degauss, deflection and HV enable; and against the simulated monitor.

#include "app/panel.h"
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

template <typename T>
T *child(GuiHarness &h, const char *window, const char *name)
{
    Panel *panel = h.window->registry().find(QString::fromLatin1(window));
    return panel ? panel->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

QRadioButton *option(GuiHarness &h, const char *window, const char *name)
{
    auto *b = child<QRadioButton>(h, window, name);
    if (!b)
        qFatal("no option %s on %s", name, window);
    return b;
}

// Everything queued and not yet written (no port is open without a monitor).
QString queued(GuiHarness &h) { return h.core->link.pendingCommand() + h.core->link.XmitQueue(); }

void open(GuiHarness &h, const char *window) { h.window->registry().openWindow(QString::fromLatin1(window)); }

// The commands the simulated monitor received, keep-alive pings left out.
QByteArrayList received(GuiHarness &h)
{
    QByteArrayList out;
    for (const QByteArray &c : h.monitor()->commandsReceived()) {
        if (c != "p")
            out << c;
    }
    return out;
}

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
        QCOMPARE(queued(h), QStringLiteral("dt\r\n"));
        QCOMPARE(child<QLabel>(h, "frmOperatingTime", "lblOperatingTimeValue")->text(), QStringLiteral("2:00:00:00"));
        QCOMPARE(child<QLabel>(h, "frmOperatingTime", "lblOperatingCyclesValue")->text(), QStringLiteral("42"));
        QCOMPARE(h.window->registry().find("frmOperatingTime")->windowTitle(), QStringLiteral("Operating Time"));
        child<QPushButton>(h, "frmOperatingTime", "btnReRead")->click();
        QCOMPARE(queued(h), QStringLiteral("dt\r\ndt\r\n"));
        child<QPushButton>(h, "frmOperatingTime", "btnOK")->click();
        QVERIFY(!h.window->registry().isWindowVisible("frmOperatingTime"));
    }

    void setOperatingTimes_refusedOrEmptyBoxesSendNothing()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmSetOperatingTimes");
        QCOMPARE(queued(h), QStringLiteral("dt\r\n"));
        auto *hours = child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingHoursTextBox");
        auto *setHours = child<QPushButton>(h, "frmSetOperatingTimes", "SetOperatingHoursButton");
        QVERIFY(hours && setHours);

        // Leaving the box with 24 refuses it; "Set" then has nothing to send.
        typeInto(hours, QStringLiteral("24"));
        QTest::keyClick(hours, Qt::Key_Return);
        QCOMPARE(h.messages.messages, QStringList{QStringLiteral("Please Re-Enter\r\n0 <= Operating Hours <= 23")});
        QVERIFY(hours->text().isEmpty());
        setHours->click();
        QCOMPARE(queued(h), QStringLiteral("dt\r\n"));
        QCOMPARE(h.messages.messages.size(), 1);

        // An invalid entry reaching "Set" unchecked is refused there, once.
        auto *minutes = child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingMinutesTextBox");
        minutes->setText(QStringLiteral("75"));
        child<QPushButton>(h, "frmSetOperatingTimes", "SetOperatingMinutesButton")->click();
        QCOMPARE(h.messages.messages.last(), QStringLiteral("Please Re-Enter\r\n0 <= Operating Minutes <= 59"));
        QCOMPARE(h.messages.messages.size(), 2);
        QVERIFY(minutes->text().isEmpty());
        QCOMPARE(queued(h), QStringLiteral("dt\r\n"));

        auto *days = child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingDaysTextBox");
        typeInto(days, QStringLiteral("70000"));
        QTest::keyClick(days, Qt::Key_Return);
        QCOMPARE(h.messages.messages.last(), QStringLiteral("Please Re-Enter\r\n0 <= Operating Days <= 65535"));

        // Valid entries go out trimmed.
        typeInto(days, QStringLiteral("65535"));
        QTest::keyClick(days, Qt::Key_Return);
        child<QPushButton>(h, "frmSetOperatingTimes", "SetOperatingDaysButton")->click();
        child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingCyclesTextBox")->setText(QStringLiteral(" 1200 "));
        child<QPushButton>(h, "frmSetOperatingTimes", "SetOperatingCyclesButton")->click();
        QCOMPARE(h.messages.messages.size(), 3);
        QCOMPARE(queued(h), QStringLiteral("dt\r\ncod65535\r\ncoc1200\r\n"));

        child<QPushButton>(h, "frmSetOperatingTimes", "CloseButton")->click();
        QVERIFY(!h.window->registry().isWindowVisible("frmSetOperatingTimes"));
    }

    void operatingMode_clickWritesComposedWord_repliesDoNotEcho()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmOperatingMode");
        QCOMPARE(queued(h), QStringLiteral("dw\r\n"));
        QVERIFY(option(h, "frmOperatingMode", "Mirovan_Commands_Enabled_Opt")->isChecked());

        h.core->dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 0x14\r\n#"));
        QVERIFY(option(h, "frmOperatingMode", "DacUpdatingEnabledOptionButton")->isChecked());
        QVERIFY(option(h, "frmOperatingMode", "ColorOption")->isChecked());
        QVERIFY(option(h, "frmOperatingMode", "UserBrightnessEnabledOption")->isChecked());
        QVERIFY(option(h, "frmOperatingMode", "UserContrastEnabledOption")->isChecked());
        QCOMPARE(queued(h), QStringLiteral("dw\r\n"));

        option(h, "frmOperatingMode", "UserContrastDisabledOption")->click();
        QCOMPARE(queued(h), QStringLiteral("dw\r\ncw21\r\n"));
        QCOMPARE(h.core->controls.checked("frmBrightnessContrast", "UserContrastDisabledOption"),
                 std::optional<bool>(true));
        option(h, "frmOperatingMode", "MonochromeOption")->click();
        QCOMPARE(queued(h), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));

        // Reading back the word just written keeps the display type.
        h.core->dispatcher.DispatchResponse(QStringLiteral("dw\r\nModel Type = 29\r\n#"));
        QVERIFY(option(h, "frmOperatingMode", "MonochromeOption")->isChecked());
        QVERIFY(option(h, "frmOperatingMode", "UserContrastDisabledOption")->isChecked());
        QCOMPARE(queued(h), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));

        // While a parser holds the guard, a click sends nothing.
        h.core->ConfigUpdateGuard = true;
        option(h, "frmOperatingMode", "DACUpdatingDisabledOptionButton")->click();
        h.core->ConfigUpdateGuard = false;
        QCOMPARE(queued(h), QStringLiteral("dw\r\ncw21\r\ncw29\r\n"));
    }

    void deflHv_clickSends_reportSelectsWithoutSecondCommand()
    {
        GuiHarness h;
        h.window->show();
        // A report before the panel exists shows when it opens.
        h.core->dispatcher.DispatchResponse(QStringLiteral("md1\r\n#"));
        open(h, "frmDeflHVEnable");
        QVERIFY(queued(h).isEmpty());
        QVERIFY(option(h, "frmDeflHVEnable", "optDeflEnable")->isChecked());
        QVERIFY(option(h, "frmDeflHVEnable", "optHVDisable")->isChecked());

        option(h, "frmDeflHVEnable", "optHVEnable")->click();
        QCOMPARE(queued(h), QStringLiteral("mh1\r\n"));
        h.core->dispatcher.DispatchResponse(QStringLiteral("MH1\r\n#"));
        QVERIFY(option(h, "frmDeflHVEnable", "optHVEnable")->isChecked());
        h.core->dispatcher.DispatchResponse(QStringLiteral("m h0\r\n#"));
        QVERIFY(option(h, "frmDeflHVEnable", "optHVDisable")->isChecked());
        h.core->dispatcher.DispatchResponse(QStringLiteral("MD2\r\n#"));
        QVERIFY(option(h, "frmDeflHVEnable", "optDeflEnable")->isChecked());
        QCOMPARE(queued(h), QStringLiteral("mh1\r\n"));

        option(h, "frmDeflHVEnable", "optDeflDisable")->click();
        QCOMPARE(queued(h), QStringLiteral("mh1\r\nmd0\r\n"));
    }

    void videoConfig_sourcesInPanelOrder_andDegauss()
    {
        GuiHarness h;
        h.window->show();
        open(h, "frmVideoConfig");
        QVERIFY(queued(h).isEmpty());
        auto *ext = option(h, "frmVideoConfig", "VideoSourceExternalOption");
        QVERIFY(ext->isChecked());
        QLayout *sources = child<QWidget>(h, "frmVideoConfig", "VidSourceFrame")->layout();
        QCOMPARE(sources->itemAt(0)->widget(), ext);
        QCOMPARE(sources->itemAt(1)->widget()->objectName(), QStringLiteral("VideoSourceWhiteOption"));
        QCOMPARE(sources->itemAt(2)->widget()->objectName(), QStringLiteral("VideoSourceBlackOption"));

        option(h, "frmVideoConfig", "VideoSourceWhiteOption")->click();
        option(h, "frmVideoConfig", "VideoSourceBlackOption")->click();
        ext->click();
        child<QPushButton>(h, "frmVideoConfig", "DegaussButton")->click();
        QCOMPARE(queued(h), QStringLiteral("ct2\r\nct1\r\nct0\r\ncg\r\n"));
    }

    void simulator_modeWordAndOperatingHoursRoundTrip()
    {
        GuiHarness h("version=2.25,mode=20,days=3,hours=1,minutes=2,seconds=3,session=0,cycles=17");
        h.window->resize(1000, 800);
        h.window->show();
        h.window->startUp();
        h.pump(2300);
        QVERIFY(h.monitor());
        h.monitor()->clearCommands();

        open(h, "frmOperatingMode");
        h.pump(600);
        QVERIFY(option(h, "frmOperatingMode", "DacUpdatingEnabledOptionButton")->isChecked());
        QVERIFY(option(h, "frmOperatingMode", "UserContrastEnabledOption")->isChecked());
        option(h, "frmOperatingMode", "UserContrastDisabledOption")->click();
        h.pump(600);
        QCOMPARE(h.monitor()->config().modeWord, 21);
        // Reading the word again selects what is shown already and sends nothing back.
        h.window->registry().find("frmOperatingMode")->activate();
        h.pump(600);
        QCOMPARE(received(h), (QByteArrayList{"dw", "cw21", "dw"}));
        QVERIFY(option(h, "frmOperatingMode", "UserContrastDisabledOption")->isChecked());

        open(h, "frmSetOperatingTimes");
        h.pump(600);
        QCOMPARE(child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingHoursTextBox")->text(), QStringLiteral("1"));
        child<QLineEdit>(h, "frmSetOperatingTimes", "OperatingHoursTextBox")->setText(QStringLiteral("5"));
        child<QPushButton>(h, "frmSetOperatingTimes", "SetOperatingHoursButton")->click();
        h.pump(600);
        open(h, "frmOperatingTime");
        h.pump(600);
        QCOMPARE(child<QLabel>(h, "frmOperatingTime", "lblOperatingTimeValue")->text(), QStringLiteral("3:05:02:03"));
        QCOMPARE(child<QLabel>(h, "frmOperatingTime", "lblOperatingCyclesValue")->text(), QStringLiteral("17"));
        QCOMPARE(h.core->data.OperatingTimeText, QStringLiteral("3:05:02:03"));
        QVERIFY(received(h).contains("coh5"));

        // Video source and degauss reach the monitor too.
        open(h, "frmVideoConfig");
        option(h, "frmVideoConfig", "VideoSourceWhiteOption")->click();
        child<QPushButton>(h, "frmVideoConfig", "DegaussButton")->click();
        h.pump(600);
        QCOMPARE(h.monitor()->config().videoSource, 2);
        QCOMPARE(h.monitor()->config().degaussCount, 1);
    }

    // Every panel's dismiss button sits at the bottom right and hides the panel.
    void dismissButton_bottomRight_hidesThePanel_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::newRow("operating time") << QStringLiteral("frmOperatingTime") << QStringLiteral("btnOK");
        QTest::newRow("set operating times") << QStringLiteral("frmSetOperatingTimes")
                                             << QStringLiteral("CloseButton");
        QTest::newRow("operating mode") << QStringLiteral("frmOperatingMode")
                                        << QStringLiteral("OperatingModeCloseButton");
        QTest::newRow("defl hv") << QStringLiteral("frmDeflHVEnable") << QStringLiteral("btnDone");
        QTest::newRow("video config") << QStringLiteral("frmVideoConfig") << QStringLiteral("btnDone");
    }

    void dismissButton_bottomRight_hidesThePanel()
    {
        QFETCH(QString, window);
        QFETCH(QString, button);
        GuiHarness h;
        h.window->show();
        h.window->registry().openWindow(window);
        QVERIFY(h.window->registry().isWindowVisible(window));
        Panel *panel = h.window->registry().find(window);
        auto *b = panel->findChild<QPushButton *>(button);
        QVERIFY(b);
        QVERIFY(b->isVisible());
        QVERIFY2(b->geometry().left() > panel->width() / 2, qPrintable(window));
        QVERIFY2(panel->width() - b->geometry().right() < 20, qPrintable(window));
        QVERIFY2(panel->height() - b->geometry().bottom() < 20, qPrintable(window));
        QTest::mouseClick(b, Qt::LeftButton);
        QVERIFY(!h.window->registry().isWindowVisible(window));
    }
};

QTEST_MAIN(TestConfigPanels)
#include "test_configpanels.moc"
