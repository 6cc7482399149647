#include "core/appcore.h"
#include "base/windownames.h"
#include "core/mainmenu.h"
#include "app/mainwindow.h"
#include "panels/panel.h"
#include "app/windowregistry.h"
#include "guitest.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

class ProbePanel : public Panel {
public:
    ProbePanel(const PanelContext &context, const QString &name) : Panel(context, name, name)
    {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("lblValue"));
    }
    void load() override { ++loads; }
    void activate() override { ++activations; }
    void unload() override { ++unloads; }
    int loads = 0, activations = 0, unloads = 0;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        tvk::test::freshSettingsFolder();
    }

    void menuBar_isBuiltFromTheTableInOrder()
    {
        GuiHarness h;
        const QList<QAction *> top = h.window->menuBar()->actions();
        QStringList captions;
        for (QAction *a : top)
            captions << a->text();
        QCOMPARE(captions, QStringList({"&File", "&Monitor", "&Configure", "&Adjustment", "&Info",
                                        "&Diagnostics", "&Window", "&Help"}));
        auto *info = h.window->findChild<QMenu *>(QStringLiteral("mnuInfo"));
        QVERIFY(info);
        QCOMPARE(info->actions().first()->objectName(), QStringLiteral("mnuInfoID"));
        QCOMPARE(info->actions().last()->text(), QStringLiteral("&Boot Block"));
        // The ampersand before a blank is shown as itself.
        QCOMPARE(h.window->menuAction(QStringLiteral("mnuDiagnosticsDeflHV"))->text(),
                 QStringLiteral("Defl && HV Enable"));
        QVERIFY(h.window->menuAction(QStringLiteral("frmDiagnosticsDeflectionStatus")));
    }

    void menuItems_runWhatTheTableNames()
    {
        GuiHarness h;
        h.window->show();
        auto choose = [&](const char *name) {
            QAction *action = h.window->menuAction(QString::fromLatin1(name));
            QVERIFY2(action && action->isEnabled(), name);
            action->trigger();
        };
        choose("mnuMonitorDemo");
        QCOMPARE(h.core->connector.connectionState(), ConnectionState::OfflineDemo);
        choose("mnuHelpTopics");
        QCOMPARE(h.launcher.opened.size(), 1);
        // New has no action: nothing opens, nothing is said.
        choose("mnuFileNew");
        QVERIFY(h.messages.messages.isEmpty());
        QVERIFY(h.window->mdiArea()->subWindowList().isEmpty());
        QVERIFY(h.window->menuAction(QStringLiteral("mnuFileNew"))->data().isNull());
        choose("mnuInfoVersion");
        QVERIFY(h.window->registry().isWindowVisible(win::frmVersion));
        choose("mnuFileExit");
        QVERIFY(!h.window->isVisible());
    }

    void menuItem_ofAWindowLeftOut_staysDisabled()
    {
        GuiHarness h;
        // A build with one window of the menus: the geometry panel.
        h.window.reset();
        const auto geometryOnly = [](WindowRegistry &r, DesktopLauncher &) {
            r.add(win::frmGeometryAdj, [](const PanelContext &c) { return new ProbePanel(c, win::frmGeometryAdj); });
        };
        h.window = std::make_unique<MainWindow>(*h.core, h.launcher, geometryOnly);
        QAction *video = h.window->menuAction(QStringLiteral("mnuAdjustVideo"));
        QAction *geometry = h.window->menuAction(QStringLiteral("mnuAdjustGeometry"));
        QVERIFY(!video->isEnabled());
        QVERIFY(video->isVisible());
        // The demonstration state enables every item; a window that is not
        // there still cannot be chosen.
        h.core->shell.SetFactoryMode();
        h.core->connector.EnterOfflineDemoState();
        QVERIFY(geometry->isEnabled());
        QVERIFY(h.window->menuAction(QStringLiteral("mnuFileOpen"))->isEnabled());
        QVERIFY(!video->isEnabled());
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuMonitorOnline"))->isEnabled());
        h.core->shell.EnterOnlineState();
        QVERIFY(!video->isEnabled());

        // Run by name it says so instead of opening anything.
        h.window->show();
        h.window->trigger(QStringLiteral("mnuAdjustVideo"));
        QVERIFY(h.window->registry().find(win::frmVideoAdj) == nullptr);
        QVERIFY(!h.window->statusBar()->currentMessage().isEmpty());
        h.window->trigger(QStringLiteral("mnuAdjustGeometry"));
        QVERIFY(h.window->registry().isWindowVisible(win::frmGeometryAdj));
    }

    void firstRun_storesRunTypeAndEndsInNoMonitor()
    {
        GuiHarness h;
        h.window->show();
        h.window->startUp();
        QCOMPARE(h.core->settings.read(AppName::Tarvikon, "StartUp", "RunType", ""), QStringLiteral("1"));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QCOMPARE(h.core->globals.CommPort, 1);
        QCOMPARE(h.core->globals.ConnectRetryLimit, 5);
        QCOMPARE(h.core->FileSaveInitDir, QStringLiteral("C:\\TVK"));
        QVERIFY(h.window->windowTitle().endsWith(QStringLiteral(" -- No monitor")));
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuMonitorOffline"))->isEnabled());
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuAdjustGeometry"))->isEnabled());
    }

    void logEcho_checkBoxShowsTheEchoReadAtStart()
    {
        for (const char *stored : {"False", "True"}) {
            GuiHarness h;
            h.core->settings.write(AppName::Tarvikon, "Configs", "CommLogEnabled", stored);
            h.core->settings.write(AppName::Tarvikon, "Configs", "CommLogOpen", "True");
            h.window->show();
            h.window->startUp();
            const bool on = QLatin1String(stored) == QLatin1String("True");
            QCOMPARE(h.core->globals.CommLogEcho, on);
            auto *box = h.window->registry().find("frmCommLog")->findChild<QCheckBox *>("ckWindowEnabled");
            QVERIFY(box);
            QCOMPARE(box->isChecked(), on);
        }
    }

    void initialMode_isComparedExactly()
    {
        {
            GuiHarness h;
            h.core->settings.write(AppName::Tarvikon, "StartUp", "InitialMode", "FactoryMode");
            h.window->startUp();
            QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
            QVERIFY(h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
        }
        {
            GuiHarness h;
            h.core->settings.write(AppName::Tarvikon, "StartUp", "InitialMode", "factorymode");
            h.window->startUp();
            QCOMPARE(h.core->shell.AppMode(), int(UserMode));
            QVERIFY(!h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
        }
    }

    void registry_createsOnDemand_appliesBook_andHidesInsteadOfDestroying()
    {
        GuiHarness h;
        ProbePanel *probe = nullptr;
        h.window->registry().add(QStringLiteral("frmProbe"), [&](const PanelContext &c) {
            probe = new ProbePanel(c, QStringLiteral("frmProbe"));
            return probe;
        });
        // A state set before the window exists reaches it when it is created.
        h.core->controls.setText(QStringLiteral("frmProbe"), QStringLiteral("lblValue"), QStringLiteral("early"));
        QVERIFY(!h.window->registry().isLoaded(QStringLiteral("frmProbe")));
        h.window->show();
        h.window->registry().openWindow(QStringLiteral("frmProbe"));
        QVERIFY(probe);
        QCOMPARE(probe->loads, 1);
        QCOMPARE(probe->activations, 1);
        auto *label = probe->findChild<QLabel *>(QStringLiteral("lblValue"));
        QCOMPARE(label->text(), QStringLiteral("early"));
        h.core->controls.setText(QStringLiteral("frmProbe"), QStringLiteral("lblValue"), QStringLiteral("late"));
        QCOMPARE(label->text(), QStringLiteral("late"));

        // Opening again while in front does not activate again.
        h.window->registry().openWindow(QStringLiteral("frmProbe"));
        QCOMPARE(probe->activations, 1);
        // Closing the frame saves and hides; the panel lives on and a new open activates.
        h.window->registry().subWindow(QStringLiteral("frmProbe"))->close();
        QCOMPARE(probe->unloads, 1);
        QVERIFY(!h.window->registry().isWindowVisible(QStringLiteral("frmProbe")));
        h.window->registry().openWindow(QStringLiteral("frmProbe"));
        QCOMPARE(probe->loads, 1);
        QCOMPARE(probe->activations, 2);
    }

    // The registry remembers the controls it found by name: one replaced by
    // another of the same name, or renamed, is found anew; a colour the
    // control no longer shows is applied again.
    void registry_findsReplacedControls_andReappliesAColourItNoLongerShows()
    {
        GuiHarness h;
        ProbePanel *probe = nullptr;
        h.window->registry().add(QStringLiteral("frmProbe"), [&](const PanelContext &c) {
            probe = new ProbePanel(c, QStringLiteral("frmProbe"));
            return probe;
        });
        h.window->registry().ensure(QStringLiteral("frmProbe"));
        const QString window = QStringLiteral("frmProbe"), control = QStringLiteral("lblValue");
        auto *first = probe->findChild<QLabel *>(control);
        h.core->controls.setText(window, control, QStringLiteral("one"));
        QCOMPARE(first->text(), QStringLiteral("one"));

        delete first;
        auto *second = new QLabel(probe);
        second->setObjectName(control);
        h.core->controls.setText(window, control, QStringLiteral("two"));
        QCOMPARE(second->text(), QStringLiteral("two"));
        second->setObjectName(QStringLiteral("lblOther"));
        auto *third = new QLabel(probe);
        third->setObjectName(control);
        h.core->controls.setText(window, control, QStringLiteral("three"));
        QCOMPARE(third->text(), QStringLiteral("three"));
        QCOMPARE(second->text(), QStringLiteral("two"));

        h.core->controls.setColor(window, control, Colour::Green);
        const QString green = third->styleSheet();
        QVERIFY(!green.isEmpty());
        third->setStyleSheet(QString()); // a panel drawing it its own way
        h.core->controls.setColor(window, control, Colour::Green);
        QCOMPARE(third->styleSheet(), green);
        QCOMPARE(third->property("tvkColour").toInt(), int(Colour::Green));
    }

    void tiling_arrangesRowsAndColumns()
    {
        GuiHarness h;
        for (const char *n : {"frmA", "frmB"})
            h.window->registry().add(QString::fromLatin1(n), [n](const PanelContext &c) {
                return new ProbePanel(c, QString::fromLatin1(n));
            });
        h.window->resize(900, 700);
        h.window->show();
        h.window->registry().openWindow(QStringLiteral("frmA"));
        h.window->registry().openWindow(QStringLiteral("frmB"));
        QMdiSubWindow *a = h.window->registry().subWindow(QStringLiteral("frmA"));
        QMdiSubWindow *b = h.window->registry().subWindow(QStringLiteral("frmB"));
        const QRect area = h.window->mdiArea()->viewport()->rect();

        h.window->tileHorizontally();
        QCOMPARE(a->width(), area.width());
        QCOMPARE(b->width(), area.width());
        QVERIFY(b->y() >= a->y() + a->height() - 1);

        h.window->tileVertically();
        QCOMPARE(a->height(), area.height());
        QVERIFY(b->x() >= a->x() + a->width() - 1);
    }

    void shutdown_savesKeysAndLayoutsWithoutSending()
    {
        GuiHarness h("version=2.25");
        h.window->registry().add(win::frmVersion, [](const PanelContext &c) {
            return new ProbePanel(c, win::frmVersion);
        });
        h.window->show();
        h.window->startUp();
        h.window->registry().ensure(win::frmVersion); // loaded, hidden
        h.core->globals.CommPort = 3;
        h.window->close();
        Settings &s = h.core->settings;
        QCOMPARE(s.read(AppName::Tarvikon, "Configs", "CommPort", ""), QStringLiteral("3"));
        QCOMPARE(s.read(AppName::Tarvikon, "Configs", "ConnectRetryLimit", ""), QStringLiteral("5"));
        QVERIFY(s.contains(AppName::Tarvikon, "Locations", "frmMainWidth"));
        QVERIFY(s.contains(AppName::Tarvikon, "Configs", "VersionWindowState"));
        QVERIFY(!h.core->link.isPortOpen());
    }

    void help_opensTheUserGuideOrSaysSo()
    {
        GuiHarness h;
        h.window->showHelp();
        QCOMPARE(h.launcher.opened.size(), 1);
        QVERIFY(h.launcher.opened.first().endsWith(QStringLiteral("index.html")));
        QVERIFY(h.messages.messages.isEmpty());
        h.launcher.openResult = false;
        h.window->showHelp();
        QCOMPARE(h.messages.messages.size(), 1);
    }
};

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
