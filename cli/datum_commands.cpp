// coordconv-cli tools of the datum models: bursa-wolf (the Bursa-Wolf
// similarity), seven-3d and seven-2d (the differential seven-parameter
// formulas) and four-3d (three translations and a rotation about the region
// centre).
#include <iostream>

#include "cli/drawing_commands.h"
#include "cli/tools.h"
#include "tools/datum/bursa_wolf.h"
#include "fitting/common_points.h"
#include "tools/datum/datum_settings.h"
#include "tools/datum/four_3d.h"
#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"
#include "tools/datum/seven_parameter_models.h"

namespace coordconv::cli {
namespace {

CoordinateForm ReadForm(const Arguments& args, const std::string& option) {
    const std::string text = args.Get(option, "plane");
    if (text == "plane") return CoordinateForm::Plane;
    if (text == "geodetic") return CoordinateForm::Geodetic;
    throw UsageError("--" + option + " takes plane or geodetic, not '" + text + "'");
}

// Both sides' settings. The target central meridian follows the source one
// unless --cm2 is given.
DatumFields ReadDatumFields(const Arguments& args) {
    DatumFields fields;
    const EllipsoidTexts source = ReadEllipsoidOptions(args, kDatumSourcePresetIndex);
    const EllipsoidTexts target = ReadEllipsoidOptions(args, kDatumTargetPresetIndex, "2");
    fields.a1 = source.a;
    fields.inverse_flattening1 = source.inverse_flattening;
    fields.central_meridian1 = args.Get("cm", fields.central_meridian1);
    fields.y_constant1 = args.Get("yconst", fields.y_constant1);
    fields.form1 = ReadForm(args, "form");
    fields.a2 = target.a;
    fields.inverse_flattening2 = target.inverse_flattening;
    fields.central_meridian2 = args.Get("cm2", fields.central_meridian1);
    fields.y_constant2 = args.Get("yconst2", fields.y_constant2);
    fields.form2 = ReadForm(args, "form2");
    return fields;
}

// The parameter texts: "导入参数" of --params, or the initial "0"s.
std::vector<std::string> ReadParameterLines(const Arguments& args, int count) {
    if (!args.Has("params")) return {};
    return LoadParameterFile(args.Get("params", ""), args.encoding, count);
}

// "文件导入" of the common-point table from -i.
PointTable ImportGrid(const Arguments& args, const CommonPointLayout& layout, const DatumFields& fields) {
    PointTable grid = NewCommonPointGrid(
        layout, CommonPointTitles(fields.form1 == CoordinateForm::Geodetic, fields.form2 == CoordinateForm::Geodetic));
    ImportCommonPointInput(args, layout, grid);
    return grid;
}

// convert, solve or (for a model with an export) proj of a model whose
// parameters are the seven Tx, Ty, Tz, Rx, Ry, Rz, D (Bursa-Wolf, the 3D and the 2D
// seven-parameter models).
int RunSevenParameterModel(const Arguments& args, const SevenParameterModel& model) {
    const DatumFields settings = ReadDatumFields(args);
    const std::vector<std::string> parameters = args.Has("params")
                                                    ? ReadParameterLines(args, model.parameter_count)
                                                    : std::vector<std::string>(model.parameter_count, "0");
    if (*args.command == "convert" && ConvertsDrawing(args))
        return RunDrawingConversion(args, model.point_conversion(settings, parameters));
    if (*args.command == "convert")
        return RunRowConversion(args, model.conversion(settings, parameters), FieldSplit::Fitting, 4,
                                model.saved_result_columns);
    if (*args.command == "proj") return WriteExport(args, model.proj_export(settings, parameters));
    const CommonPointLayout layout = model.layout();
    PointTable grid = ImportGrid(args, layout, settings);
    const FitResult<std::vector<std::string>> fit = model.solve(settings, parameters, grid);
    FinishSolve(args, layout, grid, fit.fields, fit.outcome);
    return 0;
}

int RunFour3d(const Arguments& args) {
    const DatumFields settings = ReadDatumFields(args);
    FourParameterFields parameters;
    if (args.Has("params")) parameters = FourParameterFieldsFromLines(ReadParameterLines(args, kFour3dParameterCount));
    if (*args.command == "convert" && ConvertsDrawing(args))
        return RunDrawingConversion(args, Four3dPointConversion(settings, parameters));
    if (*args.command == "convert")
        return RunRowConversion(args, Four3dConversion(settings, parameters), FieldSplit::Fitting, 4, 4);
    const CommonPointLayout layout = Four3dLayout();
    PointTable grid = ImportGrid(args, layout, settings);
    if (*args.command == "centre") {
        const RegionCentreTexts centre = ComputeRegionCentre(settings, grid);
        WriteBoxTexts(args, {centre.b0, centre.l0});
        return 0;
    }
    const FitResult<FourParameterFields> fit = SolveFour3d(settings, parameters, grid);
    FinishSolve(args, layout, grid, FourParameterLines(fit.fields), fit.outcome);
    return 0;
}

std::vector<OptionHelp> DatumOptionHelp(const std::string& parameter_file) {
    std::vector<OptionHelp> options = EllipsoidOptionHelp();
    options.push_back({"cm", "TEXT  central meridian of the source zone, ddd.mmss (default 0)"});
    options.push_back({"yconst", "TEXT  false easting of the source zone in metres, without zone number (default 500000)"});
    options.push_back({"form", "plane|geodetic  source coordinates as plane x,y or as latitude, longitude ddd.mmss (default plane)"});
    for (const OptionHelp& option : EllipsoidOptionHelp("2")) options.push_back(option);
    options.push_back({"cm2", "TEXT  central meridian of the target zone, ddd.mmss (default: that of --cm)"});
    options.push_back({"yconst2", "TEXT  false easting of the target zone in metres (default 500000)"});
    options.push_back({"form2", "plane|geodetic  target coordinates as plane x,y or as latitude, longitude ddd.mmss (default plane)"});
    options.push_back({"params", "FILE  parameter file (" + parameter_file + ", one per line) as \"导入参数\" reads it"});
    return WithDrawingOptions(WithSolveOutputs(options));
}

}  // namespace

std::vector<Tool> DatumTools() {
    return {
        {"bursa-wolf",
         "椭球变换--布尔沙模型: solve Tx, Ty, Tz, Rx, Ry, Rz, D from common points; convert name,x|B,y|L,H; "
         "proj: the conversion as a PROJ pipeline",
         {"solve", "convert", "proj"},
         DatumOptionHelp("Tx, Ty, Tz, Rx(\"), Ry(\"), Rz(\"), D"),
         [](const Arguments& args) { return RunSevenParameterModel(args, kBursaWolfModel); }},
        {"seven-3d",
         "椭球变换--三维七参数模型: solve the seven parameters of the differential formulas; convert",
         {"solve", "convert"},
         DatumOptionHelp("Tx, Ty, Tz, Rx(\"), Ry(\"), Rz(\"), D"),
         [](const Arguments& args) { return RunSevenParameterModel(args, kSeven3dModel); }},
        {"seven-2d",
         "椭球变换--二维七参数模型: solve the seven parameters and dH; convert name,x|B,y|L,H to name,x|B,y|L",
         {"solve", "convert"},
         DatumOptionHelp("Tx, Ty, Tz, Rx(\"), Ry(\"), Rz(\"), D, dH"),
         [](const Arguments& args) { return RunSevenParameterModel(args, kSeven2dModel); }},
        {"four-3d",
         "椭球变换--三维四参数模型: solve Tx, Ty, Tz, R about the region centre; convert; centre",
         {"solve", "convert", "centre"},
         DatumOptionHelp("Tx, Ty, Tz, R(\"), B0, L0"),
         RunFour3d},
    };
}

}  // namespace coordconv::cli
