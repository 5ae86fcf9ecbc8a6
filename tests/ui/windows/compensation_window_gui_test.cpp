// The compensation height plane window driven through its widgets.
#include "ui/windows/compensation_window.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/ui/windows/window_test_support.h"

namespace coordconv {
namespace {

using testing::Cell;
using testing::FakeDialogs;
using testing::TypeRows;

class CompensationWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    QLineEdit* Box(const char* name) { return testing::Box(window, name); }
    void Press(const char* name) { window.findChild<QPushButton*>(name)->click(); }
    long double Number(const char* name) { return TextToNumber(Box(name)->text().toStdString()); }

    FakeDialogs dialogs;
    CompensationWindow window{nullptr, dialogs};
};

TEST_F(CompensationWindowTest, LayoutToolBarAndBoxes) {
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("抵偿高程面确定及投影变换"));
    EXPECT_EQ(window.findChild<QGroupBox*>("GroupBox5")->title(), QString::fromUtf8("原椭球坐标数据"));
    EXPECT_EQ(window.findChild<QGroupBox*>("GroupBox6")->title(), QString::fromUtf8("新椭球坐标数据"));
    QStringList source_bar;
    for (QAction* action : window.SourceToolBar()->actions()) {
        source_bar << window.SourceToolBar()->widgetForAction(action)->objectName() + "|" +
                          qobject_cast<QToolButton*>(window.SourceToolBar()->widgetForAction(action))->text();
    }
    // "导入设置…" (point files in other layouts) comes after the window's own buttons.
    EXPECT_EQ(source_bar, (QStringList{"ToolButton3|文件导入", "ToolButton1| 追加记录", "ToolButton2| 插入 ",
                                       "ToolButton4| 删除 ", "ToolButton5| 清空 ",
                                       "ImportSettingsButton|导入设置…", "ButtonDrawing|图形转换"}));

    EXPECT_EQ(window.Ellipsoid().List()->currentText(), QString::fromUtf8("1980西安坐标系"));
    EXPECT_EQ(Box("EditA1")->text(), "6378140.0000000000");
    EXPECT_EQ(Box("EditYY1")->toolTip(), QString::fromUtf8("通常是带号及500公里"));
    EXPECT_EQ(window.findChild<QPushButton*>("Button2")->toolTip(), QString::fromUtf8("计算每公里投影变形及抵偿面大地高"));
    EXPECT_TRUE(Box("EditDs")->isReadOnly());
    EXPECT_TRUE(Box("EditF2")->isReadOnly());
    EXPECT_FALSE(Box("EditHd")->isReadOnly());
    EXPECT_FALSE(Box("EditA2")->isReadOnly());
    for (const char* name : {"EditXm", "EditHm", "EditYm", "EditHd"}) EXPECT_EQ(Box(name)->text(), "0") << name;
    for (int col = 0; col < 3; ++col) EXPECT_EQ(Cell(window.Source(), col, 0), Cell(window.Result(), col, 0));

    // The Y constant is a false easting only: the mean latitude keeps its text.
    Box("EditYY1")->setText("39500000");
    EXPECT_EQ(Box("EditXm")->text(), "0");
}

TEST_F(CompensationWindowTest, TheNewFlatteningFollowsTheSourceOnEveryChange) {
    EXPECT_EQ(Box("EditF2")->text(), "298.257");
    window.Ellipsoid().List()->setCurrentIndex(2);
    EXPECT_EQ(Box("EditF1")->text(), "298.3");
    EXPECT_EQ(Box("EditF2")->text(), "298.3");
    window.Ellipsoid().List()->setCurrentIndex(4);
    Box("EditF1")->setText("300.5");
    EXPECT_EQ(Box("EditF2")->text(), "300.5");
    Box("EditF1")->clear();
    EXPECT_EQ(Box("EditF2")->text(), "");
}

TEST_F(CompensationWindowTest, WorkedExampleThroughTheTwoComputeButtons) {
    Box("EditXm")->setText("30");
    Box("EditHm")->setText("1000");
    Box("EditYm")->setText("100000");
    Press("Button2");
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Box("EditDs")->text(), "-33.75mm");
    EXPECT_EQ(Box("EditHd")->text(), "215");
    Press("Button1");
    ASSERT_TRUE(dialogs.errors.empty());
    const long double from_shown_height = Number("EditA2");
    EXPECT_NEAR(static_cast<double>(from_shown_height), 6378355.362, 1e-3);
    EXPECT_EQ(Box("EditA2")->text().size(), QString("6378355.3620000000").size());  // 10 decimals

    // The axis step reads the plane height box as it stands: 214.75 typed over the shown
    // 215 lowers a2 by about 0.25 (1 - e^2 sin^2 B) / sqrt(1 - e^2).
    Box("EditHd")->setText("214.75");
    Press("Button1");
    EXPECT_NEAR(static_cast<double>(from_shown_height - Number("EditA2")), 0.2504, 1e-3);
}

TEST_F(CompensationWindowTest, StepsInAnyOrderReadTheBoxesAsTheyStand) {
    // Converting first, with the new semi-major axis typed equal to a1: the points stay, the
    // zone number goes.
    Box("EditA2")->setText(Box("EditA1")->text());
    TypeRows(window, {{{"P1", "3376500.1736", "38644006.4942"}}});
    window.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Cell(window.Result(), 0, 1), "P1");
    EXPECT_NEAR(static_cast<double>(TextToNumber(Cell(window.Result(), 1, 1))), 3376500.1736, 2e-4);
    EXPECT_NEAR(static_cast<double>(TextToNumber(Cell(window.Result(), 2, 1))), 644006.4942, 2e-4);

    // The axis step before the plane step: Hd = 0 at the equator gives a2 = a1.
    Press("Button1");
    EXPECT_NEAR(static_cast<double>(Number("EditA2")), 6378140.0, 1e-6);
    // The plane step on zero height and distance.
    Press("Button2");
    EXPECT_EQ(Box("EditDs")->text(), "0.00mm");
    EXPECT_EQ(Box("EditHd")->text(), "0");

    // A larger axis moves the point away from the centre of the earth: the
    // northing and the distance from the meridian grow.
    Box("EditA2")->setText("6378355.362");
    window.Button(6)->click();
    EXPECT_GT(TextToNumber(Cell(window.Result(), 1, 1)), 3376500.1736L);
    EXPECT_GT(TextToNumber(Cell(window.Result(), 2, 1)), 644006.4942L);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(CompensationWindowTest, ABadBoxEndsOnlyItsStep) {
    Box("EditHm")->setText("1km");
    Press("Button2");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'1km' is not a valid floating point value"}));
    EXPECT_EQ(Box("EditDs")->text(), "");
    EXPECT_EQ(Box("EditHd")->text(), "0");
    // The axis step does not read the mean height.
    Press("Button1");
    EXPECT_EQ(dialogs.errors.size(), 1u);
    EXPECT_FALSE(Box("EditA2")->text().isEmpty());
}

TEST_F(CompensationWindowTest, ClearEmptiesBothTables) {
    Box("EditA2")->setText(Box("EditA1")->text());
    TypeRows(window, {{{"A", "3376500", "644006"}}, {{"B", "3376600", "644106"}}});
    window.Button(6)->click();
    ASSERT_EQ(window.Result().Table().RowCount(), 3);
    window.Button(5)->click();
    for (PointGrid* grid : {&window.Source(), &window.Result()}) {
        EXPECT_EQ(grid->Table().RowCount(), 2);
        EXPECT_EQ(Cell(*grid, 0, 1), "");
        EXPECT_EQ(Cell(*grid, 1, 1), "");
        EXPECT_EQ(Cell(*grid, 0, 0), "点号");
    }
}

TEST_F(CompensationWindowTest, ColumnsTakeTheirShares) {
    window.resize(900, 600);
    QApplication::processEvents();
    const auto* group = window.findChild<QGroupBox*>("GroupBox5");
    EXPECT_EQ(group->width(), (window.frameGeometry().width() - 13) / 2);
    for (PointGrid* grid : {&window.Source(), &window.Result()}) {
        const long double w = grid->width() - 34;
        EXPECT_EQ(grid->ColumnWidths(), (std::vector<int>{static_cast<int>(w * 0.20L), static_cast<int>(w * 0.40L),
                                                          static_cast<int>(w * 0.40L)}));
    }
}

}  // namespace
}  // namespace coordconv
