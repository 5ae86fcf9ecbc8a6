// The user dialogs of the desktop program: Qt file dialogs and message boxes,
// parented to the window whose command asks.
#pragma once

#include <QPointer>
#include <QWidget>

#include "table/user_dialogs.h"

namespace coordconv {

// The application title, shown on the task bar and as the common error box's title.
inline constexpr const char* kApplicationTitle = "坐标转换";

class QtUserDialogs : public UserDialogs {
public:
    explicit QtUserDialogs(QWidget* parent = nullptr) : parent_(parent) {}

    std::optional<std::string> AskOpenFile(const FileDialogSpec& spec) override;
    std::optional<std::string> AskSaveFile(const FileDialogSpec& spec) override;
    bool AskYesNo(const std::string& title, const std::string& text, MessageIcon icon) override;
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    void ShowMessageWithButton(const std::string& title, const std::string& text, MessageIcon icon,
                               MessageButton button) override;
    bool ShowTextAskSave(const std::string& title, const std::string& text) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace coordconv
