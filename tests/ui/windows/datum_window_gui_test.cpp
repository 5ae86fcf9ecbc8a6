// The four datum windows driven through their widgets: settings groups,
// titles that follow the coordinate forms, solves on generated networks,
// the too-few-points message, the 2D window's height change, the region
// centre, parameter files and the menu items.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "tests/tools/datum/datum_test_support.h"
#include "tests/ui/kit/fitting_window_test_support.h"
#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"
#include "ui/app/main_window.h"
#include "ui/windows/four_3d_window.h"
#include "ui/windows/seven_parameter_window.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

void Type(PointGrid& grid, int row, int col, const std::string& text) {
    grid.model()->setData(grid.model()->index(row - 1, col), QString::fromStdString(text));
}
std::string Cell(const PointGrid& grid, int col, int row) { return grid.Table().Cell(col, row); }
QLineEdit* Edit(const QWidget& window, const char* name) { return window.findChild<QLineEdit*>(name); }
std::string Text(const QWidget& window, const char* name) { return Edit(window, name)->text().toStdString(); }
double Number(const std::string& text) { return static_cast<double>(TextToNumber(text)); }
QStringList Titles(const PointGrid& grid) {
    QStringList titles;
    for (int col = 0; col < grid.Table().ColCount(); ++col) titles << QString::fromStdString(grid.Table().Cell(col, 0));
    return titles;
}

// Source points of a network of about 1.2 x 1.3 degrees around 30.5 N on
// the meridian 114 E, Beijing 1954 Gauss-Krüger with the zone number 38.
struct NetworkPoint {
    std::string name, x, y, h;
};
std::vector<NetworkPoint> Network(int count) {
    std::vector<NetworkPoint> points;
    for (int i = 0; i < count; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 30.0L + 0.11L * i, -0.6L + 0.13L * ((i * 7) % 10));
        points.push_back({"P" + std::to_string(i + 1), FormatFixed(p.x, 4), FormatFixed(p.y + 38500000, 4),
                          FormatFixed(20 + 30.0L * i, 4)});
    }
    return points;
}

// Types the points into StringGrid3 (appending rows with " 追加 " as
// needed) with their targets made by the conversion that `make` returns,
// every row adopted. The conversion is made and run inside a command's
// floating-point scope, as the windows run theirs.
void TypeCommonPoints(FittingWindow& window, const std::vector<NetworkPoint>& points,
                      const std::function<RowConversion()>& make) {
    PointGrid& grid = window.CommonPoints();
    while (grid.Table().RowCount() - 1 < static_cast<int>(points.size())) window.Button(8)->click();
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        const std::string source[4] = {points[i].name, points[i].x, points[i].y, points[i].h};
        std::string target[4];
        {
            const FloatingPointScope scope;
            make()(source, target);
        }
        for (int col = 0; col < 4; ++col) Type(grid, row, col, source[col]);
        for (int col = 1; col < 4; ++col) Type(grid, row, col + 3, target[col]);
        Type(grid, row, 12, "Yes");
    }
}

// Types the points into StringGrid1.
void TypeSourcePoints(ConversionWindow& window, const std::vector<NetworkPoint>& points) {
    for (std::size_t i = 0; i < points.size(); ++i) {
        const int row = static_cast<int>(i) + 1;
        if (row > 1) window.Button(1)->click();
        Type(window.Source(), row, 0, points[i].name);
        Type(window.Source(), row, 1, points[i].x);
        Type(window.Source(), row, 2, points[i].y);
        Type(window.Source(), row, 3, points[i].h);
    }
}


class BursaWolfWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<BursaWolfWindow>(nullptr, dialogs);
        window->show();
        Edit(*window, "EditLL1")->setText("114");
    }
    PointGrid& Common() { return window->CommonPoints(); }

    FakeDialogs dialogs;
    std::unique_ptr<BursaWolfWindow> window;
};

TEST_F(BursaWolfWindowTest, LayoutPresetsAndParameterEdits) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("椭球变换--布尔沙模型"));
    EXPECT_EQ(window->findChild<QGroupBox*>("GroupBox1")->title(), QString::fromUtf8("原椭球及坐标系参数设置"));
    EXPECT_EQ(window->findChild<QGroupBox*>("GroupBox2")->title(), QString::fromUtf8("新椭球及坐标系参数设置"));
    EXPECT_EQ(window->SourceEllipsoid().List()->currentText(), QString::fromUtf8("1954北京坐标系"));
    EXPECT_EQ(Text(*window, "EditA1"), "6378245.0000000000");
    EXPECT_EQ(Text(*window, "EditF2"), "298.257");
    EXPECT_FALSE(Edit(*window, "EditA1")->isEnabled());
    EXPECT_EQ(Text(*window, "EditYY1"), "500000");
    EXPECT_EQ(window->SourceForm()->objectName(), "ComboBoxO");
    EXPECT_EQ(window->TargetForm()->itemText(1), QString::fromUtf8("大地坐标及大地高(B,L,H)"));
    EXPECT_EQ(window->TargetForm()->toolTip(), QString::fromUtf8(kDatumFormHint));
    EXPECT_EQ(window->Button(13)->text(), QString::fromUtf8("解算七参数"));
    EXPECT_EQ(Common().Table().RowCount(), 4);

    QStringList edits;
    for (const QLineEdit* edit : window->ParameterEdits())
        edits << edit->objectName() + "|" + edit->toolTip() + "|" + edit->text();
    EXPECT_EQ(edits, (QStringList{"EditTx|X平移|0", "EditTy|Y平移|0", "EditTz|Z平移|0", "EditRx|X旋转|0",
                                  "EditRy|Y旋转|0", "EditRz|Z旋转|0", "EditD|尺度变化|0"}));
    QStringList labels;
    for (const QLabel* label : window->ParameterGroupBox()->findChildren<QLabel*>()) labels << label->text();
    EXPECT_EQ(labels, (QStringList{"Tx=", "Ty=", "Tz=", "Rx(\")=", "Ry(\")=", "Rz(\")=", "D="}));

    // "自定义" in ComboBox2 opens the target boxes only.
    window->TargetEllipsoid().List()->setCurrentIndex(4);
    EXPECT_TRUE(Edit(*window, "EditA2")->isEnabled());
    EXPECT_FALSE(Edit(*window, "EditA1")->isEnabled());
    EXPECT_EQ(Text(*window, "EditA2"), "6378140.0000000000");

    window->resize(1100, 700);
    QApplication::processEvents();
    EXPECT_EQ(window->findChild<QGroupBox*>("GroupBox1")->width(), (window->frameGeometry().width() - 13) / 2);
    testing::ExpectAccuracyLineWidth(*window, 375);
}

TEST_F(BursaWolfWindowTest, CentralMeridianFollowsAndTitlesFollowTheForms) {
    EXPECT_EQ(Text(*window, "EditLL2"), "114");
    Edit(*window, "EditLL2")->setText("117");
    EXPECT_EQ(Text(*window, "EditLL1"), "114");
    Edit(*window, "EditLL1")->setText("120");  // typing in EditLL1 overwrites EditLL2
    EXPECT_EQ(Text(*window, "EditLL2"), "120");

    EXPECT_EQ(Titles(window->Source()), (QStringList{"点号", "纵坐标x(m)", "横坐标y(m)", "高程H(m)"}));
    Type(Common(), 1, 1, "30.3");
    window->SourceForm()->setCurrentIndex(1);
    EXPECT_EQ(Titles(window->Source()), (QStringList{"点号", "纬度B(dms)", "经度L(dms)", "高程H(m)"}));
    EXPECT_EQ(Titles(window->Result())[1], "纵坐标x(m)");
    EXPECT_EQ(Titles(Common()), (QStringList{"点号", "原纬度B(dms)", "原经度L(dms)", "原高程H(m)", "新坐标x(m)",
                                             "新坐标y(m)", "新高程H(m)", "残差x(m)", "残差y(m)", "残差H(m)",
                                             "点位残差(m)", "可用", "采用"}));
    window->TargetForm()->setCurrentIndex(1);
    EXPECT_EQ(Titles(window->Result())[2], "经度L(dms)");
    const QStringList common = Titles(Common());
    EXPECT_EQ(common.mid(4, 5), (QStringList{"新纬度B(dms)", "新经度L(dms)", "新高程H(m)", "残差B(\")", "残差L(\")"}));
    EXPECT_EQ(Cell(Common(), 1, 1), "30.3");  // cells stay
    window->SourceForm()->setCurrentIndex(0);
    EXPECT_EQ(Titles(Common())[1], "原坐标x(m)");
    EXPECT_EQ(Titles(Common())[4], "新纬度B(dms)");
}

TEST_F(BursaWolfWindowTest, SolvesAGeneratedNetworkAndConvertsItsPoints) {
    const std::vector<NetworkPoint> points = Network(8);
    TypeCommonPoints(*window, points, [&] { return BursaWolfConversion(window->Fields(), kKnownSet); });
    Type(Common(), 8, 12, "No");  // one check point
    window->Button(13)->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
    EXPECT_TRUE(dialogs.messages.empty());

    const double truth[7] = {-12.5, 85.2, 40.7, 0.8, -1.2, 2.1, 3.5e-6};
    const double tolerance[7] = {0.05, 0.05, 0.05, 0.005, 0.005, 0.005, 5e-9};
    const std::vector<std::string> solved = window->ParameterTexts();
    for (int i = 0; i < 7; ++i) EXPECT_NEAR(Number(solved[static_cast<std::size_t>(i)]), truth[i], tolerance[i]) << i;
    EXPECT_NE(solved[6].find("E-"), std::string::npos) << solved[6];
    EXPECT_EQ(window->AccuracyEdit()->text().left(6), QString::fromUtf8("内符合精度="));
    for (int row = 1; row <= 8; ++row) EXPECT_LE(std::fabs(Number(Cell(Common(), 10, row))), 0.0003) << row;

    // The converted points land on the targets of the common points.
    TypeSourcePoints(*window, points);
    window->Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    ASSERT_EQ(window->Result().Table().RowCount(), 9);
    for (int row = 1; row <= 8; ++row) {
        EXPECT_EQ(Cell(window->Result(), 0, row), points[static_cast<std::size_t>(row - 1)].name);
        for (int col = 1; col <= 3; ++col)
            EXPECT_NEAR(Number(Cell(window->Result(), col, row)), Number(Cell(Common(), col + 3, row)), 0.0005)
                << row << "," << col;
    }
}

TEST_F(BursaWolfWindowTest, TooFewPointsShowTheMessageAndJudgeTheTypedParameters) {
    TypeCommonPoints(*window, Network(3), [&] { return BursaWolfConversion(window->Fields(), kKnownSet); });
    Type(Common(), 3, 12, "no");
    window->SetParameterTexts(SevenParameterLines(kKnownSet));
    window->AccuracyEdit()->setText("old");
    window->Button(13)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{
                                    "坐标转换|布尔沙模型至少需要3个公共点。参数未重新计算。\n"
                                    "下面计算的公共点残差可用于评定当前参数的精度。"}));
    EXPECT_EQ(window->ParameterTexts(), SevenParameterLines(kKnownSet));  // untouched
    for (int row = 1; row <= 3; ++row) {
        EXPECT_LE(std::fabs(Number(Cell(Common(), 10, row))), 0.0002) << row;
        EXPECT_FALSE(Cell(Common(), 11, row).empty());
    }
    EXPECT_EQ(window->AccuracyEdit()->text().left(6), QString::fromUtf8("内符合精度="));
}

TEST_F(BursaWolfWindowTest, AFailureAfterTheSolveShowsTheSolvedParameters) {
    TypeCommonPoints(*window, Network(4), [&] { return BursaWolfConversion(window->Fields(), kKnownSet); });
    Type(Common(), 4, 12, "No");
    Type(Common(), 4, 5, "x");  // the check point's target fails in the residual pass
    window->AccuracyEdit()->setText("old");
    window->Button(13)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'x' is not a valid floating point value"}));
    EXPECT_NEAR(Number(Text(*window, "EditTy")), 85.2, 1.0);
    EXPECT_FALSE(Cell(Common(), 10, 3).empty());
    EXPECT_TRUE(Cell(Common(), 10, 4).empty());
    EXPECT_EQ(window->AccuracyEdit()->text(), "old");

    // A settings box that is not a number ends the command before anything.
    dialogs.errors.clear();
    window->SourceEllipsoid().List()->setCurrentIndex(4);
    Edit(*window, "EditF1")->setText("");
    Type(Common(), 4, 5, "0");
    const std::vector<std::string> before = window->ParameterTexts();
    window->Button(13)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_EQ(window->ParameterTexts(), before);
    EXPECT_TRUE(Cell(Common(), 10, 4).empty());
}

TEST_F(BursaWolfWindowTest, ParameterFileRoundTrip) {
    const ScratchDir dir;
    window->SetParameterTexts(SevenParameterLines(kKnownSet));
    dialogs.save_files = {dir.Path("bursa")};
    window->Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("bursa.txt")), "-12.5\r\n85.2\r\n40.7\r\n0.8\r\n-1.2\r\n2.1\r\n3.5E-6\r\n");
    window->SetParameterTexts({"0", "0", "0", "0", "0", "0", "0"});
    dialogs.open_files = {dir.Path("bursa.txt")};
    window->Button(15)->click();
    EXPECT_EQ(window->ParameterTexts(), SevenParameterLines(kKnownSet));
}

TEST(Seven3dWindow, SolvesAndConvertsWithTheDifferentialFormulas) {
    FakeDialogs dialogs;
    Seven3dWindow window(nullptr, dialogs);
    window.show();
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("椭球变换--三维七参数模型"));
    EXPECT_EQ(window.CommonPoints().Table().RowCount(), 4);
    Edit(window, "EditLL1")->setText("114");
    const std::vector<NetworkPoint> points = Network(6);
    TypeCommonPoints(window, points, [&] { return Seven3dConversion(window.Fields(), kKnownSet); });
    window.Button(13)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NEAR(Number(Text(window, "EditRz")), 2.1, 0.01);  // arc seconds, as typed
    for (int row = 1; row <= 6; ++row) EXPECT_LE(std::fabs(Number(Cell(window.CommonPoints(), 10, row))), 0.0003);

    TypeSourcePoints(window, points);
    window.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    for (int row = 1; row <= 6; ++row)
        EXPECT_NEAR(Number(Cell(window.Result(), 1, row)), Number(Cell(window.CommonPoints(), 4, row)), 0.0003);

    // Two adopted points are too few for this model.
    Type(window.CommonPoints(), 3, 12, "");
    Type(window.CommonPoints(), 4, 12, "");
    Type(window.CommonPoints(), 5, 12, "");
    Type(window.CommonPoints(), 6, 12, "");
    window.Button(13)->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].substr(0, dialogs.messages[0].find("个")),
              "坐标转换|三维七参数模型至少需要3");
}

class Seven2dWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<Seven2dWindow>(nullptr, dialogs);
        window->show();
    }
    FakeDialogs dialogs;
    std::unique_ptr<Seven2dWindow> window;
};

TEST_F(Seven2dWindowTest, LayoutDiffersFromTheThreeDimensionalWindows) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("椭球变换--二维七参数模型"));
    EXPECT_EQ(window->SourceForm()->itemText(0), QString::fromUtf8("平面坐标(x,y)"));
    EXPECT_EQ(window->TargetForm()->itemText(1), QString::fromUtf8("大地坐标(B,L)"));
    EXPECT_TRUE(window->SourceForm()->toolTip().isEmpty());
    EXPECT_EQ(window->Result().toolTip(), QString::fromUtf8("高程未进行转换"));
    EXPECT_EQ(window->CommonPoints().toolTip(), QString::fromUtf8("未被采用的公共点将作为外部检核点使用。高程未参与计算。"));
    EXPECT_EQ(window->CommonPoints().Table().RowCount(), 5);
    ASSERT_NE(window->HeightChange(), nullptr);
    EXPECT_EQ(window->ParameterEdits().back(), window->HeightChange());
    EXPECT_EQ(window->HeightChange()->objectName(), "EditDH");
    EXPECT_EQ(window->HeightChange()->toolTip(), QString::fromUtf8("高程变化"));
    EXPECT_EQ(window->ParameterEdits().size(), 8u);
    window->resize(1100, 700);
    QApplication::processEvents();
    testing::ExpectColumnWidthsAt1000(window->Source(), 34, {200, 280, 280, 240});
}

TEST_F(Seven2dWindowTest, HeightChangeIsTheMeanEvenWithTooFewPointsAndShiftsTheConvertedHeights) {
    PointGrid& common = window->CommonPoints();
    const char* heights[3][2] = {{"10", "11.5"}, {"20", "21.5"}, {"30", "32"}};
    for (int row = 1; row <= 3; ++row) {
        Type(common, row, 0, "Q" + std::to_string(row));
        Type(common, row, 3, heights[row - 1][0]);
        Type(common, row, 6, heights[row - 1][1]);
        Type(common, row, 12, "Yes");
    }
    window->Button(13)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("二维七参数模型至少需要4个公共点。"), std::string::npos);
    EXPECT_EQ(window->HeightChange()->text(), "1.6667");
    EXPECT_EQ(Text(*window, "EditTx"), "0");
    EXPECT_EQ(Cell(common, 9, 3), "-0.3333");  // (30 + 5/3) - 32, with the unrounded mean
    EXPECT_EQ(Cell(common, 9, 4), "1.6667");  // the empty row: 0 + dH - 0

    // Identical ellipsoids and zero parameters: points keep x and y, heights move by dH.
    window->TargetEllipsoid().List()->setCurrentIndex(2);
    Type(window->Source(), 1, 0, "S");
    Type(window->Source(), 1, 1, "3380000.1234");
    Type(window->Source(), 1, 2, "38512345.6789");
    Type(window->Source(), 1, 3, "100");
    window->Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_NEAR(Number(Cell(window->Result(), 1, 1)), 3380000.1234, 0.00015);
    EXPECT_NEAR(Number(Cell(window->Result(), 2, 1)), 512345.6789, 0.00015);
    EXPECT_EQ(Cell(window->Result(), 3, 1), "101.6667");

    // "数据另存" writes name, x and y only.
    const ScratchDir dir;
    dialogs.save_files = {dir.Path("result.txt")};
    window->Button(7)->click();
    const std::string saved = ReadBytes(dir.Path("result.txt"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), ','), 2) << saved;

    // The parameter file has eight lines, EditDH last.
    dialogs.save_files = {dir.Path("p.txt")};
    window->Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("p.txt")), "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n1.6667\r\n");
    WriteBytes(dir.Path("q.txt"), "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n-2.5\r\n");
    dialogs.open_files = {dir.Path("q.txt")};
    window->Button(15)->click();
    EXPECT_EQ(Text(*window, "EditD"), "7");
    EXPECT_EQ(window->HeightChange()->text(), "-2.5");
}

class Four3dWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<Four3dWindow>(nullptr, dialogs);
        window->show();
    }
    PointGrid& Common() { return window->CommonPoints(); }
    FakeDialogs dialogs;
    std::unique_ptr<Four3dWindow> window;
};

TEST_F(Four3dWindowTest, RegionCentreButtonSitsBeforeTheSolveAndWritesTheMean) {
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("椭球变换--三维四参数模型"));
    EXPECT_EQ(Common().Table().RowCount(), 3);
    const QList<QAction*> actions = window->CommonPointToolBar()->actions();
    QStringList order;
    for (QAction* action : actions) order << window->CommonPointToolBar()->widgetForAction(action)->objectName();
    EXPECT_EQ(order.mid(5), (QStringList{"ToolButton16", "ToolButton17", "ToolButton13", "EditMp", "ToolButton19"}));
    EXPECT_EQ(window->Button(17)->text(), QString::fromUtf8("区域中心"));
    EXPECT_EQ(window->Button(17)->toolTip(), QString::fromUtf8(kRegionCentreHint));
    EXPECT_EQ(window->Button(13)->text(), QString::fromUtf8("解算四参数"));
    QStringList names;
    for (const QLineEdit* edit : window->ParameterEdits()) names << edit->objectName();
    EXPECT_EQ(names, (QStringList{"EditTx", "EditTy", "EditTz", "EditR", "EditBB0", "EditLL0"}));
    window->resize(1100, 700);
    QApplication::processEvents();
    testing::ExpectAccuracyLineWidth(*window, 427);

    // Geodetic source form: the mean of B and of L, whole seconds.
    window->SourceForm()->setCurrentIndex(1);
    Type(Common(), 1, 1, "30.3000");
    Type(Common(), 1, 2, "114.0000");
    Type(Common(), 2, 1, "31.0000");
    Type(Common(), 2, 2, "115.0000");
    Edit(*window, "EditR")->setText("1.5");
    window->Button(17)->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Text(*window, "EditBB0"), "30.4500");
    EXPECT_EQ(Text(*window, "EditLL0"), "114.3000");
    EXPECT_EQ(Text(*window, "EditR"), "1.5");

    // An empty row counts as B = 0, L = 0.
    window->Button(8)->click();
    window->Button(17)->click();
    EXPECT_EQ(Text(*window, "EditBB0"), "20.3000");
    EXPECT_EQ(Text(*window, "EditLL0"), "76.2000");

    // A cell that is not a number: the error, the edits stay.
    Type(Common(), 3, 1, "x");
    window->Button(17)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'x' is not a valid floating point value"}));
    EXPECT_EQ(Text(*window, "EditBB0"), "20.3000");
}

TEST_F(Four3dWindowTest, SolvesTwoPointsAndRoundTripsTheParameterFile) {
    Edit(*window, "EditLL1")->setText("114");
    const FourParameterFields known = {"-15.25", "70.5", "32.75", "1.8", "30.3000", "114.0000"};
    const std::vector<NetworkPoint> points = Network(2);
    Edit(*window, "EditBB0")->setText("30.3000");
    Edit(*window, "EditLL0")->setText("114.0000");
    TypeCommonPoints(*window, points, [&] { return Four3dConversion(window->Fields(), known); });
    window->Button(13)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_NEAR(Number(Text(*window, "EditTx")), -15.25, 0.01);
    EXPECT_NEAR(Number(Text(*window, "EditR")), 1.8, 0.01);
    EXPECT_EQ(Text(*window, "EditBB0"), "30.3000");

    TypeSourcePoints(*window, points);
    window->Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    EXPECT_NEAR(Number(Cell(window->Result(), 2, 2)), Number(Cell(Common(), 5, 2)), 0.0003);

    // One adopted point: the message.
    Type(Common(), 2, 12, "No");
    window->Button(13)->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("三维四参数模型至少需要2个公共点。"), std::string::npos);

    const ScratchDir dir;
    window->SetParameterTexts(FourParameterLines(known));
    dialogs.save_files = {dir.Path("four.txt")};
    window->Button(14)->click();
    EXPECT_EQ(ReadBytes(dir.Path("four.txt")), "-15.25\r\n70.5\r\n32.75\r\n1.8\r\n30.3000\r\n114.0000\r\n");
    window->SetParameterTexts({});
    dialogs.open_files = {dir.Path("four.txt")};
    window->Button(15)->click();
    EXPECT_EQ(window->ParameterTexts(), FourParameterLines(known));
}

template <typename Window>
bool Is(QWidget* window) {
    return qobject_cast<Window*>(window) != nullptr;
}

TEST(DatumMenu, ItemsAreEnabledAndOpenTheirWindows) {
    FakeDialogs dialogs;
    MainWindow main(&dialogs);
    const struct {
        const char* item;
        bool (*is_expected_class)(QWidget*);
    } items[] = {{"BuerSha", &Is<BursaWolfWindow>},
                 {"sw7C", &Is<Seven3dWindow>},
                 {"ew7C", &Is<Seven2dWindow>},
                 {"sw4C", &Is<Four3dWindow>}};
    for (const auto& item : items) {
        QAction* action = main.MenuItem(item.item);
        ASSERT_NE(action, nullptr) << item.item;
        EXPECT_TRUE(action->isEnabled()) << item.item;
        action->trigger();
        QWidget* opened = main.ToolWindows().back();
        EXPECT_TRUE(item.is_expected_class(opened)) << item.item;
        EXPECT_TRUE(opened->isVisible());
    }
}

}  // namespace
}  // namespace coordconv
