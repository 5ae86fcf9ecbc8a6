// How a command talks to the user: file dialogs, the Yes/No question, the
// common error box and plain message boxes. The windows answer through Qt's
// dialogs; tests and coordconv-cli answer through their own implementations,
// so no command ever blocks on a dialog it cannot see.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "table/point_checks.h"
#include "table/point_file_layout.h"

namespace coordconv {

// An open or save dialog: its title, its first filter ("Text files (*.txt)"
// matching "*.txt"), the extension added to a name typed without one, and
// further filters offered after the first ("Spreadsheets (*.xlsx *.ods)").
struct FileDialogSpec {
    std::string title;
    std::string filter_name = "Text files (*.txt)";
    std::string filter_pattern = "*.txt";
    std::string default_extension = "txt";
    std::vector<std::string> more_filters = {};
};

// What the import dialog of a point file in another layout shows.
struct ImportMappingRequest {
    std::string path;
    std::vector<std::string> lines;   // the file's first lines, UTF-8
    std::vector<std::string> titles;  // the table's column titles
    ColumnMapping mapping;            // the mapping it opens with
    bool mapping_from_file = false;   // true when the file's shape chose it (a CASS .dat)
    bool spreadsheet = false;         // the lines are a spreadsheet's rows, cells joined by tabs
    PlausibilitySettings settings;    // the window's boxes, for the checks
    std::string missing;              // a missing cell's text ("0" or empty)
};

// The user's choice in it: the mapping and the fixes to apply to the rows
// the checks name.
struct ImportMappingChoice {
    ColumnMapping mapping;
    std::vector<PointFix> fixes;
};

enum class MessageIcon { None, Information, Warning, Error, Question };

// A progress bar with a cancel button, shown while a long command runs.
class ProgressReport {
public:
    virtual ~ProgressReport() = default;
    // Shows `share` (0..1) done; false once the user has cancelled.
    virtual bool Step(double share) = 0;
};

// The single button of a plain message box.
enum class MessageButton { Ok, Yes };

class UserDialogs {
public:
    virtual ~UserDialogs() = default;
    // The chosen file's path, or nothing when the user cancels.
    virtual std::optional<std::string> AskOpenFile(const FileDialogSpec& spec) = 0;
    virtual std::optional<std::string> AskSaveFile(const FileDialogSpec& spec) = 0;
    // A message box with Yes and No; true for Yes.
    virtual bool AskYesNo(const std::string& title, const std::string& text, MessageIcon icon) = 0;
    // The common error box: title "坐标转换", error icon, full-stop rule.
    virtual void ShowError(const std::string& message) = 0;
    // A message box with an OK button.
    virtual void ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) = 0;
    // A message box whose only button is `button`; by default ShowMessage.
    virtual void ShowMessageWithButton(const std::string& title, const std::string& text, MessageIcon icon,
                                       MessageButton button) {
        (void)button;
        ShowMessage(title, text, icon);
    }
    // The import dialog: column mapping, preview and checks; nothing when
    // the user cancels. By default nothing shows.
    virtual std::optional<ImportMappingChoice> AskImportMapping(const ImportMappingRequest& request) {
        (void)request;
        return std::nullopt;
    }
    // Several files to open (empty when the user cancels); by default the
    // one file of AskOpenFile.
    virtual std::vector<std::string> AskOpenFiles(const FileDialogSpec& spec) {
        const std::optional<std::string> file = AskOpenFile(spec);
        return file ? std::vector<std::string>{*file} : std::vector<std::string>{};
    }
    // A folder, or nothing when the user cancels (the default).
    virtual std::optional<std::string> AskFolder(const std::string& title) {
        (void)title;
        return std::nullopt;
    }
    // A progress bar titled `title` until the returned object ends; by
    // default none (never cancelled).
    virtual std::unique_ptr<ProgressReport> StartProgress(const std::string& title) {
        (void)title;
        return nullptr;
    }
    // A text to read, select and copy (a copy button), with a save button;
    // true when the user chose to save it. By default nothing shows.
    virtual bool ShowTextAskSave(const std::string& title, const std::string& text) {
        (void)title;
        (void)text;
        return false;
    }
};

}  // namespace coordconv
