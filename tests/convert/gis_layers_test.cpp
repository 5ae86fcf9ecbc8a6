// The layer converter's failures that the GDAL check does not reach: a
// cancel, a floating-point fault and a point outside the source system each
// leave no output and no staging folder; and its worker threads, whose output
// and first error are those of the serial run.
#include "convert/gis_layers.h"

#include <chrono>
#include <cmath>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::EntriesIn;
using testing::ReadBytes;
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


// 3000 lines of 3 vertices (several batches), the line of feature i at
// northing 3376500 + i: conversions can tell the features apart.
std::string ManyLines() {
    std::string json = R"({"type": "FeatureCollection", "features": [)";
    for (int i = 0; i < 3000; ++i) {
        const std::string x = std::to_string(3376500 + i);
        json += std::string(i ? "," : "") + R"({"type": "Feature", "properties": {"n": )" + std::to_string(i) +
                R"(}, "geometry": {"type": "LineString", "coordinates": [[500100.125, )" + x + "], [500200.5, " + x +
                ".75], [500300, " + x + ".5]]}}";
    }
    return json + "]}";
}

TEST(GisLayers, WorkerThreadsMatchTheSerialRun) {
    const ScratchDir dir;
    WriteBytes(dir.Path("lines.geojson"), ManyLines());
    // A conversion with rounding in every digit (a rotation and a scale).
    const PointConversion turn(
        [](const PointXYH& p) {
            return PointXYH{p.x * 0.9999987L + p.y * 1.3e-5L + 11.1L, p.y * 0.9999987L - p.x * 1.3e-5L - 7.7L, p.H};
        },
        CoordinateKind::Plane, CoordinateKind::Plane, GaussPlaneCheck(500000));
    for (const unsigned threads : {1U, 3U}) {
        GisConversionOptions options;
        options.threads = threads;
        const std::string name = "out" + std::to_string(threads);
        const GisSummary summary = ConvertGisDataset(dir.Path("lines.geojson"), dir.Path(name + ".shp"), turn, options);
        EXPECT_EQ(summary.layers.at(0).vertices, 9000) << threads;
    }
    for (const char* extension : {".shp", ".shx", ".dbf"})
        EXPECT_EQ(ReadBytes(dir.Path(std::string("out1") + extension)), ReadBytes(dir.Path(std::string("out3") + extension)))
            << extension;

    // The first faulty feature in input order names the error, though a
    // thread meets a later one of the same batch first (the earlier one is
    // slow): a division by zero (feature 1100) before an invalid operation
    // (1900), then the other way round, then two lines outside the source
    // zone (1100, 1900).
    auto fault_at = [](int first, int second) {
        return PointConversion(
            [first, second](const PointXYH& p) {
                volatile long double zero = 0;
                const long double row = std::floor(p.x) - 3376500;
                if (row == 1100) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                if (row == first) return PointXYH{p.x, 1 / zero, p.H};
                if (row == second) return PointXYH{p.x, zero / zero, p.H};
                return p;
            },
            CoordinateKind::Plane, CoordinateKind::Plane);
    };
    GisConversionOptions threads;
    threads.threads = 3;
    for (const auto& [first, second, expected] : {std::tuple{1100, 1900, kDivisionByZeroText},
                                                   std::tuple{1900, 1100, kInvalidOperationText}}) {
        try {
            ConvertGisDataset(dir.Path("lines.geojson"), dir.Path("fault.gpkg"), fault_at(first, second), threads);
            ADD_FAILURE() << "converted";
        } catch (const CommandError& error) {
            EXPECT_STREQ(error.what(), expected);
        }
    }
    const PointConversion outside([](const PointXYH& p) { return p; }, CoordinateKind::Plane, CoordinateKind::Plane,
                                  [](long double x, long double) {
                                      const long double row = std::floor(x) - 3376500;
                                      if (row == 1100) std::this_thread::sleep_for(std::chrono::milliseconds(20));
                                      return row == 1100 || row == 1900 ? std::string("far") : std::string();
                                  });
    try {
        ConvertGisDataset(dir.Path("lines.geojson"), dir.Path("fault.gpkg"), outside, threads);
        ADD_FAILURE() << "converted";
    } catch (const CommandError& error) {
        EXPECT_NE(std::string(error.what()).find("要素1100的"), std::string::npos) << error.what();
    }

    // A cancel while the workers convert the next batch; nothing written
    // by the failures either.
    const int entries = EntriesIn(dir.Path(""));
    threads.progress = [](double) { return false; };
    EXPECT_THROW(ConvertGisDataset(dir.Path("lines.geojson"), dir.Path("cancel.gpkg"), turn, threads), CommandError);
    EXPECT_EQ(EntriesIn(dir.Path("")), entries);
    EXPECT_FALSE(std::filesystem::exists(dir.Path("fault.gpkg")));
}

// Point files may be named .tab or .json too: those names are datasets only
// when the file starts as a MapInfo table or GeoJSON.
TEST(GisLayers, TabAndJsonNamesAreDatasetsByTheirContent) {
    const ScratchDir dir;
    const struct {
        const char* name;
        const char* bytes;
        bool dataset;
    } cases[] = {{"points.tab", "P1\t3376500\t500100\r\n", false},
                 {"layer.TAB", "!table\r\n!version 300\r\n", true},
                 {"points.json", "P1,3376500,500100\r\n", false},
                 {"layer.json", "\xEF\xBB\xBF  {\"type\": \"FeatureCollection\"}", true},
                 {"parcels.shp", "", true},
                 {"points.txt", "{", false}};
    for (const auto& c : cases) {
        WriteBytes(dir.Path(c.name), c.bytes);
        EXPECT_EQ(IsGisDataset(dir.Path(c.name)), c.dataset) << c.name;
    }
}

}  // namespace
}  // namespace coordconv
