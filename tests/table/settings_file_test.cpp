#include "table/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ScratchDir;

std::size_t EntriesIn(const std::string& folder) {
    return static_cast<std::size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A portable copy keeps its settings beside the program; an installed one, in
// a system folder or a folder of another user, in the user's configuration
// folder, also when root runs it. Nothing is created in the program's folder
// to decide.
TEST(SettingsFile, BesideAPortableCopyElseInTheUsersConfigFolder) {
    const ScratchDir dir;
    ASSERT_EQ(::mkdir(dir.Path("copy").c_str(), 0755), 0);
    EXPECT_EQ(SettingsFilePathIn(dir.Path("copy"), dir.Path("config")), dir.Path("copy") + "/Merivox.ini");

    // "usr/bin" stands for /usr/bin: a folder of the user running the tests
    // (root's, like /usr/bin, when root runs them) named as a system folder,
    // reached directly and through a link.
    ASSERT_EQ(::mkdir(dir.Path("usr").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(dir.Path("usr/bin").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(dir.Path("usr/bin").c_str(), dir.Path("bin").c_str()), 0);
    const std::vector<std::string> system = {dir.Path("usr")};
    for (const std::string& program : {dir.Path("usr/bin"), dir.Path("bin")}) {
        const std::string path = SettingsFilePathIn(program, dir.Path("config/坐标转换"), system);
        EXPECT_EQ(path, dir.Path("config/坐标转换") + "/Merivox.ini") << program;
    }
    EXPECT_EQ(EntriesIn(dir.Path("usr/bin")), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path("config/坐标转换")));
    EXPECT_FALSE(KeepsSettingsBesideProgram("/usr/bin", SystemFolders()));
    for (const std::string& real : SystemFolders()) EXPECT_FALSE(KeepsSettingsBesideProgram(real, SystemFolders()));

    // A folder of another user that anybody may write (root may write it anyway).
    ASSERT_EQ(::mkdir(dir.Path("theirs").c_str(), 0777), 0);
    ::chmod(dir.Path("theirs").c_str(), 0777);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(dir.Path("theirs").c_str(), 65534, 65534), 0);
        EXPECT_FALSE(KeepsSettingsBesideProgram(dir.Path("theirs"), {}));
    }
    // The user's own folder that the user may not write.
    ASSERT_EQ(::mkdir(dir.Path("readonly").c_str(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(KeepsSettingsBesideProgram(dir.Path("readonly"), {}));
    }
    ::chmod(dir.Path("readonly").c_str(), 0755);
    // /proc belongs to root but takes no files.
    if (::geteuid() != 0) {
        EXPECT_FALSE(KeepsSettingsBesideProgram("/proc", {}));
    }

    const std::string fallback = SettingsFilePathIn("/usr/bin", dir.Path("config/coordconv"));
    EXPECT_EQ(fallback, dir.Path("config/coordconv") + "/Merivox.ini");
    IniFile written(fallback);  // the folder was made, so the file can be written
    written.WriteString("TFH", "Xo", "12.5");
    ASSERT_NO_THROW(written.Save());
    EXPECT_EQ(IniFile(fallback).ReadString("TFH", "Xo", ""), "12.5");
}

// A FIFO named Merivox.ini is neither read nor written (either would wait for
// another program forever); a device is written directly.
TEST(SettingsFile, AFifoIsNeitherReadNorWrittenADeviceIsWritten) {
    const ScratchDir dir;
    const std::string fifo = dir.Path("Merivox.ini");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    IniFile ini(fifo);
    EXPECT_EQ(ini.ReadString("TFH", "Xo", "default"), "default");
    ini.WriteString("TFH", "Xo", "1");
    EXPECT_THROW(ini.Save(), CommandError);
    EXPECT_NO_THROW(RememberFolder(fifo, "FormGSZS", "/tmp/a.txt"));
    struct stat status {};
    ASSERT_EQ(::stat(fifo.c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));

    // A node like /dev/null, made here (needs the right to make devices).
    const std::string device = dir.Path("null.ini");
    if (::mknod(device.c_str(), S_IFCHR | 0666, ::makedev(1, 3)) != 0) GTEST_SKIP() << "no device nodes here";
    IniFile null_settings(device);
    null_settings.WriteString("TFH", "Xo", "1");
    EXPECT_NO_THROW(null_settings.Save());
    ASSERT_EQ(::stat(device.c_str(), &status), 0);
    EXPECT_TRUE(S_ISCHR(status.st_mode));
}

TEST(SettingsFile, TheLastFolderOfEachWindowKindIsKeptBetweenRuns) {
    const ScratchDir dir;
    const std::string settings = dir.Path("Merivox.ini");
    EXPECT_EQ(RememberedFolder(settings, "FormGSZS"), "");
    RememberFolder(settings, "FormGSZS", dir.Path("测量/points.txt"));
    RememberFolder(settings, "FormPoly", "/srv/jobs/poly.txt");
    EXPECT_EQ(RememberedFolder(settings, "FormGSZS"), dir.Path("测量"));
    EXPECT_EQ(RememberedFolder(settings, "FormPoly"), "/srv/jobs");
    EXPECT_EQ(RememberedFolder(settings, "FormGSFS"), "");
    EXPECT_EQ(RememberedFolder(settings, ""), "");
    // A settings file that cannot be written is no error.
    EXPECT_NO_THROW(RememberFolder("/proc/no/Merivox.ini", "FormGSZS", "/tmp/a.txt"));
}

// A key is looked up only within its own section: the search for it stops at
// the next section line, so a key of a later section is never read, and a
// write adds the key to its own section.
TEST(SettingsFile, AKeyBelongsToItsOwnSection) {
    const ScratchDir dir;
    const std::string path = dir.Path("Merivox.ini");
    testing::WriteBytes(path, "[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    IniFile ini(path);
    EXPECT_EQ(ini.ReadString("A", "x", "none"), "1");
    EXPECT_EQ(ini.ReadString("A", "y", "none"), "none");
    EXPECT_EQ(ini.ReadInteger("A", "y", -7), -7);
    EXPECT_EQ(ini.ReadString("B", "y", "none"), "2");
    ini.WriteString("A", "y", "3");
    ini.Save();
    EXPECT_EQ(testing::ReadBytes(path), "[A]\r\nx=1\r\ny=3\r\n[B]\r\ny=2\r\n");
}

}  // namespace
}  // namespace coordconv
