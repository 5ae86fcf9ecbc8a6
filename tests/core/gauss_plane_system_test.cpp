#include "core/gauss_plane_system.h"

#include <functional>
#include <string>

#include <gtest/gtest.h>

#include "core/ellipsoid.h"
#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ErrorOf;

// A 1/f of 0 is a fault of the ellipsoid wherever it is read: reported when
// the axes are made, after the texts the reader takes before that.
TEST(EllipsoidCheck, AZeroInverseFlatteningFailsWhenTheAxesAreMadeAfterTheTextsReadBefore) {
    EXPECT_EQ(ErrorOf([] { ReadEllipsoid("6378137", "0"); }), kDivisionByZeroText);
    EXPECT_EQ(ErrorOf([] { ReadEllipsoidNumbers("6378137", "0"); }), "");
    EXPECT_EQ(ErrorOf([] { MakeEllipsoidAxes(ReadEllipsoidNumbers("6378137", "0")); }), kDivisionByZeroText);
    EXPECT_EQ(ErrorOf([] { ReadEllipsoid("6378137", "x"); }), "'x' is not a valid floating point value");

    // The plane system reads all four texts first: a bad central meridian or
    // Y constant is named before the ellipsoid's fault.
    EXPECT_EQ(ErrorOf([] { ReadGaussPlaneSystem("6378137", "0", "abc", "500000"); }),
              "'abc' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { ReadGaussPlaneSystem("6378137", "0", "117", "5e"); }),
              "'5e' is not a valid floating point value");
    EXPECT_EQ(ErrorOf([] { ReadGaussPlaneSystem("6378137", "0", "117", "500000"); }), kDivisionByZeroText);

    // 117.3 is 117°30′; 1/f = 298.257 gives f = 1/298.257.
    const GaussPlaneSystem system = ReadGaussPlaneSystem("6378140", "298.257", "117.3", "39500000");
    EXPECT_EQ(system.a, 6378140.0L);
    EXPECT_EQ(system.f, 1 / 298.257L);
    EXPECT_NEAR(static_cast<double>(system.central_meridian), 117.5, 1e-12);
    EXPECT_EQ(system.y_constant, 39500000.0L);
}

}  // namespace
}  // namespace coordconv
