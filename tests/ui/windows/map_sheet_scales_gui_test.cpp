// The map sheet window's additions: the scale drop-down, the corners of the
// sheet shown, the sheet index of an area, and the scale kept in the settings.
#include <QComboBox>
#include <QPushButton>
#include <gtest/gtest.h>

#include "tests/ui/windows/cad_window_test_support.h"
#include "ui/windows/map_sheet_window.h"

namespace coordconv {
namespace {

using testing::CadWindowTest;
using testing::ReadBytes;
using testing::WriteBytes;

class MapSheetScalesWindowTest : public CadWindowTest<MapSheetWindow> {
protected:
    static void Click(const QWidget& window, const char* name) { Find<QAbstractButton>(window, name)->click(); }
    static QComboBox* ScaleBox(const QWidget& window) { return Find<QComboBox>(window, "ComboBoxScale"); }
    static void ChooseScale(const QWidget& window, const char* name) {
        QComboBox* box = ScaleBox(window);
        box->setCurrentIndex(box->findText(QString::fromUtf8(name)));
    }
    static std::string Centre(const MapSheetWindow& window) { return window.JunctionFields()[4]->text().toStdString(); }
};

TEST_F(MapSheetScalesWindowTest, TheScaleDropDownStartsAtTenThousandAndTheToolsComeLast) {
    const auto window = Open();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("1:1万图幅号计算"));
    QComboBox* box = ScaleBox(*window);
    ASSERT_EQ(box->count(), 14);
    EXPECT_EQ(box->currentText(), QString::fromUtf8("1:1万"));
    EXPECT_EQ(box->itemText(0), QString::fromUtf8("1:100万"));
    EXPECT_EQ(box->itemText(10), QString::fromUtf8("1:500"));
    EXPECT_EQ(box->itemText(11), QString::fromUtf8("1:2000矩形分幅"));
    EXPECT_EQ(box->itemText(13), QString::fromUtf8("1:500矩形分幅"));
    EXPECT_EQ(Find<QPushButton>(*window, "ButtonCorners")->text(), QString::fromUtf8("角点坐标"));
    EXPECT_EQ(Find<QPushButton>(*window, "ButtonIndex")->text(), QString::fromUtf8("接合表导出…"));
    // Below the pages, at the end of the window.
    EXPECT_GT(Find<QPushButton>(*window, "ButtonIndex")->mapTo(window.get(), QPoint()).y(),
              window->Pages()->mapTo(window.get(), QPoint(0, window->Pages()->height())).y() - 1);
}

TEST_F(MapSheetScalesWindowTest, OtherScalesAndTheCornersOfTheSheetShown) {
    const auto window = Open();
    Click(*window, "ButtonCorners");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{kNoSheetShownText}));
    dialogs.errors.clear();

    ChooseScale(*window, "1:5万");
    SetText(*window, "EditE", "114.3345");
    SetText(*window, "EditN", "39.2230");
    Click(*window, "Button4");
    EXPECT_EQ(Centre(*window), "J50E004003");
    Click(*window, "RadioButton2");
    Click(*window, "Button4");
    EXPECT_EQ(Centre(*window), "J-50-14-C");

    // 39°20'..39°30' N, 114°30'..114°45' E; the 3° zone 38 of the sheet's
    // centre on the 1980 Xi'an ellipsoid of the plane page.
    Click(*window, "ButtonCorners");
    ASSERT_EQ(dialogs.texts.size(), 1u);
    const std::string& text = dialogs.texts[0];
    EXPECT_EQ(text.rfind("角点坐标|图幅号：J50E004003（旧图幅号：J-50-14-C）  比例尺1:5万\n中央子午线：114°  Y加常数：38500000\n", 0),
              0u)
        << text;
    EXPECT_NE(text.find("西南角  B=39°20′00″  L=114°30′00″  x="), std::string::npos) << text;
    EXPECT_NE(text.find("东北角  B=39°30′00″  L=114°45′00″  x="), std::string::npos) << text;

    // Saved, the text is a GBK file with CR LF line ends.
    dialogs.save_texts.push_back(true);
    dialogs.save_files.push_back(scratch.Path("corners.txt"));
    Click(*window, "ButtonCorners");
    EXPECT_EQ(ReadBytes(scratch.Path("corners.txt")).substr(0, 8), "\xcd\xbc\xb7\xf9\xba\xc5\xa3\xba");  // 图幅号：

    // 1:500 sheets are 6.25" by 9.375": three second decimals. The old form has none.
    Click(*window, "RadioButton1");
    ChooseScale(*window, "1:500");
    SetText(*window, "EditT", "J50K03600217");
    Click(*window, "Button3");
    EXPECT_EQ(Centre(*window), "J50K03600217");
    Click(*window, "ButtonCorners");
    EXPECT_NE(dialogs.texts.back().find("东北角  B=39°22′36.250″  L=114°33′54.375″"), std::string::npos)
        << dialogs.texts.back();
    Click(*window, "RadioButton2");
    Click(*window, "Button3");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{kNoOldFormText}));
}

TEST_F(MapSheetScalesWindowTest, IndexOfAnAreaFileAsADrawing) {
    const auto window = Open();
    ChooseScale(*window, "1:5万");
    // The latitude-longitude page: the area file holds B, L; J50D002002's box.
    window->Pages()->setCurrentIndex(0);
    WriteBytes(scratch.Path("area.txt"), "A,39.2,114.3\r\nB,39.2,115\r\nC,39.4,115\r\nD,39.4,114.3\r\n");
    dialogs.open_files.push_back(scratch.Path("area.txt"));
    dialogs.save_files.push_back(scratch.Path("index.dxf"));
    Click(*window, "ButtonIndex");
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"接合表导出|共4幅图"}));
    const std::string drawing = ReadBytes(scratch.Path("index.dxf"));
    EXPECT_NE(drawing.find("TK_50000"), std::string::npos);
    EXPECT_NE(drawing.find("\r\nJ50E004004\r\n"), std::string::npos);
}

TEST_F(MapSheetScalesWindowTest, RectangularSheetsFromPlaneCoordinatesAndNames) {
    auto window = Open();
    ChooseScale(*window, "1:1000矩形分幅");
    // X and Y with their constants, taken as typed: no zone, no projection.
    SetText(*window, "EditX", "3410023.4");
    SetText(*window, "EditXX", "100");
    SetText(*window, "EditY", "39678.9");
    Click(*window, "Button2");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Centre(*window), "3410.0-39.5");
    EXPECT_EQ(window->JunctionFields()[0]->text().toStdString(), "3410.5-39.0");
    Click(*window, "ButtonCorners");
    EXPECT_EQ(dialogs.texts.back(),
              "角点坐标|图幅号：3410.0-39.5  比例尺1:1000（50cm×50cm矩形分幅）\n"
              "西南角  x=3410000.0000  y=39500.0000\n东南角  x=3410000.0000  y=40000.0000\n"
              "东北角  x=3410500.0000  y=40000.0000\n西北角  x=3410500.0000  y=39500.0000\n");
    SetText(*window, "EditT", "3409.5-40.0");
    Click(*window, "Button3");
    EXPECT_EQ(Centre(*window), "3409.5-40.0");
    // Latitude and longitude have no rectangular sheet.
    Click(*window, "Button4");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{kRectangularNeedsPlaneText}));

    window.reset();
    EXPECT_NE(ReadBytes(settings_path).find("SCALE=1000\r\nRECT=1\r\n"), std::string::npos);
    EXPECT_EQ(ScaleBox(*Open())->currentText(), QString::fromUtf8("1:1000矩形分幅"));
}

TEST_F(MapSheetScalesWindowTest, TheScaleIsKeptInANewKeyBesideTheFirstVersionsKeys) {
    auto window = Open();
    ChooseScale(*window, "1:2000");
    window.reset();
    const std::string file = ReadBytes(settings_path);
    EXPECT_EQ(file, "[TFH]\r\nBYNEWTFH=1\r\nINPOLDTFH=1\r\nXo=0\r\nYo=0\r\nTQT=0\r\nTYD=0\r\nSCALE=2000\r\nRECT=0\r\n");
    const auto next = Open();
    EXPECT_EQ(ScaleBox(*next)->currentText(), QString::fromUtf8("1:2000"));

    // A scale the series lacks opens at 1:10,000.
    WriteBytes(settings_path, "[TFH]\r\nSCALE=200000\r\n");
    EXPECT_EQ(ScaleBox(*Open())->currentText(), QString::fromUtf8("1:1万"));
}

}  // namespace
}  // namespace coordconv
