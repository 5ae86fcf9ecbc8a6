// coordconv-cli tools of height fitting: height-fit (a surface of the height anomaly).
#include "cli/drawing_commands.h"
#include "cli/tools.h"
#include "fitting/common_points.h"
#include "tools/height/height_fit.h"

namespace coordconv::cli {
namespace {

int ReadSurfaceModel(const Arguments& args) {
    const std::string model = args.Get("model", "0");
    if (model != "0" && model != "1" && model != "2") throw UsageError("--model takes 0, 1 or 2, not '" + model + "'");
    return model[0] - '0';
}

int RunHeightFit(const Arguments& args) {
    const int model_index = ReadSurfaceModel(args);
    CoefficientTable coefficients = NewHeightFitCoefficientTable(model_index);
    if (args.Has("params")) LoadCoefficientFile(args.Get("params", ""), args.encoding, coefficients);
    if (*args.command == "convert" && ConvertsDrawing(args))
        return RunDrawingConversion(args, HeightFitPointConversion(model_index, coefficients));
    if (*args.command == "convert")
        return RunRowConversion(args, HeightFitConversion(model_index, coefficients), FieldSplit::Fitting, 4, 4);
    const CommonPointLayout layout = HeightFitLayout();
    PointTable grid = NewCommonPointGrid(layout, HeightFitCommonPointTitles());
    ImportCommonPointInput(args, layout, grid);
    const FitResult<CoefficientTable> fit = SolveHeightFit(model_index, coefficients, grid);
    FinishSolve(args, layout, grid, fit.fields.FileLines(), fit.outcome);
    return 0;
}

}  // namespace

std::vector<Tool> HeightTools() {
    return {
        {"height-fit",
         "GPS高程拟合: solve a height surface from common points name,x,y,Hg,Hl; convert name,x,y,Hg to levelling heights",
         {"solve", "convert"},
         WithDrawingOptions(
             WithSolveOutputs({{"model", "0|1|2  平面拟合(3参), 平面相关拟合(4参), 二次曲面拟合(6参) (default 0)"},
                               {"params", "FILE  coefficient file (label,value lines) as \"导入参数\" reads it"}})),
         RunHeightFit},
    };
}

}  // namespace coordconv::cli
