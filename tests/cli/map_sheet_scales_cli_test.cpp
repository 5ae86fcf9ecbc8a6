// map-sheet at the scales of the whole series, corners, and the sheet index.
#include <gtest/gtest.h>

#include <iostream>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::RunProgram;
using testing::ScratchDir;
using testing::WriteBytes;

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return lines;
}

TEST(MapSheetScalesCli, TheDefaultScaleWritesTheFirstVersionsTable) {
    for (const std::vector<std::string>& input :
         {std::vector<std::string>{"--lat", "39.56", "--lon", "116.24"},
          std::vector<std::string>{"--x", "4425000", "--y", "39500000", "--output-form", "old"},
          std::vector<std::string>{"--sheet", "J-50-5-(15)"}}) {
        std::vector<std::string> plain = {"map-sheet"};
        plain.insert(plain.end(), input.begin(), input.end());
        std::vector<std::string> scaled = plain;
        scaled.insert(scaled.end(), {"--scale", "1:10000"});
        const auto expected = RunCli(plain);
        EXPECT_EQ(expected.status, 0) << expected.err;
        EXPECT_EQ(RunCli(scaled).out, expected.out);
    }
}

TEST(MapSheetScalesCli, JunctionTableCornersAndRelatedSheetsAtOtherScales) {
    // 39°22'30" N, 114°33'45" E lies on the corner of four 1:5,000 sheets
    // and belongs to the north-east one; at 1:50,000 it is J50E004003.
    const auto fifty = RunCli({"map-sheet", "--scale", "1:50000", "--lat", "39.2230", "--lon", "114.3345"});
    EXPECT_EQ(fifty.status, 0) << fifty.err;
    EXPECT_EQ(fifty.out,
              "J50E003002,J50E003003,J50E003004\n"
              "J50E004002,J50E004003,J50E004004\n"
              "J50E005002,J50E005003,J50E005004\n");
    const auto old = RunCli({"map-sheet", "--scale", "1:5000", "--sheet", "J50H030019", "--output-form", "old"});
    EXPECT_EQ(old.status, 0) << old.err;
    EXPECT_NE(old.out.find(",J-50-14-(50)-c,"), std::string::npos) << old.out;

    // Corners on the 3° zone of the sheet's centre (38, 114°), CGCS2000; the
    // plane values as PROJ's cs2cs gives them (tmerc, lon_0=114, x_0=38500000).
    const auto corners = RunCli({"map-sheet", "--scale", "1:50000", "--sheet", "J50E004003", "--corners",
                                 "--system", "cgcs2000"});
    EXPECT_EQ(corners.status, 0) << corners.err;
    // Lines: the number, then SW, SE, NE, NW with B, L (ddd.mmss), x, y.
    const std::vector<std::string> lines = Lines(corners.out);
    ASSERT_EQ(lines.size(), 5u) << corners.out;
    EXPECT_EQ(lines[0], "J50E004003");
    const struct {
        const char* start;
        double x, y;
    } expected[] = {{"SW,39.2000,114.3000,", 4355629.4313, 38543109.3490},
                    {"SE,39.2000,114.4500,", 0, 0},
                    {"NE,39.3000,114.4500,", 4374282.6867, 38564510.4202},
                    {"NW,39.3000,114.3000,", 0, 0}};
    for (int i = 0; i < 4; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i + 1)];
        ASSERT_EQ(line.rfind(expected[i].start, 0), 0u) << line;
        if (expected[i].x == 0) continue;
        const std::string numbers = line.substr(std::string(expected[i].start).size());
        EXPECT_NEAR(std::stod(numbers), expected[i].x, 0.00015) << line;
        EXPECT_NEAR(std::stod(numbers.substr(numbers.find(',') + 1)), expected[i].y, 0.00015) << line;
    }

    const auto related = RunCli({"map-sheet", "--scale", "1:10000", "--sheet", "J50G015010", "--input-form", "new",
                                 "--within", "1:100000", "--inside", "1:5000"});
    EXPECT_EQ(related.status, 0) << related.err;
    EXPECT_EQ(related.out, "J50D002002\nJ50H029019,J50H029020\nJ50H030019,J50H030020\n");

    // No sheet beyond the equator; a scale the series lacks.
    const auto south = RunCli({"map-sheet", "--scale", "1:100000", "--sheet", "A50D012005"});
    EXPECT_EQ(south.out.substr(south.out.rfind('\n', south.out.size() - 2) + 1), ",,\n");
    EXPECT_EQ(RunCli({"map-sheet", "--scale", "1:200000", "--lat", "30", "--lon", "114"}).status, 2);
}

// The index of a plane polygon on CGCS2000 zone 38 at two scales, as a
// drawing and as a list, read back with ezdxf by index_drawing_check.py.
TEST(MapSheetScalesCli, IndexDrawingTilesTheAreaAndAgreesWithTheList) {
    if (RunProgram("/usr/bin/python3", {"-c", "import ezdxf"}).status != 0)
        GTEST_SKIP() << "ezdxf is not installed (Debian package python3-ezdxf)";
    const ScratchDir scratch;
    // A concave pentagon of about 30 km by 25 km.
    const std::string area = "4352000,38531000;4351000,38561000;4370000,38566000;4362000,38549000;4377000,38533000";
    std::string area_file;
    for (std::size_t start = 0, k = 1; start < area.size(); ++k) {
        const std::size_t end = area.find(';', start);
        area_file += "P" + std::to_string(k) + "," + area.substr(start, end - start) + "\r\n";
        start = end == std::string::npos ? area.size() : end + 1;
    }
    WriteBytes(scratch.Path("area.txt"), area_file);
    for (const char* extension : {"dxf", "csv"}) {
        const auto run = RunCli({"map-sheet", "index", "--scale", "1:50000,1:25000", "--area", scratch.Path("area.txt"),
                                 "--area-form", "plane", "--system", "cgcs2000", "-o",
                                 scratch.Path(std::string("index.") + extension)});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const auto check = RunProgram("/usr/bin/python3", {std::string(COORDCONV_TEST_DATA) + "/../cli/index_drawing_check.py",
                                                       scratch.Path("index.dxf"), scratch.Path("index.csv"), area});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::cout << check.out;
    // The list is GBK text with CR LF line ends.
    EXPECT_EQ(ReadBytes(scratch.Path("index.csv")).substr(0, 6), "\xcd\xbc\xb7\xf9\xba\xc5");  // 图幅号
}

// Rectangular sheets of a plan: the junction table of a plane point, the
// corners of a named sheet, and an index at two scales read back with ezdxf.
TEST(MapSheetScalesCli, RectangularSheets) {
    const auto table = RunCli({"map-sheet", "--rectangular", "--scale", "1:1000", "--x", "3410123.4", "--y", "39678.9"});
    EXPECT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out,
              "3410.5-39.0,3410.5-39.5,3410.5-40.0\n"
              "3410.0-39.0,3410.0-39.5,3410.0-40.0\n"
              "3409.5-39.0,3409.5-39.5,3409.5-40.0\n");
    const auto corners = RunCli({"map-sheet", "--rectangular", "--scale", "1:500", "--sheet", "3410.25-39.50", "--corners"});
    EXPECT_EQ(corners.out,
              "3410.25-39.50\nSW,3410250.0000,39500.0000\nSE,3410250.0000,39750.0000\n"
              "NE,3410500.0000,39750.0000\nNW,3410500.0000,39500.0000\n");
    EXPECT_EQ(RunCli({"map-sheet", "--rectangular", "--scale", "1:5000", "--x", "0", "--y", "0"}).status, 2);

    if (RunProgram("/usr/bin/python3", {"-c", "import ezdxf"}).status != 0)
        GTEST_SKIP() << "ezdxf is not installed (Debian package python3-ezdxf)";
    const ScratchDir scratch;
    WriteBytes(scratch.Path("area.txt"),
               "P1,3410100,39100\r\nP2,3410300,40600\r\nP3,3411600,40900\r\nP4,3410900,40200\r\nP5,3411800,39300\r\n");
    for (const char* extension : {"dxf", "csv"}) {
        const auto run = RunCli({"map-sheet", "index", "--rectangular", "--scale", "1:2000,1:1000", "--area",
                                 scratch.Path("area.txt"), "-o", scratch.Path(std::string("plan.") + extension)});
        ASSERT_EQ(run.status, 0) << run.err;
    }
    const auto check = RunProgram(
        "/usr/bin/python3", {std::string(COORDCONV_TEST_DATA) + "/../cli/index_drawing_check.py", scratch.Path("plan.dxf"),
                             scratch.Path("plan.csv"), "3410100,39100;3410300,40600;3411600,40900;3410900,40200;3411800,39300"});
    EXPECT_EQ(check.status, 0) << check.out << check.err;
    std::cout << check.out;
}

TEST(MapSheetScalesCli, IndexOfALatitudeLongitudeBoxIsExactlyItsSheets) {
    // The box of J50D002002 (39°20'..39°40' N, 114°30'..115° E) holds four
    // 1:50,000 sheets; sheets that only touch its edges are left out.
    const ScratchDir scratch;
    const auto run = RunCli({"map-sheet", "index", "--scale", "1:50000", "--bbox", "39.2,114.3,39.4,115", "-o",
                             scratch.Path("box.csv"), "--encoding", "utf-8"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::string> numbers;
    const std::string text = ReadBytes(scratch.Path("box.csv"));
    for (std::size_t at = text.find("\r\n"); at != std::string::npos && at + 2 < text.size(); at = text.find("\r\n", at + 2))
        numbers.push_back(text.substr(at + 2, text.find(',', at + 2) - at - 2));
    EXPECT_EQ(numbers, (std::vector<std::string>{"J50E003003", "J50E003004", "J50E004003", "J50E004004"}));
    EXPECT_EQ(RunCli({"map-sheet", "index", "--scale", "1:500", "--bbox", "30,110,40,120", "-o", scratch.Path("x.csv")})
                  .status,
              1);
}

}  // namespace
}  // namespace coordconv
