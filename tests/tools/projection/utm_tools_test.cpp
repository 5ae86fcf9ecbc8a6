#include "tools/projection/utm_tools.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

struct Row {
    std::string cells[3];
};

Row Convert(const RowConversion& convert, const std::string& name, const std::string& first, const std::string& second) {
    const std::string source[3] = {name, first, second};
    Row result;
    convert(source, result.cells);
    return result;
}

std::string ErrorOf(const std::function<void()>& command) {
    const FloatingPointScope scope;
    try {
        command();
    } catch (const CommandError& e) {
        return e.what();
    }
    return "";
}

TEST(UtmForward, WorkedExamplesOnWgs84) {
    const FloatingPointScope scope;
    const UtmFields defaults;  // the window opens on WGS84, L0 = 0, x0 = 0, y0 = 500000
    EXPECT_EQ(defaults.a, "6378137.0000000000");
    EXPECT_EQ(defaults.inverse_flattening, "298.257223563");
    const RowConversion forward = UtmForwardConversion(defaults);

    const Row p1 = Convert(forward, "P1", "30.3", "1.3");
    EXPECT_EQ(p1.cells[0], "P1");
    EXPECT_EQ(p1.cells[1], "3375148.0007");
    EXPECT_EQ(p1.cells[2], "643948.8238");
    const Row p2 = Convert(forward, "P2", "30", "3");
    EXPECT_EQ(p2.cells[1], "3322575.9044");
    EXPECT_EQ(p2.cells[2], "789409.6533");

    UtmFields south = defaults;
    south.x_constant = "10000000";
    const Row p3 = Convert(UtmForwardConversion(south), "S", "-33.3", "2");
    EXPECT_EQ(p3.cells[1], "6291490.6461");
    EXPECT_EQ(p3.cells[2], "685785.6100");
}

TEST(UtmInverse, SouthernWorkedExampleComesBack) {
    const FloatingPointScope scope;
    UtmFields south;
    south.x_constant = "10000000";
    const UtmGeodetic g = UtmInverse(ReadUtmSettings(south), 6291490.6461L, 685785.6100L);
    EXPECT_NEAR(static_cast<double>(g.latitude), -33.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(g.longitude), 2.0, 1e-9);

    const Row back = Convert(UtmInverseConversion(south), "S", "6291490.6461", "685785.6100");
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[1])), -33.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[2])), 2.0, 1e-9);
    EXPECT_EQ(back.cells[1].size(), std::string("-33.3000000000").size());  // 10 decimals
}

TEST(UtmForward, OnTheCentralMeridianTheEastingIsTheConstantAndTheNorthingTheScaledArc) {
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
        const long double arc = GaussForward(s.a, s.f, b, 0).x;
        EXPECT_NEAR(static_cast<double>(p.x), static_cast<double>(kUtmScaleFactor * arc + 1000), 0.005) << b;
    }
    EXPECT_EQ(UtmForward(s, 0, 117).x, 1000.0L);
}

TEST(UtmInverse, RoundTripsTheForwardProjectionWithin3DegreesOfTheMeridian) {
    const FloatingPointScope scope;
    UtmFields fields;
    fields.central_meridian = "117.3";  // 117°30′
    const UtmSettings s = ReadUtmSettings(fields);
    // The truncated series keep the round trip within 1e-8 degree up to
    // about 77 degrees of latitude.
    for (long double b = -76; b <= 76; b += 4) {
        for (long double l = -3; l <= 3; l += 0.5L) {
            const long double longitude = 117.5L + l;
            const UtmPoint p = UtmForward(s, b, longitude);
            const UtmGeodetic g = UtmInverse(s, p.x, p.y);
            EXPECT_NEAR(static_cast<double>(g.latitude), static_cast<double>(b), 1e-8) << b << " " << l;
            EXPECT_NEAR(static_cast<double>(g.longitude), static_cast<double>(longitude), 1e-8) << b << " " << l;
        }
    }
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

TEST(UtmInverse, SouthernPointsWithoutFalseNorthingAreNegative) {
    const FloatingPointScope scope;
    const UtmFields fields;
    const Row plane = Convert(UtmForwardConversion(fields), "S", "-33.3", "2");
    EXPECT_EQ(plane.cells[1], "-3708509.3539");  // 6291490.6461 - 10000000
    const Row back = Convert(UtmInverseConversion(fields), "S", plane.cells[1], plane.cells[2]);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(back.cells[1])), -33.5, 1e-9);
}

TEST(UtmInverse, DropsAZoneNumberInTheMillionsOfTheEasting) {
    const FloatingPointScope scope;
    const RowConversion inverse = UtmInverseConversion(UtmFields{});
    const Row plain = Convert(inverse, "P", "3375148.0007", "643948.8238");
    EXPECT_EQ(Convert(inverse, "P", "3375148.0007", "31643948.8238").cells[2], plain.cells[2]);
    EXPECT_EQ(Convert(inverse, "P", "3375148.0007", "31643948.8238").cells[1], plain.cells[1]);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(plain.cells[1])), 30.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(plain.cells[2])), 1.5, 1e-9);
}

TEST(UtmTools, BlankRowsConvertAsZero) {
    const FloatingPointScope scope;
    const Row forward = Convert(UtmForwardConversion(UtmFields{}), "", "", "");
    EXPECT_EQ(forward.cells[0], "");
    EXPECT_EQ(forward.cells[1], "0.0000");
    EXPECT_EQ(forward.cells[2], "500000.0000");
}

TEST(UtmTools, FailuresOfTheBoxesAndCells) {
    UtmFields zero_flattening;
    zero_flattening.inverse_flattening = "0";
    zero_flattening.central_meridian = "abc";  // the ellipsoid is read and fails first
    EXPECT_EQ(ErrorOf([&] { UtmForwardConversion(zero_flattening); }), "Floating point division by zero");
    EXPECT_EQ(ErrorOf([&] { UtmInverseConversion(zero_flattening); }), "Floating point division by zero");

    UtmFields no_eccentricity;
    no_eccentricity.inverse_flattening = "0.4";  // 2f - f^2 < 0
    EXPECT_EQ(ErrorOf([&] { UtmForwardConversion(no_eccentricity); }), "Invalid floating point operation");

    UtmFields bad_constant;
    bad_constant.x_constant = "1O000000";
    EXPECT_EQ(ErrorOf([&] { UtmInverseConversion(bad_constant); }), "'1O000000' is not a valid floating point value");

    UtmFields zero_axis;
    zero_axis.a = "0";
    Row untouched{{"keep", "keep", "keep"}};
    EXPECT_EQ(ErrorOf([&] {
                  const std::string source[3] = {"P", "3375148.0007", "643948.8238"};
                  UtmInverseConversion(zero_axis)(source, untouched.cells);
              }),
              "Floating point division by zero");
    EXPECT_EQ(untouched.cells[0], "keep");
    EXPECT_EQ(ErrorOf([&] { Convert(UtmForwardConversion(UtmFields{}), "P", "30,5", "1"); }),
              "'30,5' is not a valid floating point value");
}

}  // namespace
}  // namespace coordconv
