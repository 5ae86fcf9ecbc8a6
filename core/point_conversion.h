// A tool's conversion of one point as numbers, (x, y, H) -> (x', y', H'),
// in the tool's own units: plane coordinates x (northing) and y (easting,
// with the tool's false easting) in metres, geodetic coordinates B and L in
// decimal degrees, heights in metres. The row conversions of the point
// tables read the cells into these numbers, call the conversion and format
// the result; the drawing and layer converters call it directly.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "core/coordinate_system.h"

namespace coordconv {

struct PointXYH {
    long double x;  // northing in metres, or latitude B in decimal degrees
    long double y;  // easting in metres, or longitude L in decimal degrees
    long double H;  // height in metres
};

// The 2x2 Jacobian d(x', y') / d(x, y) of a plane-to-plane conversion.
struct PlaneJacobian {
    long double dx_dx, dx_dy;  // dx'/dx, dx'/dy
    long double dy_dx, dy_dy;  // dy'/dx, dy'/dy
};

// The similarity nearest to a conversion at a point: directions turn by
// `rotation` (radians, counted from the +x axis towards the +y axis, that
// is clockwise on a map with x north and y east) and lengths grow by `scale`.
// From the Jacobian J: a = (J11 + J22) / 2, b = (J21 - J12) / 2, scale =
// sqrt(a^2 + b^2), rotation = atan2(b, a); for a conformal conversion (Gauss
// projections, datum changes, the four-parameter model) J is exactly this
// similarity, for an affine or polynomial one it is the least-squares nearest.
struct LocalSimilarity {
    long double scale;
    long double rotation;
};
LocalSimilarity NearestSimilarity(const PlaneJacobian& jacobian);

class PointConversion {
public:
    using Function = std::function<PointXYH(const PointXYH&)>;
    // Says why plane coordinates (x, y) cannot be a point of the source
    // system, or returns an empty text when they can.
    using SourceCheck = std::function<std::string(long double x, long double y)>;

    PointConversion(Function convert, CoordinateKind source, CoordinateKind target, SourceCheck check = {});

    PointXYH Convert(long double x, long double y, long double H) const { return convert_({x, y, H}); }
    PointXYH Convert(const PointXYH& point) const { return convert_(point); }

    CoordinateKind Source() const { return source_; }
    CoordinateKind Target() const { return target_; }
    bool PlaneToPlane() const { return source_ == CoordinateKind::Plane && target_ == CoordinateKind::Plane; }

    // True for a conversion that is one similarity everywhere (the plane
    // four-parameter model): its local similarity is the same at every
    // point and circles map exactly onto circles.
    bool IsSimilarity() const { return similarity_; }
    void MarkSimilarity() { similarity_ = true; }

    // Empty when (x, y) can be plane coordinates of the source system.
    std::string CheckSource(long double x, long double y) const { return check_ ? check_(x, y) : std::string(); }

    // The Jacobian at (x, y, H) by central differences with a step of
    // kJacobianStep metres. The conversions are smooth on the scale of the
    // Earth's radius R: the step's truncation error h^2/6 |f'''| is below
    // 1e-14 and the rounding of long double coordinates (about 3e-13 m at
    // 3e6 m) over 2h = 2 m below 2e-13, so every element is good to 1e-12.
    // The systems of the two sides, where the tool's settings name them.
    const ConversionSystems& Systems() const { return systems_; }
    void SetSystems(ConversionSystems systems) { systems_ = std::move(systems); }

    PlaneJacobian JacobianAt(long double x, long double y, long double H) const;
    LocalSimilarity SimilarityAt(long double x, long double y, long double H) const {
        return NearestSimilarity(JacobianAt(x, y, H));
    }

    static constexpr long double kJacobianStep = 1;

private:
    Function convert_;
    CoordinateKind source_;
    CoordinateKind target_;
    SourceCheck check_;
    bool similarity_ = false;
    ConversionSystems systems_;
};

// The source check of Gauss-Krüger plane coordinates with false easting
// `y_constant` (metres; a zone number in the millions of y is dropped): the
// easting from the central meridian within 350 km (a 6° zone reaches 334 km)
// and the northing within 10 002 km of the equator. Coordinates of a local
// grid or degrees of longitude and latitude fail it.
PointConversion::SourceCheck GaussPlaneCheck(long double y_constant);

}  // namespace coordconv
