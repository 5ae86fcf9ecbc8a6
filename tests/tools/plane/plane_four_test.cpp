#include "tools/plane/plane_four.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

// Source points of a typical 3-degree zone: millions of metres enter raw.
constexpr long double kX1 = 3380000.0L, kY1 = 500000.0L;
constexpr long double kX2 = 3392000.0L, kY2 = 512000.0L;

TEST(PlaneFourModel, TwoPointsDetermineTheParametersAndARotationOfOneArcSecond) {
    PlaneFourParameters truth;
    truth.dx = 12.5L;
    truth.dy = -40.25L;
    SetRotationAndScale(1, 0, truth);
    const PlanePointH t1 = TransformPlaneFour(truth, kX1, kY1, 0);
    const PlanePointH t2 = TransformPlaneFour(truth, kX2, kY2, 0);

    Matrix A;
    Vector L;
    AppendPlaneFourEquations(kX1, kY1, t1.x, t1.y, A, L);
    AppendPlaneFourEquations(kX2, kY2, t2.x, t2.y, A, L);
    ASSERT_EQ(A.size(), 4u);
    EXPECT_EQ(A[0], (Vector{1, 0, kX1, -kY1}));
    EXPECT_EQ(A[1], (Vector{0, 1, kY1, kX1}));
    const Vector X = SolveLeastSquares(A, L);

    // The raw normal equations lose digits; a millimetre over 12 km is still 1e-7.
    EXPECT_NEAR(static_cast<double>(X[0]), 12.5, 1e-3);
    EXPECT_NEAR(static_cast<double>(X[1]), -40.25, 1e-3);
    EXPECT_NEAR(static_cast<double>(RotationSeconds(X[2], X[3])), 1.0, 1e-4);
    EXPECT_NEAR(static_cast<double>(ScaleChange(X[2], X[3])), 0.0, 1e-10);
    // Positive R turns the x axis towards the y axis: b > 0.
    EXPECT_GT(X[3], 0);
}

TEST(PlaneFourModel, RotationIsReducedIntoTheHalfOpenInterval) {
    // A small clockwise rotation reads as -1", not as 1295999".
    EXPECT_NEAR(static_cast<double>(RotationSeconds(std::cos(-1.0L / 206264.806L), std::sin(-1.0L / 206264.806L))),
                -1.0, 1e-6);
    // Half a turn stays +180 degrees.
    EXPECT_NEAR(static_cast<double>(RotationSeconds(-1, 0)), 648000.0, 1e-9);
    EXPECT_EQ(RotationSeconds(1, 0), 0);
    EXPECT_NEAR(static_cast<double>(ScaleChange(3, 4)), 4.0, 1e-18);
}

TEST(PlaneFourModel, ConvertWritesFourDecimalsAndAnEmptyRowHoldsTheShifts) {
    PlaneFourFields fields;
    fields.dx = "100";
    fields.dy = "-50";
    fields.scale = "1E-5";
    fields.height_shift = "2.5";
    const RowConversion convert = PlaneFourConversion(fields);
    std::string result[4];
    const std::string source[4] = {"P1", "1000", "2000", "10"};
    convert(source, result);
    EXPECT_EQ(result[0], "P1");
    EXPECT_EQ(result[1], "1100.0100");
    EXPECT_EQ(result[2], "1950.0200");
    EXPECT_EQ(result[3], "12.5000");
    const std::string empty[4] = {};
    convert(empty, result);
    EXPECT_EQ(result[0], "");
    EXPECT_EQ(result[1], "100.0000");
    EXPECT_EQ(result[2], "-50.0000");
    EXPECT_EQ(result[3], "2.5000");
}

TEST(PlaneFourModel, BadTextEndsTheConversion) {
    PlaneFourFields fields;
    fields.rotation = "1..0";
    EXPECT_THROW(PlaneFourConversion(fields), CommandError);
    const RowConversion convert = PlaneFourConversion(PlaneFourFields{});
    std::string result[4] = {"keep", "keep", "keep", "keep"};
    const std::string source[4] = {"P", "12,5", "0", "0"};
    EXPECT_THROW(convert(source, result), CommandError);
    EXPECT_EQ(result[0], "keep");
}

TEST(PlaneFourModel, ParameterLinesRestoreTheTextsAndShortFilesLeaveEmptyEdits) {
    PlaneFourFields fields;
    fields.dx = "-12.3456789012345";
    fields.dy = " 7 ";
    fields.rotation = "1.00000000001";
    fields.scale = "2.5E-6";
    fields.height_shift = "0.1250";
    const PlaneFourFields back = PlaneFourFieldsFromLines(PlaneFourParameterLines(fields));
    EXPECT_EQ(PlaneFourParameterLines(back), PlaneFourParameterLines(fields));
    const PlaneFourFields short_file = PlaneFourFieldsFromLines({"1", "2"});
    EXPECT_EQ(short_file.rotation, "");
    EXPECT_EQ(short_file.height_shift, "");
    const PlaneFourParameters p = ReadPlaneFourParameters(short_file);
    EXPECT_EQ(p.a, 1);
    EXPECT_EQ(p.b, 0);
    EXPECT_EQ(p.dH, 0);
}

}  // namespace
}  // namespace coordconv
