// A UserDialogs that answers from queues instead of asking, and records what
// it was shown, so window tests never block on a dialog.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/user_dialogs.h"

namespace coordconv::testing {

class FakeDialogs : public UserDialogs {
public:
    // Answers, taken front first; an empty queue means Cancel / No.
    std::deque<std::optional<std::string>> open_files;
    std::deque<std::optional<std::string>> save_files;
    std::deque<bool> yes_no;
    std::deque<bool> save_texts;  // ShowTextAskSave: true saves
    std::deque<std::optional<ImportMappingChoice>> import_mappings;  // AskImportMapping
    std::deque<std::vector<std::string>> open_file_lists;  // AskOpenFiles; when empty, one of open_files
    std::deque<std::optional<std::string>> folders;        // AskFolder
    std::size_t cancel_at_step = 0;                        // the progress bar's cancel pressed at this step (1, 2, ...)
    std::vector<double> progress_steps;                    // the shares the progress bars showed

    // What the commands showed.
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
    std::vector<MessageIcon> message_icons;      // the icon of each message, in order
    std::vector<MessageButton> message_buttons;  // its only button
    std::vector<FileDialogSpec> file_dialogs;
    std::vector<std::string> texts;  // "title|text" of each text dialog
    std::vector<ImportMappingRequest> import_requests;
    // Called as each message or error shows, to look at the window behind it.
    std::function<void()> on_show;

    std::optional<std::string> AskOpenFile(const FileDialogSpec& spec) override {
        file_dialogs.push_back(spec);
        return Take(open_files);
    }
    std::optional<std::string> AskSaveFile(const FileDialogSpec& spec) override {
        file_dialogs.push_back(spec);
        return Take(save_files);
    }
    bool AskYesNo(const std::string& title, const std::string& text, MessageIcon) override {
        questions.push_back(title + "|" + text);
        if (yes_no.empty()) return false;
        const bool answer = yes_no.front();
        yes_no.pop_front();
        return answer;
    }
    bool ShowTextAskSave(const std::string& title, const std::string& text) override {
        texts.push_back(title + "|" + text);
        if (save_texts.empty()) return false;
        const bool answer = save_texts.front();
        save_texts.pop_front();
        return answer;
    }
    std::optional<ImportMappingChoice> AskImportMapping(const ImportMappingRequest& request) override {
        import_requests.push_back(request);
        if (import_mappings.empty()) return std::nullopt;
        auto answer = import_mappings.front();
        import_mappings.pop_front();
        return answer;
    }
    void ShowError(const std::string& message) override {
        errors.push_back(message);
        if (on_show) on_show();
    }
    void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) override {
        ShowMessageWithButton(title, text, icon, MessageButton::Ok);
    }
    void ShowMessageWithButton(const std::string& title, const std::string& text, MessageIcon icon,
                               MessageButton button) override {
        messages.push_back(title + "|" + text);
        message_icons.push_back(icon);
        message_buttons.push_back(button);
        if (on_show) on_show();
    }

    std::optional<std::string> AskFolder(const std::string&) override { return Take(folders); }
    std::vector<std::string> AskOpenFiles(const FileDialogSpec& spec) override {
        if (open_file_lists.empty()) return UserDialogs::AskOpenFiles(spec);
        file_dialogs.push_back(spec);
        std::vector<std::string> files = open_file_lists.front();
        open_file_lists.pop_front();
        return files;
    }
    std::unique_ptr<ProgressReport> StartProgress(const std::string&) override {
        struct FakeProgress : ProgressReport {
            explicit FakeProgress(FakeDialogs& owner) : owner(owner) {}
            bool Step(double share) override {
                owner.progress_steps.push_back(share);
                return owner.cancel_at_step == 0 || owner.progress_steps.size() < owner.cancel_at_step;
            }
            FakeDialogs& owner;
        };
        return std::make_unique<FakeProgress>(*this);
    }

private:
    static std::optional<std::string> Take(std::deque<std::optional<std::string>>& queue) {
        if (queue.empty()) return std::nullopt;
        auto answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

}  // namespace coordconv::testing
