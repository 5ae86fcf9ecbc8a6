#include "table/safe_file.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <sys/syscall.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
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
// permissions, so the existing file's mode and owner are not applied.
int CreateTemporary(char* pattern, const struct stat*) {
    if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0) return -1;
    return _open(pattern, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}
// A new file named `pattern` (its XXXXXX replaced) followed by `suffix`.
int CreateScratch(char* pattern, std::size_t suffix_length) {
    const std::string suffix(pattern + std::strlen(pattern) - suffix_length);
    pattern[std::strlen(pattern) - suffix_length] = '\0';
    if (_mktemp_s(pattern, std::strlen(pattern) + 1) != 0) return -1;
    std::strcat(pattern, suffix.c_str());
    return _open(pattern, _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY, _S_IREAD | _S_IWRITE);
}
bool MayWrite(const std::string& path) { return _access(path.c_str(), 2) == 0; }
void CloseDescriptor(int fd) { _close(fd); }
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
// A temporary file beside the target with the owner, group and permissions
// of the existing file, or the usual ones (the user's, 0666 less the umask)
// for a new one. Another owner needs root, another group one the user
// belongs to: where that is not allowed the file stays the user's, as any
// program's new file would. The owner goes first, since a change of owner
// clears the set-user-ID and set-group-ID bits.
int CreateTemporary(char* pattern, const struct stat* existing) {
    const int fd = mkstemp(pattern);
    if (fd < 0) return fd;
    if (existing != nullptr) {
        [[maybe_unused]] const bool owner_kept = fchown(fd, existing->st_uid, existing->st_gid) == 0 ||
                                                 fchown(fd, static_cast<uid_t>(-1), existing->st_gid) == 0;
        fchmod(fd, existing->st_mode & 07777);
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask);
    }
    return fd;
}
// A new file named `pattern` (its XXXXXX replaced, `suffix_length` bytes of
// suffix kept), readable and writable by the user only.
int CreateScratch(char* pattern, std::size_t suffix_length) { return mkstemps(pattern, static_cast<int>(suffix_length)); }
// Whether the user running the program may write the file, by its
// permissions and the file system (read-only mounts); root may write any
// file on a writable file system, as it may with cp.
bool MayWrite(const std::string& path) { return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0; }
void CloseDescriptor(int fd) { close(fd); }
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
    std::array<volatile std::sig_atomic_t, kMaxTemporaries> folder{};  // a staging folder, not a file
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
        if (slots.used[i] && path == slots.paths[i].data()) {
            slots.used[i] = 0;
            slots.folder[i] = 0;
        }
}

// Removes a staging folder and the files in it from a signal handler: only
// system calls that are safe there (no opendir, which allocates).
void RemoveFolderInHandler(const char* path) {
#if defined(__linux__)
    const int fd = open(path, O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        alignas(8) static char buffer[8192];
        for (;;) {
            const long got = syscall(SYS_getdents64, fd, buffer, sizeof buffer);
            if (got <= 0) break;
            for (long offset = 0; offset < got;) {
                // struct linux_dirent64: d_ino (8), d_off (8), d_reclen (2), d_type (1), d_name.
                unsigned short length = 0;
                std::memcpy(&length, buffer + offset + 16, sizeof length);
                const char* const name = buffer + offset + 19;
                if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) unlinkat(fd, name, 0);
                offset += length;
            }
        }
        close(fd);
    }
    rmdir(path);
#else
    (void)path;
#endif
}

extern "C" void RemoveTemporariesAndEnd(int signal_number) {
    TemporaryFileSlots& slots = Temporaries();
    for (std::size_t i = 0; i < kMaxTemporaries; ++i)
        if (slots.used[i]) {
            if (slots.folder[i])
                RemoveFolderInHandler(slots.paths[i].data());
            else
                RemoveFile(slots.paths[i].data());
        }
    // The signal is blocked while its handler runs: raised again with its
    // default action, it ends the program as soon as the handler returns.
    std::signal(signal_number, SIG_DFL);
    std::raise(signal_number);
}

#ifndef _WIN32
// Installs the removal for `signal_number` unless the program was started
// with it ignored.
void RemoveTemporariesOn(int signal_number) {
    struct sigaction current {};
    if (sigaction(signal_number, nullptr, &current) != 0) return;
    if ((current.sa_flags & SA_SIGINFO) == 0 && current.sa_handler == SIG_IGN) return;
    struct sigaction removal {};
    removal.sa_handler = RemoveTemporariesAndEnd;
    // No second signal interrupts the removal half way.
    sigfillset(&removal.sa_mask);
    sigaction(signal_number, &removal, nullptr);
}
#endif

}  // namespace

void RemoveTemporaryFilesOnInterrupt() {
    Temporaries();
#ifdef _WIN32
    for (const int signal_number : {SIGINT, SIGTERM, SIGABRT}) std::signal(signal_number, RemoveTemporariesAndEnd);
#ifdef SIGBREAK
    std::signal(SIGBREAK, RemoveTemporariesAndEnd);
#endif
#else
    // The signals whose default action ends the process (signal(7): "Term"
    // and "Core"); SIGKILL and SIGSTOP cannot be caught.
    static constexpr int kEndingSignals[] = {
        SIGHUP,  SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT,   SIGBUS,  SIGFPE,  SIGUSR1, SIGSEGV,
        SIGUSR2, SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGSYS,
#ifdef SIGSTKFLT
        SIGSTKFLT,
#endif
#ifdef SIGIO
        SIGIO,
#endif
#ifdef SIGPWR
        SIGPWR,
#endif
    };
    for (const int signal_number : kEndingSignals) RemoveTemporariesOn(signal_number);
    for (int signal_number = SIGRTMIN; signal_number <= SIGRTMAX; ++signal_number) RemoveTemporariesOn(signal_number);
#endif
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
    // The rename needs only the folder's permission: a file the user may not
    // write is refused here, as cp refuses it.
    if (exists && IsRegularFile(existing) && !IsSystemPath(target_) && !MayWrite(target_)) ThrowFileError(errno);
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
    const int fd = CreateTemporary(name, exists ? &existing : nullptr);
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
        CloseDescriptor(fd);
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

ScratchFile::ScratchFile(const std::string& prefix, const std::string& suffix) {
    const char* const variable = std::getenv("TMPDIR");
    std::string folder = variable != nullptr && variable[0] != '\0' ? variable : "/tmp";
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    std::string pattern = (folder == "/" ? "" : folder) + "/" + prefix + "-XXXXXX" + suffix;
    char* const slot = ReserveTemporary(pattern);
    char* const name = slot != nullptr ? slot : pattern.data();
    const int fd = CreateScratch(name, suffix.size());
    const int create_error = errno;
    if (fd < 0) {
        UnregisterTemporary(name);
        ThrowFileError(create_error);
    }
    CloseDescriptor(fd);
    path_ = name;
}

ScratchFile::~ScratchFile() {
    RemoveFile(path_);
    UnregisterTemporary(path_);
}

namespace {

// Marks the slot holding `path` as a folder.
void MarkTemporaryFolder(const std::string& path) {
    TemporaryFileSlots& slots = Temporaries();
    for (std::size_t i = 0; i < kMaxTemporaries; ++i)
        if (slots.used[i] && path == slots.paths[i].data()) slots.folder[i] = 1;
}

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

StagingFolder::StagingFolder(const std::string& target) {
    if (target.empty()) throw CommandError("Invalid filename");
    const std::string resolved = ResolveWriteTarget(target);
    struct stat existing {};
    if (stat(resolved.c_str(), &existing) == 0 && IsFolder(existing)) ThrowFileError(EISDIR);
    target_folder_ = FolderOf(resolved);
    const std::string name = FileNameOf(resolved);
    // TARGET.XXXXXX with six random letters and digits; created exclusively.
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<int> letter(0, static_cast<int>(sizeof kLetters) - 2);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = resolved + ".";
        for (int i = 0; i < 6; ++i) candidate += kLetters[letter(random)];
        char* const slot = ReserveTemporary(candidate);
        std::error_code error;
        const bool made = std::filesystem::create_directory(candidate, error);
        if (made) {
            folder_ = candidate;
            if (slot != nullptr) MarkTemporaryFolder(candidate);
            staged_ = folder_ + "/" + name;
            return;
        }
        if (slot != nullptr) UnregisterTemporary(candidate);
        if (error && error != std::errc::file_exists) ThrowFileError(error.value());
    }
    ThrowFileError(EEXIST);
}

StagingFolder::~StagingFolder() {
    if (committed_ || folder_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
    UnregisterTemporary(folder_);
}

std::vector<std::string> StagingFolder::Commit(const std::vector<std::string>& stale) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder_, error))
        if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
    if (error) ThrowFileError(error.value());
    std::vector<std::string> written;
    for (const std::string& name : names) {
        const std::string from = folder_ + "/" + name;
        const std::string to = ResolveWriteTarget(target_folder_ + "/" + name);
        struct stat existing {};
        if (stat(to.c_str(), &existing) == 0) {
            if (IsFolder(existing)) ThrowFileError(EISDIR);
            if (!MayWrite(to)) ThrowFileError(errno);
#ifndef _WIN32
            [[maybe_unused]] const bool owner_kept = chown(from.c_str(), existing.st_uid, existing.st_gid) == 0 ||
                                                     chown(from.c_str(), static_cast<uid_t>(-1), existing.st_gid) == 0;
            chmod(from.c_str(), existing.st_mode & 07777);
#endif
        }
    }
    for (const std::string& name : names) {
        const std::string from = folder_ + "/" + name;
        const std::string to = ResolveWriteTarget(target_folder_ + "/" + name);
        if (!ReplaceFile(from, to)) ThrowFileError(errno);
        written.push_back(to);
    }
    for (const std::string& name : stale) {
        if (std::find(names.begin(), names.end(), name) != names.end()) continue;
        RemoveFile(target_folder_ + "/" + name);
    }
    committed_ = true;
    std::filesystem::remove_all(folder_, error);
    UnregisterTemporary(folder_);
    return written;
}

}  // namespace coordconv
