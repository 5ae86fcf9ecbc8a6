#include "companion/cad_drawing.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "core/errors.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::FileExists;
using testing::ReadBytes;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(CadDrawing, EveryKeptKindSurvivesSavingAndReading) {
    const ScratchDir scratch;
    CadDrawing drawing;
    drawing.layers.push_back({"注记", 3, "CONTINUOUS"});
    drawing.variables["LTSCALE"] = {2.5, 40};
    drawing.variables["INSUNITS"] = {std::int32_t{6}, 70};
    const EntityAttributes on_layer{"注记", 1, "BYLAYER"};
    drawing.entities.push_back({{}, PointEntity{{1, 2, 3}}});
    drawing.entities.push_back({on_layer, LineEntity{{500123.4567, 3805678.9, 0}, {-1e-7, 1e7, 2}}});
    drawing.entities.push_back({{}, CircleEntity{{5, 6, 0}, 2.4}});
    drawing.entities.push_back({{}, ArcEntity{{5, 6, 0}, 3, 30, 120}});
    drawing.entities.push_back({{}, PolylineEntity{{{0, 0, 0}, {10, 0, 0.5}, {10, 10, 0}}, true, 0}});
    TextEntity text;
    text.text = "E116°15′00.25″ 北京";
    text.insertion = {100, 200, 0};
    text.height = 6;
    drawing.entities.push_back({on_layer, text});
    MTextEntity mtext;
    mtext.text = "第一行\\P第二行";
    mtext.insertion = {0, 50, 0};
    mtext.height = 3;
    mtext.width = 40;
    drawing.entities.push_back({{}, mtext});
    HatchEntity hatch;
    hatch.loops.push_back({{true, 5, 6, 0, 0, 2.4, 0, 360, true}});
    drawing.entities.push_back({{}, hatch});
    HatchEntity empty_hatch;  // never given a boundary: not written
    drawing.entities.push_back({{}, empty_hatch});

    SaveDxf(drawing, scratch.Path("d.dxf"));
    const std::string bytes = ReadBytes(scratch.Path("d.dxf"));
    // Plain ASCII: other characters as \U+XXXX escapes.
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }));
    EXPECT_NE(bytes.find("E116\\U+00B015\\U+203200.25\\U+2033 \\U+5317\\U+4EAC"), std::string::npos);
    EXPECT_NE(bytes.find("AC1015"), std::string::npos);

    const CadDrawing back = LoadDxf(scratch.Path("d.dxf"));
    ASSERT_EQ(back.entities.size(), 8u);
    EXPECT_TRUE(back.skipped.empty());
    EXPECT_EQ(std::get<double>(back.Variable("LtScale")), 2.5);
    EXPECT_EQ(std::get<std::int32_t>(back.Variable("insunits")), 6);
    EXPECT_EQ(back.entities[1].attributes.layer, "注记");
    EXPECT_EQ(back.entities[1].attributes.color, 1);
    const auto& line = std::get<LineEntity>(back.entities[1].shape);
    EXPECT_EQ(line.start.x, 500123.4567);  // reals keep every bit
    EXPECT_EQ(line.end.x, -1e-7);
    EXPECT_EQ(std::get<CircleEntity>(back.entities[2].shape).radius, 2.4);
    const auto& arc = std::get<ArcEntity>(back.entities[3].shape);
    EXPECT_DOUBLE_EQ(arc.start_degrees, 30);
    EXPECT_DOUBLE_EQ(arc.end_degrees, 120);
    const auto& polyline = std::get<PolylineEntity>(back.entities[4].shape);
    EXPECT_TRUE(polyline.closed);
    ASSERT_EQ(polyline.vertices.size(), 3u);
    EXPECT_EQ(polyline.vertices[1].bulge, 0.5);
    const auto& text_back = std::get<TextEntity>(back.entities[5].shape);
    EXPECT_EQ(text_back.text, text.text);
    EXPECT_EQ(text_back.height, 6);
    EXPECT_EQ(std::get<MTextEntity>(back.entities[6].shape).text, mtext.text);
    const auto& hatch_back = std::get<HatchEntity>(back.entities[7].shape);
    EXPECT_TRUE(hatch_back.solid);
    ASSERT_EQ(hatch_back.loops.size(), 1u);
    EXPECT_DOUBLE_EQ(hatch_back.loops[0][0].end_degrees, 360);
    EXPECT_EQ(hatch_back.loops[0][0].radius, 2.4);
    ASSERT_GE(back.layers.size(), 2u);
}

TEST(CadDrawing, OtherEntitiesOfAnOpenedFileAreCountedNotKept) {
    const ScratchDir scratch;
    // A hand-made R12-style file: a line, an ellipse and a block insert, with
    // GBK text of code page 936.
    WriteBytes(scratch.Path("r12.dxf"),
               "0\nSECTION\n2\nHEADER\n9\n$DWGCODEPAGE\n3\nANSI_936\n0\nENDSEC\n"
               "0\nSECTION\n2\nENTITIES\n"
               "0\nLINE\n8\n0\n10\n1\n20\n2\n30\n0\n11\n3\n21\n4\n31\n0\n"
               "0\nELLIPSE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n2\n21\n0\n31\n0\n40\n0.5\n41\n0\n42\n6.283185307\n"
               "0\nINSERT\n8\n0\n2\nBLOCK1\n10\n0\n20\n0\n30\n0\n"
               "0\nTEXT\n8\n0\n10\n0\n20\n0\n30\n0\n40\n2\n1\n\xb1\xb1\xbe\xa9\n"
               "0\nENDSEC\n0\nEOF\n");
    const CadDrawing drawing = LoadDxf(scratch.Path("r12.dxf"));
    ASSERT_EQ(drawing.entities.size(), 2u);
    EXPECT_EQ(std::get<LineEntity>(drawing.entities[0].shape).end.y, 4);
    EXPECT_EQ(std::get<TextEntity>(drawing.entities[1].shape).text, "北京");
    EXPECT_EQ(drawing.skipped.at("ELLIPSE"), 1);
    EXPECT_EQ(drawing.skipped.at("INSERT"), 1);
    // A drawing without the variable still answers LtScale.
    EXPECT_EQ(std::get<double>(drawing.Variable("LTSCALE")), 1);
    EXPECT_THROW(drawing.Variable("NoSuchVariable"), CadError);
}

TEST(CadDrawing, FilesThatCannotBeReadOrWrittenFail) {
    const ScratchDir scratch;
    EXPECT_THROW(LoadDxf(scratch.Path("missing.dxf")), CommandError);
    EXPECT_THROW(SaveDxf(CadDrawing{}, scratch.Path("no/such/folder.dxf")), CommandError);
}

// Numbers a DXF cannot hold (1e300 as a radius or a text height, an
// infinity) never reach the writer: an opened file's entity is counted and
// left out, a drawing that holds one fails to save and keeps the old file.
TEST(CadDrawing, NumbersBeyondTheDxfRangeAreRefusedNotWritten) {
    const ScratchDir scratch;
    WriteBytes(scratch.Path("big.dxf"),
               "0\nSECTION\n2\nENTITIES\n"
               "0\nCIRCLE\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1e300\n"
               "0\nCIRCLE\n8\n0\n10\n1\n20\n2\n30\n0\n40\n2.4\n"
               "0\nENDSEC\n0\nEOF\n");
    CadDrawing drawing = LoadDxf(scratch.Path("big.dxf"));
    ASSERT_EQ(drawing.entities.size(), 1u);
    EXPECT_EQ(drawing.skipped.at("CIRCLE (number out of range)"), 1);
    SaveDxf(drawing, scratch.Path("big.dxf"));

    for (const double bad : {1e300, -1e16, std::numeric_limits<double>::infinity()}) {
        TextEntity text;
        text.text = "N 30";
        text.height = bad;
        EXPECT_FALSE(NumbersWritable(text));
        CadDrawing with_bad = drawing;
        with_bad.entities.push_back({EntityAttributes{}, text});
        EXPECT_THROW(SaveDxf(with_bad, scratch.Path("big.dxf")), CommandError);
        EXPECT_EQ(LoadDxf(scratch.Path("big.dxf")).entities.size(), 1u);
        EXPECT_FALSE(FileExists(scratch.Path("big.dxf.tmp")));
    }
    EXPECT_TRUE(NumbersWritable(CircleEntity{{-1e15, 4e6, 0}, 1e15}));

    // Saved like every file of the program: through a link, and not blocked
    // by a folder of the old fixed temporary name.
    std::filesystem::create_directory(scratch.Path("real.dxf.tmp"));
    std::filesystem::create_symlink("big.dxf", scratch.Path("link.dxf"));
    drawing.entities.push_back({EntityAttributes{}, CircleEntity{{1, 2, 0}, 3}});
    SaveDxf(drawing, scratch.Path("link.dxf"));
    EXPECT_TRUE(std::filesystem::is_symlink(scratch.Path("link.dxf")));
    EXPECT_EQ(LoadDxf(scratch.Path("big.dxf")).entities.size(), 2u);
    SaveDxf(drawing, scratch.Path("real.dxf"));
    EXPECT_EQ(LoadDxf(scratch.Path("real.dxf")).entities.size(), 2u);
}

TEST(CadDrawing, UnicodeEscapes) {
    EXPECT_EQ(EscapeDxfText("N 39°"), "N 39\\U+00B0");
    EXPECT_EQ(UnescapeDxfText("N 39\\U+00B0 \\u+2032x"), "N 39° ′x");
    EXPECT_EQ(UnescapeDxfText("\\U+00"), "\\U+00");  // too short: kept as typed
    EXPECT_EQ(UnescapeDxfText(EscapeDxfText("坐标 ″")), "坐标 ″");
}

}  // namespace
}  // namespace coordconv
