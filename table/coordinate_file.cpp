#include "table/coordinate_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

std::vector<std::string> SplitProjectionFields(std::string_view line, int count) {
    return SplitLine(line, count, FieldSplit::Projection);
}

std::vector<std::string> SplitLine(std::string_view line, int count, FieldSplit split) {
    std::vector<std::string> fields;
    SplitLineInto(line, count, split, fields);
    return fields;
}

std::string FileErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case ENAMETOOLONG:
    case EINVAL:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(error);
    }
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
    if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
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

AtomicLineWriter::AtomicLineWriter(const std::string& path, FileEncoding encoding) : path_(path), encoding_(encoding) {
    pending_.reserve(kBufferSize);
    if (path == "-") {
        to_stdout_ = true;
        file_ = stdout;
        return;
    }
    if (path.empty()) throw CommandError("Invalid filename");
    struct stat existing {};
    if (stat(path.c_str(), &existing) == 0 && S_ISDIR(existing.st_mode)) ThrowFileError(EISDIR);
    temporary_path_ = path + ".XXXXXX";
    const int fd = mkstemp(temporary_path_.data());
    if (fd < 0) ThrowFileError(errno);
    // A new file gets the usual permissions; an existing one keeps its own.
    mode_t mode = 0;
    if (stat(path.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
        close(fd);
        unlink(temporary_path_.c_str());
        ThrowFileError(error);
    }
}

AtomicLineWriter::~AtomicLineWriter() {
    if (to_stdout_) {
        if (!pending_.empty()) std::fwrite(pending_.data(), 1, pending_.size(), stdout);
        std::fflush(stdout);
        return;
    }
    if (!committed_ && file_ != nullptr) {
        std::fclose(file_);
        unlink(temporary_path_.c_str());
    }
}

void AtomicLineWriter::Flush() {
    if (pending_.empty()) return;
    if (std::fwrite(pending_.data(), 1, pending_.size(), file_) != pending_.size()) ThrowFileError(errno != 0 ? errno : EIO);
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

void AtomicLineWriter::Commit() {
    Flush();
    if (to_stdout_) {
        std::fflush(stdout);
        committed_ = true;
        return;
    }
    if (std::fflush(file_) != 0 || fsync(fileno(file_)) != 0) ThrowFileError(errno);
    const int closed = std::fclose(file_);
    file_ = nullptr;
    if (closed != 0 || std::rename(temporary_path_.c_str(), path_.c_str()) != 0) {
        const int error = errno;
        unlink(temporary_path_.c_str());
        committed_ = true;
        ThrowFileError(error);
    }
    committed_ = true;
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

}  // namespace coordconv

