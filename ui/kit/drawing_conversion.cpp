#include "ui/kit/drawing_conversion.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>

#include "convert/dxf_converter.h"
#include "convert/gis_layers.h"
#include "core/errors.h"
#include "table/regular_file.h"

namespace coordconv {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "图形转换";
constexpr const char* kGisPatterns = "*.shp *.gpkg *.geojson *.json *.kml *.gml *.tab *.mif *.fgb";

// The names in `folder` now; a cancel removes what is new since.
std::set<std::string> FolderEntries(const std::string& folder) {
    std::set<std::string> names;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error))
        names.insert(it->path().filename().string());
    return names;
}

void RemoveNewEntries(const std::string& folder, const std::set<std::string>& before) {
    for (const std::string& name : FolderEntries(folder)) {
        if (before.count(name) != 0) continue;
        std::error_code ignored;
        fs::remove_all(fs::path(folder) / name, ignored);
    }
}

// A GIS dataset through the layer converter; a declared system that is not
// the tool's source is converted only after the user's Yes. Returns the
// summary text of the file.
std::string ConvertGisFile(UserDialogs& dialogs, const PointConversion& conversion, const std::string& input,
                           const std::string& output, GisConversionOptions options) {
    const std::string name = fs::path(input).filename().string();
    try {
        return GisSummaryText(ConvertGisDataset(input, output, conversion, options));
    } catch (const GisSystemRefusal& refusal) {
        std::string layers;
        for (const std::string& layer : refusal.Refusals()) layers += "\n" + layer;
        if (!dialogs.AskYesNo(kTitle, name + " 的图层坐标系不是窗口的原坐标系:" + layers + "\n\n仍然转换吗？",
                              MessageIcon::Warning))
            return "未转换，图层坐标系不是原坐标系:" + layers + "\n";
    }
    options.force = true;
    return GisSummaryText(ConvertGisDataset(input, output, conversion, options));
}

}  // namespace

FileDialogSpec DrawingFileDialog(bool dxf_drawings) {
    if (!dxf_drawings) return {kTitle, std::string("GIS图层 (") + kGisPatterns + ")", kGisPatterns, "shp"};
    const std::string patterns = std::string("*.dxf ") + kGisPatterns;
    return {kTitle, "DXF图形和GIS图层 (" + patterns + ")", patterns, "dxf"};
}

std::vector<std::string> ConvertibleFilesInFolder(const std::string& folder, bool dxf_drawings) {
    if (IsGisPath(folder) && fs::is_directory(fs::path(folder))) return {folder};  // a FileGDB itself
    std::vector<std::string> files;
    std::error_code error;
    for (fs::directory_iterator it(fs::path(folder), error), end; !error && it != end; it.increment(error)) {
        const std::string path = it->path().string();
        std::error_code kind_error;
        const bool directory = it->is_directory(kind_error);
        // Of the folders only a FileGDB is a dataset.
        std::string extension = it->path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const bool gis = IsGisDataset(path) && (!directory || extension == ".gdb");
        if (gis || (dxf_drawings && !directory && IsDxfPath(path))) files.push_back(path);
    }
    if (error) throw CommandError("File access denied");
    std::sort(files.begin(), files.end());
    return files;
}

void ConvertFilesIntoFolder(UserDialogs& dialogs, const PointConversion& conversion,
                            const std::vector<std::string>& files) {
    for (const std::string& file : files) {
        if (IsDxfPath(file) && !conversion.PlaneToPlane())
            throw CommandError("图形只能在平面坐标之间转换，请把原坐标和新坐标都设为平面坐标");
        // A FIFO would block the window; a FileGDB is a folder.
        if (!(IsGisPath(file) && fs::is_directory(fs::path(file)))) RequireRegularFile(file);
    }
    const std::optional<std::string> folder = dialogs.AskFolder("图形转换: 选择输出文件夹");
    if (!folder) return;
    for (const std::string& file : files) {
        std::error_code error;
        if (fs::equivalent(fs::path(file).parent_path(), fs::path(*folder), error)) {
            if (!dialogs.AskYesNo(kTitle, "输出文件夹就是图形所在的文件夹，同名图形将被覆盖。继续吗？",
                                  MessageIcon::Warning))
                return;
            break;
        }
    }
    const std::unique_ptr<ProgressReport> progress = dialogs.StartProgress(kTitle);
    // A cancel removes what this run has made (not the files it replaced).
    const std::set<std::string> before = FolderEntries(*folder);
    std::string text;
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto step = [&progress, i, &files](double share) {
            return !progress || progress->Step((static_cast<double>(i) + share) / static_cast<double>(files.size()));
        };
        const std::string name = fs::path(files[i]).filename().string();
        const std::string output = (fs::path(*folder) / name).string();
        try {
            if (IsDxfPath(files[i])) {
                DxfConversionOptions options;
                options.progress = step;
                text += name + "\n" + DxfSummaryText(ConvertDxfFile(files[i], output, conversion, options)) + "\n";
                continue;
            }
            GisConversionOptions options;
            options.encoding = "GBK";  // Shapefiles without .cpg, as the point files
            options.progress = step;
            try {
                text += name + "\n" + ConvertGisFile(dialogs, conversion, files[i], output, options) + "\n";
            } catch (const CommandError& error) {
                if (std::string(error.what()) == kGisCancelledText) throw;
                // The other datasets still convert.
                dialogs.ShowError(name + ": " + error.what());
                text += name + "\n转换失败: " + error.what() + "\n\n";
            }
        } catch (const CommandError& error) {
            const std::string what = error.what();
            if (what == kDxfCancelledText || what == kGisCancelledText) RemoveNewEntries(*folder, before);
            throw;
        }
    }
    dialogs.ShowMessage(kTitle, text, MessageIcon::Information);
}

}  // namespace coordconv
