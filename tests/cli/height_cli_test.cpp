// coordconv-cli height-fit run as a user runs it.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(HeightFitCli, PlaneSurfaceSolveThenConvert) {
    const ScratchDir dir;
    // Three adopted points (flag empty or "Yes") and one check point; the
    // saved file keeps the adoption flags.
    WriteBytes(dir.Path("cp.txt"), "G1,0,0,50,30,,,\r\nG2,1000,0,60,40.1\r\nG3,0,1000,70,49.8,,,Yes\r\nG4,1000,1000,80,60,,,No\r\n");
    const auto run = RunCli({"height-fit", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("coef.txt"),
                             "--residuals", dir.Path("res.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m\n");
    EXPECT_EQ(ReadBytes(dir.Path("coef.txt")), "a0=,-20\r\na1=,0.0001\r\na2=,-0.0002\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("res.txt")),
              "G1,0,0,50,30,0.0000,No,Yes\r\nG2,1000,0,60,40.1,0.0000,No,Yes\r\n"
              "G3,0,1000,70,49.8,0.0000,No,Yes\r\nG4,1000,1000,80,60,-0.1000,No,No\r\n");

    const auto convert = RunCli({"height-fit", "convert", "--params", dir.Path("coef.txt")}, "X,500.0,500,100\r\n");
    EXPECT_EQ(convert.out, "X,500.0,500,79.9500\r\n");  // x and y copied as typed
    const auto quadratic = RunCli({"height-fit", "convert", "--model", "2", "--params", dir.Path("coef.txt")}, "X,1,1,0\r\n");
    EXPECT_EQ(quadratic.out, "X,1,1,-20.0001\r\n");  // a3..a5 missing from the file read as 0
}

TEST(HeightFitCli, TooFewPointsAndFailures) {
    const auto run = RunCli({"height-fit", "solve", "--model", "2"}, "G1,0,0,50,30\r\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "二次曲面拟合(6参)模型至少需要6个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。\n"
              "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m\n");
    EXPECT_EQ(run.out, "a0=,\r\na1=,\r\na2=,\r\na3=,\r\na4=,\r\na5=,\r\n");

    const ScratchDir dir;
    // Collinear points carry no tilt across their line: refused like too few.
    const auto collinear = RunCli({"height-fit", "solve", "-o", dir.Path("coef.txt")}, "A,0,0,1,2\r\nB,1,1,1,2\r\nC,2,2,1,2\r\n");
    EXPECT_EQ(collinear.status, 0);
    EXPECT_EQ(collinear.err.rfind("公共点的分布不能确定全部参数", 0), 0u) << collinear.err;
    EXPECT_EQ(testing::ReadBytes(dir.Path("coef.txt")), "a0=,\r\na1=,\r\na2=,\r\n");
    EXPECT_EQ(RunCli({"height-fit", "solve", "--model", "3"}, "").status, 2);
}

}  // namespace
}  // namespace coordconv
