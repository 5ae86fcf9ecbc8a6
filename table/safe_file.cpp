#include "table/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <array>
#include <csignal>
#include <cstring>
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

// The platform's file calls, in one place.
#ifdef _WIN32
bool IsLink(const std::string&) { return false; }
std::string LinkTarget(const std::string& path) { return path; }
bool IsRegularFile(const struct stat& status) { return (status.st_mode & _S_IFMT) == _S_IFREG; }
bool IsFolder(const struct stat& status) { return (status.st_mode & _S_IFMT) == _S_IFDIR; }
// A temporary file beside the target; Windows files take the folder's
// permissions, so `mode` is not applied.
int CreateTemporary(char* pattern, bool, unsigned) {
    if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0) return -1;
    return _open(pattern, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool SyncToDisk(std::FILE* file) { return _commit(_fileno(file)) == 0; }
bool ReplaceFile(const std::string& from, const std::string& to) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    errno = GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
}
void RemoveFile(const std::string& path) { _unlink(path.c_str()); }
#else
bool IsLink(const std::string& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}
std::string LinkTarget(const std::string& path) {
    std::vector<char> target(4096);
    const ssize_t length = readlink(path.c_str(), target.data(), target.size());
    if (length < 0) ThrowFileError(errno);
    return std::string(target.data(), static_cast<std::size_t>(length));
}
bool IsRegularFile(const struct stat& status) { return S_ISREG(status.st_mode); }
bool IsFolder(const struct stat& status) { return S_ISDIR(status.st_mode); }
// A temporary file beside the target with the permissions of the existing
// file, or the usual ones (0666 less the umask) for a new one.
int CreateTemporary(char* pattern, bool keep_mode, unsigned mode) {
    const int fd = mkstemp(pattern);
    if (fd < 0) return fd;
    if (!keep_mode) {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    fchmod(fd, mode);
    return fd;
}
bool SyncToDisk(std::FILE* file) { return fsync(fileno(file)) == 0; }
bool ReplaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }
void RemoveFile(const std::string& path) { unlink(path.c_str()); }
#endif

// The temporary files in progress, in storage a signal handler may read: a
// signal can come at any time, so the handler touches nothing else.
constexpr std::size_t kMaxTemporaries = 16;
constexpr std::size_t kMaxTemporaryPath = 4096;
struct TemporaryFileSlots {
    std::array<std::array<char, kMaxTemporaryPath>, kMaxTemporaries> paths{};
    std::array<volatile std::sig_atomic_t, kMaxTemporaries> used{};
};
TemporaryFileSlots& Temporaries() {
    static TemporaryFileSlots slots;
    return slots;
}

// A slot holding `pattern`, taken before the file is created: the name is
// made in the slot itself, so an interrupt that comes at any moment after the
// file exists finds its name there. Null when every slot is in use.
char* ReserveTemporary(const std::string& pattern) {
    if (pattern.size() >= kMaxTemporaryPath) return nullptr;
    TemporaryFileSlots& slots = Temporaries();
    for (std::size_t i = 0; i < kMaxTemporaries; ++i) {
        if (slots.used[i]) continue;
        std::memcpy(slots.paths[i].data(), pattern.c_str(), pattern.size() + 1);
        slots.used[i] = 1;
        return slots.paths[i].data();
    }
    return nullptr;
}

void UnregisterTemporary(const std::string& path) {
    TemporaryFileSlots& slots = Temporaries();
    for (std::size_t i = 0; i < kMaxTemporaries; ++i)
        if (slots.used[i] && path == slots.paths[i].data()) slots.used[i] = 0;
}

extern "C" void RemoveTemporariesAndEnd(int signal_number) {
    TemporaryFileSlots& slots = Temporaries();
    for (std::size_t i = 0; i < kMaxTemporaries; ++i)
        if (slots.used[i]) RemoveFile(slots.paths[i].data());
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
    Temporaries();
    std::signal(SIGINT, RemoveTemporariesAndEnd);
    std::signal(SIGTERM, RemoveTemporariesAndEnd);
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
#ifdef EDQUOT
    case EDQUOT:
#endif
    case EFBIG:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(error);
    }
}

std::string ResolveWriteTarget(const std::string& path) {
    std::string current = path;
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        if (IsSystemPath(current) || !IsLink(current)) return current;
        const std::string next = LinkTarget(current);
        current = !next.empty() && next[0] == '/' ? next : FolderOf(current) + "/" + next;
    }
    ThrowFileError(ELOOP);
}

SafeFileWriter::SafeFileWriter(const std::string& path) {
    if (path.empty()) throw CommandError("Invalid filename");
    target_ = ResolveWriteTarget(path);
    struct stat existing {};
    const bool exists = stat(target_.c_str(), &existing) == 0;
    if (exists && IsFolder(existing)) ThrowFileError(EISDIR);
    if (exists && (!IsRegularFile(existing) || IsSystemPath(target_))) {
        // Devices, FIFOs and sockets take the bytes as they come; renaming a
        // file over them would replace the node itself.
        file_ = std::fopen(target_.c_str(), "wb");
        if (file_ == nullptr) ThrowFileError(errno);
        return;
    }
    std::string pattern = target_ + ".XXXXXX";
    char* const slot = ReserveTemporary(pattern);
    char* const name = slot != nullptr ? slot : pattern.data();
    const int fd = CreateTemporary(name, exists, static_cast<unsigned>(existing.st_mode & 07777));
    const int create_error = errno;
    temporary_ = name;
    if (fd < 0) {
        UnregisterTemporary(temporary_);
        temporary_.clear();
        ThrowFileError(create_error);
    }
    file_ = fdopen(fd, "wb");
    if (file_ == nullptr) {
        const int error = errno;
#ifdef _WIN32
        _close(fd);
#else
        close(fd);
#endif
        RemoveFile(temporary_);
        UnregisterTemporary(temporary_);
        ThrowFileError(error);
    }
}

SafeFileWriter::~SafeFileWriter() {
    if (!committed_) Abandon();
}

void SafeFileWriter::Abandon() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
    if (!temporary_.empty()) {
        RemoveFile(temporary_);
        UnregisterTemporary(temporary_);
    }
}

void SafeFileWriter::Write(std::string_view bytes) {
    if (bytes.empty()) return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) ThrowFileError(errno);
}

void SafeFileWriter::Finish() {
    if (finished_) return;
    finished_ = true;
    errno = 0;
    if (std::fflush(file_) != 0) {
        const int error = errno;
        Abandon();
        ThrowFileError(error);
    }
    // A device may not support fsync (EINVAL for /dev/null, a FIFO): only
    // the data of a replaced file must reach the disk before the rename.
    if (!Direct() && !SyncToDisk(file_)) {
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
}

void SafeFileWriter::Commit() {
    Finish();
    committed_ = true;
    if (!Direct() && !ReplaceFile(temporary_, target_)) {
        const int error = errno;
        committed_ = false;
        Abandon();
        ThrowFileError(error);
    }
    if (!Direct()) UnregisterTemporary(temporary_);
}

}  // namespace coordconv
