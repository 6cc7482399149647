// The software, boot-block and progress windows on the main window, against
// the in-process simulated monitor on the manual clock.

#include "firmware/firmwarehandlers.h"
#include "guitest.h"
#include "hexgen.h"
#include "monitorsim.h"
#include "panels/firmware/softwarepanel.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

QByteArrayList withoutRecords(const QByteArrayList &commands)
{
    QByteArrayList out;
    for (const QByteArray &c : commands)
        if (!c.startsWith(':'))
            out << c;
    return out;
}

int recordCount(const QByteArrayList &commands)
{
    return int(std::count_if(commands.begin(), commands.end(), [](const QByteArray &c) { return c.startsWith(':'); }));
}

} // namespace

class TestFirmwarePanels : public QObject {
    Q_OBJECT
private slots:
    void flashDownloadFromTheSoftwarePanel();
    void bootBlockMonitorGetsOnlyTheErase();
    void cancelBadAndUnopenableFile();
    void sramDownloadAndRun();
    void bootBlockPanel();
    void refusedEraseAndUnreportedEnd();
};

void TestFirmwarePanels::flashDownloadFromTheSoftwarePanel()
{
    GuiHarness h("");
    QVERIFY(h.goOnline());
    QTemporaryDir dir;
    const HexImage image = patternImage(40, 16, 0x1FF80); // crosses a 64 KiB boundary
    const QString path = dir.filePath(QStringLiteral("new.hex"));
    QVERIFY(writeIntelHex(path, image));
    h.core->CodeInitDir = QStringLiteral("/somewhere/else");

    h.window->registry().openWindow(win::frmSoftware);
    h.window->registry().openWindow(win::frmCommLog);
    h.pump(300);
    h.monitor()->clearCommands();
    h.core->globals.CommLogEcho = true;
    h.dialogs.openAnswers << path;
    h.messages.okCancelAnswer = true;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"))->click();

    QCOMPARE(h.messages.questions, QStringList{FirmwareActions::kConfirmText});
    QCOMPARE(h.dialogs.openRequests.size(), 1);
    QCOMPARE(h.dialogs.openRequests.first().initialDir, QStringLiteral("/somewhere/else"));
    QVERIFY(h.dialogs.openRequests.first().filter.startsWith(QStringLiteral("Hex Files (*.hex)")));
    QCOMPARE(h.core->CodeInitDir, QDir::toNativeSeparators(dir.path()));
    QCOMPARE(h.core->settings.read(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("CodeInitDir"), {}),
             QDir::toNativeSeparators(dir.path()));
    QVERIFY(!h.core->globals.connection.autoPing());
    h.pump(20);
    QCOMPARE(h.child<QPushButton>(win::frmCommLog, QStringLiteral("btnDisableAutoping"))->text(),
             QStringLiteral("Enable AutoPing"));
    QVERIFY(h.child<QPushButton>(win::frmCommLog, QStringLiteral("btnCheckOff"))->isHidden());
    QVERIFY(!h.child<QPushButton>(win::frmCommLog, QStringLiteral("btnCheckOn"))->isHidden());

    // A few records in: the progress window shows, the load buttons say why
    // they are off.
    h.pump(600);
    QVERIFY(h.core->download.DownloadActive());
    QVERIFY(h.visible(win::frmBootProgress));
    auto *flash = h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"));
    QVERIFY(!flash->isEnabled());
    QVERIFY(flash->toolTip().contains(QStringLiteral("download is running")));
    const int gaugeMid = h.require<QProgressBar>(win::frmBootProgress, QStringLiteral("Gauge1"))->value();
    QVERIFY(gaugeMid > 0 && gaugeMid < 100);

    for (int i = 0; i < 200 && h.core->download.isBusy(); ++i)
        h.pump(100);
    QVERIFY(!h.core->download.isBusy());
    QVERIFY(!h.visible(win::frmBootProgress));
    QVERIFY(flash->isEnabled());
    QVERIFY(h.messages.messages.isEmpty());
    QCOMPARE(h.beeper.beeps.mid(h.beeper.beeps.size() - 3),
             (QList<QPair<int, int>>{{250, 250}, {500, 250}, {1000, 250}}));

    const QByteArrayList got = h.monitor()->commandsReceived();
    QCOMPARE(withoutRecords(got), (QByteArrayList{"cz0", "cb0", "bf3"}));
    QCOMPARE(recordCount(got), hexLineCount(image));
    quint32 base = 0;
    QCOMPARE(h.monitor()->receivedImage(&base), image.data);
    QCOMPARE(base, image.base);

    // The log kept the first records only (logging off).
    const QString log = h.core->commLog.text();
    const QList<QByteArray> lines = intelHex(image).split('\n');
    QVERIFY(log.contains(QString::fromLatin1(lines.at(1).trimmed())));
    QVERIFY(!log.contains(QString::fromLatin1(lines.at(20).trimmed())));
}

void TestFirmwarePanels::bootBlockMonitorGetsOnlyTheErase()
{
    GuiHarness h("boot");
    h.start(2600);
    QVERIFY(h.core->globals.connection.bootBlock());
    QTemporaryDir dir;
    const HexImage image = patternImage(6);
    const QString path = dir.filePath(QStringLiteral("boot.hex"));
    QVERIFY(writeIntelHex(path, image));
    h.window->registry().openWindow(win::frmSoftware);
    h.window->registry().openWindow(win::frmCommLog);
    h.pump(300);
    h.core->connector.setAutoPing(false); // already off: the caption is left as it is
    h.core->globals.CommLogEcho = true;
    h.monitor()->clearCommands();
    h.require<QCheckBox>(win::frmSoftware, QStringLiteral("bootLogCheck"))->setChecked(true);
    h.dialogs.openAnswers << path;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"))->click();
    for (int i = 0; i < 100 && h.core->download.isBusy(); ++i)
        h.pump(100);
    QCOMPARE(withoutRecords(h.monitor()->commandsReceived()), QByteArrayList{"bf3"});
    QCOMPARE(h.monitor()->receivedImage(), image.data);
    QCOMPARE(h.child<QPushButton>(win::frmCommLog, QStringLiteral("btnDisableAutoping"))->text(),
             QStringLiteral("Disable AutoPing"));
    // With logging on, every record reached the log window.
    QVERIFY(h.core->commLog.text().contains(QStringLiteral(":00000001FF")));
}

void TestFirmwarePanels::cancelBadAndUnopenableFile()
{
    GuiHarness h("");
    QVERIFY(h.goOnline());
    h.window->registry().openWindow(win::frmSoftware);
    h.window->registry().openWindow(win::frmCommLog);
    h.pump(300);
    h.monitor()->clearCommands();
    const auto untouched = [&] {
        return h.core->globals.connection.autoPing() && h.core->link.XmitQueue().isEmpty() && !h.core->download.isBusy()
            && h.child<QPushButton>(win::frmCommLog, QStringLiteral("btnCheckOn"))->isHidden();
    };

    h.messages.okCancelAnswer = false;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"))->click();
    QVERIFY(h.dialogs.openRequests.isEmpty());
    QVERIFY(untouched());

    // The dialog cancelled: nothing at all reaches the monitor.
    h.messages.okCancelAnswer = true;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"))->click();
    QCOMPARE(h.dialogs.openRequests.size(), 1);
    QVERIFY(untouched());
    QVERIFY(h.messages.messages.isEmpty());

    // A bad file: named with the line and what is wrong, nothing sent.
    QTemporaryDir dir;
    QList<QByteArray> lines = intelHex(patternImage(20)).split('\n');
    lines[4].replace(1, 2, "11"); // line 5 claims 17 data bytes and holds 16
    const QByteArray text = lines.join('\n');
    const QString bad = dir.filePath(QStringLiteral("bad.hex"));
    QFile f(bad);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(text) == text.size());
    f.close();
    h.dialogs.openAnswers << bad;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadFlash"))->click();
    QVERIFY(untouched());
    QCOMPARE(h.messages.titles, QStringList{QStringLiteral("File Format Error")});
    const QString said = h.messages.messages.value(0);
    QVERIFY2(said.contains(QDir::toNativeSeparators(bad)) && said.contains(QStringLiteral("Line 5: ")), qPrintable(said));

    // A file that cannot be opened is named with the reason.
    const QString missing = dir.filePath(QStringLiteral("gone.hex"));
    h.dialogs.openAnswers << missing;
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadSRAM"))->setEnabled(true);
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnLoadSRAM"))->click();
    QCOMPARE(h.messages.messages.size(), 2);
    QVERIFY(h.messages.messages.last().contains(QDir::toNativeSeparators(missing)));
    QVERIFY(untouched());
    h.pump(400);
    QCOMPARE(h.receivedWithoutPings(), QByteArrayList{});
}

void TestFirmwarePanels::sramDownloadAndRun()
{
    GuiHarness h("");
    QVERIFY(h.goOnline());
    QTemporaryDir dir;
    const HexImage image = patternImage(8, 16, 0x2000);
    const QString path = dir.filePath(QStringLiteral("prog.hex"));
    QVERIFY(writeIntelHex(path, image));
    h.window->registry().openWindow(win::frmSoftware);
    h.pump(300);
    h.monitor()->clearCommands();
    h.core->download.Abort(); // an abort asked for while idle is forgotten at the start
    h.dialogs.openAnswers << path;
    FirmwareActions actions(h.core->firmwareContext());
    actions.loadSram();
    QVERIFY(h.messages.questions.isEmpty()); // no confirmation for SRAM
    for (int i = 0; i < 100 && h.core->download.isBusy(); ++i)
        h.pump(100);
    QCOMPARE(h.monitor()->loadTarget(), sim::MonitorSimulator::LoadTarget::Sram);
    QCOMPARE(h.monitor()->receivedImage(), image.data);
    QVERIFY(h.core->globals.connection.autoPing());
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnRunSRAM"))->setEnabled(true);
    h.require<QPushButton>(win::frmSoftware, QStringLiteral("btnRunSRAM"))->click();
    h.pump(300);
    QCOMPARE(h.monitor()->commandsReceived().last(), QByteArray("f"));
    QCOMPARE(h.labelText(win::frmSoftware, QStringLiteral("lblSRAMFile")), QDir::toNativeSeparators(path));
}

void TestFirmwarePanels::bootBlockPanel()
{
    GuiHarness h("");
    QVERIFY(h.goOnline());
    h.monitor()->clearCommands();
    h.window->registry().openWindow(win::frmBootBlock);
    h.pump(400);
    QCOMPARE(h.monitor()->commandsReceived(), QByteArrayList{"db"});
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblValue_0")), QStringLiteral("AA"));
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblValue_1")), QStringLiteral("55"));
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblAutoBoot")), QStringLiteral("ON"));
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblBB_2")), QStringLiteral(" Boot Unconditional ( if = 34 )  :"));

    h.require<QPushButton>(win::frmBootBlock, QStringLiteral("btnDisable"))->click();
    h.pump(400);
    QCOMPARE(h.monitor()->commandsReceived().mid(1), (QByteArrayList{"cb0", "db"}));
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblAutoBoot")), QStringLiteral("OFF"));
    QCOMPARE(h.labelText(win::frmBootBlock, QStringLiteral("lblValue_8")), QStringLiteral("01"));
}

void TestFirmwarePanels::refusedEraseAndUnreportedEnd()
{
    QTemporaryDir dir;
    const HexImage image = patternImage(4);
    const QString path = dir.filePath(QStringLiteral("fw.hex"));
    QVERIFY(writeIntelHex(path, image));
    {
        // The refusal of "bf3" reaches the engine through the framing and
        // leaves the link free.
        GuiHarness h("erasefail");
        QVERIFY(h.goOnline());
        h.dialogs.openAnswers << path;
        FirmwareActions(h.core->firmwareContext()).loadFlash();
        h.pump(800);
        QCOMPARE(h.messages.messages, QStringList{QStringLiteral("Message was 'f3Flash Erase Failed!'")});
        QCOMPARE(h.messages.titles, QStringList{QStringLiteral("Flash Block Erase Failed")});
        QVERIFY(!h.core->download.isBusy());
        QVERIFY(!h.core->link.XmitBusy());
        h.monitor()->clearCommands();
        h.core->send(QStringLiteral("df"));
        h.pump(300);
        QCOMPARE(h.receivedWithoutPings().value(0), QByteArray("df")); // (its reply asks for "dx")
    }
    {
        // The end record acknowledged without "EOF": the file has nothing
        // more, so the transfer ends with a message instead of hanging.
        GuiHarness h("eofunreported");
        QVERIFY(h.goOnline());
        h.dialogs.openAnswers << path;
        FirmwareActions(h.core->firmwareContext()).loadFlash();
        for (int i = 0; i < 40 && h.core->download.isBusy(); ++i)
            h.pump(100);
        QVERIFY(!h.core->download.isBusy());
        QVERIFY(!h.visible(win::frmBootProgress));
        QCOMPARE(h.messages.messages.size(), 1);
        QVERIFY(h.messages.messages.first().contains(QStringLiteral("ended before the monitor reported")));
    }
}

QTEST_MAIN(TestFirmwarePanels)
#include "test_firmwarepanels.moc"
