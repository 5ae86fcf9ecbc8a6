// "图形转换" with GIS layers: a folder of Shapefiles into an output folder,
// and a layer whose declared system is not the tool's source, refused until
// the user says to convert it anyway. The layers are made and read back with
// GDAL's own ogr2ogr; the coordinates are checked against the window's point
// table converting the same point.
#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QToolButton>
#include <gtest/gtest.h>

#include "tests/fake_dialogs.h"
#include "tests/ui/windows/window_test_support.h"
#include "ui/windows/zone_change_window.h"

namespace coordconv {
namespace {

using testing::Box;
using testing::Cell;
using testing::FakeDialogs;
using testing::TypeRows;

bool RunOgr2ogr(const QStringList& arguments, QByteArray* output = nullptr) {
    QProcess process;
    process.start("ogr2ogr", arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) return false;
    if (output != nullptr) *output = process.readAllStandardOutput();
    return true;
}

// A point Shapefile `name`.shp in `folder` with the easting X, the northing Y
// and a GBK-free attribute, from a CSV through ogr2ogr; `srs` declares its
// system ("" for none).
bool MakePointShapefile(const QString& folder, const QString& name, const QString& easting, const QString& northing,
                        const QString& srs = {}) {
    const QString csv = folder + "/" + name + "_source.csv";
    QFile file(csv);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(QString("X,Y,code\n%1,%2,P%3\n").arg(easting, northing, name).toUtf8());
    file.close();
    QStringList arguments{"-f", "ESRI Shapefile", folder + "/" + name + ".shp", csv, "-oo", "X_POSSIBLE_NAMES=X",
                          "-oo", "Y_POSSIBLE_NAMES=Y", "-nln", name};
    if (!srs.isEmpty()) arguments << "-a_srs" << srs;
    const bool made = RunOgr2ogr(arguments);
    QFile::remove(csv);
    return made;
}

// The first feature's X and Y as ogr2ogr reads them.
std::pair<double, double> FirstPoint(const QString& path) {
    QByteArray text;
    if (!RunOgr2ogr({"-f", "CSV", "/vsistdout/", path, "-lco", "GEOMETRY=AS_XY"}, &text)) return {0, 0};
    const QList<QByteArray> lines = text.split('\n');
    if (lines.size() < 2) return {0, 0};
    const QList<QByteArray> cells = lines[1].split(',');
    return {cells.value(0).toDouble(), cells.value(1).toDouble()};
}

class LayerConversionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (QStandardPaths::findExecutable("ogr2ogr").isEmpty()) GTEST_SKIP() << "ogr2ogr (gdal-bin) not installed";
        window.show();
        Box(window, "EditLL")->setText("114");
        Box(window, "EditLL2")->setText("117");
        folder = QDir::tempPath() + "/coordconv_layers_" + QString::number(QCoreApplication::applicationPid());
        QDir(folder).removeRecursively();
        QDir().mkpath(folder + "/in");
        QDir().mkpath(folder + "/out");
    }
    void TearDown() override { QDir(folder).removeRecursively(); }

    // The window's own conversion of (x, y) in its point table: y2, x2.
    std::pair<double, double> TableConversion(const char* x, const char* y) {
        TypeRows(window, {{"P", x, y}});
        window.Button(6)->click();
        return {std::stod(Cell(window.Result(), 2, 1)), std::stod(Cell(window.Result(), 1, 1))};
    }

    FakeDialogs dialogs;
    ZoneChangeWindow window{nullptr, dialogs};
    QString folder;
};

TEST_F(LayerConversionTest, FolderOfShapefilesIntoOutputFolder) {
    ASSERT_TRUE(MakePointShapefile(folder + "/in", "parcels", "600000", "3320000"));
    ASSERT_TRUE(MakePointShapefile(folder + "/in", "wells", "420000.5", "3410000.25"));
    QFile notes(folder + "/in/notes.txt");
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.close();

    dialogs.folders = {(folder + "/in").toStdString(), (folder + "/out").toStdString()};
    QAction* action = window.findChild<QAction*>("ActionLayerFolder");
    ASSERT_NE(action, nullptr);
    action->trigger();
    ASSERT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("parcels.shp"), std::string::npos) << dialogs.messages[0];
    EXPECT_NE(dialogs.messages[0].find("wells.shp"), std::string::npos) << dialogs.messages[0];
    EXPECT_EQ(dialogs.progress_steps.back(), 1.0);
    // The layers only, each under its own name and format; the text file stays behind.
    EXPECT_FALSE(QFile::exists(folder + "/out/notes.txt"));
    const auto [east, north] = TableConversion("3320000", "600000");
    const auto [x, y] = FirstPoint(folder + "/out/parcels.shp");
    EXPECT_NEAR(x, east, 1e-3);
    EXPECT_NEAR(y, north, 1e-3);
    const auto [east2, north2] = TableConversion("3410000.25", "420000.5");
    const auto [x2, y2] = FirstPoint(folder + "/out/wells.shp");
    EXPECT_NEAR(x2, east2, 1e-3);
    EXPECT_NEAR(y2, north2, 1e-3);
}

// A layer declared in WGS 84 longitude and latitude is no plane layer of
// the old zone: refused, the user asked; No leaves no output, Yes converts.
TEST_F(LayerConversionTest, DeclaredSystemRefusedThenForced) {
    ASSERT_TRUE(MakePointShapefile(folder + "/in", "geo", "600000", "3320000", "EPSG:4326"));
    const std::string input = (folder + "/in/geo.shp").toStdString();
    auto* button = window.findChild<QToolButton*>("ButtonDrawing");
    ASSERT_NE(button, nullptr);

    dialogs.open_file_lists.push_back({input});
    dialogs.folders.push_back((folder + "/out").toStdString());
    dialogs.yes_no = {false};
    button->click();
    ASSERT_EQ(dialogs.questions.size(), 1u);
    EXPECT_NE(dialogs.questions[0].find("仍然转换吗"), std::string::npos) << dialogs.questions[0];
    EXPECT_FALSE(QFile::exists(folder + "/out/geo.shp"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("未转换"), std::string::npos) << dialogs.messages[0];

    dialogs.open_file_lists.push_back({input});
    dialogs.folders.push_back((folder + "/out").toStdString());
    dialogs.yes_no = {true};
    button->click();
    EXPECT_TRUE(dialogs.errors.empty()) << dialogs.errors.front();
    EXPECT_EQ(dialogs.questions.size(), 2u);
    EXPECT_TRUE(QFile::exists(folder + "/out/geo.shp"));
}

}  // namespace
}  // namespace coordconv
