// coordconv-cli bursa-wolf, seven-3d, seven-2d and four-3d, run end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/number_text.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> Lines(const std::string& bytes, const std::string& end = "\r\n") {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = bytes.find(end, start)) != std::string::npos; start = at + end.size())
        lines.push_back(bytes.substr(start, at - start));
    return lines;
}

double Field(const std::string& line, int index) { return static_cast<double>(TextToNumber(SplitFields(line, index + 1)[index])); }

// Source points in ddd.mmss over a wide area, named in GBK ("点1" ...).
std::string GeodeticPoints() {
    std::string bytes;
    const char* rows[] = {"21.3000,81.1500,120", "27.0000,93.4500,2500", "33.1530,104.3000,800", "38.4500,117.1000,30",
                          "44.3000,86.0000,600", "48.0000,126.3000,150", "24.2000,110.0000,90", "35.0000,99.0000,3200"};
    int n = 0;
    for (const char* row : rows) bytes += "\xB5\xE3" + std::to_string(++n) + "," + row + "\r\n";
    return bytes;
}

// A common-point file: the points and what `tool convert` makes of them
// with `params`, every flag left blank (adopted on import).
std::string CommonPoints(const ScratchDir& dir, const std::string& tool, const std::vector<std::string>& options,
                         const std::string& params) {
    WriteBytes(dir.Path("points.txt"), GeodeticPoints());
    WriteBytes(dir.Path("truth.txt"), params);
    std::vector<std::string> args = {tool, "convert", "--params", dir.Path("truth.txt"), "-i", dir.Path("points.txt")};
    args.insert(args.end(), options.begin(), options.end());
    const auto run = RunCli(args);
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> sources = Lines(GeodeticPoints());
    const std::vector<std::string> targets = Lines(run.out);
    std::string bytes;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string target = targets[i].substr(targets[i].find(',') + 1);
        bytes += sources[i] + "," + target + (std::count(target.begin(), target.end(), ',') == 1 ? ",0" : "") + "\r\n";
    }
    return bytes;
}

const std::vector<std::string> kGeodetic = {"--form", "geodetic", "--form2", "geodetic", "--cm", "105"};
const std::string kSevenSet = "-12.5\r\n85.2\r\n40.7\r\n0.8\r\n-1.2\r\n2.1\r\n3.5E-6\r\n";

TEST(DatumCli, BursaWolfSolveRecoversTheSetAndWritesResidualsAndAccuracy) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "bursa-wolf", kGeodetic, kSevenSet));
    std::vector<std::string> args = {"bursa-wolf", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("p.txt"),
                                     "--residuals", dir.Path("res.txt")};
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    const auto run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("内符合精度=0.000", 0), 0u) << run.err;
    EXPECT_EQ(Lines(run.err, "\n").size(), 1u) << run.err;
    EXPECT_NE(run.err.find("外符合精度=0.0000m"), std::string::npos);
    const std::vector<std::string> params = Lines(ReadBytes(dir.Path("p.txt")));
    ASSERT_EQ(params.size(), 7u);
    const double truth[7] = {-12.5, 85.2, 40.7, 0.8, -1.2, 2.1, 3.5e-6};
    const double tolerance[7] = {0.005, 0.005, 0.005, 0.0002, 0.0002, 0.0002, 1e-9};
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(static_cast<double>(TextToNumber(params[static_cast<std::size_t>(i)])), truth[i], tolerance[i]) << i;
    const std::vector<std::string> residuals = Lines(ReadBytes(dir.Path("res.txt")));
    ASSERT_EQ(residuals.size(), 8u);
    for (const auto& line : residuals) {
        EXPECT_EQ(std::count(line.begin(), line.end(), ','), 11) << line;
        EXPECT_EQ(line.rfind("\xB5\xE3", 0), 0u);  // the GBK name comes back unchanged
        EXPECT_LE(std::fabs(Field(line, 7)), 2e-5);  // arc seconds
    }
}

TEST(DatumCli, TooFewPointsPrintTheMessageAndKeepTheGivenParameters) {
    const ScratchDir dir;
    const std::vector<std::string> lines = Lines(CommonPoints(dir, "bursa-wolf", kGeodetic, kSevenSet));
    WriteBytes(dir.Path("cp.txt"), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + ",,,,,,No\r\n");
    std::vector<std::string> args = {"bursa-wolf", "solve", "-i", dir.Path("cp.txt"), "--params", dir.Path("truth.txt"),
                                     "--residuals", dir.Path("res.txt")};
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    const auto run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kSevenSet);  // the parameter file to standard output, texts unchanged
    const std::vector<std::string> err = Lines(run.err, "\n");
    ASSERT_EQ(err.size(), 3u) << run.err;
    EXPECT_EQ(err[0], "布尔沙模型至少需要3个公共点。参数未重新计算。");
    EXPECT_EQ(err[1], "下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(err[2].rfind("内符合精度=0.000", 0), 0u) << err[2];
    EXPECT_EQ(Lines(ReadBytes(dir.Path("res.txt"))).size(), 3u);
}

TEST(DatumCli, ZeroColumnFailsWithoutWritingAnyFile) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), "\r\n\r\n\r\n");  // three adopted points at B = 0, L = 0
    const auto run = RunCli({"bursa-wolf", "solve", "--form", "geodetic", "-i", dir.Path("cp.txt"), "-o",
                             dir.Path("p.txt"), "--residuals", dir.Path("res.txt")});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err == "coordconv-cli: Floating point division by zero.\n" ||
                run.err == "coordconv-cli: Invalid floating point operation.\n")
        << run.err;
    EXPECT_FALSE(FileExists(dir.Path("p.txt")));
    EXPECT_FALSE(FileExists(dir.Path("res.txt")));
}

TEST(DatumCli, SevenThreeDConvertOfIdenticalSystemsGivesTheInputAndCm2FollowsCm) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "P1,3385521.1234,38512345.6780,12.3\r\nP2,3401234.5000,488765.4321\r\n");
    const auto same = RunCli({"seven-3d", "convert", "--system2", "2", "--cm", "114", "-i", dir.Path("in.txt")});
    ASSERT_EQ(same.status, 0) << same.err;
    const std::vector<std::string> lines = Lines(same.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(Field(lines[0], 1), 3385521.1234, 2e-4);
    EXPECT_NEAR(Field(lines[0], 2), 512345.6780, 2e-4);
    EXPECT_EQ(SplitFields(lines[0], 4)[3], "12.3000");
    EXPECT_NEAR(Field(lines[1], 2), 488765.4321, 2e-4);
    EXPECT_EQ(SplitFields(lines[1], 4)[3], "0.0000");  // a missing height reads 0

    const auto moved = RunCli({"seven-3d", "convert", "--system2", "2", "--cm", "114", "--cm2", "117", "-i", dir.Path("in.txt")});
    ASSERT_EQ(moved.status, 0) << moved.err;
    EXPECT_GT(std::fabs(Field(Lines(moved.out)[0], 2) - 512345.678), 1000.0);
}

TEST(DatumCli, SevenTwoDSolvePrintsTheHeightShiftAndConvertWritesThreeFields) {
    const ScratchDir dir;
    const std::string params8 = kSevenSet + "2.5\r\n";
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "seven-2d", kGeodetic, params8));
    std::vector<std::string> args = {"seven-2d", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("p.txt"),
                                     "--residuals", dir.Path("res.txt")};
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    const auto run = RunCli(args);
    ASSERT_EQ(run.status, 0) << run.err;
    // The heights were not converted (three fields), so the targets read 0.
    const std::vector<std::string> err = Lines(run.err, "\n");
    ASSERT_EQ(err.size(), 2u) << run.err;
    EXPECT_EQ(err[0].rfind("内符合精度=", 0), 0u);
    EXPECT_EQ(err[1], "dH=-936.2500");  // -(120 + 2500 + ... + 3200) / 8
    const std::vector<std::string> params = Lines(ReadBytes(dir.Path("p.txt")));
    ASSERT_EQ(params.size(), 8u);
    EXPECT_EQ(params[7], "-936.2500");
    EXPECT_NEAR(static_cast<double>(TextToNumber(params[5])), 2.1, 0.001);
    for (const auto& line : Lines(ReadBytes(dir.Path("res.txt")))) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 10);

    WriteBytes(dir.Path("in.txt"), GeodeticPoints());
    args = {"seven-2d", "convert", "--params", dir.Path("p.txt"), "-i", dir.Path("in.txt")};
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    const auto convert = RunCli(args);
    ASSERT_EQ(convert.status, 0) << convert.err;
    for (const auto& line : Lines(convert.out)) EXPECT_EQ(std::count(line.begin(), line.end(), ','), 2) << line;
}

TEST(DatumCli, FourThreeDCentreSolveAndConvert) {
    const ScratchDir dir;
    const std::string params6 = "-35.2\r\n118.6\r\n52.9\r\n2.5\r\n35.0000\r\n105.0000\r\n";
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "four-3d", kGeodetic, params6) + ",,,,,,,,,,,,No\r\n");
    const auto centre = RunCli({"four-3d", "centre", "--form", "geodetic", "-i", dir.Path("cp.txt")});
    ASSERT_EQ(centre.status, 0) << centre.err;
    const std::vector<std::string> centre_lines = Lines(centre.out, "\n");
    ASSERT_EQ(centre_lines.size(), 2u) << centre.out;
    // Eight points and one empty row (B = 0, L = 0) make the mean.
    const double b_sum = 21.5 + 27 + (33 + 15.0 / 60 + 30.0 / 3600) + 38.75 + 44.5 + 48 + (24 + 20.0 / 60) + 35;
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(centre_lines[0])), b_sum / 9, 1.0 / 3600);
    EXPECT_EQ(centre_lines[0].size() - centre_lines[0].find('.'), 5u);  // whole seconds

    // Solving needs the centre the points were made with.
    WriteBytes(dir.Path("start.txt"), "0\r\n0\r\n0\r\n0\r\n35.0000\r\n105.0000\r\n");
    std::vector<std::string> args = {"four-3d", "solve", "-i", dir.Path("cp.txt"), "--params", dir.Path("start.txt")};
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    const auto solve = RunCli(args);
    ASSERT_EQ(solve.status, 0) << solve.err;
    const std::vector<std::string> params = Lines(solve.out);
    ASSERT_EQ(params.size(), 6u);
    EXPECT_NEAR(static_cast<double>(TextToNumber(params[0])), -35.2, 0.01);
    EXPECT_NEAR(static_cast<double>(TextToNumber(params[3])), 2.5, 0.001);
    EXPECT_EQ(params[4], "35.0000");
    EXPECT_EQ(params[5], "105.0000");
    // The empty row is a check point far from its "target" at 0, 0, 0.
    EXPECT_EQ(Lines(solve.err, "\n").size(), 1u);
    EXPECT_EQ(solve.err.find("外符合精度=0.0000m"), std::string::npos) << solve.err;
}

TEST(DatumCli, UsageMistakesExitWithStatusTwo) {
    EXPECT_EQ(RunCli({"bursa-wolf", "convert", "--form", "polar"}).status, 2);
    EXPECT_EQ(RunCli({"seven-3d", "solve", "--form2", "xy"}).status, 2);
    EXPECT_EQ(RunCli({"four-3d"}).status, 2);
    EXPECT_EQ(RunCli({"seven-2d", "centre"}).status, 2);
    const auto help = RunCli({"four-3d", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("centre"), std::string::npos);
}

}  // namespace
}  // namespace coordconv
