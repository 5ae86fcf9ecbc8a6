#include "ui/kit/qt_user_dialogs.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QFileInfo>
#include <QMessageBox>

#include "core/errors.h"
#include "table/settings_file.h"
#include "ui/kit/import_mapping_dialog.h"
#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// "Text files (*.txt)": Qt takes the pattern from the parentheses; further
// filters follow, separated by ";;".
QString FilterText(const FileDialogSpec& spec) {
    QString text = ToQString(spec.filter_name);
    for (const std::string& filter : spec.more_filters) text += ";;" + ToQString(filter);
    return text;
}

// The extension of a filter's first pattern: "xlsx" for "Excel (*.xlsx)".
QString FilterExtension(const QString& filter) {
    const qsizetype start = filter.indexOf("(*.");
    if (start < 0) return {};
    qsizetype end = start + 3;
    while (end < filter.size() && filter[end] != ' ' && filter[end] != ')') ++end;
    return filter.mid(start + 3, end - start - 3);
}

}  // namespace

std::optional<std::string> QtUserDialogs::AskOpenFile(const FileDialogSpec& spec) {
    const std::string kind = WindowKind();
    QFileDialog dialog(parent_, ToQString(spec.title), StartFolder(kind), FilterText(spec));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // A typed name of a missing file is passed on; the import reports it.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(ToQString(spec.default_extension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(kind, dialog.selectedFiles().first());
}

std::vector<std::string> QtUserDialogs::AskOpenFiles(const FileDialogSpec& spec) {
    const std::string kind = WindowKind();
    QFileDialog dialog(parent_, ToQString(spec.title), StartFolder(kind), FilterText(spec));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted) return {};
    std::vector<std::string> files;
    for (const QString& file : dialog.selectedFiles()) files.push_back(Chosen(kind, file));
    return files;
}

std::optional<std::string> QtUserDialogs::AskFolder(const std::string& title) {
    const QString folder = QFileDialog::getExistingDirectory(parent_, ToQString(title), StartFolder(WindowKind()));
    if (folder.isEmpty()) return std::nullopt;
    return ToStdString(folder);
}

namespace {

// QProgressDialog, modal to the window, its events handled at each step.
class QtProgressReport : public ProgressReport {
public:
    QtProgressReport(QWidget* parent, const std::string& title)
        : dialog_(ToQString(title), QStringLiteral("取消"), 0, 1000, parent) {
        dialog_.setWindowTitle(ToQString(title));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setValue(0);
    }
    bool Step(double share) override {
        dialog_.setValue(static_cast<int>(share * 1000));
        QCoreApplication::processEvents();
        return !dialog_.wasCanceled();
    }

private:
    QProgressDialog dialog_;
};

}  // namespace

std::unique_ptr<ProgressReport> QtUserDialogs::StartProgress(const std::string& title) {
    return std::make_unique<QtProgressReport>(parent_, title);
}

std::optional<std::string> QtUserDialogs::AskSaveFile(const FileDialogSpec& spec) {
    const std::string kind = WindowKind();
    QFileDialog dialog(parent_, ToQString(spec.title), StartFolder(kind), FilterText(spec));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ToQString(spec.default_extension));
    // A name typed without extension takes the chosen filter's.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, &spec](const QString& filter) {
        const QString extension = FilterExtension(filter);
        dialog.setDefaultSuffix(extension.isEmpty() ? ToQString(spec.default_extension) : extension);
    });
    // The command asks its own overwrite question.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return Chosen(kind, dialog.selectedFiles().first());
}

std::optional<ImportMappingChoice> QtUserDialogs::AskImportMapping(const ImportMappingRequest& request) {
    const std::string kind = WindowKind();
    const std::string settings = settings_path_.empty() ? SettingsFilePath() : settings_path_;
    ImportMappingRequest shown = request;
    // The remembered mapping is that of text files; a spreadsheet's cells
    // and header row choose its own.
    if (!request.mapping_from_file && !request.spreadsheet)
        if (const std::optional<ColumnMapping> remembered = RememberedMapping(settings, kind)) shown.mapping = *remembered;
    ImportMappingDialog dialog(shown, parent_);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    ImportMappingChoice choice = dialog.Choice();
    if (!request.spreadsheet) RememberMapping(settings, kind, choice.mapping);
    return choice;
}

std::string QtUserDialogs::WindowKind() const {
    const QWidget* window = QApplication::activeWindow();
    if (window == nullptr && parent_ != nullptr) window = parent_->window();
    return window != nullptr ? ToStdString(window->objectName()) : std::string();
}

QString QtUserDialogs::StartFolder(const std::string& kind) const {
    return ToQString(RememberedFolder(settings_path_.empty() ? SettingsFilePath() : settings_path_, kind));
}

std::string QtUserDialogs::Chosen(const std::string& kind, const QString& file) const {
    RememberFolder(settings_path_.empty() ? SettingsFilePath() : settings_path_, kind, ToStdString(file));
    return ToStdString(file);
}

bool QtUserDialogs::AskYesNo(const std::string& title, const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQtIcon(icon), ToQString(title), ToQString(text), QMessageBox::Yes | QMessageBox::No, parent_);
    return box.exec() == QMessageBox::Yes;
}

void QtUserDialogs::ShowError(const std::string& message) {
    QMessageBox box(QMessageBox::Critical, kApplicationTitle, ToQString(ErrorBoxText(message)), QMessageBox::Ok,
                    parent_);
    box.exec();
}

void QtUserDialogs::ShowMessage(const std::string& title, const std::string& text, MessageIcon icon) {
    QMessageBox box(ToQtIcon(icon), ToQString(title), ToQString(text), QMessageBox::Ok, parent_);
    box.exec();
}

void QtUserDialogs::ShowMessageWithButton(const std::string& title, const std::string& text, MessageIcon icon,
                                          MessageButton button) {
    const QMessageBox::StandardButton only = button == MessageButton::Yes ? QMessageBox::Yes : QMessageBox::Ok;
    QMessageBox box(ToQtIcon(icon), ToQString(title), ToQString(text), only, parent_);
    box.exec();
}

bool QtUserDialogs::ShowTextAskSave(const std::string& title, const std::string& text) {
    QDialog dialog(parent_);
    dialog.setWindowTitle(ToQString(title));
    dialog.resize(720, 320);
    auto* layout = new QVBoxLayout(&dialog);
    auto* view = new QPlainTextEdit(ToQString(text), &dialog);
    view->setObjectName("ExportText");
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    layout->addWidget(view, 1);
    auto* buttons = new QDialogButtonBox(&dialog);
    QPushButton* copy = buttons->addButton("复制", QDialogButtonBox::ActionRole);
    QPushButton* save = buttons->addButton("保存...", QDialogButtonBox::AcceptRole);
    buttons->addButton("关闭", QDialogButtonBox::RejectRole);
    layout->addWidget(buttons);
    QObject::connect(copy, &QPushButton::clicked, &dialog, [view] { QApplication::clipboard()->setText(view->toPlainText()); });
    QObject::connect(save, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace coordconv
