#include "table/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "core/errors.h"
#include "table/safe_file.h"

namespace coordconv {
namespace {

[[noreturn]] void ThrowFileError(int error) { throw CommandError(FileErrorText(error)); }

[[noreturn]] void ThrowTooLarge(std::size_t max_bytes) {
    constexpr std::size_t kMegabyte = 1u << 20;
    throw CommandError(max_bytes % kMegabyte == 0 ? "File larger than " + std::to_string(max_bytes / kMegabyte) + " MB"
                                                  : "File larger than " + std::to_string(max_bytes / 1024) + " KB");
}

}  // namespace

void RequireRegularFile(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return;
    if (!S_ISREG(status.st_mode)) ThrowFileError(EACCES);
}

std::string ReadRegularFile(const std::string& path, std::size_t max_bytes) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) ThrowFileError(errno);
    if (!S_ISREG(status.st_mode)) ThrowFileError(EACCES);
    if (static_cast<unsigned long long>(status.st_size) > max_bytes) ThrowTooLarge(max_bytes);
    std::string bytes;
#ifdef _WIN32
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) ThrowFileError(errno);
    char block[65536];
    std::size_t got = 0;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
        bytes.append(block, got);
        if (bytes.size() > max_bytes) {
            std::fclose(file);
            ThrowTooLarge(max_bytes);
        }
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) ThrowFileError(EIO);
#else
    // Opened without waiting, so that a FIFO put in the file's place after the
    // check cannot hold the open; the opened file is checked once more.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) ThrowFileError(errno);
    struct Closer {
        int descriptor;
        ~Closer() { ::close(descriptor); }
    } const closer{descriptor};
    if (::fstat(descriptor, &status) != 0) ThrowFileError(errno);
    if (!S_ISREG(status.st_mode)) ThrowFileError(EACCES);
    if (static_cast<unsigned long long>(status.st_size) > max_bytes) ThrowTooLarge(max_bytes);
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    char block[65536];
    for (;;) {
        const ssize_t got = ::read(descriptor, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) ThrowFileError(errno);
        if (got == 0) break;
        bytes.append(block, static_cast<std::size_t>(got));
        // The file may grow while it is read.
        if (bytes.size() > max_bytes) ThrowTooLarge(max_bytes);
    }
#endif
    return bytes;
}

}  // namespace coordconv
