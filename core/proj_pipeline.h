// PROJ pipeline strings ("+proj=pipeline +step ... +step ..."), the form in
// which the solved transformations go to PROJ and the programs built on it
// (cct, cs2cs, QGIS, GDAL, PostGIS, pyproj).
#pragma once

#include <string>
#include <vector>

#include "core/errors.h"

namespace coordconv {

// A transformation that PROJ cannot express exactly: the export is refused
// with this message rather than written approximately.
class NotExportableError : public CommandError {
public:
    using CommandError::CommandError;
};

// "+proj=pipeline" followed by " +step " and each step's operation text.
std::string ProjPipeline(const std::vector<std::string>& steps);

// "+a=<a> +rf=<1/f>" of an ellipsoid given by a (metres) and f.
std::string ProjEllipsoid(long double a, long double f);

// The step that swaps the first two coordinates: the program's columns are
// northing (or latitude) first, PROJ's operations take easting (longitude) first.
inline constexpr const char* kProjSwapAxes = "+proj=axisswap +order=2,1";

// Transverse Mercator of the Gauss-Krüger zones: the central meridian in
// degrees, scale 1, the false easting in metres (no zone number).
std::string ProjGaussKruger(long double a, long double f, long double central_meridian, long double false_easting);

// A similarity's scale factor (1 + m, 1 + D) that is zero or negative maps
// every point onto the origin or through it: no transformation PROJ (or a
// survey) can use. Throws NotExportableError, "尺度因子" `name` "=" factor
// "不大于零, 不是可用的转换, 未导出。请检查尺度参数。", for such a factor.
void RequirePositiveScaleFactor(const std::string& name, long double factor);

}  // namespace coordconv
