// The drawing converter's rules that the ezdxf check does not reach: the
// refusals, a cancel, and mirrored entities and the axis rule under a
// rotation of 90° derived by hand.
#include "convert/dxf_converter.h"

#include <filesystem>
#include <map>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"
#include "tools/plane/plane_four.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

std::string Drawing(const std::string& entities) {
    return "0\nSECTION\n2\nENTITIES\n" + entities + "0\nENDSEC\n0\nEOF\n";
}

// The values of the pairs with `code` in the record after the first pair
// whose value is `marker` (its handle).
std::vector<double> ValuesAfter(const std::string& dxf, const std::string& marker, int code) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = dxf.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(dxf.substr(start, end - start));
    std::vector<double> values;
    bool inside = false;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2) {
        const int c = std::stoi(lines[i]);
        if (c == 0 && inside) break;
        if (c == 5 && lines[i + 1] == marker) inside = true;
        if (inside && c == code) values.push_back(std::stod(lines[i + 1]));
    }
    return values;
}

TEST(DxfConverter, RefusalsNameTheFixAndWriteNothing) {
    const ScratchDir dir;
    WriteBytes(dir.Path("plan.dwg"), std::string("AC1032\0\0\0", 9));
    WriteBytes(dir.Path("plan_dwg.dxf"), std::string("AC1027\0\0", 8));
    WriteBytes(dir.Path("binary.dxf"), std::string("AutoCAD Binary DXF\r\n\x1a\0", 22) + "rest");
    WriteBytes(dir.Path("local.dxf"), Drawing("0\nLINE\n5\n1A\n10\n100\n20\n200\n11\n150\n21\n250\n"));
    WriteBytes(dir.Path("plan.dxf"), Drawing("0\nPOINT\n5\n1B\n10\n600000\n20\n3320000\n"));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"zone-change", "--cm", "114", "--cm2", "117", "-i", dir.Path("plan.dwg")}, "请先在CAD中另存为DXF"},
        {{"zone-change", "--cm", "114", "--cm2", "117", "-i", dir.Path("plan_dwg.dxf")}, "请先在CAD中另存为DXF"},
        {{"zone-change", "--cm", "114", "--cm2", "117", "-i", dir.Path("binary.dxf")}, "另存为ASCII DXF"},
        {{"zone-change", "--cm", "114", "--cm2", "117", "-i", dir.Path("local.dxf")}, "LINE 1A, X=100, Y=200"},
        {{"bursa-wolf", "convert", "--cm", "114", "--form2", "geodetic", "-i", dir.Path("plan.dxf")},
         "请把原坐标和新坐标都设为平面坐标"},
        {{"polynomial", "convert", "--form", "ellipsoid", "-i", dir.Path("plan.dxf")}, "都设为平面坐标"},
    };
    for (const auto& [args, text] : cases) {
        std::vector<std::string> run_args = args;
        run_args.insert(run_args.end(), {"-o", dir.Path("out.dxf")});
        const auto run = RunCli(run_args);
        EXPECT_EQ(run.status, 1) << args[0];
        EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
        EXPECT_FALSE(FileExists(dir.Path("out.dxf")));
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")), {}), 5);
    // A point file keeps its old behaviour; --format dxf makes any name a drawing.
    WriteBytes(dir.Path("plan.txt"), ReadBytes(dir.Path("plan.dxf")));
    const auto as_points = RunCli({"zone-change", "-i", dir.Path("plan.txt")});
    EXPECT_EQ(as_points.err, "");
    EXPECT_EQ(as_points.out.substr(0, 25), "0,0.0000,0.0001\r\nSECTION,");
    const auto as_drawing = RunCli({"zone-change", "--cm", "114", "--cm2", "117", "--format", "dxf", "-i",
                                    dir.Path("plan.txt"), "-o", dir.Path("out.dxf")});
    EXPECT_EQ(as_drawing.status, 0) << as_drawing.err;
    EXPECT_NE(as_drawing.err.find("已转换实体: POINT 1"), std::string::npos) << as_drawing.err;
}

TEST(DxfConverter, CancelLeavesNoFile) {
    const ScratchDir dir;
    WriteBytes(dir.Path("plan.dxf"), Drawing("0\nPOINT\n5\n1B\n10\n600000\n20\n3320000\n"));
    DxfConversionOptions options;
    options.progress = [](double) { return false; };
    const FloatingPointScope scope;
    try {
        ConvertDxfFile(dir.Path("plan.dxf"), dir.Path("out.dxf"), PlaneFourPointConversion(PlaneFourFields{}), options);
        FAIL() << "not cancelled";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), kDxfCancelledText);
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path("")), {}), 1);
}

// Plane four-parameter rotation R = 90° (x' = -y, y' = x with x north, y
// east) turns the drawing (X east, Y north) by -90°: (X, Y) -> (Y, -X). A
// mirrored arc (normal 0,0,-1: object x = -X) at object centre (-10, 20) has
// its world centre at (10, 20), moved to (20, -10), object (-20, -10); its
// object angles turn by +90°. With --swap-xy (X north, Y east) the same
// conversion is (X, Y) -> (-Y, X), a turn of +90°.
TEST(DxfConverter, MirroredEntitiesAndTheAxisRule) {
    const ScratchDir dir;
    WriteBytes(dir.Path("params.txt"), "0\r\n0\r\n324000\r\n0\r\n0\r\n");
    WriteBytes(dir.Path("plan.dxf"),
               Drawing("0\nARC\n5\nA1\n10\n-10\n20\n20\n30\n0\n40\n5\n50\n30\n51\n120\n210\n0\n220\n0\n230\n-1\n"
                       "0\nTEXT\n5\nT1\n10\n10\n20\n20\n30\n0\n40\n2.5\n1\n字\n50\n30\n"
                       "0\nTEXT\n5\nT2\n10\n10\n20\n20\n30\n0\n40\n2.5\n1\n镜像\n50\n30\n210\n0\n220\n0\n230\n-1\n"));
    const auto run = RunCli({"plane-four", "convert", "--params", dir.Path("params.txt"), "-i", dir.Path("plan.dxf"),
                             "-o", dir.Path("out.dxf")});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string out = ReadBytes(dir.Path("out.dxf"));
    const std::map<std::pair<std::string, int>, std::vector<double>> expected = {
        {{"A1", 10}, {-20}}, {{"A1", 20}, {-10}}, {{"A1", 40}, {5}}, {{"A1", 50}, {120}}, {{"A1", 51}, {210}},
        {{"T1", 10}, {20}},  {{"T1", 20}, {-10}}, {{"T1", 40}, {2.5}}, {{"T1", 50}, {300}},
        {{"T2", 10}, {-20}}, {{"T2", 20}, {10}},  {{"T2", 50}, {120}}};
    for (const auto& [key, values] : expected) {
        const std::vector<double> got = ValuesAfter(out, key.first, key.second);
        ASSERT_EQ(got.size(), values.size()) << key.first << " " << key.second;
        EXPECT_NEAR(got[0], values[0], 1e-9) << key.first << " " << key.second;
    }
    EXPECT_NE(out.find("1\n字\n"), std::string::npos);

    const auto swapped = RunCli({"plane-four", "convert", "--params", dir.Path("params.txt"), "--swap-xy", "-i",
                                 dir.Path("plan.dxf"), "-o", dir.Path("swapped.dxf")});
    ASSERT_EQ(swapped.status, 0) << swapped.err;
    const std::string turned = ReadBytes(dir.Path("swapped.dxf"));
    EXPECT_NEAR(ValuesAfter(turned, "T1", 10)[0], -20, 1e-9);
    EXPECT_NEAR(ValuesAfter(turned, "T1", 20)[0], 10, 1e-9);
    EXPECT_NEAR(ValuesAfter(turned, "T1", 50)[0], 120, 1e-9);
}

}  // namespace
}  // namespace coordconv
