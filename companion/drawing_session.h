// The automation object model of coordconv-cad: carries out the calls of
// one request on the open drawing. Handles: 1 the drawing, 2 its model space,
// 3 its input utility, 1000 + i the i-th entity of the drawing.
//
// Picks and typed answers are asked from an InputSource, which answers later
// (the user at the window, or the script); every other call answers at once.
#pragma once

#include <QJsonObject>
#include <QString>
#include <functional>
#include <optional>

#include "companion/cad_drawing.h"

namespace coordconv::companion {

inline constexpr const char* kCancelText = "*取消*";

class InputSource {
public:
    virtual ~InputSource() = default;
    // Ask for a point (with a rubber-band line from `base` when given);
    // `done` gets the point, or nothing when the user cancels.
    virtual void RequestPoint(const QString& prompt, std::optional<CadPoint> base,
                              std::function<void(std::optional<CadPoint>)> done) = 0;
    // Ask for a line of text; `done` gets it, or nothing when cancelled.
    virtual void RequestString(const QString& prompt, bool allow_blanks,
                               std::function<void(std::optional<QString>)> done) = 0;
    // The drawing changed: redraw.
    virtual void DrawingChanged() = 0;
    // Application.Visible was set.
    virtual void SetVisible(bool visible) = 0;
    // The client of the pending request left: withdraw the prompt (its
    // `done` is called with nothing).
    virtual void Abort() = 0;
};

class DrawingSession {
public:
    DrawingSession(CadDrawing& drawing, InputSource& input) : drawing_(drawing), input_(input) {}

    // Carries out one request; `reply` gets the reply message, at once or
    // after the user answered.
    void Handle(const QJsonObject& request, std::function<void(QJsonObject)> reply);
    void AbortInput() { input_.Abort(); }

    static constexpr std::uint32_t kDocument = 1;
    static constexpr std::uint32_t kModelSpace = 2;
    static constexpr std::uint32_t kUtility = 3;
    static constexpr std::uint32_t kFirstEntity = 1000;

private:
    QJsonObject Immediate(const QString& call, const QJsonObject& request);
    DrawingEntity& Entity(const QJsonObject& request);
    std::uint32_t Add(EntityShape shape);

    CadDrawing& drawing_;
    InputSource& input_;
};

}  // namespace coordconv::companion
