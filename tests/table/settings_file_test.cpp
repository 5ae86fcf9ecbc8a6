#include "table/settings_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ScratchDir;

TEST(SettingsFile, BesideTheProgramWhenItsFolderTakesFilesElseTheUsersConfigFolder) {
    const ScratchDir dir;
    EXPECT_EQ(SettingsFilePathIn(dir.Path("."), dir.Path("config")), dir.Path(".") + "/Merivox.ini");

    // /proc takes no files, even for an administrator.
    const std::string fallback = SettingsFilePathIn("/proc", dir.Path("config/coordconv"));
    EXPECT_EQ(fallback, dir.Path("config/coordconv") + "/Merivox.ini");
    IniFile written(fallback);  // the folder was made, so the file can be written
    written.WriteString("TFH", "Xo", "12.5");
    ASSERT_NO_THROW(written.Save());
    EXPECT_EQ(IniFile(fallback).ReadString("TFH", "Xo", ""), "12.5");

    // A write-protected folder, where permission bits hold (not for root).
    ASSERT_EQ(::mkdir(dir.Path("readonly").c_str(), 0555), 0);
    if (::geteuid() != 0) {
        EXPECT_FALSE(FolderTakesNewFiles(dir.Path("readonly")));
    }
    EXPECT_TRUE(FolderTakesNewFiles(dir.Path(".")));
    ::chmod(dir.Path("readonly").c_str(), 0755);
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
