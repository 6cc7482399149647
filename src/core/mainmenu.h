#pragma once
// The main window's menu bar as data: every menu and item in menu order, with
// its caption, what choosing it does (open a window by its name or run one
// of the main window's commands) and how the application modes, the
// connection states, the monitor-type profiles and the start-up of the data
// model enable it. The main window builds and connects its menus from this
// table alone; the shell applies the state columns from it.

#include "base/menunames.h"
#include "base/windownames.h"
#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace tvk {

// What an item runs when it opens no window. The main window holds one
// function per command.
enum class MenuCommand {
    None, // a top-level menu, or an item with no action attached
    FileOpen,
    FileSaveAs,
    FileClose,
    CompareWithMonitor,
    CompareTwoFiles,
    CompareWithFactory,
    Exit,
    UpdateAllData,
    GoOffline,
    GoOfflineDemo,
    RunFromBootMode,
    OperatingConditions, // the test-point window of the monitor's family
    Cascade,
    TileHorizontally,
    TileVertically,
    ArrangeIcons,
    HelpTopics,
    SupportBundle,
};
inline constexpr int kMenuCommandCount = int(MenuCommand::SupportBundle) + 1;

// Which application modes enable an item; the modes leave a Free item alone.
enum class ModeGate : char { Free, AllModes, ServiceUp, FactoryOnly };

// What a connection state or a monitor profile does to an item.
enum class MenuSet : char { Keep, On, Off };

struct ConnectionCells {
    MenuSet online = MenuSet::Keep;
    MenuSet bootMode = MenuSet::Keep;
    MenuSet noMonitor = MenuSet::Keep;
};

struct ProfileCells {
    MenuSet flatPanel = MenuSet::Keep;
    MenuSet mdi = MenuSet::Keep;
    MenuSet early = MenuSet::Keep; // early firmware
};

struct MenuItemDef {
    MenuItemDef(QString name, const char *caption, QString parent, const QString *opens = nullptr,
                MenuCommand command = MenuCommand::None, ModeGate modes = ModeGate::Free,
                ConnectionCells states = {}, ProfileCells profiles = {}, bool offAtStart = false)
        : name(std::move(name)), caption(caption), parent(std::move(parent)), opens(opens),
          command(command), modes(modes), states(states), profiles(profiles), offAtStart(offAtStart)
    {
    }

    QString name;         // menu::mnuFileOpen
    const char *caption;  // with its "&" accelerator
    QString parent;       // empty for a top-level menu
    const QString *opens; // the window this item opens, or nullptr
    MenuCommand command;  // what it runs when it opens no window
    ModeGate modes;
    ConnectionCells states;
    ProfileCells profiles;
    // Disabled by the data model's start-up until a monitor answers.
    bool offAtStart;
};

const std::vector<MenuItemDef> &mainMenuTable();
// Names of every menu and item, top-level menus included.
QStringList allMenuNames();
// The items the data model's start-up disables, in menu order.
QStringList menusOffAtStart();
const MenuItemDef *findMenuItem(const QString &name);
} // namespace tvk
