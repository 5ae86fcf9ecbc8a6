// The precision report's statistics against synthetic networks with known
// parameters and Gaussian noise of known sigma: the reported sigmas are
// honest, sigma0 recovers the noise, the outlier test finds planted
// blunders and keeps its false alarms near what alpha predicts.
#include "fitting/precision_report.h"

#include <gtest/gtest.h>

#include <array>
#include <cfenv>
#include <cmath>
#include <iostream>
#include <map>
#include <random>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "report/precision_report_json.h"
#include "tests/tools/datum/datum_test_support.h"
#include "tools/datum/bursa_wolf.h"
#include "tools/datum/seven_2d.h"
#include "tools/height/height_fit.h"
#include "tools/plane/plane_four.h"
#include "tools/plane/polynomial.h"

namespace coordconv {
namespace {

using testing::GridFromConversion;
using testing::SourcePoint;

using testing::Beijing54ToXian80;

// `count` points spread over about 3 x 3 degrees around 31 N 114 E, targets
// moved by the known set.
PointTable BursaWolfNetwork(const DatumFields& settings, int count) {
    std::vector<SourcePoint> points;
    for (int i = 0; i < count; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 29.5L + 3.0L * ((i * 5) % count) / count,
                                          -1.4L + 2.8L * ((i * 3) % count) / count);
        points.push_back({"点" + std::to_string(i + 1), FormatFixed(p.x, 4), FormatFixed(p.y + 500000, 4),
                          FormatFixed(50 + 300.0L * (i % 4), 4)});
    }
    return GridFromConversion(BursaWolfLayout(), points, BursaWolfConversion(settings, kKnownSet));
}

// Adds noise of `sigma` to the target cells of every row.
void AddNoise(PointTable& grid, const std::vector<int>& columns, double sigma, std::mt19937& random) {
    std::normal_distribution<double> noise(0, sigma);
    for (int row = 1; row < grid.RowCount(); ++row)
        for (const int col : columns) grid.Cell(col, row) = FormatFixed(TextToNumber(grid.Cell(col, row)) + noise(random), 6);
}

// Empirical standard deviation of each field's value over the runs, and the
// mean reported sigma.
struct SigmaCheck {
    std::map<std::string, std::vector<double>> values;
    std::map<std::string, double> reported_sum;
    int runs = 0;

    void Add(const PrecisionReport& report) {
        ++runs;
        for (const ParameterPrecision& p : report.parameters) {
            if (!p.sigma) continue;
            values[p.name].push_back(static_cast<double>(TextToNumber(p.text)));
            reported_sum[p.name] += static_cast<double>(*p.sigma);
        }
    }
    void Expect(double tolerance) const {
        ASSERT_FALSE(values.empty());
        for (const auto& [name, list] : values) {
            double mean = 0;
            for (const double v : list) mean += v;
            mean /= list.size();
            double squares = 0;
            for (const double v : list) squares += (v - mean) * (v - mean);
            const double empirical = std::sqrt(squares / (list.size() - 1));
            const double reported = reported_sum.at(name) / runs;
            EXPECT_NEAR(reported / empirical, 1.0, tolerance) << name << ": reported " << reported << ", empirical " << empirical;
        }
    }
};

const PrecisionReport& Report(const FitOutcome& outcome) {
    EXPECT_FALSE(outcome.failure) << outcome.failure->what();
    EXPECT_TRUE(outcome.precision);
    return *outcome.precision;
}

TEST(PrecisionReport, BursaWolfSigmasAreHonestAndSigma0RecoversTheNoise) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    std::mt19937 random(1954);
    SigmaCheck check;
    for (int run = 0; run < 200; ++run) {
        PointTable grid = BursaWolfNetwork(settings, 8);
        AddNoise(grid, {4, 5, 6}, 0.02, random);
        check.Add(Report(SolveBursaWolf(settings, kKnownSet, grid).outcome));
    }
    check.Expect(0.15);

    PointTable large = BursaWolfNetwork(settings, 100);
    AddNoise(large, {4, 5, 6}, 0.02, random);
    const FitResult<SevenParameterFields> fit = SolveBursaWolf(settings, kKnownSet, large);
    const PrecisionReport& report = Report(fit.outcome);
    EXPECT_EQ(report.redundancy, 300 - 7);
    ASSERT_TRUE(report.sigma0);
    EXPECT_NEAR(static_cast<double>(*report.sigma0), 0.02, 0.002);
    EXPECT_EQ(report.description.observation_unit, "m");
    EXPECT_EQ(report.parameters[3].unit, "\"");
    // The rotation field shows arc seconds; its sigma is in arc seconds too.
    EXPECT_LT(static_cast<double>(*report.parameters[3].sigma), 0.5);
    for (std::size_t i = 0; i < report.correlation.size(); ++i) EXPECT_NEAR(static_cast<double>(report.correlation[i][i]), 1, 1e-12);
    // The redundancy numbers are the diagonal of Qvv = I - A Qxx A', whose
    // trace is the redundancy: a cofactor matrix that is not the inverse of
    // A'A (rotation columns a million times the translations') breaks it.
    long double redundancy_sum = 0;
    for (const PointPrecision& point : report.points)
        for (const long double r : point.r) redundancy_sum += r;
    EXPECT_NEAR(static_cast<double>(redundancy_sum), 293.0, 1e-9);
}

TEST(PrecisionReport, PlaneFourAndHeightSurfaceSigmasAreHonest) {
    const FloatingPointScope scope;
    std::mt19937 random(2000);
    SigmaCheck plane;
    PlaneFourParameters truth;
    truth.dx = 25;
    truth.dy = -13;
    SetRotationAndScale(12.5, 8e-6, truth);
    SigmaCheck height;
    for (int run = 0; run < 200; ++run) {
        std::vector<std::vector<std::string>> rows;
        for (int i = 0; i < 6; ++i) {
            const long double x = 3380000 + 4000.0L * (i % 3), y = 500000 + 5000.0L * (i / 3) + 700.0L * i;
            const PlanePointH t = TransformPlaneFour(truth, x, y, 10);
            rows.push_back({"P" + std::to_string(i), FormatFixed(x, 4), FormatFixed(y, 4), "10", FormatFixed(t.x, 6),
                            FormatFixed(t.y, 6), "12", "", "", "", "", "", "Yes"});
        }
        PointTable grid = NewCommonPointGrid(PlaneFourLayout(), PlaneFourCommonPointTitles());
        grid.SetRowCount(7);
        for (int r = 0; r < 6; ++r)
            for (int c = 0; c < 13; ++c) grid.Cell(c, r + 1) = rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)];
        AddNoise(grid, {4, 5}, 0.01, random);
        plane.Add(Report(SolvePlaneFour(PlaneFourFields{}, grid).outcome));

        // A tilted plane of height anomalies (model 0, 3 terms) through 9 points.
        PointTable levels = NewCommonPointGrid(HeightFitLayout(), HeightFitCommonPointTitles());
        levels.SetRowCount(10);
        for (int i = 0; i < 9; ++i) {
            const long double x = 3380000 + 3000.0L * (i % 3), y = 500000 + 3000.0L * (i / 3);
            levels.Cell(0, i + 1) = "H" + std::to_string(i);
            levels.Cell(1, i + 1) = FormatFixed(x, 3);
            levels.Cell(2, i + 1) = FormatFixed(y, 3);
            levels.Cell(3, i + 1) = "100";
            levels.Cell(4, i + 1) = FormatFixed(100 - 12.5L + 2e-5L * (x - 3380000) - 1e-5L * (y - 500000), 6);
            levels.Cell(7, i + 1) = "Yes";
        }
        AddNoise(levels, {4}, 0.01, random);
        height.Add(Report(SolveHeightFit(0, NewHeightFitCoefficientTable(0), levels).outcome));
    }
    plane.Expect(0.15);
    height.Expect(0.15);
}

// A blunder of 10 sigma in one of 8 points; and the same networks clean.
// With r_i near 17/24 the blunder shifts its standardized residual by about
// 10 sqrt(0.71) = 8.4 against a critical value of 4.14 (Student's t, 14
// degrees of freedom, alpha = 0.001): it is detected almost always, and the
// point is named in about 95 % of networks, the rest lost to another point's
// larger test value. Over 1000 networks (binomial sigma 0.7 %) 92 % is a
// bound four sigmas below that rate.
TEST(PrecisionReport, TheOutlierTestFindsBlundersAndRarelyRaisesFalseAlarms) {
    const FloatingPointScope scope;
    const DatumFields settings = Beijing54ToXian80();
    std::mt19937 random(1980);
    int found = 0;
    int false_alarms = 0;
    constexpr int kRuns = 1000;
    for (int run = 0; run < kRuns; ++run) {
        PointTable grid = BursaWolfNetwork(settings, 8);
        AddNoise(grid, {4, 5, 6}, 0.02, random);
        PointTable clean = grid;
        const int blunder_row = 1 + run % 8;
        const int blunder_col = 4 + run % 3;
        grid.Cell(blunder_col, blunder_row) =
            FormatFixed(TextToNumber(grid.Cell(blunder_col, blunder_row)) + (run % 2 ? 0.2L : -0.2L), 6);
        const FitOutcome blundered = SolveBursaWolf(settings, kKnownSet, grid).outcome;
        if (Report(blundered).suspected_outlier == grid.Cell(0, blunder_row)) ++found;
        const FitOutcome plain = SolveBursaWolf(settings, kKnownSet, clean).outcome;
        if (Report(plain).suspected_outlier) ++false_alarms;
    }
    EXPECT_GE(found, 920);
    // 24 components tested at alpha = 0.001: about 1 - 0.999^24 = 2.4 % of
    // clean networks, 24 of 1000 (binomial sigma 4.8); allowed up to three
    // sigmas above.
    EXPECT_LE(false_alarms, 38);
    std::cout << "outlier found in " << found << " of " << kRuns << " runs; false alarms in " << false_alarms << "\n";
}

// Student's t table: t(0.9995; 10) = 4.587, t(0.975; 5) = 2.571.
TEST(PrecisionReport, StudentTTurnsIntoTheNormalDeviateOfTheSameProbability) {
    EXPECT_NEAR(static_cast<double>(NormalDeviateOfStudentT(4.587L, 10)), 3.2905, 0.001);
    EXPECT_NEAR(static_cast<double>(NormalDeviateOfStudentT(2.571L, 5)), 1.95996, 0.001);
    EXPECT_NEAR(static_cast<double>(NormalDeviateOfStudentT(3.2905L, 1000000)), 3.2905, 0.0005);
    EXPECT_NEAR(static_cast<double>(NormalDeviateOfStudentT(0, 7)), 0, 1e-9);
}

TEST(PrecisionReport, NoRedundancyAndTooFewPointsGiveNoSigmaAndNoFault) {
    const FloatingPointScope scope;
    // Two points of the plane four-parameter model: 4 equations, 4 unknowns.
    PointTable grid = NewCommonPointGrid(PlaneFourLayout(), PlaneFourCommonPointTitles());
    grid.SetRowCount(4);
    const char* rows[3][7] = {{"A", "1000", "2000", "0", "1010", "1990", "0"},
                              {"B", "3000", "1000", "0", "3012", "993", "0"},
                              {"C", "2000", "2000", "0", "2011", "1990", "0"}};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 7; ++c) grid.Cell(c, r + 1) = rows[r][c];
    grid.Cell(12, 1) = grid.Cell(12, 2) = "Yes";
    grid.Cell(12, 3) = "No";
    FitOutcome outcome = SolvePlaneFour(PlaneFourFields{}, grid).outcome;
    const PrecisionReport& exact = Report(outcome);
    EXPECT_TRUE(exact.solved);
    EXPECT_EQ(exact.redundancy, 0);
    EXPECT_FALSE(exact.sigma0);
    for (const ParameterPrecision& p : exact.parameters) EXPECT_FALSE(p.sigma) << p.name;
    EXPECT_FALSE(exact.suspected_outlier);
    EXPECT_FALSE(exact.points[2].adopted);
    EXPECT_EQ(exact.points[2].residuals.size(), 4u);
    const std::string json = PrecisionReportJson(exact);
    EXPECT_NE(json.find("\"sigma0\": null"), std::string::npos);
    EXPECT_NE(json.find("\"redundancy\": 0"), std::string::npos);
    EXPECT_EQ(json.find("nan"), std::string::npos);
    EXPECT_EQ(json.find("inf"), std::string::npos);
    EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID), 0);

    // One adopted point: the message, no statistics.
    grid.Cell(12, 2) = "No";
    outcome = SolvePlaneFour(PlaneFourFields{}, grid).outcome;
    const PrecisionReport& few = Report(outcome);
    EXPECT_FALSE(few.solved);
    EXPECT_EQ(few.message, kPlaneFourTooFewPointsText);
    EXPECT_TRUE(few.correlation.empty());
    EXPECT_NE(PrecisionReportJson(few).find("\"redundancy\": null"), std::string::npos);
}

// Common points whose targets equal their sources fit every model exactly
// (all parameters zero, no rounding anywhere). A 0.5 m blunder in one of
// them leaves the other points' sigma0 at zero: that point's test value is
// unbounded, it is named, and the JSON says so without a number.
TEST(PrecisionReport, ABlunderAmongExactlyFittingPointsIsUnboundedAndNamed) {
    const FloatingPointScope scope;
    const auto plane_grid = [](const CommonPointLayout& layout, std::vector<std::string> titles, bool geodetic) {
        PointTable grid = NewCommonPointGrid(layout, std::move(titles));
        grid.SetRowCount(13);
        for (int i = 0; i < 12; ++i) {
            const int row = i + 1;
            const long double north = geodetic ? 30 + 0.1L * (i % 4) : 3380000 + 1500.0L * (i % 4) + 170.0L * (i % 3);
            const long double east = geodetic ? 114 + 0.1L * (i / 4) : 500000 + 2000.0L * (i / 4) + 230.0L * (i % 2);
            grid.Cell(0, row) = "P" + std::to_string(row);
            grid.Cell(1, row) = grid.Cell(4, row) = geodetic ? FormatFixed(north, 4) : FormatFixed(north, 4);
            grid.Cell(2, row) = grid.Cell(5, row) = geodetic ? FormatFixed(east, 4) : FormatFixed(east, 4);
            grid.Cell(3, row) = grid.Cell(6, row) = "50";
            grid.Cell(12, row) = "Yes";
        }
        return grid;
    };
    const auto check = [](const FitOutcome& outcome, const std::string& model) {
        const PrecisionReport& report = Report(outcome);
        ASSERT_TRUE(report.solved) << model << " " << report.message;
        EXPECT_EQ(report.suspected_outlier, std::optional<std::string>("P5")) << model;
        EXPECT_TRUE(report.largest_t_unbounded) << model;
        for (const PointPrecision& point : report.points) EXPECT_EQ(point.t_unbounded, point.name == "P5") << model;
        const std::string json = PrecisionReportJson(report);
        EXPECT_NE(json.find("\"name\": \"P5\", \"adopted\": true"), std::string::npos);
        EXPECT_NE(json.find("\"t_unbounded\": true"), std::string::npos) << model;
        EXPECT_NE(json.find("\"suspected_outlier\": \"P5\""), std::string::npos) << model;
        EXPECT_EQ(json.find("inf"), std::string::npos) << model;
        EXPECT_EQ(json.find("nan"), std::string::npos) << model;
    };

    for (const int model : {0, 1, 2}) {
        PointTable levels = NewCommonPointGrid(HeightFitLayout(), HeightFitCommonPointTitles());
        levels.SetRowCount(13);
        for (int i = 0; i < 12; ++i) {
            levels.Cell(0, i + 1) = "P" + std::to_string(i + 1);
            levels.Cell(1, i + 1) = FormatFixed(3380000 + 1500.0L * (i % 4) + 170.0L * (i % 3), 3);
            levels.Cell(2, i + 1) = FormatFixed(500000 + 2000.0L * (i / 4) + 230.0L * (i % 2), 3);
            levels.Cell(3, i + 1) = "100";
            levels.Cell(4, i + 1) = i == 4 ? "100.5" : "100";
            levels.Cell(7, i + 1) = "Yes";
        }
        check(SolveHeightFit(model, NewHeightFitCoefficientTable(model), levels).outcome, "height-fit " + std::to_string(model));
    }
    for (const int order : {0, 1}) {
        PointTable grid = plane_grid(PolynomialLayout(PolynomialForm::Plane), PolynomialCommonPointTitles(PolynomialForm::Plane), false);
        testing::Shift(grid, 4, 5, 0.5L);
        PolynomialFields fields;
        fields.order_index = order;
        check(SolvePolynomial(fields, NewPolynomialCoefficientTable(order), grid).outcome, "polynomial " + std::to_string(order));
    }
    // Seven-2d between two systems on one ellipsoid, geodetic on both sides.
    DatumFields geodetic = Beijing54ToXian80();
    geodetic.a2 = geodetic.a1;
    geodetic.inverse_flattening2 = geodetic.inverse_flattening1;
    geodetic.form1 = geodetic.form2 = CoordinateForm::Geodetic;
    PointTable grid = plane_grid(Seven2dLayout(), CommonPointTitles(true, true), true);
    grid.Cell(4, 5) = "30.000001620";  // 30°00'00.0162": 0.5 m north of 30°00'
    check(SolveSeven2d(geodetic, Seven2dFields{}, grid).outcome, "seven-2d");
}

// The cubic polynomial on ordinary Gauss coordinates (x about 3.38e6 m):
// statistics in the centred, scaled basis. On local coordinates (the same
// network less 3380000 m and 500000 m) the reported sigmas of all 20
// coefficients match their spread over noisy solves; on Gauss coordinates
// sigma0, the redundancy numbers and the sigmas of the third-degree
// coefficients (the same for any origin) are those of the local network.
TEST(PrecisionReport, CubicPolynomialOnGaussCoordinatesHasStatistics) {
    const FloatingPointScope scope;
    std::mt19937 random(333);
    SigmaCheck local_check;
    const auto solve = [](const std::vector<std::array<long double, 4>>& rows, long double x0, long double y0) {
        PointTable grid = NewCommonPointGrid(PolynomialLayout(PolynomialForm::Plane), PolynomialCommonPointTitles(PolynomialForm::Plane));
        grid.SetRowCount(static_cast<int>(rows.size()) + 1);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const int row = static_cast<int>(i) + 1;
            grid.Cell(0, row) = "C" + std::to_string(i);
            grid.Cell(1, row) = FormatFixed(x0 + rows[i][0], 4);
            grid.Cell(2, row) = FormatFixed(y0 + rows[i][1], 4);
            grid.Cell(4, row) = FormatFixed(x0 + rows[i][2], 6);
            grid.Cell(5, row) = FormatFixed(y0 + rows[i][3], 6);
            grid.Cell(3, row) = grid.Cell(6, row) = "10";
            grid.Cell(12, row) = "Yes";
        }
        PolynomialFields fields;
        fields.order_index = 2;
        return SolvePolynomial(fields, NewPolynomialCoefficientTable(2), grid).outcome;
    };
    std::normal_distribution<double> noise(0, 0.01);
    for (int run = 0; run < 100; ++run) {
        const int count = 16;
        std::vector<std::array<long double, 4>> rows;
        for (int i = 0; i < count; ++i) {
            const long double x = 20000.0L * ((i * 7) % count) / count + 311.0L * (i % 3);
            const long double y = 20000.0L * ((i * 11) % count) / count + 173.0L * (i % 5);
            const long double u = (x - 10000) / 10000, v = (y - 10000) / 10000;
            rows.push_back({x, y, x + 12.3L + 0.05L * u * u - 0.02L * u * v * v + noise(random),
                            y - 45.6L + 0.03L * v * v + 0.01L * u * u * u + noise(random)});
        }
        const FitOutcome local = solve(rows, 0, 0);
        local_check.Add(Report(local));
        if (run % 10 != 0) continue;
        const FitOutcome gauss = solve(rows, 3380000, 500000);
        const PrecisionReport& a = Report(local);
        const PrecisionReport& b = Report(gauss);
        ASSERT_TRUE(b.solved);
        ASSERT_TRUE(b.sigma0);
        for (const ParameterPrecision& p : b.parameters) ASSERT_TRUE(p.sigma) << p.name;
        EXPECT_NEAR(static_cast<double>(*b.sigma0 / *a.sigma0), 1, 1e-6);
        long double redundancy_sum = 0;
        for (std::size_t k = 0; k < b.points.size(); ++k)
            for (std::size_t c = 0; c < b.points[k].r.size(); ++c) {
                redundancy_sum += b.points[k].r[c];
                EXPECT_NEAR(static_cast<double>(b.points[k].r[c]), static_cast<double>(a.points[k].r[c]), 1e-9);
            }
        EXPECT_NEAR(static_cast<double>(redundancy_sum), 32 - 20, 1e-9);
        for (const int index : {8, 9, 18, 19})  // a8 p^3, a9 q^3, b8, b9
            EXPECT_NEAR(static_cast<double>(*b.parameters[index].sigma / *a.parameters[index].sigma), 1, 1e-6)
                << b.parameters[index].name;
    }
    local_check.Expect(0.2);
}

}  // namespace
}  // namespace coordconv
