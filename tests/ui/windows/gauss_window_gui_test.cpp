// The Gauss windows driven through their real widgets: the model window of
// every point-table command.
#include "ui/windows/gauss_window.h"

#include <QApplication>
#include <QTest>
#include <QComboBox>
#include <QGroupBox>
#include <gtest/gtest.h>

#include "tests/fake_dialogs.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

class GaussWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<GaussForwardWindow>(nullptr, dialogs);
        window->show();
    }
    void Type(PointGrid& grid, int row, int col, const char* text) {
        grid.model()->setData(grid.model()->index(row - 1, col), QString::fromUtf8(text));
    }
    void Click(int number) { window->Button(number)->click(); }
    std::string Cell(const PointGrid& grid, int col, int row) { return grid.Table().Cell(col, row); }
    void TypeRows(std::initializer_list<std::array<const char*, 3>> rows) {
        int r = 1;
        for (const auto& row : rows) {
            if (r > 1) Click(1);
            for (int c = 0; c < 3; ++c) Type(window->Source(), r, c, row[c]);
            ++r;
        }
    }

    FakeDialogs dialogs;
    std::unique_ptr<GaussForwardWindow> window;
};

TEST_F(GaussWindowTest, LayoutCaptionsAndPresetOnShow) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("高斯投影正算"));
    EXPECT_EQ(window->Ellipsoid().A()->text(), "6378140.0000000000");
    EXPECT_EQ(window->Ellipsoid().InverseFlattening()->text(), "298.257");
    EXPECT_FALSE(window->Ellipsoid().A()->isEnabled());
    EXPECT_EQ(window->Source().Table().Cell(1, 0), "纬度B(dms)");
    EXPECT_EQ(window->Result().Table().Cell(2, 0), "横坐标y(m)");
    QStringList captions;
    for (int n : {1, 2, 3, 4, 5, 6, 7}) captions << window->Button(n)->text();
    EXPECT_EQ(captions, (QStringList{" 追加 ", " 插入 ", "文件导入", " 删除 ", " 清空 ", "转换计算", "数据另存"}));

    // "自定义" keeps the boxes and lets them be edited; a preset overwrites them.
    window->Ellipsoid().List()->setCurrentIndex(4);
    EXPECT_TRUE(window->Ellipsoid().A()->isEnabled());
    EXPECT_EQ(window->Ellipsoid().A()->text(), "6378140.0000000000");
    window->Ellipsoid().A()->setText("6378000");
    window->Ellipsoid().List()->setCurrentIndex(2);
    EXPECT_EQ(window->Ellipsoid().A()->text(), "6378245.0000000000");
    EXPECT_FALSE(window->Ellipsoid().A()->isEnabled());

    GaussInverseWindow inverse(nullptr, dialogs);
    inverse.show();
    EXPECT_EQ(inverse.Source().Table().Cell(1, 0), "纵坐标x(m)");
    EXPECT_EQ(inverse.Ellipsoid().InverseFlattening()->text(), "298.257");
}

TEST_F(GaussWindowTest, ConvertsTheDefaultsExampleAndABlankRow) {
    TypeRows({{{"P1", "30.3", "1.3"}}, {{"", "", ""}}});
    Click(6);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Cell(window->Result(), 0, 1), "P1");
    EXPECT_EQ(Cell(window->Result(), 1, 1), "3376500.1736");
    EXPECT_EQ(Cell(window->Result(), 2, 1), "644006.4942");
    EXPECT_EQ(Cell(window->Result(), 1, 2), "0.0000");
    EXPECT_EQ(Cell(window->Result(), 2, 2), "500000.0000");
}

// The Y constant copied from the forward window carries the zone number; the
// inverse window drops it as it drops the eastings' own, so 39500000 and
// 500000 give the same latitudes (a shift of 39 000 000 m before).
TEST_F(GaussWindowTest, InverseTakesTheYConstantWithOrWithoutItsZoneNumber) {
    GaussInverseWindow inverse(nullptr, dialogs);
    inverse.show();
    inverse.findChild<QLineEdit*>("EditLL")->setText("117");
    inverse.Source().model()->setData(inverse.Source().model()->index(0, 0), "P1");
    inverse.Source().model()->setData(inverse.Source().model()->index(0, 1), "3376500.1736");
    inverse.Source().model()->setData(inverse.Source().model()->index(0, 2), "39644006.4942");
    for (const char* constant : {"500000", "39500000"}) {
        inverse.findChild<QLineEdit*>("EditYY")->setText(constant);
        inverse.Button(6)->click();
        EXPECT_TRUE(dialogs.errors.empty());
        // B = 30.3, L = 1.3 off the meridian project to these x, y (the
        // worked example of the forward window).
        EXPECT_EQ(Cell(inverse.Result(), 1, 1), "30.3000000002") << constant;
        EXPECT_EQ(Cell(inverse.Result(), 2, 1), "118.2959999999") << constant;
    }
}

TEST_F(GaussWindowTest, ABadCellStopsTheCommandAtItsRow) {
    // The result table had more rows before; it takes the source's row count.
    for (int i = 0; i < 5; ++i) window->Result().Edit([](PointTable& t) { t.Append(); });
    TypeRows({{{"A", "30", "1"}}, {{"B", "30x", "1"}}, {{"C", "31", "1"}}});
    Type(window->Result(), 3, 0, "old");
    Click(6);
    ASSERT_EQ(dialogs.errors, (std::vector<std::string>{"'30x' is not a valid floating point value"}));
    EXPECT_EQ(window->Result().Table().RowCount(), 4);
    EXPECT_EQ(Cell(window->Result(), 0, 1), "A");
    EXPECT_EQ(Cell(window->Result(), 0, 2), "");
    EXPECT_EQ(Cell(window->Result(), 0, 3), "old");
}

TEST_F(GaussWindowTest, ABadBoxStopsBeforeTheResultIsTouched) {
    TypeRows({{{"A", "30", "1"}}});
    window->Ellipsoid().List()->setCurrentIndex(4);
    window->Ellipsoid().InverseFlattening()->setText("");
    Click(6);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_EQ(Cell(window->Result(), 0, 1), "");
}

TEST_F(GaussWindowTest, InsertAndDeleteAtTheEnds) {
    TypeRows({{{"1", "", ""}}, {{"2", "", ""}}, {{"3", "", ""}}});
    window->Source().SetCurrentRow(1);
    Click(2);  // insert before row 1
    EXPECT_EQ(window->Source().Table().RowCount(), 5);
    EXPECT_EQ(window->Source().CurrentRow(), 1);
    EXPECT_EQ(Cell(window->Source(), 0, 1), "");
    EXPECT_EQ(Cell(window->Source(), 0, 2), "1");
    EXPECT_EQ(Cell(window->Source(), 0, 4), "3");
    window->Source().SetCurrentRow(4);
    Click(4);  // delete the last row: the new last row becomes current
    EXPECT_EQ(window->Source().Table().RowCount(), 4);
    EXPECT_EQ(window->Source().CurrentRow(), 3);
    for (int i = 0; i < 5; ++i) Click(4);
    EXPECT_EQ(window->Source().Table().RowCount(), 2);  // one empty data row stays
    EXPECT_EQ(Cell(window->Source(), 0, 1), "");
}

TEST_F(GaussWindowTest, ImportReadsLinesAndKeepsTheTableWhenTheFileIsMissing) {
    const ScratchDir dir;
    WriteBytes(dir.Path("three.txt"), "P1,3.5,114.2\r\nP2,3.5\nP3");
    dialogs.open_files = {dir.Path("three.txt")};
    Click(3);
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.file_dialogs.at(0).title, "打开坐标数据文件");
    EXPECT_EQ(window->Source().Table().RowCount(), 4);
    EXPECT_EQ(window->Source().CurrentRow(), 3);
    EXPECT_EQ(Cell(window->Source(), 2, 2), "0");
    EXPECT_EQ(Cell(window->Source(), 1, 3), "0");

    // A typed name of a missing file: the error, and the points stay.
    dialogs.open_files = {dir.Path("missing.txt")};
    Click(3);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"File not found"}));
    EXPECT_EQ(window->Source().Table().RowCount(), 4);
    EXPECT_EQ(Cell(window->Source(), 0, 1), "P1");

    // Cancel changes nothing.
    Click(3);
    EXPECT_EQ(window->Source().Table().RowCount(), 4);
}

TEST_F(GaussWindowTest, SaveAsksBeforeOverwritingAndAddsTheExtension) {
    const ScratchDir dir;
    // A result table never filled: one line of two commas.
    dialogs.save_files = {dir.Path("empty")};
    Click(7);
    EXPECT_EQ(ReadBytes(dir.Path("empty.txt")), ",,\r\n");
    EXPECT_EQ(dialogs.file_dialogs.at(0).title, "坐标数据另存为...");

    TypeRows({{{"点1", "30.3", "1.3"}}});
    Click(6);
    dialogs.save_files = {dir.Path("empty.txt")};
    dialogs.yes_no = {false};
    Click(7);
    EXPECT_EQ(dialogs.questions, (std::vector<std::string>{"Information|文件已存在,覆盖吗?"}));
    EXPECT_EQ(ReadBytes(dir.Path("empty.txt")), ",,\r\n");

    dialogs.save_files = {dir.Path("empty.txt")};
    dialogs.yes_no = {true};
    // Deleting source rows after converting still saves every result row.
    Click(4);
    Click(7);
    EXPECT_EQ(ReadBytes(dir.Path("empty.txt")), "\xb5\xe3\x31,3376500.1736,644006.4942\r\n");

    // A save into a folder that does not exist fails with the file error.
    dialogs.save_files = {dir.Path("no/such/folder/x.txt")};
    Click(7);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"File not found"}));
}

TEST_F(GaussWindowTest, ClearLeavesTheResultTable) {
    TypeRows({{{"A", "30", "1"}}, {{"B", "31", "1"}}});
    Click(6);
    Click(5);
    EXPECT_EQ(window->Source().Table().RowCount(), 2);
    EXPECT_EQ(Cell(window->Source(), 0, 1), "");
    EXPECT_EQ(window->Result().Table().RowCount(), 3);
    EXPECT_EQ(Cell(window->Result(), 0, 2), "B");
}

TEST_F(GaussWindowTest, ResizeSetsGroupAndColumnWidths) {
    window->resize(900, 500);
    QApplication::processEvents();
    const int outer = window->frameGeometry().width();
    const auto* group = window->findChild<QGroupBox*>("GroupBox2");
    EXPECT_EQ(group->width(), (outer - 13) / 2);
    for (PointGrid* grid : {&window->Source(), &window->Result()}) {
        const long double w = grid->width() - 34;
        EXPECT_EQ(grid->ColumnWidths(),
                  (std::vector<int>{static_cast<int>(w * 0.18L), static_cast<int>(w * 0.41L), static_cast<int>(w * 0.41L)}));
    }
}

}  // namespace
}  // namespace coordconv

namespace coordconv {
namespace {

// An open cell editor with typed text, when its window is destroyed, must not
// commit into a table that is already gone; and the error box of a convert
// that shrank the result table must find the grid redrawn.
TEST(PointGridLifetime, OpenEditorAtDestructionAndErrorAfterShrink) {
    testing::FakeDialogs dialogs;
    {
        auto window = std::make_unique<GaussForwardWindow>(nullptr, dialogs);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        PointGrid& grid = window->Source();
        grid.edit(grid.model()->index(0, 1));
        auto* editor = grid.findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr);
        editor->setFocus();
        QTest::keyClicks(editor, "30.3");
        window.reset();
    }

    GaussForwardWindow window(nullptr, dialogs);
    window.show();
    for (int i = 0; i < 30; ++i) window.Result().Edit([](PointTable& t) { t.Append(); });
    QApplication::processEvents();
    window.Source().model()->setData(window.Source().model()->index(0, 1), "bad");
    window.Button(6)->click();
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(window.Result().model()->rowCount(), 1);
    QApplication::processEvents();
}

}  // namespace
}  // namespace coordconv
