#include "tools/sheets/map_sheet.h"
#include "tools/cad/sheet_point_pick.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tests/tools/cad/fake_cad.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ErrorOf;

using Fields = std::array<std::string, 9>;

// The 1:10,000 table the window shows for a typed longitude and latitude,
// and for the boxes of the plane-coordinate page.
SheetJunctionTable GeodeticTable(bool new_form, const std::string& longitude, const std::string& latitude) {
    return ScaledSheetsFromGeodetic(kTenThousandScale, new_form, longitude, latitude).table;
}
SheetJunctionTable PlaneTable(bool new_form, const PlaneSheetFields& fields) {
    return ScaledSheetsFromPlane(kTenThousandScale, new_form, fields).table;
}

TEST(MapSheet, WorkedExampleInBothFormsWithItsNeighbours) {
    // 39°56'00" N, 116°24'00" E.
    EXPECT_EQ(NewSheetNumber(143760, 419040), "J50G002039");
    EXPECT_EQ(OldSheetNumber(143760, 419040), "J-50-5-(15)");

    const SheetJunctionTable by_new = GeodeticTable(true, "116.24", "39.56");
    EXPECT_EQ(by_new.fields, (Fields{"J50G001038", "J50G001039", "J50G001040",  //
                                     "J50G002038", "J50G002039", "J50G002040",  //
                                     "J50G003038", "J50G003039", "J50G003040"}));
    EXPECT_EQ(by_new.fields[SheetJunctionTable::kCentre], "J50G002039");

    const SheetJunctionTable by_old = GeodeticTable(false, "116.24", "39.56");
    EXPECT_EQ(by_old.fields, (Fields{"J-50-5-(6)", "J-50-5-(7)", "J-50-5-(8)",     //
                                     "J-50-5-(14)", "J-50-5-(15)", "J-50-5-(16)",  //
                                     "J-50-5-(22)", "J-50-5-(23)", "J-50-5-(24)"}));
}

TEST(MapSheet, NeighboursAcrossLargerSheetBoundaries) {
    // The south-west corner of million sheet K-51 (40° N, 120° E), typed exactly:
    // the point belongs to the sheet to its north-east.
    const SheetJunctionTable by_new = GeodeticTable(true, "120", "40");
    EXPECT_EQ(by_new.fields, (Fields{"K50G095096", "K51G095001", "K51G095002",  //
                                     "K50G096096", "K51G096001", "K51G096002",  //
                                     "J50G001096", "J51G001001", "J51G001002"}));
    const SheetJunctionTable by_old = GeodeticTable(false, "120", "40");
    EXPECT_EQ(by_old.fields, (Fields{"K-50-144-(56)", "K-51-133-(49)", "K-51-133-(50)",  //
                                     "K-50-144-(64)", "K-51-133-(57)", "K-51-133-(58)",  //
                                     "J-50-12-(8)", "J-51-1-(1)", "J-51-1-(2)"}));
}

TEST(MapSheet, TypedBoundaryLiesInTheSheetToTheNorthEast) {
    // 39°55'00" and 116°22'30" are a 1:10,000 sheet corner: south-west corner of row 2, column 39.
    EXPECT_EQ(GeodeticTable(true, "116.2230", "39.55").fields[4], "J50G002039");
    // A whole number of minutes reads exactly: 36°02'30" is the south edge of row 95,
    // 36°01' lies in row 96.
    EXPECT_EQ(GeodeticTable(true, "114.01", "36.0230").fields[4], "J50G095001");
    EXPECT_EQ(GeodeticTable(true, "114.01", "36.01").fields[4], "J50G096001");
    EXPECT_EQ(GeodeticTable(true, "114.0345", "36.0229").fields[4], "J50G096002");
    // Typed 5e-8" short of the edge 39°30'00" (84 rows of 2'30" above 36°):
    // the 1e-7" the reading adds puts it on the edge, in row 96 - 84 = 12;
    // 116°20' is 37 columns of 3'45" east of 114°, column 38.
    EXPECT_EQ(GeodeticTable(true, "116.20", "39.295999999995").fields[4], "J50G012038");
    // 5e-7" short stays in the sheet below.
    EXPECT_EQ(GeodeticTable(true, "116.20", "39.29599999995").fields[4], "J50G013038");
}

TEST(MapSheet, SheetNumberPartsAreThirtyTwoBitIntegers) {
    // 2^31 - 1 is read (whatever sheet it makes); 2^31 is no integer of the program.
    EXPECT_NE(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-50-2147483647-(15)"); }),
              "'2147483647' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-50-2147483648-(15)"); }),
              "'2147483648' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-50-5-(99999999999)"); }),
              "'99999999999' is not a valid integer value");
}

TEST(MapSheet, EveryTypedSheetCornerFallsIntoTheSheetNorthEastOfIt) {
    // Corners every 5' of latitude and 7'30" of longitude: the typed corner and
    // a point half a second inside the sheet give the same table.
    for (int degrees = 0; degrees < 60; ++degrees)
        for (int minutes = 0; minutes < 60; minutes += 5) {
            char latitude[16], longitude[16];
            std::snprintf(latitude, sizeof latitude, "%d.%02d", degrees, minutes);
            std::snprintf(longitude, sizeof longitude, "%d.%02d30", 70 + degrees, (minutes / 15) * 15 + 7);
            const long double b = degrees * 3600.0L + minutes * 60;
            const long double l = (70 + degrees) * 3600.0L + ((minutes / 15) * 15 + 7) * 60 + 30;
            EXPECT_EQ(GeodeticTable(true, longitude, latitude).fields, SheetJunctionAt(true, b + 0.5L, l + 0.5L).fields)
                << latitude << " " << longitude;
        }
}

TEST(MapSheet, PackedAngleSecondsAreExactForTypedAngles) {
    for (int degrees : {0, 1, 39, 116, 179})
        for (int minutes = 0; minutes < 60; ++minutes)
            for (int seconds : {0, 1, 29, 30, 59}) {
                char text[32];
                std::snprintf(text, sizeof text, "%d.%02d%02d", degrees, minutes, seconds);
                EXPECT_EQ(PackedAngleSeconds(TextToNumber(text)), degrees * 3600.0L + minutes * 60 + seconds) << text;
            }
    EXPECT_EQ(PackedAngleSeconds(TextToNumber("-30.3015")), -(30 * 3600.0L + 30 * 60 + 15));
    EXPECT_EQ(PackedAngleSeconds(TextToNumber("30.301525")), 30 * 3600.0L + 30 * 60 + 15.25L);
}

TEST(MapSheet, EitherTypedFormRoundTripsThroughEitherOutputForm) {
    const long double points[][2] = {{143760, 419040}, {129601, 410401}, {143999, 431999}, {86400.5L, 280000},
                                     {165000, 460000}, {100000, 380000}, {0.5L, 0.5L}};
    for (const auto& point : points) {
        const std::string old_number = OldSheetNumber(point[0], point[1]);
        const std::string new_number = NewSheetNumber(point[0], point[1]);
        for (const bool new_output : {true, false}) {
            const std::string expected = new_output ? new_number : old_number;
            EXPECT_EQ(SheetsFromSheetNumber(new_output, true, old_number).fields[4], expected) << old_number;
            EXPECT_EQ(SheetsFromSheetNumber(new_output, false, new_number).fields[4], expected) << new_number;
        }
    }
    // The worked example both ways, with leading blanks and the neighbours.
    const SheetJunctionTable from_old = SheetsFromSheetNumber(true, true, "  J-50-5-(15)");
    EXPECT_EQ(from_old.fields, GeodeticTable(true, "116.24", "39.56").fields);
    EXPECT_EQ(SheetsFromSheetNumber(false, false, "J50G002039").fields[4], "J-50-5-(15)");
    // Neighbours copied into the box give their own neighbourhood.
    EXPECT_EQ(SheetsFromSheetNumber(true, false, "J50G001039").fields[7], "J50G002039");
}

TEST(MapSheet, MalformedSheetNumbersFailWithTheOffendingPart) {
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-5x-5-(15)"); }), "'5x' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-50-5-(15"); }), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J50G002039"); }), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, false, "J50G00"); }), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, false, "J-50-5-(15)"); }), "'-5-' is not a valid integer value");
    // A character other than ASCII is no digit; one cut by a field's bounds shows as U+FFFD.
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-5中-5-(15)"); }), "'5中' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, false, "J50G00中039"); }), "'00\xEF\xBF\xBD' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, false, "J50G0O2039"); }), "'0O2' is not a valid integer value");
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, "J-99999999999-5-(15)"); }),
              "'99999999999' is not a valid integer value");
    // Nothing typed: the command ends with its own message and no table.
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, true, ""); }), kEmptySheetNumberText);
    EXPECT_EQ(ErrorOf([] { SheetsFromSheetNumber(true, false, "   "); }), kEmptySheetNumberText);
}

TEST(MapSheet, PlaneCoordinatesAgreeWithTheGeodeticRoute) {
    // The worked example point projected into 3° zone 39 (central meridian 117°)
    // and into 6° zone 20 (central meridian 117°), with a CAD shift to undo.
    const long double a = 6378140, f = 1 / 298.257L;
    const long double latitude = 143760.5L / 3600, longitude = 419040.5L / 3600;
    const PlanePoint p = GaussForward(a, f, latitude, longitude - 117);
    PlaneSheetFields fields;
    fields.x = FormatFixed(p.x - 1000, 4);
    fields.y = FormatFixed(p.y + 500000 + 39000000 - 2000, 4);
    fields.x_shift = "1000";
    fields.y_shift = "2000";
    const Fields expected = GeodeticTable(true, "116.2400005", "39.5600005").fields;
    EXPECT_EQ(PlaneTable(true, fields).fields, expected);
    fields.y = FormatFixed(p.y + 500000 + 20000000 - 2000, 4);
    fields.six_degree_zones = true;
    EXPECT_EQ(PlaneTable(true, fields).fields, expected);
}

TEST(MapSheet, EastingWithoutZoneNumberTakesZoneZero) {
    PlaneSheetFields fields;
    fields.x = "4425000";
    fields.y = "600000";  // 100 km east of meridian 0 (3° zones)
    EXPECT_EQ(PlaneTable(true, fields).fields[4].substr(0, 4), "J31G");
    fields.six_degree_zones = true;  // meridian -3°: west of Greenwich
    EXPECT_EQ(PlaneTable(false, fields).fields[4].substr(0, 5), "J-31-");
}

TEST(MapSheet, FailuresOfThePlaneAndGeodeticPages) {
    PlaneSheetFields custom;  // a remembered custom ellipsoid with empty boxes
    custom.a = "";
    custom.inverse_flattening = "";
    custom.x = "not read before 1/f";
    EXPECT_EQ(ErrorOf([&] { PlaneTable(true, custom); }), kDivisionByZeroText);
    PlaneSheetFields bad_x;
    bad_x.x = "12,5";
    EXPECT_EQ(ErrorOf([&] { PlaneTable(true, bad_x); }), "'12,5' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { GeodeticTable(true, "116°24'", "39.56"); }),
              "'116°24'' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { GeodeticTable(true, "1e30", "39.56"); }), kInvalidOperationText);
}

TEST(MapSheet, LongitudesPastTheAntimeridianWrapToColumnOne) {
    // 179°59' E: its eastern neighbours lie in column 1, counted from 180°.
    const SheetJunctionTable table = GeodeticTable(true, "179.59", "39.56");
    EXPECT_EQ(table.fields[4], "J60G002096");
    EXPECT_EQ(table.fields[5], "J1G002001");
    EXPECT_EQ(GeodeticTable(false, "179.59", "39.56").fields[5], "J-1-1-(9)");
}

TEST(MapSheet, PickedPointFillsXWithTheDrawingYAndYWithTheDrawingX) {
    testing::FakeCad cad;
    cad.picks.push_back({500123.4567, 3805678.9, 0});
    const auto texts = PickSheetPoint(cad.Attach());
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->x, FormatGeneral(3805678.9));
    EXPECT_EQ(texts->y, FormatGeneral(500123.4567));
    EXPECT_TRUE(cad.visible);
    EXPECT_EQ(cad.prompts, (std::vector<std::string>{kPickSheetPointPrompt}));

    EXPECT_FALSE(PickSheetPoint([] { return std::unique_ptr<CadAutomation>(); }).has_value());
    testing::FakeCad cancelled;  // no pick: the user presses Esc
    EXPECT_EQ(ErrorOf([&] { PickSheetPoint(cancelled.Attach()); }), testing::FakeCad::kCancelText);
}

}  // namespace
}  // namespace coordconv
