#include "table/clipboard_text.h"

#include <gtest/gtest.h>

namespace coordconv {
namespace {

// Clipboard texts as spreadsheet programs and CSV copies give them.
TEST(ClipboardText, SpreadsheetAndCsvCopiesSplitIntoCells) {
    struct Case {
        const char* what;
        std::string text;
        CellRange cells;
    };
    const std::vector<Case> cases = {
        {"LibreOffice Calc: tabs, CR LF, a trailing line end, Chinese names",
         "点1\t3380000.1234\t500000.5\r\n点2\t3381000\t501000\r\n",
         {{"点1", "3380000.1234", "500000.5"}, {"点2", "3381000", "501000"}}},
        {"WPS: LF, no trailing line end, an empty cell", "A\t\t30.3\nB\t1\t2", {{"A", "", "30.3"}, {"B", "1", "2"}}},
        {"a quoted cell with a tab, a quote and a line break", "\"a\tb\"\t\"say \"\"x\"\"\"\t\"1\n2\"\n",
         {{"a\tb", "say \"x\"", "1\n2"}}},
        {"CSV: commas split, a quoted cell keeps its comma", "\"P1,旧\",30.3,114.3\r\nP2,31,115\r\n",
         {{"P1,旧", "30.3", "114.3"}, {"P2", "31", "115"}}},
        {"a tab anywhere makes commas part of the cells", "1,5\t2\n", {{"1,5", "2"}}},
        {"a single cell", "3380000.1", {{"3380000.1"}}},
        {"old Mac line ends", "a\tb\rc\td\r", {{"a", "b"}, {"c", "d"}}},
        {"nothing", "", {}},
        {"an empty line in the middle is an empty row", "a\n\nb\n", {{"a"}, {""}, {"b"}}},
        {"a quote inside a cell is a character, not the start of quoting", "12\"34\t5\n", {{"12\"34", "5"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseClipboardText(c.text), c.cells) << c.what;

    // What the grids put on the clipboard reads back as the same cells.
    const CellRange cells = {{"点1", "a\tb", "say \"x\""}, {"", "1\n2", "3"}};
    EXPECT_EQ(ClipboardText(cells), "点1\t\"a\tb\"\t\"say \"\"x\"\"\"\n\t\"1\n2\"\t3\n");
    EXPECT_EQ(ParseClipboardText(ClipboardText(cells)), cells);
}

TEST(ClipboardText, PastesGrowTheTableAndKeepTheTitleRow) {
    PointTable table({"点号", "x", "y", "H"});
    table.SetRowCount(3);
    table.Cell(0, 2) = "keep";
    const int last = PasteCells(table, 1, 1, {{"1", "2", "3", "dropped"}, {"4"}, {"5", "6"}});
    EXPECT_EQ(last, 3);
    EXPECT_EQ(table.RowCount(), 4);
    EXPECT_EQ(table.Cell(1, 0), "x");  // titles unchanged
    EXPECT_EQ(table.Cell(3, 1), "3");
    EXPECT_EQ(table.Cell(0, 2), "keep");
    EXPECT_EQ(table.Cell(1, 2), "4");
    EXPECT_EQ(table.Cell(2, 2), "");  // a short line leaves the rest of its row
    EXPECT_EQ(table.Cell(2, 3), "6");
    PasteCells(table, 0, 0, {{"into the title?"}});  // row 0 is never written
    EXPECT_EQ(table.Cell(0, 0), "点号");
    EXPECT_EQ(table.Cell(0, 1), "into the title?");
}

}  // namespace
}  // namespace coordconv
