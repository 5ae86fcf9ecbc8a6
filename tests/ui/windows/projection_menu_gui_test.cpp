// The projection items of the "坐标变换" menu open their windows.
#include <QAction>
#include <gtest/gtest.h>

#include "ui/app/main_window.h"
#include "tests/fake_dialogs.h"
#include "ui/windows/compensation_window.h"
#include "ui/windows/utm_window.h"
#include "ui/windows/zone_change_window.h"

namespace coordconv {
namespace {

template <typename Window>
bool Is(QWidget* window) {
    return qobject_cast<Window*>(window) != nullptr;
}

TEST(ProjectionMenu, ItemsAreEnabledAndEachClickOpensANewWindow) {
    testing::FakeDialogs dialogs;
    MainWindow main(&dialogs);
    const struct {
        const char* item;
        const char* caption;
        bool (*is_expected_class)(QWidget*);
    } items[] = {
        {"utmZS", "墨卡托投影正算", &Is<UtmForwardWindow>},
        {"utmFS", "墨卡托投影反算", &Is<UtmInverseWindow>},
        {"zbHD", "坐标换带", &Is<ZoneChangeWindow>},
        {"gcDC", "抵偿高程面确定及投影变换", &Is<CompensationWindow>},
    };
    std::size_t opened = 0;
    for (const auto& item : items) {
        QAction* action = main.MenuItem(item.item);
        ASSERT_NE(action, nullptr) << item.item;
        EXPECT_TRUE(action->isEnabled()) << item.item;
        action->trigger();
        action->trigger();
        opened += 2;
        const std::vector<QWidget*> windows = main.ToolWindows();
        ASSERT_EQ(windows.size(), opened);
        for (QWidget* window : {windows[opened - 2], windows[opened - 1]}) {
            EXPECT_TRUE(item.is_expected_class(window)) << item.item;
            EXPECT_EQ(window->windowTitle(), QString::fromUtf8(item.caption));
            EXPECT_TRUE(window->isVisible());
        }
        EXPECT_NE(windows[opened - 2], windows[opened - 1]);
    }
}

}  // namespace
}  // namespace coordconv
