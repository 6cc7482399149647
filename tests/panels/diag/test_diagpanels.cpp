// The diagnostics panels on the real main window, talking to the simulated
// monitor over the in-process port, paced by the manual clock.

#include "core/diag/i2cprobe.h"
#include "base/diagnames.h"
#include "base/windownames.h"
#include "core/diag/memoryreplies.h"
#include "core/diag/testpoints.h"
#include "guitest.h"
#include "monitorsim.h"
#include "panels/diag/trendline.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

void open(GuiHarness &h, const char *window)
{
    h.monitor()->clearCommands();
    h.window->registry().openWindow(QString::fromLatin1(window));
}

void trigger(GuiHarness &h, const char *menu)
{
    h.monitor()->clearCommands();
    h.window->trigger(QString::fromLatin1(menu));
}

void click(GuiHarness &h, const char *window, const char *button)
{
    QTest::mouseClick(h.require<QPushButton>(QString::fromLatin1(window), QString::fromLatin1(button)),
                      Qt::LeftButton);
}

int colourOf(GuiHarness &h, const char *button)
{
    return h.require<QPushButton>(win::frmI2cProbe, QString::fromLatin1(button))->property("tvkColour").toInt();
}

} // namespace

class TestDiagPanels : public QObject {
    Q_OBJECT
private slots:
    void init() { freshSettingsFolder(); }

    void mdiTestPoints_pollWhileInFront_onlyThen()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        trigger(h, "mnuDiagnosticsOperating");
        QVERIFY(h.visible(win::frmMDITestPoints));
        h.pump(1500, 10);
        const QByteArrayList reads = {"da", "dv", "dp", "dh"};
        QCOMPARE(h.receivedWithoutPings(), reads);
        const QString rail = h.labelText(win::frmMDITestPoints, "lblVoltage_5");
        QVERIFY2(rail.startsWith(u'+') && rail.endsWith(u'V'), qPrintable(rail));
        QVERIFY(h.labelText(win::frmMDITestPoints, "VAnodeValue").endsWith(QStringLiteral(" kV")));
        QCOMPARE(h.child<QLineEdit>(win::frmMDITestPoints, "HFreqTextBox")->text(), QStringLiteral("32.00"));
        // The voltages panel of the same family shows the same reading.
        QCOMPARE(h.core->controls.text(win::frmCRTVoltages, QStringLiteral("lblVoltage_5")), std::optional(rail));

        // Each tick of the 10 s timer asks again; the trend lines grow.
        h.monitor()->clearCommands();
        h.pump(20500, 20);
        QCOMPARE(h.receivedWithoutPings(), reads + reads);
        auto *trend = h.require<TrendLine>(win::frmMDITestPoints, "lblVoltage_5Trend");
        QCOMPARE(h.core->testPointHistory.samples(trend->key()).size(), 3);
        const int repaints = trend->updatesRequested();

        // In the background the timer stops: nothing is asked, nothing redrawn.
        open(h, "frmVersion");
        h.pump(600, 20);
        h.monitor()->clearCommands();
        h.pump(30000, 20);
        QVERIFY(h.receivedWithoutPings().isEmpty());
        QCOMPARE(trend->updatesRequested(), repaints);

        // Back in front it reads at once and polls again.
        open(h, "frmMDITestPoints");
        h.pump(10500, 20);
        QCOMPARE(h.receivedWithoutPings(), reads + reads);
        QVERIFY(trend->updatesRequested() > repaints);

        // Closed, it stays quiet too.
        click(h, "frmMDITestPoints", "TPCloseButton");
        h.monitor()->clearCommands();
        h.pump(25000, 20);
        QVERIFY(h.receivedWithoutPings().isEmpty());
    }

    void earlyTestPoints_askForTheDisplayTypeFirst_andRereadOnlyOnline()
    {
        GuiHarness h("version=1.50");
        QVERIFY(h.goOnline());
        h.pump(500);
        trigger(h, "mnuDiagnosticsOperating");
        QVERIFY(h.visible(win::frmTestPoint));
        h.pump(1500, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dw", "da", "dv", "dp", "dh"}));
        QVERIFY(h.labelText(win::frmTestPoint, "IAnodeValue").endsWith(QStringLiteral(" uA")));
        QVERIFY(h.labelText(win::frmTestPoint, "LV175Value").endsWith(QStringLiteral(" V")));

        h.monitor()->clearCommands();
        click(h, "frmTestPoint", "ReadADCButton");
        h.pump(1500, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"da", "dv", "dp", "dh"}));

        // Offline "Reread Values" and the timer ask nothing.
        h.core->connector.GoOffline();
        h.pump(100);
        const QString before = h.queued();
        click(h, "frmTestPoint", "ReadADCButton");
        h.pump(6000, 20);
        QCOMPARE(h.queued(), before);
    }

    void flatPanel_missingReadingShowsThePlaceholder()
    {
        GuiHarness h("version=3.10,dadrop=12");
        QVERIFY(h.goOnline());
        h.pump(500);
        trigger(h, "mnuDiagnosticsFPControls");
        h.pump(600, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"da"}));
        QCOMPARE(h.labelText(win::frmFlatPanelTestPoints, "lblVoltage_3"), kNotMeasured);
        QVERIFY(h.labelText(win::frmFlatPanelTestPoints, "lblVoltage_0").endsWith(QStringLiteral(" V")));
        QVERIFY(h.labelText(win::frmFlatPanelTestPoints, "lblVoltage_0") != kNotMeasured);
    }

    void voltagesAndDeflectionPanels_readWhatTheyShow()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        trigger(h, "mnuDiagnosticsVoltages");
        h.pump(600, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"da"}));
        QVERIFY(h.labelText(win::frmCRTVoltages, "lblVoltage_7").endsWith(u'V'));
        QVERIFY(h.labelText(win::frmCRTVoltages, "IAnodeValue").endsWith(QStringLiteral(" uA")));

        trigger(h, "frmDiagnosticsDeflectionStatus");
        h.pump(10600, 20);
        // Read on activation and on the tick; the voltages panel behind is quiet.
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dv", "dp", "dv", "dp"}));
        QCOMPARE(h.child<QLineEdit>(win::frmDeflectionStatus, "VertFreqBox")->text(), QStringLiteral("60.00"));
    }

    void hvTrend_bandsTheMonitorsLimits_marksWhatIsOutside_andSavesCsvAndPng()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        open(h, "frmHVLimits");
        h.pump(800, 10);
        auto *trend = h.require<TrendLine>(win::frmHVLimits, "HVValTextBoxTrend");
        const int lower = h.core->data.HvLowerLimit, upper = h.core->data.HvUpperLimit;
        QVERIFY(upper > lower);
        QVERIFY(trend->limits() && trend->limits()->lower == lower && trend->limits()->upper == upper);
        const qsizetype before = h.core->testPointHistory.samples(trend->key()).size();
        // The simulated anode reads above the simulator's own upper limit.
        const int outside = trend->samplesOutside();
        const qint64 now = h.clock.nowMs();
        h.core->testPointHistory.add(trend->key(), now + 1, upper + 5);
        h.core->testPointHistory.add(trend->key(), now + 2, lower - 5);
        h.core->testPointHistory.add(trend->key(), now + 3, lower);
        QCOMPARE(trend->samplesOutside(), outside + 2);
        QVERIFY2(trend->accessibleDescription().startsWith(QString::number(outside + 2) + u' '),
                 qPrintable(trend->accessibleDescription()));

        QTemporaryDir dir;
        const QString csv = dir.filePath(QStringLiteral("hv.csv")), png = dir.filePath(QStringLiteral("hv.png"));
        h.dialogs.saveAnswers << csv << png;
        QVERIFY(trend->saveCsv());
        QVERIFY(trend->savePng());
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1 + before + 3);
        QCOMPARE(lines.first(), QStringLiteral("time,value,unit,serial number"));
        const QRegularExpression row(QStringLiteral("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z,(-?\\d+),counts,(.*)$"));
        const auto last = row.match(lines.last());
        QVERIFY2(last.hasMatch(), qPrintable(lines.last()));
        QCOMPARE(last.captured(1).toInt(), lower);
        QCOMPARE(last.captured(2), h.core->data.SerialNumber.trimmed());
        QVERIFY(h.dialogs.saveRequests.last().proposedName.endsWith(QStringLiteral(".png")));
        QCOMPARE(QImage(png).size(), QSize(960, 320));
    }

    void hvLimits_setSendsOnlyANumberInRange()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        open(h, "frmHVLimits");
        h.pump(800, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"dh", "da"}));
        QVERIFY(!h.child<QLineEdit>(win::frmHVLimits, "HVValTextBox")->text().isEmpty());

        auto *upper = h.require<QLineEdit>(win::frmHVLimits, "HVUpperLimitTextBox");
        h.monitor()->clearCommands();
        for (const char *junk : {"300", "2x0", ""}) {
            upper->setText(QString::fromLatin1(junk));
            click(h, "frmHVLimits", "HVUpperLimitSetButton");
        }
        h.pump(500);
        QVERIFY(h.receivedWithoutPings().isEmpty());
        QCOMPARE(h.messages.messages.size(), 3);
        // The range starts at the lower limit the monitor reported to "dh".
        QVERIFY(h.core->data.HvLowerLimit > 0);
        QCOMPARE(h.messages.messages.first(),
                 QStringLiteral("The HV upper limit must be a whole number from %1 to 255.")
                     .arg(h.core->data.HvLowerLimit));

        upper->setText(QStringLiteral(" 200"));
        click(h, "frmHVLimits", "HVUpperLimitSetButton");
        h.pump(500);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"chu200", "dh"}));
    }

    void peekPoke_roundTripOverTheMonitorsMemory()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        h.pump(500);
        trigger(h, "mnuDiagnosticsPeek");
        QVERIFY(h.visible(win::frmPeekPoke));
        const QString w = win::frmPeekPoke;
        auto *address = h.require<QLineEdit>(w, "AddressBox");
        auto *byte = h.require<QLineEdit>(w, "DataByteBox");
        auto *word = h.require<QLineEdit>(w, "DataWordBox");
        auto *character = h.require<QLineEdit>(w, "txtDataChar");
        QCOMPARE(byte->text(), QStringLiteral("0xXX"));

        h.monitor()->clearCommands();
        address->setText(QStringLiteral("0x100"));
        click(h, "frmPeekPoke", "brnWriteAddr");
        click(h, "frmPeekPoke", "btnReadByte");
        click(h, "frmPeekPoke", "btnReadChar");
        h.pump(800, 10);
        QCOMPARE(address->text(), QStringLiteral("0x0100"));
        QCOMPARE(byte->text(), QStringLiteral("0x54"));
        QCOMPARE(character->text(), QStringLiteral("T"));

        byte->setText(QStringLiteral("0x41"));
        click(h, "frmPeekPoke", "DataByteWriteButton");
        click(h, "frmPeekPoke", "btnReadChar");
        word->setText(QStringLiteral("4243"));
        click(h, "frmPeekPoke", "btnAddrUp");
        click(h, "frmPeekPoke", "DataWordWriteButton");
        click(h, "frmPeekPoke", "btnReadWord");
        click(h, "frmPeekPoke", "btnAddrUp");
        click(h, "frmPeekPoke", "btnReadChar");
        h.pump(1500, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"a0x100", "rb", "rc", "wb0x41", "rc", "a+", "ww0x4243",
                                                           "rw", "a+", "rc"}));
        QCOMPARE(word->text(), QStringLiteral("0x4243"));
        QCOMPARE(address->text(), QStringLiteral("0x0102"));
        QCOMPARE(character->text(), QStringLiteral("C"));
        QCOMPARE(h.monitor()->config().diag.memory.mid(0x100, 3), QByteArray("ABC"));

        // Placeholders, empty boxes and values too wide send nothing and say why.
        h.monitor()->clearCommands();
        byte->setText(QStringLiteral("0xXX"));
        click(h, "frmPeekPoke", "DataByteWriteButton");
        word->clear();
        click(h, "frmPeekPoke", "DataWordWriteButton");
        address->setText(QStringLiteral("0x1234567"));
        click(h, "frmPeekPoke", "brnWriteAddr");
        h.pump(500);
        QVERIFY(h.receivedWithoutPings().isEmpty());
        QCOMPARE(h.messages.messages.size(), 3);
        QVERIFY(h.messages.messages.at(0).contains(QStringLiteral("data byte")));
        QVERIFY(h.messages.messages.at(1).contains(QStringLiteral("data word")));
        QVERIFY(h.messages.messages.at(2).contains(QStringLiteral("address")));
        QCOMPARE(h.monitor()->config().diag.memory.mid(0x100, 3), QByteArray("ABC"));
    }

    void i2cProbe_testAllInOrder_coloursFromReplies_thenGray()
    {
        GuiHarness h("version=2.25,i2c=AA:4C:92,i2cnc=9C");
        QVERIFY(h.goOnline());
        h.pump(500);
        open(h, "frmI2cProbe");
        click(h, "frmI2cProbe", "btnAll");
        h.pump(9000, 20);
        QByteArrayList expected;
        for (const QString &a : testAllAddresses())
            expected << "pi0x" + a.toLatin1();
        QCOMPARE(h.receivedWithoutPings(), expected);
        QCOMPARE(colourOf(h, "btnU103"), Colour::Green);
        QCOMPARE(colourOf(h, "btnU109"), Colour::Green);
        QCOMPARE(colourOf(h, "btnU115"), Colour::Yellow);
        // One address pair, two buttons.
        QCOMPARE(colourOf(h, "btnU119"), Colour::Green);
        QCOMPARE(colourOf(h, "btnU906"), Colour::Green);
        QCOMPARE(colourOf(h, "btnU120"), Colour::Red);
        QCOMPARE(colourOf(h, "btnU628"), Colour::Red);
        // The results in words, for a screen reader and beside each button.
        const char *const said[][2] = {
            {"btnU103", "present"}, {"btnU115", "not connected"}, {"btnU120", "absent"}, {"btnU906", "present"}};
        for (const auto &[button, word] : said) {
            auto *b = h.require<QPushButton>(win::frmI2cProbe, QString::fromLatin1(button));
            const QString name = QAccessible::queryAccessibleInterface(b)->text(QAccessible::Name);
            QVERIFY2(name.startsWith(b->text()) && name.endsWith(QStringLiteral(": ") + QLatin1String(word)),
                     qPrintable(name));
            QCOMPARE(h.labelText(win::frmI2cProbe, QString::fromLatin1(button) + QStringLiteral("Result")),
                     QString::fromLatin1(word));
        }

        h.monitor()->clearCommands();
        click(h, "frmI2cProbe", "btnU310");
        click(h, "frmI2cProbe", "BtnToggleLEDs");
        h.require<QLineEdit>(win::frmI2cProbe, "txtTest")->setText(QStringLiteral(" a4 "));
        click(h, "frmI2cProbe", "btnTest");
        h.require<QLineEdit>(win::frmI2cProbe, "txtTest")->setText(QStringLiteral("xyz"));
        click(h, "frmI2cProbe", "btnTest");
        h.pump(800, 10);
        QCOMPARE(h.receivedWithoutPings(), (QByteArrayList{"pi0x96", "lt", "pi0xA4"}));
        QCOMPARE(h.messages.messages.size(), 1);

        click(h, "frmI2cProbe", "btnSetAllGray");
        auto *panel = h.window->registry().find(win::frmI2cProbe);
        const QColor face = panel->palette().color(QPalette::Button);
        const int gray = face.red() | face.green() << 8 | face.blue() << 16;
        const auto buttons = panel->findChildren<QPushButton *>();
        QVERIFY(buttons.size() > int(i2cDevices().size()));
        for (QPushButton *b : buttons) {
            QCOMPARE(b->property("tvkColour").toInt(), gray);
            QVERIFY(b->styleSheet().isEmpty());
        }
        for (const I2cDevice &d : i2cDevices()) {
            auto *b = h.require<QPushButton>(win::frmI2cProbe, ctl::i2cButton(d.part));
            QVERIFY(b->accessibleName().endsWith(QStringLiteral(": not probed")));
            QVERIFY(h.labelText(win::frmI2cProbe, b->objectName() + QStringLiteral("Result")).isEmpty());
        }
    }
};

QTEST_MAIN(TestDiagPanels)
#include "test_diagpanels.moc"
