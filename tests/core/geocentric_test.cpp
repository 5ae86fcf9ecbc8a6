#include "core/geocentric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <utility>

#include "core/angles.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

constexpr long double kWgsA = 6378137.0L;
constexpr long double kWgsF = 1 / 298.257223563L;

TEST(Geocentric, WgsExampleAndBack) {
    // PROJ: cct +proj=cart +a=6378137 +rf=298.257223563 of 1.5 E 30 N 100 m
    // gives 5526448.81668 144715.15527 3170423.73538.
    const Cartesian c = GeodeticToCartesian(kWgsA, kWgsF, 30, 1.5L, 100);
    EXPECT_EQ(FormatFixed(c.X, 4), "5526448.8167");
    EXPECT_EQ(FormatFixed(c.Y, 4), "144715.1553");
    EXPECT_EQ(FormatFixed(c.Z, 4), "3170423.7354");
    const Geodetic g = CartesianToGeodetic(kWgsA, kWgsF, c.X, c.Y, c.Z);
    EXPECT_NEAR(static_cast<double>(g.B), 30.0, 1e-10);
    EXPECT_NEAR(static_cast<double>(g.L), 1.5, 1e-12);
    EXPECT_NEAR(static_cast<double>(g.H), 100.0, 2e-6);
}

TEST(Geocentric, RoundTripWithinTenKilometres) {
    for (long double b = -85; b <= 85; b += 17) {
        for (long double h : {-10000.0L, 0.0L, 8848.0L}) {
            const Cartesian c = GeodeticToCartesian(kWgsA, kWgsF, b, -179.5L, h);
            const Geodetic g = CartesianToGeodetic(kWgsA, kWgsF, c.X, c.Y, c.Z);
            EXPECT_NEAR(static_cast<double>(g.B), static_cast<double>(b), 1e-10);
            EXPECT_NEAR(static_cast<double>(g.L), -179.5, 1e-12);
            // The closed form drifts to about 0.2 mm at 10 km off the ellipsoid.
            EXPECT_NEAR(static_cast<double>(g.H), static_cast<double>(h), 5e-4);
        }
    }
    const Cartesian equator = GeodeticToCartesian(kWgsA, kWgsF, 0, 0, 0);
    EXPECT_EQ(equator.X, kWgsA);
    EXPECT_EQ(equator.Y, 0.0L);
    EXPECT_EQ(equator.Z, 0.0L);
}

// The inverse's stated domain and accuracy, heights -10 km to +10 km and
// latitudes to 89.9 degrees: the height to 0.5 mm and the latitude to
// 2e-11 degree, against the exact closed-form forward conversion (checked
// against GeographicLib in the reference vectors). Beyond the domain the
// error grows with the height; the figures are printed, not held.
TEST(Geocentric, TheInverseHoldsItsAccuracyOverItsStatedDomain) {
    const auto worst_at = [](long double h_low, long double h_high, long double h_step) {
        long double worst_height = 0;
        long double worst_latitude = 0;
        for (long double b = -89.9L; b <= 89.95L; b += 0.7L)
            for (long double h = h_low; h <= h_high + 1; h += h_step) {
                const Cartesian c = GeodeticToCartesian(kWgsA, kWgsF, b, 117.25L, h);
                const Geodetic g = CartesianToGeodetic(kWgsA, kWgsF, c.X, c.Y, c.Z);
                worst_height = std::fmax(worst_height, std::fabs(g.H - h));
                worst_latitude = std::fmax(worst_latitude, std::fabs(g.B - b));
            }
        return std::pair{worst_height, worst_latitude};
    };
    const auto [height, latitude] = worst_at(-10000, 10000, 250);
    EXPECT_LE(static_cast<double>(height), 0.0005);
    EXPECT_LE(static_cast<double>(latitude), 2e-11);
    std::cout << "geocentric inverse: largest height error " << static_cast<double>(height) * 1000
              << " mm within 10 km; " << static_cast<double>(worst_at(20000, 20000, 1).first) * 1000 << " mm at 20 km, "
              << static_cast<double>(worst_at(100000, 100000, 1).first) * 1000 << " mm at 100 km\n";
}

TEST(Geocentric, AxisAndOriginAreFloatingPointErrors) {
    const auto error_of = [](long double x, long double y, long double z) -> std::string {
        const FloatingPointScope scope;
        try {
            CartesianToGeodetic(kWgsA, kWgsF, x, y, z);
            RaiseFloatingPointErrors();
        } catch (const CommandError& e) {
            return e.what();
        }
        return "";
    };
    EXPECT_EQ(error_of(0, 0, 6356752), "Floating point division by zero");
    EXPECT_EQ(error_of(0, 0, 0), "Invalid floating point operation");
}

TEST(Azimuth, AllQuadrantsAndAxes) {
    struct Case {
        long double x, y, expected;
    };
    const Case cases[] = {{1, 1, kPi / 4},  {-1, 1, 3 * kPi / 4}, {-1, -1, 5 * kPi / 4}, {1, -1, 7 * kPi / 4},
                          {0, 1, kPi / 2},  {-1, 0, kPi},         {0, -1, 3 * kPi / 2},  {1, 0, 0}};
    for (const auto& c : cases)
        EXPECT_NEAR(static_cast<double>(Azimuth(0, 0, c.x, c.y)), static_cast<double>(c.expected), 1e-18)
            << c.x << "," << c.y;
    const FloatingPointScope scope;
    Azimuth(5, 5, 5, 5);
    EXPECT_THROW(RaiseFloatingPointErrors(), CommandError);
}

}  // namespace
}  // namespace coordconv
