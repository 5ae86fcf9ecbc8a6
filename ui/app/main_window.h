// The main window (object name "FormMain"): the menu of every tool and an empty control
// bar strip. Each menu click opens a new, independent tool window owned by the
// main window; closing a tool window only hides it, and all of them are
// destroyed, most recently created first, when the main window goes.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

#include "ui/kit/help_window.h"
#include "ui/kit/qt_user_dialogs.h"
#include "ui/app/tool_registry.h"

namespace coordconv {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers for the user; by default the Qt dialogs.
    explicit MainWindow(UserDialogs* dialogs = nullptr);
    ~MainWindow() override;

    // The menu item named `item` ("gsZS", ...), or null.
    QAction* MenuItem(const QString& item) const;
    // The tool windows opened so far, oldest first.
    std::vector<QWidget*> ToolWindows() const;

    // "系统帮助": Help.chm through the desktop when a CHM viewer is registered
    // and opening it succeeds, otherwise the help window.
    void OpenHelpFile();
    // "关于...": the about box.
    void ShowAbout();

    // The help window at `page` ("gsZS.html"); F1 of a tool window opens its
    // menu item's page.
    void ShowHelp(const QString& page);
    HelpWindow* Help() const { return help_; }

    // How "系统帮助" hands Help.chm to the desktop (true: it opened); by
    // default a registered CHM viewer and QDesktopServices.
    void SetHelpFileOpener(std::function<bool(const QString& file)> open) { open_help_file_ = std::move(open); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void Open(const MenuAction& action);
    void DestroyToolWindows();

    std::unique_ptr<QtUserDialogs> own_dialogs_;
    UserDialogs* dialogs_;
    std::vector<QPointer<QWidget>> tool_windows_;
    HelpWindow* help_ = nullptr;
    std::function<bool(const QString&)> open_help_file_;
};

// The about box's text: program name and version.
QString AboutText();

}  // namespace coordconv
