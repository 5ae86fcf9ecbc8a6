// The layer converter's failures that the GDAL check does not reach: a
// cancel, a floating-point fault and a point outside the source system each
// leave no output and no staging folder.
#include "convert/gis_layers.h"

#include <cmath>
#include <filesystem>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::EntriesIn;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(GisLayers, FailuresLeaveNoOutput) {
    const ScratchDir dir;
    // X easting 500100, Y northing 3376500: a Gauss plane point on its meridian.
    WriteBytes(dir.Path("points.geojson"),
               R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {"名称": "甲"},)"
               R"( "geometry": {"type": "LineString", "coordinates": [[500100, 3376500, 5], [500200, 3376600, 6]]}}]})");
    const PointConversion shift([](const PointXYH& p) { return PointXYH{p.x + 1, p.y + 2, p.H}; },
                                CoordinateKind::Plane, CoordinateKind::Plane, GaussPlaneCheck(500000));
    for (const char* name : {"out.gpkg", "out.shp"}) {
        GisConversionOptions cancel;
        cancel.progress = [](double) { return false; };
        try {
            ConvertGisDataset(dir.Path("points.geojson"), dir.Path(name), shift, cancel);
            ADD_FAILURE() << "not cancelled";
        } catch (const CommandError& error) {
            EXPECT_STREQ(error.what(), kGisCancelledText);
        }
        EXPECT_EQ(EntriesIn(dir.Path("")), 1) << name;
    }

    const PointConversion invalid(
        [](const PointXYH& p) {
            volatile long double zero = 0;
            return PointXYH{p.x, zero / zero, p.H};
        },
        CoordinateKind::Plane, CoordinateKind::Plane);
    EXPECT_THROW(
        {
            try {
                ConvertGisDataset(dir.Path("points.geojson"), dir.Path("out.gpkg"), invalid);
            } catch (const CommandError& error) {
                EXPECT_STREQ(error.what(), kInvalidOperationText);
                throw;
            }
        },
        CommandError);
    EXPECT_EQ(EntriesIn(dir.Path("")), 1);

    // The same line in a zone whose meridian lies 3° away: not a point of the source.
    const PointConversion other_zone([](const PointXYH& p) { return p; }, CoordinateKind::Plane,
                                     CoordinateKind::Plane, [](long double, long double y) {
                                         return std::fabs(y - 800000) > 100 ? std::string("far") : std::string();
                                     });
    try {
        ConvertGisDataset(dir.Path("points.geojson"), dir.Path("out.gpkg"), other_zone);
        ADD_FAILURE() << "converted";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("X=500100, Y=3376500: far"), std::string::npos) << error.what();
    }
    EXPECT_EQ(EntriesIn(dir.Path("")), 1);

    // And the one that works, for contrast: written, summary counted.
    const GisSummary summary = ConvertGisDataset(dir.Path("points.geojson"), dir.Path("out.gpkg"), shift);
    ASSERT_EQ(summary.layers.size(), 1u);
    EXPECT_EQ(summary.layers[0].features, 1);
    EXPECT_EQ(summary.layers[0].vertices, 2);
    EXPECT_EQ(EntriesIn(dir.Path("")), 2);
}

}  // namespace
}  // namespace coordconv
