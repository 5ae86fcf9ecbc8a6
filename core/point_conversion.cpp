#include "core/point_conversion.h"

#include <cmath>
#include <utility>

#include "core/number_text.h"
#include "core/zone_number.h"

namespace coordconv {

LocalSimilarity NearestSimilarity(const PlaneJacobian& j) {
    const long double a = (j.dx_dx + j.dy_dy) / 2;
    const long double b = (j.dy_dx - j.dx_dy) / 2;
    return {std::sqrt(a * a + b * b), std::atan2(b, a)};
}

PointConversion::PointConversion(Function convert, CoordinateKind source, CoordinateKind target, SourceCheck check)
    : convert_(std::move(convert)), source_(source), target_(target), check_(std::move(check)) {}

PlaneJacobian PointConversion::JacobianAt(long double x, long double y, long double H) const {
    const long double h = kJacobianStep;
    const PointXYH north = convert_({x + h, y, H});
    const PointXYH south = convert_({x - h, y, H});
    const PointXYH east = convert_({x, y + h, H});
    const PointXYH west = convert_({x, y - h, H});
    return {(north.x - south.x) / (2 * h), (east.x - west.x) / (2 * h), (north.y - south.y) / (2 * h),
            (east.y - west.y) / (2 * h)};
}

PointConversion::SourceCheck GaussPlaneCheck(long double y_constant) {
    return [y_constant](long double x, long double y) -> std::string {
        if (!std::isfinite(x) || !std::isfinite(y)) return "坐标不是有限数";
        const long double easting = StripZoneAndFalseEasting(y, y_constant);
        if (std::fabs(easting) > 350000)
            return "横坐标y=" + ShortestDoubleText(y) + "离中央子午线" + ShortestDoubleText(std::round(easting / 1000)) +
                   " km, 不在投影带内";
        if (std::fabs(x) > 10002000) return "纵坐标x=" + ShortestDoubleText(x) + "超出赤道至极点的距离";
        return {};
    };
}

}  // namespace coordconv
