// The high-voltage, backlight and heater/fan panels, the values-not-known
// rules of the geometry panel, and the road from the menus to the simulated
// CRT and flat-panel monitors: reading never changes the monitor.

#include "app/windowregistry.h"
#include "base/windownames.h"
#include "core/replies/adjustreplies.h"
#include "guitest.h"
#include "monitorsim.h"
#include "panels/adjust/geometrypanel.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

void initModel(GuiHarness &h)
{
    h.window->show();
    h.core->data.InitMonitorData(h.core->globals, h.core->settings);
}

void pretendOnline(GuiHarness &h, int type)
{
    ConnectionFlagsForTests::setOnline(h.core->globals, true);
    h.core->data.MonitorType = qint16(type);
}

void open(GuiHarness &h, const QString &window) { h.window->registry().openWindow(window); }
void reply(GuiHarness &h, const char *text) { h.core->dispatcher.DispatchResponse(QString::fromLatin1(text)); }
void clearQueue(GuiHarness &h) { h.core->link.ClearXmitQueue(); }
void click(GuiHarness &h, const QString &window, const char *button)
{
    h.require<QAbstractButton>(window, QString::fromLatin1(button))->click();
}
QScrollBar *slider(GuiHarness &h, const QString &window, const char *name)
{
    return h.require<QScrollBar>(window, QString::fromLatin1(name));
}

const char *const kHvReply =
    "dh\r\nUpper Limit = 210\r\nLower Limit = 90\r\nHV Control Value = 200, 175, 170\r\n"
    "Focus Control Value = 120, 121, 122\r\nVideo +80V Control Value = 90, 91, 92\r\n#";

QAction *menuItem(GuiHarness &h, const char *name)
{
    return h.window->findChild<QAction *>(QString::fromLatin1(name));
}

} // namespace

class TestHvPanels : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    // The report puts HV 200 on the 8-bit slider; the 6-bit slider of frmG2
    // cannot hold it and is disabled. Nothing a report moves is sent back.
    void hvReport_neverSendsAnything_g2DisabledAboveItsRange()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225);
        open(h, win::frmG2);
        open(h, win::frmMDI_HV);
        QCOMPARE(h.queued(), QStringLiteral("dh\r\ndh\r\n"));
        clearQueue(h);
        reply(h, kHvReply);
        QCOMPARE(slider(h, win::frmMDI_HV, "HScroll1_0")->value(), 200);
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "Text1_0")->text(), QStringLiteral("200"));
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "Text3_0")->text(), QStringLiteral("175"));
        QCOMPARE(slider(h, win::frmMDI_HV, "HScroll1_3")->value(), 90);
        QScrollBar *g2 = slider(h, win::frmG2, "HScroll1_1");
        QVERIFY(!g2->isEnabled());
        QVERIFY(g2->toolTip().contains(QStringLiteral("High Voltage")));
        QCOMPARE(h.labelText(win::frmG2, "Label2_1"), QStringLiteral("200"));
        QCOMPARE(h.labelText(win::frmG2, "Label4_1"), QStringLiteral("63"));
        QCOMPARE(h.queued(), QString());
        QCOMPARE(h.core->data.DataChanged, false);

        // A report within the 6-bit range enables the slider and, armed as
        // the panel is, still sends nothing back.
        reply(h, "dh\r\nHV Control Value = 50, 50, 50\r\n#");
        QVERIFY(g2->isEnabled());
        QCOMPARE(g2->value(), 50);
        QVERIFY(g2->toolTip().isEmpty());
        QCOMPARE(h.queued(), QString());

        // A report without the field leaves it unknown: empty boxes, and the
        // Use Initial button sends none of it.
        reply(h, "dh\r\nUpper Limit = 210\r\n#");
        QCOMPARE(h.labelText(win::frmG2, "Label2_1"), QString());
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "Text1_0")->text(), QString());
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "Text3_0")->text(), QString());
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "HVLowerLimitTextBox")->text(), QString());
        click(h, win::frmMDI_HV, "btnUseInitialValues");
        QCOMPARE(h.queued(), QString());

        // The user's moves send one command each.
        g2->setValue(40);
        slider(h, win::frmMDI_HV, "HScroll1_2")->setValue(77);
        QCOMPARE(h.queued(), QStringLiteral("chh40\r\nchg77\r\n"));
        QCOMPARE(h.core->data.DataChanged, true);
    }

    // A report that came before frmG2 was made: the slider is created
    // disabled, and says why once shown.
    void g2_createdAfterAHighReport_explainsItsDisabledSlider()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225);
        reply(h, kHvReply);
        open(h, win::frmG2);
        QVERIFY(!slider(h, win::frmG2, "HScroll1_1")->isEnabled());
        QVERIFY(!slider(h, win::frmG2, "HScroll1_1")->toolTip().isEmpty());
        QCOMPARE(h.labelText(win::frmG2, "Label2_1"), QStringLiteral("200"));
    }

    void mdiHv_buttons()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225);
        open(h, win::frmMDI_HV);
        reply(h, kHvReply);
        clearQueue(h);
        // "Use Initial Values" skips a box that holds no number 0..255.
        h.require<QLineEdit>(win::frmMDI_HV, "Text3_2")->setText(QStringLiteral("abc"));
        h.require<QLineEdit>(win::frmMDI_HV, "Text3_3")->setText(QStringLiteral("300"));
        click(h, win::frmMDI_HV, "btnUseInitialValues");
        QCOMPARE(h.queued(), QStringLiteral("chh175\r\nchf121\r\n"));
        clearQueue(h);
        click(h, win::frmMDI_HV, "btnSetInitialSettings");
        click(h, win::frmMDI_HV, "btnRestoreFactoryDefaults");
        click(h, win::frmMDI_HV, "ReadADCButton");
        h.require<QLineEdit>(win::frmMDI_HV, "HVUpperLimitTextBox")->setText(QStringLiteral("2x0"));
        click(h, win::frmMDI_HV, "HVUpperLimitSetButton");
        h.require<QLineEdit>(win::frmMDI_HV, "HVLowerLimitTextBox")->setText(QStringLiteral(" 85"));
        click(h, win::frmMDI_HV, "HVLowerLimitSetButton");
        // The limits follow the same rule as on the test-point windows: a
        // message box for a bad one, a read-back after a good one.
        QCOMPARE(h.queued(), QStringLiteral("chp\r\nchr\r\ndh\r\ndh\r\nchl85\r\ndh\r\n"));
        QCOMPARE(h.messages.messages.size(), 1);
        QVERIFY(h.messages.messages.at(0).contains(QStringLiteral("HV upper limit")));
    }

    void backlight_photocellEchoesNothing_userClicksSend()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 310);
        open(h, win::frmBacklight);
        QCOMPARE(h.queued(), QStringLiteral("drs\r\ndrw\r\ndrf\r\ndp\r\n"));
        clearQueue(h);
        reply(h, "dp\r\n0,0\r\nPhotocell Enabled\r\n#");
        reply(h, "drw\r\nDuty Cycle = 128 %\r\n#");
        auto *photocell = h.require<QCheckBox>(win::frmBacklight, QStringLiteral("ckPhotocell"));
        QVERIFY(photocell->isChecked());
        QCOMPARE(h.require<QLineEdit>(win::frmBacklight, "txtFilWarmup")->text(), QStringLiteral("128"));
        QCOMPARE(h.queued(), QString());

        photocell->click();
        photocell->click();
        click(h, win::frmBacklight, "ckStatusMessages");
        QCOMPARE(h.queued(), QStringLiteral("cp8\r\ncp9\r\ncv\r\n"));
        clearQueue(h);
        h.require<QLineEdit>(win::frmBacklight, "txtFilSteady")->setText(QStringLiteral("12a"));
        click(h, win::frmBacklight, "btnSetFilSteady");
        h.require<QLineEdit>(win::frmBacklight, "txtFilWarmup")->setText(QStringLiteral(" 140 "));
        click(h, win::frmBacklight, "btnSetFilWarmup");
        QCOMPARE(h.queued(), QStringLiteral("crw140\r\n"));
    }

    void heaterFan_optionsSendTheirCommands()
    {
        GuiHarness h;
        initModel(h);
        open(h, win::frmFPHeaterFan);
        QCOMPARE(h.queued(), QString());
        for (const char *o : {"Option2", "optHeaterAuto", "Option1", "Option5", "Option7", "Option3"})
            click(h, win::frmFPHeaterFan, o);
        QCOMPARE(h.queued(), QStringLiteral("cp3\r\ncqh1\r\ncp2\r\ncp3\r\ncqh0\r\ncp5\r\ncqf1\r\n"
                                            "cp5\r\ncqf3\r\ncp4\r\n"));
    }

    // Go Back before the factory and initial reads were answered must not
    // send the tables' zeros to the deflection.
    void geometry_bulkButtonsSendOnlyKnownValues()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225);
        open(h, win::frmGeometryAdj);
        reply(h, "ddv\r\n140,126,118,130,128,124,131\r\n#");
        reply(h, "ddh\r\n128,132,120,127,64\r\n#");
        reply(h, "ddfh\r\n120,130,110,100,60\r\n#");
        clearQueue(h);
        QSignalSpy status(h.core.get(), &AppCore::statusMessage);
        click(h, win::frmGeometryAdj, "Command2");
        QCOMPARE(h.queued(), QString());
        QCOMPARE(status.count(), 1);
        click(h, win::frmGeometryAdj, "Command1");
        // Horizontal factory values are known; the vertical ones are not.
        QCOMPARE(h.queued(), QStringLiteral("cdh0120\r\ncdh1130\r\ncdh2110\r\ncdh3100\r\ncdh860\r\n"));
        for (const QByteArray &c : h.queued().toLatin1().split('\n'))
            QVERIFY2(!c.startsWith("cdv"), c.constData());
    }

    // "Horiz S Cap" reported above 127 is shown at 127; no reported value is
    // echoed, within range or not.
    void geometry_noReportedValueIsEchoed()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 225);
        open(h, win::frmGeometryAdj);
        clearQueue(h);
        reply(h, "ddh\r\n1,2,3,4,200\r\n#");
        QCOMPARE(slider(h, win::frmGeometryAdj, "HHScroll1_8")->value(), 127);
        QCOMPARE(h.queued(), QString());
        reply(h, "ddh\r\n1,2,3,4,100\r\n#");
        QCOMPARE(slider(h, win::frmGeometryAdj, "HHScroll1_8")->value(), 100);
        QCOMPARE(h.queued(), QString());
    }

    void slidersAndBoxes_haveAccessibleNames()
    {
        GuiHarness h;
        initModel(h);
        open(h, win::frmGeometryAdj);
        QCOMPARE(slider(h, win::frmGeometryAdj, "HScroll1_0")->accessibleName(), QStringLiteral("Vertical Size"));
        QCOMPARE(h.require<QLineEdit>(win::frmGeometryAdj, "Text2_0")->accessibleName(),
                 QStringLiteral("Vertical Size, factory default"));
        QCOMPARE(h.require<QLineEdit>(win::frmGeometryAdj, "NText6_2")->accessibleName(),
                 QStringLiteral("N-S Phase, initial setting"));
        // Every slider and value box of every adjustment panel has a name,
        // and no two controls of a panel share one.
        for (const QString &w : {win::frmGeometryAdj, win::frmVideoAdj,
                                 win::frmBrightnessContrast, win::frmG2, win::frmMDI_HV,
                                 win::frmBacklight, win::frmFPHeaterFan}) {
            open(h, w);
            QStringList names;
            Panel *p = h.window->registry().find(w);
            QVERIFY(p);
            QList<QWidget *> controls;
            for (auto *s : p->findChildren<QAbstractSlider *>())
                controls << s;
            for (auto *e : p->findChildren<QLineEdit *>())
                controls << e;
            for (auto *r : p->findChildren<QRadioButton *>())
                controls << r;
            for (QWidget *c : controls) {
                if (c->objectName().isEmpty())
                    continue; // a scroll area's own scroll bars
                const QString name = c->accessibleName().isEmpty()
                    ? (qobject_cast<QAbstractButton *>(c) ? qobject_cast<QAbstractButton *>(c)->text() : QString())
                    : c->accessibleName();
                QVERIFY2(!name.isEmpty(), qPrintable(w + u'/' + c->objectName()));
                if (!c->accessibleName().isEmpty()) {
                    QVERIFY2(!names.contains(name), qPrintable(w + u'/' + name));
                    names << name;
                }
            }
        }
    }

    // The option buttons and boxes without a caption of their own: the
    // application-mode window's three options and the scan selection rows.
    void uncaptionedButtons_haveDistinctAccessibleNames()
    {
        GuiHarness h;
        initModel(h);
        for (const QString &w : {win::frmAppMode, win::frmScanSelect}) {
            open(h, w);
            Panel *p = h.window->registry().find(w);
            QVERIFY(p);
            QStringList names;
            for (auto *b : p->findChildren<QAbstractButton *>()) {
                const QString name = b->accessibleName().isEmpty() ? b->text() : b->accessibleName();
                QVERIFY2(!name.isEmpty(), qPrintable(w + u'/' + b->objectName()));
                QVERIFY2(!names.contains(name), qPrintable(w + u'/' + name));
                names << name;
            }
            QVERIFY(names.size() >= 3);
        }
    }

    void menus_reachEachPanelWhereItsFamilyHasIt()
    {
        GuiHarness crt("version=2.25");
        QVERIFY(crt.goOnline());
        QVERIFY(menuItem(crt, "mnuAdjustMdiHV")->isEnabled());
        QVERIFY(!menuItem(crt, "mnuDiagnosticsBacklight")->isEnabled());
        QVERIFY(!menuItem(crt, "mnuDiagnosticsHeaterFan")->isEnabled());

        GuiHarness flat("version=3.10");
        QVERIFY(flat.goOnline());
        QVERIFY(!menuItem(flat, "mnuAdjustMdiHV")->isEnabled());
        QVERIFY(menuItem(flat, "mnuDiagnosticsBacklight")->isEnabled());
        QVERIFY(menuItem(flat, "mnuDiagnosticsHeaterFan")->isEnabled());
        flat.core->connector.EnterNoMonitorState();
        QVERIFY(!menuItem(flat, "mnuDiagnosticsBacklight")->isEnabled());
    }

    // The whole road on a simulated CRT: opening the high-voltage panel never
    // lowers the high voltage; a user's move reaches the monitor.
    void simulatorCrt_openingTheHvPanelLeavesTheMonitorAlone()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.monitor()->adjust().hv[0].present = 180;
        h.monitor()->clearCommands();
        menuItem(h, "mnuAdjustHV")->trigger();
        h.pump(3000);
        QVERIFY(!slider(h, win::frmG2, "HScroll1_1")->isEnabled());
        QCOMPARE(h.labelText(win::frmG2, "Label2_1"), QStringLiteral("180"));
        QCOMPARE(h.monitor()->adjust().hv[0].present, 180);
        for (const QByteArray &c : h.receivedWithoutPings())
            QVERIFY2(!c.startsWith("ch"), c.constData());
        menuItem(h, "mnuAdjustMdiHV")->trigger();
        h.pump(3000);
        QCOMPARE(slider(h, win::frmMDI_HV, "HScroll1_0")->value(), 180);
        QCOMPARE(h.require<QLineEdit>(win::frmMDI_HV, "Text2_0")->text(),
                 QString::number(h.monitor()->adjust().hv[0].factory).rightJustified(3, u'0'));
        slider(h, win::frmMDI_HV, "HScroll1_1")->setValue(99);
        h.pump(1000);
        QCOMPARE(h.monitor()->adjust().hv[1].present, 99);
        QCOMPARE(h.monitor()->adjust().hv[0].present, 180);
    }

    // Colour balance and brightness and contrast against a simulated CRT:
    // the reads fill the panels, the monitor's values come back unchanged,
    // a user's move and Cancel reach the monitor.
    void simulatorCrt_colourBalanceAndBrightnessContrast()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.core->shell.SetFactoryMode();
        auto *sim = h.monitor();
        const auto present = [sim](char group, int ch) { return sim->config().dacGroups.value(group).present[0][ch]; };
        const int red = present('l', 2);
        const int contrast = present('l', 0);
        sim->clearCommands();
        menuItem(h, "mnuAdjustVideo")->trigger();
        h.pump(3000);
        QCOMPARE(slider(h, win::frmVideoAdj, "HScroll1_2")->value(), red);
        QCOMPARE(h.require<QLineEdit>(win::frmVideoAdj, "BText2_0")->text(),
                 QString::number(sim->config().dacGroups.value('b').factory[0][0]));
        QCOMPARE(present('l', 2), red);
        slider(h, win::frmVideoAdj, "HScroll1_2")->setValue(7);
        h.pump(500);
        QCOMPARE(present('l', 2), 7);
        click(h, win::frmVideoAdj, "VideoCancelButton");
        h.pump(500);
        QCOMPARE(present('l', 2), red);

        sim->clearCommands();
        menuItem(h, "mnuAdjustmentBrightnessContrast")->trigger();
        h.pump(3000);
        const QByteArrayList reads{"du", "dp", "dw", "ddl", "ddpl", "ddfl"};
        QCOMPARE(h.receivedWithoutPings().mid(0, reads.size()), reads);
        QCOMPARE(h.labelText(win::frmBrightnessContrast, "lblContrastPV"), QString::number(contrast));
        QCOMPARE(h.labelText(win::frmBrightnessContrast, "lblLimits_1"),
                 QString::number(sim->adjust().limits[1]));
        // Nothing but reads reached the monitor, the "cdl" echoes of its own
        // values aside.
        for (const QByteArray &c : h.receivedWithoutPings())
            QVERIFY2(c.startsWith('d') || c == "cdl0" + QByteArray::number(contrast)
                         || c == "cdl1" + QByteArray::number(present('l', 1)),
                     c.constData());
        QCOMPARE(present('l', 0), contrast);
    }

    void simulatorFlatPanel_heaterAndFan()
    {
        GuiHarness h("version=3.10");
        QVERIFY(h.goOnline());
        h.monitor()->clearCommands();
        menuItem(h, "mnuDiagnosticsHeaterFan")->trigger();
        h.pump(500);
        QCOMPARE(h.receivedWithoutPings(), QByteArrayList());
        click(h, win::frmFPHeaterFan, "Option2");
        click(h, win::frmFPHeaterFan, "Option6");
        h.pump(1000);
        QCOMPARE(h.monitor()->adjust().heaterMode, 3);
        QVERIFY(h.monitor()->adjust().heaterOn);
        QCOMPARE(h.monitor()->adjust().fanMode, 5);
        QCOMPARE(h.monitor()->adjust().fanSetting, 2);
    }

    void simulatorFlatPanel_backlightRoundTrip()
    {
        GuiHarness h("version=3.10");
        QVERIFY(h.goOnline());
        h.monitor()->clearCommands();
        menuItem(h, "mnuDiagnosticsBacklight")->trigger();
        h.pump(3000);
        auto *photocell = h.require<QCheckBox>(win::frmBacklight, QStringLiteral("ckPhotocell"));
        QCOMPARE(photocell->isChecked(), h.monitor()->adjust().photocell);
        QCOMPARE(h.require<QLineEdit>(win::frmBacklight, "txtFilSteady")->text(),
                 QString::number(h.monitor()->adjust().filamentSteady));
        for (const QByteArray &c : h.receivedWithoutPings())
            QVERIFY2(!c.startsWith("cp"), c.constData());
        photocell->click();
        h.require<QLineEdit>(win::frmBacklight, "txtFilSteady")->setText(QStringLiteral("77"));
        click(h, win::frmBacklight, "btnSetFilSteady");
        h.pump(1000);
        QCOMPARE(h.monitor()->adjust().photocell, photocell->isChecked());
        QCOMPARE(h.monitor()->adjust().filamentSteady, 77);
    }
};

QTEST_MAIN(TestHvPanels)
#include "test_hvpanels.moc"
