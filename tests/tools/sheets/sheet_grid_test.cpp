#include "tools/sheets/sheet_grid.h"

#include <gtest/gtest.h>

#include <random>

#include "core/errors.h"
#include "core/number_text.h"
#include "tools/sheets/map_sheet.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ErrorOf;

constexpr long double kDegree = 3600;

int Scale(long denominator) {
    for (int i = 0; i < static_cast<int>(kSheetScales.size()); ++i)
        if (kSheetScales[static_cast<std::size_t>(i)].denominator == denominator) return i;
    ADD_FAILURE() << "no scale 1:" << denominator;
    return 0;
}

// The point 39°22'30" N, 114°33'45" E through every scale. Hand derivation in
// its 1:1,000,000 sheet J50 (36°..40° N, 114°..120° E): ΔB = 3°22'30" =
// 12150", ΔL = 33'45" = 2025"; row from the north = rows − ⌊ΔB / height⌋,
// column = ⌊ΔL / width⌋ + 1. Where a quotient is whole the point lies on
// the sheet's south or west edge and belongs to that sheet (north and east).
TEST(SheetGrid, OnePointThroughEveryScaleInBothForms) {
    struct Expected {
        long denominator;
        const char* new_form;  // rows − ⌊12150/h⌋, ⌊2025/w⌋ + 1
        const char* old_form;  // nullptr where the old series has no sheets
    };
    const Expected expected[] = {
        {1000000, "J50", "J-50"},
        {500000, "J50B001001", "J-50-A"},                  // 2 − 1, 0 + 1
        {250000, "J50C001001", "J-50-[1]"},                // 4 − 3, 0 + 1
        {100000, "J50D002002", "J-50-14"},                 // 12 − 10, 1 + 1; (2−1)·12 + 2
        {50000, "J50E004003", "J-50-14-C"},                // 24 − 20, 2 + 1; south-west quarter of 14
        {25000, "J50F008005", "J-50-14-C-3"},              // 48 − 40, 4 + 1
        {10000, "J50G015010", "J-50-14-(50)"},             // 96 − 81, 9 + 1; 6·8 + 2
        {5000, "J50H030019", "J-50-14-(50)-c"},            // 192 − 162, 18 + 1 (on both edges)
        {2000, "J50I090055", nullptr},                     // 576 − 486, 54 + 1
        {1000, "J50J01800109", nullptr},                   // 1152 − 972, 108 + 1
        {500, "J50K03600217", nullptr},                    // 2304 − 1944, 216 + 1
    };
    const long double b = 39 * kDegree + 22 * 60 + 30;
    const long double l = 114 * kDegree + 33 * 60 + 45;
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.denominator);
        const MapSheet sheet = SheetContaining(Scale(e.denominator), b, l);
        EXPECT_EQ(NewSheetText(sheet), e.new_form);
        EXPECT_EQ(OldSheetText(sheet), e.old_form ? std::optional<std::string>(e.old_form) : std::nullopt);
        // Either number reads back as the same sheet: old and new convert both ways.
        EXPECT_EQ(ParseSheetText(e.new_form), sheet);
        if (e.old_form) {
            EXPECT_EQ(ParseSheetText(e.old_form), sheet);
        }
    }
}

TEST(SheetGrid, OldNumbersOfTheExamplesConvertToNewOnes) {
    // J-50-5-(15) is J50G002039; its north-west quarter a at 1:5,000 is row
    // 2·2 − 1, column 39·2 − 1. J-50-5 is row 1, column 5 of twelve; its
    // quarter B the north-east 1:50,000 sheet, row 1, column (5 − 1)·2 + 2;
    // and quarter 4 of that the south-east 1:25,000 sheet, row 2, column 20.
    const std::pair<const char*, const char*> pairs[] = {
        {"J-50-A", "J50B001001"},          {"J-50-D", "J50B002002"},
        {"J-50-[2]", "J50C001002"},        {"J-50-[16]", "J50C004004"},
        {"J-50-5", "J50D001005"},          {"J-50-144", "J50D012012"},
        {"J-50-5-B", "J50E001010"},        {"J-50-5-B-4", "J50F002020"},
        {"J-50-5-(15)", "J50G002039"},     {"J-50-5-(15)-a", "J50H003077"},
        {" K-1-1-(1)-d ", "K1H002002"},
        // 1:50,000 row 17, column 16: 1:100,000 row 9, column 8, number
        // (9 − 1)·12 + 8 = 104; odd row, even column: the north-east quarter.
        {"J-50-104-B", "J50E017016"},
    };
    for (const auto& [old_form, new_form] : pairs) {
        SCOPED_TRACE(old_form);
        const MapSheet sheet = ParseSheetText(old_form);
        EXPECT_EQ(NewSheetText(sheet), new_form);
        EXPECT_EQ(OldSheetText(ParseSheetText(new_form)), std::string(TrimBlanks(old_form)));
    }
    for (const char* bad : {"J-50-E", "J-50-[17]", "J-50-145", "J-50-5-(65)", "J-50-5-(15)-e", "J-61", "W50",
                            "J50G097001", "J50G0020390", "J50L001001", "J50K0360217", "J-50-5-B-5", "J5O"})
        EXPECT_EQ(ErrorOf([&] { ParseSheetText(bad); }), std::string("'") + bad + "' 不是有效的图幅号") << bad;
}

// Corners from independent arithmetic: J50E004003 is row 4 from the north
// and column 3 of 24 in J50, so its south edge is 36° + (24 − 4) · 10' =
// 39°20' = 141600", its west edge 114° + 2 · 15' = 114°30' = 412200".
TEST(SheetGrid, CornersInSecondsAndOnTheGaussPlane) {
    const MapSheet sheet = ParseSheetText("J50E004003");
    const SheetBounds b = BoundsOf(sheet);
    EXPECT_EQ(b.south, 141600);
    EXPECT_EQ(b.north, 142200);
    EXPECT_EQ(b.west, 412200);
    EXPECT_EQ(b.east, 413100);
    // 1:500 sheet K03600217 of the point above: south 36° + 1944 · 6.25",
    // west 114° + 216 · 9.375".
    const SheetBounds small = BoundsOf(ParseSheetText("J50K03600217"));
    EXPECT_EQ(small.south, 36 * kDegree + 12150);
    EXPECT_EQ(small.west, 114 * kDegree + 2025);
    EXPECT_EQ(small.north - small.south, 6.25L);
    EXPECT_EQ(small.east - small.west, 9.375L);
    EXPECT_EQ(PackedSecondsText(small.east), "114.3354375");  // 114°33'54.375"

    // CGCS2000 3° zone 38 (114°), as PROJ gives them: cs2cs +proj=longlat
    // +ellps=GRS80 +to +proj=tmerc +lon_0=114 +k=1 +x_0=38500000.
    const FramePlane plane = ZonePlane(6378137, 1 / 298.257222101L, false, 114.6);
    EXPECT_EQ(plane.central_meridian, 114);
    const auto corners = SheetCorners(sheet, plane);
    EXPECT_NEAR(static_cast<double>(corners[0].plane.x), 4355629.4313, 0.0005);
    EXPECT_NEAR(static_cast<double>(corners[0].plane.y), 38543109.3490, 0.0005);
    EXPECT_NEAR(static_cast<double>(corners[2].plane.x), 4374282.6867, 0.0005);
    EXPECT_NEAR(static_cast<double>(corners[2].plane.y), 38564510.4202, 0.0005);
    EXPECT_EQ(PackedSecondsText(corners[3].latitude_seconds), "39.3000");
    EXPECT_EQ(PackedSecondsText(corners[3].longitude_seconds), "114.3000");
    // The 6° zone of the same place is zone 20 (111°..117°), meridian 117°.
    const FramePlane six = ZonePlane(6378137, 1 / 298.257222101L, true, 114.6);
    EXPECT_EQ(six.central_meridian, 117);
    EXPECT_EQ(six.y_constant, 20500000);
}

// Number → corner → number for every 1:50,000 sheet of J50 and a sample of
// 1:500 sheets across it: each corner point lies on its sheet's edges, the
// south-west one belongs to the sheet, the others to its neighbours.
TEST(SheetGrid, RoundTripThroughTheCorners) {
    const MapSheet million = ParseSheetText("J50");
    const std::vector<MapSheet> sheets = ContainedSheets(million, Scale(50000));
    ASSERT_EQ(sheets.size(), 576u);
    for (const MapSheet& sheet : sheets) {
        const std::string number = NewSheetText(sheet);
        const SheetBounds b = BoundsOf(sheet);
        ASSERT_EQ(NewSheetText(SheetContaining(sheet.scale, b.south, b.west)), number);
        ASSERT_EQ(ParseSheetText(number), sheet);
        ASSERT_EQ(ParseSheetText(*OldSheetText(sheet)), sheet);
        ASSERT_EQ(*ShiftedSheet(sheet, 1, 1), SheetContaining(sheet.scale, b.north, b.east));
        ASSERT_EQ(ContainingSheet(sheet, 0), million);
    }
    std::mt19937 random(13989);
    std::uniform_int_distribution<int> pick(1, 2304);
    for (int i = 0; i < 2000; ++i) {
        const int row = pick(random);
        const int column = pick(random);
        char text[16];
        std::snprintf(text, sizeof text, "J50K%04d%04d", row, column);
        const MapSheet sheet = ParseSheetText(text);
        const SheetBounds b = BoundsOf(sheet);
        ASSERT_EQ(NewSheetText(SheetContaining(sheet.scale, b.south, b.west)), text);
        ASSERT_EQ(b.south, 36 * kDegree + (2304 - row) * 6.25L) << text;
        ASSERT_EQ(b.west, 114 * kDegree + (column - 1) * 9.375L) << text;
    }
}

TEST(SheetGrid, NeighboursAcrossMillionSheetEdgesTheAntimeridianAndTheEquator) {
    const auto numbers = [](const char* number) {
        std::vector<std::string> texts;
        for (const auto& sheet : SheetNeighbourhood(ParseSheetText(number)))
            texts.push_back(sheet ? NewSheetText(*sheet) : "");
        return texts;
    };
    // North-east corner of J50 at 1:50,000: K50, J51 and K51 around it.
    EXPECT_EQ(numbers("J50E001024"),
              (std::vector<std::string>{"K50E024023", "K50E024024", "K51E024001", "J50E001023", "J50E001024",
                                        "J51E001001", "J50E002023", "J50E002024", "J51E002001"}));
    // Column 60 ends at 180°; east of it column 1 begins.
    EXPECT_EQ(numbers("J60")[5], "J1");
    EXPECT_EQ(numbers("J1")[3], "J60");
    EXPECT_EQ(numbers("J60G050096")[5], "J1G050001");
    // The series stops at the equator and at 88° N: no sheet beyond, no wrap.
    EXPECT_EQ(numbers("A50D012005"),
              (std::vector<std::string>{"A50D011004", "A50D011005", "A50D011006", "A50D012004", "A50D012005",
                                        "A50D012006", "", "", ""}));
    EXPECT_EQ(numbers("V50")[1], "");
    EXPECT_EQ(ErrorOf([] { SheetContaining(0, -1, 0); }), kOutsideSeriesText);
    EXPECT_EQ(ErrorOf([] { SheetContaining(0, 88 * kDegree, 0); }), kOutsideSeriesText);

    // The junction table leaves the missing fields empty, and the old form
    // has no numbers at 1:2,000.
    const SheetJunctionTable table = JunctionOfSheet(ParseSheetText("A50D012005"), false);
    EXPECT_EQ(table.fields[4], "A-50-137");
    EXPECT_EQ(table.fields[7], "");
    EXPECT_EQ(ErrorOf([] { JunctionOfSheet(ParseSheetText("J50I090055"), false); }), kNoOldFormText);
}

TEST(SheetGrid, ContainingAndContainedSheets) {
    const MapSheet ten = ParseSheetText("J50G015010");
    EXPECT_EQ(NewSheetText(ContainingSheet(ten, Scale(100000))), "J50D002002");
    EXPECT_EQ(NewSheetText(ContainingSheet(ten, Scale(250000))), "J50C001001");
    const std::vector<MapSheet> inside = ContainedSheets(ten, Scale(2000));
    // 1:2,000 divides 1:5,000 three ways, 1:10,000 six ways: rows 85..90, columns 55..60.
    ASSERT_EQ(inside.size(), 36u);
    EXPECT_EQ(NewSheetText(inside.front()), "J50I085055");
    EXPECT_EQ(NewSheetText(inside.back()), "J50I090060");
    EXPECT_EQ(ContainedSheets(ParseSheetText("J50"), Scale(500000)).size(), 4u);
}

// The first version's 1:10,000 arithmetic and the scale-wide one agree on
// every point of the series they both number.
TEST(SheetGrid, TenThousandSheetsAgreeWithTheFirstVersion) {
    std::mt19937 random(10000);
    std::uniform_real_distribution<double> latitude(0, 87.99 * 3600);
    // West of Greenwich the first version truncates towards zero and its numbers go astray (H8G001-62).
    std::uniform_real_distribution<double> longitude(0, 179.99 * 3600);
    for (int i = 0; i < 20000; ++i) {
        const long double b = latitude(random);
        const long double l = longitude(random);
        const MapSheet sheet = SheetContaining(kTenThousandScale, b, l);
        ASSERT_EQ(NewSheetText(sheet), NewSheetNumber(b, l)) << b << " " << l;
        ASSERT_EQ(*OldSheetText(sheet), OldSheetNumber(b, l)) << b << " " << l;
    }
}

TEST(SheetGrid, ScaleTexts) {
    EXPECT_EQ(FindSheetScale("1:50000"), Scale(50000));
    EXPECT_EQ(FindSheetScale("1:50,000"), Scale(50000));
    EXPECT_EQ(FindSheetScale("1:5万"), Scale(50000));
    EXPECT_EQ(FindSheetScale("1:2.5万"), Scale(25000));
    EXPECT_EQ(FindSheetScale("500"), Scale(500));
    EXPECT_EQ(FindSheetScale("1:200000"), std::nullopt);
    // The table's chain: every scale divides the next, and the sizes match the counts.
    for (std::size_t i = 1; i < kSheetScales.size(); ++i) {
        EXPECT_EQ(kSheetScales[i].per_million % kSheetScales[i - 1].per_million, 0);
        EXPECT_EQ(kSheetScales[i].latitude_seconds * kSheetScales[i].per_million, 14400);
        EXPECT_EQ(kSheetScales[i].longitude_seconds * kSheetScales[i].per_million, 21600);
    }
}

}  // namespace
}  // namespace coordconv
