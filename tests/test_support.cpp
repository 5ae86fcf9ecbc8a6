#include "tests/test_support.h"

#include <gtest/gtest.h>

#include "core/errors.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

namespace coordconv::testing {

namespace {

// Every test starts with clear floating-point status flags, as every window
// command does, so a flag one test leaves raised cannot fail the next.
class ClearFlagsBeforeEachTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { ClearFloatingPointFlags(); }
};

const bool kFlagsListenerRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new ClearFlagsBeforeEachTest);
    return true;
}();

}  // namespace

ScratchDir::ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "coordconv-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string MakeFullDevice(const ScratchDir& dir, const std::string& name) {
    const std::string path = dir.Path(name);
    if (geteuid() != 0 || mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 7)) != 0) return "";
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int EntriesIn(const std::string& folder) {
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

#ifdef COORDCONV_CLI
namespace {
std::string Quote(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted.push_back(c);
        }
    }
    return quoted + "'";
}
}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::string& stdin_bytes) {
    return RunProgram(COORDCONV_CLI, args, stdin_bytes);
}

CliRun RunProgram(const std::string& program, const std::vector<std::string>& args, const std::string& stdin_bytes) {
    const ScratchDir scratch;
    const std::string in_path = scratch.Path("stdin");
    const std::string out_path = scratch.Path("stdout");
    const std::string err_path = scratch.Path("stderr");
    WriteBytes(in_path, stdin_bytes);
    std::string command = Quote(program);
    for (const auto& arg : args) command += " " + Quote(arg);
    command += " <" + Quote(in_path) + " >" + Quote(out_path) + " 2>" + Quote(err_path);
    const int raw = std::system(command.c_str());
    CliRun run{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadBytes(out_path), ReadBytes(err_path)};
    return run;
}
#endif

}  // namespace coordconv::testing
