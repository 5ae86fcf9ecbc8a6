#include "fitting/coefficient_table.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

TEST(CoefficientTable, ChangingTheModelKeepsTheTextsOfTheRowsThatRemain) {
    CoefficientTable table({"a0", "a1", "a2", "b0", "b1", "b2"});
    table.WriteValues({1, 2, 3, 4, 5, 6}, {});
    table.SetLabels({"a0", "a1", "a2", "a3", "a4", "a5", "b0", "b1", "b2", "b3", "b4", "b5"});
    ASSERT_EQ(table.RowCount(), 12);
    EXPECT_EQ(table.Label(3) + "," + table.Value(3), "a3,4");  // the former b0 stands against a3
    EXPECT_EQ(table.Value(6), "");
    table.SetLabels({"a0=", "a1="});
    EXPECT_EQ(table.RowCount(), 2);
}

TEST(CoefficientTable, FilesResizeTheTableToTheLinesRead) {
    const testing::ScratchDir dir;
    CoefficientTable table({"a0=", "a1=", "a2="});
    table.WriteValues({0.5L, -2.5e-6L, 1.0L / 3}, {});
    SaveCoefficientFile(dir.Path("c.txt"), table, FileEncoding::Gbk);
    EXPECT_EQ(testing::ReadBytes(dir.Path("c.txt")), "a0=,0.5\r\na1=,-2.5E-6\r\na2=,0.333333333333333\r\n");
    CoefficientTable loaded({"x"});
    LoadCoefficientFile(dir.Path("c.txt"), FileEncoding::Gbk, loaded);
    EXPECT_EQ(loaded, table);
    EXPECT_THROW(LoadCoefficientFile(dir.Path("missing.txt"), FileEncoding::Gbk, loaded), CommandError);
    EXPECT_EQ(loaded, table);  // untouched by the failed load

    table.AssignFileLines({"a0=,1", "a1=,2", "a2=,3", "a3=,4", "a4=,5,extra", "a5="});
    EXPECT_EQ(table.RowCount(), 6);
    EXPECT_EQ(table.Value(4) + "|" + table.Value(5), "5|");
    table.AssignFileLines({});
    EXPECT_EQ(table.RowCount(), 2);

    // A solve into a table shorter than the model grows it with the model's labels.
    table.WriteValues({1, 2, 3}, {"a0", "a1", "a2"});
    EXPECT_EQ(table.RowCount(), 3);
    EXPECT_EQ(table.Label(2) + "," + table.Value(2), "a2,3");
}

}  // namespace
}  // namespace coordconv
