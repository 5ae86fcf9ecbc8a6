#include "table/safe_file.h"

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

void Save(const std::string& path, const std::string& bytes) {
    SafeFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

int EntriesIn(const std::string& folder) {
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
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
    // device; /dev/full reports its error as a full disk.
    if (geteuid() != 0 || mknod(dir.Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
        GTEST_SKIP() << "mknod needs root: the device case is not run";
    }
    Save(dir.Path("null"), "gone\r\n");
    EXPECT_TRUE(std::filesystem::is_character_file(dir.Path("null")));
    try {
        Save("/dev/full", "P1\r\n");
        ADD_FAILURE() << "a write to /dev/full succeeded";
    } catch (const CommandError& error) {
        EXPECT_STREQ(error.what(), "Disk full");
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
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
    for (const auto& run : runs) {
        const int to_stdout = std::system((cli + " " + run + " > /dev/full 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(to_stdout), 1) << run;
    }
    for (const auto& run : {runs[0], runs[1], runs[2], runs[3], runs[4]}) {
        const int to_file = std::system((cli + " " + run + " -o /dev/full 2>/dev/null").c_str());
        EXPECT_EQ(WEXITSTATUS(to_file), 1) << run;
    }
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
}

}  // namespace
}  // namespace coordconv
