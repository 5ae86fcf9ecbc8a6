#include "ui/app/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QMenuBar>
#include <QMessageBox>
#include <QShortcut>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/kit/conversion_window.h"

#ifndef COORDCONV_VERSION
#define COORDCONV_VERSION "1.0.0"
#endif

namespace coordconv {

QString AboutText() {
    return QString::fromUtf8("坐标转换 (coordconv)\n版本 ") + COORDCONV_VERSION +
           QString::fromUtf8("\n\n高斯-克吕格与UTM投影、坐标换带、抵偿高程面、\n椭球基准变换、平面坐标转换、GPS高程拟合、\n1:1万图幅号计算与CAD标注。");
}

MainWindow::MainWindow(UserDialogs* dialogs) {
    if (dialogs == nullptr) {
        own_dialogs_ = std::make_unique<QtUserDialogs>(this);
        dialogs = own_dialogs_.get();
    }
    dialogs_ = dialogs;
    open_help_file_ = [](const QString& file) {
        return ChmViewerRegistered() && QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    };
    setObjectName("FormMain");
    setWindowTitle(QString::fromUtf8("Orvanel--坐标转换2014"));
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* control_bar = new QWidget(client);
    control_bar->setObjectName("ControlBar1");
    control_bar->setFixedHeight(30);
    layout->addWidget(control_bar);
    layout->addStretch(1);
    setCentralWidget(client);
    BuildMenu();
}

MainWindow::~MainWindow() { DestroyToolWindows(); }

void MainWindow::BuildMenu() {
    auto* bar = menuBar();
    bar->setObjectName("MainMenu1");
    for (const MenuGroup& group : MainMenu()) {
        QMenu* menu = bar->addMenu(QString::fromStdString(group.caption));
        menu->setObjectName(QString::fromStdString(group.name));
        for (const MenuAction& item : group.items) {
            QAction* action = menu->addAction(QString::fromStdString(item.caption));
            action->setObjectName(QString::fromStdString(item.item));
            if (item.item == kHelpItem) {
                connect(action, &QAction::triggered, this, [this] { OpenHelpFile(); });
                continue;
            }
            if (item.item == kAboutItem) {
                connect(action, &QAction::triggered, this, [this] { ShowAbout(); });
                continue;
            }
            // Items of tools not built yet stay visible but disabled.
            const bool built = item.open_window || item.run_command;
            action->setEnabled(built);
            if (built) connect(action, &QAction::triggered, this, [this, entry = item] { Open(entry); });
        }
    }
}

QAction* MainWindow::MenuItem(const QString& item) const { return findChild<QAction*>(item); }

std::vector<QWidget*> MainWindow::ToolWindows() const {
    std::vector<QWidget*> windows;
    for (const auto& window : tool_windows_)
        if (window) windows.push_back(window.data());
    return windows;
}

void MainWindow::Open(const MenuAction& action) {
    if (action.run_command) {
        action.run_command(this, *dialogs_);
        return;
    }
    QWidget* window = action.open_window(this, *dialogs_);
    tool_windows_.emplace_back(window);
    // F1: the tool's own page of the user guide.
    auto* help_key = new QShortcut(QKeySequence::HelpContents, window);
    connect(help_key, &QShortcut::activated, this,
            [this, page = QString::fromStdString(action.item) + ".html"] { ShowHelp(page); });
    window->show();
    // A window that placed itself (moved before showing) keeps its designed position.
    if (!window->testAttribute(Qt::WA_Moved)) CentreOnScreen(window);
}

void MainWindow::OpenHelpFile() {
    const QString file = HelpFile();
    if (!file.isEmpty() && open_help_file_(file)) return;
    ShowHelp("index.html");
}

void MainWindow::ShowHelp(const QString& page) {
    const QString folder = HelpFolder();
    if (folder.isEmpty()) {
        dialogs_->ShowMessage(kApplicationTitle, "未找到帮助文件 (help/index.html 或 Help.chm)。", MessageIcon::Warning);
        return;
    }
    if (help_ == nullptr) help_ = new HelpWindow(this, folder);
    help_->ShowPage(page);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void MainWindow::ShowAbout() {
    QMessageBox about(QMessageBox::Information, QString::fromUtf8("关于..."), AboutText(), QMessageBox::Ok, this);
    about.exec();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    DestroyToolWindows();
}

void MainWindow::DestroyToolWindows() {
    // Most recently created first, so windows that keep settings write them in
    // that order.
    for (auto it = tool_windows_.rbegin(); it != tool_windows_.rend(); ++it) delete it->data();
    tool_windows_.clear();
}

}  // namespace coordconv
