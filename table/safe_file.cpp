#include "table/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

#include "core/errors.h"

namespace coordconv {
namespace {

[[noreturn]] void ThrowFileError(int error) { throw CommandError(FileErrorText(error != 0 ? error : EIO)); }

// Folder part of `path`, "." for a bare name.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The system's device and process folders: /dev/stdout, /dev/fd/N and
// /proc/self/fd/N are links to whatever the descriptor is open on (a
// terminal, a pipe, or the file the shell redirected to). Such a path is
// written directly, as any Unix tool writes it, never replaced by a rename.
bool IsSystemPath(const std::string& path) { return path.rfind("/dev/", 0) == 0 || path.rfind("/proc/", 0) == 0; }

// Links nest at most this deep, as the kernel allows (ELOOP beyond).
constexpr int kMaxLinkDepth = 40;

}  // namespace

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

std::string ResolveWriteTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        struct stat status {};
        if (IsSystemPath(current) || lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return current;
        std::vector<char> target(static_cast<std::size_t>(status.st_size > 0 ? status.st_size : 255) + 1);
        const ssize_t length = readlink(current.c_str(), target.data(), target.size());
        if (length < 0) ThrowFileError(errno);
        const std::string next(target.data(), static_cast<std::size_t>(length));
        current = !next.empty() && next[0] == '/' ? next : FolderOf(current) + "/" + next;
    }
    ThrowFileError(ELOOP);
}

SafeFileWriter::SafeFileWriter(const std::string& path) {
    if (path.empty()) throw CommandError("Invalid filename");
    target_ = ResolveWriteTarget(path);
    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) ThrowFileError(EISDIR);
    if (exists && (!S_ISREG(existing.st_mode) || IsSystemPath(target_))) {
        // Devices, FIFOs and sockets take the bytes as they come; renaming a
        // file over them would replace the node itself.
        file_ = std::fopen(target_.c_str(), "wb");
        if (file_ == nullptr) ThrowFileError(errno);
        return;
    }
    temporary_ = target_ + ".XXXXXX";
    const int fd = mkstemp(temporary_.data());
    if (fd < 0) {
        temporary_.clear();
        ThrowFileError(errno);
    }
    // A new file gets the usual permissions; an existing one keeps its own.
    mode_t mode = 0;
    if (exists) {
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
        unlink(temporary_.c_str());
        ThrowFileError(error);
    }
}

SafeFileWriter::~SafeFileWriter() {
    if (!committed_) Abandon();
}

void SafeFileWriter::Abandon() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) unlink(temporary_.c_str());
}

void SafeFileWriter::Write(std::string_view bytes) {
    if (bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) ThrowFileError(errno);
}

void SafeFileWriter::Commit() {
    committed_ = true;
    errno = 0;
    if (std::fflush(file_) != 0) {
        const int error = errno;
        Abandon();
        ThrowFileError(error);
    }
    // A device may not support fsync (EINVAL for /dev/null, a FIFO): only
    // the data of a replaced file must reach the disk before the rename.
    if (!Direct() && fsync(fileno(file_)) != 0) {
        const int error = errno;
        Abandon();
        ThrowFileError(error);
    }
    const int closed = std::fclose(file_);
    const int close_error = errno;
    file_ = nullptr;
    if (closed != 0) {
        Abandon();
        ThrowFileError(close_error);
    }
    if (!Direct() && std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        Abandon();
        ThrowFileError(error);
    }
}

}  // namespace coordconv
