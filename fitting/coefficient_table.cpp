#include "fitting/coefficient_table.h"

#include "core/number_text.h"
#include "table/coordinate_file.h"

namespace coordconv {

CoefficientTable::CoefficientTable(const std::vector<std::string>& labels) { SetLabels(labels); }

void CoefficientTable::SetLabels(const std::vector<std::string>& labels) {
    rows_.resize(labels.size());
    for (std::size_t i = 0; i < labels.size(); ++i) rows_[i].label = labels[i];
}

Vector CoefficientTable::ReadValues(int count) const {
    Vector values;
    values.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) values.push_back(i < RowCount() ? TextToNumber(Value(i)) : 0.0L);
    return values;
}

void CoefficientTable::WriteValues(const Vector& values, const std::vector<std::string>& labels) {
    for (std::size_t i = rows_.size(); i < values.size(); ++i)
        rows_.push_back({i < labels.size() ? labels[i] : std::string(), std::string()});
    for (std::size_t i = 0; i < values.size(); ++i) rows_[i].value = FormatGeneral(values[i]);
}

std::vector<std::string> CoefficientTable::FileLines() const {
    std::vector<std::string> lines;
    lines.reserve(rows_.size());
    for (const Row& row : rows_) lines.push_back(row.label + "," + row.value);
    return lines;
}

void CoefficientTable::AssignFileLines(const std::vector<std::string>& lines) {
    std::vector<Row> rows;
    for (const std::string& line : lines) {
        std::vector<std::string> fields = SplitFields(line, 2);
        rows.push_back({std::move(fields[0]), std::move(fields[1])});
    }
    if (rows.empty()) rows.resize(2);
    rows_ = std::move(rows);
}

void SaveCoefficientFile(const std::string& path, const CoefficientTable& table, FileEncoding encoding) {
    AtomicLineWriter writer(path, encoding);
    for (const std::string& line : table.FileLines()) writer.WriteLine(line);
    writer.Commit();
}

void LoadCoefficientFile(const std::string& path, FileEncoding encoding, CoefficientTable& table) {
    LineReader reader(path, encoding);
    std::vector<std::string> lines;
    std::string line;
    while (reader.Next(line)) lines.push_back(line);
    table.AssignFileLines(lines);
}

}  // namespace coordconv
