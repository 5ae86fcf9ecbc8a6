#include "tools/sheets/rectangular_sheets.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ErrorOf;

// 50 cm of paper: 250 m at 1:500, 500 m at 1:1,000, 1 km at 1:2,000; the
// south-west corner in km, to 0.01 km at 1:500 and 0.1 km otherwise.
TEST(RectangularSheets, NamesAtTheThreeScales) {
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(1000, 3410123.4, 39678.9)), "3410.0-39.5");
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(2000, 3410123.4, 39678.9)), "3410.0-39.0");
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(500, 3410123.4, 39678.9)), "3410.00-39.50");
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(500, 3410250, 39749.999)), "3410.25-39.50");
    // A point on an edge lies in the sheet to its north and east.
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(500, 3410250, 39750)), "3410.25-39.75");
    // Y with the zone number makes longer names, as typed.
    EXPECT_EQ(RectangularSheetText(RectangularSheetAt(2000, 4425300, 39500700)), "4425.0-39500.0");

    for (const long denominator : {500L, 1000L, 2000L}) {
        const RectangularSheet sheet = RectangularSheetAt(denominator, 3410123.4, 39678.9);
        EXPECT_EQ(ParseRectangularSheetText(denominator, RectangularSheetText(sheet)), sheet);
        const auto corners = RectangularCorners(sheet);
        EXPECT_EQ(corners[2].x - corners[0].x, denominator / 2.0L);
        EXPECT_EQ(RectangularSheetAt(denominator, corners[0].x, corners[0].y), sheet);
    }
    EXPECT_EQ(ErrorOf([] { ParseRectangularSheetText(1000, "3410.2-39.5"); }), "'3410.2-39.5' 不是有效的图幅号");
    EXPECT_EQ(ErrorOf([] { ParseRectangularSheetText(1000, "3410.0"); }), "'3410.0' 不是有效的图幅号");
}

TEST(RectangularSheets, NeighboursAndTheSheetsOfAnArea) {
    const auto table = RectangularJunction(RectangularSheetAt(1000, 3410123.4, 39678.9));
    EXPECT_EQ(table, (std::array<std::string, 9>{"3410.5-39.0", "3410.5-39.5", "3410.5-40.0", "3410.0-39.0",
                                                  "3410.0-39.5", "3410.0-40.0", "3409.5-39.0", "3409.5-39.5",
                                                  "3409.5-40.0"}));
    // A box on the 1 km grid holds exactly its four 1:2,000 sheets; an L
    // leaves out the quarter it lacks.
    const PlanePolygon box = {{3410000, 39000}, {3410000, 41000}, {3412000, 41000}, {3412000, 39000}};
    std::vector<std::string> names;
    for (const auto& sheet : RectangularSheetsOverlapping(2000, box)) names.push_back(RectangularSheetText(sheet));
    EXPECT_EQ(names, (std::vector<std::string>{"3411.0-39.0", "3411.0-40.0", "3410.0-39.0", "3410.0-40.0"}));
    const PlanePolygon ell = {{3410000, 39000}, {3410000, 41000}, {3411000, 41000},
                              {3411000, 40000}, {3412000, 40000}, {3412000, 39000}};
    EXPECT_EQ(RectangularSheetsOverlapping(2000, ell).size(), 3u);
    EXPECT_EQ(ErrorOf([] { RectangularSheetsOverlapping(500, {{0, 0}, {0, 100000}, {100000, 100000}}); }),
              kTooManySheetsText);
}

}  // namespace
}  // namespace coordconv
