#pragma once
// The main window's menu bar as data: every menu and item in menu order, with
// its caption and, for items that open a window, the window's name. The main
// window builds its menus from this table, and the connection states and
// application modes address the items by these names.

#include "base/windownames.h"
#include <QString>
#include <QStringList>
#include <vector>

namespace tvk {

struct MenuItemDef {
    const char *name;    // "mnuFileOpen"; top-level menus have no parent
    const char *caption; // with its "&" accelerator
    const char *parent;  // nullptr for a top-level menu
    const QString *opens; // the window this item opens, or nullptr
};

const std::vector<MenuItemDef> &mainMenuTable();
// Names of every menu and item, top-level menus included.
QStringList allMenuNames();
const MenuItemDef *findMenuItem(const QString &name);
} // namespace tvk
