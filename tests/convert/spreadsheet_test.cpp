// Point tables in spreadsheets made and read back by GDAL's Python bindings
// (tests/convert/spreadsheets.py): the import equals that of the same points
// as a text file, a saved .xlsx holds the table's cells, and coordconv-cli
// reads and writes spreadsheets as it reads and writes text files.
#include "convert/spreadsheet.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "table/coordinate_file.h"
#include "table/sheet_rows.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::RunProgram;
using testing::ScratchDir;

const std::string kScript = std::string(COORDCONV_TEST_DATA) + "/../convert/spreadsheets.py";
const std::vector<std::string> kGeodeticTitles = {"点号", "纬度B(dms)", "经度L(dms)"};

// points.xlsx, points.ods and points.txt in `dir`; false without python3-gdal.
bool MakeSheets(const ScratchDir& dir) {
    return RunProgram("/usr/bin/python3", {kScript, "make", dir.Path("")}).status == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

std::vector<std::string> Split(const std::string& line, char mark) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t end; (end = line.find(mark, start)) != std::string::npos; start = end + 1)
        fields.push_back(line.substr(start, end - start));
    fields.push_back(line.substr(start));
    return fields;
}

// A cell as spreadsheets.py dumps it equals the table's text: a number cell
// by its value, a text cell by its text, an empty cell for an empty text.
void ExpectCell(const std::string& dumped, const std::string& text, const std::string& where) {
    if (text.empty()) {
        EXPECT_EQ(dumped, "-") << where;
    } else if (dumped.rfind("n:", 0) == 0) {
        EXPECT_EQ(std::stod(dumped.substr(2)), std::stod(text)) << where << " " << dumped;
    } else {
        EXPECT_EQ(dumped, "s:" + text) << where;
    }
}

TEST(SpreadsheetCells, NumbersComeBackWithTheDigitsTheSheetShows) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"3376500.1735999998636544", "3376500.1736"},  // ODS: the double's 16-decimal expansion
        {"31.1000000000000014", "31.1"},
        {"39500000.12345679", "39500000.12345679"},   // 16 digits that are the value's own
        {"0.30000000000000004", "0.30000000000000004"},  // a computed value, not 0.3
        {"1e-07", "0.0000001"},
        {"1E+06", "1000000"},
        {"1000000.0000000000000000", "1000000"},
        {"30.30151234567", "30.30151234567"},  // typed digits kept, trailing zeros too
        {"30.3000", "30.3000"},
        {"007", "007"},
        {"P1", "P1"},
        {"30°30′15″", "30°30′15″"},
        {"1.2.3", "1.2.3"},
    };
    for (const auto& [text, shown] : cases) EXPECT_EQ(SpreadsheetCellText(text), shown) << text;
}

TEST(SpreadsheetCells, HeaderRowAndProgramColumns) {
    EXPECT_EQ(FirstDataRow({{"点号", "X", "Y"}, {"P1", "3376500.1736", "644006.4942"}}), 1);
    EXPECT_EQ(FirstDataRow({{}, {"点号", "纬度"}, {}, {"P1", "30°30′15″"}}), 2);  // empty rows around it
    EXPECT_EQ(FirstDataRow({{"P1", "1", "2"}, {"P2", "3", "4"}}), 0);
    EXPECT_EQ(FirstDataRow({{"K1", "JD", "1"}, {"K2", "JD", "2"}}), 0);  // a code column, no header
    EXPECT_EQ(FirstDataRow({{"点号", "X", "Y"}}), 0);
    const CellRows rows = {{"点号", "x", "y"}, {"P1", "1", "2"}, {}, {"P2", "", "4"}};
    EXPECT_TRUE(FitsProgramColumns(rows, 1, 3, 3));
    EXPECT_FALSE(FitsProgramColumns(rows, 0, 3, 3));
    EXPECT_FALSE(FitsProgramColumns({{"P1", "1", "2", "3"}}, 0, 3, 3));  // a column more than the table
    EXPECT_EQ(TabSeparatedLines({{"A\tB", "1"}, {"C\nD"}}), (std::vector<std::string>{"A B\t1", "C D"}));
    PointTable table(kGeodeticTitles);
    ImportCellRows(rows, 1, FieldSplit::Projection, table);
    ASSERT_EQ(table.RowCount(), 3);  // the empty row left out
    EXPECT_EQ(table.Cell(2, 1), "2");
    EXPECT_EQ(table.Cell(1, 2), "");  // an empty cell stays empty, as ",," in a text file
}

TEST(Spreadsheet, ImportEqualsTheTextFilesImport) {
    const ScratchDir dir;
    if (!MakeSheets(dir)) GTEST_SKIP() << "GDAL's Python bindings (python3-gdal) are missing";
    PointTable text(kGeodeticTitles);
    ImportCoordinateFile(dir.Path("points.txt"), FieldSplit::Projection, FileEncoding::Gbk, text);
    ASSERT_EQ(text.RowCount(), 5);
    for (const std::string name : {"points.xlsx", "points.ods"}) {
        const CellRows rows = ReadSpreadsheetRows(dir.Path(name));
        ASSERT_EQ(rows.size(), 5u) << name;
        EXPECT_EQ(rows[0], kGeodeticTitles) << name;
        EXPECT_EQ(FirstDataRow(rows), 1) << name;
        EXPECT_TRUE(FitsProgramColumns(rows, 1, 3, 3)) << name;
        PointTable sheet(kGeodeticTitles);
        ImportCellRows(rows, 1, FieldSplit::Projection, sheet);
        EXPECT_EQ(sheet, text) << name;
    }
    EXPECT_THROW(ReadSpreadsheetRows(dir.Path("points.txt.xlsx")), CommandError);
    std::rename(dir.Path("points.txt").c_str(), dir.Path("text.xlsx").c_str());
    EXPECT_THROW(ReadSpreadsheetRows(dir.Path("text.xlsx")), CommandError);
}

TEST(Spreadsheet, SavedXlsxHoldsTheTablesCells) {
    const ScratchDir dir;
    if (!MakeSheets(dir)) GTEST_SKIP() << "GDAL's Python bindings (python3-gdal) are missing";
    // Names that look like numbers stay texts; a byte of a GBK file that is
    // no character (held as U+10FF80) becomes U+FFFD; a column with a text
    // is a text column.
    PointTable table({"点号", "纵坐标x(m)", "横坐标y(m)", "备注"});
    table.AssignDataRows({"007", "3376500.1736", "39644006.4942", "1.5",                           //
                          "A\xF4\x8F\xBE\x80", "4427757.2186", "-0.0001", "abc",                  //
                          "张家湾", "", "500000.123456789", ""},
                         3);
    SaveSpreadsheet(dir.Path("saved.xlsx"), table, 4);
    const auto dump = RunProgram("/usr/bin/python3", {kScript, "dump", dir.Path("saved.xlsx")});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> lines = Lines(dump.out);
    ASSERT_EQ(lines.size(), 4u) << dump.out;
    EXPECT_EQ(lines[0], "点号|纵坐标x(m)|横坐标y(m)|备注");
    std::vector<std::string> expected = {"007", "3376500.1736", "39644006.4942", "1.5",
                                         "A\xEF\xBF\xBD", "4427757.2186", "-0.0001", "abc",
                                         "张家湾", "", "500000.123456789", ""};
    for (int row = 1; row <= 3; ++row) {
        const std::vector<std::string> cells = Split(lines[static_cast<std::size_t>(row)], '|');
        ASSERT_EQ(cells.size(), 4u) << lines[static_cast<std::size_t>(row)];
        for (int col = 0; col < 4; ++col)
            ExpectCell(cells[static_cast<std::size_t>(col)], expected[static_cast<std::size_t>((row - 1) * 4 + col)],
                       "row " + std::to_string(row) + " column " + std::to_string(col));
        EXPECT_EQ(cells[0].substr(0, 2), "s:");
        EXPECT_EQ(cells[3].substr(0, 2) == "s:" || cells[3] == "-", true);
    }
    // Read back by the program: the same texts.
    const CellRows rows = ReadSpreadsheetRows(dir.Path("saved.xlsx"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1], (std::vector<std::string>{"007", "3376500.1736", "39644006.4942", "1.5"}));
    EXPECT_EQ(rows[3], (std::vector<std::string>{"张家湾", "", "500000.123456789"}));
}

TEST(Spreadsheet, CliReadsAndWritesSheetsAsTextFiles) {
    const ScratchDir dir;
    if (!MakeSheets(dir)) GTEST_SKIP() << "GDAL's Python bindings (python3-gdal) are missing";
    const std::vector<std::string> tool = {"gauss-forward", "--cm", "114"};
    auto run = [&](const std::string& in, const std::string& out) {
        std::vector<std::string> args = tool;
        for (const std::string& a : {std::string("-i"), dir.Path(in), std::string("-o"), dir.Path(out)}) args.push_back(a);
        const auto result = RunCli(args);
        EXPECT_EQ(result.status, 0) << in << " " << result.err;
    };
    run("points.txt", "from_text.txt");
    run("points.xlsx", "from_xlsx.txt");
    run("points.ods", "from_ods.txt");
    const std::string text = ReadBytes(dir.Path("from_text.txt"));
    EXPECT_EQ(ReadBytes(dir.Path("from_xlsx.txt")), text);
    EXPECT_EQ(ReadBytes(dir.Path("from_ods.txt")), text);

    run("points.xlsx", "out.xlsx");
    const auto dump = RunProgram("/usr/bin/python3", {kScript, "dump", dir.Path("out.xlsx")});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::vector<std::string> lines = Lines(dump.out);
    PointTable expected({"点号", "纵坐标x(m)", "横坐标y(m)"});
    ImportCoordinateFile(dir.Path("from_text.txt"), FieldSplit::Projection, FileEncoding::Gbk, expected);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(expected.RowCount())) << dump.out;
    EXPECT_EQ(lines[0], "点号|纵坐标x(m)|横坐标y(m)");
    for (int row = 1; row < expected.RowCount(); ++row) {
        const std::vector<std::string> cells = Split(lines[static_cast<std::size_t>(row)], '|');
        ASSERT_EQ(cells.size(), 3u);
        for (int col = 0; col < 3; ++col) ExpectCell(cells[static_cast<std::size_t>(col)], expected.Cell(col, row), "");
    }

    // A mapping reads the sheet's cells; its header row is found without --skip.
    std::vector<std::string> args = tool;
    for (const std::string& a : {std::string("--columns"), std::string("name,B,L"), std::string("--angles"),
                                 std::string("dms"), std::string("-i"), dir.Path("points.ods")})
        args.push_back(a);
    const auto mapped = RunCli(args);
    EXPECT_EQ(mapped.status, 0) << mapped.err;
    EXPECT_EQ(mapped.out, text);
}

}  // namespace
}  // namespace coordconv
