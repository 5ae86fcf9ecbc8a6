// The frame of the fitting windows driven through its widgets, with a
// stand-in solve: the common-point tool bar, the adoption toggle by double
// click (on the grid and on an open cell editor), the common-point and
// parameter files, the accuracy line and the layout rules.
#include "ui/kit/fitting_window.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include "core/errors.h"
#include "ui/kit/point_table_commands.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "tests/ui/kit/fitting_window_test_support.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

FittingWindowLayout StandInLayout() {
    FittingWindowLayout layout;
    layout.points = FittingPointLayout("拟合窗口", 1071, 640);
    layout.points.source_titles = {"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"};
    layout.points.result_titles = layout.points.source_titles;
    layout.common_points.initial_row_count = 3;
    layout.common_point_titles = CommonPointTitles(false, false);
    layout.common_point_hint = kCommonPointHint;
    layout.solve_caption = "解算参数";
    return layout;
}

// A window with two parameter edits whose solve writes "Yes" into every
// usable cell and its row count into the first edit, or fails half way;
// with `message` set it returns that message too.
class StandInWindow : public FittingWindow {
public:
    StandInWindow(UserDialogs& dialogs) : FittingWindow(nullptr, dialogs, StandInLayout()) {
        first = AddParameterEdit("EditT", "T=", "平移");
        second = AddParameterEdit("EditR", "R(\")=", "旋转");
        SetSolveCommand([this](PointTable& grid) {
            FitResult<std::string> fit{Text(first), {}};
            if (!message.empty()) fit.outcome.messages.push_back(message);
            for (int row = 1; row < grid.RowCount(); ++row) {
                grid.Cell(11, row) = "Yes";
                if (fail) {
                    fit.outcome.failure = CommandError("Floating point division by zero");
                    break;
                }
            }
            if (!fit.outcome.failure) fit.fields = std::to_string(grid.RowCount() - 1);
            fit.outcome.report.accuracy_line = "内符合精度=0.0000m";
            return ShowingFields(std::move(fit), [this](const std::string& text) {
                first->setText(QString::fromStdString(text));
            });
        });
    }
    static std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }

    QLineEdit* first;
    QLineEdit* second;
    bool fail = false;
    std::string message;
};

class FittingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<StandInWindow>(dialogs);
        window->show();
    }
    CommonPointGrid& Grid() { return window->CommonPoints(); }
    std::string Cell(int col, int row) { return Grid().Table().Cell(col, row); }
    void Type(int row, int col, const char* text) {
        Grid().model()->setData(Grid().model()->index(row - 1, col), QString::fromUtf8(text));
    }
    void Click(int number) { window->Button(number)->click(); }
    // A mouse event of `type` in the middle of the cell, sent to `target`.
    void Mouse(QWidget* target, QEvent::Type type, int row, int col) {
        const QRect rect = Grid().visualRect(Grid().model()->index(row - 1, col));
        const QPoint local = target == Grid().viewport() ? rect.center() : QPoint(2, 2);
        QMouseEvent event(type, local, target->mapToGlobal(local), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    QLineEdit* OpenEditor() {
        for (QLineEdit* editor : Grid().viewport()->findChildren<QLineEdit*>())
            if (editor->isVisible()) return editor;
        return nullptr;
    }

    FakeDialogs dialogs;
    std::unique_ptr<StandInWindow> window;
};

TEST_F(FittingWindowTest, ToolBarsCaptionsOrderAndNames) {
    QStringList common;
    for (QAction* action : window->CommonPointToolBar()->actions()) {
        QWidget* widget = window->CommonPointToolBar()->widgetForAction(action);
        const auto* button = qobject_cast<QToolButton*>(widget);
        common << widget->objectName() + (button != nullptr ? "|" + button->text() : QString());
    }
    EXPECT_EQ(common, (QStringList{"ToolButton8| 追加 ", "ToolButton9| 插入 ", "ToolButton10|文件导入",
                                   "ToolButton11| 删除 ", "ToolButton12| 清空 ", "ToolButton16|保存公共点",
                                   "ToolButton13|解算参数", "EditMp", "ToolButton19|精度报告"}));
    EXPECT_EQ(window->Button(14)->text(), "保存参数");
    EXPECT_EQ(window->Button(15)->text(), "导入参数");
    EXPECT_EQ(window->Button(14)->parentWidget()->objectName(), "ToolBar4");
    EXPECT_EQ(window->Button(1)->parentWidget()->objectName(), "ToolBar1");

    // A window's extra button goes before the solve button.
    window->AddCommonPointButton("ToolButton17", "区域中心", [] {});
    const QList<QAction*> actions = window->CommonPointToolBar()->actions();
    EXPECT_EQ(window->CommonPointToolBar()->widgetForAction(actions[6])->objectName(), "ToolButton17");
    EXPECT_EQ(window->CommonPointToolBar()->widgetForAction(actions[7])->objectName(), "ToolButton13");

    EXPECT_EQ(Grid().objectName(), "StringGrid3");
    EXPECT_EQ(Grid().toolTip(), QString::fromUtf8("未被采用的公共点将作为外部检核点使用"));
    EXPECT_EQ(Grid().Table().RowCount(), 3);
    EXPECT_EQ(Cell(12, 0), "采用");
    EXPECT_EQ(window->ParameterGroupBox()->title(), "转换参数");
    EXPECT_EQ(window->first->toolTip(), "平移");
    EXPECT_EQ(window->AccuracyEdit()->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
}

TEST_F(FittingWindowTest, WidthsFollowTheResizeRules) {
    window->resize(1600, 700);
    QApplication::processEvents();
    testing::ExpectColumnWidthsAt1000(Grid(), 34, {50, 100, 100, 70, 100, 100, 70, 70, 70, 70, 70, 70, 60});
    testing::ExpectAccuracyLineWidth(*window, 375);
    EXPECT_EQ(window->ParameterGroupBox()->width(), 224);
    testing::ExpectColumnWidthsAt1000(window->Source(), 34, {160, 320, 320, 200});
    EXPECT_EQ(window->findChild<QGroupBox*>("GroupBox5")->width(), (window->frameGeometry().width() - 13) / 2);

    // Narrower than the buttons allow for: the line shrinks instead of
    // dropping into the tool bar's overflow menu.
    window->resize(800, 600);
    QApplication::processEvents();
    testing::ExpectAccuracyLineWidth(*window, 375);
    // With room to spare (narrow buttons), the rule itself.
    QFont small = window->CommonPointToolBar()->font();
    small.setPixelSize(5);
    for (QToolButton* button : window->CommonPointToolBar()->findChildren<QToolButton*>()) button->setFont(small);
    window->resize(1000, 600);
    QApplication::processEvents();
    EXPECT_EQ(window->AccuracyEdit()->width(), window->CommonPointToolBar()->width() - 375);
}

TEST_F(FittingWindowTest, DoubleClickTogglesOnlyTheAdoptionColumn) {
    // On the grid itself.
    Mouse(Grid().viewport(), QEvent::MouseButtonPress, 1, 12);
    Mouse(Grid().viewport(), QEvent::MouseButtonDblClick, 1, 12);
    EXPECT_EQ(Cell(12, 1), "Yes");

    // On the cell's open editor: the text typed there counts ("Yes" turns
    // into "No"), and the editor shows the new text.
    Mouse(Grid().viewport(), QEvent::MouseButtonPress, 2, 12);
    Mouse(Grid().viewport(), QEvent::MouseButtonRelease, 2, 12);
    QLineEdit* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->setText("Yes");
    Mouse(editor, QEvent::MouseButtonDblClick, 2, 12);
    EXPECT_EQ(Cell(12, 2), "No");
    EXPECT_EQ(Grid().CurrentRow(), 2);
    EXPECT_EQ(Grid().CurrentColumn(), 12);
    editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), "No");
    // "yes" adopts, and a double click makes it "Yes", not "No".
    editor->setText("yes");
    Mouse(editor, QEvent::MouseButtonDblClick, 2, 12);
    EXPECT_EQ(Cell(12, 2), "Yes");

    // Elsewhere nothing changes.
    Type(1, 11, "x");
    Mouse(Grid().viewport(), QEvent::MouseButtonPress, 1, 11);
    Mouse(Grid().viewport(), QEvent::MouseButtonDblClick, 1, 11);
    EXPECT_EQ(Cell(11, 1), "x");
    EXPECT_EQ(Cell(12, 1), "Yes");
}

TEST_F(FittingWindowTest, SolveWritesTheAccuracyLineAndAFailureKeepsWhatWasWritten) {
    Click(8);
    Click(13);
    EXPECT_EQ(window->AccuracyEdit()->text(), "内符合精度=0.0000m");
    EXPECT_EQ(StandInWindow::Text(window->first), "3");
    EXPECT_EQ(Cell(11, 3), "Yes");

    window->AccuracyEdit()->setText("old");
    ClearRows(Grid(), nullptr);
    window->fail = true;
    Click(13);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_EQ(window->AccuracyEdit()->text(), "old");
    EXPECT_EQ(Cell(11, 1), "Yes");  // written before the failure, and shown
    EXPECT_EQ(StandInWindow::Text(window->first), "3");
}

// A message shows over the window as it was before the command; the written
// cells and fields follow, then the error box.
TEST_F(FittingWindowTest, MessagesShowBeforeTheResultsAndTheErrorAfterThem) {
    Click(8);
    window->first->setText("before");
    window->message = "测试模型至少需要2个公共点。";
    window->fail = true;
    std::vector<std::string> seen;
    dialogs.on_show = [&] { seen.push_back(StandInWindow::Text(window->first) + "," + Cell(11, 1)); };
    Click(13);
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"坐标转换|测试模型至少需要2个公共点。"}));
    EXPECT_EQ(dialogs.message_icons, (std::vector<MessageIcon>{MessageIcon::None}));
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_EQ(seen, (std::vector<std::string>{"before,", "before,Yes"}));
}

TEST_F(FittingWindowTest, RowCommandsActOnTheCommonPointsOnly) {
    Type(1, 0, "A");
    Type(2, 0, "B");
    window->Source().model()->setData(window->Source().model()->index(0, 0), "S");
    Grid().SetCurrentRow(2);
    Click(9);  // insert before B
    EXPECT_EQ(Grid().Table().RowCount(), 4);
    EXPECT_EQ(Cell(0, 3), "B");
    Click(11);  // delete the inserted row
    EXPECT_EQ(Cell(0, 2), "B");
    Click(12);
    EXPECT_EQ(Grid().Table().RowCount(), 2);
    EXPECT_EQ(Cell(0, 1), "");
    EXPECT_EQ(window->Source().Table().Cell(0, 1), "S");
}

TEST_F(FittingWindowTest, CommonPointFileRoundTripAdoptsEveryImportedRow) {
    ScratchDir dir;
    Type(1, 0, "P1");
    Type(1, 1, "10");
    Type(1, 11, "No");
    Type(1, 12, "No");
    Type(2, 0, "P2");
    const std::string path = dir.Path("common");
    dialogs.save_files.push_back(path);  // no extension: ".txt" is added
    Click(16);
    EXPECT_EQ(ReadBytes(path + ".txt"), "P1,10,,,,,,,,,,No\r\nP2,,,,,,,,,,,\r\n");

    // Overwriting asks first; No leaves the file.
    dialogs.save_files.push_back(path + ".txt");
    dialogs.yes_no.push_back(false);
    Type(1, 0, "changed");
    Click(16);
    EXPECT_EQ(dialogs.questions, (std::vector<std::string>{"Information|文件已存在,覆盖吗?"}));
    EXPECT_EQ(ReadBytes(path + ".txt").substr(0, 3), "P1,");

    WriteBytes(path + ".txt", "P1,10,,,,,,,,,,No\r\nP2\r\n\r\nP4,,,,,,,,,,,,No\r\n");
    dialogs.open_files.push_back(path + ".txt");
    Click(10);
    ASSERT_EQ(Grid().Table().RowCount(), 5);
    EXPECT_EQ(Cell(12, 1), "Yes");
    EXPECT_EQ(Cell(11, 1), "No");
    EXPECT_EQ(Cell(12, 3), "Yes");  // an empty line is an adopted empty row
    EXPECT_EQ(Cell(12, 4), "No");
    EXPECT_EQ(Grid().CurrentRow(), 4);

    // A missing file: the error box, the rows stay.
    dialogs.open_files.push_back(dir.Path("missing.txt"));
    Click(10);
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"File not found"}));
    EXPECT_EQ(Grid().Table().RowCount(), 5);
}

TEST_F(FittingWindowTest, ParameterFileRoundTripAndShortFile) {
    ScratchDir dir;
    window->first->setText("1.5E-6");
    window->second->setText(" -0.25 ");
    dialogs.save_files.push_back(dir.Path("p.txt"));
    Click(14);
    EXPECT_EQ(ReadBytes(dir.Path("p.txt")), "1.5E-6\r\n -0.25 \r\n");
    window->first->setText("0");
    window->second->setText("0");
    dialogs.open_files.push_back(dir.Path("p.txt"));
    Click(15);
    EXPECT_EQ(StandInWindow::Text(window->first), "1.5E-6");
    EXPECT_EQ(StandInWindow::Text(window->second), " -0.25 ");

    WriteBytes(dir.Path("short.txt"), "7");
    dialogs.open_files.push_back(dir.Path("short.txt"));
    Click(15);
    EXPECT_EQ(StandInWindow::Text(window->first), "7");
    EXPECT_EQ(StandInWindow::Text(window->second), "");

    Click(15);  // cancelled: nothing changes
    EXPECT_EQ(StandInWindow::Text(window->first), "7");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(FittingWindowTest, AClickOnAButtonCommitsTheOpenCellEditorFirst) {
    ScratchDir dir;
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    Grid().edit(Grid().model()->index(0, 0));
    QLineEdit* editor = OpenEditor();
    ASSERT_NE(editor, nullptr);
    editor->setFocus();
    editor->setText("typed");
    dialogs.save_files.push_back(dir.Path("typed.txt"));
    QTest::mouseClick(window->Button(16), Qt::LeftButton);
    EXPECT_EQ(ReadBytes(dir.Path("typed.txt")).substr(0, 6), "typed,");
}

TEST_F(FittingWindowTest, SettingsGroupsSitAboveTheCommonPoints) {
    auto* source = new QGroupBox("原椭球及坐标系参数设置");
    auto* target = new QGroupBox("新椭球及坐标系参数设置");
    window->SetSettingsGroups(source, target);
    window->resize(1056, 647);
    QApplication::processEvents();
    EXPECT_EQ(source->width(), (window->frameGeometry().width() - 13) / 2);
    EXPECT_LT(source->geometry().bottom(), window->CommonPointGroupBox()->mapTo(window.get(), QPoint(0, 0)).y());
}

}  // namespace
}  // namespace coordconv
