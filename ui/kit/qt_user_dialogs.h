// The user dialogs of the desktop program: Qt file dialogs and message boxes,
// parented to the window whose command asks.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "table/user_dialogs.h"

namespace coordconv {

// The application title, shown on the task bar and as the common error box's title.
inline constexpr const char* kApplicationTitle = "坐标转换";

class QtUserDialogs : public UserDialogs {
public:
    // `settings_path`: where the last folders are kept (empty: the program's
    // settings file).
    explicit QtUserDialogs(QWidget* parent = nullptr, std::string settings_path = {})
        : parent_(parent), settings_path_(std::move(settings_path)) {}

    std::optional<std::string> AskOpenFile(const FileDialogSpec& spec) override;
    std::optional<std::string> AskSaveFile(const FileDialogSpec& spec) override;
    bool AskYesNo(const std::string& title, const std::string& text, MessageIcon icon) override;
    void ShowError(const std::string& message) override;
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override;
    void ShowMessageWithButton(const std::string& title, const std::string& text, MessageIcon icon,
                               MessageButton button) override;
    bool ShowTextAskSave(const std::string& title, const std::string& text) override;
    // The import dialog; it opens with the last mapping chosen in a window of
    // the same kind (unless the file's shape chose one) and keeps the new one.
    std::optional<ImportMappingChoice> AskImportMapping(const ImportMappingRequest& request) override;
    std::vector<std::string> AskOpenFiles(const FileDialogSpec& spec) override;
    std::optional<std::string> AskFolder(const std::string& title) override;
    std::unique_ptr<ProgressReport> StartProgress(const std::string& title) override;

private:
    // The file dialogs open in the folder of the last file chosen in a window
    // of the same kind (the active window's object name), kept between runs
    // in the settings file.
    std::string WindowKind() const;
    QString StartFolder(const std::string& kind) const;
    std::string Chosen(const std::string& kind, const QString& file) const;

    QPointer<QWidget> parent_;
    std::string settings_path_;
};

}  // namespace coordconv
