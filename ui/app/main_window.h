// The main window `TFormMain`: the menu of every tool and an empty control
// bar strip. Each menu click opens a new, independent tool window owned by the
// main window; closing a tool window only hides it, and all of them are
// destroyed, most recently created first, when the main window goes.
#pragma once

#include <QAction>
#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <vector>

#include "ui/kit/qt_user_dialogs.h"
#include "ui/app/tool_registry.h"

namespace coordconv {

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // `dialogs` answers for the user; by default the Qt dialogs.
    explicit TFormMain(UserDialogs* dialogs = nullptr);
    ~TFormMain() override;

    // The menu item named `item` ("gsZS", ...), or null.
    QAction* MenuItem(const QString& item) const;
    // The tool windows opened so far, oldest first.
    std::vector<QWidget*> ToolWindows() const;

    void hjsHelpClick();
    void hjsAboutClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildMenu();
    void Open(const MenuAction& action);
    void DestroyToolWindows();

    std::unique_ptr<QtUserDialogs> own_dialogs_;
    UserDialogs* dialogs_;
    std::vector<QPointer<QWidget>> tool_windows_;
};

// The about box's text: program name and version.
QString AboutText();

}  // namespace coordconv
