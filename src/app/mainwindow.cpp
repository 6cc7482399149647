#include "app/mainwindow.h"
#include "base/connectionnames.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "core/appcore.h"
#include "core/mainmenu.h"
#include "panels/compare/comparewindow.h"
#include "panels/panel.h"
#include "app/qtplatform.h"
#include "panels/widgetlayout.h"
#include "app/windowlist.h"
#include "app/windowregistry.h"
#include "core/dacfile.h"
#include "protocol/commands.h"

#include <QAction>
#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>

namespace tvk {

namespace {

// "& " is no useful accelerator: such an ampersand is shown as itself.
QString menuCaption(const char *caption)
{
    QString text = QString::fromLatin1(caption);
    text.replace(QStringLiteral("& "), QStringLiteral("&& "));
    return text;
}

QList<QMdiSubWindow *> visibleWindows(QMdiArea *area, bool minimised)
{
    QList<QMdiSubWindow *> list;
    for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder)) {
        if (w->isVisible() && w->isMinimized() == minimised)
            list << w;
    }
    return list;
}

} // namespace

QString MainWindow::fullReadStoppedText(int step, const QString &command, const QString &reason)
{
    return tr("Full read stopped at step %1 of %2 (\"%3\"): %4. "
              "Values not yet read are unchanged; use Monitor > Update All Data once the monitor answers.")
        .arg(step + 1)
        .arg(FullRead::kSteps)
        .arg(command, reason);
}

QString MainWindow::savingText(const QString &path)
{
    return tr("Reading the monitor before saving %1; the file is written once every value has come in.")
        .arg(path);
}

QString MainWindow::savedText(const QString &path) { return tr("Saved %1.").arg(path); }

MainWindow::MainWindow(AppCore &core, DesktopLauncher &launcher, QWidget *parent)
    : MainWindow(core, launcher,
                 [&core](WindowRegistry &r, DesktopLauncher &l) { registerWindows(r, core, l); }, parent)
{
}

MainWindow::MainWindow(AppCore &core, DesktopLauncher &launcher, const WindowList &windows,
                       QWidget *parent)
    : QMainWindow(parent)
    , m_core(core)
    , m_launcher(launcher)
    , m_area(new QMdiArea(this))
    , m_unbuilt(new QActionGroup(this))
    , m_stateLabel(new QLabel(this))
    , m_simBadge(new QLabel(tr("Simulated monitor"), this))
    , m_readProgress(new QProgressBar(this))
{
    setObjectName(win::frmMain);
    m_area->setObjectName(QStringLiteral("mdiArea"));
    m_area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_area->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(m_area);
    m_registry = new WindowRegistry(core.panels, core.settings, m_area, this);
    windows(*m_registry, launcher);
    core.windows.setTarget(m_registry);

    buildMenus();
    m_simBadge->setObjectName(QStringLiteral("lblSimulatedMonitor"));
    m_simBadge->setStyleSheet(QStringLiteral(
        "QLabel { background: #1d5fbf; color: white; font-weight: bold; padding: 1px 8px; border-radius: 3px; }"));
    m_simBadge->setToolTip(tr("The port in use talks to the bundled monitor simulator, not to a real monitor."));
    m_simBadge->hide();
    m_stateLabel->setObjectName(QStringLiteral("lblConnectionState"));
    statusBar()->addWidget(m_stateLabel, 1);
    m_readProgress->setObjectName(QStringLiteral("prgFullRead"));
    m_readProgress->setFormat(tr("Reading the monitor: step %v of %m"));
    m_readProgress->setToolTip(tr("Reading every setting of the monitor, one command a second"));
    m_readProgress->setMinimumWidth(200);
    m_readProgress->setMaximumWidth(260);
    m_readProgress->hide();
    statusBar()->addPermanentWidget(m_readProgress);
    statusBar()->addPermanentWidget(m_simBadge);
    connect(&core.fullRead, &FullRead::progress, this, [this](int step, int total) {
        m_readProgress->setRange(0, total);
        m_readProgress->setValue(step + 1);
        m_readProgress->show();
    });
    // A Save As hears of the read's end first (it was connected first) and
    // says itself whether the file was written.
    connect(&core.fullRead, &FullRead::finished, this, [this] {
        m_readProgress->hide();
        if (m_savePath.isEmpty())
            statusBar()->showMessage(tr("Full read of the monitor finished."), 8000);
        m_savePath.clear();
    });
    connect(&core.fullRead, &FullRead::failed, this,
            [this](int step, const QString &command, const QString &reason) {
                m_readProgress->hide();
                m_savePath.clear();
                statusBar()->showMessage(fullReadStoppedText(step, command, reason));
            });
    connect(&core.fileSaver, &DacFileSaver::reading, this, [this](const QString &path) {
        m_savePath = path;
        statusBar()->showMessage(savingText(path));
    });
    connect(&core.fileSaver, &DacFileSaver::ended, this, [this](const QString &path, bool written) {
        if (written)
            statusBar()->showMessage(savedText(path), 8000);
    });
    connect(&core, &AppCore::statusMessage, this,
            [this](const QString &text) { statusBar()->showMessage(text, 8000); });
    m_registry->setMainWindow(this);

    connect(&core.connector, &Connector::stateEntered, this, &MainWindow::updateStatus);
    connect(&core.connector, &Connector::cycleStarted, this, &MainWindow::updateStatus);
    connect(&core.shell, &AppShell::mainTitleChanged, this, &QWidget::setWindowTitle);
    resize(800, 600);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    const auto command = [this](MenuCommand c, std::function<void()> f) {
        m_commands[size_t(c)] = std::move(f);
    };
    command(MenuCommand::None, [] {});
    command(MenuCommand::FileOpen, [this] { m_core.fileActions().open(); });
    command(MenuCommand::FileSaveAs, [this] {
        if (!compareRunning())
            m_core.fileActions().saveAs();
    });
    command(MenuCommand::FileClose, [this] { m_core.fileActions().close(); });
    command(MenuCommand::CompareWithMonitor, [this] { openCompare(&CompareWindow::compareWithMonitor); });
    command(MenuCommand::CompareTwoFiles, [this] { openCompare(&CompareWindow::compareTwoFiles); });
    command(MenuCommand::CompareWithFactory, [this] { openCompare(&CompareWindow::compareWithFactory); });
    command(MenuCommand::Exit, [this] { close(); });
    command(MenuCommand::UpdateAllData, [this] {
        if (!compareRunning())
            m_core.fullRead.start();
    });
    command(MenuCommand::GoOffline, [this] { m_core.connector.GoOffline(); });
    command(MenuCommand::GoOfflineDemo, [this] { m_core.connector.EnterOfflineDemoState(); });
    command(MenuCommand::RunFromBootMode, [this] { m_core.send(cmd::runApplication()); });
    command(MenuCommand::OperatingConditions, [this] { openOperatingConditions(); });
    command(MenuCommand::Cascade, [this] { cascade(); });
    command(MenuCommand::TileHorizontally, [this] { tileHorizontally(); });
    command(MenuCommand::TileVertically, [this] { tileVertically(); });
    command(MenuCommand::ArrangeIcons, [this] { arrangeIcons(); });
    command(MenuCommand::HelpTopics, [this] { showHelp(); });
    command(MenuCommand::SupportBundle, [this] { m_core.saveSupportBundle(); });
    for (const auto &f : m_commands)
        Q_ASSERT(f); // every command has its function

    m_unbuilt->setExclusionPolicy(QActionGroup::ExclusionPolicy::None);
    m_unbuilt->setEnabled(false);
    QHash<QString, QMenu *> menus;
    for (const MenuItemDef &item : mainMenuTable()) {
        const QString &name = item.name;
        if (item.parent.isEmpty()) {
            QMenu *menu = menuBar()->addMenu(menuCaption(item.caption));
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name + QStringLiteral("Action"));
            menus.insert(name, menu);
            continue;
        }
        QAction *action = menus.value(item.parent)->addAction(menuCaption(item.caption));
        action->setObjectName(name);
        action->setMenuRole(QAction::NoRole);
        m_actions.insert(name, action);
        if (item.opens && !m_registry->isRegistered(*item.opens))
            m_unbuilt->addAction(action);
        connect(action, &QAction::triggered, this, [this, name] { trigger(name); });
    }
}

void MainWindow::trigger(const QString &name)
{
    const MenuItemDef *item = findMenuItem(name);
    if (!item)
        return;
    if (!item->opens) {
        run(item->command);
        return;
    }
    if (m_registry->isRegistered(*item->opens))
        m_registry->openWindow(*item->opens);
    else
        statusBar()->showMessage(tr("This window is not part of this build yet."), 4000);
}

void MainWindow::run(MenuCommand command)
{
    m_commands[size_t(command)]();
}

void MainWindow::updateStatus()
{
    static const char *const kStateTexts[] = {"No monitor", "Online", "Boot mode", "Offline demo"};
    const auto state = m_core.connector.connectionState();
    QString text = QString::fromLatin1(kStateTexts[int(state)]);
    if (state == ConnectionState::NoMonitor && m_core.connector.cycleRunning())
        text = tr("Trying to connect on Com%1 (%2)").arg(m_core.globals.CommPort).arg(m_core.link.deviceName());
    else if (state == ConnectionState::Online || state == ConnectionState::BootMode)
        text += tr(" on Com%1 (%2)").arg(m_core.globals.CommPort).arg(m_core.link.deviceName());
    m_stateLabel->setText(text);
    m_simBadge->setVisible(m_core.link.isPortOpen() && m_core.link.isSimulated());
}

void MainWindow::cascade() { m_area->cascadeSubWindows(); }

void MainWindow::tileHorizontally() { tile(Qt::Vertical); }

void MainWindow::tileVertically() { tile(Qt::Horizontal); }

// Rows stacked downwards (Qt::Vertical) or columns side by side (Qt::Horizontal),
// each filling the area across.
void MainWindow::tile(Qt::Orientation stacking)
{
    const auto windows = visibleWindows(m_area, false);
    if (windows.isEmpty())
        return;
    const QRect area = m_area->viewport()->rect();
    const int n = int(windows.size());
    int offset = 0;
    for (QMdiSubWindow *w : windows) {
        w->showNormal();
        if (stacking == Qt::Vertical) {
            w->setGeometry(0, offset, area.width(), area.height() / n);
            offset += area.height() / n;
        } else {
            w->setGeometry(offset, 0, area.width() / n, area.height());
            offset += area.width() / n;
        }
    }
}

void MainWindow::arrangeIcons()
{
    const QRect area = m_area->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow *w : visibleWindows(m_area, true)) {
        const QSize s = w->size();
        w->move(x, area.height() - s.height());
        x += s.width();
    }
}

void MainWindow::openOperatingConditions()
{
    const int type = m_core.data.MonitorType;
    QString window;
    if (earlyTestPointWindow(type))
        window = win::frmTestPoint;
    else if (monitorFamilyExceptX99(type) == MonitorFamily::Mdi)
        window = win::frmMDITestPoints;
    else if (monitorFamilyExceptX99(type) == MonitorFamily::FlatPanel)
        window = win::frmFlatPanelTestPoints;
    if (!window.isEmpty() && m_registry->isRegistered(window))
        m_registry->openWindow(window);
}

bool MainWindow::compareRunning()
{
    // A compare or restore chooses scan sets on the monitor; a full read
    // started meanwhile would read whichever one it had chosen.
    const auto *w = qobject_cast<CompareWindow *>(m_registry->find(win::frmCompare));
    if (!w || !w->isBusy())
        return false;
    m_core.messages.message(tr("Compare Settings is reading or writing the monitor. "
                               "Read the monitor once it has finished."));
    return true;
}

void MainWindow::openCompare(void (CompareWindow::*action)())
{
    m_registry->openWindow(win::frmCompare);
    if (auto *w = qobject_cast<CompareWindow *>(m_registry->find(win::frmCompare)))
        (w->*action)();
}

void MainWindow::showHelp()
{
#ifdef Q_OS_WIN
    if (m_launcher.startProgram(QStringLiteral("C:\\windows\\winhelp.exe"), {QStringLiteral("tarvik3.hlp")})
        || m_launcher.startProgram(QStringLiteral("C:\\winnt\\winhlp32.exe"), {QStringLiteral("tarvik3.hlp")}))
        return;
#endif
    const QString guide = helpIndexPath();
    if (m_launcher.openFile(guide))
        return;
    m_core.messages.message(tr("The help could not be opened. The user guide is the file %1.").arg(guide));
}

void MainWindow::startUp()
{
    Settings &s = m_core.settings;
    const QString &startUp = SettingsSection::StartUp;
    const QString &configs = SettingsSection::Configs;
    // First run: the log window is loaded (hidden), which switches its echo on.
    if (s.readInt(AppName::Tarvikon, startUp, QStringLiteral("RunType"), 0) != 1) {
        m_registry->ensure(win::frmCommLog);
        m_core.globals.CommLogEcho = true;
        s.write(AppName::Tarvikon, startUp, QStringLiteral("RunType"), QStringLiteral("1"));
    }
    // Position, size, state.
    restoreWindowLayout(this, win::frmMain, s);
    // Start mode (exact comparison; no password here).
    const QString mode = s.read(AppName::Tarvikon, startUp, QStringLiteral("InitialMode"), QStringLiteral("UserMode"));
    if (mode == QLatin1String("ServiceMode"))
        m_core.shell.SetServiceMode();
    else if (mode == QLatin1String("FactoryMode"))
        m_core.shell.SetFactoryMode();
    else
        m_core.shell.SetUserMode();
    // Port and retry limit.
    m_core.globals.CommPort = std::max(1, s.readInt(AppName::Tarvikon, configs, QStringLiteral("CommPort"), 1));
    if (m_core.CommPortThisRun > 0)
        m_core.globals.CommPort = m_core.CommPortThisRun;
    m_core.globals.ConnectRetryLimit = s.readInt(AppName::Tarvikon, configs, QStringLiteral("ConnectRetryLimit"), 5);
    // Echo on.
    m_core.globals.CommLogEcho = true;
    // Initial folders of the file dialogs.
    m_core.FileSaveInitDir = s.read(AppName::Tarvikon, configs, QStringLiteral("FileSaveInitDir"), QStringLiteral("C:\\TVK"));
    m_core.CodeInitDir = s.read(AppName::Tarvikon, configs, QStringLiteral("CodeInitDir"), QStringLiteral("C:\\TVK"));
    // The link flag gets its start value before the connection window
    // opens: its first cycle must find it so (AutoPing starts on, in the
    // connector's hands).
    m_core.globals.XmitQueueBypass = false;
    // The connection window; its load opens the port and starts a cycle.
    m_registry->openWindow(win::frmConnect);
    // The log window, when it was open at the last exit.
    if (s.readBool(AppName::Tarvikon, configs, QStringLiteral("CommLogOpen"), false))
        m_registry->openWindow(win::frmCommLog);
    // Go Offline off until connected.
    m_core.controls.setEnabled(win::frmMain, menu::mnuMonitorOffline, false);
    // The data model; it begins with the no-monitor state.
    m_core.data.InitMonitorData(m_core.globals, s, &m_core.modelStart);
    // The data model has just read the echo setting: a log window loaded
    // earlier in this sequence shows the echo as it now is.
    if (Panel *log = m_registry->find(win::frmCommLog)) {
        if (auto *echo = log->findChild<QCheckBox *>(ctl::ckWindowEnabled))
            echo->setChecked(m_core.globals.CommLogEcho);
    }
    updateStatus();
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    Settings &s = m_core.settings;
    const QString &configs = SettingsSection::Configs;
    saveWindowLayout(this, win::frmMain, s);
    if (m_core.globals.CommPort != m_core.CommPortThisRun)
        s.writeInt(AppName::Tarvikon, configs, QStringLiteral("CommPort"), m_core.globals.CommPort);
    s.writeBool(AppName::Tarvikon, configs, QStringLiteral("CommLogEnabled"), m_core.globals.CommLogEcho);
    s.writeInt(AppName::Tarvikon, configs, QStringLiteral("ConnectRetryLimit"), m_core.globals.ConnectRetryLimit);
    // The connection clocks stop with the port: a keep-alive whose reply
    // timer ran out after the close would reopen the port and ping again.
    m_core.connector.shutdown();
    // A Save As waiting for the read says that its file was not written.
    m_core.fullRead.abort(tr("the program was closed"));
    m_registry->unloadAll();
    s.sync();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    shutDown();
    event->accept();
}

} // namespace tvk
