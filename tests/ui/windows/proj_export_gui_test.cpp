// "导出PROJ" of the fitting windows whose transformation PROJ can express:
// the button ends ToolBar4, shows the export, saves it on request; the
// differential datum windows have no such button, and the polynomial's
// geodetic form answers with a message.
#include <QApplication>
#include <QComboBox>
#include <QToolBar>
#include <gtest/gtest.h>

#include "tests/fake_dialogs.h"
#include "table/text_codec.h"
#include "tests/test_support.h"
#include "tools/datum/bursa_wolf_proj.h"
#include "tools/plane/plane_proj.h"
#include "ui/windows/plane_four_window.h"
#include "ui/windows/polynomial_window.h"
#include "ui/windows/seven_parameter_window.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;
using testing::ReadBytes;
using testing::ScratchDir;

std::vector<std::string> ToolBar4Captions(const FittingWindow& window) {
    std::vector<std::string> captions;
    for (QAction* action : window.ParameterToolBar()->actions()) {
        const auto* button = qobject_cast<QToolButton*>(window.ParameterToolBar()->widgetForAction(action));
        if (button != nullptr) captions.push_back(button->text().toStdString());
    }
    return captions;
}

TEST(ProjExportWindows, TheButtonEndsToolBar4OfTheExportingWindowsOnly) {
    FakeDialogs dialogs;
    const std::vector<std::string> exporting = {"保存参数", "导入参数", "导出PROJ"};
    const std::vector<std::string> plain = {"保存参数", "导入参数"};
    EXPECT_EQ(ToolBar4Captions(BursaWolfWindow(nullptr, dialogs)), exporting);
    EXPECT_EQ(ToolBar4Captions(PlaneFourWindow(nullptr, dialogs)), exporting);
    EXPECT_EQ(ToolBar4Captions(PolynomialWindow(nullptr, dialogs)), exporting);
    EXPECT_EQ(ToolBar4Captions(Seven3dWindow(nullptr, dialogs)), plain);
    EXPECT_EQ(ToolBar4Captions(Seven2dWindow(nullptr, dialogs)), plain);
}

TEST(ProjExportWindows, BursaWolfShowsTheExportOfItsFieldsAndSavesIt) {
    FakeDialogs dialogs;
    BursaWolfWindow window(nullptr, dialogs);
    window.show();
    window.SetParameterTexts({"100", "-50", "20", "1.5", "-2", "0.8", "3.2E-6"});
    const ScratchDir dir;
    dialogs.save_texts = {true};
    dialogs.save_files = {dir.Path("pipeline")};
    window.Button(18)->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors[0];
    const std::string expected = BursaWolfProjExport(window.Fields(), window.Parameters());
    EXPECT_EQ(dialogs.texts, std::vector<std::string>{std::string(kProjExportTitle) + "|" + expected});
    // Saved as the program's text files are: GBK, CR LF, default extension .txt.
    std::string saved = expected;
    for (std::size_t at = saved.find('\n'); at != std::string::npos; at = saved.find('\n', at + 2)) saved.insert(at, "\r");
    EXPECT_EQ(ReadBytes(dir.Path("pipeline.txt")), EncodeFileText(saved, FileEncoding::Gbk));

    // Closed without saving: no file dialog.
    window.Button(18)->click();
    EXPECT_EQ(dialogs.texts.size(), 2u);
    EXPECT_TRUE(dialogs.save_files.empty());

    // A parameter that is not a number is the common error.
    window.SetParameterTexts({"x"});
    window.Button(18)->click();
    EXPECT_EQ(dialogs.errors, std::vector<std::string>{"'x' is not a valid floating point value"});
    EXPECT_EQ(dialogs.texts.size(), 2u);
}

TEST(ProjExportWindows, PlaneFourExportsAndThePolynomialsGeodeticFormIsAMessage) {
    FakeDialogs dialogs;
    PlaneFourWindow plane(nullptr, dialogs);
    plane.SetParameterTexts({"25.5", "-13.25", "1.5", "2.5E-6", "0.75"});
    plane.Button(18)->click();
    ASSERT_EQ(dialogs.texts.size(), 1u);
    EXPECT_EQ(dialogs.texts[0], std::string(kProjExportTitle) + "|" + PlaneFourProjExport(plane.Fields()));
    EXPECT_NE(dialogs.texts[0].find("+theta=1.5 +s=1.0000025"), std::string::npos) << dialogs.texts[0];

    PolynomialWindow polynomial(nullptr, dialogs);
    polynomial.findChild<QComboBox*>("ComboBox2")->setCurrentIndex(1);  // 椭球面上拟合
    polynomial.Button(18)->click();
    EXPECT_EQ(dialogs.texts.size(), 1u);
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.messages, std::vector<std::string>{std::string("坐标转换|") + kPolynomialGeodeticNotExported});
    EXPECT_EQ(dialogs.message_icons, std::vector<MessageIcon>{MessageIcon::Information});
}

}  // namespace
}  // namespace coordconv
