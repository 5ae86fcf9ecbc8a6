// Coordinate text files: one point per comma-separated line, name first, no
// header, no quoting; lines end in LF or CR LF when read and CR LF when
// written. A carriage return not followed by a line feed is dropped; a last
// line without line end is a line; a line end after the last line is not.
//
// File failures raise CommandError with the program's file error texts
// ("File not found", "File access denied", ...). Saving writes a temporary
// file beside the target and renames it over the target, so a failed save
// never damages the file that was there.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "table/point_table.h"
#include "table/safe_file.h"
#include "table/text_codec.h"

namespace coordconv {

// The longest line read (and the longest cell pasted): far beyond any
// point's fields.
inline constexpr std::size_t kMaxLineBytes = 4u << 20;

// How a line is split into the table's columns.
enum class FieldSplit {
    Projection,  // projection tools: a field without a comma takes the rest, later fields read "0"
    Fitting,     // fitting windows: SplitFields, later fields stay empty
};

// Splits a line into `count` fields by the rule of `split`: with the
// projection-tool rule P1,3.5 into 3 fields gives P1 | 3.5 | 0.
std::vector<std::string> SplitLine(std::string_view line, int count, FieldSplit split);
// The same into `fields` (resized to `count`), reusing its strings' storage.
void SplitLineInto(std::string_view line, int count, FieldSplit split, std::vector<std::string>& fields);

// Takes the first line (without its line feed) off `rest`; false when `rest`
// is empty.
bool TakeLine(std::string_view& rest, std::string_view& raw_line);
// A raw line as the program holds it: carriage returns dropped, UTF-8.
void CleanLine(std::string_view raw_line, FileEncoding encoding, std::string& line);

// Reads a file line by line in the file's code page, giving UTF-8 lines
// without their line ends and without carriage returns.
class LineReader {
public:
    // Opens `path`; "-" reads standard input.
    LineReader(const std::string& path, FileEncoding encoding);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the file.
    bool Next(std::string& line);

    // The next run of whole lines, about `size` bytes, raw (line ends and
    // code page as in the file); empty at the end of the file. Split it with
    // TakeLine and clean each line with CleanLine.
    void NextChunk(std::string& chunk, std::size_t size);

private:
    bool Fill();

    std::FILE* file_ = nullptr;
    bool owns_file_ = false;
    FileEncoding encoding_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    bool eof_ = false;
};

// Writes a file of lines (each followed by CR LF) through SafeFileWriter,
// committed at Commit(); "-" writes standard output, whose final flush
// Commit() checks. Destroyed without Commit(), it leaves the target as it was.
class AtomicLineWriter {
public:
    AtomicLineWriter(const std::string& path, FileEncoding encoding);
    ~AtomicLineWriter();
    AtomicLineWriter(const AtomicLineWriter&) = delete;
    AtomicLineWriter& operator=(const AtomicLineWriter&) = delete;

    void WriteLine(std::string_view utf8);
    // Writes bytes already in the file's code page.
    void WriteBytes(std::string_view bytes);
    // Writes `count` cells joined by ",".
    void WriteRow(const std::string* cells, int count);
    // Writes everything out and syncs it without replacing the target yet.
    void Finish();
    void Commit();

private:
    void Flush();

    std::unique_ptr<SafeFileWriter> file_;
    bool to_stdout_ = false;
    bool committed_ = false;
    FileEncoding encoding_;
    std::string pending_;
};

// "文件导入": the data rows of a file, each split into the table's columns.
// On failure the table is left exactly as it was.
void ImportCoordinateFile(const std::string& path, FieldSplit split, FileEncoding encoding, PointTable& table);

// "数据另存": columns 0..written_columns-1 of every data row, joined by ",".
void SaveCoordinateFile(const std::string& path, const PointTable& table, int written_columns, FileEncoding encoding);

// One row's cells joined by ",".
std::string JoinRow(const std::string* cells, int count);

// Writes a text of "\n"-ended lines as a file of lines (CR LF, `encoding`)
// through AtomicLineWriter.
void SaveTextLines(const std::string& path, FileEncoding encoding, std::string_view text);

}  // namespace coordconv
