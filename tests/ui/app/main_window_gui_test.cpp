#include "ui/app/main_window.h"

#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QApplication>
#include <QListWidget>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include "core/errors.h"
#include "ui/kit/command_runner.h"
#include "tests/fake_dialogs.h"

namespace coordconv {
namespace {

TEST(MainWindow, MenuHasEveryItemInOrderWithItsCaption) {
    testing::FakeDialogs dialogs;
    MainWindow main(&dialogs);
    EXPECT_EQ(main.windowTitle(), QString::fromUtf8("Orvanel--坐标转换2014"));
    const QStringList expected_menus = {"ZBBH|坐标变换", "TQBH|椭球基准变换", "PMZB|二维坐标转换",
                                        "GCNH| 高程拟合", "Tools|工具",        "Help|帮助"};
    const QStringList expected_items = {
        "gsZS|高斯投影正算", "gsFS|高斯投影反算", "utmZS|墨卡托投影正算", "utmFS|墨卡托投影反算",
        "zbHD|坐标换带", "gcDC|抵偿高程面坐标转换", "BuerSha|布尔沙模型", "sw7C|三维七参数模型",
        "ew7C|二维七参数模型", "sw4C|三维四参数模型", "ew4c|二维四参数模型", "Poly|二维多项式模型",
        "GPS1|GPS高程拟合", "TFH|图幅号计算", "bzBL|CAD标注地理坐标", "bzXY|CAD标注平面坐标",
        "hjsHelp|系统帮助", "hjsAbout|关于..."};
    QStringList menus;
    QStringList items;
    for (QAction* top : main.menuBar()->actions()) {
        menus << top->menu()->objectName() + "|" + top->text();
        for (QAction* item : top->menu()->actions()) items << item->objectName() + "|" + item->text();
    }
    EXPECT_EQ(menus, expected_menus);
    EXPECT_EQ(items, expected_items);
    EXPECT_TRUE(main.MenuItem("gsZS")->isEnabled());
    EXPECT_TRUE(main.MenuItem("hjsAbout")->isEnabled());
    EXPECT_NE(main.findChild<QWidget*>("ControlBar1"), nullptr);
}

TEST(MainWindow, EachClickOpensAnIndependentWindowAndClosingOnlyHides) {
    testing::FakeDialogs dialogs;
    MainWindow main(&dialogs);
    main.MenuItem("gsZS")->trigger();
    main.MenuItem("gsZS")->trigger();
    const std::vector<QWidget*> windows = main.ToolWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_NE(windows[0], windows[1]);
    EXPECT_EQ(windows[0]->windowTitle(), QString::fromUtf8("高斯投影正算"));
    EXPECT_TRUE(windows[0]->isVisible());
    EXPECT_EQ(windows[0]->parent(), &main);
    windows[0]->close();
    EXPECT_FALSE(windows[0]->isVisible());
    EXPECT_EQ(main.ToolWindows().size(), 2u);  // hidden, still alive
}

TEST(MainWindow, ToolWindowsAreDestroyedMostRecentFirst) {
    testing::FakeDialogs dialogs;
    std::vector<QString> destroyed;
    {
        MainWindow main(&dialogs);
        main.MenuItem("gsZS")->trigger();
        main.MenuItem("gsFS")->trigger();
        main.MenuItem("gsZS")->trigger();
        int n = 0;
        for (QWidget* window : main.ToolWindows()) {
            const QString label = QString::number(n++) + window->windowTitle();
            QObject::connect(window, &QObject::destroyed, [&destroyed, label] { destroyed.push_back(label); });
        }
    }
    ASSERT_EQ(destroyed.size(), 3u);
    EXPECT_TRUE(destroyed[0].startsWith("2"));
    EXPECT_TRUE(destroyed[1].startsWith("1"));
    EXPECT_TRUE(destroyed[2].startsWith("0"));
}

TEST(CommonErrorBox, EndsOnlyTheFailingCommand) {
    testing::FakeDialogs dialogs;
    EXPECT_FALSE(RunCommand(dialogs, [] { throw CommandError("File not found"); }));
    EXPECT_FALSE(RunCommand(dialogs, [] {
        volatile long double zero = 0;
        volatile long double x = 1 / zero;
        (void)x;
        RaiseFloatingPointErrors();
    }));
    EXPECT_TRUE(RunCommand(dialogs, [] {}));
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"File not found", "Floating point division by zero"}));
}

}  // namespace
}  // namespace coordconv

namespace coordconv {
namespace {

// "系统帮助" without a CHM viewer (the desktop cannot open Help.chm) shows the
// pages in the help window; F1 in a tool window opens that tool's page.
TEST(HelpWindowTest, TheHelpOpensInTheProgramWhereTheDesktopCannotAndF1OpensTheToolsPage) {
    testing::FakeDialogs dialogs;
    MainWindow main(&dialogs);
    main.show();
    int desktop_tries = 0;
    main.SetHelpFileOpener([&](const QString&) {
        ++desktop_tries;
        return false;
    });
    main.MenuItem("hjsHelp")->trigger();
    ASSERT_NE(main.Help(), nullptr) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
    EXPECT_TRUE(main.Help()->isVisible());
    EXPECT_EQ(main.Help()->CurrentPage(), "index.html");
    EXPECT_GT(main.Help()->Contents()->count(), 3);
    EXPECT_FALSE(main.Help()->Text()->toPlainText().isEmpty());
    EXPECT_LE(desktop_tries, 1);  // tried only where Help.chm was built

    main.MenuItem("gsZS")->trigger();
    QWidget* tool = main.ToolWindows().back();
    QApplication::setActiveWindow(tool);  // the help window took the focus when it opened
    QTest::keyClick(tool, Qt::Key_F1);
    EXPECT_EQ(main.Help()->CurrentPage(), "gsZS.html");
    EXPECT_TRUE(main.Help()->Text()->toPlainText().contains(QString::fromUtf8("高斯投影正算")));
}

}  // namespace
}  // namespace coordconv
