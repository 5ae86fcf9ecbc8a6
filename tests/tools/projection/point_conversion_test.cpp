// The numeric conversions' local similarity against hand-derived values.
#include <cmath>

#include <gtest/gtest.h>

#include "tools/plane/plane_four.h"
#include "tools/projection/projection_point_conversions.h"
#include "tools/projection/zone_change_tools.h"

namespace coordconv {
namespace {

// The four-parameter model is a similarity: its local similarity anywhere
// is the factor 1 + m and the rotation R itself.
TEST(LocalSimilarity, PlaneFourIsItsOwnSimilarity) {
    PlaneFourFields fields;
    fields.dx = "-1203.5";
    fields.dy = "880.25";
    fields.rotation = "-35.5";
    fields.scale = "0.0000123";
    const PointConversion conversion = PlaneFourPointConversion(fields);
    for (const long double x : {0.0L, 3380000.0L, -5000.0L}) {
        const LocalSimilarity s = conversion.SimilarityAt(x, 500000 - x / 7, 10);
        EXPECT_NEAR(static_cast<double>(s.scale), 1.0000123, 1e-12);
        EXPECT_NEAR(static_cast<double>(s.rotation), -35.5 / 3600 * M_PI / 180, 1e-12);
    }
}

// Gauss-Krüger point scale k and meridian convergence gamma from geodetic B
// and l (Snyder 1987, eq. 8-11 with k0 = 1, A = l cos B, C = eta^2, T = tan^2 B):
// k = 1 + (1 + C) A^2 / 2 + (5 - 4T + 42C + 13C^2 - 28e'^2) A^4 / 24 + (61 - 148T + 16T^2) A^6 / 720,
// and the convergence to l^5, gamma = l s [1 + A^2 (1 + 3C + 2C^2) / 3 + A^4 (2 - T) / 15].
struct ScaleAndConvergence {
    double k;
    double gamma;
};
ScaleAndConvergence GaussScaleAndConvergence(double B_degrees, double l_degrees) {
    const double f = 1 / 298.257;
    const double e2 = 2 * f - f * f;
    const double ep2 = e2 / (1 - e2);
    const double B = B_degrees * M_PI / 180;
    const double l = l_degrees * M_PI / 180;
    const double c = std::cos(B), s = std::sin(B), t = std::tan(B);
    const double eta2 = ep2 * c * c;
    const double lc2 = l * l * c * c;
    const double T = t * t;
    return {1 + lc2 * (1 + eta2) / 2 + lc2 * lc2 * (5 - 4 * T + 42 * eta2 + 13 * eta2 * eta2 - 28 * ep2) / 24 +
                lc2 * lc2 * lc2 * (61 - 148 * T + 16 * T * T) / 720,
            l * s * (1 + lc2 * (1 + 3 * eta2 + 2 * eta2 * eta2) / 3 + lc2 * lc2 * (2 - t * t) / 15)};
}

// A zone change from 114° to 117° turns directions by the difference of the
// two convergences and scales lengths by the ratio of the two point scales
// (the series are good to 1e-8 in k and 1e-9 in gamma at 4.5° from the meridian).
TEST(LocalSimilarity, ZoneChangeTurnsByTheConvergenceDifference) {
    GaussFields gauss;
    gauss.central_meridian = "114";
    const PointConversion forward = GaussForwardPointConversion(gauss);
    ZoneChangeFields fields;
    fields.central_meridian = "114";
    fields.new_central_meridian = "117";
    const PointConversion change = ZoneChangePointConversion(fields);
    for (const double B : {22.5, 30.0, 41.25, 52.0}) {
        for (const double L : {112.5, 114.0, 115.5, 116.9}) {
            const PointXYH p = forward.Convert(B, L, 0);
            const LocalSimilarity s = change.SimilarityAt(p.x, p.y, 0);
            const ScaleAndConvergence old_zone = GaussScaleAndConvergence(B, L - 114);
            const ScaleAndConvergence new_zone = GaussScaleAndConvergence(B, L - 117);
            EXPECT_NEAR(static_cast<double>(s.scale), new_zone.k / old_zone.k, 1e-8) << B << " " << L;
            EXPECT_NEAR(static_cast<double>(s.rotation), old_zone.gamma - new_zone.gamma, 2e-9) << B << " " << L;
        }
    }
    EXPECT_EQ(change.CheckSource(3400000, 500000 + 340000), "");
    EXPECT_NE(change.CheckSource(3400000, 500000 + 360000), "");
    EXPECT_NE(change.CheckSource(39.5, 116.3), "");  // degrees, not metres
    EXPECT_EQ(change.CheckSource(3400000, 38500000), "");  // the zone number is dropped
}

}  // namespace
}  // namespace coordconv
