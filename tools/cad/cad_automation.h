// Late-bound automation of a running CAD program: the few members of the
// application, drawing, input utility and model space that the map sheet tool
// and the two annotation commands call.
//
// One interface, two ways to reach the drawing:
//   - on Windows, the running AutoCAD's COM automation server ("AutoCAD.Application"),
//     called member by member through IDispatch (cad_automation_com.cpp);
//   - elsewhere, the companion program coordconv-cad over a local socket
//     (cad_companion_client.cpp).
//
// Objects are opaque handles valid for the lifetime of the CadAutomation that
// returned them. Coordinates are drawing units in doubles: that is what both
// servers store and pass back. Texts are UTF-8.
//
// Every failing call throws CadError with the text the CAD program reported
// (for a cancelled pick, the companion reports "*取消*"). Pure C++: no Qt, so
// the COM side compiles with any Windows compiler.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "core/errors.h"

namespace coordconv {

// The three-double array AutoCAD takes and returns for a point.
struct CadPoint {
    double x = 0;
    double y = 0;
    double z = 0;
};

// A handle of an automation object (drawing, model space, utility, entity).
struct CadObject {
    std::uint32_t id = 0;
};

// A drawing variable's value: AutoCAD answers numbers as integers or reals,
// and some variables as text.
using CadValue = std::variant<std::int32_t, double, std::string>;

class CadError : public CommandError {
public:
    using CommandError::CommandError;
};

class CadAutomation {
public:
    virtual ~CadAutomation() = default;

    // Application.Visible = visible.
    virtual void SetVisible(bool visible) = 0;
    // Application.ActiveDocument: the current drawing; fails when none is open.
    virtual CadObject ActiveDocument() = 0;
    // Document.ModelSpace and Document.Utility.
    virtual CadObject ModelSpace(CadObject document) = 0;
    virtual CadObject Utility(CadObject document) = 0;
    // Document.GetVariable(name), for instance "LtScale".
    virtual CadValue GetVariable(CadObject document, const std::string& name) = 0;

    // Utility.GetString(allow_blanks, prompt): the text typed at the command line.
    virtual std::string GetString(CadObject utility, bool allow_blanks, const std::string& prompt) = 0;
    // Utility.GetPoint(, prompt): a point picked in the drawing.
    virtual CadPoint GetPoint(CadObject utility, const std::string& prompt) = 0;
    // Utility.GetPoint(base, prompt): the same with a rubber-band line from `base`.
    virtual CadPoint GetPoint(CadObject utility, const CadPoint& base, const std::string& prompt) = 0;

    // ModelSpace.AddHatch(pattern_type, pattern_name, associative): an empty hatch.
    virtual CadObject AddHatch(CadObject model_space, int pattern_type, const std::string& pattern_name,
                               bool associative) = 0;
    // ModelSpace.AddCircle(centre, radius).
    virtual CadObject AddCircle(CadObject model_space, const CadPoint& centre, double radius) = 0;
    // Hatch.AppendOuterLoop(objects): the objects become the hatch's filled boundary.
    virtual void AppendOuterLoop(CadObject hatch, const std::vector<CadObject>& loop) = 0;
    // ModelSpace.AddLightWeightPolyLine(x0, y0, x1, y1, ...): an open polyline.
    virtual CadObject AddLightWeightPolyLine(CadObject model_space, const std::vector<double>& vertices) = 0;
    // ModelSpace.AddLine(start, end).
    virtual CadObject AddLine(CadObject model_space, const CadPoint& start, const CadPoint& end) = 0;
    // Entity.Update: redraws the entity.
    virtual void Update(CadObject entity) = 0;
    // ModelSpace.AddText(text, insertion, height): left-aligned on its baseline.
    virtual CadObject AddText(CadObject model_space, const std::string& text, const CadPoint& insertion,
                              double height) = 0;
};

// How a command reaches the CAD program: the running instance, or nullptr
// when none runs. The application passes AttachToRunningCad
// (cadlink/attach_running_cad.h); tests pass their own.
using CadAttach = std::function<std::unique_ptr<CadAutomation>()>;

// The message every CAD command shows when attaching fails.
inline constexpr const char* kCadNotRunningText = "AutoCAD尚未打开！";

// A drawing variable as a number, the way a numeric expression takes it:
// text is read as a number, and text that is none fails.
long double CadValueToNumber(const CadValue& value);

}  // namespace coordconv
