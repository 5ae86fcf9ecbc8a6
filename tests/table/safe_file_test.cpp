#include "table/safe_file.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <thread>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::EntriesIn;
using testing::ScratchDir;
using testing::WriteBytes;

// A child process (with the program's interrupt cleanup) runs `hold`, which
// makes a temporary and reports its path; the path must exist while the
// child holds it. The child is then ended by `signal_number` and the path
// returned, for the caller to check that nothing is left.
using ReportPath = std::function<void(const std::string& path)>;
std::string HoldAndEndBySignal(int signal_number, const std::function<void(const ReportPath&)>& hold) {
    int names[2];
    if (pipe(names) != 0) {
        ADD_FAILURE() << "pipe";
        return {};
    }
    const pid_t child = fork();
    if (child == 0) {
        std::signal(signal_number, SIG_DFL);
        RemoveTemporaryFilesOnInterrupt();
        hold([&names](const std::string& path) {
            const std::string line = path + "\n";
            if (write(names[1], line.data(), line.size()) != static_cast<ssize_t>(line.size())) _exit(1);
            for (;;) pause();
        });
        _exit(1);
    }
    close(names[1]);
    std::string path;
    char c = 0;
    while (read(names[0], &c, 1) == 1 && c != '\n') path.push_back(c);
    close(names[0]);
    EXPECT_TRUE(std::filesystem::exists(path)) << path;
    kill(child, signal_number);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number) << status;
    return path;
}

void Save(const std::string& path, const std::string& bytes) {
    SafeFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

TEST(SafeFileWriter, LinksAreWrittenThroughAndStayLinks) {
    const ScratchDir dir;
    std::filesystem::create_directory(dir.Path("data"));
    std::filesystem::create_directory(dir.Path("work"));
    WriteBytes(dir.Path("data/real.txt"), "old\r\n");
    chmod(dir.Path("data/real.txt").c_str(), 0640);
    // A relative link into another folder, and a link to that link.
    std::filesystem::create_symlink("../data/real.txt", dir.Path("work/link.txt"));
    std::filesystem::create_symlink(dir.Path("work/link.txt"), dir.Path("chain.txt"));

    Save(dir.Path("work/link.txt"), "new\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("work/link.txt")));
    EXPECT_EQ(ReadBytes(dir.Path("data/real.txt")), "new\r\n");
    struct stat status {};
    ASSERT_EQ(stat(dir.Path("data/real.txt").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    Save(dir.Path("chain.txt"), "newer\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("chain.txt")));
    EXPECT_EQ(ReadBytes(dir.Path("data/real.txt")), "newer\r\n");
    EXPECT_EQ(EntriesIn(dir.Path("data")), 1);
    EXPECT_EQ(EntriesIn(dir.Path("work")), 1);

    // A dangling link creates the file it names.
    std::filesystem::create_symlink("data/made.txt", dir.Path("dangling.txt"));
    Save(dir.Path("dangling.txt"), "made\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path("dangling.txt")));
    EXPECT_EQ(ReadBytes(dir.Path("data/made.txt")), "made\r\n");

    // A loop of links is an error, not a hang.
    std::filesystem::create_symlink("b", dir.Path("a"));
    std::filesystem::create_symlink("a", dir.Path("b"));
    EXPECT_THROW(Save(dir.Path("a"), "x"), CommandError);
}

TEST(SafeFileWriter, DevicesAndFifosAreWrittenDirectly) {
    const ScratchDir dir;
    // A FIFO with a reader receives the bytes and stays a FIFO.
    ASSERT_EQ(mkfifo(dir.Path("pipe").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadBytes(dir.Path("pipe")); });
    Save(dir.Path("pipe"), "P1,1,2\r\n");
    reader.join();
    EXPECT_EQ(received, "P1,1,2\r\n");
    EXPECT_TRUE(std::filesystem::is_fifo(dir.Path("pipe")));

    // A character device (a null device made in the scratch folder) stays a
    // device; a full device reports its error as a full disk.
    if (geteuid() != 0 || mknod(dir.Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "mknod needs root: the device case is not run";
    }
    Save(dir.Path("null"), "gone\r\n");
    EXPECT_TRUE(std::filesystem::is_character_file(dir.Path("null")));
    const std::string full = testing::MakeFullDevice(dir, "full");
    ASSERT_FALSE(full.empty());
    try {
        Save(full, "P1\r\n");
        ADD_FAILURE() << "a write to the full device succeeded";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "Disk full");
    }
    EXPECT_TRUE(std::filesystem::is_character_file(full));
}

// A file the user may not write is refused, as cp refuses it, even in a
// folder that takes new files; root writes any file, as cp does, and the
// file keeps its owner, group and mode.
TEST(SafeFileWriter, FilesTheUserMayNotWriteAreRefused) {
    const ScratchDir dir;
    chmod(dir.Path("").c_str(), 0777);
    const std::string locked = dir.Path("locked.txt");
    WriteBytes(locked, "old\r\n");
    chmod(locked.c_str(), 0444);
    // Exit status 0 when a new file beside `path` can be written and the
    // save of `path` is refused as "File access denied".
    const auto refused = [&](const std::string& path) {
        try {
            Save(dir.Path("mine.txt"), "mine\r\n");
        } catch (const CommandError&) {
            return 4;
        }
        try {
            Save(path, "new\r\n");
            return 1;
        } catch (const CommandError& error) {
            return std::string(error.what()) == "File access denied" ? 0 : 2;
        }
    };
    if (geteuid() != 0) {
        EXPECT_EQ(refused(locked), 0);
    } else {
        // Another user's file, rewritten by root.
        ASSERT_EQ(chown(locked.c_str(), 65534, 65534), 0);
        Save(locked, "root\r\n");
        struct stat status {};
        ASSERT_EQ(stat(locked.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 65534u);
        EXPECT_EQ(status.st_gid, 65534u);
        EXPECT_EQ(status.st_mode & 07777, 0444u);
        EXPECT_EQ(ReadBytes(locked), "root\r\n");
        // The same file for its owner, the user nobody, in a child process.
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
            _exit(refused(locked));
        }
        int child_status = 0;
        waitpid(child, &child_status, 0);
        EXPECT_TRUE(WIFEXITED(child_status) && WEXITSTATUS(child_status) == 0) << child_status;
        EXPECT_EQ(ReadBytes(dir.Path("mine.txt")), "mine\r\n");
    }
    EXPECT_EQ(ReadBytes(locked), geteuid() == 0 ? "root\r\n" : "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Path("")), 2);
}

// A scratch file is named PREFIX-XXXXXX.SUFFIX in $TMPDIR and is gone after
// its end, also when a signal ends the program that made it.
TEST(ScratchFile, RemovedAtItsEndAndOnSignals) {
    const ScratchDir dir;
    const char* const saved = std::getenv("TMPDIR");
    const std::string saved_tmpdir = saved != nullptr ? saved : "";
    setenv("TMPDIR", dir.Path("").c_str(), 1);  // with a trailing slash
    std::string made;
    {
        const ScratchFile scratch("coordconv-cad", ".dxf");
        made = scratch.Path();
        EXPECT_TRUE(FileExists(made));
    }
    EXPECT_EQ(made.rfind(dir.Path("coordconv-cad-"), 0), 0u) << made;
    EXPECT_EQ(made.size(), dir.Path("coordconv-cad-XXXXXX.dxf").size()) << made;
    EXPECT_FALSE(FileExists(made));

    for (const int signal_number : {SIGTERM, SIGHUP, SIGUSR2}) {
        const std::string path = HoldAndEndBySignal(signal_number, [](const ReportPath& report) {
            const ScratchFile scratch("coordconv-cad", ".dxf");
            report(scratch.Path());
        });
        EXPECT_FALSE(FileExists(path)) << "signal " << signal_number;
    }
    if (saved != nullptr) {
        setenv("TMPDIR", saved_tmpdir.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_EQ(EntriesIn(dir.Path("")), 0);
}

// A file set (a shapefile) written into the staging folder: committed, each
// file replaces its old one with the old permissions and an old companion
// the new set lacks goes; abandoned or ended by a signal, nothing is left.
TEST(StagingFolder, CommitsAFileSetOrLeavesNothing) {
    const ScratchDir dir;
    WriteBytes(dir.Path("a.shp"), "old");
    WriteBytes(dir.Path("a.prj"), "old system");
    chmod(dir.Path("a.shp").c_str(), 0640);
    {
        StagingFolder staging(dir.Path("a.shp"));
        EXPECT_EQ(staging.StagedPath(), staging.Path() + "/a.shp");
        WriteBytes(staging.StagedPath(), "new");
        WriteBytes(staging.Path() + "/a.dbf", "table");
        staging.Commit({"a.shx", "a.dbf", "a.prj"});
    }
    EXPECT_EQ(ReadBytes(dir.Path("a.shp")), "new");
    EXPECT_EQ(ReadBytes(dir.Path("a.dbf")), "table");
    EXPECT_FALSE(FileExists(dir.Path("a.prj")));
    struct stat status {};
    ASSERT_EQ(stat(dir.Path("a.shp").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_EQ(EntriesIn(dir.Path("")), 2);
    {
        StagingFolder staging(dir.Path("a.shp"));
        WriteBytes(staging.StagedPath(), "abandoned");
    }
    EXPECT_EQ(ReadBytes(dir.Path("a.shp")), "new");
    EXPECT_EQ(EntriesIn(dir.Path("")), 2);

    const std::string path = HoldAndEndBySignal(SIGTERM, [&dir](const ReportPath& report) {
        const StagingFolder staging(dir.Path("b.gpkg"));
        WriteBytes(staging.StagedPath(), "half");
        WriteBytes(staging.StagedPath() + "-journal", "half");
        report(staging.Path());
    });
    EXPECT_FALSE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(EntriesIn(dir.Path("")), 2);
}

TEST(SafeFileWriter, AFailedSaveKeepsTheOldFile) {
    const ScratchDir dir;
    WriteBytes(dir.Path("old.txt"), "old\r\n");
    {
        SafeFileWriter writer(dir.Path("old.txt"));
        writer.Write("half");
    }
    EXPECT_EQ(ReadBytes(dir.Path("old.txt")), "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Path("")), 1);
    EXPECT_THROW(SafeFileWriter{dir.Path("")}, CommandError);
    EXPECT_THROW(SafeFileWriter{dir.Path("missing/x.txt")}, CommandError);

    // A disk that fills up during the save: a small tmpfs holding the old
    // file and a filler that leaves no room for the new content.
    std::filesystem::create_directory(dir.Path("small"));
    if (geteuid() != 0 || mount("tmpfs", dir.Path("small").c_str(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "mounting a tmpfs is not allowed here: the full-disk case is not run";
    }
    const std::string old_bytes(8192, 'o');
    WriteBytes(dir.Path("small/old.txt"), old_bytes);
    std::FILE* filler = std::fopen(dir.Path("small/filler").c_str(), "wb");
    const std::string block(4096, 'f');
    while (filler != nullptr && std::fwrite(block.data(), 1, block.size(), filler) == block.size() &&
           std::fflush(filler) == 0) {
    }
    if (filler != nullptr) std::fclose(filler);
    EXPECT_THROW(Save(dir.Path("small/old.txt"), std::string(65536, 'n')), CommandError);
    EXPECT_EQ(ReadBytes(dir.Path("small/old.txt")), old_bytes);
    EXPECT_EQ(EntriesIn(dir.Path("small")), 2);
    umount(dir.Path("small").c_str());
}

// Every kind of coordconv-cli tool reports a failed write of its output,
// to standard output and to -o, with exit status 1.
TEST(CliOutput, AFailedWriteIsAnError) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "P1,30.3,1.3\r\n");
    WriteBytes(dir.Path("cp.txt"), "A,30,114,0,30,114,0\r\nB,31,115,0,31,115,0\r\nC,30.5,116,0,30.5,116,0\r\n");
    const std::string cli = COORDCONV_CLI;
    const std::vector<std::string> runs = {
        "gauss-forward -i " + dir.Path("in.txt"),
        "map-sheet --lat 39.56 --lon 116.24",
        "compensation plane --mean-lat 30 --mean-h 1000 --mean-y 100000",
        "compensation axis --mean-lat 30 --plane-h 215",
        "four-3d centre --form geodetic -i " + dir.Path("cp.txt"),
        "bursa-wolf solve --form geodetic --form2 geodetic -i " + dir.Path("cp.txt"),
        "--help",
    };
    const std::string full = testing::MakeFullDevice(dir, "full");
    if (full.empty()) GTEST_SKIP() << "mknod needs root: a full device cannot be made";
    for (const auto& run : runs) {
        const int to_stdout = std::system((cli + " " + run + " > " + full + " 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(to_stdout), 1) << run;
    }
    for (const auto& run : {runs[0], runs[1], runs[2], runs[3], runs[4]}) {
        const int to_file = std::system((cli + " " + run + " -o " + full + " 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(to_file), 1) << run;
    }
    EXPECT_TRUE(std::filesystem::is_character_file(full));
}

}  // namespace
}  // namespace coordconv
