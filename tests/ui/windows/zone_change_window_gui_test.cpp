// The zone change window driven through its widgets.
#include "ui/windows/zone_change_window.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QGroupBox>
#include <QMimeData>
#include <QToolButton>
#include <QUrl>
#include <gtest/gtest.h>

#include "tests/fake_dialogs.h"
#include "tests/ui/windows/window_test_support.h"
#include "ui/windows/projection_layout.h"

namespace coordconv {
namespace {

TEST(ZoneChange, LeftGroupsRoundHalfToEven) {
    EXPECT_EQ(ZoneChangeLeftGroupWidth(717), 352);  // 704 / 2
    EXPECT_EQ(ZoneChangeLeftGroupWidth(700), 344);  // 343.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(702), 344);  // 344.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(704), 346);  // 345.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(12), 0);     // -0.5
    EXPECT_EQ(ZoneChangeLeftGroupWidth(10), -2);    // -1.5
}


using testing::Box;
using testing::Cell;
using testing::FakeDialogs;
using testing::TypeRows;

class ZoneChangeWindowTest : public ::testing::Test {
protected:
    void SetUp() override { window.show(); }
    QGroupBox* Group(const char* name) { return window.findChild<QGroupBox*>(name); }

    FakeDialogs dialogs;
    ZoneChangeWindow window{nullptr, dialogs};
};

TEST_F(ZoneChangeWindowTest, LayoutGroupsAndTitles) {
    EXPECT_EQ(window.windowTitle(), QString::fromUtf8("坐标换带"));
    EXPECT_EQ(window.size(), QSize(717, 508));
    EXPECT_EQ(window.Ellipsoid().List()->currentText(), QString::fromUtf8("1980西安坐标系"));
    EXPECT_EQ(window.Ellipsoid().A()->text(), "6378140.0000000000");
    EXPECT_EQ(Group("GroupBox1")->title(), QString::fromUtf8("原投影带参数"));
    EXPECT_EQ(Group("GroupBox2")->title(), QString::fromUtf8("原投影带坐标(x,y)"));
    for (const char* name : {"EditLL", "EditLL2"}) EXPECT_EQ(Box(window, name)->text(), "0");
    for (const char* name : {"EditYY", "EditYY2"}) EXPECT_EQ(Box(window, name)->text(), "500000");
    for (int col = 0; col < 3; ++col) EXPECT_EQ(Cell(window.Source(), col, 0), Cell(window.Result(), col, 0));
    EXPECT_EQ(Cell(window.Result(), 2, 0), "横坐标y(m)");
}

TEST_F(ZoneChangeWindowTest, MovesPointsToTheNewMeridianAndConstant) {
    window.NewCentralMeridian()->setText("3");
    // The zone number of an input easting is dropped whatever it is. The
    // easting is that of 30°30′ N, 1°30′ E rounded to 0.1 mm; mirrored onto the
    // meridian 3 it lands at 355993.50572 (the unrounded point at 355993.50576).
    TypeRows(window, {{{"P1", "3376500.1736", "644006.4942"}}, {{"P2", "3376500.1736", "38644006.4942"}}});
    window.Button(6)->click();
    ASSERT_TRUE(dialogs.errors.empty());
    for (int row : {1, 2}) {
        EXPECT_EQ(Cell(window.Result(), 1, row), "3376500.1736");
        EXPECT_EQ(Cell(window.Result(), 2, row), "355993.5057");
    }
    EXPECT_EQ(Cell(window.Result(), 0, 2), "P2");

    // The new constant is added as it stands, a zone number included.
    window.NewYConstant()->setText("39500000");
    window.Button(6)->click();
    EXPECT_EQ(Cell(window.Result(), 2, 1), "39355993.5057");

    // A bad box of the new zone stops the command before any row.
    window.NewCentralMeridian()->setText("3d");
    window.Button(6)->click();
    EXPECT_EQ(dialogs.errors, (std::vector<std::string>{"'3d' is not a valid floating point value"}));
    EXPECT_EQ(Cell(window.Result(), 2, 1), "39355993.5057");
}

TEST_F(ZoneChangeWindowTest, LeftGroupsTakeTheHalfRoundedToEven) {
    const int frame = window.frameGeometry().width() - window.width();
    // W - 13 odd: 687 / 2 = 343.5 gives 344, 691 / 2 = 345.5 gives 346.
    for (const auto& [outer, left] : {std::pair{700, 344}, std::pair{704, 346}, std::pair{813, 400}}) {
        window.resize(outer - frame, 508);
        QApplication::processEvents();
        ASSERT_EQ(window.frameGeometry().width(), outer);
        EXPECT_EQ(Group("GroupBox1")->width(), left) << outer;
        EXPECT_EQ(Group("GroupBox2")->width(), left) << outer;
        for (PointGrid* grid : {&window.Source(), &window.Result()}) {
            const long double w = grid->width() - 34;
            EXPECT_EQ(grid->ColumnWidths(), (std::vector<int>{static_cast<int>(w * 0.18L), static_cast<int>(w * 0.41L),
                                                              static_cast<int>(w * 0.41L)}));
        }
    }
}

}  // namespace
}  // namespace coordconv

namespace coordconv {
namespace {

// "图形转换": the drawings chosen, the output folder, the progress bar and the
// summary; a cancel leaves no file; a .dxf dropped onto the source table
// offers the same conversion.
TEST(ZoneChangeDrawings, ConvertCancelAndDrop) {
    testing::FakeDialogs dialogs;
    ZoneChangeWindow window{nullptr, dialogs};
    window.show();
    testing::Box(window, "EditLL")->setText("114");
    testing::Box(window, "EditLL2")->setText("117");
    const QString folder = QDir::tempPath() + "/coordconv_drawing_" + QString::number(QCoreApplication::applicationPid());
    QDir(folder).removeRecursively();
    QDir().mkpath(folder + "/out");
    const std::string plan = (folder + "/plan.dxf").toStdString();
    {
        QFile file(QString::fromStdString(plan));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("0\nSECTION\n2\nENTITIES\n0\nPOINT\n5\n1B\n10\n600000\n20\n3320000\n0\nENDSEC\n0\nEOF\n");
    }
    auto* button = window.findChild<QToolButton*>("ButtonDrawing");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf8("图形转换"));

    dialogs.open_files.push_back(plan);
    dialogs.folders.push_back((folder + "/out").toStdString());
    button->click();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("已转换实体: POINT 1"), std::string::npos) << dialogs.messages[0];
    EXPECT_TRUE(QFile::exists(folder + "/out/plan.dxf"));
    EXPECT_EQ(dialogs.progress_steps.back(), 1.0);

    // Two drawings, cancelled in the second: neither is left.
    QFile::remove(folder + "/out/plan.dxf");
    QFile::copy(QString::fromStdString(plan), folder + "/plan2.dxf");
    dialogs.open_file_lists.push_back({plan, (folder + "/plan2.dxf").toStdString()});
    dialogs.folders.push_back((folder + "/out").toStdString());
    dialogs.progress_steps.clear();
    dialogs.cancel_at_step = 2;
    button->click();
    EXPECT_EQ(dialogs.progress_steps, (std::vector<double>{0.5, 1.0}));
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "图形转换已取消");
    EXPECT_EQ(QDir(folder + "/out").entryList(QDir::Files | QDir::Hidden).size(), 0);

    // Dropped: the question, then the folder; the input's own folder is
    // asked about before anything is overwritten (answered No here).
    dialogs.cancel_at_step = 0;
    dialogs.yes_no = {true, false};
    dialogs.folders.push_back(folder.toStdString());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(plan))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.Source().viewport(), &enter);
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window.Source().viewport(), &drop);
    ASSERT_EQ(dialogs.questions.size(), 2u);
    EXPECT_NE(dialogs.questions[1].find("同名图形将被覆盖"), std::string::npos);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    QDir(folder).removeRecursively();
}

}  // namespace
}  // namespace coordconv
