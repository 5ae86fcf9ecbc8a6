// solve --report of the seven fitting tools: the JSON parses and has every
// documented key, the HTML embeds the plot, the PDF holds the parameter
// names (read back with poppler's pdftotext).
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <random>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/number_text.h"
#include "fitting/common_points.h"
#include "table/coordinate_file.h"
#include "tests/test_support.h"
#include "tests/tools/datum/datum_test_support.h"
#include "tools/datum/bursa_wolf.h"

namespace coordconv {
namespace {

using testing::CliRun;
using testing::ReadBytes;
using testing::RunCli;
using testing::RunProgram;
using testing::ScratchDir;
using testing::WriteBytes;

// Nine common points of a plane network, targets by the known Bursa-Wolf set
// with a little noise; the same rows serve the plane tools.
std::string DatumCommonPoints() {
    const DatumFields settings = testing::Beijing54ToXian80();
    std::vector<testing::SourcePoint> points;
    for (int i = 0; i < 9; ++i) {
        const PlanePoint p = GaussForward(6378245.0L, 1 / 298.3L, 30.0L + 0.3L * (i % 3), -0.5L + 0.4L * (i / 3));
        points.push_back({"P" + std::to_string(i + 1), FormatFixed(p.x, 4), FormatFixed(p.y + 500000, 4),
                          FormatFixed(40 + 25.0L * i, 4)});
    }
    const FloatingPointScope scope;
    PointTable grid = testing::GridFromConversion(BursaWolfLayout(), points, BursaWolfConversion(settings, kKnownSet));
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 0.01);
    std::string text;
    for (int row = 1; row < grid.RowCount(); ++row) {
        for (int col = 4; col <= 6; ++col) grid.Cell(col, row) = FormatFixed(TextToNumber(grid.Cell(col, row)) + noise(random), 4);
        grid.Cell(12, row) = row == 9 ? "No" : "Yes";
        text += JoinRow(grid.Row(row), 13) + "\r\n";
    }
    return text;
}

std::string HeightCommonPoints() {
    std::string text;
    for (int i = 0; i < 8; ++i) {
        const double x = 3380000 + 2500.0 * (i % 3), y = 500000 + 3000.0 * (i / 3) + 300.0 * i;
        const double anomaly = -12.5 + 2e-5 * (x - 3380000) - 1e-5 * (y - 500000) + 0.003 * ((i * 7) % 5 - 2);
        text += "H" + std::to_string(i + 1) + "," + std::to_string(x) + "," + std::to_string(y) + ",100," +
                std::to_string(100 + anomaly) + ",,,Yes\r\n";
    }
    return text;
}

TEST(PrecisionReportCli, EverySolveWritesTheReportInEachForm) {
    const ScratchDir dir;
    WriteBytes(dir.Path("datum.txt"), DatumCommonPoints());
    WriteBytes(dir.Path("height.txt"), HeightCommonPoints());
    struct Case {
        std::vector<std::string> tool;
        std::string input;
        std::string first_parameter;
    };
    const std::vector<Case> cases = {
        {{"bursa-wolf", "solve", "--cm", "114"}, "datum.txt", "Tx"},
        {{"seven-3d", "solve", "--cm", "114"}, "datum.txt", "Tx"},
        {{"seven-2d", "solve", "--cm", "114"}, "datum.txt", "Tx"},
        {{"four-3d", "solve", "--cm", "114"}, "datum.txt", "Tx"},
        {{"plane-four", "solve"}, "datum.txt", "dx"},
        {{"polynomial", "solve", "--order", "2"}, "datum.txt", "a0"},
        {{"height-fit", "solve", "--model", "1"}, "height.txt", "a0"},
    };
    const bool have_pdftotext = RunProgram("pdftotext", {"-v"}).status == 0;
    for (const Case& c : cases) {
        for (const std::string extension : {"json", "html", "pdf"}) {
            std::vector<std::string> args = c.tool;
            const std::string report = dir.Path(c.tool[0] + "." + extension);
            for (const std::string& more : {std::string("-i"), dir.Path(c.input), std::string("-o"), dir.Path("p.txt"),
                                            std::string("--report"), report})
                args.push_back(more);
            const CliRun run = RunCli(args);
            ASSERT_EQ(run.status, 0) << c.tool[0] << " " << run.err;
            const std::string bytes = ReadBytes(report);
            if (extension == "json") {
                QJsonParseError error{};
                const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
                ASSERT_EQ(error.error, QJsonParseError::NoError) << bytes;
                const QJsonObject root = json.object();
                for (const char* key : {"model", "redundancy", "sigma0", "sigma0_unit", "critical_value", "parameters",
                                        "correlation", "points", "suspected_outlier"})
                    EXPECT_TRUE(root.contains(key)) << c.tool[0] << ": " << key;
                EXPECT_EQ(root["model"].toString().toStdString(), c.tool[0]);
                EXPECT_GE(root["redundancy"].toInt(), 1) << c.tool[0];
                EXPECT_GT(root["sigma0"].toDouble(), 0) << c.tool[0];
                EXPECT_EQ(root["critical_value"].toDouble(), 3.29);
                const QJsonObject first = root["parameters"].toArray()[0].toObject();
                EXPECT_EQ(first["name"].toString().toStdString(), c.first_parameter);
                EXPECT_GT(first["sigma"].toDouble(), 0) << c.tool[0];
                // The parameter file's first line is the text the report shows.
                const std::string parameters = ReadBytes(dir.Path("p.txt"));
                EXPECT_NE(parameters.find(first["text"].toString().toStdString()), std::string::npos) << c.tool[0];
                const QJsonArray points = root["points"].toArray();
                ASSERT_FALSE(points.isEmpty());
                const QJsonObject adopted = points[0].toObject();
                EXPECT_TRUE(adopted["adopted"].toBool());
                EXPECT_EQ(adopted["v"].toArray().size(), adopted["w"].toArray().size());
                if (c.input == "datum.txt") {
                    EXPECT_TRUE(points[8].toObject()["v"].isNull()) << c.tool[0];  // the check point
                }
            } else if (extension == "html") {
                EXPECT_NE(bytes.find("<img src=\"data:image/png;base64,"), std::string::npos) << c.tool[0];
                EXPECT_NE(bytes.find(">" + c.first_parameter + "<"), std::string::npos) << c.tool[0];
            } else {
                EXPECT_EQ(bytes.substr(0, 5), "%PDF-") << c.tool[0];
                if (have_pdftotext) {
                    const CliRun text = RunProgram("pdftotext", {report, "-"});
                    EXPECT_NE(text.out.find(c.first_parameter), std::string::npos) << c.tool[0];
                    EXPECT_NE(text.out.find("精度报告"), std::string::npos) << c.tool[0];
                }
            }
        }
    }
    const CliRun wrong = RunCli({"plane-four", "solve", "-i", dir.Path("datum.txt"), "--report", dir.Path("r.doc")});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.err.find(".pdf, .html 或 .json"), std::string::npos) << wrong.err;
}

// A name with bytes that are no GBK character (0x80, 0xFF): the report's
// JSON and HTML show each as U+FFFD, the residual file keeps the bytes.
TEST(PrecisionReportCli, UndecodableNameBytesAreReplacementCharactersInTheReport) {
    const ScratchDir dir;
    std::string common = DatumCommonPoints();
    common.replace(0, 2, "\x80P\xFF");  // "P1" becomes 0x80 'P' 0xFF
    WriteBytes(dir.Path("common.txt"), common);
    const std::string replaced = "\xEF\xBF\xBDP\xEF\xBF\xBD";
    for (const std::string extension : {"json", "html"}) {
        const std::string report = dir.Path("r." + extension);
        const CliRun run = RunCli({"plane-four", "solve", "-i", dir.Path("common.txt"), "--residuals",
                                   dir.Path("res.txt"), "--report", report});
        ASSERT_EQ(run.status, 0) << run.err;
        const std::string bytes = ReadBytes(report);
        EXPECT_NE(bytes.find(replaced), std::string::npos) << extension;
        EXPECT_EQ(bytes.find("\xF4\x8F"), std::string::npos) << extension;
        if (extension == "json") {
            QJsonParseError error{};
            const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(bytes), &error);
            ASSERT_EQ(error.error, QJsonParseError::NoError);
            EXPECT_EQ(json.object()["points"].toArray()[0].toObject()["name"].toString(), QString::fromUtf8("\uFFFDP\uFFFD"));
        }
        EXPECT_EQ(ReadBytes(dir.Path("res.txt")).substr(0, 4), "\x80P\xFF,");
    }
}

}  // namespace
}  // namespace coordconv
