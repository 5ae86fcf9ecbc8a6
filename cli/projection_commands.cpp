// coordconv-cli tools of the projection windows.
#include <iostream>

#include "cli/drawing_commands.h"
#include "cli/tools.h"
#include "tools/projection/compensation_tools.h"
#include "tools/projection/gauss_tools.h"
#include "tools/projection/projection_point_conversions.h"
#include "tools/projection/utm_tools.h"
#include "tools/projection/zone_change_tools.h"

namespace coordconv::cli {
namespace {

std::vector<OptionHelp> GaussOptionHelp() {
    std::vector<OptionHelp> options = EllipsoidOptionHelp();
    options.push_back({"cm", "TEXT  central meridian, ddd.mmss (default 0)"});
    options.push_back({"yconst", "TEXT  Y constant (false easting) in metres (default 500000)"});
    return options;
}

// The boxes the Gauss, UTM and zone-change windows share: the ellipsoid (the
// window's initial preset `system_index`), --cm and --yconst; the other
// fields keep their initial texts.
template <typename Fields>
Fields ReadMeridianFields(const Arguments& args, int system_index) {
    const EllipsoidTexts ellipsoid = ReadEllipsoidOptions(args, system_index);
    Fields fields;
    fields.a = ellipsoid.a;
    fields.inverse_flattening = ellipsoid.inverse_flattening;
    fields.central_meridian = args.Get("cm", fields.central_meridian);
    fields.y_constant = args.Get("yconst", fields.y_constant);
    return fields;
}

GaussFields ReadGaussFields(const Arguments& args) { return ReadMeridianFields<GaussFields>(args, 0); }

std::vector<OptionHelp> UtmOptionHelp() {
    std::vector<OptionHelp> options = GaussOptionHelp();
    options[0].help += " (default 3)";
    options.push_back({"xconst", "TEXT  X constant (false northing) in metres, 10000000 south of the equator (default 0)"});
    return options;
}

UtmFields ReadUtmFields(const Arguments& args) {
    UtmFields fields = ReadMeridianFields<UtmFields>(args, kUtmInitialSystemIndex);
    fields.x_constant = args.Get("xconst", fields.x_constant);
    return fields;
}

std::vector<OptionHelp> ZoneChangeOptionHelp() {
    std::vector<OptionHelp> options = EllipsoidOptionHelp();
    options.push_back({"cm", "TEXT  central meridian of the old zone, ddd.mmss (default 0)"});
    options.push_back({"yconst", "TEXT  Y constant of the old zone in metres (default 500000)"});
    options.push_back({"cm2", "TEXT  central meridian of the new zone, ddd.mmss (default 0)"});
    options.push_back({"yconst2", "TEXT  Y constant of the new zone in metres, may carry a zone number (default 500000)"});
    return options;
}

ZoneChangeFields ReadZoneChangeFields(const Arguments& args) {
    ZoneChangeFields fields = ReadMeridianFields<ZoneChangeFields>(args, kZoneChangeInitialSystemIndex);
    fields.new_central_meridian = args.Get("cm2", fields.new_central_meridian);
    fields.new_y_constant = args.Get("yconst2", fields.new_y_constant);
    return fields;
}

std::vector<OptionHelp> CompensationOptionHelp() {
    std::vector<OptionHelp> options = EllipsoidOptionHelp();
    options[1].help = "TEXT  semi-major axis a1 of the source ellipsoid (m)";
    options[2].help = "TEXT  inverse flattening 1/f of both ellipsoids";
    options.push_back({"yconst", "TEXT  Y constant (false easting) in metres (default 500000)"});
    options.push_back({"mean-lat", "TEXT  mean latitude of the survey area, ddd.mmss (default 0)"});
    options.push_back({"mean-h", "TEXT  mean geodetic height in metres (default 0)"});
    options.push_back({"mean-y", "TEXT  mean distance from the central meridian in metres (default 0)"});
    options.push_back({"plane-h", "TEXT  geodetic height of the compensation plane in metres, read by axis (default 0)"});
    options.push_back({"a2", "TEXT  semi-major axis of the new ellipsoid in metres, read by convert (default empty, reads 0)"});
    return options;
}

CompensationFields ReadCompensationFields(const Arguments& args) {
    const EllipsoidTexts ellipsoid = ReadEllipsoidOptions(args, kCompensationInitialSystemIndex);
    CompensationFields fields;
    fields.a1 = ellipsoid.a;
    fields.inverse_flattening = ellipsoid.inverse_flattening;
    fields.y_constant = args.Get("yconst", fields.y_constant);
    fields.mean_latitude = args.Get("mean-lat", fields.mean_latitude);
    fields.mean_height = args.Get("mean-h", fields.mean_height);
    fields.mean_distance = args.Get("mean-y", fields.mean_distance);
    fields.plane_height = args.Get("plane-h", fields.plane_height);
    fields.a2 = args.Get("a2", fields.a2);
    return fields;
}

// plane and axis give the texts of their boxes; they read no file.
void RequireNoInput(const Arguments& args) {
    if (args.input != "-") throw UsageError("compensation " + *args.command + " reads no file; -i belongs to convert");
}

int RunCompensation(const Arguments& args) {
    const CompensationFields fields = ReadCompensationFields(args);
    if (*args.command == "plane") {
        RequireNoInput(args);
        const CompensationPlaneTexts texts = ComputeCompensationPlaneTexts(fields);
        WriteBoxTexts(args, {texts.deformation, texts.height});
        return 0;
    }
    if (*args.command == "axis") {
        RequireNoInput(args);
        WriteBoxTexts(args, {ComputeNewSemiMajorAxisText(fields)});
        return 0;
    }
    if (ConvertsDrawing(args)) return RunDrawingConversion(args, CompensationPointConversion(fields));
    return RunRowConversion(args, CompensationConversion(fields), FieldSplit::Projection, 3, 3);
}

}  // namespace

std::vector<Tool> ProjectionTools() {
    return {
        {"gauss-forward", "高斯投影正算: name,B,L (ddd.mmss) to name,x,y (m)", {}, WithDrawingOptions(GaussOptionHelp(), false),
         [](const Arguments& args) {
             if (ConvertsDrawing(args)) return RunDrawingConversion(args, GaussForwardPointConversion(ReadGaussFields(args)));
             return RunRowConversion(args, GaussForwardConversion(ReadGaussFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"gauss-inverse", "高斯投影反算: name,x,y (m) to name,B,L (ddd.mmss)", {}, WithDrawingOptions(GaussOptionHelp(), false),
         [](const Arguments& args) {
             if (ConvertsDrawing(args)) return RunDrawingConversion(args, GaussInversePointConversion(ReadGaussFields(args)));
             return RunRowConversion(args, GaussInverseConversion(ReadGaussFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"utm-forward", "墨卡托投影正算: name,B,L (ddd.mmss) to name,x,y (m), scale 0.9996", {}, WithDrawingOptions(UtmOptionHelp(), false),
         [](const Arguments& args) {
             if (ConvertsDrawing(args)) return RunDrawingConversion(args, UtmForwardPointConversion(ReadUtmFields(args)));
             return RunRowConversion(args, UtmForwardConversion(ReadUtmFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"utm-inverse", "墨卡托投影反算: name,x,y (m) to name,B,L (ddd.mmss), scale 0.9996", {}, WithDrawingOptions(UtmOptionHelp(), false),
         [](const Arguments& args) {
             if (ConvertsDrawing(args)) return RunDrawingConversion(args, UtmInversePointConversion(ReadUtmFields(args)));
             return RunRowConversion(args, UtmInverseConversion(ReadUtmFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"zone-change", "坐标换带: name,x,y (m) from the old zone to the new zone; or a whole DXF drawing",
         {}, WithDrawingOptions(ZoneChangeOptionHelp()),
         [](const Arguments& args) {
             if (ConvertsDrawing(args)) return RunDrawingConversion(args, ZoneChangePointConversion(ReadZoneChangeFields(args)));
             return RunRowConversion(args, ZoneChangeConversion(ReadZoneChangeFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"compensation",
         "抵偿高程面: plane (deformation per km, plane height), axis (new a2), convert (name,x,y onto the new ellipsoid)",
         {"plane", "axis", "convert"}, WithDrawingOptions(CompensationOptionHelp()), RunCompensation},
    };
}

}  // namespace coordconv::cli
