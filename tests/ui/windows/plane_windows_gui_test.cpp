// The plane windows driven through their widgets: "平面坐标转换--二维四参数模型"
// (PlaneFourWindow) and "坐标转换--二维多项式拟合模型" (PolynomialWindow).
#include <QApplication>
#include <QGroupBox>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "ui/app/main_window.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "tests/ui/kit/fitting_window_test_support.h"
#include "ui/windows/height_fit_window.h"
#include "ui/windows/plane_four_window.h"
#include "ui/windows/polynomial_window.h"

namespace coordconv {
namespace {

using testing::DoubleClickCell;
using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::TypeCell;
using testing::TypeRows;
using testing::WriteBytes;

std::string Text(const QLineEdit* edit) { return edit->text().toStdString(); }
QLineEdit* Edit(QWidget& window, const char* name) { return window.findChild<QLineEdit*>(name); }

class PlaneFourWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    std::string Common(int col, int row) { return window.CommonPoints().Table().Cell(col, row); }
    std::string Result(int col, int row) { return window.Result().Table().Cell(col, row); }

    FakeDialogs dialogs;
    PlaneFourWindow window{nullptr, dialogs};
};

TEST_F(PlaneFourWindowTest, LayoutTitlesAndEdits) {
    EXPECT_EQ(window.windowTitle(), "平面坐标转换--二维四参数模型");
    EXPECT_EQ(window.CommonPoints().Table().RowCount(), 3);
    EXPECT_EQ(window.CommonPoints().Table().Cell(1, 0), "原坐标x(m)");
    EXPECT_EQ(window.CommonPoints().toolTip(), "未被采用的公共点将作为外部检核点使用。高程未参与计算。");
    EXPECT_EQ(window.Source().Table().Cell(1, 0), "纵坐标x(m)");
    EXPECT_EQ(window.Result().Table().Cell(3, 0), "高程H(m)");
    EXPECT_EQ(window.Result().toolTip(), "高程未进行转换");
    EXPECT_EQ(window.Button(13)->text(), "解算四参数");
    QStringList edits;
    for (const QLineEdit* edit : window.ParameterEdits()) edits << edit->objectName() + "=" + edit->text();
    EXPECT_EQ(edits, (QStringList{"EditA=0", "EditB=0", "EditC=0", "EditD=0", "EditDH=0"}));
    EXPECT_EQ(Edit(window, "EditC")->toolTip(), "绕坐标原点水平旋转");

    window.resize(1600, 660);
    QApplication::processEvents();
    testing::ExpectAccuracyLineWidth(window, 375);
    testing::ExpectColumnWidthsAt1000(window.Source(), 32, {160, 320, 320, 200});
}

TEST_F(PlaneFourWindowTest, ExactFitSolvedThenConverted) {
    // Shift (100, -50), no rotation or scale; heights rise by 2 and 4.
    TypeRows(window.CommonPoints(), {{"A", "0", "0", "10", "100", "-50", "12", "", "", "", "", "", "Yes"},
                                     {"B", "1000", "0", "20", "1100", "-50", "24", "", "", "", "", "", "yes"},
                                     {"C", "500", "500", "0", "600", "450", "0", "", "", "", "", "", "No"}});
    window.Button(13)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(Text(Edit(window, "EditA")), "100");
    EXPECT_EQ(Text(Edit(window, "EditB")), "-50");
    EXPECT_EQ(Text(Edit(window, "EditC")), "0");
    EXPECT_EQ(Text(Edit(window, "EditD")), "0");
    EXPECT_EQ(Text(Edit(window, "EditDH")), "3.0000");
    EXPECT_EQ(Common(7, 1), "0.0000");
    EXPECT_EQ(Common(9, 1), "1.0000");  // H + mean dH - H2
    EXPECT_EQ(Common(9, 3), "3.0000");
    EXPECT_EQ(Common(10, 3), "0.0000");
    EXPECT_EQ(Common(11, 1), "No");  // nothing is below a tolerance of 0
    EXPECT_EQ(Text(window.AccuracyEdit()), "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");

    TypeRows(window.Source(), {{"P", "10", "20", "5"}, {}});
    window.Button(6)->click();
    EXPECT_EQ(window.Result().Table().RowCount(), 3);
    EXPECT_EQ(Result(0, 1), "P");
    EXPECT_EQ(Result(1, 1), "110.0000");
    EXPECT_EQ(Result(2, 1), "-30.0000");
    EXPECT_EQ(Result(3, 1), "8.0000");
    EXPECT_EQ(Result(1, 2), "100.0000");  // an empty row gives the shifts
}

TEST_F(PlaneFourWindowTest, OnePointShowsTheMessageAndJudgesTheTypedParameters) {
    Edit(window, "EditA")->setText("1");
    TypeRows(window.CommonPoints(), {{"A", "0", "0", "10", "0", "0", "11", "", "", "", "", "", "Yes"}, {"B"}});
    window.Button(13)->click();
    EXPECT_EQ(dialogs.messages,
              (std::vector<std::string>{"坐标转换|二维四参数模型至少需要2个公共点。参数未重新计算。\n"
                                        "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(Text(Edit(window, "EditA")), "1");
    EXPECT_EQ(Text(Edit(window, "EditDH")), "1.0000");
    EXPECT_EQ(Common(7, 1), "1.0000");
    EXPECT_EQ(Common(11, 2), "No");

    // A bad parameter text: the error box, residuals of the earlier solve stay.
    Edit(window, "EditB")->setText("1,5");
    window.Button(13)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'1,5' is not a valid floating point value"}));
    EXPECT_EQ(Common(7, 1), "1.0000");
}

TEST_F(PlaneFourWindowTest, ParameterFileRoundTripAndAdoptionToggle) {
    ScratchDir dir;
    const std::vector<std::string> texts = {"12.5", "-3", "1.25", "2.5E-6", ""};
    int i = 0;
    for (QLineEdit* edit : window.ParameterEdits()) edit->setText(QString::fromStdString(texts[i++]));
    dialogs.save_files.push_back(dir.Path("four.txt"));
    window.Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("four.txt")), "12.5\r\n-3\r\n1.25\r\n2.5E-6\r\n\r\n");
    for (QLineEdit* edit : window.ParameterEdits()) edit->setText("0");
    dialogs.open_files.push_back(dir.Path("four.txt"));
    window.Button(15)->click();
    i = 0;
    for (QLineEdit* edit : window.ParameterEdits()) EXPECT_EQ(Text(edit), texts[i++]);

    DoubleClickCell(window.CommonPoints(), 1, 12);
    EXPECT_EQ(Common(12, 2), "Yes");
    DoubleClickCell(window.CommonPoints(), 1, 12);
    EXPECT_EQ(Common(12, 2), "No");
}

// ---------------------------------------------------------------------------

class PolynomialWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    std::string Common(int col, int row) { return window.CommonPoints().Table().Cell(col, row); }
    std::string Result(int col, int row) { return window.Result().Table().Cell(col, row); }
    std::vector<std::string> CoefficientRows() {
        std::vector<std::string> rows;
        for (const auto& row : window.Coefficients().Table().Rows()) rows.push_back(row.label + "=" + row.value);
        return rows;
    }
    void TypeCoefficient(int row, const char* text) {
        QAbstractItemModel* model = window.Coefficients().model();
        model->setData(model->index(row, 1), QString::fromUtf8(text));
    }

    FakeDialogs dialogs;
    PolynomialWindow window{nullptr, dialogs};
};

TEST_F(PolynomialWindowTest, LayoutAndCentredLabels) {
    EXPECT_EQ(window.windowTitle(), "坐标转换--二维多项式拟合模型");
    EXPECT_EQ(window.OrderBox()->currentText(), "一次多项式模型");
    EXPECT_EQ(window.FormBox()->currentText(), "平面上拟合");
    EXPECT_EQ(window.CommonPoints().Table().RowCount(), 4);
    EXPECT_EQ(window.ParameterGroupBox()->title(), "多项式系数");
    EXPECT_EQ(window.Button(13)->text(), "解算系数");
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=", "a1=", "a2=", "b0=", "b1=", "b2="}));

    const QAbstractItemModel* model = window.Coefficients().model();
    EXPECT_EQ(model->data(model->index(3, 0), Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    EXPECT_FALSE(model->flags(model->index(3, 0)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->flags(model->index(3, 1)) & Qt::ItemIsEditable);

    window.resize(1600, 700);
    QApplication::processEvents();
    testing::ExpectAccuracyLineWidth(window, 360);
    testing::ExpectColumnWidthsAt1000(window.Coefficients(), 30, {200, 800});
}

TEST_F(PolynomialWindowTest, FirstOrderExactFitSolvedThenConverted) {
    TypeRows(window.CommonPoints(), {{"A", "0", "0", "1", "10", "20", "2", "", "", "", "", "", "Yes"},
                                     {"B", "100", "0", "1", "110", "20", "4", "", "", "", "", "", "Yes"},
                                     {"C", "0", "100", "1", "10", "120", "3", "", "", "", "", "", "Yes"}});
    window.Button(13)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    // A pure shift: a0 = 10, b0 = 20, the other coefficients 0 to rounding.
    const CoefficientTable& solved = window.Coefficients().Table();
    ASSERT_EQ(solved.RowCount(), 6);
    EXPECT_EQ(solved.Value(0), "10");
    EXPECT_EQ(solved.Value(3), "20");
    for (const int row : {1, 2, 4, 5}) EXPECT_NEAR(TextToNumber(solved.Value(row)), 0, 1e-15) << row;
    EXPECT_EQ(Text(window.HeightShiftEdit()), "2.0000");
    for (int row = 1; row <= 3; ++row) EXPECT_EQ(Common(10, row), "0.0000");
    EXPECT_EQ(Text(window.AccuracyEdit()), "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");

    TypeRows(window.Source(), {{"P", "50", "50", "3"}});
    window.Button(6)->click();
    EXPECT_EQ(Result(1, 1), "60.0000");
    EXPECT_EQ(Result(2, 1), "70.0000");
    EXPECT_EQ(Result(3, 1), "5.0000");

    // Too few points for the third order: its message, the table unchanged.
    window.OrderBox()->setCurrentIndex(2);
    window.Button(13)->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].rfind("坐标转换|3次多项式模型至少需要10个公共点。参数未重新计算。\n", 0), 0u);
    EXPECT_EQ(window.Coefficients().Table().Value(0), "10");
    EXPECT_EQ(window.Coefficients().Table().RowCount(), 20);
}

TEST_F(PolynomialWindowTest, OrderChangeKeepsRowsAndFormChangeOnlyTitles) {
    for (int row = 0; row < 6; ++row) TypeCoefficient(row, std::to_string(row + 1).c_str());
    window.OrderBox()->setCurrentIndex(1);
    const std::vector<std::string> second = CoefficientRows();
    ASSERT_EQ(second.size(), 12u);
    EXPECT_EQ(second[3], "a3=4");  // the former b0 now stands against a3
    EXPECT_EQ(second[6], "b0=");
    window.OrderBox()->setCurrentIndex(0);
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=1", "a1=2", "a2=3", "b0=4", "b1=5", "b2=6"}));

    TypeCell(window.CommonPoints(), 1, 1, "30.3");
    window.FormBox()->setCurrentIndex(1);
    EXPECT_EQ(window.CommonPoints().Table().Cell(1, 0), "原纬度B(dms)");
    EXPECT_EQ(window.CommonPoints().Table().Cell(8, 0), "残差L(\")");
    EXPECT_EQ(window.Source().Table().Cell(2, 0), "经度L(dms)");
    EXPECT_EQ(window.Result().Table().Cell(1, 0), "纬度B(dms)");
    EXPECT_EQ(Common(1, 1), "30.3");
}

TEST_F(PolynomialWindowTest, CoefficientFileRoundTrip) {
    ScratchDir dir;
    TypeCoefficient(0, "1.5E-7");
    TypeCoefficient(4, "-2");
    dialogs.save_files.push_back(dir.Path("poly.txt"));
    window.Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("poly.txt")), "a0,1.5E-7\r\na1,\r\na2,\r\nb0,\r\nb1,-2\r\nb2,\r\n");

    WriteBytes(dir.Path("short.txt"), "a0,7\r\nzz,8");
    dialogs.open_files.push_back(dir.Path("short.txt"));
    window.Button(15)->click();
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=7", "zz=8"}));
    EXPECT_EQ(window.Coefficients().CurrentRow(), 1);

    dialogs.open_files.push_back(dir.Path("poly.txt"));
    window.Button(15)->click();
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=1.5E-7", "a1=", "a2=", "b0=", "b1=-2", "b2="}));
    EXPECT_EQ(window.OrderBox()->currentIndex(), 0);
}

// ---------------------------------------------------------------------------

TEST(FittingMenu, PlaneAndHeightItemsOpenTheirWindows) {
    FakeDialogs dialogs;
    MainWindow main(&dialogs);
    const std::vector<std::pair<QString, QString>> items = {
        {"ew4c", "平面坐标转换--二维四参数模型"}, {"Poly", "坐标转换--二维多项式拟合模型"}, {"GPS1", "GPS高程拟合"}};
    for (const auto& [item, caption] : items) {
        ASSERT_TRUE(main.MenuItem(item)->isEnabled()) << item.toStdString();
        main.MenuItem(item)->trigger();
        EXPECT_EQ(main.ToolWindows().back()->windowTitle(), caption);
    }
}

}  // namespace
}  // namespace coordconv
