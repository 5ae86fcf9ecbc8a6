// The zone change window driven through its widgets.
#include "ui/windows/zone_change_window.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <gtest/gtest.h>

#include "tests/fake_dialogs.h"
#include "tests/ui/windows/window_test_support.h"
#include "ui/windows/projection_layout.h"

namespace coordconv {
namespace {

TEST(ZoneChange, LeftGroupsRoundHalfToEven) {
    EXPECT_EQ(ZoneChangeLeftGroupWidth(717), 352);  // 704 / 2
    EXPECT_EQ(ZoneChangeLeftGroupWidth(700), 344);  // 343.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(702), 344);  // 344.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(704), 346);  // 345.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(12), 0);     // -0.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(10), -2);    // -1.5
}


using testing::Box;
using testing::Cell;
using testing::FakeDialogs;
using testing::TypeRows;

class ZoneChangeWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    QGroupBox* Group(const char* name) { return window.findChild<QGroupBox*>(name); }

    FakeDialogs dialogs;
    TFormZBHD window{nullptr, dialogs};
};

TEST_F(ZoneChangeWindowTest, LayoutGroupsAndTitles) {
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("坐标换带"));
    EXPECT_EQ(window.size(), QSize(717, 508));
    EXPECT_EQ(window.Ellipsoid().List()->currentText(), QString::fromUtf8("1980西安坐标系"));
    EXPECT_EQ(window.Ellipsoid().A()->text(), "6378140.0000000000");
    EXPECT_EQ(Group("GroupBox1")->title(), QString::fromUtf8("原投影带参数"));
    EXPECT_EQ(Group("GroupBox2")->title(), QString::fromUtf8("原投影带坐标(x,y)"));
    for (const char* name : {"EditLL", "EditLL2"}) EXPECT_EQ(Box(window, name)->text(), "0");
    for (const char* name : {"EditYY", "EditYY2"}) EXPECT_EQ(Box(window, name)->text(), "500000");
    for (int col = 0; col < 3; ++col) EXPECT_EQ(Cell(window.Source(), col, 0), Cell(window.Result(), col, 0));
    EXPECT_EQ(Cell(window.Result(), 2, 0), "横坐标y(m)");
}

TEST_F(ZoneChangeWindowTest, MovesPointsToTheNewMeridianAndConstant) {
    window.NewCentralMeridian()->setText("3");
    // The zone number of an input easting is dropped whatever it is. The
    // easting is that of 30°30′ N, 1°30′ E rounded to 0.1 mm; mirrored onto the
    // meridian 3 it lands at 355993.50572 (the unrounded point at 355993.50576).
    TypeRows(window, {{{"P1", "3376500.1736", "644006.4942"}}, {{"P2", "3376500.1736", "38644006.4942"}}});
    window.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    for (int row : {1, 2}) {
        EXPECT_EQ(Cell(window.Result(), 1, row), "3376500.1736");
        EXPECT_EQ(Cell(window.Result(), 2, row), "355993.5057");
    }
    EXPECT_EQ(Cell(window.Result(), 0, 2), "P2");

    // The new constant is added as it stands, a zone number included.
    window.NewYConstant()->setText("39500000");
    window.Button(6)->click();
    EXPECT_EQ(Cell(window.Result(), 2, 1), "39355993.5057");

    // A bad box of the new zone stops the command before any row.
    window.NewCentralMeridian()->setText("3d");
    window.Button(6)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'3d' is not a valid floating point value"}));
    EXPECT_EQ(Cell(window.Result(), 2, 1), "39355993.5057");
}

TEST_F(ZoneChangeWindowTest, LeftGroupsTakeTheHalfRoundedToEven) {
    const int frame = window.frameGeometry().width() - window.width();
    // W - 13 odd: 687 / 2 = 343.5 gives 344, 691 / 2 = 345.5 gives 346.
    for (const auto& [outer, left] : {std::pair{700, 344}, std::pair{704, 346}, std::pair{813, 400}}) {
        window.resize(outer - frame, 508);
        QApplication::processEvents();
        ASSERT_EQ(window.frameGeometry().width(), outer);
        EXPECT_EQ(Group("GroupBox1")->width(), left) << outer;
        EXPECT_EQ(Group("GroupBox2")->width(), left) << outer;
        for (PointGrid* grid : {&window.Source(), &window.Result()}) {
            const long double w = grid->width() - 34;
            EXPECT_EQ(grid->ColumnWidths(), (std::vector<int>{static_cast<int>(w * 0.18L), static_cast<int>(w * 0.41L),
                                                              static_cast<int>(w * 0.41L)}));
        }
    }
}

}  // namespace
}  // namespace coordconv
