// The identity panels on the real main window, talking to the simulated
// monitor over the in-process port, paced by the manual clock.

#include "panels/panel.h"
#include "panels/widgetlayout.h"
#include "app/windowregistry.h"
#include "guitest.h"
#include "monitorsim.h"
#include "panels/info/idpanel.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

void open(GuiHarness &h, const char *window)
{
    h.monitor()->clearCommands();
    h.window->registry().openWindow(QString::fromLatin1(window));
}

double heightTwips(GuiHarness &h, const char *window)
{
    return WidgetLayoutTarget(h.window->registry().subWindow(QString::fromLatin1(window))).height();
}

} // namespace

class TestIdentityPanels : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void connecting_readsCapabilityAndAppliesMdiMenus()
    {
        GuiHarness h("version=2.25,capability=0x37");
        QVERIFY(h.goOnline());
        const QByteArrayList cmds = h.receivedWithoutPings();
        const qsizetype df = cmds.indexOf("df"), dx = cmds.indexOf("dx");
        QVERIFY(df >= 0);
        QVERIFY(dx > df);
        QCOMPARE(int(h.core->data.MonitorType), 225);
        QVERIFY(h.core->data.MdiMonitor);
        QVERIFY(!h.window->menuAction("mnuDiagnosticsFPControls")->isEnabled());
        QVERIFY(h.window->menuAction("mnuInfoCurrentScan")->isEnabled());
        // 0x37: video yes, deflection no, G2 no.
        QVERIFY(h.window->menuAction("mnuAdjustVideo")->isEnabled());
        QVERIFY(!h.window->menuAction("mnuAdjustGeometry")->isEnabled());
        QVERIFY(!h.window->menuAction("mnuAdjustHV")->isEnabled());

        open(h, "frmCapability");
        auto colour = [&](const char *name) {
            return h.child<QPushButton>("frmCapability", name)->property("tvkColour").toInt();
        };
        QCOMPARE(colour("btnVideo"), Colour::Green);
        QCOMPARE(colour("btnLVPS"), Colour::Green);
        QCOMPARE(colour("btnDeflection"), Colour::Red);
        QCOMPARE(colour("btnG2"), Colour::Red);
        QCOMPARE(colour("btnExpLEDs"), Colour::Red);
    }

    void versionPanel_readsEpromThenFirmware()
    {
        GuiHarness h("version=2.25,eprom=1.07");
        QVERIFY(h.goOnline());
        open(h, "frmVersion");
        h.pump(600);
        // The version reply of a 2.25 monitor asks for the capability word again.
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"de", "df", "dx"}));
        QCOMPARE(h.labelText("frmVersion", "lblMonitorFirmwareVersionValue"), QStringLiteral("V 2.25"));
        QCOMPARE(h.labelText("frmVersion", "lblMonitorEpromVersionValue"), QStringLiteral("V 1.07"));
        QCOMPARE(h.labelText("frmVersion", "lblTarvikVersionValue"),
                 QStringLiteral("V ") + applicationVersionText());

        h.monitor()->clearCommands();
        QTest::mouseClick(h.child<QPushButton>("frmVersion", "btnReRead"), Qt::LeftButton);
        h.pump(600);
        QCOMPARE(h.receivedWithoutPings().mid(0, 2), (QByteArrayList{"de", "df"}));
        QTest::mouseClick(h.child<QPushButton>("frmVersion", "btnOK"), Qt::LeftButton);
        QVERIFY(!h.window->registry().isWindowVisible("frmVersion"));
    }

    void idPanel_mdi_readsEveryUnitInOrder_andGrowsTall()
    {
        GuiHarness h("version=2.25,serial=SN-9");
        QVERIFY(h.goOnline());
        h.pump(500); // "dx" answered
        open(h, "frmID");
        h.pump(6000);
        const QByteArrayList expected = {"dms", "dss", "dmu", "dsl", "dml", "dsd", "dmd",
                                         "dsc", "dmc", "dsv", "dmv", "dsp", "dmp", "dst",
                                         "dmt", "dsh", "dmh", "dsf", "dmf", "dmg", "dsg"};
        QCOMPARE(h.receivedWithoutPings(), expected);
        QCOMPARE(h.labelText("frmID", "lblModel"), QStringLiteral("TM-2100"));
        QCOMPARE(h.labelText("frmID", "lblSerial"), QStringLiteral("SN-9"));
        QCOMPARE(h.core->data.SerialNumber, QStringLiteral("SN-9"));
        QCOMPARE(h.labelText("frmID", "lblPart"), QStringLiteral("P2100-01"));
        QCOMPARE(h.labelText("frmID", "lblCRTSerialValue"), QStringLiteral("T07712"));
        QCOMPARE(h.labelText("frmID", "lblG2PartValue"), QStringLiteral("G2-110"));
        QCOMPARE(h.labelText("frmID", "lblFocusModelValue"), QStringLiteral("FS-120"));
        QCOMPARE(h.core->data.CrtPartNumber, QStringLiteral("CRT-19"));

        auto *panel = qobject_cast<IdPanel *>(h.window->registry().find("frmID"));
        QVERIFY(panel->unitRowsShown());
        QVERIFY(h.child<QLabel>("frmID", "lblVideoSerialValue")->isVisible());
        QVERIFY(qAbs(heightTwips(h, "frmID") - IdPanel::kTallHeightTwips) < 30);
        // Done sits at the bottom of the panel.
        auto *done = h.child<QPushButton>("frmID", "btnDone");
        QVERIFY(panel->height() - done->geometry().bottom() < 20);
    }

    void idPanel_firstFamily_readsBareCommands_andStaysShort()
    {
        GuiHarness h("version=1.50,model=EARLY-1,serial=E-77");
        QVERIFY(h.goOnline());
        open(h, "frmID");
        h.pump(800);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dm", "ds"}));
        // The bare replies carry no unit letter: still the monitor's own numbers.
        QCOMPARE(h.labelText("frmID", "lblModel"), QStringLiteral("EARLY-1"));
        QCOMPARE(h.labelText("frmID", "lblSerial"), QStringLiteral("E-77"));
        QCOMPARE(h.core->data.ModelNumber, QStringLiteral("EARLY-1"));
        auto *panel = qobject_cast<IdPanel *>(h.window->registry().find("frmID"));
        QVERIFY(!panel->unitRowsShown());
        QVERIFY(h.child<QLabel>("frmID", "lblVideoSerialValue")->isHidden());
        QVERIFY(heightTwips(h, "frmID") < IdPanel::kTallHeightTwips / 2);
    }

    void setPanel_factoryWritesTrimmedNumber_andReadsItBack()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        h.core->shell.SetFactoryMode();
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuConfigureModelAndSerialNumber"));
        QVERIFY(h.window->registry().isWindowVisible("frmSetModelAndSerialNumber"));
        h.pump(6000);
        QCOMPARE(h.receivedWithoutPings().mid(0, 3), (QByteArrayList{"dms", "dss", "dmu"}));
        auto *serial = h.child<QLineEdit>("frmSetModelAndSerialNumber", "txtSerial");
        QCOMPARE(serial->text(), QStringLiteral("100234"));
        QVERIFY(h.child<QLineEdit>("frmSetModelAndSerialNumber", "txtCRTPart")->isVisible());

        h.monitor()->clearCommands();
        serial->setText(QStringLiteral("  SN-42 "));
        QTest::mouseClick(h.child<QPushButton>("frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        h.pump(800);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"cssSN-42", "dss"}));
        QCOMPARE(h.monitor()->config().serialNumbers.value('s'), QStringLiteral("SN-42"));
        QCOMPARE(h.core->data.SerialNumber, QStringLiteral("SN-42"));
        QCOMPARE(h.core->controls.text("frmID", "lblSerial").value_or(""), QStringLiteral("SN-42"));

        // The HVPS model row writes the HVPS model number.
        h.child<QLineEdit>("frmSetModelAndSerialNumber", "txtHVPSModel")->setText(QStringLiteral("HV-9"));
        h.monitor()->clearCommands();
        QTest::mouseClick(h.child<QPushButton>("frmSetModelAndSerialNumber", "btnHVPSModel"), Qt::LeftButton);
        h.pump(800);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"cmhHV-9", "dmh"}));
        QCOMPARE(h.child<QLineEdit>("frmSetModelAndSerialNumber", "txtHVPSPart")->text(), QStringLiteral("HV-9"));

        // Empty boxes and texts that would end the monitor's reply early send nothing.
        h.monitor()->clearCommands();
        serial->setText(QStringLiteral("   "));
        QTest::mouseClick(h.child<QPushButton>("frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        serial->setText(QStringLiteral("AB#1"));
        QTest::mouseClick(h.child<QPushButton>("frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        h.pump(800);
        QVERIFY(h.receivedWithoutPings().isEmpty());
        QCOMPARE(h.monitor()->config().serialNumbers.value('s'), QStringLiteral("SN-42"));

        // Out of Factory mode the Set buttons are off.
        h.core->shell.SetUserMode();
        QVERIFY(!h.child<QPushButton>("frmSetModelAndSerialNumber", "btnModel")->isEnabled());
    }

    void limitsPanel_asksForTheReport()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        open(h, "frmLimits");
        h.pump(400);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dp"}));
        for (int i = 0; i < 8; ++i)
            QVERIFY(h.child<QLabel>("frmLimits", QStringLiteral("lblLimit_%1").arg(i)));
    }
};

QTEST_MAIN(TestIdentityPanels)
#include "test_identitypanels.moc"
