// The identity panels on the real main window, talking to the simulated
// monitor over the in-process port, paced by the manual clock.

#include "app/panel.h"
#include "app/widgetlayout.h"
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

template <typename T>
T *child(GuiHarness &h, const char *window, const char *name)
{
    Panel *panel = h.window->registry().find(QString::fromLatin1(window));
    return panel ? panel->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

QString labelText(GuiHarness &h, const char *window, const char *name)
{
    auto *label = child<QLabel>(h, window, name);
    return label ? label->text() : QStringLiteral("<missing>");
}

void goOnline(GuiHarness &h)
{
    h.window->resize(1000, 900);
    h.window->show();
    h.window->startUp();
    h.pump(2600);
    QCOMPARE(h.core->shell.connectionState(), ConnectionState::Online);
}

// Commands the monitor received since the last clear, keep-alive pings left out.
QByteArrayList received(GuiHarness &h)
{
    QByteArrayList out;
    for (const QByteArray &c : h.monitor()->commandsReceived())
        if (c != "p")
            out << c;
    return out;
}

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
        goOnline(h);
        const QByteArrayList cmds = received(h);
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
            return child<QPushButton>(h, "frmCapability", name)->property("tvkColour").toInt();
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
        goOnline(h);
        open(h, "frmVersion");
        h.pump(600);
        // The version reply of a 2.25 monitor asks for the capability word again.
        QCOMPARE(received(h), (QByteArrayList{"de", "df", "dx"}));
        QCOMPARE(labelText(h, "frmVersion", "lblMonitorFirmwareVersionValue"), QStringLiteral("V 2.25"));
        QCOMPARE(labelText(h, "frmVersion", "lblMonitorEpromVersionValue"), QStringLiteral("V 1.07"));
        QCOMPARE(labelText(h, "frmVersion", "lblTarvikVersionValue"),
                 QStringLiteral("V ") + applicationVersionText());

        h.monitor()->clearCommands();
        QTest::mouseClick(child<QPushButton>(h, "frmVersion", "btnReRead"), Qt::LeftButton);
        h.pump(600);
        QCOMPARE(received(h).mid(0, 2), (QByteArrayList{"de", "df"}));
        QTest::mouseClick(child<QPushButton>(h, "frmVersion", "btnOK"), Qt::LeftButton);
        QVERIFY(!h.window->registry().isWindowVisible("frmVersion"));
    }

    void idPanel_mdi_readsEveryUnitInOrder_andGrowsTall()
    {
        GuiHarness h("version=2.25,serial=SN-9");
        goOnline(h);
        h.pump(500); // "dx" answered
        open(h, "frmID");
        h.pump(6000);
        const QByteArrayList expected = {"dms", "dss", "dmu", "dsl", "dml", "dsd", "dmd",
                                         "dsc", "dmc", "dsv", "dmv", "dsp", "dmp", "dst",
                                         "dmt", "dsh", "dmh", "dsf", "dmf", "dmg", "dsg"};
        QCOMPARE(received(h), expected);
        QCOMPARE(labelText(h, "frmID", "lblModel"), QStringLiteral("TM-2100"));
        QCOMPARE(labelText(h, "frmID", "lblSerial"), QStringLiteral("SN-9"));
        QCOMPARE(h.core->data.SerialNumber, QStringLiteral("SN-9"));
        QCOMPARE(labelText(h, "frmID", "lblPart"), QStringLiteral("P2100-01"));
        QCOMPARE(labelText(h, "frmID", "lblCRTSerialValue"), QStringLiteral("T07712"));
        QCOMPARE(labelText(h, "frmID", "lblG2PartValue"), QStringLiteral("G2-110"));
        QCOMPARE(labelText(h, "frmID", "lblFocusModelValue"), QStringLiteral("FS-120"));
        QCOMPARE(h.core->data.CrtPartNumber, QStringLiteral("CRT-19"));

        auto *panel = qobject_cast<IdPanel *>(h.window->registry().find("frmID"));
        QVERIFY(panel->unitRowsShown());
        QVERIFY(child<QLabel>(h, "frmID", "lblVideoSerialValue")->isVisible());
        QVERIFY(qAbs(heightTwips(h, "frmID") - IdPanel::kTallHeightTwips) < 30);
        // Done sits at the bottom of the panel.
        auto *done = child<QPushButton>(h, "frmID", "btnDone");
        QVERIFY(panel->height() - done->geometry().bottom() < 20);
    }

    void idPanel_firstFamily_readsBareCommands_andStaysShort()
    {
        GuiHarness h("version=1.50,model=EARLY-1,serial=E-77");
        goOnline(h);
        open(h, "frmID");
        h.pump(800);
        QCOMPARE(received(h), (QByteArrayList{"dm", "ds"}));
        // The bare replies carry no unit letter: still the monitor's own numbers.
        QCOMPARE(labelText(h, "frmID", "lblModel"), QStringLiteral("EARLY-1"));
        QCOMPARE(labelText(h, "frmID", "lblSerial"), QStringLiteral("E-77"));
        QCOMPARE(h.core->data.ModelNumber, QStringLiteral("EARLY-1"));
        auto *panel = qobject_cast<IdPanel *>(h.window->registry().find("frmID"));
        QVERIFY(!panel->unitRowsShown());
        QVERIFY(child<QLabel>(h, "frmID", "lblVideoSerialValue")->isHidden());
        QVERIFY(heightTwips(h, "frmID") < IdPanel::kTallHeightTwips / 2);
    }

    void setPanel_factoryWritesTrimmedNumber_andReadsItBack()
    {
        GuiHarness h("version=2.25");
        goOnline(h);
        h.pump(500);
        h.core->shell.SetFactoryMode();
        h.monitor()->clearCommands();
        h.window->trigger(QStringLiteral("mnuConfigureModelAndSerialNumber"));
        QVERIFY(h.window->registry().isWindowVisible("frmSetModelAndSerialNumber"));
        h.pump(6000);
        QCOMPARE(received(h).mid(0, 3), (QByteArrayList{"dms", "dss", "dmu"}));
        auto *serial = child<QLineEdit>(h, "frmSetModelAndSerialNumber", "txtSerial");
        QCOMPARE(serial->text(), QStringLiteral("100234"));
        QVERIFY(child<QLineEdit>(h, "frmSetModelAndSerialNumber", "txtCRTPart")->isVisible());

        h.monitor()->clearCommands();
        serial->setText(QStringLiteral("  SN-42 "));
        QTest::mouseClick(child<QPushButton>(h, "frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        h.pump(800);
        QCOMPARE(received(h), (QByteArrayList{"cssSN-42", "dss"}));
        QCOMPARE(h.monitor()->config().serialNumbers.value('s'), QStringLiteral("SN-42"));
        QCOMPARE(h.core->data.SerialNumber, QStringLiteral("SN-42"));
        QCOMPARE(h.core->controls.text("frmID", "lblSerial").value_or(""), QStringLiteral("SN-42"));

        // The HVPS model row writes the HVPS model number.
        child<QLineEdit>(h, "frmSetModelAndSerialNumber", "txtHVPSModel")->setText(QStringLiteral("HV-9"));
        h.monitor()->clearCommands();
        QTest::mouseClick(child<QPushButton>(h, "frmSetModelAndSerialNumber", "btnHVPSModel"), Qt::LeftButton);
        h.pump(800);
        QCOMPARE(received(h), (QByteArrayList{"cmhHV-9", "dmh"}));
        QCOMPARE(child<QLineEdit>(h, "frmSetModelAndSerialNumber", "txtHVPSPart")->text(), QStringLiteral("HV-9"));

        // Empty boxes and texts that would end the monitor's reply early send nothing.
        h.monitor()->clearCommands();
        serial->setText(QStringLiteral("   "));
        QTest::mouseClick(child<QPushButton>(h, "frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        serial->setText(QStringLiteral("AB#1"));
        QTest::mouseClick(child<QPushButton>(h, "frmSetModelAndSerialNumber", "btnSerial"), Qt::LeftButton);
        h.pump(800);
        QVERIFY(received(h).isEmpty());
        QCOMPARE(h.monitor()->config().serialNumbers.value('s'), QStringLiteral("SN-42"));

        // Out of Factory mode the Set buttons are off.
        h.core->shell.SetUserMode();
        QVERIFY(!child<QPushButton>(h, "frmSetModelAndSerialNumber", "btnModel")->isEnabled());
    }

    void limitsPanel_asksForTheReport()
    {
        GuiHarness h("version=2.25");
        goOnline(h);
        h.pump(500);
        open(h, "frmLimits");
        h.pump(400);
        QCOMPARE(received(h), (QByteArrayList{"dp"}));
        for (int i = 0; i < 8; ++i)
            QVERIFY(child<QLabel>(h, "frmLimits", QStringLiteral("lblLimit_%1").arg(i).toLatin1()));
    }

    // Every panel's dismiss button sits at the bottom right and hides the panel.
    void dismissButton_bottomRight_hidesThePanel_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("button");
        QTest::newRow("capability") << QStringLiteral("frmCapability") << QStringLiteral("btnDone");
        QTest::newRow("limits") << QStringLiteral("frmLimits") << QStringLiteral("btnDone");
        QTest::newRow("version") << QStringLiteral("frmVersion") << QStringLiteral("btnOK");
        QTest::newRow("id") << QStringLiteral("frmID") << QStringLiteral("btnDone");
        QTest::newRow("set numbers") << QStringLiteral("frmSetModelAndSerialNumber") << QStringLiteral("btnDone");
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

QTEST_MAIN(TestIdentityPanels)
#include "test_identitypanels.moc"
