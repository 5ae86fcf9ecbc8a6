// The map sheet window driven through its widgets: the three input pages, the
// junction table, the point pick in the CAD drawing and the settings kept
// between runs.
#include "ui/windows/map_sheet_window.h"

#include <QPushButton>
#include <gtest/gtest.h>

#include "core/ellipsoid.h"
#include "core/gauss_kruger.h"
#include "tests/tools/cad/fake_cad.h"
#include "tests/ui/windows/cad_window_test_support.h"

namespace coordconv {
namespace {

using testing::CadWindowTest;
using testing::FakeCad;
using testing::NoCad;
using testing::WriteBytes;

class MapSheetWindowTest : public CadWindowTest<MapSheetWindow> {
protected:
    static void Click(const QWidget& window, const char* name) { Find<QAbstractButton>(window, name)->click(); }
    // Edit1..Edit9 as three rows of three.
    static std::vector<std::string> Junction(const MapSheetWindow& window) {
        std::vector<std::string> fields;
        for (QLineEdit* field : window.JunctionFields()) fields.push_back(field->text().toStdString());
        return fields;
    }
};

TEST_F(MapSheetWindowTest, FirstRunLayout) {
    const auto window = Open();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("1:1万图幅号计算"));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    // Three pages, the plane-coordinate page in front.
    ASSERT_EQ(window->Pages()->count(), 3);
    EXPECT_EQ(window->Pages()->tabText(0), QString::fromUtf8("根据经纬度计算"));
    EXPECT_EQ(window->Pages()->tabText(1), QString::fromUtf8("根据平面坐标计算"));
    EXPECT_EQ(window->Pages()->tabText(2), QString::fromUtf8("根据图幅号计算"));
    EXPECT_EQ(window->Pages()->currentIndex(), 1);
    // No settings file: new output form, old input form, the first preset shown.
    EXPECT_TRUE(Find<QRadioButton>(*window, "RadioButton1")->isChecked());
    EXPECT_FALSE(Find<QRadioButton>(*window, "RadioButton2")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(*window, "RadioButton3")->isChecked());
    EXPECT_EQ(Text(*window, "EditA"), "6378140.0000000000");
    EXPECT_EQ(Text(*window, "EditF"), "298.257");
    for (const char* name : {"EditE", "EditN", "EditX", "EditY", "EditXX", "EditYY"}) EXPECT_EQ(Text(*window, name), "0");
    EXPECT_EQ(Find<QLineEdit>(*window, "EditXX")->toolTip(), QString::fromUtf8("CAD坐标转为国家统一坐标所加的数值"));
    EXPECT_EQ(Find<QPushButton>(*window, "Button1")->text(), QString::fromUtf8("CAD图上获取点位坐标..."));

    // The junction table: read-only, 17-pixel type, the sheet itself in blue.
    const auto& fields = window->JunctionFields();
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(fields[static_cast<std::size_t>(i)]->objectName(), QString("Edit%1").arg(i + 1));
        EXPECT_TRUE(fields[static_cast<std::size_t>(i)]->isReadOnly());
        EXPECT_EQ(fields[static_cast<std::size_t>(i)]->font().pixelSize(), 17);
    }
    EXPECT_EQ(fields[4]->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_NE(fields[0]->palette().color(QPalette::Text), QColor(Qt::blue));
    EXPECT_EQ(Find<QLineEdit>(*window, "EditT")->palette().color(QPalette::Text), QColor(Qt::blue));
}

TEST_F(MapSheetWindowTest, WorkedExampleFromLatitudeAndLongitudeInBothForms) {
    const auto window = Open();
    SetText(*window, "EditE", "116.24");
    SetText(*window, "EditN", "39.56");
    Click(*window, "Button4");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Junction(*window), (std::vector<std::string>{"J50G001038", "J50G001039", "J50G001040",  //
                                                            "J50G002038", "J50G002039", "J50G002040",  //
                                                            "J50G003038", "J50G003039", "J50G003040"}));

    Click(*window, "RadioButton2");
    Click(*window, "Button4");
    EXPECT_EQ(Junction(*window)[4], "J-50-5-(15)");
    EXPECT_EQ(Junction(*window)[1], "J-50-5-(7)");

    // A point exactly on a sheet corner lies in the sheet to its north-east.
    Click(*window, "RadioButton1");
    SetText(*window, "EditE", "116.2230");
    SetText(*window, "EditN", "39.55");
    Click(*window, "Button4");
    EXPECT_EQ(Junction(*window)[4], "J50G002039");

    // A text that is not a number ends the command; the table stays.
    SetText(*window, "EditN", "39,56");
    Click(*window, "Button4");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'39,56' is not a valid floating point value"}));
    EXPECT_EQ(Junction(*window)[4], "J50G002039");
}

TEST_F(MapSheetWindowTest, SheetNumberTypedInEitherForm) {
    const auto window = Open();
    SetText(*window, "EditT", "J-50-5-(15)");
    Click(*window, "Button3");
    EXPECT_EQ(Junction(*window)[4], "J50G002039");
    EXPECT_EQ(Junction(*window)[8], "J50G003040");

    Click(*window, "RadioButton4");
    Click(*window, "RadioButton2");
    SetText(*window, "EditT", "  J50G002039");
    Click(*window, "Button3");
    EXPECT_EQ(Junction(*window)[4], "J-50-5-(15)");
    EXPECT_TRUE(dialogs.errors.empty());

    // A number part that is not an integer, and an empty field, end without a result.
    SetText(*window, "EditT", "J50G00x039");
    Click(*window, "Button3");
    SetText(*window, "EditT", "");
    Click(*window, "Button3");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'00x' is not a valid integer value", kEmptySheetNumberText}));
    EXPECT_EQ(Junction(*window)[4], "J-50-5-(15)");
}

TEST_F(MapSheetWindowTest, PlaneCoordinatesInThreeAndSixDegreeZones) {
    // The worked example's point (39°56′, 116°24′) on the 1980 Xi'an ellipsoid:
    // 3° zone 39 and 6° zone 20 share the central meridian 117°.
    const PlanePoint p = GaussForward(6378140.0L, 1 / 298.257L, 39 + 56 / 60.0L, -36 / 60.0L);
    const auto window = Open();
    // The drawing holds the point 1000 m south and without zone number; the
    // shifts bring it back.
    SetText(*window, "EditX", std::to_string(static_cast<double>(p.x - 1000)).c_str());
    SetText(*window, "EditY", std::to_string(static_cast<double>(p.y + 500000)).c_str());
    SetText(*window, "EditXX", "1000");
    SetText(*window, "EditYY", "39000000");
    Click(*window, "Button2");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(Junction(*window)[4], "J50G002039");

    Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(1);
    SetText(*window, "EditYY", "20000000");
    Click(*window, "RadioButton2");
    Click(*window, "Button2");
    EXPECT_EQ(Junction(*window)[4], "J-50-5-(15)");

    // "自定义" with empty a and 1/f: the inverse flattening divides by zero.
    Find<QComboBox>(*window, "ComboBox1")->setCurrentIndex(kCustomSystemIndex);
    SetText(*window, "EditA", "");
    SetText(*window, "EditF", "");
    Click(*window, "Button2");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_EQ(Junction(*window)[4], "J-50-5-(15)");
}

TEST_F(MapSheetWindowTest, PickFillsXWithTheDrawingsYAndComputesNothing) {
    FakeCad cad;
    cad.picks = {{500123.4567, 3805678.9, 0}};
    const auto window = Open(cad.Attach());
    Click(*window, "Button1");
    EXPECT_TRUE(cad.visible);
    EXPECT_EQ(cad.prompts, (std::vector<std::string>{"请从屏幕取点"}));
    EXPECT_EQ(Text(*window, "EditX"), "3805678.9");
    EXPECT_EQ(Text(*window, "EditY"), "500123.4567");
    EXPECT_EQ(Junction(*window)[4], "");

    // Cancelling the pick reaches the common error box with the CAD program's text.
    cad.picks.clear();
    Click(*window, "Button1");
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{FakeCad::kCancelText}));
    EXPECT_EQ(Text(*window, "EditX"), "3805678.9");
}

TEST_F(MapSheetWindowTest, PickWithoutCadShowsTheInformationBox) {
    const auto window = Open(NoCad);
    Click(*window, "Button1");
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Information|AutoCAD尚未打开！"}));
    EXPECT_EQ(dialogs.message_icons, (std::vector<MessageIcon>{MessageIcon::Information}));
    EXPECT_EQ(dialogs.message_buttons, (std::vector<MessageButton>{MessageButton::Yes}));
    EXPECT_EQ(Text(*window, "EditX"), "0");
}

TEST_F(MapSheetWindowTest, SettingsWrittenAtDestructionAreReadByTheNextWindow) {
    WriteBytes(settings_path, "[TFH]\r\nBYNEWTFH=0\r\nINPOLDTFH=0\r\nXo=12.5\r\nYo=-3\r\nTQT=4\r\nTYD=1\r\n");
    auto window = Open();
    EXPECT_TRUE(Find<QRadioButton>(*window, "RadioButton2")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(*window, "RadioButton4")->isChecked());
    EXPECT_EQ(Text(*window, "EditXX"), "12.5");
    EXPECT_EQ(Text(*window, "EditYY"), "-3");
    EXPECT_EQ(Find<QComboBox>(*window, "ComboBox2")->currentIndex(), 1);
    // A remembered "自定义" opens with empty, editable a and 1/f.
    EXPECT_EQ(window->Ellipsoid().List()->currentIndex(), kCustomSystemIndex);
    EXPECT_EQ(Text(*window, "EditA"), "");
    EXPECT_TRUE(window->Ellipsoid().A()->isEnabled());

    Click(*window, "RadioButton1");
    Click(*window, "RadioButton3");
    SetText(*window, "EditXX", "-2500000");
    window->Ellipsoid().List()->setCurrentIndex(2);
    Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(0);
    window.reset();
    EXPECT_TRUE(dialogs.errors.empty());

    const auto next = Open();
    EXPECT_TRUE(Find<QRadioButton>(*next, "RadioButton1")->isChecked());
    EXPECT_TRUE(Find<QRadioButton>(*next, "RadioButton3")->isChecked());
    EXPECT_EQ(Text(*next, "EditXX"), "-2500000");
    EXPECT_EQ(Text(*next, "EditYY"), "-3");
    EXPECT_EQ(next->Ellipsoid().List()->currentIndex(), 2);
    EXPECT_EQ(Text(*next, "EditA"), "6378245.0000000000");
    EXPECT_EQ(Find<QComboBox>(*next, "ComboBox2")->currentIndex(), 0);
}

TEST_F(MapSheetWindowTest, ASettingsFileThatCannotBeWrittenIsReported) {
    settings_path = scratch.Path("no such folder/Merivox.ini");
    Open().reset();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Unable to write to " + settings_path}));
}

}  // namespace
}  // namespace coordconv
