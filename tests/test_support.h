// Helpers shared by the tests: scratch folders, whole-file bytes, and running
// the built coordconv-cli.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "core/errors.h"

namespace coordconv::testing {

// A fresh folder under the system's temporary folder, removed with its
// contents at destruction.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// A node of the full device (every write fails with ENOSPC) made with mknod
// as `name` in `dir`; empty when the user may not make device nodes (not
// root). The tests never write the system's own /dev nodes.
std::string MakeFullDevice(const ScratchDir& dir, const std::string& name);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// The number of entries (files, folders) in `folder`.
int EntriesIn(const std::string& folder);
bool FileExists(const std::string& path);

// The text of the CommandError `command` ends with (floating-point flags
// cleared before it runs), or "" when it succeeds. Inline: the Windows test
// build takes this header without the rest of the test support.
inline std::string ErrorOf(const std::function<void()>& command) {
    const FloatingPointScope scope;
    try {
        command();
    } catch (const CommandError& error) {
        return error.what();
    }
    return "";
}

struct CliRun {
    int status;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs the built coordconv-cli with `args`, feeding `stdin_bytes`.
CliRun RunCli(const std::vector<std::string>& args, const std::string& stdin_bytes = "");
// Runs `program` (a path, or a name looked up on PATH) the same way.
CliRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdin_bytes = "");

}  // namespace coordconv::testing
