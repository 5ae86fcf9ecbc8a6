// Whole GIS datasets (Shapefile, GeoPackage, GeoJSON, KML, GML, MapInfo,
// FlatGeobuf, OpenFileGDB folders: any vector source GDAL reads) through a
// tool's conversion, every layer, feature, field and geometry kept.
//
// Axes: geometry X is the easting (the program's y, with or without its
// zone number as the tool's Y constant reads it) and Y the northing (the
// program's x); on geodetic sides X is the longitude and Y the latitude in
// decimal degrees. Z is the height and enters the conversion as H; M is
// kept. Every vertex is converted, curves (circular strings, compound
// curves, curve polygons) included.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/errors.h"
#include "core/point_conversion.h"

namespace coordconv {

struct GisConversionOptions {
    // The code page of attribute texts where the source does not say it (a
    // Shapefile without .cpg), and of a Shapefile written: "GBK" or "UTF-8".
    std::string encoding = "GBK";
    // Convert even when a layer's declared system is not the tool's source.
    bool force = false;
    // Called now and then with the share of the features done (0..1);
    // returning false cancels (CommandError kGisCancelledText, no output).
    std::function<bool(double)> progress;
    // Threads converting the vertices (GDAL reads and writes on the calling
    // thread): 0 for one per core (at most 4), 1 for none besides the
    // caller. The output is the same byte for byte whatever the number.
    unsigned threads = 0;
};

inline constexpr const char* kGisCancelledText = "图层转换已取消";

// The refusal of layers whose declared system is not the tool's source; the
// same conversion with `force` converts them anyway.
class GisSystemRefusal : public CommandError {
public:
    GisSystemRefusal(const std::string& message, std::vector<std::string> refusals)
        : CommandError(message), refusals_(std::move(refusals)) {}
    // Each refused layer and what differs: "layer: message".
    const std::vector<std::string>& Refusals() const { return refusals_; }

private:
    std::vector<std::string> refusals_;
};

struct GisTruncatedField {
    std::string layer;
    std::string from;  // the field name in the source
    std::string to;    // the name the output format could keep
};

// A field whose type the output format does not have, written as the
// nearest one it has (a 64-bit integer as a real, a date-time as a date or text).
struct GisChangedType {
    std::string layer;
    std::string field;
    std::string from;  // GDAL's type names: "Integer64", "DateTime", ...
    std::string to;
};

struct GisLayerSummary {
    std::string name;
    long features = 0;
    long vertices = 0;
    long linearized = 0;  // curved geometries written as lines (formats without curves)
    long split = 0;       // multi-points and collections MapInfo writes as one feature per part
    std::string source_system;  // as the layer declared it ("" when none)
};

struct GisSummary {
    std::vector<GisLayerSummary> layers;
    std::vector<std::string> refusals;  // layers refused and why
    std::vector<GisTruncatedField> truncated_fields;
    std::vector<GisChangedType> changed_types;
    std::string system_written;         // "EPSG:4527", or the WKT written, or "" when unknown
};

// True when the name is a GIS dataset by its extension (.shp .gpkg .geojson
// .json .kml .gml .tab .mif .fgb .gdb), any case.
bool IsGisPath(const std::string& path);

// True when `path` is a GIS dataset to convert: a name IsGisPath accepts,
// where a .tab or .json must also start as a MapInfo table ("!table") or
// GeoJSON ('{'), as point files (tab-separated columns) are named so too.
bool IsGisDataset(const std::string& path);

// Converts every layer of `input` into `output`, whose format follows its
// extension. The output appears only when the whole dataset converted.
// Raises GisSystemRefusal for a declared system that is not the tool's
// source (unless `force`), CommandError for an unreadable source, a point
// that is no point of the source, a floating-point fault or a cancel.
GisSummary ConvertGisDataset(const std::string& input, const std::string& output, const PointConversion& conversion,
                             const GisConversionOptions& options = {});

// The summary as lines of text (UTF-8), and as a JSON object.
std::string GisSummaryText(const GisSummary& summary);
std::string GisSummaryJson(const GisSummary& summary);

}  // namespace coordconv
