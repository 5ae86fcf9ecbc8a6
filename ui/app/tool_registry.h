// The main window's menu as one table: each menu with its items, and what
// each item does (open a new tool window of its class, or run a command
// directly). A new tool window is one line here. The help menu's items are
// the main window's own and carry no action in the table.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "table/user_dialogs.h"

namespace coordconv {

struct MenuAction {
    std::string item;     // the menu item's object name, e.g. "gsZS"
    std::string caption;  // the item's text, e.g. "高斯投影正算"
    // Creates the item's window, owned by `owner` (empty for a command).
    std::function<QWidget*(QWidget* owner, UserDialogs& dialogs)> open_window;
    // Runs the item's command (empty for a window).
    std::function<void(QWidget* owner, UserDialogs& dialogs)> run_command;
};

struct MenuGroup {
    std::string name;     // the menu's object name, e.g. "ZBBH"
    std::string caption;  // the menu's title, e.g. "坐标变换"
    std::vector<MenuAction> items;
};

// The menus of the main window's menu bar, in their order, each with its
// items in order.
std::vector<MenuGroup> MainMenu();

// The help menu's items, which the main window handles itself.
inline constexpr const char* kHelpItem = "hjsHelp";
inline constexpr const char* kAboutItem = "hjsAbout";

}  // namespace coordconv
