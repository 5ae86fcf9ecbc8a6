#include "tools/cad/settings.h"
#include "tools/sheets/sheet_settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(Settings, DefaultsWhenTheFileIsAbsent) {
    const ScratchDir scratch;
    const MapSheetSettings tfh = ReadMapSheetSettings(scratch.Path("Merivox.ini"));
    EXPECT_TRUE(tfh.by_new_form);
    EXPECT_TRUE(tfh.input_old_form);
    EXPECT_EQ(tfh.x_shift, "0");
    EXPECT_EQ(tfh.y_shift, "0");
    EXPECT_EQ(tfh.system_index, 0);
    EXPECT_EQ(tfh.zone_index, 0);
    const GeodeticAnnotationSettings bzbl = ReadGeodeticAnnotationSettings(scratch.Path("Merivox.ini"));
    EXPECT_EQ(bzbl.font_height, "6");
    EXPECT_EQ(bzbl.circle_radius, "2.4");
    EXPECT_EQ(bzbl.second_decimals, 0);
    EXPECT_TRUE(bzbl.draw_circle);
    EXPECT_FALSE(bzbl.draw_leader);
    EXPECT_EQ(bzbl.system_index, 0);
    EXPECT_EQ(bzbl.zone_index, 0);
}

TEST(Settings, WrittenValuesReadBackWithBooleansAsOneAndZero) {
    const ScratchDir scratch;
    const std::string path = scratch.Path("Merivox.ini");
    MapSheetSettings tfh;
    tfh.by_new_form = false;
    tfh.x_shift = "-3000000";
    tfh.y_shift = "38500000.5";
    tfh.system_index = 4;
    tfh.zone_index = 1;
    WriteMapSheetSettings(path, tfh);
    EXPECT_EQ(ReadBytes(path),
              "[TFH]\r\nBYNEWTFH=0\r\nINPOLDTFH=1\r\nXo=-3000000\r\nYo=38500000.5\r\nTQT=4\r\nTYD=1\r\n");

    GeodeticAnnotationSettings bzbl;
    bzbl.system_index = 2;
    bzbl.font_height = "2.5";
    bzbl.circle_radius = "1";
    bzbl.second_decimals = 3;
    bzbl.draw_circle = false;
    bzbl.draw_leader = true;
    bzbl.x_shift = "坐标";  // any text of the box, kept in the file's code page
    WriteGeodeticAnnotationSettings(path, bzbl);
    EXPECT_NE(ReadBytes(path).find("Xo=\xd7\xf8\xb1\xea\r\n"), std::string::npos);

    const MapSheetSettings tfh_back = ReadMapSheetSettings(path);
    EXPECT_FALSE(tfh_back.by_new_form);
    EXPECT_TRUE(tfh_back.input_old_form);
    EXPECT_EQ(tfh_back.x_shift, "-3000000");
    EXPECT_EQ(tfh_back.y_shift, "38500000.5");
    EXPECT_EQ(tfh_back.system_index, 4);
    EXPECT_EQ(tfh_back.zone_index, 1);
    const GeodeticAnnotationSettings bzbl_back = ReadGeodeticAnnotationSettings(path);
    EXPECT_EQ(bzbl_back.system_index, 2);
    EXPECT_EQ(bzbl_back.x_shift, "坐标");
    EXPECT_EQ(bzbl_back.font_height, "2.5");
    EXPECT_EQ(bzbl_back.circle_radius, "1");
    EXPECT_EQ(bzbl_back.second_decimals, 3);
    EXPECT_FALSE(bzbl_back.draw_circle);
    EXPECT_TRUE(bzbl_back.draw_leader);
}

TEST(Settings, WritingKeepsEveryOtherLineAndSection) {
    const ScratchDir scratch;
    const std::string path = scratch.Path("Merivox.ini");
    // Another program's section in GBK, a comment, odd spacing and case, a
    // quoted value and an extra key of our own section.
    WriteBytes(path,
               "; settings\r\n[Other]\r\nName=\xd7\xf8\xb1\xea\r\nZebra = 1,2\r\n\r\n"
               "[tfh]\r\n bynewtfh = 0 \r\nXo=\"12\"\r\nExtra=keep\r\n\r\n[Last]\r\nA=1\r\n");
    const MapSheetSettings read = ReadMapSheetSettings(path);
    EXPECT_FALSE(read.by_new_form);
    EXPECT_EQ(read.x_shift, "12");
    WriteMapSheetSettings(path, read);
    EXPECT_EQ(ReadBytes(path),
              "; settings\r\n[Other]\r\nName=\xd7\xf8\xb1\xea\r\nZebra = 1,2\r\n\r\n"
              "[tfh]\r\nBYNEWTFH=0\r\nXo=12\r\nExtra=keep\r\nINPOLDTFH=1\r\nYo=0\r\nTQT=0\r\nTYD=0\r\n\r\n"
              "[Last]\r\nA=1\r\n");
}

TEST(Settings, ValuesThatAreNoIntegerOrOutsideTheirListReadAsDefaults) {
    const ScratchDir scratch;
    const std::string path = scratch.Path("Merivox.ini");
    WriteBytes(path,
               "[TFH]\nBYNEWTFH=true\nINPOLDTFH=0x0\nTQT=7\nTYD=-1\n"
               "[CADBZBL]\nZBX=$3\nsDec=9\nbzCircle=\nbzLine=2\nTYD=1\n");
    const MapSheetSettings tfh = ReadMapSheetSettings(path);
    EXPECT_TRUE(tfh.by_new_form);      // "true" is no integer: the default
    EXPECT_FALSE(tfh.input_old_form);  // hexadecimal 0
    EXPECT_EQ(tfh.system_index, 0);
    EXPECT_EQ(tfh.zone_index, 0);
    const GeodeticAnnotationSettings bzbl = ReadGeodeticAnnotationSettings(path);
    EXPECT_EQ(bzbl.system_index, 3);
    EXPECT_EQ(bzbl.second_decimals, 6);  // the spin edit's range
    EXPECT_TRUE(bzbl.draw_circle);       // empty: the default
    EXPECT_TRUE(bzbl.draw_leader);       // any non-zero number is true
    EXPECT_EQ(bzbl.zone_index, 1);
}

TEST(Settings, AFileThatCannotBeWrittenFailsWithItsPath) {
    const ScratchDir scratch;
    // A folder that does not exist, and a "folder" that is a file: no user,
    // root included, can write there.
    for (const std::string& path : {scratch.Path("missing/Merivox.ini"), scratch.Path("plain/Merivox.ini")}) {
        WriteBytes(scratch.Path("plain"), "not a folder");
        try {
            WriteMapSheetSettings(path, MapSheetSettings{});
            ADD_FAILURE() << "written to " << path;
        } catch (const CommandError& error) {
            EXPECT_EQ(std::string(error.what()), "Unable to write to " + path);
        }
        EXPECT_THROW(WriteGeodeticAnnotationSettings(path, GeodeticAnnotationSettings{}), CommandError);
    }
    // The file as it was stays untouched when its replacement cannot be made.
    EXPECT_EQ(ReadBytes(scratch.Path("plain")), "not a folder");
}

TEST(Settings, OtherProgramsLineEndsAndStrangeNamesSurvive) {
    const ScratchDir scratch;
    const std::string path = scratch.Path("Merivox.ini");
    // LF lines of another program stay LF; our lines take the file's CR LF.
    WriteBytes(path, "[Other]\nA=1\nB=2\n\n[TFH]\r\nXo=5\r\n");
    std::filesystem::create_directory(path + ".tmp");  // no fixed temporary name is needed
    WriteMapSheetSettings(path, ReadMapSheetSettings(path));
    EXPECT_EQ(ReadBytes(path),
              "[Other]\nA=1\nB=2\n\n[TFH]\r\nXo=5\r\nBYNEWTFH=1\r\nINPOLDTFH=1\r\nYo=0\r\nTQT=0\r\nTYD=0\r\n");

    // A folder in the settings file's place reads as defaults and cannot be
    // written.
    const std::string folder = scratch.Path("folder.ini");
    std::filesystem::create_directory(folder);
    EXPECT_EQ(ReadGeodeticAnnotationSettings(folder).font_height, GeodeticAnnotationSettings{}.font_height);
    EXPECT_EQ(ReadMapSheetSettings(folder).x_shift, "0");
    EXPECT_THROW(WriteMapSheetSettings(folder, MapSheetSettings{}), CommandError);
}

}  // namespace
}  // namespace coordconv
