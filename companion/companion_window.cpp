#include "companion/companion_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QStatusBar>
#include <QVBoxLayout>

#include "companion/drawing_view.h"

namespace coordconv::companion {
namespace {

constexpr const char* kIdlePrompt = "命令:";

// "x,y" or "x,y,z" typed for a point.
std::optional<CadPoint> TypedPoint(const QString& text) {
    const QStringList parts = text.split(',');
    if (parts.size() < 2 || parts.size() > 3) return std::nullopt;
    double xyz[3] = {0, 0, 0};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        bool ok = false;
        xyz[i] = parts[i].trimmed().toDouble(&ok);
        if (!ok) return std::nullopt;
    }
    return CadPoint{xyz[0], xyz[1], xyz[2]};
}

QString Number(double value) { return QString::number(value, 'f', 4); }

}  // namespace

CompanionWindow::CompanionWindow(CadDrawing& drawing, QString drawing_path, QWidget* parent)
    : QMainWindow(parent), drawing_(drawing), drawing_path_(std::move(drawing_path)) {
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    view_ = new DrawingView(drawing_, central);
    layout->addWidget(view_, 1);

    history_ = new QPlainTextEdit(central);
    history_->setReadOnly(true);
    history_->setMaximumBlockCount(500);
    history_->setFixedHeight(4 * history_->fontMetrics().lineSpacing() + 10);
    history_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(history_);

    auto* line = new QWidget(central);
    auto* line_layout = new QHBoxLayout(line);
    line_layout->setContentsMargins(4, 2, 4, 2);
    prompt_ = new QLabel(kIdlePrompt, line);
    input_ = new QLineEdit(line);
    line_layout->addWidget(prompt_);
    line_layout->addWidget(input_, 1);
    layout->addWidget(line);
    setCentralWidget(central);

    coordinates_ = new QLabel(this);
    statusBar()->addPermanentWidget(coordinates_);

    QMenu* file = menuBar()->addMenu("文件(&F)");
    file->addAction("打开(&O)...", QKeySequence::Open, this, &CompanionWindow::Open);
    file->addAction("保存(&S)", QKeySequence::Save, this, [this] { SaveTo(QString()); });
    file->addAction("另存为(&A)...", QKeySequence::SaveAs, this, &CompanionWindow::SaveAs);
    file->addSeparator();
    file->addAction("退出(&X)", QKeySequence::Quit, this, &QWidget::close);
    QMenu* view = menuBar()->addMenu("视图(&V)");
    view->addAction("全图(&E)", QKeySequence(Qt::Key_F5), view_, &DrawingView::ZoomExtents);

    // Esc cancels the prompt wherever the focus is.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &CompanionWindow::Cancel);
    connect(input_, &QLineEdit::returnPressed, this, &CompanionWindow::OnEnter);
    connect(view_, &DrawingView::PointPicked, this, &CompanionWindow::OnPicked);
    connect(view_, &DrawingView::CursorMoved, this,
            [this](double x, double y) { coordinates_->setText(Number(x) + ", " + Number(y)); });

    resize(1000, 700);
    UpdateTitle();
    Log("coordconv-cad: 滚轮缩放，中键拖动平移；取点时单击或输入 x,y，Esc 取消。");
    input_->setFocus();
}

void CompanionWindow::Log(const QString& line) { history_->appendPlainText(line); }

void CompanionWindow::ReportSkipped() {
    for (const auto& [type, count] : drawing_.skipped)
        Log(QString("未保留 %1 个 %2 实体（本程序不支持该类型，另存时不会写出）").arg(count).arg(QString::fromStdString(type)));
}

void CompanionWindow::UpdateTitle() {
    const QString name = drawing_path_.isEmpty() ? QString("未命名.dxf") : QFileInfo(drawing_path_).fileName();
    setWindowTitle(QString("coordconv-cad - %1%2").arg(name, modified_ ? " *" : ""));
}

void CompanionWindow::RequestPoint(const QString& prompt, std::optional<CadPoint> base,
                                   std::function<void(std::optional<CadPoint>)> done) {
    point_done_ = std::move(done);
    base_ = base;
    prompt_->setText(prompt);
    view_->BeginPick(base);
    input_->setFocus();
}

void CompanionWindow::RequestString(const QString& prompt, bool allow_blanks,
                                    std::function<void(std::optional<QString>)> done) {
    string_done_ = std::move(done);
    allow_blanks_ = allow_blanks;
    prompt_->setText(prompt);
    input_->setFocus();
}

void CompanionWindow::DrawingChanged() {
    modified_ = true;
    UpdateTitle();
    view_->update();
}

void CompanionWindow::SetVisible(bool visible) {
    if (!visible) return;  // the program stays on screen for its user
    show();
    raise();
    activateWindow();
}

void CompanionWindow::Abort() {
    if (point_done_ || string_done_) Log(prompt_->text() + " *客户端已断开*");
    FinishPoint(std::nullopt);
    FinishString(std::nullopt);
}

void CompanionWindow::FinishPoint(std::optional<CadPoint> point) {
    if (!point_done_) return;
    auto done = std::move(point_done_);
    point_done_ = nullptr;
    view_->EndPick();
    prompt_->setText(kIdlePrompt);
    done(point);
}

void CompanionWindow::FinishString(std::optional<QString> text) {
    if (!string_done_) return;
    auto done = std::move(string_done_);
    string_done_ = nullptr;
    prompt_->setText(kIdlePrompt);
    done(text);
}

void CompanionWindow::OnPicked(double x, double y) {
    if (!point_done_) return;
    Log(prompt_->text() + " " + Number(x) + "," + Number(y));
    FinishPoint(CadPoint{x, y, 0});
}

void CompanionWindow::OnEnter() {
    QString text = input_->text();
    input_->clear();
    if (point_done_) {
        const std::optional<CadPoint> point = TypedPoint(text);
        if (!point) {
            Log(prompt_->text() + " " + text + "   需要点坐标 x,y 或在图上单击");
            return;
        }
        Log(prompt_->text() + " " + text);
        FinishPoint(point);
        return;
    }
    if (string_done_) {
        // Without blanks allowed, a blank ends the answer as Enter does.
        if (!allow_blanks_) text = text.section(' ', 0, 0);
        Log(prompt_->text() + " " + text);
        FinishString(text);
        return;
    }
    RunCommand(text.trimmed());
}

void CompanionWindow::RunCommand(const QString& command) {
    if (command.isEmpty()) return;
    Log(QString(kIdlePrompt) + " " + command);
    const QStringList words = command.split(' ', Qt::SkipEmptyParts);
    const QString name = words[0].toUpper();
    if (name == "Z" || name == "ZOOM") {
        view_->ZoomExtents();
    } else if (name == "LTSCALE" && words.size() == 2) {
        bool ok = false;
        const double value = words[1].toDouble(&ok);
        if (!ok || value <= 0) {
            Log("LTSCALE 需要一个正数");
            return;
        }
        drawing_.variables["LTSCALE"] = {value, 40};
        DrawingChanged();
    } else if (name == "LTSCALE") {
        Log("LTSCALE = " + QString::number(std::get<double>(drawing_.variables["LTSCALE"].value)));
    } else {
        Log("未知命令。可用: ZOOM, LTSCALE [值]");
    }
}

void CompanionWindow::Cancel() {
    if (point_done_ || string_done_) {
        Log(prompt_->text() + " *取消*");
        FinishPoint(std::nullopt);
        FinishString(std::nullopt);
    }
    input_->clear();
}

bool CompanionWindow::SaveTo(const QString& path) {
    const QString target = path.isEmpty() ? drawing_path_ : path;
    if (target.isEmpty()) {
        SaveAs();
        return !modified_;
    }
    try {
        SaveDxf(drawing_, target.toStdString());
    } catch (const CommandError& error) {
        QMessageBox::warning(this, "coordconv-cad", QString::fromStdString(error.what()));
        return false;
    }
    drawing_path_ = target;
    modified_ = false;
    UpdateTitle();
    Log("已保存 " + target);
    return true;
}

void CompanionWindow::SaveAs() {
    const QString path = QFileDialog::getSaveFileName(this, "另存为", drawing_path_, "DXF 图形 (*.dxf)");
    if (path.isEmpty()) return;
    SaveTo(path.endsWith(".dxf", Qt::CaseInsensitive) ? path : path + ".dxf");
}

void CompanionWindow::Open() {
    if (point_done_ || string_done_) {
        Log("正在等待输入，先完成或按 Esc 取消");
        return;
    }
    const QString path = QFileDialog::getOpenFileName(this, "打开", drawing_path_, "DXF 图形 (*.dxf)");
    if (path.isEmpty()) return;
    try {
        drawing_ = LoadDxf(path.toStdString());
    } catch (const CommandError& error) {
        QMessageBox::warning(this, "coordconv-cad", QString::fromStdString(error.what()));
        return;
    }
    drawing_path_ = path;
    modified_ = false;
    UpdateTitle();
    ReportSkipped();
    view_->ZoomExtents();
}

void CompanionWindow::closeEvent(QCloseEvent* event) {
    if (modified_) {
        const auto answer = QMessageBox::question(this, "coordconv-cad", "图形已修改，保存吗?",
                                                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        if (answer == QMessageBox::Cancel || (answer == QMessageBox::Yes && !SaveTo(QString()))) {
            event->ignore();
            return;
        }
    }
    Abort();
    event->accept();
}

}  // namespace coordconv::companion
