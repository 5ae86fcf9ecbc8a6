#include "table/coordinate_file.h"

#include <cerrno>
#include <cstring>

#include "core/errors.h"
#include "core/number_text.h"

namespace coordconv {

void SplitLineInto(std::string_view line, int count, FieldSplit split, std::vector<std::string>& fields) {
    fields.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
    std::string_view rest = line;
    bool exhausted = false;
    for (int i = 0; i < count; ++i) {
        if (exhausted) {
            // Fitting windows: the fields after the last one on the line are
            // empty. (The projection split never runs out: its rest becomes "0".)
            fields[i].clear();
            continue;
        }
        const std::size_t comma = rest.find(',');
        if (comma == std::string_view::npos) {
            fields[i].assign(rest);
            if (split == FieldSplit::Projection) {
                rest = "0";
            } else {
                exhausted = true;
            }
        } else {
            fields[i].assign(rest.substr(0, comma));
            rest.remove_prefix(comma + 1);
        }
    }
}

std::vector<std::string> SplitLine(std::string_view line, int count, FieldSplit split) {
    std::vector<std::string> fields;
    SplitLineInto(line, count, split, fields);
    return fields;
}

namespace {

[[noreturn]] void ThrowFileError(int error) { throw CommandError(FileErrorText(error)); }

constexpr std::size_t kBufferSize = 1 << 20;

}  // namespace

// ---------------------------------------------------------------------------

LineReader::LineReader(const std::string& path, FileEncoding encoding) : encoding_(encoding), buffer_(kBufferSize) {
    if (path == "-") {
        file_ = stdin;
        return;
    }
    if (path.empty()) throw CommandError("Invalid filename");
    file_ = std::fopen(path.c_str(), "rb");
    if (file_ == nullptr) ThrowFileError(errno);
    owns_file_ = true;
    // fopen succeeds on a directory; reading it fails later with EISDIR.
}

LineReader::~LineReader() {
    if (owns_file_) std::fclose(file_);
}

bool LineReader::Fill() {
    if (eof_) return false;
    if (begin_ > 0) {
        std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    if (end_ == buffer_.size()) {
        // A full buffer without a line end holds one line that is too long to
        // be a point: refuse it before it costs the memory of a whole file.
        if (end_ >= kMaxLineBytes && std::memchr(buffer_.data(), '\n', end_) == nullptr)
            throw CommandError("Line longer than " + std::to_string(kMaxLineBytes / (1 << 20)) + " MB");
        buffer_.resize(buffer_.size() * 2);
    }
    const std::size_t got = std::fread(buffer_.data() + end_, 1, buffer_.size() - end_, file_);
    if (got == 0) {
        if (std::ferror(file_)) ThrowFileError(errno != 0 ? errno : EIO);
        eof_ = true;
        return false;
    }
    end_ += got;
    return true;
}

bool TakeLine(std::string_view& rest, std::string_view& raw_line) {
    if (rest.empty()) return false;
    const std::size_t newline = rest.find('\n');
    if (newline == std::string_view::npos) {
        raw_line = rest;
        rest = {};
    } else {
        raw_line = rest.substr(0, newline);
        rest.remove_prefix(newline + 1);
    }
    return true;
}

void CleanLine(std::string_view raw_line, FileEncoding encoding, std::string& line) {
    if (!raw_line.empty() && raw_line.back() == '\r') raw_line.remove_suffix(1);  // CR LF
    if (raw_line.find('\r') == std::string_view::npos) {
        DecodeInto(raw_line, encoding, line);
        return;
    }
    std::string without_cr;
    without_cr.reserve(raw_line.size());
    for (const char c : raw_line)
        if (c != '\r') without_cr.push_back(c);
    DecodeInto(without_cr, encoding, line);
}

bool LineReader::Next(std::string& line) {
    for (;;) {
        const char* start = buffer_.data() + begin_;
        const void* newline = std::memchr(start, '\n', end_ - begin_);
        if (newline != nullptr || (eof_ && end_ > begin_)) {
            const std::size_t length =
                newline != nullptr ? static_cast<std::size_t>(static_cast<const char*>(newline) - start) : end_ - begin_;
            begin_ += newline != nullptr ? length + 1 : length;
            CleanLine(std::string_view(start, length), encoding_, line);
            return true;
        }
        if (!Fill() && end_ == begin_) return false;
    }
}

void LineReader::NextChunk(std::string& chunk, std::size_t size) {
    chunk.clear();
    for (;;) {
        const std::size_t available = end_ - begin_;
        if (available >= size || eof_) {
            const char* start = buffer_.data() + begin_;
            std::size_t take = std::min(available, size);
            if (!eof_ || take < available) {
                // End on a line feed; a longer line is taken whole.
                const char* last = static_cast<const char*>(memrchr(start, '\n', take));
                if (last == nullptr) last = static_cast<const char*>(std::memchr(start + take, '\n', available - take));
                if (last == nullptr) {
                    if (!eof_) {
                        Fill();
                        continue;
                    }
                    take = available;
                } else {
                    take = static_cast<std::size_t>(last - start) + 1;
                }
            }
            chunk.assign(start, take);
            begin_ += take;
            return;
        }
        if (!Fill() && end_ == begin_) return;
    }
}

// ---------------------------------------------------------------------------

AtomicLineWriter::AtomicLineWriter(const std::string& path, FileEncoding encoding) : encoding_(encoding) {
    pending_.reserve(kBufferSize);
    if (path == "-") {
        to_stdout_ = true;
        return;
    }
    file_ = std::make_unique<SafeFileWriter>(path);
}

AtomicLineWriter::~AtomicLineWriter() {
    // Standard output cannot be taken back: what was produced goes out.
    if (to_stdout_ && !committed_) {
        if (!pending_.empty()) std::fwrite(pending_.data(), 1, pending_.size(), stdout);
        std::fflush(stdout);
    }
}

void AtomicLineWriter::Flush() {
    if (pending_.empty()) return;
    if (to_stdout_) {
        errno = 0;
        if (std::fwrite(pending_.data(), 1, pending_.size(), stdout) != pending_.size())
            ThrowFileError(errno != 0 ? errno : EIO);
    } else {
        file_->Write(pending_);
    }
    pending_.clear();
}

void AtomicLineWriter::WriteLine(std::string_view utf8) {
    AppendEncoded(utf8, encoding_, pending_);
    pending_ += "\r\n";
    if (pending_.size() >= kBufferSize) Flush();
}

void AtomicLineWriter::WriteBytes(std::string_view bytes) {
    pending_.append(bytes);
    if (pending_.size() >= kBufferSize) Flush();
}

void AtomicLineWriter::WriteRow(const std::string* cells, int count) {
    for (int col = 0; col < count; ++col) {
        if (col > 0) pending_.push_back(',');
        AppendEncoded(cells[col], encoding_, pending_);
    }
    pending_ += "\r\n";
    if (pending_.size() >= kBufferSize) Flush();
}

void AtomicLineWriter::Finish() {
    Flush();
    if (!to_stdout_) file_->Finish();
}

void AtomicLineWriter::Commit() {
    Flush();
    committed_ = true;
    if (to_stdout_) {
        errno = 0;
        if (std::fflush(stdout) != 0 || std::ferror(stdout)) ThrowFileError(errno != 0 ? errno : EIO);
        return;
    }
    file_->Commit();
}

// ---------------------------------------------------------------------------

std::string JoinRow(const std::string* cells, int count) {
    std::string line;
    for (int col = 0; col < count; ++col) {
        if (col > 0) line.push_back(',');
        line += cells[col];
    }
    return line;
}

void ImportCoordinateFile(const std::string& path, FieldSplit split, FileEncoding encoding, PointTable& table) {
    LineReader reader(path, encoding);
    const int columns = table.ColCount();
    std::vector<std::string> cells;
    int rows = 0;
    std::string line;
    std::vector<std::string> fields;
    while (reader.Next(line)) {
        SplitLineInto(line, columns, split, fields);
        for (const auto& field : fields) cells.push_back(field);
        ++rows;
    }
    table.AssignDataRows(std::move(cells), rows);
}

void SaveCoordinateFile(const std::string& path, const PointTable& table, int written_columns, FileEncoding encoding) {
    AtomicLineWriter writer(path, encoding);
    for (int row = 1; row < table.RowCount(); ++row) writer.WriteRow(table.Row(row), written_columns);
    writer.Commit();
}

void SaveTextLines(const std::string& path, FileEncoding encoding, std::string_view text) {
    AtomicLineWriter writer(path, encoding);
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        writer.WriteLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    writer.Commit();
}

}  // namespace coordconv

