// What each menu item of the main window does: open a new tool window of its
// class, or run a command directly. Items without an entry stay disabled.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "table/user_dialogs.h"

namespace coordconv {

struct MenuAction {
    std::string item;  // the menu item's name, e.g. "gsZS"
    // Creates the item's window, owned by `owner` (empty for a command).
    std::function<QWidget*(QWidget* owner, UserDialogs& dialogs)> open_window;
    // Runs the item's command (empty for a window).
    std::function<void(QWidget* owner, UserDialogs& dialogs)> run_command;
};

// Every menu item that is built, in no particular order.
std::vector<MenuAction> MenuActions();

}  // namespace coordconv
