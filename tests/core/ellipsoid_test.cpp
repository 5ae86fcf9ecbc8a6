#include "core/ellipsoid.h"
#include "core/gauss_kruger.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

constexpr long double kXianA = 6378140.0L;
constexpr long double kXianF = 1 / 298.257L;
constexpr long double kCgcsA = 6378137.0L;
constexpr long double kCgcsF = 1 / 298.257222101L;

// Worked values, kept as data: ellipsoid, B and l in degrees, x and y in
// metres as the windows print them.
struct ProjectionCase {
    long double a, f, latitude, longitude, x, y;
    const char* x_text;
    const char* y_text;
};
const ProjectionCase kCases[] = {
    {kXianA, kXianF, 30.5L, 1.5L, 0, 0, "3376500.1736", "144006.4942"},
    {kCgcsA, kCgcsF, 30.0L, 3.0L, 0, 0, "3323905.4664", "289525.4635"},
    {kXianA, kXianF, 0.0L, 0.0L, 0, 0, "0.0000", "0.0000"},
};

TEST(GaussForward, WorkedExamples) {
    for (const auto& c : kCases) {
        const PlanePoint p = GaussForward(c.a, c.f, c.latitude, c.longitude);
        EXPECT_EQ(FormatFixed(p.x, 4), c.x_text);
        EXPECT_EQ(FormatFixed(p.y, 4), c.y_text);
    }
}

TEST(GaussForward, IsOddInLatitudeAndLongitude) {
    const PlanePoint p = GaussForward(kXianA, kXianF, 30.5L, 1.5L);
    const PlanePoint south_west = GaussForward(kXianA, kXianF, -30.5L, -1.5L);
    EXPECT_EQ(south_west.x, -p.x);
    EXPECT_EQ(south_west.y, -p.y);
}

TEST(GaussInverse, RoundTripsTheForwardProjection) {
    for (long double b = -80; b <= 80; b += 7.25L) {
        for (long double l = -3; l <= 3; l += 0.75L) {
            const PlanePoint p = GaussForward(kXianA, kXianF, b, l);
            const GeodeticOffset g = GaussInverse(kXianA, kXianF, p.x, p.y);
            EXPECT_NEAR(static_cast<double>(g.latitude), static_cast<double>(b), std::fabs(l) <= 1.5L ? 1e-9 : 2e-8) << b << " " << l;
            EXPECT_NEAR(static_cast<double>(g.longitude), static_cast<double>(l), std::fabs(l) <= 1.5L ? 1e-9 : 2e-8) << b << " " << l;
        }
    }
    const GeodeticOffset origin = GaussInverse(kXianA, kXianF, 0, 0);
    EXPECT_EQ(origin.latitude, 0.0L);
    EXPECT_EQ(origin.longitude, 0.0L);
}

TEST(GaussInverse, GivesUpOnNorthingsFarOffTheEllipsoid) {
    const FloatingPointScope scope;
    for (const long double x : {1e16L, -3e17L, 1e30L}) {
        try {
            GaussInverse(kXianA, kXianF, x, 1000);
            // Converging is fine too; hanging is not.
        } catch (const CommandError& e) {
            EXPECT_EQ(std::string(e.what()), kFootpointNotConvergingText);
        }
    }
}

TEST(GaussInverse, ZeroAxisIsAFloatingPointError) {
    {
        const FloatingPointScope scope;
        try {
            GaussInverse(0, kXianF, 3000000, 1000);
            RaiseFloatingPointErrors();
            FAIL();
        } catch (const CommandError& e) {
            EXPECT_STREQ(e.what(), "Floating point division by zero");
        }
    }
    {
        const FloatingPointScope scope;
        try {
            GaussInverse(0, kXianF, 0, 0);
            RaiseFloatingPointErrors();
            FAIL();
        } catch (const CommandError& e) {
            EXPECT_STREQ(e.what(), "Invalid floating point operation");
        }
    }
}

TEST(Presets, ListTheFiveSystemsInOrder) {
    EXPECT_STREQ(kCoordinateSystemPresets[0].name, "1980西安坐标系");
    EXPECT_STREQ(kCoordinateSystemPresets[3].inverse_flattening_text, "298.257223563");
    EXPECT_STREQ(kCoordinateSystemPresets[2].semi_major_axis_text, "6378245.0000000000");
    EXPECT_STREQ(kCoordinateSystemPresets[kCustomSystemIndex].name, "自定义");
}

}  // namespace
}  // namespace coordconv
