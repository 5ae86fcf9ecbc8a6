#include "convert/gis_layers.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <exception>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include "convert/gis_systems.h"
#include "convert/quiet_gdal.h"
#include "convert/summary_json.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "table/safe_file.h"

namespace coordconv {
namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The extension of a path in lower case with its dot (".shp"), "" when none;
// a trailing slash (a folder such as data.gdb/) is ignored.
std::string ExtensionOf(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
    return Lower(path.substr(dot));
}

std::string StemOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? name : name.substr(0, dot);
}

// The output formats by extension: GDAL's driver, whether a file holds one
// layer only (further layers go to files of their own beside it), and the
// files a dataset of that name is made of besides itself.
struct OutputFormat {
    const char* driver;
    bool single_layer;
    std::vector<std::string> companions;  // extensions, or suffixes starting with '-'
};

const OutputFormat* OutputFormatOf(const std::string& extension) {
    static const std::map<std::string, OutputFormat> kFormats = {
        {".gpkg", {"GPKG", false, {"-wal", "-shm", "-journal"}}},
        {".shp", {"ESRI Shapefile", true, {".shx", ".dbf", ".prj", ".cpg", ".qix", ".sbn", ".sbx", ".qpj"}}},
        {".geojson", {"GeoJSON", true, {}}},
        {".json", {"GeoJSON", true, {}}},
        {".kml", {"KML", false, {}}},
        {".gml", {"GML", false, {".xsd", ".gfs"}}},
        {".tab", {"MapInfo File", true, {".dat", ".map", ".id", ".ind"}}},
        {".mif", {"MapInfo File", true, {".mid"}}},
        {".fgb", {"FlatGeobuf", true, {}}},
    };
    const auto found = kFormats.find(extension);
    return found == kFormats.end() ? nullptr : &found->second;
}

// GDAL's name of the code page ("CP936" reads and writes GBK; GB18030
// agrees with it on every character GBK has).
std::string GdalEncoding(const std::string& encoding) {
    const std::string lower = Lower(encoding);
    if (lower == "utf-8" || lower == "utf8") return "UTF-8";
    return "CP936";
}

// The code page written into a shapefile's .cpg: Windows' number for GBK,
// as desktop GIS programs write and read it.
std::string CpgEncoding(const std::string& encoding) {
    return GdalEncoding(encoding) == "UTF-8" ? "UTF-8" : "936";
}

struct DatasetCloser {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

// The encoded length in bytes of a UTF-8 text in `encoding` (GDAL's name).
std::size_t EncodedLength(const std::string& text, const std::string& encoding) {
    if (encoding == "UTF-8") return text.size();
    char* recoded = CPLRecode(text.c_str(), CPL_ENC_UTF8, encoding.c_str());
    const std::size_t length = std::strlen(recoded);
    CPLFree(recoded);
    return length;
}

// The start of each UTF-8 character of `text`.
std::vector<std::size_t> CharacterStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < text.size(); ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    return starts;
}

// A shapefile field name: at most 10 bytes in the .dbf's code page, cut at
// a character boundary (GDAL would cut inside a character) and made unique
// among `taken` by a number at its end.
std::string ShapefileFieldName(const std::string& name, const std::string& encoding, const std::set<std::string>& taken) {
    constexpr std::size_t kMaxBytes = 10;
    const std::vector<std::size_t> starts = CharacterStarts(name);
    auto cut = [&](std::size_t max_bytes) {
        std::string kept;
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : name.size();
            const std::string longer = name.substr(0, end);
            if (EncodedLength(longer, encoding) > max_bytes) break;
            kept = longer;
        }
        return kept;
    };
    std::string candidate = EncodedLength(name, encoding) <= kMaxBytes ? name : cut(kMaxBytes);
    if (candidate.empty()) candidate = "FIELD";
    for (int number = 1; taken.count(Lower(candidate)) != 0 && number < 100000; ++number) {
        const std::string suffix = "_" + std::to_string(number);
        candidate = cut(kMaxBytes - suffix.size()) + suffix;
    }
    return candidate;
}

// A MapInfo field name: GDAL 3.6 replaces every byte of a name that is not
// an ASCII letter, digit or '_' (cutting Chinese names into unreadable
// bytes), so such a name becomes FIELD_<n> (n counted from 1), and at most
// 31 characters are kept.
std::string MapInfoFieldName(const std::string& name, int index, const std::set<std::string>& taken) {
    bool plain = !name.empty() && name.size() <= 31;
    for (const char c : name)
        plain = plain && ((std::isalnum(static_cast<unsigned char>(c)) != 0 && static_cast<unsigned char>(c) < 0x80) || c == '_');
    std::string candidate = plain ? name : "FIELD_" + std::to_string(index + 1);
    for (int number = 1; taken.count(Lower(candidate)) != 0 && number < 100000; ++number)
        candidate = "FIELD_" + std::to_string(index + 1) + "_" + std::to_string(number);
    return candidate;
}

// True for the systems that stand for "none declared": a local system
// without a datum (a MapInfo NonEarth table) and the GeoPackage's
// "Undefined cartesian SRS" and "Undefined geographic SRS" of a layer
// written without one.
bool Undeclared(const OGRSpatialReference& system) {
    const char* name = system.GetName();
    if (name != nullptr && (std::strcmp(name, "Undefined geographic SRS") == 0 ||
                            std::strcmp(name, "Undefined cartesian SRS") == 0))
        return true;
    return system.IsLocal() != 0;
}

// True when the conversion gives the plane coordinates of the layer's
// extent (its corners and centre) back unchanged to the last bit.
bool KeepsPlaneCoordinates(const PointConversion& conversion, OGRLayer& layer) {
    if (!conversion.PlaneToPlane()) return false;
    OGREnvelope extent;
    if (layer.GetExtent(&extent, TRUE) != OGRERR_NONE) return false;
    const double xs[] = {extent.MinX, extent.MaxX, (extent.MinX + extent.MaxX) / 2};
    const double ys[] = {extent.MinY, extent.MaxY, (extent.MinY + extent.MaxY) / 2};
    for (int k = 0; k < 3; ++k) {
        const PointXYH p = conversion.Convert(ys[k], xs[k], 0);
        if (p.x != static_cast<long double>(ys[k]) || p.y != static_cast<long double>(xs[k])) return false;
    }
    return true;
}

// The declared system of a layer as a short text: "EPSG:n" when it names
// its authority code, else its name.
std::string SystemText(const OGRSpatialReference& system) {
    const char* authority = system.GetAuthorityName(nullptr);
    const char* code = system.GetAuthorityCode(nullptr);
    if (authority != nullptr && code != nullptr) return std::string(authority) + ":" + code;
    const char* name = system.GetName();
    if (name != nullptr && name[0] != '\0') return name;
    char* wkt = nullptr;
    system.exportToWkt(&wkt);
    std::string text = wkt != nullptr ? wkt : "";
    CPLFree(wkt);
    return text;
}

std::string WktOf(const OGRSpatialReference& system) {
    char* wkt = nullptr;
    const char* const options[] = {"FORMAT=WKT2_2019", nullptr};
    system.exportToWkt(&wkt, options);
    std::string text = wkt != nullptr ? wkt : "";
    CPLFree(wkt);
    return text;
}

// Converts the vertices of one geometry in place.
class GeometryConverter {
public:
    GeometryConverter(const PointConversion& conversion) : conversion_(conversion) {}

    void SetPlace(const std::string& layer, GIntBig fid) {
        layer_ = &layer;
        fid_ = fid;
    }
    long vertices = 0;

    void Convert(OGRGeometry* geometry) {
        if (geometry == nullptr || geometry->IsEmpty()) return;
        switch (wkbFlatten(geometry->getGeometryType())) {
        case wkbPoint: {
            OGRPoint* point = geometry->toPoint();
            double X = 0, Y = 0, Z = 0;
            Map(point->getX(), point->getY(), point->getZ(), point->Is3D(), X, Y, Z);
            point->setX(X);
            point->setY(Y);
            if (point->Is3D()) point->setZ(Z);
            return;
        }
        case wkbLineString:
        case wkbLinearRing:
        case wkbCircularString: {
            OGRSimpleCurve* curve = geometry->toSimpleCurve();
            const bool has_z = curve->Is3D();
            for (int i = 0; i < curve->getNumPoints(); ++i) {
                double X = 0, Y = 0, Z = 0;
                Map(curve->getX(i), curve->getY(i), has_z ? curve->getZ(i) : 0, has_z, X, Y, Z);
                // setPoint(i, X, Y) keeps the vertex's Z and M.
                curve->setPoint(i, X, Y);
                if (has_z) curve->setZ(i, Z);
            }
            return;
        }
        case wkbCompoundCurve: {
            OGRCompoundCurve* compound = geometry->toCompoundCurve();
            for (int i = 0; i < compound->getNumCurves(); ++i) Convert(compound->getCurve(i));
            return;
        }
        case wkbPolygon:
        case wkbCurvePolygon:
        case wkbTriangle: {
            OGRCurvePolygon* polygon = geometry->toCurvePolygon();
            Convert(polygon->getExteriorRingCurve());
            for (int i = 0; i < polygon->getNumInteriorRings(); ++i) Convert(polygon->getInteriorRingCurve(i));
            return;
        }
        case wkbPolyhedralSurface:
        case wkbTIN: {
            OGRPolyhedralSurface* surface = geometry->toPolyhedralSurface();
            for (int i = 0; i < surface->getNumGeometries(); ++i) Convert(surface->getGeometryRef(i));
            return;
        }
        default:
            if (OGR_GT_IsSubClassOf(wkbFlatten(geometry->getGeometryType()), wkbGeometryCollection)) {
                OGRGeometryCollection* collection = geometry->toGeometryCollection();
                for (int i = 0; i < collection->getNumGeometries(); ++i) Convert(collection->getGeometryRef(i));
                return;
            }
            throw CommandError("图层" + *layer_ + "要素" + std::to_string(fid_) + "的几何类型" +
                               geometry->getGeometryName() + "不能转换");
        }
    }

private:
    // Layer X, Y, Z -> converted X, Y, Z: X is the easting y (longitude L),
    // Y the northing x (latitude B).
    void Map(double X, double Y, double Z, bool has_z, double& X2, double& Y2, double& Z2) {
        const long double x = Y;
        const long double y = X;
        if (conversion_.Source() == CoordinateKind::Plane) {
            const std::string problem = conversion_.CheckSource(x, y);
            if (!problem.empty())
                throw CommandError("图层" + *layer_ + "要素" + std::to_string(fid_) +
                                   "的坐标不是原坐标系的平面坐标 (X=" + ShortestDoubleText(X) + ", Y=" +
                                   ShortestDoubleText(Y) + ": " + problem +
                                   ")，请检查中央子午线和Y常数 (图层X为横坐标y，Y为纵坐标x)");
        } else if (!(std::fabs(Y) <= 90 && std::fabs(X) <= 360)) {
            throw CommandError("图层" + *layer_ + "要素" + std::to_string(fid_) + "的坐标不是经纬度 (X=" +
                               ShortestDoubleText(X) + ", Y=" + ShortestDoubleText(Y) +
                               ")，图层X应为经度L、Y为纬度B (十进制度)");
        }
        const PointXYH p = conversion_.Convert(x, y, has_z ? static_cast<long double>(Z) : 0.0L);
        X2 = static_cast<double>(p.y);
        Y2 = static_cast<double>(p.x);
        Z2 = has_z ? static_cast<double>(p.H) : 0;
        if (!std::isfinite(X2) || !std::isfinite(Y2) || !std::isfinite(Z2)) {
            RaiseFloatingPointErrors();
            throw CommandError(kInvalidOperationText);
        }
        ++vertices;
    }

    const PointConversion& conversion_;
    const std::string* layer_ = nullptr;
    GIntBig fid_ = 0;
};

// A feature read from the source and the outcome of converting its
// geometries: the vertices converted, or the error the conversion raised.
struct FeatureWork {
    std::unique_ptr<OGRFeature> feature;
    GIntBig fid = 0;
    std::vector<OGRGeometry*> geometries;  // the feature's geometry fields, taken on the reading thread
    long vertices = 0;
    std::exception_ptr error;
};

// The number of threads converting vertices for `requested` (0: one per
// core, at most 4).
unsigned ConversionThreads(unsigned requested) {
    if (requested != 0) return requested;
    return std::clamp(std::thread::hardware_concurrency(), 1U, 4U);
}

// Converts the geometries of one feature, as the serial loop did: the
// floating-point flags (per thread) cleared before and checked after; any
// error is kept for the writer, which raises the first one in input order.
void ConvertFeature(GeometryConverter& converter, const std::string& layer_name, FeatureWork& work) {
    try {
        converter.vertices = 0;
        converter.SetPlace(layer_name, work.fid);
        ClearFloatingPointFlags();
        for (OGRGeometry* geometry : work.geometries) converter.Convert(geometry);
        RaiseFloatingPointErrors();
        work.vertices = converter.vertices;
    } catch (...) {
        work.error = std::current_exception();
    }
}

// Converts a batch of features on worker threads while the calling thread
// goes on reading and writing with GDAL. The workers touch only the
// geometries of the batch (no dataset, layer or feature), each feature's by
// one thread; Start hands a batch over and Wait takes it back. With one
// thread the batch is converted on the calling thread within Start.
class BatchConverter {
public:
    BatchConverter(const PointConversion& conversion, const std::string& layer_name, unsigned threads)
        : conversion_(conversion), layer_name_(layer_name), threads_(threads) {}
    ~BatchConverter() {
        stop_ = true;
        Wait();
    }
    BatchConverter(const BatchConverter&) = delete;
    BatchConverter& operator=(const BatchConverter&) = delete;

    void Start(std::vector<FeatureWork>& batch) {
        if (threads_ <= 1) {
            GeometryConverter converter(conversion_);
            for (FeatureWork& work : batch) ConvertFeature(converter, layer_name_, work);
            return;
        }
        next_ = 0;
        const std::size_t threads = std::min<std::size_t>(threads_, batch.size());
        for (std::size_t t = 0; t < threads; ++t)
            workers_.emplace_back([this, &batch] {
                // GDAL's error handler is per thread: keep the workers as quiet as the caller.
                CPLPushErrorHandler(CPLQuietErrorHandler);
                GeometryConverter converter(conversion_);
                for (std::size_t k = next_++; k < batch.size() && !stop_; k = next_++)
                    ConvertFeature(converter, layer_name_, batch[k]);
                CPLPopErrorHandler();
            });
    }

    void Wait() {
        for (std::thread& worker : workers_) worker.join();
        workers_.clear();
    }

private:
    const PointConversion& conversion_;
    const std::string& layer_name_;
    const unsigned threads_;
    std::vector<std::thread> workers_;
    std::atomic<std::size_t> next_{0};
    std::atomic<bool> stop_{false};
};

// Reads up to `count` features of the layer; fewer at its end.
std::vector<FeatureWork> ReadBatch(OGRLayer& layer, std::size_t count) {
    std::vector<FeatureWork> batch;
    batch.reserve(count);
    while (batch.size() < count) {
        std::unique_ptr<OGRFeature> feature(layer.GetNextFeature());
        if (!feature) break;
        FeatureWork work;
        work.fid = feature->GetFID();
        for (int g = 0; g < feature->GetGeomFieldCount(); ++g) work.geometries.push_back(feature->GetGeomFieldRef(g));
        work.feature = std::move(feature);
        batch.push_back(std::move(work));
    }
    return batch;
}

// True when the driver writes fields of `type`.
bool FormatHasType(GDALDriver& driver, OGRFieldType type) {
    const char* types = driver.GetMetadataItem(GDAL_DMD_CREATIONFIELDDATATYPES);
    if (types == nullptr) return true;
    const CPLStringList list(CSLTokenizeString2(types, " ", 0));
    return list.FindString(OGRFieldDefn::GetFieldTypeName(type)) >= 0;
}

// The one geometry type of a layer's features for a format that holds one:
// the type itself when all agree, the multi type of their family (points,
// curves, surfaces) when single and multi parts mix, with Z and M when any
// feature has them; wkbUnknown for a mix of families.
OGRwkbGeometryType CommonGeometryType(OGRLayer& layer) {
    std::set<int> types;
    bool has_z = false, has_m = false;
    layer.ResetReading();
    for (;;) {
        std::unique_ptr<OGRFeature> feature(layer.GetNextFeature());
        if (!feature) break;
        const OGRGeometry* geometry = feature->GetGeometryRef();
        if (geometry == nullptr) continue;
        types.insert(wkbFlatten(geometry->getGeometryType()));
        has_z = has_z || geometry->Is3D();
        has_m = has_m || geometry->IsMeasured();
    }
    layer.ResetReading();
    if (types.empty()) return layer.GetGeomType();
    OGRwkbGeometryType common = wkbUnknown;
    if (types.size() == 1) {
        common = static_cast<OGRwkbGeometryType>(*types.begin());
    } else {
        auto all_in = [&](std::initializer_list<int> family) {
            for (const int type : types)
                if (std::find(family.begin(), family.end(), type) == family.end()) return false;
            return true;
        };
        const bool curved = types.count(wkbCircularString) || types.count(wkbCompoundCurve) ||
                            types.count(wkbMultiCurve) || types.count(wkbCurvePolygon) || types.count(wkbMultiSurface);
        if (all_in({wkbPoint, wkbMultiPoint}))
            common = wkbMultiPoint;
        else if (all_in({wkbLineString, wkbMultiLineString, wkbCircularString, wkbCompoundCurve, wkbMultiCurve}))
            common = curved ? wkbMultiCurve : wkbMultiLineString;
        else if (all_in({wkbPolygon, wkbMultiPolygon, wkbCurvePolygon, wkbMultiSurface}))
            common = curved ? wkbMultiSurface : wkbMultiPolygon;
        else
            return wkbUnknown;
    }
    if (common == wkbGeometryCollection) return wkbUnknown;
    return OGR_GT_SetModifier(common, has_z, has_m);
}

// The extent of a layer's features as converted.
OGREnvelope ConvertedExtent(OGRLayer& layer, GeometryConverter& converter, const std::string& layer_name) {
    OGREnvelope extent;
    layer.ResetReading();
    for (;;) {
        std::unique_ptr<OGRFeature> feature(layer.GetNextFeature());
        if (!feature) break;
        converter.SetPlace(layer_name, feature->GetFID());
        ClearFloatingPointFlags();
        for (int g = 0; g < feature->GetGeomFieldCount(); ++g) {
            OGRGeometry* geometry = feature->GetGeomFieldRef(g);
            if (geometry == nullptr || geometry->IsEmpty()) continue;
            converter.Convert(geometry);
            OGREnvelope one;
            geometry->getEnvelope(&one);
            extent.Merge(one);
        }
        RaiseFloatingPointErrors();
    }
    layer.ResetReading();
    return extent;
}

// Open options of the source: a shapefile without .cpg is read in the
// chosen code page (a .cpg, when there is one, says it).
CPLStringList OpenOptions(const std::string& input, const GisConversionOptions& options) {
    CPLStringList open_options;
    if (ExtensionOf(input) == ".shp") {
        const std::string base = input.substr(0, input.size() - 4);
        struct stat status {};
        const bool has_cpg = stat((base + ".cpg").c_str(), &status) == 0 || stat((base + ".CPG").c_str(), &status) == 0;
        if (!has_cpg) open_options.SetNameValue("ENCODING", GdalEncoding(options.encoding).c_str());
    }
    return open_options;
}

// A file name made of a layer's name: characters a file name cannot hold
// become '_'.
std::string FileNamePart(const std::string& name) {
    std::string part;
    for (const char c : name) part += (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' ||
                                        c == '<' || c == '>' || c == '|' || static_cast<unsigned char>(c) < 0x20)
                                           ? '_'
                                           : c;
    return part.empty() ? "layer" : part;
}

}  // namespace

bool IsGisPath(const std::string& path) {
    static const std::set<std::string> kExtensions = {".shp", ".gpkg", ".geojson", ".json", ".kml", ".gml",
                                                      ".tab", ".mif", ".fgb", ".gdb"};
    return kExtensions.count(ExtensionOf(path)) != 0;
}

bool IsGisDataset(const std::string& path) {
    if (!IsGisPath(path)) return false;
    const std::string extension = ExtensionOf(path);
    if (extension != ".tab" && extension != ".json") return true;
    std::ifstream file(path, std::ios::binary);
    std::string head(64, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    std::size_t start = head.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < head.size() && std::isspace(static_cast<unsigned char>(head[start]))) ++start;
    if (extension == ".json") return start < head.size() && head[start] == '{';
    return Lower(head.substr(start, 6)) == "!table";
}

GisSummary ConvertGisDataset(const std::string& input, const std::string& output, const PointConversion& conversion,
                             const GisConversionOptions& options) {
    const OutputFormat* const format = OutputFormatOf(ExtensionOf(output));
    if (format == nullptr)
        throw CommandError("图层输出文件的扩展名应为.gpkg、.shp、.geojson、.kml、.gml、.tab、.mif或.fgb");
    QuietGdal quiet;
    GisSummary summary;

    // The source.
    const CPLStringList open_options = OpenOptions(input, options);
    Dataset source(GDALDataset::Open(input.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, nullptr,
                                     open_options.List(), nullptr));
    if (!source) {
        struct stat status {};
        if (stat(input.c_str(), &status) != 0) throw CommandError("File not found");
        throw CommandError("GDAL不能读取图层文件" + LastGdalMessage());
    }
    const int layer_count = source->GetLayerCount();
    if (layer_count == 0) throw CommandError("图层文件中没有图层");

    // The systems: the target written into every layer, the source checked
    // against each layer's own declaration.
    // A side whose central meridian the tool does not name (the compensation
    // tool) takes that of the first layer declaring a system; without one
    // the target stays unknown.
    std::string first_declared;
    for (int i = 0; i < layer_count && first_declared.empty(); ++i) {
        const OGRSpatialReference* declared = source->GetLayer(i)->GetSpatialRef();
        if (declared != nullptr && !Undeclared(*declared)) first_declared = WktOf(*declared);
    }
    const ConversionSystems systems = WithDeclaredMeridian(conversion.Systems(), first_declared);
    OGRSpatialReference target_system;
    bool has_target = false;
    const std::string definition = systems.target ? SystemDefinition(*systems.target) : std::string();
    if (!definition.empty()) {
        if (target_system.SetFromUserInput(definition.c_str()) != OGRERR_NONE)
            throw CommandError("新坐标系不能写入图层" + LastGdalMessage());
        target_system.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        has_target = true;
        summary.system_written = definition;
    }
    const bool kml = std::string(format->driver) == "KML";
    if (kml) {
        // KML holds WGS 84 longitudes and latitudes: GDAL turns the target
        // system into them, which needs that system.
        if (!has_target) throw CommandError("新坐标系未知，不能写入KML (KML只保存WGS 84经纬度)");
        OGRSpatialReference wgs84;
        wgs84.importFromEPSG(4326);
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        if (!target_system.IsSame(&wgs84)) summary.system_written = "EPSG:4326";
    }

    long long total_features = 0;
    for (int i = 0; i < layer_count; ++i) {
        OGRLayer* layer = source->GetLayer(i);
        GisLayerSummary layer_summary;
        layer_summary.name = layer->GetName();
        const OGRSpatialReference* declared = layer->GetSpatialRef();
        if (declared != nullptr && !Undeclared(*declared)) {
            layer_summary.source_system = SystemText(*declared);
            if (systems.source) {
                const std::string problem = CheckDeclaredSystem(WktOf(*declared), *systems.source);
                if (!problem.empty())
                    summary.refusals.push_back(layer_summary.name + ": " + problem +
                                               (options.force ? " (已强制转换)" : ""));
            }
        }
        summary.layers.push_back(layer_summary);
        if (options.progress) total_features += std::max<GIntBig>(0, layer->GetFeatureCount(TRUE));
    }
    if (!summary.refusals.empty() && !options.force) {
        std::string message = "图层的坐标系不是原坐标系，未转换:";
        for (const std::string& refusal : summary.refusals) message += "\n  " + refusal;
        throw GisSystemRefusal(message, summary.refusals);
    }

    // The output, made in a staging folder beside the target.
    StagingFolder staging(output);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(format->driver);
    if (driver == nullptr) throw CommandError(std::string("GDAL没有") + format->driver + "驱动");
    const bool shapefile = std::string(format->driver) == "ESRI Shapefile";
    const bool mapinfo = std::string(format->driver) == "MapInfo File";
    const std::string encoding = GdalEncoding(options.encoding);
    const std::string extension = ExtensionOf(output);
    const std::string stem = StemOf(staging.StagedPath());
    const bool curves = driver->GetMetadataItem(GDAL_DCAP_CURVE_GEOMETRIES) != nullptr;
    const bool keeps_fid = [&] {
        const char* list = driver->GetMetadataItem(GDAL_DS_LAYER_CREATIONOPTIONLIST);
        return list != nullptr && std::strstr(list, "name='FID'") != nullptr;
    }();

    GeometryConverter converter(conversion);
    const unsigned threads = ConversionThreads(options.threads);
    long long done = 0;
    double reported = 0;
    std::vector<std::string> written_names = {StemOf(output) + extension};
    Dataset shared;
    for (int i = 0; i < layer_count; ++i) {
        OGRLayer* layer = source->GetLayer(i);
        const std::string layer_name = layer->GetName();
        // One file per layer for the single-layer formats: the first takes the
        // output's name, the others <name>_<layer> beside it.
        Dataset own;
        GDALDataset* target = nullptr;
        if (format->single_layer || !shared) {
            std::string path = staging.StagedPath();
            if (format->single_layer && i > 0) {
                path = staging.Path() + "/" + stem + "_" + FileNamePart(layer_name) + extension;
                written_names.push_back(StemOf(path) + extension);
            }
            CPLStringList creation;
            if (mapinfo && extension == ".mif") creation.SetNameValue("FORMAT", "MIF");
            Dataset made(driver->Create(path.c_str(), 0, 0, 0, GDT_Unknown, creation.List()));
            if (!made) throw CommandError("GDAL不能创建图层文件" + LastGdalMessage());
            if (format->single_layer)
                own = std::move(made);
            else
                shared = std::move(made);
        }
        target = format->single_layer ? own.get() : shared.get();

        CPLStringList layer_options;
        if (shapefile) layer_options.SetNameValue("ENCODING", CpgEncoding(options.encoding).c_str());
        if (mapinfo) layer_options.SetNameValue("ENCODING", encoding.c_str());
        const std::string fid_column = layer->GetFIDColumn();
        // The source's feature ids are kept where both name an id column (as
        // ogr2ogr keeps them); elsewhere the output numbers its features.
        const bool fid_kept = keeps_fid && !fid_column.empty();
        if (fid_kept) layer_options.SetNameValue("FID", fid_column.c_str());
        // MapInfo stores integer coordinates within the layer's bounds: they
        // are those of the converted features (a first pass), so that the
        // resolution is far below a millimetre.
        if (mapinfo) {
            const OGREnvelope bounds = ConvertedExtent(*layer, converter, layer_name);
            if (bounds.IsInit()) {
                const double margin = std::max({bounds.MaxX - bounds.MinX, bounds.MaxY - bounds.MinY, 1.0}) * 0.01;
                const std::string text = ShortestDoubleText(bounds.MinX - margin) + "," +
                                         ShortestDoubleText(bounds.MinY - margin) + "," +
                                         ShortestDoubleText(bounds.MaxX + margin) + "," +
                                         ShortestDoubleText(bounds.MaxY + margin);
                layer_options.SetNameValue("BOUNDS", text.c_str());
            }
        }
        OGRFeatureDefn* source_definition = layer->GetLayerDefn();
        OGRwkbGeometryType geometry_type =
            source_definition->GetGeomFieldCount() > 0 ? source_definition->GetGeomFieldDefn(0)->GetType() : wkbNone;
        // MapInfo tables hold any mix of types; a shapefile or FlatGeobuf
        // layer holds one, the multi type where single and multi parts mix.
        if (mapinfo && geometry_type != wkbNone) geometry_type = wkbUnknown;
        const bool one_type = shapefile || std::string(format->driver) == "FlatGeobuf";
        if (one_type && geometry_type != wkbNone) {
            geometry_type = CommonGeometryType(*layer);
            if (shapefile && geometry_type == wkbUnknown)
                throw CommandError("图层" + layer_name + "中有点、线、面等不同的几何类型，Shapefile只能保存一种，请输出为.gpkg");
        }
        const bool promote_to_multi = OGR_GT_IsSubClassOf(wkbFlatten(geometry_type), wkbGeometryCollection);
        std::string geometry_name;
        if (source_definition->GetGeomFieldCount() > 0) {
            geometry_name = source_definition->GetGeomFieldDefn(0)->GetNameRef();
            if (!geometry_name.empty() && std::string(format->driver) == "GPKG")
                layer_options.SetNameValue("GEOMETRY_NAME", geometry_name.c_str());
        }
        // A conversion that leaves the plane coordinates as they are (the
        // height fit changes heights only) keeps the layer's own system
        // where the tool names none.
        const OGRSpatialReference* declared = layer->GetSpatialRef();
        OGRSpatialReference kept_system;
        OGRSpatialReference* written_system = has_target ? &target_system : nullptr;
        if (!has_target && declared != nullptr && !Undeclared(*declared) && KeepsPlaneCoordinates(conversion, *layer)) {
            kept_system = *declared;
            written_system = &kept_system;
        }
        if (!has_target && written_system != nullptr && summary.system_written.empty())
            summary.system_written = SystemText(*written_system);
        OGRLayer* made_layer = target->CreateLayer(layer_name.c_str(), written_system,
                                                   geometry_type, layer_options.List());
        if (made_layer == nullptr) throw CommandError("GDAL不能创建图层" + layer_name + LastGdalMessage());

        // The fields, in the source's order; map[i] is the output field of source field i.
        std::vector<int> field_map(static_cast<std::size_t>(source_definition->GetFieldCount()), -1);
        std::set<std::string> taken;
        for (int f = 0; f < source_definition->GetFieldCount(); ++f) {
            OGRFieldDefn field(source_definition->GetFieldDefn(f));
            const std::string name = field.GetNameRef();
            // A type the format does not have: 64-bit integers as reals,
            // others (dates, times, lists) as texts, which keep their values.
            const OGRFieldType type = field.GetType();
            if (!FormatHasType(*driver, type)) {
                const OGRFieldType kept_type =
                    type == OFTInteger64 && FormatHasType(*driver, OFTReal) ? OFTReal : OFTString;
                field.SetType(kept_type);
                field.SetSubType(OFSTNone);
                if (kept_type == OFTString) field.SetWidth(0);
                summary.changed_types.push_back({layer_name, name, OGRFieldDefn::GetFieldTypeName(type),
                                                 OGRFieldDefn::GetFieldTypeName(kept_type)});
            }
            if (shapefile) field.SetName(ShapefileFieldName(name, encoding, taken).c_str());
            if (mapinfo) field.SetName(MapInfoFieldName(name, f, taken).c_str());
            if (made_layer->CreateField(&field, TRUE) != OGRERR_NONE)
                throw CommandError("GDAL不能创建图层" + layer_name + "的字段" + name + LastGdalMessage());
            OGRFeatureDefn* made_definition = made_layer->GetLayerDefn();
            const int index = made_definition->GetFieldCount() - 1;
            field_map[static_cast<std::size_t>(f)] = index;
            const std::string kept = made_definition->GetFieldDefn(index)->GetNameRef();
            taken.insert(Lower(kept));
            if (kept != name) summary.truncated_fields.push_back({layer_name, name, kept});
        }
        // Further geometry fields where the format holds them (SetFrom
        // matches them by name).
        for (int g = 1; g < source_definition->GetGeomFieldCount(); ++g) {
            if (!made_layer->TestCapability(OLCCreateGeomField)) break;
            OGRGeomFieldDefn field(source_definition->GetGeomFieldDefn(g));
            field.SetSpatialRef(written_system);
            made_layer->CreateGeomField(&field, TRUE);
        }
        // The source geometry field of each output one: by name, and the
        // first for a single one whatever its name (as OGRFeature::SetFrom).
        OGRFeatureDefn* const made_definition = made_layer->GetLayerDefn();
        std::vector<int> geometry_map;
        for (int g = 0; g < made_definition->GetGeomFieldCount(); ++g) {
            const int found = source_definition->GetGeomFieldIndex(made_definition->GetGeomFieldDefn(g)->GetNameRef());
            geometry_map.push_back(found >= 0 ? found
                                   : made_definition->GetGeomFieldCount() == 1 && source_definition->GetGeomFieldCount() > 0
                                       ? 0
                                       : -1);
        }

        GisLayerSummary& layer_summary = summary.layers[static_cast<std::size_t>(i)];
        long vertices = 0;
        const bool in_transaction = target->StartTransaction() == OGRERR_NONE;
        CPLErrorReset();
        layer->ResetReading();
        // Batches in a pipeline: while the workers convert one, this thread
        // reads the next and then writes the one converted, in input order.
        // A feature's error is raised when its turn to be written comes, so
        // the error is that of the first faulty feature, as one thread finds it.
        constexpr std::size_t kBatchFeatures = 1024;
        std::vector<FeatureWork> converting = ReadBatch(*layer, kBatchFeatures);
        std::vector<FeatureWork> reading;
        BatchConverter batches(conversion, layer_name, threads);
        batches.Start(converting);
        while (!converting.empty()) {
            reading = ReadBatch(*layer, kBatchFeatures);
            batches.Wait();
            std::vector<FeatureWork> writing = std::move(converting);
            converting = std::move(reading);
            if (!converting.empty()) batches.Start(converting);
            for (FeatureWork& work : writing) {
                if (work.error) std::rethrow_exception(work.error);
                vertices += work.vertices;
                std::unique_ptr<OGRFeature> feature = std::move(work.feature);
                for (int g = 0; g < feature->GetGeomFieldCount(); ++g) {
                    OGRGeometry* geometry = feature->GetGeomFieldRef(g);
                    if (geometry == nullptr) continue;
                    // Curves become lines through their converted points where
                    // the format has no curves.
                    if (!curves && geometry->hasCurveGeometry()) {
                        feature->SetGeomFieldDirectly(g, geometry->getLinearGeometry());
                        ++layer_summary.linearized;
                        geometry = feature->GetGeomFieldRef(g);
                    }
                    if (g == 0 && promote_to_multi && !OGR_GT_IsSubClassOf(wkbFlatten(geometry->getGeometryType()), wkbGeometryCollection)) {
                        const OGRwkbGeometryType multi = OGR_GT_SetModifier(wkbFlatten(geometry_type), geometry->Is3D(), geometry->IsMeasured());
                        feature->SetGeomFieldDirectly(g, OGRGeometryFactory::forceTo(feature->StealGeometry(g), multi));
                    }
                    // One type means one dimension too: a 2D part in a Z layer gets Z 0.
                    if (g == 0 && one_type && geometry_type != wkbUnknown) {
                        OGRGeometry* kept = feature->GetGeomFieldRef(g);
                        kept->set3D(OGR_GT_HasZ(geometry_type));
                        kept->setMeasured(OGR_GT_HasM(geometry_type));
                    }
                }
                // The converted geometries move into the new feature (no copy).
                OGRFeature made(made_definition);
                if (made.SetFieldsFrom(feature.get(), field_map.data(), TRUE) != OGRERR_NONE)
                    throw CommandError("图层" + layer_name + "要素" + std::to_string(feature->GetFID()) + "的属性不能写入" +
                                       LastGdalMessage());
                for (std::size_t g = 0; g < geometry_map.size(); ++g)
                    if (geometry_map[g] >= 0) made.SetGeomFieldDirectly(static_cast<int>(g), feature->StealGeometry(geometry_map[g]));
                made.SetStyleString(feature->GetStyleString());
                made.SetNativeData(feature->GetNativeData());
                made.SetNativeMediaType(feature->GetNativeMediaType());
                made.SetFID(fid_kept ? feature->GetFID() : OGRNullFID);
                if (made_layer->CreateFeature(&made) != OGRERR_NONE)
                    throw CommandError("图层" + layer_name + "要素" + std::to_string(feature->GetFID()) + "不能写入" +
                                       LastGdalMessage());
                ++layer_summary.features;
                if (mapinfo && made.GetGeometryRef() != nullptr) {
                    const OGRwkbGeometryType type = wkbFlatten(made.GetGeometryRef()->getGeometryType());
                    if (type == wkbMultiPoint || type == wkbGeometryCollection) ++layer_summary.split;
                }
                ++done;
                if (options.progress && total_features > 0 && (done & 1023) == 0) {
                    const double share = static_cast<double>(done) / static_cast<double>(total_features);
                    if (share - reported >= 0.01) {
                        reported = share;
                        if (!options.progress(std::min(share, 1.0))) throw CommandError(kGisCancelledText);
                    }
                }
            }
        }
        if (CPLGetLastErrorType() == CE_Failure)
            throw CommandError("GDAL不能读取图层" + layer_name + LastGdalMessage());
        if (in_transaction && target->CommitTransaction() != OGRERR_NONE)
            throw CommandError("图层文件写入失败" + LastGdalMessage());
        layer_summary.vertices = vertices;
        if (own) {
            // Closing writes what GDAL keeps (a shapefile's header, a FlatGeobuf's index); its failure is the last error.
            own.reset();
            if (CPLGetLastErrorType() == CE_Failure) throw CommandError("图层文件写入失败" + LastGdalMessage());
        }
    }
    if (shared) {
        shared.reset();
        if (CPLGetLastErrorType() == CE_Failure) throw CommandError("图层文件写入失败" + LastGdalMessage());
    }
    if (options.progress && !options.progress(1)) throw CommandError(kGisCancelledText);

    // Old companion files of the names written that this dataset did not make.
    std::vector<std::string> stale;
    for (const std::string& name : written_names) {
        const std::string base = StemOf(name);
        for (const std::string& companion : format->companions)
            stale.push_back(companion[0] == '-' ? name + companion : base + companion);
    }
    staging.Commit(stale);
    return summary;
}

std::string GisSummaryText(const GisSummary& summary) {
    std::string text;
    for (const GisLayerSummary& layer : summary.layers) {
        text += "图层 " + layer.name + ": 要素 " + std::to_string(layer.features) + ", 顶点 " +
                std::to_string(layer.vertices);
        if (layer.linearized != 0) text += ", 曲线折线化 " + std::to_string(layer.linearized);
        if (layer.split != 0) text += ", 拆分为单个要素 " + std::to_string(layer.split);
        if (!layer.source_system.empty()) text += ", 原坐标系 " + layer.source_system;
        text += "\n";
    }
    if (!summary.refusals.empty()) {
        text += "坐标系不符:\n";
        for (const std::string& refusal : summary.refusals) text += "  " + refusal + "\n";
    }
    if (!summary.truncated_fields.empty()) {
        text += "截短的字段名:\n";
        for (const GisTruncatedField& field : summary.truncated_fields)
            text += "  " + field.layer + ": " + field.from + " -> " + field.to + "\n";
    }
    if (!summary.changed_types.empty()) {
        text += "改变类型的字段:\n";
        for (const GisChangedType& field : summary.changed_types)
            text += "  " + field.layer + ": " + field.field + " " + field.from + " -> " + field.to + "\n";
    }
    text += "写入坐标系: " + (summary.system_written.empty() ? std::string("未知，图层未写入坐标系") : summary.system_written) +
            "\n";
    return text;
}

std::string GisSummaryJson(const GisSummary& summary) {
    std::string json = "{\n  \"layers\": [";
    for (std::size_t i = 0; i < summary.layers.size(); ++i) {
        const GisLayerSummary& layer = summary.layers[i];
        json += std::string(i ? ",\n    " : "\n    ") + "{\"name\": " + JsonString(layer.name) +
                ", \"features\": " + std::to_string(layer.features) + ", \"vertices\": " +
                std::to_string(layer.vertices) + ", \"linearized\": " + std::to_string(layer.linearized) +
                ", \"split\": " + std::to_string(layer.split) +
                ", \"source_system\": " +
                (layer.source_system.empty() ? std::string("null") : JsonString(layer.source_system)) + "}";
    }
    json += summary.layers.empty() ? "],\n" : "\n  ],\n";
    json += "  \"refusals\": [";
    for (std::size_t i = 0; i < summary.refusals.size(); ++i)
        json += std::string(i ? ", " : "") + JsonString(summary.refusals[i]);
    json += "],\n  \"truncated_fields\": [";
    for (std::size_t i = 0; i < summary.truncated_fields.size(); ++i) {
        const GisTruncatedField& field = summary.truncated_fields[i];
        json += std::string(i ? ",\n    " : "\n    ") + "{\"layer\": " + JsonString(field.layer) +
                ", \"from\": " + JsonString(field.from) + ", \"to\": " + JsonString(field.to) + "}";
    }
    json += summary.truncated_fields.empty() ? "],\n" : "\n  ],\n";
    json += "  \"changed_types\": [";
    for (std::size_t i = 0; i < summary.changed_types.size(); ++i) {
        const GisChangedType& field = summary.changed_types[i];
        json += std::string(i ? ",\n    " : "\n    ") + "{\"layer\": " + JsonString(field.layer) +
                ", \"field\": " + JsonString(field.field) + ", \"from\": " + JsonString(field.from) +
                ", \"to\": " + JsonString(field.to) + "}";
    }
    json += summary.changed_types.empty() ? "],\n" : "\n  ],\n";
    json += "  \"system_written\": " +
            (summary.system_written.empty() ? std::string("null") : JsonString(summary.system_written)) + "\n}\n";
    return json;
}

}  // namespace coordconv
