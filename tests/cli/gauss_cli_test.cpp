// coordconv-cli gauss-forward / gauss-inverse run as a user runs them.
#include <gtest/gtest.h>

#include "table/coordinate_file.h"
#include "tests/test_support.h"
#include "tools/projection/gauss_tools.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::RunCli;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(GaussCli, ForwardGbkFileByteExact) {
    const ScratchDir dir;
    // 点1 and 北京 on meridian 117 (the second line has LF only); a lone field
    // line reads its missing coordinates as 0 and is projected all the same.
    WriteBytes(dir.Path("in.txt"), "\xb5\xe3\x31,30.3,118.3\r\n\xb1\xb1\xbe\xa9,30.3,115.3\n,\n");
    const auto run = RunCli({"gauss-forward", "-i", dir.Path("in.txt"), "-o", dir.Path("out.txt"), "--cm", "117"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")),
              "\xb5\xe3\x31,3376500.1736,644006.4942\r\n"
              "\xb1\xb1\xbe\xa9,3376500.1736,355993.5058\r\n"
              ",0.0000,-31251446.4608\r\n");  // L = 0 lies 117 degrees off the meridian
}

TEST(GaussCli, DefaultsExampleOnStandardStreamsAndBack) {
    const auto forward = RunCli({"gauss-forward"}, "P1,30.3,1.3\r\n");
    ASSERT_EQ(forward.status, 0);
    EXPECT_EQ(forward.out, "P1,3376500.1736,644006.4942\r\n");
    const auto inverse = RunCli({"gauss-inverse"}, forward.out);
    EXPECT_EQ(inverse.out, "P1,30.3000000002,1.2959999999\r\n");
    // UTF-8 files, the 2000 system and a zone number in the constant.
    const auto utf8 = RunCli({"gauss-forward", "--encoding", "utf-8", "--system", "1", "--yconst=38500000"},
                             "点,30,3\n");
    EXPECT_EQ(utf8.out, "点,3323905.4664,38789525.4635\r\n");
    const auto back = RunCli({"gauss-inverse", "--encoding", "utf-8", "--system", "1"}, utf8.out);
    // 3 degrees off the meridian the sixth-order series is good to ~1e-9 degree.
    EXPECT_EQ(back.out, "点,29.5959999999,3.0000000011\r\n");
}

// The inverse tools drop a zone number carried by --yconst (as the forward
// tools take it) like that of the eastings: both constants, both tools, one
// result.
TEST(GaussCli, InverseToolsTakeTheYConstantWithItsZoneNumber) {
    for (const char* tool : {"gauss-inverse", "utm-inverse"}) {
        const auto plain = RunCli({tool, "--cm", "117", "--yconst", "500000"}, "P1,3376500.1736,39644006.4942\r\n");
        const auto numbered = RunCli({tool, "--cm", "117", "--yconst", "39500000"}, "P1,3376500.1736,39644006.4942\r\n");
        ASSERT_EQ(numbered.status, 0) << numbered.err;
        EXPECT_EQ(numbered.out, plain.out) << tool;
        EXPECT_EQ(numbered.out.rfind("P1,30.", 0), 0u) << numbered.out;  // not -228351...
    }
    const auto gauss = RunCli({"gauss-inverse", "--cm", "117", "--yconst", "39500000"}, "P1,3376500.1736,39644006.4942\r\n");
    EXPECT_EQ(gauss.out, "P1,30.3000000002,118.2959999999\r\n");
}

TEST(GaussCli, FailuresChangeNoFile) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "A,30,1\r\nB,3O,1\r\n");
    WriteBytes(dir.Path("out.txt"), "keep\r\n");
    const auto bad_cell = RunCli({"gauss-forward", "-i", dir.Path("in.txt"), "-o", dir.Path("out.txt")});
    EXPECT_EQ(bad_cell.status, 1);
    EXPECT_EQ(bad_cell.err, "coordconv-cli: '3O' is not a valid floating point value. (line 2)\n");
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "keep\r\n");

    const auto zero_invf = RunCli({"gauss-forward", "--system", "4", "--invf", "0", "-i", dir.Path("in.txt"), "-o",
                                   dir.Path("new.txt")});
    EXPECT_EQ(zero_invf.status, 1);
    EXPECT_EQ(zero_invf.err, "coordconv-cli: Floating point division by zero.\n");
    EXPECT_FALSE(FileExists(dir.Path("new.txt")));

    const auto far_north = RunCli({"gauss-inverse", "-o", dir.Path("new.txt")}, "X,15919e16,500000\r\n");
    EXPECT_EQ(far_north.status, 1);
    EXPECT_EQ(far_north.err, "coordconv-cli: 纵坐标超出椭球范围，底点纬度迭代不收敛. (line 1)\n");
    EXPECT_FALSE(FileExists(dir.Path("new.txt")));

    const auto missing = RunCli({"gauss-forward", "-i", dir.Path("none.txt")});
    EXPECT_EQ(missing.err, "coordconv-cli: File not found.\n");

    EXPECT_EQ(RunCli({"gauss-forward", "--bogus", "1"}).status, 2);
    EXPECT_EQ(RunCli({"gauss-forward", "--system", "7"}).status, 2);
    EXPECT_EQ(RunCli({"no-such-tool"}).status, 2);
    const auto help = RunCli({"gauss-forward", "--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--yconst"), std::string::npos);
}

// The coordinate systems by name give what their numbers give; the help
// speaks of meridians and eastings, not of the windows' controls.
TEST(GaussCli, SystemNamesAndHelpInASurveyorsWords) {
    const std::string point = "P1,30.3,114.3\r\n";
    const char* names[] = {"xian80", "cgcs2000", "beijing54", "wgs84", "custom"};
    for (int index = 0; index < 5; ++index) {
        const auto by_number = RunCli({"gauss-forward", "--system", std::to_string(index), "--cm", "114"}, point);
        const auto by_name = RunCli({"gauss-forward", "--system", names[index], "--cm", "114"}, point);
        EXPECT_EQ(by_name.status, 0) << names[index];
        EXPECT_EQ(by_name.out, by_number.out) << names[index];
    }
    EXPECT_EQ(RunCli({"gauss-forward", "--system", "WGS84"}, point).out, RunCli({"gauss-forward", "--system", "3"}, point).out);
    EXPECT_EQ(RunCli({"bursa-wolf", "convert", "--system2", "xian"}).status, 2);
    for (const std::string tool : {"bursa-wolf", "map-sheet", "compensation", "utm-forward"}) {
        const std::string help = RunCli({tool, "--help"}).out;
        for (const char* control : {"Edit", "ComboBox", "SpinEdit", "StringGrid"})
            EXPECT_EQ(help.find(control), std::string::npos) << tool << " mentions " << control;
    }
}

// The command line converts chunks of lines on two threads; its file must be
// the window's, byte for byte, and a failure must name the first bad line.
TEST(GaussCli, LargeFilesMatchTheWindowAndNameTheFailingLine) {
    const ScratchDir dir;
    std::string input;
    for (int i = 0; i < 150000; ++i)
        input += "P" + std::to_string(i) + "," + std::to_string(20 + i % 30) + "." + std::to_string(1000 + i % 5959) +
                 "," + std::to_string(115 + i % 4) + "." + std::to_string(i % 7) + (i % 3 ? "\r\n" : "\n");
    WriteBytes(dir.Path("in.txt"), input);
    const auto run = RunCli({"gauss-forward", "--cm", "117", "-i", dir.Path("in.txt"), "-o", dir.Path("cli.txt")});
    ASSERT_EQ(run.status, 0) << run.err;

    PointTable source({"点号", "B", "L"});
    PointTable result({"点号", "x", "y"});
    ImportCoordinateFile(dir.Path("in.txt"), FieldSplit::Projection, FileEncoding::Gbk, source);
    GaussFields fields;
    fields.central_meridian = "117";
    ConvertTable(GaussForwardConversion(fields), source, result);
    SaveCoordinateFile(dir.Path("window.txt"), result, 3, FileEncoding::Gbk);
    EXPECT_TRUE(ReadBytes(dir.Path("cli.txt")) == ReadBytes(dir.Path("window.txt")));

    const std::size_t bad_line_start = [&] {
        std::size_t at = 0;
        for (int line = 1; line < 120001; ++line) at = input.find('\n', at) + 1;
        return at;
    }();
    input.replace(bad_line_start, input.find(',', bad_line_start) - bad_line_start, "Q,3x");
    WriteBytes(dir.Path("bad.txt"), input);
    const auto bad = RunCli({"gauss-forward", "-i", dir.Path("bad.txt"), "-o", dir.Path("bad_out.txt")});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "coordconv-cli: '3x' is not a valid floating point value. (line 120001)\n");
    EXPECT_FALSE(FileExists(dir.Path("bad_out.txt")));

    input.replace(input.find("P7,"), 2, "P7,x");  // a second fault, earlier: it wins
    WriteBytes(dir.Path("bad.txt"), input);
    EXPECT_EQ(RunCli({"gauss-forward", "-i", dir.Path("bad.txt")}).err,
              "coordconv-cli: 'x' is not a valid floating point value. (line 8)\n");

    // A last line without a line end, longer than the 2 MiB the command reads
    // at a time: one whole point, its 3 MiB name kept.
    const std::string name(3 << 20, 'N');
    WriteBytes(dir.Path("long.txt"), "P1,30.3,1.3\r\n" + name + ",30.3,1.3");
    const auto long_line = RunCli({"gauss-forward", "-i", dir.Path("long.txt")});
    ASSERT_EQ(long_line.status, 0) << long_line.err.substr(0, 200);
    EXPECT_EQ(long_line.out.size(), 2 * std::string(",3376500.1736,644006.4942\r\n").size() + 2 + name.size());
    EXPECT_EQ(long_line.out.substr(long_line.out.size() - 27), ",3376500.1736,644006.4942\r\n");
}

TEST(GaussCli, EmptyInputConvertsTheOneEmptyRow) {
    EXPECT_EQ(RunCli({"gauss-forward"}, "").out, ",0.0000,500000.0000\r\n");
}

}  // namespace
}  // namespace coordconv
