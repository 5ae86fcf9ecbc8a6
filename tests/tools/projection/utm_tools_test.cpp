#include "tools/projection/utm_tools.h"

#include <gtest/gtest.h>

#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tests/tools/projection/conversion_test_support.h"

namespace coordconv {
namespace {

using testing::ConvertRow;
using testing::ErrorOf;

TEST(UtmTools, WorkedExamplesOnWgs84BothWays) {
    const FloatingPointScope scope;
    const UtmFields defaults;  // WGS84, L0 = 0, x0 = 0, y0 = 500000
    // Expected digits from PROJ: cct +proj=tmerc +k=0.9996 +x_0=500000
    // +a=6378137 +rf=298.257223563 (+y_0=10000000 for the south) gives
    // 3375148.00071, 643948.82384 for 30°30′ N 1°30′ E; 3322575.90438,
    // 789409.65324 for 30° N 3° E; 6291490.64612, 685785.61001 for 33°30′ S 2° E.
    const RowConversion forward = UtmForwardConversion(defaults);
    const testing::Row p1 = ConvertRow(forward, "P1", "30.3", "1.3");
    EXPECT_EQ(p1.cells[0] + "," + p1.cells[1] + "," + p1.cells[2], "P1,3375148.0007,643948.8238");
    const testing::Row p2 = ConvertRow(forward, "P2", "30", "3");
    EXPECT_EQ(p2.cells[1] + "," + p2.cells[2], "3322575.9044,789409.6533");
    const testing::Row blank = ConvertRow(forward, "", "", "");
    EXPECT_EQ(blank.cells[1] + "," + blank.cells[2], "0.0000,500000.0000");

    UtmFields south = defaults;
    south.x_constant = "10000000";
    const testing::Row s = ConvertRow(UtmForwardConversion(south), "S", "-33.3", "2");
    EXPECT_EQ(s.cells[1] + "," + s.cells[2], "6291490.6461,685785.6100");
    // Back, also with a zone number in the millions of the easting.
    for (const char* easting : {"685785.6100", "31685785.6100"}) {
        const testing::Row back = ConvertRow(UtmInverseConversion(south), "S", "6291490.6461", easting);
        EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[1])), -33.5, 1e-9);
        EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[2])), 2.0, 1e-9);
    }
    // Without the false northing the south is negative both ways.
    const testing::Row negative = ConvertRow(UtmForwardConversion(defaults), "S", "-33.3", "2");
    EXPECT_EQ(negative.cells[1], "-3708509.3539");
    const testing::Row back = ConvertRow(UtmInverseConversion(defaults), "S", negative.cells[1], negative.cells[2]);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[1])), -33.5, 1e-9);
}

TEST(UtmTools, OnTheCentralMeridianTheEastingIsTheConstantAndTheNorthingTheScaledArc) {
    const FloatingPointScope scope;
    UtmFields fields;
    fields.central_meridian = "117";
    fields.x_constant = "1000";
    fields.y_constant = "38500000";
    const UtmSettings s = ReadUtmSettings(fields);
    for (const long double b : {-60.0L, -12.5L, 0.0L, 30.5L, 75.0L}) {
        const UtmPoint p = UtmForward(s, b, 117);
        EXPECT_EQ(p.y, 38500000.0L) << b;
        // The e^6 meridian series agrees with the e^14 arc of the Gauss
        // projection to a few millimetres.
        const long double arc = GaussForward(s.ellipsoid.a, s.ellipsoid.f, b, 0).x;
        EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(kUtmScaleFactor * arc + 1000), 0.005) << b;
    }
}

TEST(UtmTools, InverseRoundTripsTheForwardWithin3DegreesOfTheMeridian) {
    const FloatingPointScope scope;
    UtmFields fields;
    fields.central_meridian = "117.3";  // 117°30′
    const UtmSettings s = ReadUtmSettings(fields);
    // The truncated series keep 1e-8 degree up to about 77 degrees latitude.
    for (long double b = -76; b <= 76; b += 4) {
        for (long double l = -3; l <= 3; l += 0.5L) {
            const UtmPoint p = UtmForward(s, b, 117.5L + l);
            const UtmGeodetic g = UtmInverse(s, p.x, p.y);
            EXPECT_NEAR(static_cast<double>(g.latitude), static_cast<double>(b), 1e-8) << b << " " << l;
            EXPECT_NEAR(static_cast<double>(g.longitude), static_cast<double>(117.5L + l), 1e-8) << b << " " << l;
        }
    }
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

// The worked example's easting with zone number 31, inverted with the Y
// constant as the forward window takes it (31500000) and without it.
TEST(UtmTools, InverseDropsTheZoneNumberOfTheYConstant) {
    const FloatingPointScope scope;
    for (const char* constant : {"500000", "31500000"}) {
        UtmFields fields;
        fields.y_constant = constant;
        const testing::Row back = ConvertRow(UtmInverseConversion(fields), "P1", "3375148.0007", "31643948.8238");
        EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[1])), 30.5, 1e-8) << constant;
        EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[2])), 1.5, 1e-8) << constant;
    }
}

TEST(UtmTools, FailuresOfTheBoxesAndCells) {
    UtmFields zero_flattening;
    zero_flattening.inverse_flattening = "0";
    zero_flattening.central_meridian = "abc";  // the ellipsoid is read and fails first
    EXPECT_EQ(ErrorOf([&] { UtmForwardConversion(zero_flattening); }), "Floating point division by zero");
    UtmFields no_eccentricity;
    no_eccentricity.inverse_flattening = "0.4";  // 2f - f^2 < 0
    EXPECT_EQ(ErrorOf([&] { UtmInverseConversion(no_eccentricity); }), "Invalid floating point operation");
    UtmFields bad_constant;
    bad_constant.x_constant = "1O000000";
    EXPECT_EQ(ErrorOf([&] { UtmInverseConversion(bad_constant); }), "'1O000000' is not a valid floating point value");

    UtmFields zero_axis;
    zero_axis.a = "0";
    std::string untouched[3] = {"keep", "keep", "keep"};
    const std::string source[3] = {"P", "3375148.0007", "643948.8238"};
    EXPECT_EQ(ErrorOf([&] { UtmInverseConversion(zero_axis)(source, untouched); }), "Floating point division by zero");
    EXPECT_EQ(untouched[0], "keep");
}

}  // namespace
}  // namespace coordconv
