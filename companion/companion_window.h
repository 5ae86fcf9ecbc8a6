// The main window of coordconv-cad: the drawing, a command line at its foot
// (history, prompt and an input box) and the file menu. It answers picks and
// typed texts for the automation clients: a click or typed "x,y[,z]" gives a
// point, Enter gives the typed text, Esc cancels.
#pragma once

#include <QMainWindow>
#include <functional>
#include <optional>

#include "companion/cad_drawing.h"
#include "companion/drawing_session.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace coordconv::companion {

class DrawingView;

class CompanionWindow : public QMainWindow, public InputSource {
    Q_OBJECT
public:
    CompanionWindow(CadDrawing& drawing, QString drawing_path, QWidget* parent = nullptr);

    // A line in the command history.
    void Log(const QString& line);
    DrawingView& View() { return *view_; }
    QString DrawingPath() const { return drawing_path_; }
    // Saves to `path` (the drawing's own path when empty); false after telling the user.
    bool SaveTo(const QString& path);
    // Reports the entities of an opened file that are not kept.
    void ReportSkipped();

    // InputSource: asks the user at the command line.
    void RequestPoint(const QString& prompt, std::optional<CadPoint> base,
                      std::function<void(std::optional<CadPoint>)> done) override;
    void RequestString(const QString& prompt, bool allow_blanks,
                       std::function<void(std::optional<QString>)> done) override;
    void DrawingChanged() override;
    void SetVisible(bool visible) override;
    void Abort() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
public:
    // Esc: the pending pick or typed answer is cancelled.
    void Cancel();

private:
    void OnEnter();
    void OnPicked(double x, double y);
    void FinishPoint(std::optional<CadPoint> point);
    void FinishString(std::optional<QString> text);
    void RunCommand(const QString& command);
    void Open();
    void SaveAs();
    void UpdateTitle();

    CadDrawing& drawing_;
    QString drawing_path_;
    bool modified_ = false;
    DrawingView* view_;
    QPlainTextEdit* history_;
    QLabel* prompt_;
    QLineEdit* input_;
    QLabel* coordinates_;
    std::function<void(std::optional<CadPoint>)> point_done_;
    std::function<void(std::optional<QString>)> string_done_;
    bool allow_blanks_ = true;
    std::optional<CadPoint> base_;
};

}  // namespace coordconv::companion
