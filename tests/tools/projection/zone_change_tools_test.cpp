#include "tools/projection/zone_change_tools.h"

#include <gtest/gtest.h>

#include "tests/tools/projection/conversion_test_support.h"

namespace coordconv {
namespace {

using testing::ConvertRow;
using testing::ErrorOf;

ZoneChangeFields Zones(const std::string& old_meridian, const std::string& new_meridian) {
    ZoneChangeFields fields;
    fields.central_meridian = old_meridian;
    fields.new_central_meridian = new_meridian;
    return fields;
}

TEST(ZoneChange, WorkedExampleAnyMeridiansAndZoneNumbers) {
    const FloatingPointScope scope;
    // 30°30′ N, 1°30′ E on Xi'an 1980, from the zone of meridian 0 to that of 3.
    // PROJ (cct +proj=tmerc +k=1 +x_0=500000 +a=6378140 +rf=298.257) puts the
    // point at 3376500.17355, 644006.49424 on meridian 0 and at 3376500.17355,
    // 355993.50576 on meridian 3; the Gauss-Krüger series gives the second
    // easting 0.06 mm smaller, which rounds to ...5057.
    const testing::Row moved = ConvertRow(ZoneChangeConversion(Zones("0", "3")), "P1", "3376500.1736", "644006.4942");
    EXPECT_EQ(moved.cells[0] + "," + moved.cells[1] + "," + moved.cells[2], "P1,3376500.1736,355993.5057");
    // The same geometry from 117 to 120, with any zone number on the input.
    for (const char* y : {"644006.4942", "38644006.4942", "1644006.4942"}) {
        const testing::Row shifted = ConvertRow(ZoneChangeConversion(Zones("117", "120")), "P1", "3376500.1736", y);
        EXPECT_EQ(shifted.cells[1] + "," + shifted.cells[2], "3376500.1736,355993.5057") << y;
    }
}

TEST(ZoneChange, ThereAndBackAndOntoTheSameZoneKeepThePoint) {
    const FloatingPointScope scope;
    const ZoneChangeSettings to_new = ReadZoneChangeSettings(Zones("114", "117"));
    const ZoneChangeSettings to_old = ReadZoneChangeSettings(Zones("117", "114"));
    const ZoneChangeSettings same = ReadZoneChangeSettings(Zones("114", "114"));
    for (const long double x : {-4000000.0L, 10000.0L, 2500000.0L, 3376500.1736L, 5000000.0L}) {
        // Between the two meridians, at most 3 degrees from either.
        for (const long double y : {500000.0L, 560000.0L, 644006.4942L}) {
            const ZonePoint moved = ChangeZone(to_new, x, y);
            const ZonePoint back = ChangeZone(to_old, moved.x, moved.y);
            EXPECT_NEAR(static_cast<double>(back.x), static_cast<double>(x), 1e-3) << x << " " << y;
            EXPECT_NEAR(static_cast<double>(back.y), static_cast<double>(y), 1e-3) << x << " " << y;
            const ZonePoint kept = ChangeZone(same, x, y);
            EXPECT_NEAR(static_cast<double>(kept.x), static_cast<double>(x), 1e-4) << x << " " << y;
            EXPECT_NEAR(static_cast<double>(kept.y), static_cast<double>(y), 1e-4) << x << " " << y;
        }
    }
    // A new zone number travels in the new constant.
    ZoneChangeFields numbered = Zones("3", "3");
    numbered.new_y_constant = "39500000";
    const ZonePoint p = ChangeZone(ReadZoneChangeSettings(numbered), 3376500.1736L, 644006.4942L);
    EXPECT_NEAR(static_cast<double>(p.y), 39644006.4942, 1e-4);
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

TEST(ZoneChange, FailuresStopBeforeAnyResult) {
    ZoneChangeFields zero_flattening = Zones("abc", "3");
    zero_flattening.inverse_flattening = "";
    EXPECT_EQ(ErrorOf([&] { ZoneChangeConversion(zero_flattening); }), "Floating point division by zero");
    ZoneChangeFields bad_constant = Zones("0", "3");
    bad_constant.new_y_constant = "500 000";
    EXPECT_EQ(ErrorOf([&] { ZoneChangeConversion(bad_constant); }), "'500 000' is not a valid floating point value");
    ZoneChangeFields zero_axis = Zones("0", "3");
    zero_axis.a = "0";
    std::string untouched[3] = {"keep", "keep", "keep"};
    const std::string source[3] = {"P", "3376500.1736", "644006.4942"};
    EXPECT_EQ(ErrorOf([&] { ZoneChangeConversion(zero_axis)(source, untouched); }), "Floating point division by zero");
    EXPECT_EQ(untouched[1], "keep");
}

}  // namespace
}  // namespace coordconv
