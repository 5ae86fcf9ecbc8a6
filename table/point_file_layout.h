// Point files in other layouts than the program's own (name,x,y[,H] with
// commas): a column mapping says how a foreign line becomes a table row.
//
// A mapping names the separator, the header lines to skip, what each of the
// file's columns holds ("name", "x" northing, "y" easting, "H", "B"
// latitude, "L" longitude, "-" a column left out; a second system's columns
// of a common-point file end in 2: "x2", "H2", ...) and how latitudes and
// longitudes are written. The table's cells come out as the program holds
// them: numbers copied as text, angles as packed ddd.mmss text.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "table/coordinate_file.h"
#include "table/point_table.h"

namespace coordconv {

enum class FieldSeparator {
    Comma,      // ","
    Blanks,     // one or more blanks or tabs; blanks at the line's ends are no fields
    Tab,        // each tab
    Semicolon,  // ";"
};

// How the file writes latitudes and longitudes.
enum class AngleForm {
    PackedDms,       // ddd.mmss as the program writes them (30.3015 is 30°30′15″)
    DecimalDegrees,  // 30.50416667
    DmsText,         // 30°30′15″, 30 30 15, 30d30m15s, 30度30分15秒, with N/S/E/W or a sign
};

struct ColumnMapping {
    FieldSeparator separator = FieldSeparator::Comma;
    int skip_lines = 0;                 // header lines at the file's start
    std::vector<std::string> columns;   // one role per file column, in file order
    AngleForm angles = AngleForm::PackedDms;

    bool operator==(const ColumnMapping&) const = default;
};

// The built-in preset "CASS数据文件 (.dat)": 点名,编码,东坐标,北坐标,高程 —
// name, the code left out, easting, northing, height, comma-separated.
inline constexpr const char* kCassPresetName = "CASS数据文件 (.dat)";
ColumnMapping CassMapping();

// The roles of a table's columns, from its titles: column 0 the name, then
// "纬度B" B, "经度L" L, x ("纵坐标x", "坐标x"), y, and a title with "H"
// or "高" H (a second such column H2). An unknown title gives "".
std::vector<std::string> RolesFromTitles(const std::vector<std::string>& titles);

// Parses a role list "name,-,y,x,H" (blanks around names ignored). Unknown
// roles and a role named twice throw std::invalid_argument with the reason.
std::vector<std::string> ParseRoleList(std::string_view text);
std::string RoleListText(const std::vector<std::string>& roles);

// True when the role is an angle (B, L, B2, L2).
bool IsAngleRole(std::string_view role);

// The fields of one line split at the separator (no trimming for the single
// separators, as the program's own files keep their cells' blanks).
std::vector<std::string> SplitAtSeparator(std::string_view line, FieldSeparator separator);

// An angle text in `form` as packed ddd.mmss text: decimal degrees and
// d°m′s″ texts are rounded to 1e-6″ and carried (59.9999999″ becomes the
// next minute); trailing zeros are dropped (30°30′ gives "30.3"). A packed
// text is returned as it is. Throws CommandError
// "'<text>' is not a valid angle" for a text that is no angle or has minutes
// or seconds of 60 or more.
std::string AngleToPackedText(std::string_view text, AngleForm form);

// One line of a file as the cells of a table whose columns have
// `table_roles`: each cell from the file column of the same role (angles
// converted), `missing` for a role the mapping or the line lacks. A
// mapping column beyond `table_roles` is not read.
void MapLineInto(std::string_view line, const ColumnMapping& mapping, const std::vector<std::string>& table_roles,
                 std::string_view missing, std::vector<std::string>& cells);

// Which table roles no mapping column fills (to tell the user before a read).
std::vector<std::string> UnmappedRoles(const ColumnMapping& mapping, const std::vector<std::string>& table_roles);

// "文件导入" through a mapping: the header lines skipped, blank lines left
// out (a foreign file's trailing blank line is no point), every other line
// mapped; missing cells "0" in the projection tools, empty in the fitting
// windows. The table is changed only when the whole file was read; a line
// that fails names its line number.
void ImportMappedFile(const std::string& path, const ColumnMapping& mapping, FieldSplit split, FileEncoding encoding,
                      PointTable& table);

// ImportMappedFile over lines already read (a spreadsheet's rows joined by
// tabs): the same skipping, mapping and line numbers.
void ImportMappedLines(const std::vector<std::string>& lines, const ColumnMapping& mapping, FieldSplit split,
                       PointTable& table);
// The same over lines already read (the preview of the import dialog):
// the first `max_rows` rows at most.
std::vector<std::vector<std::string>> MapLines(const std::vector<std::string>& lines, const ColumnMapping& mapping,
                                               const std::vector<std::string>& table_roles, std::string_view missing,
                                               int max_rows);

// The table's cells as the lines of a CASS .dat file: name, an empty code,
// easting y, northing x, height H (empty when the table has none). Empty
// when the table has no x and y columns (its rows are then saved in the
// program's own layout).
std::optional<std::vector<int>> CassColumnsOf(const std::vector<std::string>& table_roles);
// "数据另存" to a name ending in ".dat" (any case) of a table with x and y:
// the CASS layout; otherwise the program's own layout.
bool IsCassFileName(std::string_view path);
void SaveCassFile(const std::string& path, const PointTable& table, FileEncoding encoding);

// The mapping as one settings value, "sep=comma;skip=1;cols=name,-,y,x,H;angles=dms",
// and back (nothing for a text that is no mapping).
std::string MappingToText(const ColumnMapping& mapping);
std::optional<ColumnMapping> MappingFromText(std::string_view text);

// The last mapping of the import dialog in a window of `kind` (its object
// name), kept in the settings file's section "Import"; nothing when none is
// kept. Remembering is a convenience: a file that cannot be written is left
// as it is.
std::optional<ColumnMapping> RememberedMapping(const std::string& settings_path, const std::string& kind);
void RememberMapping(const std::string& settings_path, const std::string& kind, const ColumnMapping& mapping);

// True when the first lines of a file read as the program's own layout into
// a table of `column_count` columns: comma-separated, the fields after the
// name numbers or empty. A blank-, tab- or semicolon-separated file, a
// header line, angle texts, or (for a name ending in .dat) the five fields
// of a CASS line with an empty code do not fit.
bool FitsProgramLayout(const std::vector<std::string>& lines, int column_count, bool dat_file);

// The first `count` lines of a file (UTF-8, for the import dialog).
std::vector<std::string> ReadFirstLines(const std::string& path, FileEncoding encoding, int count);

// Separator and angle form by their command-line names: comma, blank,
// tab, semicolon; dms, deg, text. Nothing for another name.
std::optional<FieldSeparator> SeparatorFromName(std::string_view name);
std::optional<AngleForm> AngleFormFromName(std::string_view name);
std::string SeparatorName(FieldSeparator separator);
std::string AngleFormName(AngleForm form);

}  // namespace coordconv
