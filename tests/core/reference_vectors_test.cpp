// Gauss-Krüger, UTM and geocentric conversions against vectors produced by
// GeographicLib and PROJ (tests/data/generate_references.py); each line
// carries its own tolerance in millimetres.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/angles.h"
#include "core/gauss_kruger.h"
#include "core/geocentric.h"
#include "core/utm.h"
#include "tests/reference_vectors.h"

namespace coordconv {
namespace {

using testing::ReadReferenceVectors;

using PlaneForward = std::function<PlanePoint(long double a, long double f, long double b, long double l)>;
using PlaneInverse = std::function<GeodeticOffset(long double a, long double f, long double x, long double y)>;
// The inverse series' tolerance in mm by degrees from the central meridian
// (the headers' statements): 0, 1.5, 3, 4.5, 6.
using InverseTolerances = std::array<long double, 5>;
constexpr InverseTolerances kGaussInverseMm = {0.01L, 0.01L, 0.5L, 8, 50};
constexpr InverseTolerances kUtmInverseMm = {0.5L, 0.5L, 0.5L, 8, 50};

// Forward, and back from the reference's plane point as a distance on the
// ground.
void CheckPlane(const std::string& name, const PlaneForward& forward, const PlaneInverse& inverse,
                const InverseTolerances& inverse_mm) {
    const auto rows = ReadReferenceVectors(name);
    ASSERT_FALSE(rows.empty());
    constexpr long double kMetresPerDegree = 111320;
    for (const auto& r : rows) {  // B l a 1/f k -> x y tol_mm
        const GeodeticOffset back = inverse(r[2], 1 / r[3], r[5], r[6]);
        const long double north = (back.latitude - r[0]) * kMetresPerDegree;
        const long double east = (back.longitude - r[1]) * kMetresPerDegree * std::cos(r[0] * kDegreesToRadians);
        const long double inverse_tolerance = inverse_mm[static_cast<std::size_t>(std::lround(r[1] / 1.5L))] / 1000;
        EXPECT_LE(static_cast<double>(std::hypot(north, east)), static_cast<double>(inverse_tolerance))
            << name << " inverse, B=" << static_cast<double>(r[0]) << " l=" << static_cast<double>(r[1]);
        const PlanePoint p = forward(r[2], 1 / r[3], r[0], r[1]);
        EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(r[5]), static_cast<double>(r[7] / 1000)) << name << " B=" << static_cast<double>(r[0]) << " l=" << static_cast<double>(r[1]);
        EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>(r[6]), static_cast<double>(r[7] / 1000)) << name << " B=" << static_cast<double>(r[0]) << " l=" << static_cast<double>(r[1]);
    }
}

// GeographicLib's TransverseMercatorProj and PROJ's exact tmerc.
TEST(ReferenceVectors, GaussKrugerAgainstExactTransverseMercator) {
    for (const char* name :
         {"gauss_kruger_references.txt", "gauss_kruger_proj_references.txt", "gauss_kruger_inverse_grid.txt"})
        CheckPlane(
            name,
            [](long double a, long double f, long double b, long double l) {
                return GaussForward(MakeGaussKrugerEllipsoid(a, f), b, l);
            },
            [](long double a, long double f, long double x, long double y) { return GaussInverse(a, f, x, y); },
            kGaussInverseMm);
}

TEST(ReferenceVectors, UtmAgainstExactTransverseMercator) {
    CheckPlane(
        "utm_references.txt",
        [](long double a, long double f, long double b, long double l) {
            return UtmSeriesForward(MakeUtmEllipsoid(a, f), b, l);
        },
        [](long double a, long double f, long double x, long double y) {
            return UtmSeriesInverse(MakeUtmEllipsoid(a, f), x, y);
        },
        kUtmInverseMm);
}

TEST(ReferenceVectors, GeocentricBothWays) {
    const auto rows = ReadReferenceVectors("geocentric_references.txt");
    ASSERT_FALSE(rows.empty());
    // Forward 0.1 mm; the line's tolerance (0.5 mm) holds the inverse height.
    constexpr long double kForwardTolerance = 0.0001L;
    for (const auto& r : rows) {  // B L H a 1/f -> X Y Z tol_mm
        const long double tol = r[8] / 1000;
        const Cartesian c = GeodeticToCartesian(r[3], 1 / r[4], r[0], r[1], r[2]);
        EXPECT_NEAR(static_cast<double>(c.X), static_cast<double>(r[5]), static_cast<double>(kForwardTolerance));
        EXPECT_NEAR(static_cast<double>(c.Y), static_cast<double>(r[6]), static_cast<double>(kForwardTolerance));
        EXPECT_NEAR(static_cast<double>(c.Z), static_cast<double>(r[7]), static_cast<double>(kForwardTolerance));
        const Geodetic g = CartesianToGeodetic(r[3], 1 / r[4], r[5], r[6], r[7]);
        EXPECT_NEAR(static_cast<double>(g.H), static_cast<double>(r[2]), static_cast<double>(tol));
    }
}

}  // namespace
}  // namespace coordconv
