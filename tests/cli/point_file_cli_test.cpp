// coordconv-cli with point files in other layouts: CASS .dat in and out,
// blank and tab separators, header lines, angle forms, common-point files,
// --check, and the program's own files read as before.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

// 30°30′ N, 118°30′ E on meridian 117 projects to x = 3376500.1736,
// y = 644006.4942 (Xi'an 1980, the Gauss window's worked example); the
// inverse gives back 30.3000000002, 118.2959999999 (series error).
TEST(PointFileCli, ForeignLayoutsGiveTheProgramsOwnResult) {
    const std::string forward_out = "P1,3376500.1736,644006.4942\r\n";
    const struct {
        std::vector<std::string> options;
        std::string input;
    } forward_inputs[] = {
        {{}, "P1,30.3,118.3\r\n"},
        {{"--columns", "name,B,L"}, "P1,30.3,118.3\r\n"},
        {{"--separator", "blank", "--skip", "1", "--columns", "name,B,L", "--angles", "deg"},
         "name  lat   lon\r\n  P1   30.5  118.5 \r\n\r\n"},
        {{"--separator", "tab", "--columns", "-,L,B,name", "--angles", "text"}, "7\t118°30′00″E\t30°30′N\tP1\n"},
        {{"--separator", "semicolon", "--columns", "name,B,L", "--angles", "text"}, "P1;30 29 59.9999999;118度30分\n"},
    };
    for (const auto& c : forward_inputs) {
        std::vector<std::string> args = {"gauss-forward", "--cm", "117", "--encoding", "utf-8"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto run = RunCli(args, c.input);
        ASSERT_EQ(run.status, 0) << run.err << c.input;
        EXPECT_EQ(run.out, forward_out) << c.input;
    }
    // CASS .dat in, easting first, with and without the zone number in the constant.
    const ScratchDir dir;
    WriteBytes(dir.Path("in.dat"), "P1,,39644006.4942,3376500.1736,12.5\r\n");
    const auto cass = RunCli({"gauss-inverse", "--preset", "cass", "--cm", "117", "--yconst", "39500000", "-i",
                              dir.Path("in.dat")});
    ASSERT_EQ(cass.status, 0) << cass.err;
    EXPECT_EQ(cass.out, "P1,30.3000000002,118.2959999999\r\n");
    // ... and out: name, empty code, y, x, height (none in this table).
    const auto out = RunCli({"gauss-forward", "--cm", "117", "--yconst", "39500000", "--output-preset", "cass", "-o",
                             dir.Path("out.dat")},
                            "P1,30.3,118.3\r\n");
    ASSERT_EQ(out.status, 0) << out.err;
    EXPECT_EQ(ReadBytes(dir.Path("out.dat")), "P1,,39644006.4942,3376500.1736,\r\n");
    // A converted table with heights writes them.
    const auto plane = RunCli({"plane-four", "convert", "--preset", "cass", "--output-preset", "cass"},
                              "K1,code,20,10,5\r\n");
    EXPECT_EQ(plane.out, "K1,,20.0000,10.0000,5.0000\r\n");
}

// A common-point file with the columns in another order solves as the
// program's own file does.
TEST(PointFileCli, CommonPointFilesThroughTheColumns) {
    const std::string own = "A,0,0,1,10,20,3\r\nB,100,0,2,110,20,4\r\nC,0,100,0,10,120,2.1\r\n";
    const std::string other = "no y x H y2 x2 H2\r\nA 0 0 1 20 10 3\r\nB 0 100 2 20 110 4\r\nC 100 0 0 120 10 2.1\r\n";
    const auto expected = RunCli({"plane-four", "solve"}, own);
    const auto mapped = RunCli({"plane-four", "solve", "--separator", "blank", "--skip", "1", "--columns",
                                "name,y,x,H,y2,x2,H2"},
                               other);
    ASSERT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_EQ(mapped.out, expected.out);
    EXPECT_EQ(mapped.err, expected.err);
}

TEST(PointFileCli, CheckNamesImplausibleRowsAndExitsOne) {
    const std::string good = "A,3376500.1736,39644006.4942\r\n";
    const auto clean = RunCli({"gauss-inverse", "--cm", "117", "--yconst", "39500000", "--check"}, good);
    EXPECT_EQ(clean.status, 0) << clean.err;
    EXPECT_EQ(clean.out, "");
    const auto swapped = RunCli({"gauss-inverse", "--cm", "117", "--yconst", "39500000", "--check", "-o", "unused"},
                                good + "B,39644006.4942,3376500.1736\r\nC,3376500.1736,644006.4942\r\n");
    EXPECT_EQ(swapped.status, 1);
    EXPECT_EQ(swapped.out,
              "第2行: 纵坐标x与横坐标y像是对调了(横坐标列中是纵坐标); 改正: 对调x和y\n"
              "第3行: 横坐标y没有带号, 而Y坐标加常数带有带号39; 改正: 加上带号39\n");
    const auto degrees = RunCli({"gauss-forward", "--check"}, "A,30.75,116.5\r\n");
    EXPECT_EQ(degrees.status, 1);
    EXPECT_NE(degrees.out.find("按十进制度读"), std::string::npos) << degrees.out;
    const auto zone = RunCli({"gauss-inverse", "--check", "--yconst", "39500000"}, good);  // --cm left at 0
    EXPECT_EQ(zone.status, 1);
    EXPECT_NE(zone.out.find("中央子午线改为117°"), std::string::npos) << zone.out;
}

TEST(PointFileCli, WrongValuesAreUsageMistakes) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"gauss-forward", "--separator", "pipe"},
          {"gauss-forward", "--columns", "name,q"},
          {"gauss-forward", "--angles", "grad"},
          {"gauss-forward", "--skip", "x"},
          {"gauss-forward", "--preset", "dxf"},
          {"gauss-inverse", "--output-preset", "cass"},  // latitudes have no CASS form
          {"gauss-forward", "--check", "--check"}}) {
        const auto run = RunCli(args, "P1,30,117\r\n");
        EXPECT_EQ(run.status, 2) << args[1] << " " << run.err;
        EXPECT_EQ(run.out, "");
    }
    const auto bad_angle = RunCli({"gauss-forward", "--angles", "text", "--encoding", "utf-8"}, "A,30°30′,117\nB,30°61′,117\n");
    EXPECT_EQ(bad_angle.status, 1);
    EXPECT_EQ(bad_angle.err, "coordconv-cli: '30°61′' is not a valid angle. (line 2)\n");
}

}  // namespace
}  // namespace coordconv
