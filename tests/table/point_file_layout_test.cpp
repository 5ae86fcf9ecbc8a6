// Point files in foreign layouts: separators, header lines, column roles,
// the three angle forms (worked by hand below) and the CASS .dat layout.
#include "table/point_file_layout.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;
using Cells = std::vector<std::string>;

// Each text's packed ddd.mmss, worked by hand: degrees, then minutes and
// seconds of the remainder, seconds rounded to 1e-6".
TEST(AngleTexts, HandWorkedConversionsOfTheThreeForms) {
    const struct {
        const char* text;
        AngleForm form;
        const char* packed;
    } cases[] = {
        {"30.3015", AngleForm::PackedDms, "30.3015"},  // as it is
        {"30°30′15″", AngleForm::DmsText, "30.3015"},
        {"30 30 15.5", AngleForm::DmsText, "30.30155"},
        {"30d30m15.5s", AngleForm::DmsText, "30.30155"},
        {"30度30分15秒", AngleForm::DmsText, "30.3015"},
        {"116°05'07.25\"", AngleForm::DmsText, "116.050725"},
        {"30°30′", AngleForm::DmsText, "30.3"},
        {"-30°29′59.9999″", AngleForm::DmsText, "-30.29599999"},
        {"30°59′59.9999999″", AngleForm::DmsText, "31"},        // 59.9999999″ rounds to 60″: carries twice
        {"116°23′59.9999996″", AngleForm::DmsText, "116.24"},  // one carry into the minutes
        {"S33°30′", AngleForm::DmsText, "-33.3"},
        {"33°30′S", AngleForm::DmsText, "-33.3"},
        {"W 2°15′", AngleForm::DmsText, "-2.15"},
        {"东经116°", AngleForm::DmsText, "116"},
        {"30.5", AngleForm::DecimalDegrees, "30.3"},
        {"-33.5", AngleForm::DecimalDegrees, "-33.3"},
        // 0.391234° = 23.47404′ = 23′ 28.4424″
        {"116.391234", AngleForm::DecimalDegrees, "116.23284424"},
        // 29.999999999° = 29°59′59.9999964″ -> 59.999996″
        {"29.999999999", AngleForm::DecimalDegrees, "29.5959999996"},
        {"29.9999999999", AngleForm::DecimalDegrees, "30"},  // 59.99999964″ carries
        {"", AngleForm::DecimalDegrees, ""},
    };
    for (const auto& c : cases) EXPECT_EQ(AngleToPackedText(c.text, c.form), c.packed) << c.text;
    for (const char* bad : {"30°75′", "30°30′60″", "abc", "30.5°15′", "1.2.3", "30x"})
        EXPECT_THROW(AngleToPackedText(bad, AngleForm::DmsText), CommandError) << bad;
    EXPECT_THROW(AngleToPackedText("x", AngleForm::DecimalDegrees), CommandError);
}

TEST(ColumnMapping, SeparatorsRolesAndMissingCells) {
    const Cells plane = {"name", "x", "y"};
    Cells cells;
    ColumnMapping blanks;
    blanks.separator = FieldSeparator::Blanks;
    blanks.columns = {"name", "y", "x"};
    MapLineInto("  P1   38512345.678\t3456789.123  ", blanks, plane, "0", cells);
    EXPECT_EQ(cells, (Cells{"P1", "3456789.123", "38512345.678"}));
    ColumnMapping tabs = blanks;
    tabs.separator = FieldSeparator::Tab;
    MapLineInto("P 1\t38512345.678\t", tabs, plane, "0", cells);  // an empty last field
    EXPECT_EQ(cells, (Cells{"P 1", "", "38512345.678"}));
    MapLineInto("P1", tabs, plane, "0", cells);  // a short line: the projection tools' "0"
    EXPECT_EQ(cells, (Cells{"P1", "0", "0"}));
    ColumnMapping semicolons;
    semicolons.separator = FieldSeparator::Semicolon;
    semicolons.columns = {"-", "name", "L", "B", "H"};
    semicolons.angles = AngleForm::DecimalDegrees;
    MapLineInto("7;K1;116.5;39.25;43.2", semicolons, {"name", "B", "L", "H"}, "", cells);
    EXPECT_EQ(cells, (Cells{"K1", "39.15", "116.3", "43.2"}));

    EXPECT_EQ(ParseRoleList("name, -, y,x,H"), (Cells{"name", "-", "y", "x", "H"}));
    EXPECT_THROW(ParseRoleList("name,q"), std::invalid_argument);
    EXPECT_THROW(ParseRoleList("name,x,x"), std::invalid_argument);
    EXPECT_EQ(RolesFromTitles({"点号", "纬度B(dms)", "经度L(dms)"}), (Cells{"name", "B", "L"}));
    EXPECT_EQ(RolesFromTitles({"点号", "坐标x(m)", "坐标y(m)", "大地高H(m)", "水准高H(m)", "残差H(m)"}),
              (Cells{"name", "x", "y", "H", "H2", ""}));
    const ColumnMapping remembered = MappingFromText(MappingToText(semicolons)).value();
    EXPECT_EQ(remembered, semicolons);
    EXPECT_FALSE(MappingFromText("sep=pipe;cols=name"));
}

// CASS .dat in (easting before northing, the code skipped, a header line and
// a trailing blank line) and out (name, empty code, y, x, H), and back.
TEST(ColumnMapping, CassFilesRoundTrip) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.dat"), "点名,编码,东坐标,北坐标,高程\r\n"
                                   "K1,,38512345.678,3456789.123,12.5\r\n"
                                   "K2,tree,38500000,3400000,\r\n"
                                   "\r\n");
    ColumnMapping cass = CassMapping();
    cass.skip_lines = 1;
    PointTable table({"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"});
    ImportMappedFile(dir.Path("in.dat"), cass, FieldSplit::Fitting, FileEncoding::Utf8, table);
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(Cells(table.Row(1), table.Row(1) + 4), (Cells{"K1", "3456789.123", "38512345.678", "12.5"}));
    EXPECT_EQ(Cells(table.Row(2), table.Row(2) + 4), (Cells{"K2", "3400000", "38500000", ""}));

    SaveCassFile(dir.Path("out.dat"), table, FileEncoding::Utf8);
    EXPECT_EQ(ReadBytes(dir.Path("out.dat")), "K1,,38512345.678,3456789.123,12.5\r\nK2,,38500000,3400000,\r\n");
    PointTable back({"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"});
    ImportMappedFile(dir.Path("out.dat"), CassMapping(), FieldSplit::Fitting, FileEncoding::Utf8, back);
    EXPECT_EQ(back, table);

    // A table without heights writes an empty height; one without x, y has no CASS form.
    PointTable plane({"点号", "纵坐标x(m)", "横坐标y(m)"});
    plane.Cell(0, 1) = "P";
    plane.Cell(1, 1) = "1.5";
    plane.Cell(2, 1) = "2.5";
    SaveCassFile(dir.Path("plane.dat"), plane, FileEncoding::Utf8);
    EXPECT_EQ(ReadBytes(dir.Path("plane.dat")), "P,,2.5,1.5,\r\n");
    EXPECT_FALSE(CassColumnsOf({"name", "B", "L"}));
    EXPECT_TRUE(IsCassFileName("a/b.DAT"));
    EXPECT_FALSE(IsCassFileName("b.txt"));

    // A failing line is named; the table stays as it was.
    WriteBytes(dir.Path("bad.txt"), "P1 30°30′ 116°\nP2 30°75′ 116°\n");
    ColumnMapping text;
    text.separator = FieldSeparator::Blanks;
    text.columns = {"name", "B", "L"};
    text.angles = AngleForm::DmsText;
    PointTable geodetic({"点号", "纬度B(dms)", "经度L(dms)"});
    try {
        ImportMappedFile(dir.Path("bad.txt"), text, FieldSplit::Projection, FileEncoding::Utf8, geodetic);
        ADD_FAILURE();
    } catch (const CommandError& e) {
        EXPECT_STREQ(e.what(), "'30°75′' is not a valid angle (line 2)");
    }
    EXPECT_EQ(geodetic.RowCount(), 2);
    EXPECT_EQ(geodetic.Cell(0, 1), "");
}

// Which files "文件导入" sends through the import dialog, and the mapping
// the dialog remembers per window kind.
TEST(ColumnMapping, ProgramLayoutOrNotAndTheRememberedMapping) {
    EXPECT_TRUE(FitsProgramLayout({"P1,3.5,114.2", "P2,3.5", "", "P3", "P4,,1,extra"}, 3, false));
    EXPECT_TRUE(FitsProgramLayout({}, 3, true));
    EXPECT_FALSE(FitsProgramLayout({"点号,x,y", "P1,1,2"}, 3, false));       // a header
    EXPECT_FALSE(FitsProgramLayout({"P1 3456789.1 38512345.6"}, 3, false));  // blanks
    EXPECT_FALSE(FitsProgramLayout({"P1;1;2"}, 3, false));
    EXPECT_FALSE(FitsProgramLayout({"P1,30°30′,116°"}, 3, false));           // angle texts
    EXPECT_FALSE(FitsProgramLayout({"K1,,38512345.678,3456789.123,12.5"}, 4, true));  // CASS
    EXPECT_TRUE(FitsProgramLayout({"K1,,38512345.678,3456789.123,12.5"}, 4, false));

    const ScratchDir dir;
    const std::string ini = dir.Path("Merivox.ini");
    WriteBytes(ini, "[TFH]\r\nTQT=4\r\n");
    EXPECT_FALSE(RememberedMapping(ini, "FormGSFS"));
    RememberMapping(ini, "FormGSFS", CassMapping());
    EXPECT_EQ(RememberedMapping(ini, "FormGSFS"), CassMapping());
    EXPECT_FALSE(RememberedMapping(ini, "FormGSZS"));
    EXPECT_EQ(ReadBytes(ini), "[TFH]\r\nTQT=4\r\n[Import]\r\nFormGSFS=sep=comma;skip=0;cols=name,-,y,x,H;angles=dms\r\n");
}

}  // namespace
}  // namespace coordconv
