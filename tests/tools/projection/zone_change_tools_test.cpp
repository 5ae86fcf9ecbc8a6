#include "tools/projection/zone_change_tools.h"

#include <cmath>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/number_text.h"
#include "tools/projection/projection_layout.h"

namespace coordconv {
namespace {

struct Row {
    std::string cells[3];
};

Row Convert(const RowConversion& convert, const std::string& name, const std::string& x, const std::string& y) {
    const std::string source[3] = {name, x, y};
    Row result;
    convert(source, result.cells);
    return result;
}

ZoneChangeFields Zones(const std::string& old_meridian, const std::string& new_meridian) {
    ZoneChangeFields fields;
    fields.central_meridian = old_meridian;
    fields.new_central_meridian = new_meridian;
    return fields;
}

TEST(ZoneChange, WorkedExampleFromMeridian0To3) {
    const FloatingPointScope scope;
    // 30°30′ N, 1°30′ E on Xi'an 1980, from the zone of meridian 0 to that of 3.
    const Row moved = Convert(ZoneChangeConversion(Zones("0", "3")), "P1", "3376500.1736", "644006.4942");
    EXPECT_EQ(moved.cells[0], "P1");
    EXPECT_EQ(moved.cells[1], "3376500.1736");
    EXPECT_EQ(moved.cells[2], "355993.5057");
    // The same geometry anywhere: 118°30′ from 117 to 120.
    const Row shifted = Convert(ZoneChangeConversion(Zones("117", "120")), "P1", "3376500.1736", "644006.4942");
    EXPECT_EQ(shifted.cells[1], moved.cells[1]);
    EXPECT_EQ(shifted.cells[2], moved.cells[2]);
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
    EXPECT_NO_THROW(RaiseFloatingPointErrors());
}

TEST(ZoneChange, ConstantsShiftTheEastingsOnly) {
    const FloatingPointScope scope;
    ZoneChangeFields fields = Zones("3", "3");
    fields.y_constant = "500000";
    fields.new_y_constant = "39500000";  // a new zone number travels in the constant
    const ZoneChangeSettings s = ReadZoneChangeSettings(fields);
    const ZonePoint p = ChangeZone(s, 3376500.1736L, 644006.4942L);
    EXPECT_NEAR(static_cast<double>(p.x), 3376500.1736, 1e-4);
    EXPECT_NEAR(static_cast<double>(p.y), 39644006.4942, 1e-4);
}

TEST(ZoneChange, AZoneNumberOfTheInputIsDroppedWhateverItIs) {
    const FloatingPointScope scope;
    const RowConversion convert = ZoneChangeConversion(Zones("0", "3"));
    const Row plain = Convert(convert, "P", "3376500.1736", "644006.4942");
    for (const char* y : {"38644006.4942", "1644006.4942", "20644006.4942"}) {
        const Row numbered = Convert(convert, "P", "3376500.1736", y);
        EXPECT_EQ(numbered.cells[1], plain.cells[1]) << y;
        EXPECT_EQ(numbered.cells[2], plain.cells[2]) << y;
    }
}

TEST(ZoneChange, FailuresStopBeforeAnyResult) {
    const auto error_of = [](const std::function<void()>& command) -> std::string {
        const FloatingPointScope scope;
        try {
            command();
        } catch (const CommandError& e) {
            return e.what();
        }
        return "";
    };
    ZoneChangeFields zero_flattening = Zones("abc", "3");
    zero_flattening.inverse_flattening = "";
    EXPECT_EQ(error_of([&] { ZoneChangeConversion(zero_flattening); }), "Floating point division by zero");
    ZoneChangeFields bad_constant = Zones("0", "3");
    bad_constant.new_y_constant = "500 000";
    EXPECT_EQ(error_of([&] { ZoneChangeConversion(bad_constant); }), "'500 000' is not a valid floating point value");

    ZoneChangeFields zero_axis = Zones("0", "3");
    zero_axis.a = "0";
    Row untouched{{"keep", "keep", "keep"}};
    EXPECT_EQ(error_of([&] {
                  const std::string source[3] = {"P", "3376500.1736", "644006.4942"};
                  ZoneChangeConversion(zero_axis)(source, untouched.cells);
              }),
              "Floating point division by zero");
    EXPECT_EQ(untouched.cells[1], "keep");
}

TEST(ZoneChangeLayout, LeftGroupsRoundHalfToEven) {
    EXPECT_EQ(ZoneChangeLeftGroupWidth(717), 352);  // 704 / 2
    EXPECT_EQ(ZoneChangeLeftGroupWidth(700), 344);  // 343.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(702), 344);  // 344.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(704), 346);  // 345.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(12), 0);     // -0.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(0), -6);     // -6.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(10), -2);    // -1.5
}

}  // namespace
}  // namespace coordconv
