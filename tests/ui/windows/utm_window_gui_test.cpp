// The UTM windows driven through their widgets.
#include "ui/windows/utm_window.h"

#include <QComboBox>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/ui/windows/window_test_support.h"

namespace coordconv {
namespace {

using testing::Box;
using testing::Cell;
using testing::FakeDialogs;
using testing::TypeCell;
using testing::TypeRows;

TEST(UtmWindow, LayoutOpensOnWgs84WithTheFalseNorthingBox) {
    FakeDialogs dialogs;
    UtmForwardWindow forward(nullptr, dialogs);
    forward.show();
    EXPECT_EQ(forward.windowTitle(), QString::fromUtf8("墨卡托投影正算"));
    EXPECT_EQ(forward.size(), QSize(715, 448));
    EXPECT_EQ(forward.Ellipsoid().List()->currentText(), QString::fromUtf8("WGS84大地坐标系"));
    EXPECT_EQ(forward.Ellipsoid().A()->text(), "6378137.0000000000");
    EXPECT_EQ(forward.Ellipsoid().InverseFlattening()->text(), "298.257223563");
    EXPECT_FALSE(forward.Ellipsoid().A()->isEnabled());
    ASSERT_NE(Box(forward, "EditXX"), nullptr);
    EXPECT_EQ(Box(forward, "EditXX")->text(), "0");
    EXPECT_EQ(Box(forward, "EditXX")->toolTip(), QString::fromUtf8("南半球=10000000"));
    EXPECT_EQ(Box(forward, "EditLL")->text(), "0");
    EXPECT_EQ(Box(forward, "EditYY")->text(), "500000");
    EXPECT_EQ(forward.Source().Table().Cell(1, 0), "纬度B(dms)");
    EXPECT_EQ(forward.Result().Table().Cell(1, 0), "纵坐标x(m)");

    UtmInverseWindow inverse(nullptr, dialogs);
    inverse.show();
    EXPECT_EQ(inverse.windowTitle(), QString::fromUtf8("墨卡托投影反算"));
    EXPECT_EQ(inverse.size(), QSize(715, 448));
    EXPECT_EQ(inverse.Source().Table().Cell(2, 0), "横坐标y(m)");
    EXPECT_EQ(inverse.Result().Table().Cell(2, 0), "经度L(dms)");
    EXPECT_EQ(inverse.Ellipsoid().InverseFlattening()->text(), "298.257223563");
}

TEST(UtmWindow, WorkedExamplesAndTheSouthernPointThereAndBack) {
    FakeDialogs dialogs;
    UtmForwardWindow forward(nullptr, dialogs);
    forward.show();
    TypeRows(forward, {{{"P1", "30.3", "1.3"}}, {{"P2", "30", "3"}}});
    forward.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Cell(forward.Result(), 0, 1), "P1");
    EXPECT_EQ(Cell(forward.Result(), 1, 1), "3375148.0007");
    EXPECT_EQ(Cell(forward.Result(), 2, 1), "643948.8238");
    EXPECT_EQ(Cell(forward.Result(), 1, 2), "3322575.9044");
    EXPECT_EQ(Cell(forward.Result(), 2, 2), "789409.6533");

    // South of the equator with the false northing typed into its box.
    Box(forward, "EditXX")->setText("10000000");
    TypeCell(forward.Source(), 1, 1, "-33.3");
    TypeCell(forward.Source(), 1, 2, "2");
    forward.Button(6)->click();
    EXPECT_EQ(Cell(forward.Result(), 1, 1), "6291490.6461");
    EXPECT_EQ(Cell(forward.Result(), 2, 1), "685785.6100");

    UtmInverseWindow inverse(nullptr, dialogs);
    inverse.show();
    Box(inverse, "EditXX")->setText("10000000");
    TypeRows(inverse, {{{"S", "6291490.6461", "685785.6100"}}});
    inverse.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Cell(inverse.Result(), 0, 1), "S");
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(Cell(inverse.Result(), 1, 1))), -33.5, 1e-9);
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(Cell(inverse.Result(), 2, 1))), 2.0, 1e-9);
}

TEST(UtmWindow, ErrorsStopAtTheBadBoxOrRow) {
    FakeDialogs dialogs;
    UtmInverseWindow inverse(nullptr, dialogs);
    inverse.show();
    for (int i = 0; i < 4; ++i) inverse.Result().Edit([](PointTable& t) { t.Append(); });
    TypeCell(inverse.Result(), 3, 0, "old");
    TypeRows(inverse, {{{"A", "3375148.0007", "643948.8238"}}, {{"B", "3375148", "6439x"}}, {{"C", "0", "500000"}}});

    // A bad box: nothing in the result table changes.
    Box(inverse, "EditXX")->setText("ten");
    inverse.Button(6)->click();
    ASSERT_EQ(dialogs.errors, (std::vector<std::string>{"'ten' is not a valid floating point value"}));
    EXPECT_EQ(inverse.Result().Table().RowCount(), 6);
    EXPECT_EQ(Cell(inverse.Result(), 0, 1), "");

    // A bad cell: the result takes the source's row count, the rows above
    // are written, that row and the rows below keep what they held.
    Box(inverse, "EditXX")->setText("0");
    inverse.Button(6)->click();
    ASSERT_EQ(dialogs.errors.size(), 2u);
    EXPECT_EQ(dialogs.errors[1], "'6439x' is not a valid floating point value");
    EXPECT_EQ(inverse.Result().Table().RowCount(), 4);
    EXPECT_EQ(Cell(inverse.Result(), 0, 1), "A");
    EXPECT_NEAR(static_cast<double>(DmsTextToDegrees(Cell(inverse.Result(), 1, 1))), 30.5, 1e-8);
    EXPECT_EQ(Cell(inverse.Result(), 0, 2), "");
    EXPECT_EQ(Cell(inverse.Result(), 0, 3), "old");
}

}  // namespace
}  // namespace coordconv
