#include "tools/cad/annotation.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "tests/tools/cad/fake_cad.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ErrorOf;

using testing::FakeCad;
using Numbers = std::vector<double>;

std::unique_ptr<CadAutomation> NoCad() { return nullptr; }

// --- plane coordinates (the main menu's "CAD标注平面坐标") ---

TEST(PlaneAnnotation, ShelfLineWithNorthingAboveAndEastingBelow) {
    FakeCad cad;
    cad.answers = {"2"};
    cad.picks = {{500123.4567, 3805678.9, 5}, {500200, 3805700, 7}};
    EXPECT_EQ(AnnotatePlane(cad.Attach()), CadCommandOutcome::kFinished);
    EXPECT_TRUE(cad.visible);
    EXPECT_EQ(cad.prompts,
              (std::vector<std::string>{kTextHeightPrompt, kPickPointPrompt, kPickLabelPrompt, kPickPointPrompt}));
    ASSERT_EQ(cad.bases.size(), 1u);
    EXPECT_EQ(cad.bases[0].x, 500123.4567);

    // "X=3805678.900" has 13 characters: W = 0.7 * 13 * h = 9.1h = 18.2.
    const auto lines = cad.CallsOf("AddLine");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].numbers, (Numbers{500123.4567, 3805678.9, 5, 500200, 3805700, 7}));
    EXPECT_EQ(lines[1].numbers, (Numbers{500200, 3805700, 7, 500200 + 18.2, 3805700, 5}));
    EXPECT_EQ(cad.CallsOf("Update").size(), 2u);
    const auto texts = cad.CallsOf("AddText");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "X=3805678.900");
    EXPECT_EQ(texts[0].numbers, (Numbers{500200, 3805700 + 0.6, 5, 2}));
    EXPECT_EQ(texts[1].text, "Y=500123.457");
    EXPECT_EQ(texts[1].numbers, (Numbers{500200, 3805700 - 2.6, 5, 2}));
    EXPECT_TRUE(cad.CallsOf("AddHatch").empty());
}

TEST(PlaneAnnotation, LabelToTheLeftStartsAtTheShelfsLeftEnd) {
    FakeCad cad;
    cad.answers = {" 1 "};
    cad.picks = {{100, 200, 0}, {90, 210, 0}, {100, 200, 0}, {100, 220, 0}};
    AnnotatePlane(cad.Attach());
    // "X=200.000" and "Y=100.000": 9 characters, W = 6.3.
    const auto lines = cad.CallsOf("AddLine");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_DOUBLE_EQ(lines[1].numbers[3], 90 - 6.3);
    const auto texts = cad.CallsOf("AddText");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_DOUBLE_EQ(texts[0].numbers[0], 90 - 6.3);
    EXPECT_DOUBLE_EQ(texts[1].numbers[0], 90 - 6.3);
    // Exactly above the point the shelf goes to the right.
    EXPECT_DOUBLE_EQ(lines[3].numbers[3], 100 + 6.3);
    EXPECT_DOUBLE_EQ(texts[2].numbers[0], 100);
}

TEST(PlaneAnnotation, TextHeightDefaultsToFourTimesLtScale) {
    FakeCad blank;
    blank.lt_scale = 2.5;
    blank.answers = {"   "};
    blank.picks = {{0, 0, 0}, {1, 1, 0}};
    AnnotatePlane(blank.Attach());
    ASSERT_EQ(blank.CallsOf("AddText").size(), 2u);
    EXPECT_EQ(blank.CallsOf("AddText")[0].numbers[3], 10);

    FakeCad integer;  // AutoCAD may answer a whole number
    integer.lt_scale = std::int32_t{3};
    integer.answers = {""};
    integer.picks = {{0, 0, 0}, {1, 1, 0}};
    AnnotatePlane(integer.Attach());
    EXPECT_EQ(integer.CallsOf("AddText")[0].numbers[3], 12);
}

TEST(PlaneAnnotation, FailuresBeforeTheFirstPickReachTheErrorBox) {
    FakeCad bad_height;
    bad_height.answers = {" 2,5 "};
    EXPECT_EQ(ErrorOf([&] { AnnotatePlane(bad_height.Attach()); }), "'2,5' is not a valid floating point value");
    EXPECT_EQ(bad_height.prompts.size(), 1u);

    FakeCad cancelled_height;  // Esc at the height prompt
    EXPECT_EQ(ErrorOf([&] { AnnotatePlane(cancelled_height.Attach()); }), FakeCad::kCancelText);

    FakeCad text_variable;
    text_variable.lt_scale = std::string("x");
    EXPECT_EQ(ErrorOf([&] { AnnotatePlane(text_variable.Attach()); }),
              "Could not convert variant of type (String) into type (Double)");

    EXPECT_EQ(AnnotatePlane(NoCad), CadCommandOutcome::kCadNotRunning);
}

TEST(PlaneAnnotation, CancellingTheLabelPickEndsQuietlyKeepingEarlierLabels) {
    FakeCad cad;
    cad.answers = {"1"};
    cad.picks = {{0, 0, 0}, {5, 5, 0}, {10, 10, 0}};  // the second label position is cancelled
    EXPECT_EQ(AnnotatePlane(cad.Attach()), CadCommandOutcome::kFinished);
    EXPECT_EQ(cad.CallsOf("AddText").size(), 2u);
    EXPECT_EQ(cad.CallsOf("AddLine").size(), 2u);
}

// --- geodetic coordinates ("CAD标注地理坐标") ---

// A drawing point for latitude and longitude (degrees) in the national
// 3° zone system of the 1980 Xi'an ellipsoid, less the CAD shifts.
CadPoint DrawingPointOf(long double latitude, long double longitude, int zone, long double x_shift,
                        long double y_shift) {
    const PlanePoint p = GaussForward(6378140, 1 / 298.257L, latitude, longitude - 3 * zone);
    return {static_cast<double>(p.y + 500000 + zone * 1000000.0L - y_shift), static_cast<double>(p.x - x_shift), 0};
}

// The longitude and latitude texts "开始标注" writes for one picked drawing point.
GeodeticLabel LabelDrawnAt(const GeodeticAnnotationFields& fields, double x, double y) {
    FakeCad cad;
    cad.picks = {{x, y, 0}, {x + 10, y + 10, 0}};
    AnnotateGeodetic(cad.Attach(), fields);
    const auto texts = cad.CallsOf("AddText");
    EXPECT_EQ(texts.size(), 2u);
    return texts.size() == 2 ? GeodeticLabel{texts[0].text, texts[1].text} : GeodeticLabel{};
}

TEST(GeodeticAnnotation, LabelsReadBackTheProjectedLatitudeAndLongitude) {
    GeodeticAnnotationFields fields;
    fields.x_shift = "3000000";
    fields.y_shift = "38000000";
    const CadPoint p = DrawingPointOf(39.5L, 116.25L, 39, 3000000, 38000000);
    const GeodeticLabel label = LabelDrawnAt(fields, p.x, p.y);
    EXPECT_EQ(label.latitude, "N 39°30′00″");
    EXPECT_EQ(label.longitude, "E116°15′00″");
    // 14 GBK bytes each: the letter (and blank), the digits, two bytes per mark.
    EXPECT_EQ(GeodeticLabelWidth(label, 2), 0.7L * 14 * 2);

    fields.second_decimals = 3;
    const GeodeticLabel finer = LabelDrawnAt(fields, p.x, p.y);
    EXPECT_EQ(finer.latitude, "N 39°30′00.000″");
    EXPECT_EQ(GeodeticLabelWidth(finer, 1), 0.7L * 18);
}

TEST(GeodeticAnnotation, SixDegreeZonesAndEastingsWithoutZoneNumber) {
    GeodeticAnnotationFields fields;
    // Zone 0: the meridian 0 for 3° zones, -3° for 6° zones.
    EXPECT_EQ(LabelDrawnAt(fields, 500000, 0).longitude, "E0°00′00″");
    fields.six_degree_zones = true;
    EXPECT_EQ(LabelDrawnAt(fields, 500000, 0).longitude, "E-3°00′00″");
    // 6° zone 20: central meridian 117°.
    const PlanePoint p = GaussForward(6378140, 1 / 298.257L, 30, -1);
    EXPECT_EQ(LabelDrawnAt(fields, static_cast<double>(p.y + 20500000), static_cast<double>(p.x)).longitude,
              "E116°00′00″");
}

TEST(GeodeticAnnotation, DotLeaderAndTextsAtTheirPlaces) {
    FakeCad cad;
    GeodeticAnnotationFields fields;
    fields.draw_leader = true;
    fields.text_height = "2";
    fields.circle_radius = "0.5";
    const CadPoint p = DrawingPointOf(39.5L, 116.25L, 39, 0, 0);
    const CadPoint p_with_z{p.x, p.y, 3};
    cad.picks = {p_with_z, {p.x - 40, p.y + 30, 9}, p_with_z, {p.x + 40, p.y + 30, 9}};
    EXPECT_EQ(AnnotateGeodetic(cad.Attach(), fields), CadCommandOutcome::kFinished);

    const auto hatches = cad.CallsOf("AddHatch");
    ASSERT_EQ(hatches.size(), 2u);
    EXPECT_EQ(hatches[0].text, "solid");
    EXPECT_EQ(hatches[0].numbers, (Numbers{0, 1}));  // pattern type 0, associative
    const auto circles = cad.CallsOf("AddCircle");
    ASSERT_EQ(circles.size(), 2u);
    EXPECT_EQ(circles[0].numbers, (Numbers{p.x, p.y, 3, 0.5}));
    const auto loops = cad.CallsOf("AppendOuterLoop");
    ASSERT_EQ(loops.size(), 2u);
    ASSERT_EQ(loops[0].objects.size(), 2u);  // the hatch, then its one-circle loop

    const long double w = 0.7L * 14 * 2;  // both texts are 14 GBK bytes
    const auto leaders = cad.CallsOf("AddLightWeightPolyLine");
    ASSERT_EQ(leaders.size(), 2u);
    EXPECT_EQ(leaders[0].numbers, (Numbers{p.x, p.y, p.x - 40, p.y + 30, static_cast<double>((p.x - 40) - w), p.y + 30}));
    EXPECT_EQ(leaders[1].numbers[4], static_cast<double>((p.x + 40) + w));
    const auto texts = cad.CallsOf("AddText");
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "E116°15′00″");
    EXPECT_EQ(texts[1].text, "N 39°30′00″");
    // Left of the point: both lines start 0.3h right of the leader's left end.
    EXPECT_EQ(texts[0].numbers, (Numbers{static_cast<double>((p.x - 40) + 0.3L * 2 - w),
                                         static_cast<double>(p.y + 30 + 0.3L * 2), 3, 2}));
    EXPECT_EQ(texts[1].numbers[1], static_cast<double>(p.y + 30 - 1.3L * 2));
    EXPECT_EQ(texts[2].numbers[0], static_cast<double>((p.x + 40) + 0.3L * 2));
}

TEST(GeodeticAnnotation, WithoutDotAndLeaderOnlyTheTextsAreDrawn) {
    FakeCad cad;
    GeodeticAnnotationFields fields;
    fields.draw_circle = false;
    cad.picks = {{39500000, 4400000, 0}, {39500010, 4400010, 0}};
    AnnotateGeodetic(cad.Attach(), fields);
    ASSERT_EQ(cad.calls.size(), 2u);
    EXPECT_EQ(cad.calls[0].member, "AddText");
    EXPECT_EQ(cad.calls[1].member, "AddText");
}

TEST(GeodeticAnnotation, FailuresBeforeTheFirstPickAndQuietEndsAfterIt) {
    EXPECT_EQ(AnnotateGeodetic(NoCad, GeodeticAnnotationFields{}), CadCommandOutcome::kCadNotRunning);

    FakeCad custom;  // a remembered custom ellipsoid with empty boxes
    GeodeticAnnotationFields empty_ellipsoid;
    empty_ellipsoid.a = "";
    empty_ellipsoid.inverse_flattening = "";
    EXPECT_EQ(ErrorOf([&] { AnnotateGeodetic(custom.Attach(), empty_ellipsoid); }), kDivisionByZeroText);
    EXPECT_TRUE(custom.prompts.empty());

    FakeCad bad_height;
    GeodeticAnnotationFields height;
    height.text_height = "六";
    EXPECT_EQ(ErrorOf([&] { AnnotateGeodetic(bad_height.Attach(), height); }),
              "'六' is not a valid floating point value");

    // A drawing call failing inside the loop ends it quietly; the dot stays.
    FakeCad failing;
    failing.failing_member = "AddText";
    failing.picks = {{39500000, 4400000, 0}, {39500010, 4400010, 0}, {39500000, 4400000, 0}};
    EXPECT_EQ(ErrorOf([&] { AnnotateGeodetic(failing.Attach(), GeodeticAnnotationFields{}); }), "");
    EXPECT_EQ(failing.CallsOf("AddCircle").size(), 1u);
    EXPECT_EQ(failing.prompts.size(), 2u);
}

}  // namespace
}  // namespace coordconv
