// coordconv-cli utm-forward, utm-inverse, zone-change and compensation, run
// as a user runs them.
#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace coordconv::testing {
namespace {

TEST(ProjectionCli, UtmBothWaysThroughStreamsAndFiles) {
    const CliRun forward = RunCli({"utm-forward"}, "P1,30.3,1.3\r\nP2,30,3\n");
    EXPECT_EQ(forward.status, 0) << forward.err;
    EXPECT_EQ(forward.out, "P1,3375148.0007,643948.8238\r\nP2,3322575.9044,789409.6533\r\n");
    EXPECT_EQ(forward.err, "");

    const ScratchDir dir;
    WriteBytes(dir.Path("geo.txt"), "S,-33.3,2\r\n");
    const CliRun south = RunCli({"utm-forward", "--xconst", "10000000", "-i", dir.Path("geo.txt"), "-o", dir.Path("plane.txt")});
    EXPECT_EQ(south.status, 0) << south.err;
    EXPECT_EQ(south.out, "");
    EXPECT_EQ(ReadBytes(dir.Path("plane.txt")), "S,6291490.6461,685785.6100\r\n");
    // Back, with a zone number in the easting: 33°30′ S within 1e-9 degree.
    const CliRun inverse = RunCli({"utm-inverse", "--xconst=10000000"}, "S,6291490.6461,31685785.6100\r\n");
    EXPECT_EQ(inverse.status, 0) << inverse.err;
    EXPECT_EQ(inverse.out, "S,-33.3000000002,2.0000000000\r\n");
}

TEST(ProjectionCli, ZoneChange) {
    const CliRun run = RunCli({"zone-change", "--cm2", "3"}, "P1,3376500.1736,644006.4942\r\n");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "P1,3376500.1736,355993.5057\r\n");
    const CliRun numbered = RunCli({"zone-change", "--cm", "117", "--cm2", "120", "--yconst2", "39500000"},
                                   "P1,3376500.1736,38644006.4942\r\n");
    EXPECT_EQ(numbered.out, "P1,3376500.1736,39355993.5057\r\n");
}

TEST(ProjectionCli, CompensationPlaneAxisAndConvert) {
    const std::vector<std::string> area = {"--mean-lat", "30", "--mean-h", "1000", "--mean-y", "100000"};
    std::vector<std::string> plane_args = {"compensation", "plane"};
    plane_args.insert(plane_args.end(), area.begin(), area.end());
    const CliRun plane = RunCli(plane_args);
    EXPECT_EQ(plane.status, 0) << plane.err;
    EXPECT_EQ(plane.out, "-33.75mm\n215\n");

    std::vector<std::string> axis_args = {"compensation", "axis", "--plane-h", "215"};
    axis_args.insert(axis_args.end(), area.begin(), area.end());
    const CliRun axis = RunCli(axis_args);
    EXPECT_EQ(axis.status, 0) << axis.err;
    ASSERT_EQ(axis.out.size(), std::string("6378355.3622461833\n").size());
    EXPECT_EQ(axis.out.substr(0, 11), "6378355.362");
    EXPECT_EQ(axis.out.back(), '\n');

    // The second point is the first with a zone number; none is written.
    const std::string a2 = axis.out.substr(0, axis.out.size() - 1);
    const CliRun convert =
        RunCli({"compensation", "convert", "--a2", a2}, "P1,3376500.1736,644006.4942\r\nP2,3376500.1736,38644006.4942\r\n");
    EXPECT_EQ(convert.status, 0) << convert.err;
    const std::string first = convert.out.substr(0, convert.out.find("\r\n"));
    EXPECT_EQ(convert.out, first + "\r\nP2" + first.substr(2) + "\r\n");
    EXPECT_EQ(first.substr(0, 3), "P1,");
    EXPECT_NE(first, "P1,3376500.1736,644006.4942");
}

TEST(ProjectionCli, FailuresLeaveNoOutputFile) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "P1,30.3,1.3\r\nP2,30.3,abc\r\n");
    const CliRun bad_row = RunCli({"utm-forward", "-i", dir.Path("in.txt"), "-o", dir.Path("out.txt")});
    EXPECT_EQ(bad_row.status, 1);
    EXPECT_EQ(bad_row.err, "coordconv-cli: 'abc' is not a valid floating point value. (line 2)\n");
    const CliRun zero_flattening = RunCli({"zone-change", "--invf", "0", "-i", dir.Path("in.txt"), "-o", dir.Path("out.txt")});
    EXPECT_EQ(zero_flattening.status, 1);
    EXPECT_EQ(zero_flattening.err, "coordconv-cli: Floating point division by zero.\n");
    const CliRun zero_axis = RunCli({"compensation", "convert", "--a", "0", "-o", dir.Path("out.txt")}, "P,3376500,600000\n");
    EXPECT_EQ(zero_axis.status, 1);
    EXPECT_EQ(zero_axis.err, "coordconv-cli: Floating point division by zero. (line 1)\n");
    EXPECT_FALSE(FileExists(dir.Path("out.txt")));

    const CliRun bad_field = RunCli({"compensation", "plane", "--mean-h", "1km"});
    EXPECT_EQ(bad_field.status, 1);
    EXPECT_EQ(bad_field.out, "");
    EXPECT_EQ(bad_field.err, "coordconv-cli: '1km' is not a valid floating point value.\n");
}

TEST(ProjectionCli, UsageMistakes) {
    const ScratchDir dir;
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"compensation"},
             {"compensation", "deform"},
             {"compensation", "plane", "-i", dir.Path("figures.txt")},
             {"utm-forward", "--system", "5"},
             {"zone-change", "--xconst", "0"},
         }) {
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 2) << args.back();
        EXPECT_EQ(run.out, "") << args.back();
    }
    EXPECT_FALSE(FileExists(dir.Path("figures.txt")));
}

}  // namespace
}  // namespace coordconv::testing
