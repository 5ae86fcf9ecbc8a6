// coordconv-cli plane-four and polynomial run as a user runs them.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(PlaneFourCli, SolveThenConvertWithTheSavedParameters) {
    const ScratchDir dir;
    // Two adopted points and one check point of a pure shift (+10, +20), heights +2.
    WriteBytes(dir.Path("cp.txt"), "A,0,0,1,10,20,3\r\nB,100,0,2,110,20,4\r\nC,0,100,0,10,120,2.1,,,,,,No\r\n");
    const auto run = RunCli({"plane-four", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("par.txt"), "--residuals",
                             dir.Path("res.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadBytes(dir.Path("par.txt")), "10\r\n20\r\n0\r\n0\r\n2.0000\r\n");
    EXPECT_EQ(ReadBytes(dir.Path("res.txt")),
              "A,0,0,1,10,20,3,0.0000,0.0000,0.0000,0.0000,No\r\n"
              "B,100,0,2,110,20,4,0.0000,0.0000,0.0000,0.0000,No\r\n"
              "C,0,100,0,10,120,2.1,0.0000,0.0000,-0.1000,0.0000,No\r\n");
    EXPECT_EQ(run.err, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m\ndH=2.0000\n");

    const auto convert = RunCli({"plane-four", "convert", "--params", dir.Path("par.txt")}, "X,50,50,0\r\n,,,\r\n");
    ASSERT_EQ(convert.status, 0) << convert.err;
    EXPECT_EQ(convert.out, "X,60.0000,70.0000,2.0000\r\n,10.0000,20.0000,2.0000\r\n");
}

TEST(PlaneFourCli, TooFewPointsKeepsTheGivenParametersAndFailuresWriteNothing) {
    const ScratchDir dir;
    WriteBytes(dir.Path("par.txt"), "10\r\n20\r\n0\r\n0.5E-5\r\n9\r\n");
    const auto run = RunCli({"plane-four", "solve", "--params", dir.Path("par.txt")}, "A,0,0,1,10,20,3\r\n");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "10\r\n20\r\n0\r\n0.5E-5\r\n2.0000\r\n");
    EXPECT_EQ(run.err,
              "二维四参数模型至少需要2个公共点。参数未重新计算。\n下面计算的公共点残差可用于评定当前参数的精度。\n"
              "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m\ndH=2.0000\n");
    // No adopted row: EditDH is not written, so no dH line.
    EXPECT_EQ(RunCli({"plane-four", "solve"}, "A,0,0,1,10,20,3,,,,,,No\r\n").err.find("dH="), std::string::npos);

    WriteBytes(dir.Path("cp.txt"), "A,0,0,1,10,20,3\r\nB,1OO,0,2,110,20,4\r\n");
    const auto bad = RunCli({"plane-four", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("out.txt"), "--residuals",
                             dir.Path("res.txt")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "coordconv-cli: '1OO' is not a valid floating point value.\n");
    EXPECT_FALSE(FileExists(dir.Path("out.txt")));
    EXPECT_FALSE(FileExists(dir.Path("res.txt")));
}

TEST(PolynomialCli, FirstOrderSolveConvertAndTooFewPoints) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), "A,0,0,1,0.5,-1,1.5\r\nB,1000,0,1,1000.5,-0.9,1.5\r\nC,0,1000,1,0.7,999,1.5\r\n");
    const auto run = RunCli({"polynomial", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("coef.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m\ndH=0.5000\n");
    const std::string coefficients = ReadBytes(dir.Path("coef.txt"));
    EXPECT_NE(coefficients.find("a2,0.0002\r\nb0,-1\r\nb1,0.0001\r\nb2,"), std::string::npos) << coefficients;
    const auto convert = RunCli({"polynomial", "convert", "--params", dir.Path("coef.txt"), "--dh", "0.5"},
                                "X,500,500,0\r\n");
    EXPECT_EQ(convert.out, "X,500.6000,499.0500,0.5000\r\n");

    const auto third = RunCli({"polynomial", "solve", "--order", "3", "--form", "ellipsoid"}, "A,30,114,1,30,114,2\r\n");
    ASSERT_EQ(third.status, 0) << third.err;
    EXPECT_EQ(third.err.rfind("3次多项式模型至少需要10个公共点。参数未重新计算。\n", 0), 0u);
    EXPECT_EQ(third.out.rfind("a0,\r\na1,\r\n", 0), 0u);  // the 20 empty rows of the third order
    EXPECT_EQ(RunCli({"polynomial", "solve", "--order", "4"}, "").status, 2);
}

}  // namespace
}  // namespace coordconv
