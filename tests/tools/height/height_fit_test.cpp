#include "tools/height/height_fit.h"

#include <gtest/gtest.h>

#include "core/errors.h"

namespace coordconv {
namespace {

TEST(HeightSurface, ModelsLabelsAndMessages) {
    EXPECT_EQ(HeightSurfaceCoefficientCount(0), 3);
    EXPECT_EQ(HeightSurfaceCoefficientCount(1), 4);
    EXPECT_EQ(HeightSurfaceCoefficientCount(2), 6);
    EXPECT_EQ(HeightSurfaceLabels(1), (std::vector<std::string>{"a0=", "a1=", "a2=", "a3="}));
    EXPECT_EQ(HeightSurfaceTerms(2, 3, 6), (Vector{1, 2, 3, 6, 4, 9}));
    EXPECT_EQ(HeightSurfaceTerms(2, 3, 4), (Vector{1, 2, 3, 6}));
    EXPECT_EQ(HeightFitTooFewPointsText(2),
              "二次曲面拟合(6参)模型至少需要6个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(HeightSurface({1, 0.5L, 0.25L}, 2, 4), 3);
}

TEST(HeightSurface, ConvertCopiesTheCoordinateTexts) {
    CoefficientTable table(HeightSurfaceLabels(0));
    table.Value(0) = "-20.5";
    table.Value(1) = "1E-6";
    std::string result[4];
    const std::string row[4] = {"G1", " 3380000.00 ", "500000", "52.125"};
    HeightFitConversion(0, table)(row, result);
    EXPECT_EQ(result[0], "G1");
    EXPECT_EQ(result[1], " 3380000.00 ");
    EXPECT_EQ(result[2], "500000");
    EXPECT_EQ(result[3], "35.0050");
    const std::string empty[4] = {};
    HeightFitConversion(0, table)(empty, result);
    EXPECT_EQ(result[1], "");
    EXPECT_EQ(result[3], "-20.5000");
}

TEST(HeightSurface, OnlyTheModelsCoefficientsAreRead) {
    // Six lines loaded under the plane model: a3..a5 are ignored, also when bad.
    CoefficientTable table(HeightSurfaceLabels(0));
    table.AssignFileLines({"a0=,1", "a1=,0", "a2=,0", "a3=,x", "a4=,5", "a5=,5"});
    std::string result[4];
    const std::string row[4] = {"P", "10", "20", "100"};
    HeightFitConversion(0, table)(row, result);
    EXPECT_EQ(result[3], "101.0000");
    EXPECT_THROW(HeightFitConversion(1, table), CommandError);
}

}  // namespace
}  // namespace coordconv
