// The coefficient table of the polynomial and height-fitting models and its
// coefficient file.
//
// Two columns and no title row: column 0 a fixed label ("a0", "b3", "a2="),
// column 1 the editable coefficient text. The texts are the stored
// coefficients: the convert command and the solve's fallback read them.
//
// Coefficient file: one line per row, "label,value", no header, CR LF.
#pragma once

#include <string>
#include <vector>

#include "core/least_squares.h"
#include "table/text_codec.h"

namespace coordconv {

class CoefficientTable {
public:
    struct Row {
        std::string label;
        std::string value;
        bool operator==(const Row&) const = default;
    };

    // A table with one row per label and empty values.
    explicit CoefficientTable(const std::vector<std::string>& labels);

    int RowCount() const { return static_cast<int>(rows_.size()); }
    const std::string& Label(int row) const { return rows_[Index(row)].label; }
    const std::string& Value(int row) const { return rows_[Index(row)].value; }
    std::string& Value(int row) { return rows_[Index(row)].value; }
    const std::vector<Row>& Rows() const { return rows_; }

    // The model was changed: the row count becomes labels.size() and every
    // row gets its label; the value texts stay in the rows that remain.
    void SetLabels(const std::vector<std::string>& labels);

    // Coefficients 0..count-1 read with TextToNumber. A row that the table
    // does not have (a short file was loaded) reads like an empty text, 0.
    Vector ReadValues(int count) const;

    // Writes FormatGeneral of every solved value into rows 0..n-1. A table that
    // is shorter (after loading a short file) first grows to n rows, the new
    // rows taking the model's labels, so no solved value goes unseen.
    void WriteValues(const Vector& values, const std::vector<std::string>& labels);

    // "保存参数": the file's lines, "label,value" for every row.
    std::vector<std::string> FileLines() const;
    // "导入参数": one row per line, split into label and value with SplitFields;
    // no line leaves two empty rows.
    void AssignFileLines(const std::vector<std::string>& lines);

    bool operator==(const CoefficientTable&) const = default;

private:
    std::size_t Index(int row) const { return static_cast<std::size_t>(row); }

    std::vector<Row> rows_;
};

// Writes the coefficient file (temporary file renamed over the target, so a
// failed save leaves the old file intact).
void SaveCoefficientFile(const std::string& path, const CoefficientTable& table, FileEncoding encoding);

// Reads the coefficient file; the table changes only when the whole file was
// read.
void LoadCoefficientFile(const std::string& path, FileEncoding encoding, CoefficientTable& table);

}  // namespace coordconv
