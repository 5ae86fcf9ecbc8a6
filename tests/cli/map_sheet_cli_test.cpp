#include <gtest/gtest.h>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::RunCli;

TEST(MapSheetCli, PrintsTheJunctionTableFromLatitudeAndLongitude) {
    const auto run = RunCli({"map-sheet", "--lat", "39.56", "--lon", "116.24"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "J50G001038,J50G001039,J50G001040\n"
              "J50G002038,J50G002039,J50G002040\n"
              "J50G003038,J50G003039,J50G003040\n");
    EXPECT_EQ(run.err, "");
    const auto old_form = RunCli({"map-sheet", "--lat", "39.56", "--lon", "116.24", "--output-form", "old"});
    EXPECT_EQ(old_form.out,
              "J-50-5-(6),J-50-5-(7),J-50-5-(8)\n"
              "J-50-5-(14),J-50-5-(15),J-50-5-(16)\n"
              "J-50-5-(22),J-50-5-(23),J-50-5-(24)\n");
}

TEST(MapSheetCli, TypedSheetNumbersInEitherForm) {
    // The input form defaults to old, the output form to new.
    const auto from_old = RunCli({"map-sheet", "--sheet", "J-50-5-(15)"});
    EXPECT_EQ(from_old.status, 0) << from_old.err;
    EXPECT_EQ(from_old.out.substr(from_old.out.find('\n') + 1, 33), "J50G002038,J50G002039,J50G002040\n");
    const auto from_new =
        RunCli({"map-sheet", "--sheet", "J50G002039", "--input-form", "new", "--output-form", "old"});
    EXPECT_EQ(from_new.status, 0) << from_new.err;
    EXPECT_NE(from_new.out.find("\nJ-50-5-(14),J-50-5-(15),J-50-5-(16)\n"), std::string::npos) << from_new.out;
}

TEST(MapSheetCli, PlaneCoordinatesWithZoneAndShifts) {
    // 3° zone 39 (central meridian 117°), 1980 Xi'an ellipsoid by default; the
    // same point typed with a CAD shift gives the same table.
    const auto direct = RunCli({"map-sheet", "--x", "4425000", "--y", "39500000"});
    EXPECT_EQ(direct.status, 0) << direct.err;
    EXPECT_EQ(direct.out.substr(0, 11), "K50G096048,");
    const auto shifted = RunCli({"map-sheet", "--x", "425000", "--y", "400000", "--xconst", "4000000", "--yconst",
                                 "39100000", "--zone", "3", "--system", "0"});
    EXPECT_EQ(shifted.out, direct.out);
    // 6° zone 20 has the same central meridian.
    const auto six = RunCli({"map-sheet", "--x", "4425000", "--y", "20500000", "--zone", "6"});
    EXPECT_EQ(six.out, direct.out);
}

TEST(MapSheetCli, FailuresAndUsageMistakes) {
    const auto bad_part = RunCli({"map-sheet", "--sheet", "J-5x-5-(15)"});
    EXPECT_EQ(bad_part.status, 1);
    EXPECT_EQ(bad_part.err, "coordconv-cli: '5x' is not a valid integer value.\n");
    EXPECT_EQ(bad_part.out, "");

    const auto empty = RunCli({"map-sheet", "--sheet", ""});
    EXPECT_EQ(empty.status, 1);
    EXPECT_NE(empty.err.find("图幅号为空"), std::string::npos) << empty.err;

    const auto custom = RunCli({"map-sheet", "--x", "1", "--y", "1", "--system", "4", "--a", "", "--invf", ""});
    EXPECT_EQ(custom.status, 1);
    EXPECT_EQ(custom.err, "coordconv-cli: Floating point division by zero.\n");

    EXPECT_EQ(RunCli({"map-sheet"}).status, 2);
    EXPECT_EQ(RunCli({"map-sheet", "--lat", "1", "--sheet", "J50G002039"}).status, 2);
    EXPECT_EQ(RunCli({"map-sheet", "--x", "1", "--zone", "4"}).status, 2);
    EXPECT_EQ(RunCli({"map-sheet", "--sheet", "J", "--input-form", "newer"}).status, 2);
}

TEST(MapSheetCli, WritesTheTableToAFileWithMinusO) {
    const testing::ScratchDir scratch;
    const auto run = RunCli({"map-sheet", "--lat", "39.56", "--lon", "116.24", "-o", scratch.Path("table.txt")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(testing::ReadBytes(scratch.Path("table.txt")).substr(0, 11), "J50G001038,");
}

}  // namespace
}  // namespace coordconv
