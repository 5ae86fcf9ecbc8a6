#include "convert/spreadsheet.h"

#include <cerrno>
#include <cfenv>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdint>
#include <optional>
#include <sstream>
#include <thread>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include "convert/quiet_gdal.h"
#include "core/errors.h"
#include "core/number_text.h"
#include "table/regular_file.h"
#include "table/safe_file.h"
#include "table/text_codec.h"

namespace coordconv {

namespace {

std::string LowerEnd(std::string_view path, std::size_t length) {
    if (path.size() < length) return {};
    std::string end(path.substr(path.size() - length));
    for (char& c : end) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return end;
}

// Sets a GDAL configuration option for this thread while it lives, then
// restores the earlier value.
class ThreadConfigOption {
public:
    ThreadConfigOption(const char* key, const char* value) : key_(key) {
        const char* old = CPLGetThreadLocalConfigOption(key, nullptr);
        if (old != nullptr) old_ = old;
        CPLSetThreadLocalConfigOption(key, value);
    }
    ~ThreadConfigOption() { CPLSetThreadLocalConfigOption(key_, old_ ? old_->c_str() : nullptr); }
    ThreadConfigOption(const ThreadConfigOption&) = delete;
    ThreadConfigOption& operator=(const ThreadConfigOption&) = delete;

private:
    const char* key_;
    std::optional<std::string> old_;
};

// A cell's text as a number cell's value: a plain decimal number (sign,
// digits, one point, exponent), nothing for any other text.
std::optional<double> NumberCellValue(std::string_view text) {
    text = TrimBlanks(text);
    if (text.empty()) return std::nullopt;
    try {
        TextToNumber(text);  // the program's own number rule first
    } catch (const CommandError&) {
        return std::nullopt;
    }
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0;
    const auto read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// A text as a spreadsheet can hold it: held GBK bytes and control
// characters (other than tab and line breaks) become U+FFFD.
std::string SheetText(const std::string& utf8) {
    const std::string replaced = WithHeldBytesReplaced(utf8);
    std::string text;
    text.reserve(replaced.size());
    for (const char c : replaced) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7f) {
            text += "\xEF\xBF\xBD";
        } else {
            text += c;
        }
    }
    return text;
}

// A name in GDAL's memory file system no other save of this process uses
// at the same time.
std::string MemoryFileName(const void* owner) {
    std::ostringstream name;
    name << "/vsimem/coordconv-sheet-" << std::this_thread::get_id() << "-"
         << reinterpret_cast<std::uintptr_t>(owner) << ".xlsx";
    return name.str();
}

// The bytes of an .xlsx of the table, made in GDAL's memory file system.
std::string XlsxBytes(const PointTable& table, int written_columns, const std::string& memory_name) {
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("XLSX");
    if (driver == nullptr) throw CommandError("GDAL has no XLSX driver");
    const int columns = std::min(written_columns, table.ColCount());
    // Number cells for a column of numbers; the names stay texts.
    std::vector<bool> numeric(static_cast<std::size_t>(columns), false);
    for (int col = 1; col < columns; ++col) {
        bool all_numbers = true;
        bool any_number = false;
        for (int row = 1; row < table.RowCount() && all_numbers; ++row) {
            const std::string& cell = table.Cell(col, row);
            if (TrimBlanks(cell).empty()) continue;
            all_numbers = NumberCellValue(cell).has_value();
            any_number = true;
        }
        numeric[static_cast<std::size_t>(col)] = all_numbers && any_number;
    }
    {
        GDALDatasetUniquePtr dataset(driver->Create(memory_name.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
        if (!dataset) throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
        OGRLayer* layer = dataset->CreateLayer("Sheet1", nullptr, wkbNone, nullptr);
        if (layer == nullptr) throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
        for (int col = 0; col < columns; ++col) {
            OGRFieldDefn field(SheetText(table.Cell(col, 0)).c_str(),
                               numeric[static_cast<std::size_t>(col)] ? OFTReal : OFTString);
            if (layer->CreateField(&field) != OGRERR_NONE)
                throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
        }
        for (int row = 1; row < table.RowCount(); ++row) {
            OGRFeature feature(layer->GetLayerDefn());
            for (int col = 0; col < columns; ++col) {
                const std::string& cell = table.Cell(col, row);
                if (cell.empty()) continue;
                if (numeric[static_cast<std::size_t>(col)]) {
                    if (const std::optional<double> value = NumberCellValue(cell)) feature.SetField(col, *value);
                } else {
                    feature.SetField(col, SheetText(cell).c_str());
                }
            }
            if (layer->CreateFeature(&feature) != OGRERR_NONE)
                throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
        }
    }  // closing the dataset writes the file
    if (CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal)
        throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
    vsi_l_offset length = 0;
    GByte* data = VSIGetMemFileBuffer(memory_name.c_str(), &length, TRUE);
    if (data == nullptr) throw CommandError("GDAL could not make the spreadsheet" + LastGdalMessage());
    std::string bytes(reinterpret_cast<const char*>(data), static_cast<std::size_t>(length));
    VSIFree(data);
    return bytes;
}

}  // namespace

bool IsSpreadsheetPath(std::string_view path) { return LowerEnd(path, 5) == ".xlsx" || LowerEnd(path, 4) == ".ods"; }

bool IsXlsxPath(std::string_view path) { return LowerEnd(path, 5) == ".xlsx"; }

CellRows ReadSpreadsheetRows(const std::string& path) {
    // The file errors the text files give: a missing or unreadable file, and
    // anything but a regular file.
    RequireRegularFile(path);
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        std::fclose(file);
    } else {
        throw CommandError(FileErrorText(errno));
    }
    QuietGdal quiet;
    // Every row as data and every cell as text: the header and the numbers
    // are the program's to judge.
    const ThreadConfigOption xlsx_headers("OGR_XLSX_HEADERS", "DISABLE");
    const ThreadConfigOption xlsx_types("OGR_XLSX_FIELD_TYPES", "STRING");
    const ThreadConfigOption ods_headers("OGR_ODS_HEADERS", "DISABLE");
    const ThreadConfigOption ods_types("OGR_ODS_FIELD_TYPES", "STRING");
    const char* const drivers[] = {"XLSX", "ODS", nullptr};
    GDALDatasetUniquePtr dataset(
        GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
    if (!dataset || dataset->GetLayerCount() < 1)
        throw CommandError("'" + path + "' is no spreadsheet GDAL can read" + LastGdalMessage());
    OGRLayer* sheet = dataset->GetLayer(0);
    CellRows rows;
    for (const auto& feature : *sheet) {
        std::vector<std::string> row;
        const int fields = feature->GetFieldCount();
        for (int i = 0; i < fields; ++i)
            row.push_back(feature->IsFieldSetAndNotNull(i) ? SpreadsheetCellText(feature->GetFieldAsString(i))
                                                           : std::string());
        while (!row.empty() && row.back().empty()) row.pop_back();
        rows.push_back(std::move(row));
    }
    return rows;
}

void SaveSpreadsheet(const std::string& path, const PointTable& table, int written_columns) {
    std::string bytes;
    {
        QuietGdal quiet;
        const std::string memory_name = MemoryFileName(&bytes);
        try {
            bytes = XlsxBytes(table, written_columns, memory_name);
        } catch (...) {
            VSIUnlink(memory_name.c_str());
            throw;
        }
    }
    SafeFileWriter file(path);
    file.Write(bytes);
    file.Commit();
}

}  // namespace coordconv
