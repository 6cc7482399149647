// The colour balance and the brightness and contrast panels on the real main
// window: what their activation queues, what a user's change sends, what the
// replies show, and that a reply never sends anything the monitor did not
// report.

#include "app/windowregistry.h"
#include "base/windownames.h"
#include "core/replies/adjustreplies.h"
#include "guitest.h"
#include "panels/adjust/brightnesscontrastpanel.h"
#include "panels/adjust/videopanel.h"

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

QScrollBar *slider(GuiHarness &h, const QString &window, const QString &name)
{
    return h.require<QScrollBar>(window, name);
}

void click(GuiHarness &h, const QString &window, const char *button)
{
    h.require<QAbstractButton>(window, QString::fromLatin1(button))->click();
}

qint16 model(GuiHarness &h, DacGroupId group, DacTable table, int channel)
{
    return h.core->data.value(group, table, channel, 0).value_or(-999);
}

const QString kVideoReads = QStringLiteral("ddl\r\nddb\r\nddpl\r\nddfl\r\nddpb\r\nddfb\r\n");

} // namespace

class TestAdjustPanels : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void video_readsByMonitorType()
    {
        for (const auto &[type, extra] : {std::pair{216, false}, {217, true}, {299, true}, {300, false}}) {
            GuiHarness h;
            initModel(h);
            pretendOnline(h, type);
            open(h, win::frmVideoAdj);
            QCOMPARE(h.queued(), kVideoReads + (extra ? QStringLiteral("dfd\r\ndfp\r\ndff\r\n") : QString()));
        }
    }

    // The replies fill the panel; a user's move sends its channel; Cancel
    // returns every channel to what the first replies reported; contrast and
    // brightness are never touched.
    void video_online_repliesMovesAndCancel()
    {
        GuiHarness h;
        initModel(h);
        h.core->shell.SetFactoryMode();
        pretendOnline(h, 225);
        open(h, win::frmVideoAdj);
        clearQueue(h);
        reply(h, "ddl\r\n128,130,90,91,92,10,11,12\r\n#");
        reply(h, "ddb\r\n70,71\r\n#");
        reply(h, "ddfl\r\n1,2,3,4,5,6,7,8\r\n#");
        QCOMPARE(slider(h, win::frmVideoAdj, "HScroll1_2")->value(), 90);
        QCOMPARE(h.require<QLineEdit>(win::frmVideoAdj, "BText1_1")->text(), QStringLiteral("71"));
        QCOMPARE(h.require<QLineEdit>(win::frmVideoAdj, "Text2_7")->text(), QStringLiteral("8"));
        // What the replies moved went back with the very values reported.
        const QString echoed = h.queued();
        for (const QString &c : echoed.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            QVERIFY2(QStringList({"cdl290", "cdl391", "cdl492", "cdl510", "cdl611", "cdl712", "cdb070",
                                  "cdb171"}).contains(c), qPrintable(c));
        clearQueue(h);

        slider(h, win::frmVideoAdj, "HScroll1_3")->setValue(200);
        slider(h, win::frmVideoAdj, "HScroll2_0")->setValue(5);
        QCOMPARE(h.queued(), QStringLiteral("cdl3200\r\ncdb05\r\n"));
        clearQueue(h);
        click(h, win::frmVideoAdj, "VideoCancelButton");
        QCOMPARE(h.queued(), QStringLiteral("cdl391\r\ncdb070\r\n"));
        QVERIFY(!h.visible(win::frmVideoAdj));
        for (int ch : {0, 1})
            QVERIFY(!h.queued().contains(QStringLiteral("cdl%1").arg(ch)));
        QCOMPARE(model(h, DacGroupId::L, DacTable::Present, 0), 128);

        // Go Back to Initial Settings before the initial reads were answered
        // sends nothing and says so.
        QSignalSpy status(h.core.get(), &AppCore::statusMessage);
        open(h, win::frmVideoAdj);
        clearQueue(h);
        click(h, win::frmVideoAdj, "VideoRestoreInitialSettingsButton");
        QCOMPARE(h.queued(), QString());
        QCOMPARE(status.count(), 1);
        QVERIFY(status.first().first().toString().contains(QStringLiteral("8 channels")));
        // Factory values of group L were read, of group B not: only L moves.
        click(h, win::frmVideoAdj, "VideoRestoreFactoryDefaultsButton");
        QCOMPARE(h.queued(), QStringLiteral("cdl23\r\ncdl34\r\ncdl45\r\ncdl56\r\ncdl67\r\ncdl78\r\n"));
        QVERIFY(status.last().first().toString().contains(QStringLiteral("2 channels")));
    }

    void video_offline_fillAndSaveInitial_activationEnablesGains()
    {
        GuiHarness h;
        initModel(h);
        MonitorData &d = h.core->data;
        for (int ch = 2; ch < 8; ++ch)
            d.StoreFileDac(DacGroupId::L, ch, 100 + ch, 50 + ch, 60 + ch);
        d.StoreFileDac(DacGroupId::B, 0, 33, 34, 35);
        d.DataChanged = false;
        open(h, win::frmVideoAdj);
        QCOMPARE(slider(h, win::frmVideoAdj, "HScroll1_4")->value(), 104);
        QCOMPARE(h.require<QLineEdit>(win::frmVideoAdj, "Text3_6")->text(), QStringLiteral("66"));
        QCOMPARE(d.DataChanged, false);
        // Activation enables the gains and every bulk button in every mode,
        // User mode included; channel 1 of group B was never loaded.
        QVERIFY(slider(h, win::frmVideoAdj, "HScroll1_2")->isEnabled());
        QVERIFY(h.require<QPushButton>(win::frmVideoAdj, "VideoSetInitialSettingsButton")->isEnabled());
        QVERIFY(h.require<QPushButton>(win::frmVideoAdj, "VideoRestoreInitialSettingsButton")->isEnabled());
        h.core->shell.SetFactoryMode(); // the group B sliders follow the mode alone

        // Another window active: the gains and bulk buttons rest; back on
        // this panel they are enabled again (and, online, read afresh).
        open(h, win::frmBrightnessContrast);
        QVERIFY(!slider(h, win::frmVideoAdj, "HScroll1_2")->isEnabled());
        QVERIFY(!h.require<QPushButton>(win::frmVideoAdj, "VideoRestoreFactoryDefaultsButton")->isEnabled());
        QVERIFY(slider(h, win::frmVideoAdj, "HScroll2_0")->isEnabled());
        open(h, win::frmVideoAdj);
        QVERIFY(slider(h, win::frmVideoAdj, "HScroll1_2")->isEnabled());
        QVERIFY(h.require<QPushButton>(win::frmVideoAdj, "VideoRestoreFactoryDefaultsButton")->isEnabled());

        slider(h, win::frmVideoAdj, "HScroll1_2")->setValue(9);
        QCOMPARE(d.DataChanged, true);
        click(h, win::frmVideoAdj, "VideoSetInitialSettingsButton");
        QCOMPARE(model(h, DacGroupId::L, DacTable::Initial, 2), 9);
        QCOMPARE(model(h, DacGroupId::B, DacTable::Initial, 0), 33);
        QCOMPARE(h.require<QLineEdit>(win::frmVideoAdj, "BText3_0")->text(), QStringLiteral("33"));
        QVERIFY(!d.isKnown(DacGroupId::B, DacTable::Initial, 1, 0));
        QCOMPARE(h.queued(), QStringLiteral("cdlp\r\ncdbp\r\n"));
    }

    void brightnessContrast_activationByType()
    {
        struct Case { int type; const char *expected; };
        for (const Case k : {Case{150, "dw\r\nddl\r\nddpl\r\nddfl\r\n"},
                             Case{225, "du\r\ndp\r\ndw\r\nddl\r\nddpl\r\nddfl\r\n"},
                             Case{300, "du\r\ndw\r\nddl\r\nddpl\r\nddfl\r\n"}}) {
            GuiHarness h;
            initModel(h);
            pretendOnline(h, k.type);
            open(h, win::frmBrightnessContrast);
            QCOMPARE(h.queued(), QString::fromLatin1(k.expected));
        }
        GuiHarness offline;
        initModel(offline);
        offline.core->data.MonitorType = 225;
        open(offline, win::frmBrightnessContrast);
        QCOMPARE(offline.queued(), QString());
    }

    void brightnessContrast_buttonsAndSliders()
    {
        GuiHarness h;
        initModel(h);
        h.core->shell.SetServiceMode();
        const QString w = win::frmBrightnessContrast;
        open(h, w);
        // Offline: limit and hysteresis "Set" send nothing; the initial
        // "Set" and the software-control options still go out.
        click(h, w, "btnSetDefaultsContrast");
        QVERIFY(h.require<QPushButton>(w, "btnSetDayContrastLowerLimit")->isVisible());
        click(h, w, "btnSetDayContrastLowerLimit");
        h.require<QLineEdit>(w, "txtHystC")->setText(QStringLiteral("5"));
        click(h, w, "btnSetHystC");
        click(h, w, "btnSetInitial1");
        h.core->data.MonitorType = 230;
        click(h, w, "Option1");
        QCOMPARE(h.queued(), QStringLiteral("cdlp\r\nddpl\r\nCPC1\r\n"));
        clearQueue(h);

        pretendOnline(h, 230);
        open(h, w);
        clearQueue(h);
        reply(h, "ddl\r\n128,130,1,1,1,1,1,1\r\n#");
        reply(h, "ddpl\r\n100,90,1,1,1,1,1,1\r\n#");
        QCOMPARE(h.labelText(w, "lblContrastPV"), QStringLiteral("128"));
        QCOMPARE(h.labelText(w, "Label31"), QStringLiteral("90"));
        clearQueue(h);
        click(h, w, "btnNightContrastUpperLimit");
        QCOMPARE(h.queued(), QStringLiteral("cpl3\r\ndp\r\n"));
        clearQueue(h);
        // Junk never reaches the monitor; a number does, trimmed.
        h.require<QLineEdit>(w, "txtHystC")->setText(QStringLiteral("5; x"));
        click(h, w, "btnSetHystC");
        h.require<QLineEdit>(w, "txtHystB")->setText(QStringLiteral(" 12 "));
        click(h, w, "btnSetHystB");
        QCOMPARE(h.queued(), QStringLiteral("CPHB12\r\n"));
        clearQueue(h);
        // "Use" moves the slider, whose change sends it.
        click(h, w, "btnUseInitial1");
        click(h, w, "btnSetDefaultsBrightness");
        click(h, w, "Command7");
        QCOMPARE(h.queued(), QStringLiteral("cdl0100\r\ncdl190\r\n"));
        QCOMPARE(model(h, DacGroupId::L, DacTable::Present, 1), 90);
    }

    void brightnessContrast_softwareControlCommandsByType()
    {
        struct Case { int type; const char *contrastOff; const char *brightnessOn; };
        for (const Case k : {Case{200, "", ""}, Case{205, "CP1\r\n", "CP0\r\n"},
                             Case{212, "CPC1\r\n", "CPB0\r\n"}, Case{300, "CP1\r\n", "CP0\r\n"}}) {
            GuiHarness h;
            initModel(h);
            open(h, win::frmBrightnessContrast);
            h.core->data.MonitorType = qint16(k.type);
            click(h, win::frmBrightnessContrast, "Option1");
            QCOMPARE(h.queued(), QString::fromLatin1(k.contrastOff));
            clearQueue(h);
            click(h, win::frmBrightnessContrast, "Option4");
            QCOMPARE(h.queued(), QString::fromLatin1(k.brightnessOn));
        }
    }

    // The limits report selects the options, fills the limits and the
    // hysteresis, and sends nothing back; online, "Disabled" hides the slider.
    void brightnessContrast_limitsReportShowsOnly()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 230);
        const QString w = win::frmBrightnessContrast;
        open(h, w);
        clearQueue(h);
        reply(h, "dp\r\n0,0\r\nLimits 10,20,30,40,50,60,70,80,3,4\r\nBC 1,0\r\n#");
        QCOMPARE(h.queued(), QString());
        QVERIFY(h.require<QRadioButton>(w, "Option3")->isChecked());
        QVERIFY(h.require<QRadioButton>(w, "Option2")->isChecked());
        QCOMPARE(h.labelText(w, "lblLimits_6"), QStringLiteral("70"));
        QCOMPARE(h.require<QLineEdit>(w, "txtHystB")->text(), QStringLiteral("4"));
        QVERIFY(slider(h, w, "HScroll_Brightness")->isHidden());
        QVERIFY(!slider(h, w, "HScroll_Contrast")->isHidden());
    }

    // The start-up options write the whole operating-mode word, and only
    // once the monitor reported it.
    void brightnessContrast_startupOptionsWriteTheModeWord()
    {
        GuiHarness h;
        initModel(h);
        pretendOnline(h, 230);
        const QString w = win::frmBrightnessContrast;
        open(h, w);
        clearQueue(h);
        QSignalSpy status(h.core.get(), &AppCore::statusMessage);
        click(h, w, "UserContrastDisabledOption");
        QCOMPARE(h.queued(), QString());
        QCOMPARE(status.count(), 1);
        QVERIFY(!h.require<QRadioButton>(w, "UserContrastDisabledOption")->isChecked());

        reply(h, "dw\r\nModel Type = 20\r\n#");
        QVERIFY(h.require<QRadioButton>(w, "UserContrastEnabledOption")->isChecked());
        QCOMPARE(h.queued(), QString());
        click(h, w, "UserContrastDisabledOption");
        QCOMPARE(h.queued(), QStringLiteral("cw21\r\n"));
        QCOMPARE(h.core->controls.checked(win::frmOperatingMode,
                                          QStringLiteral("UserContrastDisabledOption")),
                 std::optional<bool>(true));
    }
};

QTEST_MAIN(TestAdjustPanels)
#include "test_adjustpanels.moc"
