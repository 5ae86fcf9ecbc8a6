// coordconv-cli tools of the projection windows.
#include "cli/tools.h"
#include "tools/projection/gauss_tools.h"

namespace coordconv::cli {
namespace {

std::vector<OptionHelp> GaussOptionHelp() {
    std::vector<OptionHelp> options = EllipsoidOptionHelp();
    options.push_back({"cm", "TEXT  central meridian, ddd.mmss (default 0)"});
    options.push_back({"yconst", "TEXT  Y constant (false easting) in metres (default 500000)"});
    return options;
}

GaussFields ReadGaussFields(const Arguments& args) {
    const EllipsoidTexts ellipsoid = ReadEllipsoidOptions(args, 0);
    GaussFields fields;
    fields.a = ellipsoid.a;
    fields.inverse_flattening = ellipsoid.inverse_flattening;
    fields.central_meridian = args.Get("cm", fields.central_meridian);
    fields.y_constant = args.Get("yconst", fields.y_constant);
    return fields;
}

}  // namespace

std::vector<Tool> ProjectionTools() {
    return {
        {"gauss-forward", "高斯投影正算: name,B,L (ddd.mmss) to name,x,y (m)", {}, GaussOptionHelp(),
         [](const Arguments& args) {
             return RunRowConversion(args, GaussForwardConversion(ReadGaussFields(args)), FieldSplit::Projection, 3, 3);
         }},
        {"gauss-inverse", "高斯投影反算: name,x,y (m) to name,B,L (ddd.mmss)", {}, GaussOptionHelp(),
         [](const Arguments& args) {
             return RunRowConversion(args, GaussInverseConversion(ReadGaussFields(args)), FieldSplit::Projection, 3, 3);
         }},
    };
}

}  // namespace coordconv::cli
