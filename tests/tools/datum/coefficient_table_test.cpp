#include "tools/datum/coefficient_table.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(CoefficientTable, ChangingTheModelKeepsTheTextsOfTheRowsThatRemain) {
    CoefficientTable table({"a0", "a1", "a2", "b0", "b1", "b2"});
    table.WriteValues({1, 2, 3, 4, 5, 6}, {});
    table.SetLabels({"a0", "a1", "a2", "a3", "a4", "a5", "b0", "b1", "b2", "b3", "b4", "b5"});
    ASSERT_EQ(table.RowCount(), 12);
    EXPECT_EQ(table.Label(3), "a3");
    EXPECT_EQ(table.Value(3), "4");  // the former b0 now stands against a3
    EXPECT_EQ(table.Value(6), "");
    table.SetLabels({"a0=", "a1="});
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Value(1), "2");
}

TEST(CoefficientTable, FileLinesAndLoadingResizesToTheLinesRead) {
    CoefficientTable table({"a0=", "a1=", "a2="});
    table.WriteValues({0.5L, -2.5e-6L, 1.0L / 3}, {});
    EXPECT_EQ(table.FileLines(), (std::vector<std::string>{"a0=,0.5", "a1=,-2.5E-6", "a2=,0.333333333333333"}));

    table.AssignFileLines({"a0=,1", "a1=,2", "a2=,3", "a3=,4", "a4=,5,extra", "a5="});
    ASSERT_EQ(table.RowCount(), 6);
    EXPECT_EQ(table.Label(4), "a4=");
    EXPECT_EQ(table.Value(4), "5");
    EXPECT_EQ(table.Value(5), "");
    table.AssignFileLines({});
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Label(0), "");
}

TEST(CoefficientTable, SolvedValuesGrowAShortTable) {
    CoefficientTable table({"x"});
    table.AssignFileLines({"a0,7"});
    table.WriteValues({1, 2, 3}, {"a0", "a1", "a2"});
    ASSERT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Label(0), "a0");
    EXPECT_EQ(table.Label(2), "a2");
    EXPECT_EQ(table.Value(2), "3");
    EXPECT_EQ(table.ReadValues(5), (Vector{1, 2, 3, 0, 0}));
}

TEST(CoefficientTable, SaveAndLoadFiles) {
    const ScratchDir dir;
    CoefficientTable table({"a0=", "a1=", "a2="});
    table.WriteValues({1.25L, 0, -3}, {});
    SaveCoefficientFile(dir.Path("c.txt"), table, FileEncoding::Gbk);
    EXPECT_EQ(ReadBytes(dir.Path("c.txt")), "a0=,1.25\r\na1=,0\r\na2=,-3\r\n");
    CoefficientTable loaded({"a0="});
    LoadCoefficientFile(dir.Path("c.txt"), FileEncoding::Gbk, loaded);
    EXPECT_EQ(loaded, table);

    const CoefficientTable before = loaded;
    EXPECT_THROW(LoadCoefficientFile(dir.Path("missing.txt"), FileEncoding::Gbk, loaded), CommandError);
    EXPECT_EQ(loaded, before);
}

}  // namespace
}  // namespace coordconv
