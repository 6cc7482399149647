// The main window's widget-free routines: caption, connection states with the
// application mode applied last, the mode table, the monitor-type profiles and
// the rules of the mode and password dialogs.

#include "core/appshell.h"
#include "base/settings.h"
#include "base/windownames.h"
#include "core/mainmenu.h"
#include "apptest.h"

#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

const char *const kPrefix = "TVK Monitor Adjustment Tool V3.0.13";

// The menu items each application mode governs, with their User/Service/Factory state.
struct Governed {
    const char *name;
    bool user, service, factory;
};
const Governed kGovernedMenus[] = {
    {"mnuFileNew", true, true, true},
    {"mnuFileOpen", true, true, true},
    {"mnuFileSave", true, true, true},
    {"mnuFileClose", true, true, true},
    {"mnuConfigureVideoMode", false, true, true},
    {"mnuConfigureModelAndSerialNumber", false, false, true},
    {"mnuConfigureOperatingMode", false, true, true},
    {"mnuConfigureOperatingTime", false, false, true},
    {"mnuConfigureSoftware", false, true, true},
    {"mnuInfoBoot", false, true, true},
    {"mnuDiagnosticsDeflHV", false, false, true},
    {"mnuDiagnosticsPeek", false, false, true},
};

bool governedState(const Governed &g, int mode)
{
    return mode == UserMode ? g.user : mode == ServiceMode ? g.service : g.factory;
}

struct Fixture {
    ControlBook controls;
    RecordingMessages messages;
    LinkGlobals globals;
    MonitorData data;
    QStringList sent;
    AppShell shell{controls, messages, globals, data, AppShell::Hooks{[this](const QString &c) { sent << c; }}};

    bool on(const char *menu) const { return controls.isEnabled(win::frmMain, QString::fromLatin1(menu)); }
    void setAllMenus(bool enabled)
    {
        for (const QString &name : allMenuNames())
            controls.setEnabled(win::frmMain, name, enabled);
    }
    void setMode(int mode)
    {
        if (mode == UserMode)
            shell.SetUserMode();
        else if (mode == ServiceMode)
            shell.SetServiceMode();
        else
            shell.SetFactoryMode();
    }
    // Every state the book holds, to compare before and after.
    QString snapshot(const QString &window) const
    {
        QStringList lines;
        const auto entries = controls.entriesFor(window);
        for (auto it = entries.begin(); it != entries.end(); ++it)
            lines << QStringLiteral("%1 %2 %3 %4").arg(it.key())
                         .arg(it->enabled ? int(*it->enabled) : -1)
                         .arg(it->visible ? int(*it->visible) : -1)
                         .arg(it->text.value_or(QStringLiteral("-")));
        lines.sort();
        return lines.join(u'\n');
    }
};

} // namespace

class TestAppShell : public QObject {
    Q_OBJECT
private slots:
    void caption_showsStateTextOrNoFile()
    {
        Fixture f;
        f.globals.CommPort = 3;
        f.shell.SetMainTitle(QString());
        QCOMPARE(f.shell.mainTitle(), QString::fromLatin1(kPrefix) + " -- (No File)");
        QCOMPARE(f.controls.text(win::frmMain, QString()).value_or(QString()), f.shell.mainTitle());
        f.shell.EnterNoMonitorState();
        QCOMPARE(f.shell.mainTitle(), QStringLiteral("TVK Monitor Adjustment Tool V3.0.13 -- No monitor"));
        f.shell.EnterOnlineState();
        QCOMPARE(f.shell.mainTitle(), QString::fromLatin1(kPrefix) + " -- Monitor on Com3");
        // A file name replaces the state text until the next state change.
        f.shell.SetMainTitle(QStringLiteral("C:\\TVK\\a.mdv"));
        QCOMPARE(f.shell.mainTitle(), QString::fromLatin1(kPrefix) + " -- C:\\TVK\\a.mdv");
        f.shell.EnterBootModeState();
        QCOMPARE(f.shell.mainTitle(), QString::fromLatin1(kPrefix) + " -- Monitor on Com3 -- BOOT MODE");
        f.shell.EnterOfflineDemoState();
        QCOMPARE(f.shell.mainTitle(), QString::fromLatin1(kPrefix) + " -- No monitor - Offline Demo Mode");
    }

    // Each state from both an all-enabled and an all-disabled menu bar, in
    // each mode: the listed items take the state's value, the others keep
    // theirs, and the governed items end as the mode sets them.
    void connectionStates_setTheirItemsThenTheMode()
    {
        enum State { Online, Boot, NoMon };
        // 1 on, 0 off, -1 unchanged; order as in kItems.
        const char *const kItems[] = {"mnuMonitorUpdate", "mnuMonitorOnline", "mnuMonitorOffline",
                                      "mnuMonitorDemo", "mnuMonitorRun", "mnuAdjust",
                                      "mnuAdjustGeometry", "mnuAdjustHV", "mnuAdjustVideo",
                                      "mnuInfo", "mnuInfoID", "mnuInfoOperatingHours",
                                      "mnuInfoVersion", "mnuInfoCurrentScan", "mnuDiagnosticsOperating",
                                      "mnuDiagnosticsI2c", "mnuDiagnosticsFPControls",
                                      "mnuInfoLimits", "mnuDiagnosticsVoltages", "mnuFileSaveAs"};
        const int kExpect[3][20] = {
            /*Online*/ {1, 0, 1, -1, -1, -1, -1, -1, -1, -1, 1, 1, -1, -1, 1, -1, -1, -1, -1, -1},
            /*Boot  */ {0, 0, 1, -1, 1, 0, -1, -1, -1, 0, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1},
            /*NoMon */ {0, 1, 0, 1, 0, 0, 0, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, -1, -1, -1},
        };
        for (int state : {Online, Boot, NoMon}) {
            for (int mode : {int(UserMode), int(ServiceMode), int(FactoryMode)}) {
                for (bool baseline : {true, false}) {
                    Fixture f;
                    f.setMode(mode);
                    f.setAllMenus(baseline);
                    if (state == Online)
                        f.shell.EnterOnlineState();
                    else if (state == Boot)
                        f.shell.EnterBootModeState();
                    else
                        f.shell.EnterNoMonitorState();
                    const QByteArray where = QByteArray("state ") + QByteArray::number(state) + " mode "
                        + QByteArray::number(mode) + " baseline " + QByteArray::number(baseline);
                    for (int i = 0; i < 20; ++i) {
                        const bool want = kExpect[state][i] < 0 ? baseline : kExpect[state][i] == 1;
                        QVERIFY2(f.on(kItems[i]) == want, (where + " " + kItems[i]).constData());
                    }
                    for (const Governed &g : kGovernedMenus)
                        QVERIFY2(f.on(g.name) == governedState(g, mode), (where + " " + g.name).constData());
                    QCOMPARE(f.shell.AppMode(), mode);
                    QVERIFY(f.messages.messages.isEmpty());
                }
            }
        }
    }

    void connectionStates_flagsIndicatorsAndData()
    {
        Fixture f;
        f.data.MonitorType = 225;
        f.data.FirmwareVersion = QStringLiteral("2.25");
        f.data.RomVersion = QStringLiteral("1.0");
        f.shell.EnterOnlineState();
        QCOMPARE(f.controls.color("frmConnect", "btnInd"), std::optional<int>(Colour::Green));
        QCOMPARE(int(f.data.MonitorType), 225);

        f.shell.EnterBootModeState();
        QCOMPARE(int(f.data.MonitorType), 0);

        f.controls.setText("frmVersion", "lblMonitorFirmwareVersionValue", "2.25");
        f.shell.EnterNoMonitorState();
        QVERIFY(f.data.FirmwareVersion.isEmpty());
        QVERIFY(f.data.RomVersion.isEmpty());
        QCOMPARE(f.controls.text("frmVersion", "lblMonitorFirmwareVersionValue"), std::optional<QString>(QString()));
        QCOMPARE(f.controls.text("frmVersion", "lblMonitorEpromVersionValue"), std::optional<QString>(QString()));
        QCOMPARE(f.controls.color("frmConnect", "btnInd"), std::optional<int>(Colour::Red));
        QCOMPARE(f.controls.color("frmCommLog", "btnInd"), std::optional<int>(Colour::Red));
    }

    void offlineDemo_enablesEveryMenuInEveryMode()
    {
        for (int mode : {int(UserMode), int(ServiceMode), int(FactoryMode)}) {
            Fixture f;
            f.setMode(mode);
            f.setAllMenus(false);
            f.shell.EnterOfflineDemoState();
            for (const QString &name : allMenuNames())
                QVERIFY2(f.on(name.toLatin1().constData()), qPrintable(name));
            // The mode itself is not changed, nor its panel controls.
            QCOMPARE(f.shell.AppMode(), mode);
            QCOMPARE(f.controls.isEnabled("frmSoftware", "btnLoadSRAM"), mode == FactoryMode);
        }
    }

    void reapplyWithBadValue_reportsAndChangesNothing()
    {
        Fixture f;
        f.shell.SetFactoryMode();
        f.shell.forceAppModeValue(7);
        f.shell.EnterNoMonitorState();
        QCOMPARE(f.messages.messages, QStringList{QStringLiteral("Setting Appmode with bad value")});
        // The mode table did not run: Peek keeps Factory's state, and the
        // Defl/HV item keeps what NoMonitor set.
        QVERIFY(f.on("mnuDiagnosticsPeek"));
        QVERIFY(!f.on("mnuDiagnosticsDeflHV"));
        QCOMPARE(f.shell.AppMode(), 7);
    }

    // The data model's start-up puts the shell in the no-monitor state, then
    // turns off the items that wait for a monitor: Defl/HV too, which the
    // Factory mode had just enabled again.
    void startUp_disablesTheMonitorMenusAfterTheMode()
    {
        Fixture f;
        // As the core's host does, without a connector: the no-monitor state
        // is painted, then the menus waiting for a monitor are turned off.
        struct Host : MonitorDataHost {
            AppShell &shell;
            int noMonitorRequests = 0;
            explicit Host(AppShell &s) : shell(s) {}
            void EnterNoMonitorState() override { ++noMonitorRequests; shell.EnterNoMonitorState(); }
            void DisableMonitorMenus() override { shell.DisableMonitorMenus(); }
        } host(f.shell);
        f.shell.SetFactoryMode();
        f.setAllMenus(true);
        f.data.InitMonitorData(f.globals, Settings(), &host);
        QStringList off{"mnuAdjustHV",     "mnuDiagnosticsFPControls", "mnuDiagnosticsDeflHV",
                        "mnuDiagnosticsOperating", "mnuDiagnosticsI2c", "mnuMonitorRun",
                        "mnuInfoVersion",  "mnuInfoCurrentScan",       "mnuAdjustGeometry",
                        "mnuAdjustVideo"};
        QStringList fromTable = menusOffAtStart();
        off.sort();
        fromTable.sort();
        QCOMPARE(fromTable, off);
        for (const QString &name : off)
            QVERIFY2(!f.on(name.toLatin1().constData()), qPrintable(name));
        QVERIFY(f.on("mnuDiagnosticsPeek"));
        QCOMPARE(host.noMonitorRequests, 1);
    }

    void modeTable_panelsAndFactoryToUser()
    {
        Fixture f;
        f.controls.setEnabled(win::frmMain, "mnuFileSaveAs", false);
        f.shell.SetFactoryMode();
        for (const Governed &g : kGovernedMenus)
            QVERIFY(f.on(g.name));
        QVERIFY(f.controls.isEnabled("frmVideoAdj", "HScroll2_0"));
        QVERIFY(f.controls.isEnabled("frmCommLog", "lblXmitQueueOverride"));

        QCOMPARE(f.shell.ModeDialogOk(UserMode), AppShell::ModeRequest::ModeSet);
        QCOMPARE(f.shell.AppMode(), int(UserMode));
        QVERIFY(f.messages.messages.isEmpty());
        for (const char *name : {"mnuDiagnosticsPeek", "mnuDiagnosticsDeflHV", "mnuConfigureModelAndSerialNumber",
                                 "mnuConfigureOperatingTime", "mnuConfigureVideoMode",
                                 "mnuConfigureOperatingMode", "mnuConfigureSoftware", "mnuInfoBoot"})
            QVERIFY2(!f.on(name), name);
        QVERIFY(f.on("mnuFileOpen"));
        QVERIFY(!f.on("mnuFileSaveAs")); // not governed by the mode
        for (int i = 2; i <= 7; ++i)
            QVERIFY(!f.controls.isEnabled("frmVideoAdj", QStringLiteral("HScroll1_%1").arg(i)));
        QVERIFY(!f.controls.enabled("frmVideoAdj", "HScroll1_1").has_value());
        QVERIFY(!f.controls.isEnabled("frmSoftware", "btnRunSRAM"));
        QVERIFY(!f.controls.isEnabled("frmBrightnessContrast", "btnSetDefaultsContrast"));

        // Service sits between the two.
        f.shell.SetServiceMode();
        QVERIFY(f.controls.isEnabled("frmVideoAdj", "HScroll1_7"));
        QVERIFY(f.controls.isEnabled("frmVideoAdj", "VideoSetInitialSettingsButton"));
        QVERIFY(!f.controls.isEnabled("frmVideoAdj", "HScroll2_0"));
        QVERIFY(!f.controls.isEnabled("frmCommLog", "ckXmitQueueOverride"));
        QVERIFY(f.controls.isEnabled("frmBrightnessContrast", "btnSetDefaultsBrightness"));
    }

    void profiles_chosenByCode()
    {
        using P = AppShell::MonitorProfile;
        const QList<QPair<int, P>> cases = {{0, P::EarlyFirmware},  {138, P::EarlyFirmware}, {139, P::None},
                                            {199, P::None},         {200, P::Mdi},           {298, P::Mdi},
                                            {299, P::None},         {300, P::FlatPanel},     {450, P::FlatPanel}};
        for (const auto &c : cases)
            QVERIFY2(AppShell::profileForCode(c.first) == c.second, qPrintable(QString::number(c.first)));
    }

    void profiles_flatPanelAndEarlyMenus()
    {
        Fixture f;
        f.setAllMenus(true);
        f.shell.applyMonitorTypeProfile(310);
        for (const char *name : {"mnuAdjust", "mnuAdjustGeometry", "mnuAdjustVideo", "mnuAdjustHV",
                                 "mnuDiagnosticsOperating", "mnuDiagnosticsDeflHV"})
            QVERIFY2(!f.on(name), name);
        QVERIFY(f.on("mnuDiagnosticsFPControls"));
        QVERIFY(f.on("mnuInfo"));
        QCOMPARE(f.controls.visible("frmBrightnessContrast", "txtHystC"), std::optional<bool>(false));

        Fixture e;
        e.setAllMenus(false);
        e.shell.applyMonitorTypeProfile(120);
        for (const char *name : {"mnuAdjust", "mnuAdjustGeometry", "mnuAdjustVideo", "mnuDiagnosticsOperating",
                                 "mnuInfo", "mnuInfoID", "mnuInfoVersion", "mnuInfoOperatingHours",
                                 "mnuDiagnosticsCommLogging"})
            QVERIFY2(e.on(name), name);
        for (const char *name : {"mnuAdjustHV", "mnuDiagnosticsFPControls", "mnuDiagnosticsDeflHV",
                                 "mnuInfoCurrentScan", "mnuDiagnosticsI2c"})
            QVERIFY2(!e.on(name), name);
        QVERIFY(e.sent.isEmpty());
    }

    void profiles_mdiRowsDependOnTheCode()
    {
        auto applied = [](int code) {
            auto f = std::make_unique<Fixture>();
            f->setAllMenus(false);
            f->shell.applyMonitorTypeProfile(code);
            return f;
        };
        const QString bc = win::frmBrightnessContrast;
        const QString va = win::frmVideoAdj;
        {
            auto f = applied(215);
            QVERIFY(f->on("mnuAdjustHV"));
            QVERIFY(f->on("mnuInfoCurrentScan"));
            QVERIFY(!f->on("mnuDiagnosticsFPControls"));
            QVERIFY(!f->on("mnuDiagnosticsCommLogging"));
            QCOMPARE(f->controls.visible(bc, "lblHystC"), std::optional<bool>(false));
            QCOMPARE(f->controls.visible(bc, "txtHystC"), std::optional<bool>(false));
            QCOMPARE(f->controls.enabled(bc, "btnSetHystC"), std::optional<bool>(false));
            QCOMPARE(f->controls.text(va, "Label1_9"), std::optional<QString>(QStringLiteral("+80V Adjust")));
        }
        {
            auto f = applied(216);
            QCOMPARE(f->controls.visible(bc, "lblHystC"), std::optional<bool>(true));
            QCOMPARE(f->controls.visible(bc, "btnSetHystC"), std::optional<bool>(true));
            QCOMPARE(f->controls.enabled(bc, "txtHystC"), std::optional<bool>(true));
        }
        {
            auto f = applied(225);
            for (const char *name : {"Label1_8", "BText1_1", "BText2_1", "BText3_1", "HScroll2_1"})
                QCOMPARE(f->controls.visible(va, name), std::optional<bool>(true));
            QCOMPARE(f->controls.enabled(va, "HScroll2_1"), std::optional<bool>(true));
        }
        {
            auto f = applied(224);
            for (const char *name : {"Label1_8", "BText1_1", "BText2_1", "BText3_1", "HScroll2_1"})
                QCOMPARE(f->controls.visible(va, name), std::optional<bool>(false));
            QCOMPARE(f->controls.enabled(va, "HScroll2_1"), std::optional<bool>(false));
        }
        QCOMPARE(applied(250)->sent, QStringList{QStringLiteral("dx\r\n")});
        QCOMPARE(applied(209)->sent, QStringList{QStringLiteral("dx\r\n")});
        QVERIFY(applied(205)->sent.isEmpty());
        QVERIFY(applied(208)->sent.isEmpty());

        // ApplyMdiMenus itself reads the code from MonitorType.
        Fixture m;
        m.data.MonitorType = 225;
        m.shell.ApplyMdiMenus();
        QCOMPARE(m.controls.visible(va, "Label1_8"), std::optional<bool>(true));
        QCOMPARE(m.sent.size(), 1);
    }

    void profiles_codesWithoutProfileChangeNothing()
    {
        for (int code : {139, 150, 199, 299}) {
            Fixture f;
            f.shell.SetServiceMode();
            f.shell.EnterOnlineState();
            const QStringList windows = {win::frmMain, "frmVideoAdj", "frmBrightnessContrast"};
            QStringList before;
            for (const QString &w : windows)
                before << f.snapshot(w);
            f.shell.applyMonitorTypeProfile(code);
            for (int i = 0; i < windows.size(); ++i)
                QCOMPARE(f.snapshot(windows[i]), before[i]);
            QVERIFY(f.sent.isEmpty());
        }
    }

    void modeDialog_asksForPasswordsOnlyWhenTheModeChanges()
    {
        Fixture f;
        QCOMPARE(f.shell.ModeDialogOk(ServiceMode), AppShell::ModeRequest::PasswordNeeded);
        QCOMPARE(f.shell.expectedPassword(), AppShell::kServicePassword);
        QCOMPARE(f.shell.AppMode(), int(UserMode)); // nothing set before the password
        QCOMPARE(f.shell.ModeDialogOk(FactoryMode), AppShell::ModeRequest::PasswordNeeded);
        QCOMPARE(f.shell.expectedPassword(), AppShell::kFactoryPassword);

        f.shell.SetServiceMode();
        QCOMPARE(f.shell.ModeDialogOk(ServiceMode), AppShell::ModeRequest::Unchanged);
        QCOMPARE(f.shell.expectedPassword(), AppShell::kFactoryPassword);
        QCOMPARE(f.shell.AppMode(), int(ServiceMode));
        QCOMPARE(f.shell.ModeDialogOk(FactoryMode), AppShell::ModeRequest::PasswordNeeded);
        f.shell.SetFactoryMode();
        QCOMPARE(f.shell.ModeDialogOk(FactoryMode), AppShell::ModeRequest::Unchanged);
        QVERIFY(f.messages.messages.isEmpty());
    }

    void passwordDialog_trimsBlanksAndComparesExactly()
    {
        const QString refused = QStringLiteral("Incorrect Password. Try again, or Cancel, then Select User Mode.");
        Fixture f;
        f.shell.SetUserMode();
        f.shell.ModeDialogOk(ServiceMode);
        QVERIFY(!f.shell.PasswordDialogOk(QStringLiteral("MARBLE")));
        QVERIFY(!f.shell.PasswordDialogOk(QStringLiteral("kelp"))); // the other mode's password
        QVERIFY(!f.shell.PasswordDialogOk(QString()));
        QVERIFY(!f.shell.PasswordDialogOk(QStringLiteral("mar ble")));
        QCOMPARE(f.messages.messages, QStringList(4, refused));
        QCOMPARE(f.shell.AppMode(), int(UserMode));
        QVERIFY(!f.on("mnuConfigureSoftware"));

        QVERIFY(f.shell.PasswordDialogOk(QStringLiteral("   marble  ")));
        QCOMPARE(f.shell.AppMode(), int(ServiceMode));
        QVERIFY(f.on("mnuConfigureSoftware"));
        QCOMPARE(f.messages.messages.size(), 4);

        f.shell.ModeDialogOk(FactoryMode);
        QVERIFY(!f.shell.PasswordDialogOk(QStringLiteral("marble")));
        QCOMPARE(f.shell.AppMode(), int(ServiceMode));
        QVERIFY(f.shell.PasswordDialogOk(QStringLiteral("kelp")));
        QCOMPARE(f.shell.AppMode(), int(FactoryMode));
        QVERIFY(f.on("mnuDiagnosticsPeek"));

        // Without a request from the mode dialog no password opens anything.
        Fixture fresh;
        QVERIFY(!fresh.shell.PasswordDialogOk(QStringLiteral("marble")));
        QCOMPARE(fresh.shell.AppMode(), int(UserMode));
    }
};

QTEST_GUILESS_MAIN(TestAppShell)
#include "test_appshell.moc"
