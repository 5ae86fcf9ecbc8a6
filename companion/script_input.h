// Scripted answers for coordconv-cad, so that a whole annotation runs
// without a person: each pick or typed answer takes the next line of the
// script file.
//
//   pick X Y [Z]     a point (GetPoint)
//   answer [TEXT]    a typed text (GetString); the rest of the line after one blank
//   cancel           Esc: the pick or typed answer is cancelled
//   # ...            a comment; blank lines are skipped
//
// When the script is used up, every further request is cancelled. A line of
// the wrong kind (an answer where a pick is asked) fails that request with a
// message naming the line.
#pragma once

#include <QString>
#include <QStringList>

#include "companion/drawing_session.h"

namespace coordconv::companion {

class CompanionWindow;

class ScriptInput : public InputSource {
public:
    // Reads the script; false with `error` set when the file cannot be read
    // or holds a line that is none of the above.
    bool Load(const QString& path, QString& error);
    // The window that shows what the script answers (may stay null).
    void SetWindow(CompanionWindow* window) { window_ = window; }
    // Lines not used by the end of the run.
    int Unused() const { return static_cast<int>(lines_.size() - next_); }

    void RequestPoint(const QString& prompt, std::optional<CadPoint> base,
                      std::function<void(std::optional<CadPoint>)> done) override;
    void RequestString(const QString& prompt, bool allow_blanks,
                       std::function<void(std::optional<QString>)> done) override;
    void DrawingChanged() override;
    void SetVisible(bool) override {}
    void Abort() override {}

private:
    struct Line {
        int number;
        QString kind;  // "pick", "answer", "cancel"
        CadPoint point;
        QString text;
    };
    void Log(const QString& text);
    // The next line answering `prompt` when it is of `kind`; null (logged as
    // a cancel) when the script is used up or the line is "cancel". A line of
    // another kind is logged and fails the request with CadError.
    const Line* Next(const QString& prompt, const QString& kind);

    std::vector<Line> lines_;
    std::size_t next_ = 0;
    CompanionWindow* window_ = nullptr;
};

}  // namespace coordconv::companion
