// Reading regular files only. A FIFO keeps its reader waiting until another
// program writes, a device such as /dev/zero never ends, a socket cannot be
// read: the windows read files they take in whole, so they accept regular
// files only and refuse the others with "File access denied" before any open.
#pragma once

#include <cstddef>
#include <string>

namespace coordconv {

// Throws CommandError "File access denied" when `path` (links followed)
// exists and is no regular file: a folder, a FIFO, a socket or a device. A
// path that does not exist is left to the open, which names that error.
void RequireRegularFile(const std::string& path);

// The bytes of the regular file `path`, at most `max_bytes` of them. Throws
// CommandError: "File access denied" for anything but a regular file (checked
// before the open and again on the file opened, which is opened without
// waiting), "File larger than N MB" (or KB) beyond `max_bytes`, the program's file
// error texts for other failures.
std::string ReadRegularFile(const std::string& path, std::size_t max_bytes);

}  // namespace coordconv
