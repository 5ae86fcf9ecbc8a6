#include "tools/projection/compensation_tools.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/angles.h"
#include "core/gauss_kruger.h"
#include "core/geocentric.h"
#include "core/number_text.h"
#include "tests/tools/projection/conversion_test_support.h"

namespace coordconv {
namespace {

using testing::ConvertRow;
using testing::ErrorOf;
using testing::Row;

// The survey area of the worked example: Xi'an 1980, 30° N, 1000 m high,
// 100 km from the central meridian.
CompensationFields WorkedArea() {
    CompensationFields fields;
    fields.mean_latitude = "30";
    fields.mean_height = "1000";
    fields.mean_distance = "100000";
    return fields;
}

TEST(Compensation, WorkedExampleStepByStep) {
    const FloatingPointScope scope;
    CompensationFields fields = WorkedArea();
    EXPECT_NEAR(static_cast<double>(MeanRadiusOfCurvature(6378140, 1 / 298.257L, 30 * kPi / 180)), 6367411.765, 1e-3);

    const CompensationPlaneTexts plane = ComputeCompensationPlaneTexts(fields);
    EXPECT_EQ(plane.deformation, "-33.75mm");
    EXPECT_EQ(plane.height, "215");  // 214.75

    // The axis step reads the plane height as the box shows it.
    fields.plane_height = plane.height;
    const std::string a2 = ComputeNewSemiMajorAxisText(fields);
    EXPECT_EQ(a2.substr(0, 11), "6378355.362");
    EXPECT_EQ(a2.size(), std::string("6378355.").size() + 10);
    fields.plane_height = "214.75";
    const long double from_unrounded = TextToNumber(ComputeNewSemiMajorAxisText(fields));
    EXPECT_NEAR(static_cast<double>(TextToNumber(a2) - from_unrounded), 0.25 * (1 - 0.25 * 0.00669438) / std::sqrt(1 - 0.00669438), 1e-6);
}

TEST(Compensation, ConvertedLinesAtTheAreaHaveTheirGroundLength) {
    const FloatingPointScope scope;
    // On the source plane a ground kilometre of the area is 33.75 mm short;
    // on the new ellipsoid's plane it has its ground length again, so lines
    // near the area's mean position grow by that much in the conversion.
    CompensationFields fields = WorkedArea();
    fields.plane_height = ComputeCompensationPlaneTexts(fields).height;
    fields.a2 = ComputeNewSemiMajorAxisText(fields);
    const RowConversion convert = CompensationConversion(fields);
    const long double x = GaussForward(6378140, 1 / 298.257L, 30, 0).x;
    const auto converted_length = [&](long double x1, long double y1, long double x2, long double y2) {
        const Row a = ConvertRow(convert, "A", FormatFixed(x1, 4), FormatFixed(y1, 4));
        const Row b = ConvertRow(convert, "B", FormatFixed(x2, 4), FormatFixed(y2, 4));
        const long double dx = TextToNumber(b.cells[1]) - TextToNumber(a.cells[1]);
        const long double dy = TextToNumber(b.cells[2]) - TextToNumber(a.cells[2]);
        return std::sqrt(dx * dx + dy * dy);
    };
    EXPECT_NEAR(static_cast<double>(converted_length(x, 599500, x, 600500) - 1000), 0.03375, 5e-4);    // east-west
    EXPECT_NEAR(static_cast<double>(converted_length(x - 500, 600000, x + 500, 600000) - 1000), 0.03375, 5e-4);  // north-south
}

TEST(Compensation, APointKeepsItsPlaceInSpaceOnTheNewEllipsoid) {
    const FloatingPointScope scope;
    // The latitude shift is the first-order change of geodetic latitude of a
    // fixed point when the axis grows at constant flattening: compare with
    // the exact route through geocentric coordinates.
    CompensationFields fields = WorkedArea();
    fields.a2 = "6378355.3622461833";
    const long double a1 = 6378140, a2 = 6378355.3622461833L, f = 1 / 298.257L;
    const RowConversion convert = CompensationConversion(fields);
    for (const long double b : {-45.0L, 10.0L, 30.0L, 62.5L}) {
        const long double l = 1.25L;
        const PlanePoint old_plane = GaussForward(a1, f, b, l);
        const Cartesian space = GeodeticToCartesian(a1, f, b, l, 0);
        const Geodetic on_new = CartesianToGeodetic(a2, f, space.X, space.Y, space.Z);
        const PlanePoint expected = GaussForward(a2, f, on_new.B, on_new.L);
        const Row converted = ConvertRow(convert, "P", FormatFixed(old_plane.x, 4), FormatFixed(old_plane.y + 500000, 4));
        EXPECT_NEAR(static_cast<double>(TextToNumber(converted.cells[1])), static_cast<double>(expected.x), 1e-3) << b;
        EXPECT_NEAR(static_cast<double>(TextToNumber(converted.cells[2])), static_cast<double>(expected.y + 500000), 1e-3) << b;
    }
    // A zone number is dropped and not written back.
    EXPECT_EQ(ConvertRow(convert, "P1", "3376500.1736", "38644006.4942").cells[2],
              ConvertRow(convert, "P1", "3376500.1736", "644006.4942").cells[2]);
    // The same axis returns the points.
    fields.a2 = fields.a1;
    const Row kept = ConvertRow(CompensationConversion(fields), "P1", "3376500.1736", "38644006.4942");
    EXPECT_NEAR(static_cast<double>(TextToNumber(kept.cells[1])), 3376500.1736, 2e-4);
    EXPECT_NEAR(static_cast<double>(TextToNumber(kept.cells[2])), 644006.4942, 2e-4);
}

TEST(Compensation, StepsRunInAnyOrderOnWhatTheBoxesHold) {
    const FloatingPointScope scope;
    // No height and no distance need no compensation.
    CompensationFields level;
    level.mean_latitude = "34.1530";
    const CompensationPlaneTexts none = ComputeCompensationPlaneTexts(level);
    EXPECT_EQ(none.deformation + " " + none.height, "0.00mm 0");

    CompensationFields fields = WorkedArea();
    // Axis before plane: the plane height box still holds its initial 0.
    const long double a2_at_zero = TextToNumber(ComputeNewSemiMajorAxisText(fields));
    EXPECT_NEAR(static_cast<double>(a2_at_zero), 6378140.0, 1e-6);
    // A typed plane height is taken as it is.
    fields.plane_height = "300";
    EXPECT_NEAR(static_cast<double>(TextToNumber(ComputeNewSemiMajorAxisText(fields)) - a2_at_zero),
                300 * (1 - 0.25 * 0.00669438) / std::sqrt(1 - 0.00669438), 1e-4);
    // Convert before the axis step: the empty a2 box reads 0, the new
    // ellipsoid degenerates to its centre, and the easting is the constant.
    const Row degenerate = ConvertRow(CompensationConversion(CompensationFields{}), "P", "3376500.1736", "644006.4942");
    EXPECT_EQ(degenerate.cells[1], "0.0000");
    EXPECT_EQ(degenerate.cells[2], "500000.0000");
}

TEST(Compensation, Failures) {
    CompensationFields zero_flattening = WorkedArea();
    zero_flattening.inverse_flattening = "0";
    zero_flattening.mean_latitude = "x";  // the ellipsoid is read and fails first
    EXPECT_EQ(ErrorOf([&] { ComputeCompensationPlaneTexts(zero_flattening); }), "Floating point division by zero");
    EXPECT_EQ(ErrorOf([&] { ComputeNewSemiMajorAxisText(zero_flattening); }), "Floating point division by zero");
    EXPECT_EQ(ErrorOf([&] { CompensationConversion(zero_flattening); }), "Floating point division by zero");

    CompensationFields zero_axis = WorkedArea();
    zero_axis.a1 = "0";
    EXPECT_EQ(ErrorOf([&] { ComputeCompensationPlaneTexts(zero_axis); }), "Floating point division by zero");
    zero_axis.mean_height = "";
    zero_axis.mean_distance = "";
    EXPECT_EQ(ErrorOf([&] { ComputeCompensationPlaneTexts(zero_axis); }), "Invalid floating point operation");
    EXPECT_EQ(ErrorOf([&] { ConvertRow(CompensationConversion(zero_axis), "P", "3376500", "600000"); }),
              "Floating point division by zero");

    CompensationFields bad_height = WorkedArea();
    bad_height.plane_height = "215m";
    EXPECT_EQ(ErrorOf([&] { ComputeNewSemiMajorAxisText(bad_height); }), "'215m' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([&] { ComputeCompensationPlaneTexts(bad_height); }), "");  // the plane step does not read it
}

}  // namespace
}  // namespace coordconv
