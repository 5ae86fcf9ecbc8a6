// coordconv-cli bursa-wolf, seven-3d, seven-2d and four-3d, run end to end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

double Number(const std::string& text) { return static_cast<double>(TextToNumber(text)); }
int Commas(const std::string& line) { return static_cast<int>(std::count(line.begin(), line.end(), ',')); }

// Eight points in ddd.mmss over China, named in GBK ("点1" ...).
std::string GeodeticPoints() {
    std::string bytes;
    int n = 0;
    for (const char* row : {"21.3000,81.1500,120", "27.0000,93.4500,2500", "33.1530,104.3000,800", "38.4500,117.1000,30",
                            "44.3000,86.0000,600", "48.0000,126.3000,150", "24.2000,110.0000,90", "35.0000,99.0000,3200"})
        bytes += "\xB5\xE3" + std::to_string(++n) + "," + row + "\r\n";
    return bytes;
}

const std::vector<std::string> kGeodetic = {"--form", "geodetic", "--form2", "geodetic", "--cm", "105"};
const std::string kSevenSet = "-12.5\r\n85.2\r\n40.7\r\n0.8\r\n-1.2\r\n2.1\r\n3.5E-6\r\n";

testing::CliRun RunGeodetic(std::vector<std::string> args) {
    args.insert(args.end(), kGeodetic.begin(), kGeodetic.end());
    return RunCli(args);
}

// A common-point file: the points and what `tool convert --params truth.txt`
// makes of them (a missing height reads 0), the flags left blank.
std::string CommonPoints(const ScratchDir& dir, const std::string& tool, const std::string& params) {
    WriteBytes(dir.Path("points.txt"), GeodeticPoints());
    WriteBytes(dir.Path("truth.txt"), params);
    const auto run = RunGeodetic({tool, "convert", "--params", dir.Path("truth.txt"), "-i", dir.Path("points.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> sources = Lines(GeodeticPoints());
    const std::vector<std::string> targets = Lines(run.out);
    std::string bytes;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const std::string target = targets[i].substr(targets[i].find(',') + 1);
        bytes += sources[i] + "," + target + (Commas(target) == 1 ? ",0" : "") + "\r\n";
    }
    return bytes;
}

TEST(DatumCli, BursaWolfSolveWritesParametersResidualsAndTheAccuracyLine) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "bursa-wolf", kSevenSet));
    const auto run = RunGeodetic({"bursa-wolf", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("p.txt"), "--residuals", dir.Path("res.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(Lines(run.err, "\n").size(), 1u) << run.err;
    EXPECT_EQ(run.err.rfind("内符合精度=0.000", 0), 0u) << run.err;
    EXPECT_NE(run.err.find("m；外符合精度=0.0000m\n"), std::string::npos) << run.err;
    const std::vector<std::string> params = Lines(ReadBytes(dir.Path("p.txt")));
    ASSERT_EQ(params.size(), 7u);
    EXPECT_NEAR(Number(params[0]), -12.5, 0.005);
    EXPECT_NEAR(Number(params[5]), 2.1, 0.0002);
    EXPECT_NEAR(Number(params[6]), 3.5e-6, 1e-9);
    const std::vector<std::string> residuals = Lines(ReadBytes(dir.Path("res.txt")));
    ASSERT_EQ(residuals.size(), 8u);
    for (const auto& line : residuals) {
        EXPECT_EQ(Commas(line), 11) << line;
        EXPECT_EQ(line.rfind("\xB5\xE3", 0), 0u);  // GBK names come back unchanged
    }
}

TEST(DatumCli, TooFewPointsPrintTheMessageAndZeroColumnsFailWithoutFiles) {
    const ScratchDir dir;
    const std::vector<std::string> lines = Lines(CommonPoints(dir, "bursa-wolf", kSevenSet));
    WriteBytes(dir.Path("cp.txt"), lines[0] + "\r\n" + lines[1] + "\r\n" + lines[2] + ",,,,,,No\r\n");
    const auto run = RunGeodetic({"bursa-wolf", "solve", "-i", dir.Path("cp.txt"), "--params", dir.Path("truth.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, kSevenSet);  // the given texts, unchanged
    const std::vector<std::string> err = Lines(run.err, "\n");
    ASSERT_EQ(err.size(), 3u) << run.err;
    EXPECT_EQ(err[0], "布尔沙模型至少需要3个公共点。参数未重新计算。");
    EXPECT_EQ(err[1], "下面计算的公共点残差可用于评定当前参数的精度。");
    EXPECT_EQ(err[2].rfind("内符合精度=", 0), 0u);

    // Three empty rows are one adopted point at B = 0, L = 0, three times:
    // too few, not a solve of a singular system.
    WriteBytes(dir.Path("empty.txt"), "\r\n\r\n\r\n");
    const auto repeated = RunCli({"bursa-wolf", "solve", "--form", "geodetic", "-i", dir.Path("empty.txt"), "-o",
                                  dir.Path("p.txt"), "--residuals", dir.Path("res.txt")});
    EXPECT_EQ(repeated.status, 0);
    EXPECT_EQ(repeated.err.rfind("布尔沙模型至少需要3个公共点。", 0), 0u) << repeated.err;
}

TEST(DatumCli, SevenThreeDConvertOfIdenticalSystemsAndCm2FollowingCm) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "P1,3385521.1234,38512345.6780,12.3\r\nP2,3401234.5000,488765.4321\r\n");
    const auto same = RunCli({"seven-3d", "convert", "--system2", "2", "--cm", "114", "-i", dir.Path("in.txt")});
    ASSERT_EQ(same.status, 0) << same.err;
    const std::vector<std::string> lines = Lines(same.out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NEAR(Number(SplitFields(lines[0], 4)[1]), 3385521.1234, 2e-4);
    EXPECT_NEAR(Number(SplitFields(lines[0], 4)[2]), 512345.6780, 2e-4);
    EXPECT_EQ(SplitFields(lines[0], 4)[3], "12.3000");
    EXPECT_EQ(SplitFields(lines[1], 4)[3], "0.0000");
    const auto moved = RunCli({"seven-3d", "convert", "--system2", "2", "--cm", "114", "--cm2", "117", "-i", dir.Path("in.txt")});
    EXPECT_GT(std::fabs(Number(SplitFields(Lines(moved.out)[0], 4)[2]) - 512345.678), 1000.0);
}

TEST(DatumCli, SevenTwoDSolvePrintsTheHeightShiftAndConvertWritesThreeFields) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "seven-2d", kSevenSet + "2.5\r\n"));
    const auto run = RunGeodetic({"seven-2d", "solve", "-i", dir.Path("cp.txt"), "-o", dir.Path("p.txt"), "--residuals", dir.Path("res.txt")});
    ASSERT_EQ(run.status, 0) << run.err;
    // The converted file holds no heights, so every target height reads 0.
    const std::vector<std::string> err = Lines(run.err, "\n");
    ASSERT_EQ(err.size(), 2u) << run.err;
    EXPECT_EQ(err[1], "dH=-936.2500");  // -(120 + 2500 + ... + 3200) / 8
    const std::vector<std::string> params = Lines(ReadBytes(dir.Path("p.txt")));
    ASSERT_EQ(params.size(), 8u);
    EXPECT_EQ(params[7], "-936.2500");
    EXPECT_NEAR(Number(params[5]), 2.1, 0.001);
    for (const auto& line : Lines(ReadBytes(dir.Path("res.txt")))) EXPECT_EQ(Commas(line), 10);
    const auto convert = RunGeodetic({"seven-2d", "convert", "--params", dir.Path("p.txt"), "-i", dir.Path("points.txt")});
    ASSERT_EQ(convert.status, 0) << convert.err;
    for (const auto& line : Lines(convert.out)) EXPECT_EQ(Commas(line), 2) << line;
}

TEST(DatumCli, FourThreeDCentreAndSolve) {
    const ScratchDir dir;
    const std::string params = "-35.2\r\n118.6\r\n52.9\r\n2.5\r\n35.0000\r\n105.0000\r\n";
    WriteBytes(dir.Path("cp.txt"), CommonPoints(dir, "four-3d", params) + ",,,,,,,,,,,,No\r\n");
    const auto centre = RunCli({"four-3d", "centre", "--form", "geodetic", "-i", dir.Path("cp.txt")});
    ASSERT_EQ(centre.status, 0) << centre.err;
    const std::vector<std::string> lines = Lines(centre.out, "\n");
    ASSERT_EQ(lines.size(), 2u) << centre.out;
    // Eight points and the empty row (B = 0) make the mean; whole seconds.
    const double b_sum = 21.5 + 27 + (33 + 15.0 / 60 + 30.0 / 3600) + 38.75 + 44.5 + 48 + (24 + 20.0 / 60) + 35;
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(lines[0])), b_sum / 9, 1.0 / 3600);
    EXPECT_EQ(lines[0].size() - lines[0].find('.'), 5u);

    WriteBytes(dir.Path("start.txt"), "0\r\n0\r\n0\r\n0\r\n35.0000\r\n105.0000\r\n");
    const auto solve = RunGeodetic({"four-3d", "solve", "-i", dir.Path("cp.txt"), "--params", dir.Path("start.txt")});
    ASSERT_EQ(solve.status, 0) << solve.err;
    EXPECT_EQ(Lines(solve.out).size(), 6u);
    EXPECT_NEAR(Number(Lines(solve.out)[3]), 2.5, 0.001);
    EXPECT_EQ(solve.err.find("外符合精度=0.0000m"), std::string::npos) << solve.err;  // the empty check row

    EXPECT_EQ(RunCli({"bursa-wolf", "convert", "--form", "polar"}).status, 2);
    EXPECT_EQ(RunCli({"seven-2d", "centre"}).status, 2);
    EXPECT_EQ(RunCli({"four-3d"}).status, 2);
}

}  // namespace
}  // namespace coordconv
