// The geodetic annotation window driven through its widgets against the
// in-memory CAD program: what the boxes pass to the drawing, the CAD program
// missing, the spin edit's range and the settings kept between runs.
#include "ui/windows/geodetic_annotation_window.h"

#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "core/gauss_kruger.h"
#include "tests/tools/cad/fake_cad.h"
#include "tests/ui/windows/cad_window_test_support.h"

namespace coordconv {
namespace {

using testing::CadWindowTest;
using testing::FakeCad;
using testing::NoCad;
using testing::WriteBytes;

class GeodeticAnnotationWindowTest : public CadWindowTest<GeodeticAnnotationWindow> {};

TEST_F(GeodeticAnnotationWindowTest, FirstRunDefaultsAndDesignedPosition) {
    const auto window = Open();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("CAD标注地理坐标"));
    EXPECT_FALSE(window->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(window->pos(), GeodeticAnnotationWindow::kDesignedPosition);
    EXPECT_EQ(Text(*window, "EditA"), "6378140.0000000000");
    EXPECT_EQ(Text(*window, "EditF"), "298.257");
    EXPECT_EQ(Text(*window, "EditXX"), "0");
    EXPECT_EQ(Text(*window, "EditYY"), "0");
    EXPECT_EQ(Text(*window, "EditTxtH"), "6");
    EXPECT_EQ(Text(*window, "EditCR"), "2.4");
    EXPECT_EQ(Find<QSpinBox>(*window, "SpinEdit1")->value(), 0);
    EXPECT_TRUE(Find<QCheckBox>(*window, "CheckBox1")->isChecked());
    EXPECT_FALSE(Find<QCheckBox>(*window, "CheckBox2")->isChecked());
    EXPECT_EQ(Find<QComboBox>(*window, "ComboBox2")->currentText(), QString::fromUtf8("3度带"));
    EXPECT_EQ(Find<QPushButton>(*window, "Button1")->text(), QString::fromUtf8("开始标注"));
}

TEST_F(GeodeticAnnotationWindowTest, AnnotatesPickedPointsWithTheBoxesSettings) {
    // The drawing holds national coordinates less 39,000,000 m east and
    // 4,000,000 m north; the point is 39°56′, 116°24′ in 3° zone 39 (117°).
    const PlanePoint p = GaussForward(6378140.0L, 1 / 298.257L, 39 + 56 / 60.0L, -36 / 60.0L);
    const double x = static_cast<double>(p.y + 500000);
    const double y = static_cast<double>(p.x - 4000000);
    FakeCad cad;
    cad.picks = {{x, y, 0}, {x + 10, y + 10, 0}};
    const auto window = Open(cad.Attach());
    SetText(*window, "EditYY", "39000000");
    SetText(*window, "EditXX", "4000000");
    SetText(*window, "EditTxtH", "2");
    Find<QSpinBox>(*window, "SpinEdit1")->setValue(2);
    Find<QCheckBox>(*window, "CheckBox1")->setChecked(false);
    Find<QCheckBox>(*window, "CheckBox2")->setChecked(true);
    Find<QPushButton>(*window, "Button1")->click();

    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(cad.prompts, (std::vector<std::string>{"请点取坐标点位:", "请点取标注位置:", "请点取坐标点位:"}));
    EXPECT_TRUE(cad.CallsOf("AddHatch").empty());
    ASSERT_EQ(cad.CallsOf("AddLightWeightPolyLine").size(), 1u);
    const auto texts = cad.CallsOf("AddText");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "E116°24′00.00″");
    EXPECT_EQ(texts[1].text, "N 39°56′00.00″");
    EXPECT_EQ(texts[0].numbers[3], 2);

    // 6° zone 20 has the same central meridian; the dot is drawn with the radius typed in its box.
    FakeCad six;
    six.picks = {{x, y, 0}, {x - 10, y, 0}};
    const auto second = Open(six.Attach());
    SetText(*second, "EditYY", "20000000");
    SetText(*second, "EditXX", "4000000");
    SetText(*second, "EditCR", "0.5");
    Find<QComboBox>(*second, "ComboBox2")->setCurrentIndex(1);
    Find<QPushButton>(*second, "Button1")->click();
    ASSERT_EQ(six.CallsOf("AddCircle").size(), 1u);
    EXPECT_EQ(six.CallsOf("AddCircle")[0].numbers[3], 0.5);
    EXPECT_TRUE(six.CallsOf("AddLightWeightPolyLine").empty());
    ASSERT_EQ(six.CallsOf("AddText").size(), 2u);
    EXPECT_EQ(six.CallsOf("AddText")[0].text, "E116°24′00″");
}

TEST_F(GeodeticAnnotationWindowTest, WithoutCadOnlyTheInformationBoxShows) {
    const auto window = Open(NoCad);
    Find<QPushButton>(*window, "Button1")->click();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"Information|AutoCAD尚未打开！"}));
    EXPECT_EQ(dialogs.message_icons, (std::vector<MessageIcon>{MessageIcon::Information}));
    EXPECT_EQ(dialogs.message_buttons, (std::vector<MessageButton>{MessageButton::Yes}));
}

TEST_F(GeodeticAnnotationWindowTest, SecondDecimalsStayWithinZeroToSix) {
    const auto window = Open();
    auto* spin = Find<QSpinBox>(*window, "SpinEdit1");
    spin->setValue(9);
    EXPECT_EQ(window->SecondDecimals(), 6);
    spin->setValue(-2);
    EXPECT_EQ(window->SecondDecimals(), 0);
    spin->setValue(4);
    spin->findChild<QLineEdit*>()->setText("");  // an emptied field counts as 0
    EXPECT_EQ(window->SecondDecimals(), 0);
    EXPECT_EQ(window->Fields().second_decimals, 0);

    // Typed texts are taken as typed and judged when the field is left.
    for (const auto& [typed, value] : std::vector<std::pair<QString, int>>{{"9", 6}, {"12", 6}, {"-3", 0}, {"abc", 0}, {"5", 5}}) {
        spin->setValue(2);
        spin->findChild<QLineEdit*>()->clear();
        QTest::keyClicks(spin->findChild<QLineEdit*>(), typed);
        EXPECT_EQ(spin->findChild<QLineEdit*>()->text(), typed);
        spin->interpretText();
        EXPECT_EQ(spin->value(), value) << typed.toStdString();
    }
}

TEST_F(GeodeticAnnotationWindowTest, RememberedCustomSystemWithEmptyBoxesFailsBeforeTheFirstPick) {
    WriteBytes(settings_path, "[CADBZBL]\r\nZBX=4\r\n");
    FakeCad cad;
    cad.picks = {{500000, 0, 0}};
    const auto window = Open(cad.Attach());
    EXPECT_EQ(Text(*window, "EditA"), "");
    EXPECT_TRUE(Find<QLineEdit>(*window, "EditF")->isEnabled());
    Find<QPushButton>(*window, "Button1")->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Floating point division by zero"}));
    EXPECT_TRUE(cad.prompts.empty());
}

TEST_F(GeodeticAnnotationWindowTest, SettingsWrittenAtDestructionAreReadByTheNextWindow) {
    auto window = Open();
    window->Ellipsoid().List()->setCurrentIndex(3);
    SetText(*window, "EditXX", "-3000000");
    SetText(*window, "EditYY", "38000000");
    Find<QComboBox>(*window, "ComboBox2")->setCurrentIndex(1);
    SetText(*window, "EditTxtH", "2.5");
    SetText(*window, "EditCR", "1");
    Find<QSpinBox>(*window, "SpinEdit1")->setValue(3);
    Find<QCheckBox>(*window, "CheckBox1")->setChecked(false);
    Find<QCheckBox>(*window, "CheckBox2")->setChecked(true);
    window.reset();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_NE(testing::ReadBytes(settings_path).find("bzCircle=0\r\nbzLine=1\r\n"), std::string::npos);

    const auto next = Open();
    EXPECT_EQ(next->Ellipsoid().List()->currentIndex(), 3);
    EXPECT_EQ(Text(*next, "EditF"), "298.257223563");
    EXPECT_EQ(Text(*next, "EditXX"), "-3000000");
    EXPECT_EQ(Text(*next, "EditYY"), "38000000");
    EXPECT_EQ(Find<QComboBox>(*next, "ComboBox2")->currentIndex(), 1);
    EXPECT_EQ(Text(*next, "EditTxtH"), "2.5");
    EXPECT_EQ(Text(*next, "EditCR"), "1");
    EXPECT_EQ(Find<QSpinBox>(*next, "SpinEdit1")->value(), 3);
    EXPECT_FALSE(Find<QCheckBox>(*next, "CheckBox1")->isChecked());
    EXPECT_TRUE(Find<QCheckBox>(*next, "CheckBox2")->isChecked());
}

TEST_F(GeodeticAnnotationWindowTest, ASettingsFileThatCannotBeWrittenIsReported) {
    settings_path = scratch.Path("no such folder/Merivox.ini");
    Open().reset();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"Unable to write to " + settings_path}));
}

}  // namespace
}  // namespace coordconv
