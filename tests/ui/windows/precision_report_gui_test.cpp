// "精度报告" of a fitting window: before a solve a message, after it the
// report window with the parameters and their sigmas, following each solve.
#include <QApplication>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "core/number_text.h"
#include "tests/fake_dialogs.h"
#include "ui/windows/plane_four_window.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;

// Five points moved by dx = 10, dy = -20, R = 5", m = 3 ppm, with residuals
// of a few millimetres.
void TypeCommonPoints(PlaneFourWindow& window) {
    PointTable& grid = window.CommonPoints().Table();
    grid.SetRowCount(6);
    PlaneFourParameters truth;
    truth.dx = 10;
    truth.dy = -20;
    SetRotationAndScale(5, 3e-6, truth);
    const long double noise[5][2] = {{0.003, -0.002}, {-0.004, 0.001}, {0.002, 0.004}, {-0.001, -0.003}, {0.0, 0.002}};
    for (int i = 0; i < 5; ++i) {
        const long double x = 3380000 + 1500.0L * i, y = 500000 + 2300.0L * ((i * 3) % 5);
        const PlanePointH t = TransformPlaneFour(truth, x, y, 50);
        const std::vector<std::string> row = {"K" + std::to_string(i + 1), FormatFixed(x, 4), FormatFixed(y, 4), "50",
                                              FormatFixed(t.x + noise[i][0], 4), FormatFixed(t.y + noise[i][1], 4), "50.5"};
        for (int c = 0; c < 7; ++c) grid.Cell(c, i + 1) = row[static_cast<std::size_t>(c)];
        grid.Cell(12, i + 1) = "Yes";
    }
}

TEST(PrecisionReportWindow, FollowsTheSolvesAndShowsTheParametersWithTheirSigmas) {
    FakeDialogs dialogs;
    PlaneFourWindow window(nullptr, dialogs);
    window.show();
    window.Button(19)->click();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(window.ReportWindow(), nullptr);

    TypeCommonPoints(window);
    window.Button(13)->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
    window.Button(19)->click();
    PrecisionReportWindow* report = window.ReportWindow();
    ASSERT_NE(report, nullptr);
    EXPECT_TRUE(report->isVisible());
    EXPECT_EQ(report->windowTitle(), QString::fromUtf8("平面坐标转换--二维四参数模型 精度报告"));
    const PrecisionReport& shown = report->Report();
    ASSERT_EQ(shown.parameters.size(), 5u);
    EXPECT_EQ(shown.parameters[2].name, "R");
    EXPECT_EQ(shown.parameters[2].text, window.findChild<QLineEdit*>("EditC")->text().toStdString());
    ASSERT_TRUE(shown.parameters[2].sigma);
    EXPECT_GT(*shown.parameters[2].sigma, 0);
    EXPECT_LT(*shown.parameters[2].sigma, 1);  // arc seconds
    EXPECT_FALSE(shown.parameters[4].sigma);   // dH is a mean, not estimated
    EXPECT_EQ(shown.redundancy, 10 - 4);
    const QString text = report->Text()->toPlainText();
    EXPECT_TRUE(text.contains(QString::fromUtf8("± "))) << text.toStdString();
    EXPECT_TRUE(text.contains(window.AccuracyEdit()->text()));

    // A check point and a new solve: the open report follows.
    window.CommonPoints().Table().Cell(12, 5) = "No";
    window.Button(13)->click();
    EXPECT_EQ(report->Report().redundancy, 8 - 4);
    EXPECT_FALSE(report->Report().points[4].adopted);
    EXPECT_TRUE(report->Text()->toPlainText().contains(window.AccuracyEdit()->text()));
}

}  // namespace
}  // namespace coordconv
