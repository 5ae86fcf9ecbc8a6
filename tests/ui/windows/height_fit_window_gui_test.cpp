// "GPS高程拟合" (HeightFitWindow) driven through its widgets.
#include "ui/windows/height_fit_window.h"

#include <QApplication>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "tests/ui/kit/fitting_window_test_support.h"

namespace coordconv {
namespace {

using testing::DoubleClickCell;
using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::TypeRows;

class HeightFitWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    std::string Common(int col, int row) { return window.CommonPoints().Table().Cell(col, row); }
    std::string Result(int col, int row) { return window.Result().Table().Cell(col, row); }
    std::vector<std::string> CoefficientRows() {
        std::vector<std::string> rows;
        for (const auto& row : window.Coefficients().Table().Rows()) rows.push_back(row.label + row.value);
        return rows;
    }
    long double Coefficient(int row) { return TextToNumber(window.Coefficients().Table().Value(row)); }

    FakeDialogs dialogs;
    HeightFitWindow window{nullptr, dialogs};
};

TEST_F(HeightFitWindowTest, LayoutTitlesAndTheEightColumnGrid) {
    EXPECT_EQ(window.windowTitle(), "GPS高程拟合");
    EXPECT_EQ(window.CommonPointGroupBox()->title(), "公共点坐标及高程");
    EXPECT_EQ(window.ParameterGroupBox()->title(), "高程拟合参数");
    EXPECT_EQ(window.CommonPoints().Table().ColCount(), 8);
    EXPECT_EQ(window.CommonPoints().Table().RowCount(), 4);
    EXPECT_EQ(window.CommonPoints().Table().Cell(4, 0), "水准高H(m)");
    EXPECT_EQ(window.CommonPoints().toolTip(), "未被采用的公共点将作为外部检核点使用。");
    EXPECT_EQ(window.Source().Table().Cell(3, 0), "大地高H(m)");
    EXPECT_EQ(window.Result().Table().Cell(3, 0), "水准高H(m)");
    EXPECT_EQ(window.Button(13)->text(), "解算参数");
    EXPECT_EQ(window.SurfaceBox()->currentText(), "平面拟合(3参)");
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=", "a1=", "a2="}));

    window.resize(1600, 600);
    QApplication::processEvents();
    testing::ExpectAccuracyLineWidth(window, 360);
    testing::ExpectColumnWidthsAt1000(window.CommonPoints(), 30, {110, 170, 170, 140, 140, 110, 80, 80});
    testing::ExpectColumnWidthsAt1000(window.Source(), 29, {160, 320, 320, 200});
    testing::ExpectColumnWidthsAt1000(window.Coefficients(), 28, {200, 800});
}

TEST_F(HeightFitWindowTest, PlaneSurfaceSolvedThenConverted) {
    // d = Hl - Hg = 2 + x/100 + y/50 at three adopted points, one check point.
    TypeRows(window.CommonPoints(), {{"A", "0", "0", "10", "12", "", "", "Yes"},
                                     {"B", "100", "0", "10", "13", "", "", "Yes"},
                                     {"C", "0", "100", "10", "14", "", "", "Yes"},
                                     {"D", "100", "100", "10", "15.5", "", "", "No"}});
    window.Button(13)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NEAR(Coefficient(0), 2, 1e-12);
    EXPECT_NEAR(Coefficient(1), 0.01, 1e-15);
    EXPECT_NEAR(Coefficient(2), 0.02, 1e-15);
    EXPECT_EQ(Common(5, 1), "0.0000");
    EXPECT_EQ(Common(5, 4), "-0.5000");
    EXPECT_EQ(Common(6, 4), "No");
    // One check point: the external accuracy divides by zero check points less one, so it is 0.
    EXPECT_EQ(window.AccuracyEdit()->text(), "内符合精度=0.0000m，限差=0.0000m；外符合精度=0.0000m");

    TypeRows(window.Source(), {{"P", "50.0", "50", "100"}, {}});
    window.Button(6)->click();
    EXPECT_EQ(Result(0, 1), "P");
    EXPECT_EQ(Result(1, 1), "50.0");  // coordinates copied as typed
    EXPECT_EQ(Result(3, 1), "103.5000");
    EXPECT_EQ(Result(3, 2), "2.0000");  // an empty row gets a0
}

TEST_F(HeightFitWindowTest, TooFewPointsNamesTheModelAndKeepsTheCoefficients) {
    window.SurfaceBox()->setCurrentIndex(2);
    EXPECT_EQ(window.Coefficients().Table().RowCount(), 6);
    window.Coefficients().model()->setData(window.Coefficients().model()->index(0, 1), "1.5");
    TypeRows(window.CommonPoints(), {{"A", "0", "0", "10", "12", "", "", "Yes"}});
    window.Button(13)->click();
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"坐标转换|二次曲面拟合(6参)模型至少需要6个公共点。参数未重新计算。\n"
                                                          "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(window.Coefficients().Table().Value(0), "1.5");
    EXPECT_EQ(Common(5, 1), "-0.5000");

    // Back to the plane: three rows with their texts.
    window.SurfaceBox()->setCurrentIndex(0);
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=1.5", "a1=", "a2="}));
}

TEST_F(HeightFitWindowTest, AdoptionToggleOnColumnSevenAndFilesRoundTrip) {
    ScratchDir dir;
    DoubleClickCell(window.CommonPoints(), 0, 7);
    EXPECT_EQ(Common(7, 1), "Yes");
    DoubleClickCell(window.CommonPoints(), 0, 6);
    EXPECT_EQ(Common(6, 1), "");

    // The common-point file keeps the adoption flag (8 fields).
    TypeRows(window.CommonPoints(), {{"A", "1", "2", "3", "4", "", "", "No"}});
    dialogs.save_files.push_back(dir.Path("gcnh.txt"));
    window.Button(16)->click();
    EXPECT_EQ(ReadBytes(dir.Path("gcnh.txt")), "A,1,2,3,4,,,No\r\n");

    window.Coefficients().model()->setData(window.Coefficients().model()->index(1, 1), "3.5E-6");
    dialogs.save_files.push_back(dir.Path("coefficients.txt"));
    window.Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("coefficients.txt")), "a0=,\r\na1=,3.5E-6\r\na2=,\r\n");
    window.SurfaceBox()->setCurrentIndex(1);
    dialogs.open_files.push_back(dir.Path("coefficients.txt"));
    window.Button(15)->click();
    EXPECT_EQ(CoefficientRows(), (std::vector<std::string>{"a0=", "a1=3.5E-6", "a2="}));
    EXPECT_EQ(window.SurfaceBox()->currentIndex(), 1);
}

}  // namespace
}  // namespace coordconv
