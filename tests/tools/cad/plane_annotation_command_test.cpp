#include "tools/cad/plane_annotation_command.h"

#include <gtest/gtest.h>

#include "core/errors.h"
#include "tests/fake_dialogs.h"
#include "tests/tools/cad/fake_cad.h"

namespace coordconv {
namespace {

using testing::FakeCad;
using testing::FakeDialogs;

TEST(PlaneAnnotationCommand, WithoutCadShowsTheBoxTitledWithTheApplication) {
    FakeDialogs dialogs;
    RunPlaneAnnotationCommand(dialogs, [] { return std::unique_ptr<CadAutomation>(); });
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"坐标转换|AutoCAD尚未打开！"}));
    EXPECT_EQ(dialogs.message_icons, (std::vector<MessageIcon>{MessageIcon::None}));
    EXPECT_EQ(dialogs.message_buttons, (std::vector<MessageButton>{MessageButton::Ok}));
}

TEST(PlaneAnnotationCommand, AnnotatesUntilCancelledWithoutAMessage) {
    FakeDialogs dialogs;
    FakeCad cad;
    cad.answers = {""};
    cad.picks = {{500123.4567, 3805678.9, 0}, {500200, 3805700, 0}};
    const FloatingPointScope scope;  // as the menu runs it
    RunPlaneAnnotationCommand(dialogs, cad.Attach());
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_EQ(cad.CallsOf("AddText").size(), 2u);
    EXPECT_EQ(cad.CallsOf("AddText")[0].text, "X=3805678.900");
}

TEST(PlaneAnnotationCommand, ATextHeightThatIsNoNumberEndsTheCommand) {
    FakeDialogs dialogs;
    FakeCad cad;
    cad.answers = {"abc"};
    cad.picks = {{0, 0, 0}, {1, 1, 0}};
    EXPECT_THROW(
        {
            try {
                const FloatingPointScope scope;
                RunPlaneAnnotationCommand(dialogs, cad.Attach());
            } catch (const CommandError& error) {
                EXPECT_STREQ(error.what(), "'abc' is not a valid floating point value");
                throw;
            }
        },
        CommandError);
    EXPECT_TRUE(cad.CallsOf("AddText").empty());
}

}  // namespace
}  // namespace coordconv
