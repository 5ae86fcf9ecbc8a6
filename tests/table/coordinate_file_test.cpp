#include "table/coordinate_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/gbk_length.h"
#include "table/text_codec.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;
using Fields = std::vector<std::string>;

TEST(FieldSplits, ProjectionFillsZerosFittingLeavesEmpty) {
    EXPECT_EQ(SplitLine("P1,3.5,114.2", 3, FieldSplit::Projection), (Fields{"P1", "3.5", "114.2"}));
    EXPECT_EQ(SplitLine("P1,3.5", 3, FieldSplit::Projection), (Fields{"P1", "3.5", "0"}));
    EXPECT_EQ(SplitLine("P1", 3, FieldSplit::Projection), (Fields{"P1", "0", "0"}));
    EXPECT_EQ(SplitLine("", 3, FieldSplit::Projection), (Fields{"", "0", "0"}));
    EXPECT_EQ(SplitLine("P1,,114.2", 3, FieldSplit::Projection), (Fields{"P1", "", "114.2"}));
    EXPECT_EQ(SplitLine("P1,3.5,114.2,99", 3, FieldSplit::Projection), (Fields{"P1", "3.5", "114.2"}));
    EXPECT_EQ(SplitLine("P1,3.5", 4, FieldSplit::Fitting), (Fields{"P1", "3.5", "", ""}));
    EXPECT_EQ(SplitLine("", 4, FieldSplit::Fitting), (Fields{"", "", "", ""}));
}

PointTable ImportBytes(const std::string& bytes, FieldSplit split, int columns) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), bytes);
    PointTable table(std::vector<std::string>(static_cast<std::size_t>(columns), "t"));
    ImportCoordinateFile(dir.Path("in.txt"), split, FileEncoding::Gbk, table);
    return table;
}

TEST(ImportCoordinateFile, LineEndRules) {
    // Three lines with or without a final line end: three rows.
    EXPECT_EQ(ImportBytes("a\r\nb\nc", FieldSplit::Projection, 3).RowCount(), 4);
    EXPECT_EQ(ImportBytes("a\r\nb\nc\r\n", FieldSplit::Projection, 3).RowCount(), 4);
    // A final empty line is one more point; a blank line in the middle is a row.
    const PointTable trailing = ImportBytes("a\r\n\r\n", FieldSplit::Projection, 3);
    EXPECT_EQ(trailing.RowCount(), 3);
    EXPECT_EQ(trailing.Cell(0, 2), "");
    EXPECT_EQ(trailing.Cell(1, 2), "0");
    // A lone carriage return is dropped from its line.
    EXPECT_EQ(ImportBytes("P\r1,2\r,3\n", FieldSplit::Projection, 3).Cell(0, 1), "P1");
    // An empty file leaves one empty data row.
    const PointTable empty = ImportBytes("", FieldSplit::Fitting, 4);
    EXPECT_EQ(empty.RowCount(), 2);
    EXPECT_EQ(empty.Cell(3, 1), "");
    // Fitting windows: missing fields stay empty also after a complete line.
    const PointTable fitting = ImportBytes("A,1,2,3\nB,1\n", FieldSplit::Fitting, 4);
    EXPECT_EQ(fitting.Cell(3, 1), "3");
    EXPECT_EQ(fitting.Cell(2, 2), "");
}

TEST(CoordinateFiles, GbkReadsAndWritesBackByteForByte) {
    // Chinese names, the full-width comma and rare GBK characters survive.
    const std::string gbk = "\xb5\xe3\x31,30.3,1.3\r\n\xd6\xd0\xa3\xac\xb9\xfa,1,2\r\n\x81\x40\xfe\x4f,,\r\n";
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), gbk);
    PointTable table({"点号", "B", "L"});
    ImportCoordinateFile(dir.Path("in.txt"), FieldSplit::Projection, FileEncoding::Gbk, table);
    EXPECT_EQ(table.Cell(0, 1), "点1");
    EXPECT_EQ(table.Cell(0, 2), "中，国");
    SaveCoordinateFile(dir.Path("out.txt"), table, 3, FileEncoding::Gbk);
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), gbk);
}

// The table-free GBK length agrees with Qt's GB18030 encoder on the texts of
// labels and sheet numbers: ASCII, degree/minute/second signs, Chinese,
// full-width forms and a character beyond the Basic Multilingual Plane.
TEST(CoordinateFiles, GbkByteCountMatchesTheEncoder) {
    for (const std::string text : {"", "J-50-5-(15)", "116°23′45.678″", "39°54′00.000″E", "中华人民共和国",
                                   "Ｘ＝１２３", "坐标：3456789.012", "\xF0\xA0\x80\x80"})
        EXPECT_EQ(GbkByteCount(text), EncodeFileText(text, FileEncoding::Gbk).size()) << text;
}

TEST(CoordinateFiles, FailuresLeaveTableAndTargetAsTheyWere) {
    const ScratchDir dir;
    PointTable table({"a", "b", "c"});
    table.Cell(0, 1) = "typed";
    const PointTable before = table;
    try {
        ImportCoordinateFile(dir.Path("missing.txt"), FieldSplit::Projection, FileEncoding::Gbk, table);
        FAIL();
    } catch (const CommandError& e) {
        EXPECT_STREQ(e.what(), "File not found");
    }
    EXPECT_EQ(table, before);
    EXPECT_THROW(ImportCoordinateFile(dir.Path(""), FieldSplit::Projection, FileEncoding::Gbk, table), CommandError);
    EXPECT_EQ(table, before);

    // A write that fails half-way leaves the old file and no temporary file.
    WriteBytes(dir.Path("old.txt"), "old\r\n");
    {
        AtomicLineWriter writer(dir.Path("old.txt"), FileEncoding::Gbk);
        writer.WriteLine("new");
        // destroyed without Commit, as when the command fails
    }
    EXPECT_EQ(ReadBytes(dir.Path("old.txt")), "old\r\n");
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path(""))) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(FileErrorText, NamesTheCommonFailures) {
    EXPECT_EQ(FileErrorText(ENOENT), "File not found");
    EXPECT_EQ(FileErrorText(EACCES), "File access denied");
    EXPECT_EQ(FileErrorText(EMFILE), "Too many open files");
    EXPECT_EQ(FileErrorText(ENOSPC), "Disk full");
    EXPECT_EQ(FileErrorText(EIO), "I/O error 5");
}

TEST(PointTable, RowCommands) {
    PointTable t({"n", "x", "y"});
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.Append(), 2);
    t.Cell(0, 1) = "1";
    t.Cell(0, 2) = "2";
    EXPECT_EQ(t.Insert(1), 1);
    EXPECT_EQ(t.Cell(0, 1), "");
    EXPECT_EQ(t.Cell(0, 2), "1");
    EXPECT_EQ(t.Cell(0, 3), "2");
    EXPECT_EQ(t.Cell(0, 0), "n");
    EXPECT_EQ(t.Delete(3), 2);
    EXPECT_EQ(t.Delete(1), 1);
    EXPECT_EQ(t.Cell(0, 1), "1");
    EXPECT_EQ(t.Delete(1), 1);  // the only data row is emptied, not removed
    EXPECT_EQ(t.RowCount(), 2);
    EXPECT_EQ(t.Cell(0, 1), "");
    t.SetRowCount(10);
    t.Clear();
    EXPECT_EQ(t.RowCount(), 2);
}

}  // namespace
}  // namespace coordconv
