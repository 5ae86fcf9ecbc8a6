// Gauss-Krüger, UTM and geocentric conversions against vectors produced by
// GeographicLib (tests/data/generate_references.py); each line carries its own
// tolerance in millimetres.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "core/ellipsoid.h"
#include "core/geocentric.h"
#include "core/utm.h"

namespace coordconv {
namespace {

// Reads the numeric fields of every non-comment line (up to the unit word).
std::vector<std::vector<long double>> ReadVectors(const std::string& name) {
    std::ifstream file(std::string(COORDCONV_TEST_DATA) + "/" + name);
    EXPECT_TRUE(file.good()) << name;
    std::vector<std::vector<long double>> rows;
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        std::vector<long double> row;
        for (long double value; fields >> value;) row.push_back(value);
        rows.push_back(row);
    }
    return rows;
}

using PlaneForward = std::function<PlanePoint(long double a, long double f, long double b, long double l)>;

void CheckPlane(const std::string& name, const PlaneForward& forward) {
    const auto rows = ReadVectors(name);
    ASSERT_FALSE(rows.empty());
    for (const auto& r : rows) {  // B l a 1/f k -> x y tol_mm
        const PlanePoint p = forward(r[2], 1 / r[3], r[0], r[1]);
        EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(r[5]), static_cast<double>(r[7] / 1000)) << name << " B=" << static_cast<double>(r[0]) << " l=" << static_cast<double>(r[1]);
        EXPECT_NEAR(static_cast<double>(p.y), static_cast<double>(r[6]), static_cast<double>(r[7] / 1000)) << name << " B=" << static_cast<double>(r[0]) << " l=" << static_cast<double>(r[1]);
    }
}

TEST(ReferenceVectors, GaussKrugerAgainstExactTransverseMercator) {
    CheckPlane("gauss_kruger_references.txt", [](long double a, long double f, long double b, long double l) {
        return GaussForward(MakeGaussKrugerEllipsoid(a, f), b, l);
    });
}

TEST(ReferenceVectors, UtmAgainstExactTransverseMercator) {
    CheckPlane("utm_references.txt", [](long double a, long double f, long double b, long double l) {
        return UtmSeriesForward(MakeUtmEllipsoid(a, f), b, l);
    });
}

TEST(ReferenceVectors, GeocentricBothWays) {
    const auto rows = ReadVectors("geocentric_references.txt");
    ASSERT_FALSE(rows.empty());
    for (const auto& r : rows) {  // B L H a 1/f -> X Y Z tol_mm
        const long double tol = r[8] / 1000;
        const Cartesian c = GeodeticToCartesian(r[3], 1 / r[4], r[0], r[1], r[2]);
        EXPECT_NEAR(static_cast<double>(c.X), static_cast<double>(r[5]), static_cast<double>(tol));
        EXPECT_NEAR(static_cast<double>(c.Y), static_cast<double>(r[6]), static_cast<double>(tol));
        EXPECT_NEAR(static_cast<double>(c.Z), static_cast<double>(r[7]), static_cast<double>(tol));
        const Geodetic g = CartesianToGeodetic(r[3], 1 / r[4], r[5], r[6], r[7]);
        EXPECT_NEAR(static_cast<double>(g.H), static_cast<double>(r[2]), static_cast<double>(tol));
    }
}

}  // namespace
}  // namespace coordconv
