#include "core/appcore.h"
#include "base/windownames.h"
#include "app/windowregistry.h"
#include "panels/commlog/commlogwindow.h"
#include "guitest.h"
#include "monitorsim.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
// The log window opened on an idle link with a scripted port.
struct LogFixture {
    LogFixture()
    {
        QVERIFY(h.core->link.OpenCommPort());
        port = h.scriptedPorts.last();
        h.window->registry().openWindow(win::frmCommLog);
        window = qobject_cast<CommLogWindow *>(h.window->registry().find(win::frmCommLog));
    }
    template <typename T = QWidget>
    T *child(const char *name) const
    {
        return window->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *name) { child<QAbstractButton>(name)->click(); }
    QPlainTextEdit *text() const { return child<QPlainTextEdit>("txtCommLog"); }

    GuiHarness h;
    ScriptedPort *port = nullptr;
    CommLogWindow *window = nullptr;
};

QString shown(const QString &modelText)
{
    QString t = modelText;
    return t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

} // namespace

class TestCommLogWindow : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void load_setsUpTheControls()
    {
        LogFixture f;
        QVERIFY(f.window);
        QCOMPARE(f.window->windowTitle(), QStringLiteral("Monitor Communication Log"));
        const QList<std::pair<const char *, const char *>> captions = {
            {"btnTerse", "Terse"},
            {"btnVerbose", "Verbose"},
            {"btnCheckOff", "Disable Checking"},
            {"btnCheckOn", "Enable Checking"},
            {"btnClrXQ", "Clear Xmit Queue"},
            {"btnDisableAutoping", "Disable AutoPing"},
            {"btnReConnect", "ReConnect"},
            {"btnClearCommLogWindow", "Clear Log Window"},
            {"BtnLogFile", "Log to File ..."},
            {"btnEndFileLog", "Close Log File"},
            {"btnDone", "Done"},
        };
        for (const auto &[name, caption] : captions)
            QCOMPARE(f.child<QPushButton>(name)->text(), QString::fromLatin1(caption));
        QCOMPARE(f.child<QLabel>("lblXmitQueueOverride")->text(), QStringLiteral("Xmit Q Bypass"));
        QCOMPARE(f.child<QLabel>("lblWindowEnabled")->text(), QStringLiteral("Window Log Enable"));
        QCOMPARE(f.child<QLabel>("lblFileEnabled")->text(), QStringLiteral("File Log Enabled"));
        QCOMPARE(f.child("BtnLogFile")->toolTip(), QStringLiteral("Open a Log File"));
        QCOMPARE(f.child("ckFileEnabled")->toolTip(), QStringLiteral("Enable/Disable Logging to the Log File"));
        QCOMPARE(f.child("btnEndFileLog")->toolTip(), QStringLiteral("Stop File Log, Close Log File"));
        QCOMPARE(f.child("btnDone")->toolTip(), QStringLiteral("Stop logging altogether, Close Log File if open."));

        QVERIFY(!f.child("btnCheckOn")->isVisibleTo(f.window));
        QVERIFY(!f.child("btnCheckOn")->isEnabled());
        QVERIFY(f.child<QCheckBox>("ckWindowEnabled")->isChecked());
        QVERIFY(f.h.core->globals.CommLogEcho);
        QVERIFY(!f.child("ckFileEnabled")->isEnabled());
        QVERIFY(!f.child("btnEndFileLog")->isEnabled());
        // User mode: no bypass; the indicator shows the link down.
        QVERIFY(!f.child("ckXmitQueueOverride")->isEnabled());
        QCOMPARE(f.child("btnInd")->property("tvkColour").toInt(), int(Colour::Red));
        QVERIFY(f.window->CommLogOpen());
    }

    void typedLine_goesThroughTheQueueAsOneLine_backspaceEdits()
    {
        LogFixture f;
        const QString before = f.text()->toPlainText();
        QTest::keyClicks(f.text(), QStringLiteral("dvx"));
        QTest::keyClick(f.text(), Qt::Key_Backspace);
        QTest::keyClick(f.text(), Qt::Key_Escape); // a control character: not part of a command
        QTest::keyClicks(f.text(), QStringLiteral("s"));
        f.h.pump(500);
        QVERIFY(f.port->writes().isEmpty());
        QCOMPARE(f.window->TypedLine(), QStringLiteral("dvs"));
        QTest::keyClick(f.text(), Qt::Key_Return);
        QCOMPARE(f.window->TypedLine(), QString());
        f.h.pump(150);
        QCOMPARE(f.port->writes(), QByteArrayList({"dvs\r\n"}));
        QVERIFY(f.h.core->link.XmitBusy());
        // Nothing typed was inserted into the log.
        QCOMPARE(f.text()->toPlainText(), before);
    }

    void bypass_writesEachKeyAtOnce_andIsFactoryOnly()
    {
        LogFixture f;
        f.h.core->shell.SetFactoryMode();
        auto *bypass = f.child<QCheckBox>("ckXmitQueueOverride");
        QVERIFY(bypass->isEnabled());
        f.click("ckXmitQueueOverride");
        QVERIFY(f.h.core->globals.XmitQueueBypass);
        QTest::keyClicks(f.text(), QStringLiteral("ab"));
        QTest::keyClick(f.text(), Qt::Key_Backspace);
        QTest::keyClick(f.text(), Qt::Key_Return);
        // Straight out, no queue pause.
        QCOMPARE(f.port->writes(), QByteArrayList({"a", "b", "\b", "\r", "\n"}));
        QVERIFY(f.h.core->link.XmitQueue().isEmpty());

        // Leaving Factory mode does not leave the bypass on behind a disabled box.
        f.h.core->shell.SetUserMode();
        QVERIFY(!bypass->isEnabled());
        QVERIFY(!bypass->isChecked());
        QVERIFY(!f.h.core->globals.XmitQueueBypass);
    }

    void clearXmitQueue_keepsTheCommandInFlight()
    {
        LogFixture f;
        QTest::keyClicks(f.text(), QStringLiteral("a\rb\r"));
        f.h.pump(150);
        QCOMPARE(f.port->writes(), QByteArrayList({"a\r\n"}));
        QCOMPARE(f.h.core->link.XmitQueue(), QStringLiteral("b\r\n"));
        f.click("btnClrXQ");
        QVERIFY(f.h.core->link.XmitQueue().isEmpty());
        QVERIFY(f.h.core->link.XmitBusy());
        f.port->feed("a\r\nA#");
        f.h.pump(3000);
        QVERIFY(!f.h.core->link.XmitBusy());
        QCOMPARE(f.port->writes().size(), 1);
    }

    void checkingAndModeButtons_sendTheirCommands()
    {
        LogFixture f;
        f.click("btnCheckOff");
        QVERIFY(!f.child("btnCheckOff")->isVisibleTo(f.window));
        QVERIFY(f.child("btnCheckOn")->isVisibleTo(f.window));
        f.click("btnCheckOn");
        QVERIFY(f.child("btnCheckOff")->isVisibleTo(f.window));
        QVERIFY(!f.child("btnCheckOn")->isEnabled());
        f.click("btnTerse");
        f.click("btnVerbose");
        for (const QByteArray reply : {"cz0\r\n#", "cz1\r\n#", "CU\r\n#", "CV\r\n#"}) {
            f.h.pump(150);
            f.port->feed(reply);
        }
        QCOMPARE(f.port->writes(), QByteArrayList({"cz0\r\n", "cz1\r\n", "CU\r\n", "CV\r\n"}));
    }

    void autoPing_togglesCaption_andRestartsKeepAlive()
    {
        LogFixture f;
        Timer *keepAlive = f.h.core->connector.keepAliveTimer();
        keepAlive->start(5000);
        f.click("btnDisableAutoping");
        QVERIFY(!f.h.core->globals.connection.autoPing());
        QCOMPARE(f.child<QPushButton>("btnDisableAutoping")->text(), QStringLiteral("Enable AutoPing"));
        keepAlive->stop();
        f.click("btnDisableAutoping");
        QVERIFY(f.h.core->globals.connection.autoPing());
        QCOMPARE(f.child<QPushButton>("btnDisableAutoping")->text(), QStringLiteral("Disable AutoPing"));
        QVERIFY(keepAlive->isActive());
        QCOMPARE(keepAlive->interval(), 2000);
    }

    void logFile_chooseLogAndRelease()
    {
        LogFixture f;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("unit.mcl"));
        auto *fileEnabled = f.child<QCheckBox>("ckFileEnabled");

        // Cancelled: nothing changes.
        f.click("BtnLogFile");
        QCOMPARE(f.h.dialogs.openRequests.size(), 1);
        QVERIFY(!f.h.core->commLog.LogFileOpen());
        QVERIFY(!fileEnabled->isEnabled());

        const FileDialogOptions &o = f.h.dialogs.openRequests.first();
        QCOMPARE(o.filter, QStringLiteral("Monitor Comm Log Files(*.mcl);;Text Files(*.txt);;All files(*.*)"));
        QCOMPARE(o.proposedName, QStringLiteral("CommLog.mcl")); // no serial number known

        f.h.core->controls.setText(win::frmID, QStringLiteral("lblSerial"), QStringLiteral(" AB12/3 "));
        f.h.dialogs.openAnswers << path;
        f.click("BtnLogFile");
        QCOMPARE(f.h.dialogs.openRequests.last().proposedName, QStringLiteral("AB12_3.mcl"));
        QVERIFY(f.h.core->commLog.LogFileOpen());
        QVERIFY(fileEnabled->isEnabled());
        QVERIFY(!fileEnabled->isChecked());
        QVERIFY(f.child("btnEndFileLog")->isEnabled());

        f.click("ckFileEnabled");
        QVERIFY(fileEnabled->isChecked());
        QVERIFY(f.h.core->commLog.LogToFile());
        f.port->feed("Hello\r\n#");
        QTest::keyClicks(f.text(), QStringLiteral("df\r"));
        f.h.pump(150);

        // Second press releases the file without asking.
        f.click("BtnLogFile");
        QCOMPARE(f.h.dialogs.openRequests.size(), 2);
        QVERIFY(!f.h.core->commLog.LogFileOpen());
        QVERIFY(!fileEnabled->isEnabled());
        QVERIFY(!fileEnabled->isChecked());
        QVERIFY(!f.child("btnEndFileLog")->isEnabled());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString contents = QString::fromLatin1(file.readAll());
        QVERIFY2(contents.contains(QStringLiteral("] Hello\r\n")), qPrintable(contents));
        QVERIFY2(contents.contains(QStringLiteral("] >> df\r\n")), qPrintable(contents));

        // Close Log File does the same.
        f.h.dialogs.openAnswers << path;
        f.click("BtnLogFile");
        QVERIFY(f.h.core->commLog.LogFileOpen());
        f.click("btnEndFileLog");
        QVERIFY(!f.h.core->commLog.LogFileOpen());
        QVERIFY(!fileEnabled->isEnabled());
    }

    void logFile_writeFailure_unchecksTheBox()
    {
        if (!QFile::exists(QStringLiteral("/dev/full")))
            QSKIP("no /dev/full on this system");
        LogFixture f;
        f.h.dialogs.openAnswers << QStringLiteral("/dev/full");
        f.click("BtnLogFile");
        f.click("ckFileEnabled");
        f.port->feed("more#");
        auto *fileEnabled = f.child<QCheckBox>("ckFileEnabled");
        QVERIFY(!fileEnabled->isChecked());
        QVERIFY(!f.h.core->commLog.LogToFile());
        QCOMPARE(f.text()->toPlainText().count(QStringLiteral("cannot be written")), 1);
    }

    void echoOff_eventsStillAppear_andTheBoxMirrorsTheModel()
    {
        LogFixture f;
        f.port->feed("abc#");
        QVERIFY(f.text()->toPlainText().endsWith(QStringLiteral("abc#")));
        f.click("ckWindowEnabled");
        QVERIFY(!f.h.core->globals.CommLogEcho);
        f.port->feed("xyz#");
        f.port->injectEvent(1004);
        const QString t = f.text()->toPlainText();
        QVERIFY(!t.contains(QStringLiteral("xyz")));
        QVERIFY(t.endsWith(QStringLiteral("Received comFrame\n")));

        // Trimming and clearing reach the box; the caret stays at the end.
        f.click("ckWindowEnabled");
        f.port->feed(QByteArray(1600, 'x') + "\r\nP#");
        QCOMPARE(f.text()->toPlainText(), shown(f.h.core->commLog.text()));
        QVERIFY(f.text()->toPlainText().size() < 1000);
        QCOMPARE(f.text()->textCursor().position(), f.text()->document()->characterCount() - 1);
        f.click("btnClearCommLogWindow");
        QVERIFY(f.text()->toPlainText().isEmpty());
        QVERIFY(f.h.core->commLog.text().isEmpty());
    }

    void done_hides_andTheVisibilityIsSaved()
    {
        LogFixture f;
        f.h.window->registry().unloadAll();
        QCOMPARE(f.h.core->settings.read(AppName::Tarvikon, SettingsSection::Configs,
                                         QStringLiteral("CommLogOpen"), QString()),
                 QStringLiteral("True"));
        QTemporaryDir dir;
        f.h.dialogs.openAnswers << dir.filePath(QStringLiteral("x.mcl"));
        f.click("BtnLogFile");
        f.click("btnDone");
        QVERIFY(!f.window->CommLogOpen());
        QVERIFY(!f.h.window->registry().isWindowVisible(win::frmCommLog));
        QVERIFY(!f.h.core->commLog.LogFileOpen());
        f.h.window->registry().unloadAll();
        QCOMPARE(f.h.core->settings.read(AppName::Tarvikon, SettingsSection::Configs,
                                         QStringLiteral("CommLogOpen"), QString()),
                 QStringLiteral("False"));
        // Traffic while hidden is there when it is opened again.
        f.port->feed("while hidden#");
        f.h.window->registry().openWindow(win::frmCommLog);
        QVERIFY(f.window->CommLogOpen());
        QVERIFY(f.text()->toPlainText().endsWith(QStringLiteral("while hidden#")));
        QCOMPARE(f.text()->toPlainText(), shown(f.h.core->commLog.text()));
    }

    void typedLine_reachesTheMonitor()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        QVERIFY(h.core->globals.connection.online());
        // Let the reads of going online finish.
        for (int i = 0; i < 100 && (h.core->link.XmitBusy() || !h.core->link.XmitQueue().isEmpty()); ++i)
            h.pump(100);
        h.window->registry().openWindow(win::frmCommLog);
        auto *box = h.child<QPlainTextEdit>(win::frmCommLog, QStringLiteral("txtCommLog"));
        h.monitor()->clearCommands();
        QTest::keyClicks(box, QStringLiteral("dt\r"));
        h.pump(1000);
        QCOMPARE(h.monitor()->commandsReceived(), QByteArrayList({"dt"}));
        QVERIFY(!h.core->link.XmitBusy());
    }
};

QTEST_MAIN(TestCommLogWindow)
#include "test_commlogwindow.moc"
