// The plausibility checks: each mistake caught with its rows and fix, and
// no warning for valid points over China's 3° and 6° zones.
#include "table/point_checks.h"

#include <random>

#include <gtest/gtest.h>

#include "core/gauss_kruger.h"
#include "core/number_text.h"

namespace coordconv {
namespace {

using Rows = std::vector<std::vector<std::string>>;
const std::vector<std::string> kPlane = {"name", "x", "y"};
const std::vector<std::string> kGeodetic = {"name", "B", "L"};

PlausibilitySettings Settings(long double meridian, long double constant) {
    PlausibilitySettings s;
    s.central_meridian = meridian;
    s.y_constant = constant;
    return s;
}

// One warning expected: its fix and its rows; then the fix applied.
PlausibilityWarning OnlyWarning(const Rows& rows, const std::vector<std::string>& roles,
                                const PlausibilitySettings& settings) {
    const std::vector<PlausibilityWarning> warnings = CheckPointRows(rows, roles, settings);
    if (warnings.size() != 1)
        for (const auto& w : warnings) ADD_FAILURE() << warnings.size() << " warnings: " << w.text;
    EXPECT_FALSE(warnings.empty());
    return warnings.empty() ? PlausibilityWarning{} : warnings[0];
}

// A point of zone 39 (meridian 117): 30°30′ N, 118°30′ E projects to
// x = 3376500.1736, y = 644006.4942 on Xi'an 1980 (the Gauss window's
// worked example, 1°30′ off the meridian).
TEST(PointChecks, EachMistakeNamesItsRowsAndItsFix) {
    const auto settings = Settings(117, 39500000);
    struct Case {
        Rows rows;
        PlausibilitySettings settings;
        PointFix fix;
        std::vector<int> rows_named;
        std::string fixed_y;  // the second row's y after the fix
    };
    const Case cases[] = {
        // x and y swapped in row 2
        {{{"A", "3376500.1736", "39644006.4942"}, {"B", "39644006.4942", "3376500.1736"}}, settings, PointFix::SwapXY,
         {2}, "39644006.4942"},
        {{{"A", "3376500.1736", "644006.4942"}, {"B", "644006.4942", "3376500.1736"}}, Settings(117, 500000),
         PointFix::SwapXY, {2}, "644006.4942"},
        // no zone number where the constant has one
        {{{"A", "3376500.1736", "39644006.4942"}, {"B", "3376500.1736", "644006.4942"}}, settings,
         PointFix::AddZoneNumber, {2}, "39644006.4942"},
        // a zone number where the constant has none
        {{{"A", "3376500.1736", "644006.4942"}, {"B", "3376500.1736", "39644006.49"}}, Settings(117, 500000),
         PointFix::RemoveZoneNumber, {2}, "644006.49"},
    };
    for (const Case& c : cases) {
        const PlausibilityWarning w = OnlyWarning(c.rows, kPlane, c.settings);
        EXPECT_EQ(w.fix, c.fix) << w.text;
        EXPECT_EQ(w.rows, c.rows_named) << w.text;
        EXPECT_NE(w.text.find("第2行"), std::string::npos) << w.text;
        Rows fixed = c.rows;
        ApplyPointFix(w, kPlane, c.settings, fixed);
        EXPECT_EQ(fixed[1][2], c.fixed_y) << w.text;
        EXPECT_EQ(fixed[0], c.rows[0]);
        EXPECT_TRUE(CheckPointRows(fixed, kPlane, c.settings).empty()) << w.text;
    }
    // The zone number of another meridian: zone 38 is meridian 114, and the
    // constant says 39; the settings need changing, no row.
    const Rows other_zone = {{"A", "3376500.1736", "38644006.4942"}};
    const std::vector<PlausibilityWarning> zone = CheckPointRows(other_zone, kPlane, settings);
    ASSERT_EQ(zone.size(), 2u);
    EXPECT_NE(zone[0].text.find("与Y坐标加常数的带号39不符"), std::string::npos) << zone[0].text;
    EXPECT_NE(zone[1].text.find("中央子午线改为114°"), std::string::npos) << zone[1].text;
    EXPECT_EQ(zone[1].fix, PointFix::None);
    // 6° zone 20 has meridian 117; the window's meridian 0 (its default) does not fit.
    const std::vector<PlausibilityWarning> unset =
        CheckPointRows({{"A", "3376500.1736", "20644006.4942"}}, kPlane, Settings(0, 20500000));
    ASSERT_EQ(unset.size(), 1u);
    EXPECT_NE(unset[0].text.find("中央子午线改为117°"), std::string::npos) << unset[0].text;
}

TEST(PointChecks, AnglesOutOfRangeSwappedOrDecimalDegrees) {
    const PlausibilitySettings none;
    // 30.75 and 116.391234 read as ddd.mmss have 75 minutes and 39′ 12.34″:
    // only the first is impossible; reading the column as decimal degrees
    // converts every row.
    PlausibilityWarning w = OnlyWarning({{"A", "30.75", "116.4"}, {"B", "30.5", "116.391234"}}, kGeodetic, none);
    EXPECT_EQ(w.fix, PointFix::ReadAsDecimalDegrees);
    EXPECT_EQ(w.rows, (std::vector<int>{1}));
    Rows rows = {{"A", "30.75", "116.4"}, {"B", "30.5", "116.391234"}};
    ApplyPointFix(w, kGeodetic, none, rows);
    EXPECT_EQ(rows, (Rows{{"A", "30.45", "116.24"}, {"B", "30.3", "116.23284424"}}));

    w = OnlyWarning({{"A", "116.3", "30.3"}}, kGeodetic, none);
    EXPECT_EQ(w.fix, PointFix::SwapBL);
    w = OnlyWarning({{"A", "60.3", "116.3"}, {"B", "30", "-116.3"}, {"C", "30", "116"}}, kGeodetic, none);
    EXPECT_EQ(w.fix, PointFix::None);
    EXPECT_EQ(w.rows, (std::vector<int>{1, 2}));
    // The hair below 60″ the program's own DegreesToDms leaves is no mistake.
    EXPECT_TRUE(CheckPointRows({{"A", "30.2960000000", "117.0000000000"}}, kGeodetic, none).empty());
    EXPECT_EQ(RowListText({1, 2, 3, 5, 7, 8}), "1-3, 5, 7-8");
}

// 1,000 valid points over China's 3° and 6° zones (latitude 18° to 53°,
// longitude 74° to 134°), each in its own zone with and without zone number
// in the eastings and the constant: no warning, neither for the plane
// coordinates nor for the latitudes and longitudes.
TEST(PointChecks, NoFalseAlarmOnValidPointsOfChina) {
    std::mt19937 random(20261208);
    std::uniform_real_distribution<double> latitude(18, 53), longitude(74, 134);
    const GaussKrugerEllipsoid ellipsoid = MakeGaussKrugerEllipsoid(6378137, 1 / 298.257222101L);
    for (int i = 0; i < 1000; ++i) {
        const long double b = latitude(random);
        const long double l = longitude(random);
        const bool three_degree = i % 2 == 0;
        const bool numbered = i % 4 < 2;
        const long double zone = three_degree ? std::round(l / 3) : std::floor(l / 6) + 1;
        const long double meridian = three_degree ? 3 * zone : 6 * zone - 3;
        const long double constant = 500000 + (numbered ? zone * 1000000 : 0);
        const PlanePoint p = GaussForward(ellipsoid, b, l - meridian);
        const Rows plane = {{"P", FormatFixed(p.x, 4), FormatFixed(p.y + constant, 4)}};
        const auto warnings = CheckPointRows(plane, kPlane, Settings(meridian, constant));
        EXPECT_TRUE(warnings.empty()) << plane[0][1] << "," << plane[0][2] << ": " << warnings[0].text;
        const Rows geodetic = {{"P", FormatFixed(DegreesToDms(b), 10), FormatFixed(DegreesToDms(l), 4)}};
        EXPECT_TRUE(CheckPointRows(geodetic, kGeodetic, {}).empty()) << geodetic[0][1] << "," << geodetic[0][2];
    }
}

}  // namespace
}  // namespace coordconv
