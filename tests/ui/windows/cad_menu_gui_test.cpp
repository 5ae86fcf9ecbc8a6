// The menu items of the map sheet and annotation tools in the main window.
#include <QAction>
#include <QScreen>
#include <gtest/gtest.h>

#include "ui/app/main_window.h"
#include "tests/fake_dialogs.h"
#include "tests/test_support.h"
#include "ui/windows/geodetic_annotation_window.h"
#include "tools/cad/settings.h"

namespace coordconv {
namespace {

using testing::FakeDialogs;

// Points the CAD connection at a socket nobody listens on, for one test.
class NoCadServer {
public:
    explicit NoCadServer(const std::string& socket) : old_(qgetenv("COORDCONV_CAD_SERVER")) {
        qputenv("COORDCONV_CAD_SERVER", QByteArray::fromStdString(socket));
    }
    ~NoCadServer() {
        if (old_.isEmpty()) qunsetenv("COORDCONV_CAD_SERVER");
        else qputenv("COORDCONV_CAD_SERVER", old_);
    }

private:
    QByteArray old_;
};

// The settings file beside the test program, restored as it was.
class KeptSettingsFile {
public:
    KeptSettingsFile() : existed_(testing::FileExists(path_)), bytes_(existed_ ? testing::ReadBytes(path_) : "") {}
    ~KeptSettingsFile() {
        if (existed_) testing::WriteBytes(path_, bytes_);
        else std::remove(path_.c_str());
    }

private:
    std::string path_ = SettingsFilePath();
    bool existed_;
    std::string bytes_;
};

TEST(CadMenu, ItemsAreEnabled) {
    FakeDialogs dialogs;
    MainWindow main(&dialogs);
    for (const char* item : {"TFH", "bzBL", "bzXY"}) EXPECT_TRUE(main.MenuItem(item)->isEnabled()) << item;
}

TEST(CadMenu, PlaneAnnotationWithoutCadShowsItsBoxAndOpensNoWindow) {
    const testing::ScratchDir scratch;
    const NoCadServer no_server(scratch.Path("nobody-listens"));
    FakeDialogs dialogs;
    MainWindow main(&dialogs);
    main.MenuItem("bzXY")->trigger();
    EXPECT_TRUE(dialogs.errors.empty());
    EXPECT_EQ(dialogs.messages, (std::vector<std::string>{"坐标转换|AutoCAD尚未打开！"}));
    EXPECT_EQ(dialogs.message_icons, (std::vector<MessageIcon>{MessageIcon::None}));
    EXPECT_EQ(dialogs.message_buttons, (std::vector<MessageButton>{MessageButton::Ok}));
    EXPECT_TRUE(main.ToolWindows().empty());
}

TEST(CadMenu, WindowsOpenAndOnlyTheMapSheetWindowIsCentred) {
    const KeptSettingsFile kept;
    FakeDialogs dialogs;
    MainWindow main(&dialogs);
    main.MenuItem("TFH")->trigger();
    main.MenuItem("bzBL")->trigger();
    const std::vector<QWidget*> windows = main.ToolWindows();
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0]->windowTitle(), QString::fromUtf8("1:1万图幅号计算"));
    EXPECT_EQ(windows[1]->windowTitle(), QString::fromUtf8("CAD标注地理坐标"));
    EXPECT_EQ(windows[1]->pos(), GeodeticAnnotationWindow::kDesignedPosition);
    const QRect screen = windows[0]->screen()->availableGeometry();
    EXPECT_EQ(windows[0]->pos(), screen.center() - windows[0]->rect().center());
}

}  // namespace
}  // namespace coordconv
