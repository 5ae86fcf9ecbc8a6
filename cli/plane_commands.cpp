// coordconv-cli tools of the plane models: plane-four (the plane similarity)
// and polynomial (polynomial corrections of the first to third order).
#include "cli/drawing_commands.h"
#include "cli/tools.h"
#include "fitting/common_points.h"
#include "tools/plane/plane_four.h"
#include "tools/plane/plane_proj.h"
#include "tools/plane/polynomial.h"

namespace coordconv::cli {
namespace {

// "文件导入" of the common-point table from -i.
PointTable ImportGrid(const Arguments& args, const CommonPointLayout& layout, std::vector<std::string> titles) {
    PointTable grid = NewCommonPointGrid(layout, std::move(titles));
    ImportCommonPointInput(args, layout, grid);
    return grid;
}

// plane-four

PlaneFourFields ReadPlaneFourFields(const Arguments& args) {
    if (!args.Has("params")) return PlaneFourFields{};
    return PlaneFourFieldsFromLines(LoadParameterFile(args.Get("params", ""), args.encoding, kPlaneFourParameterCount));
}

int RunPlaneFour(const Arguments& args) {
    PlaneFourFields fields = ReadPlaneFourFields(args);
    if (*args.command == "convert" && ConvertsDrawing(args))
        return RunDrawingConversion(args, PlaneFourPointConversion(fields));
    if (*args.command == "convert")
        return RunRowConversion(args, PlaneFourConversion(fields), FieldSplit::Fitting, 4, 4);
    if (*args.command == "proj") return WriteExport(args, PlaneFourProjExport(fields));
    const CommonPointLayout layout = PlaneFourLayout();
    PointTable grid = ImportGrid(args, layout, PlaneFourCommonPointTitles());
    const FitResult<PlaneFourFields> fit = SolvePlaneFour(fields, grid);
    FinishSolve(args, layout, grid, PlaneFourParameterLines(fit.fields), fit.outcome);
    return 0;
}

// polynomial

PolynomialFields ReadPolynomialFields(const Arguments& args) {
    PolynomialFields fields;
    const std::string order = args.Get("order", "1");
    if (order != "1" && order != "2" && order != "3") throw UsageError("--order takes 1, 2 or 3, not '" + order + "'");
    fields.order_index = order[0] - '1';
    const std::string form = args.Get("form", "plane");
    if (form == "plane") {
        fields.form = PolynomialForm::Plane;
    } else if (form == "ellipsoid") {
        fields.form = PolynomialForm::Ellipsoid;
    } else {
        throw UsageError("--form takes plane or ellipsoid, not '" + form + "'");
    }
    fields.height_shift = args.Get("dh", fields.height_shift);
    return fields;
}

int RunPolynomial(const Arguments& args) {
    PolynomialFields fields = ReadPolynomialFields(args);
    CoefficientTable coefficients = NewPolynomialCoefficientTable(fields.order_index);
    if (args.Has("params")) LoadCoefficientFile(args.Get("params", ""), args.encoding, coefficients);
    if (*args.command == "convert" && ConvertsDrawing(args))
        return RunDrawingConversion(args, PolynomialPointConversion(fields, coefficients));
    if (*args.command == "convert")
        return RunRowConversion(args, PolynomialConversion(fields, coefficients), FieldSplit::Fitting, 4, 4);
    if (*args.command == "proj") return WriteExport(args, PolynomialProjExport(fields, coefficients));
    const CommonPointLayout layout = PolynomialLayout(fields.form);
    PointTable grid = ImportGrid(args, layout, PolynomialCommonPointTitles(fields.form));
    const FitResult<PolynomialParameters> fit = SolvePolynomial(fields, coefficients, grid);
    FinishSolve(args, layout, grid, fit.fields.coefficients.FileLines(), fit.outcome);
    return 0;
}

}  // namespace

std::vector<Tool> PlaneTools() {
    return {
        {"plane-four",
         "平面坐标转换--二维四参数模型: solve dx, dy, R, m, dH from common points; convert name,x,y,H; "
         "proj: the conversion as a PROJ pipeline",
         {"solve", "convert", "proj"},
         WithDrawingOptions(WithSolveOutputs({{"params", "FILE  parameter file (dx, dy, R(\"), m, dH, one per line) as \"导入参数\" reads it"}})),
         RunPlaneFour},
        {"polynomial",
         "坐标转换--二维多项式拟合模型: solve coefficients from common points; convert name,p,q,H; "
         "proj: the plane form's conversion as a PROJ pipeline",
         {"solve", "convert", "proj"},
         WithDrawingOptions(WithSolveOutputs({{"order", "1|2|3  polynomial order (default 1)"},
                           {"form", "plane|ellipsoid  fit to x, y or to B, L (ddd.mmss) (default plane)"},
                           {"dh", "TEXT  height shift dH in metres (default 0)"},
                           {"params", "FILE  coefficient file (label,value lines) as \"导入参数\" reads it"}})),
         RunPolynomial},
    };
}

}  // namespace coordconv::cli
