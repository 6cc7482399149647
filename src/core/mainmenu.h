#pragma once
// The main window's menu bar as data: every menu and item in menu order, with
// its caption and what choosing it does: open a window (by its name) or run
// one of the main window's commands. The main window builds and connects its
// menus from this table alone, and the connection states and application
// modes address the items by these names.

#include "base/windownames.h"
#include <QString>
#include <QStringList>
#include <vector>

namespace tvk {

// What an item runs when it opens no window. The main window holds one
// function per command.
enum class MenuCommand {
    None, // a top-level menu, or an item with no action attached
    FileOpen,
    FileSaveAs,
    FileClose,
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
};
inline constexpr int kMenuCommandCount = int(MenuCommand::HelpTopics) + 1;

struct MenuItemDef {
    const char *name;    // "mnuFileOpen"; top-level menus have no parent
    const char *caption; // with its "&" accelerator
    const char *parent;  // nullptr for a top-level menu
    const QString *opens; // the window this item opens, or nullptr
    MenuCommand command = MenuCommand::None; // what it runs when it opens no window
};

const std::vector<MenuItemDef> &mainMenuTable();
// Names of every menu and item, top-level menus included.
QStringList allMenuNames();
const MenuItemDef *findMenuItem(const QString &name);
} // namespace tvk
