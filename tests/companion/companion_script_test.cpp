// Whole annotations against the companion CAD program coordconv-cad, run
// headless from a script; the drawing it writes at the end is read back.
#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "cadlink/cad_companion_client.h"
#include "cadlink/cad_companion_protocol.h"
#include "companion/cad_drawing.h"
#include "core/gauss_kruger.h"
#include "tests/test_support.h"
#include "tools/cad/annotation.h"
#include "tools/cad/sheet_point_pick.h"

namespace coordconv {
namespace {

using testing::ScratchDir;
using testing::WriteBytes;

std::string CompanionProgram() {
    const std::string cli = COORDCONV_CLI;
    return cli.substr(0, cli.rfind('/') + 1) + "coordconv-cad";
}

// A scripted companion listening on a socket inside the scratch folder.
class ScriptedCompanion {
public:
    ScriptedCompanion(const ScratchDir& scratch, const std::string& script, const std::string& drawing = "")
        : socket_(scratch.Path("cad.sock")), output_(scratch.Path("out.dxf")) {
        WriteBytes(scratch.Path("script.txt"), script);
        QStringList arguments;
        if (!drawing.empty()) arguments << QString::fromStdString(drawing);
        arguments << "--server" << QString::fromStdString(socket_) << "--script"
                  << QString::fromStdString(scratch.Path("script.txt")) << "--save" << QString::fromStdString(output_);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        process_.setProcessEnvironment(environment);
        process_.start(QString::fromStdString(CompanionProgram()), arguments);
        // Ready when it says where it listens.
        while (process_.waitForReadyRead(30000))
            if (process_.readAllStandardOutput().contains("listening")) return;
        ADD_FAILURE() << "coordconv-cad did not start: " << process_.readAllStandardError().toStdString();
    }
    ~ScriptedCompanion() {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished();
        }
    }

    const std::string& Socket() const { return socket_; }
    CadAttach Attach() const {
        return [socket = socket_] { return ConnectToCadCompanion(socket); };
    }
    // Waits for the end of the run; the drawing it wrote.
    CadDrawing Finish() {
        EXPECT_TRUE(process_.waitForFinished(60000));
        EXPECT_EQ(process_.exitCode(), 0) << process_.readAllStandardError().toStdString();
        return LoadDxf(output_);
    }

private:
    std::string socket_;
    std::string output_;
    QProcess process_;
};

template <typename T>
std::vector<T> EntitiesOf(const CadDrawing& drawing) {
    std::vector<T> found;
    for (const auto& entity : drawing.entities)
        if (const auto* shape = std::get_if<T>(&entity.shape)) found.push_back(*shape);
    return found;
}

TEST(CompanionScript, PlaneAnnotationWithTheDrawingsLtScale) {
    const ScratchDir scratch;
    // An existing drawing with a line and LTSCALE 2: the default height is 8.
    CadDrawing existing;
    existing.variables["LTSCALE"] = {2.0, 40};
    existing.layers.push_back({"道路", 1, "CONTINUOUS"});
    existing.entities.push_back({{"道路", 256, "BYLAYER"}, LineEntity{{0, 0, 0}, {10, 10, 0}}});
    SaveDxf(existing, scratch.Path("in.dxf"));

    ScriptedCompanion companion(scratch,
                                "answer   \n"
                                "pick 500123.4567 3805678.9\n"
                                "pick 500200 3805700\n"
                                "pick 500150 3805650\n"
                                "cancel\n",
                                scratch.Path("in.dxf"));
    EXPECT_EQ(AnnotatePlane(companion.Attach()), CadCommandOutcome::kFinished);
    const CadDrawing drawing = companion.Finish();

    const auto lines = EntitiesOf<LineEntity>(drawing);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(drawing.entities[0].attributes.layer, "道路");  // kept from the opened file
    EXPECT_EQ(lines[1].start.x, 500123.4567);
    EXPECT_EQ(lines[1].start.y, 3805678.9);
    EXPECT_EQ(lines[1].end.x, 500200);
    // W = 0.7 * 13 * h = 9.1h with h = 4 * LTSCALE = 8.
    EXPECT_DOUBLE_EQ(lines[2].end.x, 500200 + 9.1 * 8);
    EXPECT_EQ(lines[2].end.y, 3805700);

    const auto texts = EntitiesOf<TextEntity>(drawing);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "X=3805678.900");
    EXPECT_EQ(texts[0].insertion.x, 500200);
    EXPECT_DOUBLE_EQ(texts[0].insertion.y, 3805700 + 0.3 * 8);
    EXPECT_EQ(texts[0].height, 8);
    EXPECT_EQ(texts[1].text, "Y=500123.457");
    EXPECT_DOUBLE_EQ(texts[1].insertion.y, 3805700 - 1.3 * 8);
}

TEST(CompanionScript, GeodeticAnnotationWithDotAndLeader) {
    const ScratchDir scratch;
    // Drawing points in 3° zone 39 (the national easting less a CAD shift).
    const PlanePoint p = GaussForward(6378140, 1 / 298.257L, 39.5L, 116.25L - 117);
    const double x = static_cast<double>(p.y + 500000 + 39000000 - 39000000);
    const double y = static_cast<double>(p.x - 4000000);
    char script[256];
    // The point is picked at z = 12.5: the dot's circle and its hatch lie there.
    std::snprintf(script, sizeof script, "pick %.10f %.10f 12.5\npick %.10f %.10f\n", x, y, x - 30, y + 20);
    ScriptedCompanion companion(scratch, script);

    GeodeticAnnotationFields fields;
    fields.x_shift = "4000000";
    fields.y_shift = "39000000";
    fields.text_height = "2";
    fields.circle_radius = "0.6";
    fields.draw_leader = true;
    fields.second_decimals = 1;
    EXPECT_EQ(AnnotateGeodetic(companion.Attach(), fields), CadCommandOutcome::kFinished);
    const CadDrawing drawing = companion.Finish();

    const auto circles = EntitiesOf<CircleEntity>(drawing);
    ASSERT_EQ(circles.size(), 1u);
    EXPECT_NEAR(circles[0].centre.x, x, 1e-9);
    EXPECT_EQ(circles[0].radius, 0.6);
    EXPECT_EQ(circles[0].centre.z, 12.5);
    const std::string dxf = testing::ReadBytes(scratch.Path("out.dxf"));
    const std::size_t hatch_at = dxf.find("\nHATCH\n");
    ASSERT_NE(hatch_at, std::string::npos);
    const std::size_t z_at = dxf.find("\n 30\n", hatch_at);
    ASSERT_NE(z_at, std::string::npos);
    EXPECT_EQ(std::stod(dxf.substr(z_at + 5, dxf.find('\n', z_at + 5) - z_at - 5)), 12.5);
    const auto hatches = EntitiesOf<HatchEntity>(drawing);
    ASSERT_EQ(hatches.size(), 1u);
    EXPECT_TRUE(hatches[0].solid);
    ASSERT_EQ(hatches[0].loops.size(), 1u);
    ASSERT_EQ(hatches[0].loops[0].size(), 1u);
    EXPECT_TRUE(hatches[0].loops[0][0].is_arc);
    EXPECT_EQ(hatches[0].loops[0][0].radius, 0.6);

    // Labels of 16 GBK bytes ("N 39°30′00.0″"): W = 0.7 * 16 * 2 = 22.4, to the left.
    const auto leaders = EntitiesOf<PolylineEntity>(drawing);
    ASSERT_EQ(leaders.size(), 1u);
    ASSERT_EQ(leaders[0].vertices.size(), 3u);
    EXPECT_NEAR(leaders[0].vertices[1].x, x - 30, 1e-9);
    EXPECT_NEAR(leaders[0].vertices[2].x, x - 30 - 22.4, 1e-9);
    EXPECT_NEAR(leaders[0].vertices[2].y, y + 20, 1e-9);

    const auto texts = EntitiesOf<TextEntity>(drawing);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "E116°15′00.0″");
    EXPECT_EQ(texts[1].text, "N 39°30′00.0″");
    EXPECT_NEAR(texts[0].insertion.x, x - 30 + 0.6 - 22.4, 1e-9);
    EXPECT_NEAR(texts[0].insertion.y, y + 20 + 0.6, 1e-9);
    EXPECT_NEAR(texts[1].insertion.y, y + 20 - 2.6, 1e-9);
}

TEST(CompanionScript, MapSheetPickAndNoCompanion) {
    const ScratchDir scratch;
    ScriptedCompanion companion(scratch, "pick 39500123.25 4425000.5\n");
    const auto texts = PickSheetPoint(companion.Attach());
    ASSERT_TRUE(texts.has_value());
    EXPECT_EQ(texts->x, "4425000.5");
    EXPECT_EQ(texts->y, "39500123.25");
    companion.Finish();

    // Nobody listens: attaching fails and the commands say so.
    const std::string nowhere = scratch.Path("nobody.sock");
    const CadAttach attach = [nowhere] { return ConnectToCadCompanion(nowhere); };
    EXPECT_EQ(AnnotatePlane(attach), CadCommandOutcome::kCadNotRunning);
    EXPECT_EQ(AnnotateGeodetic(attach, GeodeticAnnotationFields{}), CadCommandOutcome::kCadNotRunning);
    EXPECT_FALSE(PickSheetPoint(attach).has_value());
}

// The default socket lives in the user's own runtime folder, and the
// companion never deletes a file that is not a socket to take its name.
TEST(CompanionScript, TheSocketIsTheUsersAndOtherFilesStay) {
    const QString default_path = cad_protocol::ServerPath(cad_protocol::kDefaultServerName);
    EXPECT_NE(default_path, "/tmp/coordconv-cad");
    EXPECT_TRUE(default_path.endsWith("/coordconv-cad")) << default_path.toStdString();
    EXPECT_EQ(cad_protocol::ServerPath("/some/where.sock"), "/some/where.sock");

    const ScratchDir scratch;
    WriteBytes(scratch.Path("taken"), "a user's file");
    QProcess companion;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    companion.setProcessEnvironment(environment);
    companion.start(QString::fromStdString(CompanionProgram()),
                    {"--server", QString::fromStdString(scratch.Path("taken")), "--script",
                     QString::fromStdString(scratch.Path("taken")), "--save", QString::fromStdString(scratch.Path("o.dxf"))});
    ASSERT_TRUE(companion.waitForFinished(30000));
    EXPECT_NE(companion.exitCode(), 0);
    EXPECT_EQ(testing::ReadBytes(scratch.Path("taken")), "a user's file");

    // A client that sends a request of megabytes without its line end is
    // dropped instead of being buffered without end.
    ScriptedCompanion serving(scratch, "pick 1 2\n");
    QLocalSocket flood;
    flood.connectToServer(QString::fromStdString(serving.Socket()));
    ASSERT_TRUE(flood.waitForConnected(5000));
    flood.write(QByteArray(3 << 20, 'x'));
    flood.flush();
    EXPECT_TRUE(flood.state() == QLocalSocket::UnconnectedState || flood.waitForDisconnected(10000));
}

TEST(CompanionScript, CancelledPickReachesTheCommandAsTheCompanionsText) {
    const ScratchDir scratch;
    ScriptedCompanion companion(scratch, "cancel\n");
    try {
        PickSheetPoint(companion.Attach());
        ADD_FAILURE() << "the cancelled pick gave a point";
    } catch (const CadError& error) {
        EXPECT_EQ(std::string(error.what()), "*取消*");
    }
    EXPECT_TRUE(companion.Finish().entities.empty());
}

// SIGTERM during a save: the target is a FIFO that nobody reads, so the
// save waits with the DXF library's scratch file written; the companion ends
// as the signal asks and leaves no scratch file in $TMPDIR.
TEST(CompanionScript, AStoppedSaveLeavesNoScratchFile) {
    const ScratchDir scratch;
    const QString temporary_folder = QString::fromStdString(scratch.Path("tmp"));
    ASSERT_TRUE(QDir().mkdir(temporary_folder));
    ASSERT_EQ(mkfifo(scratch.Path("out.dxf").c_str(), 0600), 0);
    WriteBytes(scratch.Path("script.txt"), "pick 1 2\n");
    QProcess companion;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("TMPDIR", temporary_folder);
    companion.setProcessEnvironment(environment);
    companion.start(QString::fromStdString(CompanionProgram()),
                    {"--server", QString::fromStdString(scratch.Path("cad.sock")), "--script",
                     QString::fromStdString(scratch.Path("script.txt")), "--save",
                     QString::fromStdString(scratch.Path("out.dxf"))});
    bool listening = false;
    while (!listening && companion.waitForReadyRead(30000))
        listening = companion.readAllStandardOutput().contains("listening");
    ASSERT_TRUE(listening) << companion.readAllStandardError().toStdString();
    // A client that comes and goes starts the save.
    {
        QLocalSocket client;
        client.connectToServer(QString::fromStdString(scratch.Path("cad.sock")));
        ASSERT_TRUE(client.waitForConnected(5000));
    }
    // The scratch files (Qt may add a runtime folder there too).
    const auto scratch_files = [&] {
        return QDir(temporary_folder).entryList({"coordconv-cad-*"}, QDir::Files | QDir::Hidden);
    };
    for (int wait = 0; wait < 1000 && scratch_files().isEmpty(); ++wait) QThread::msleep(10);
    ASSERT_EQ(scratch_files().size(), 1) << "the save made no scratch file";
    companion.terminate();
    ASSERT_TRUE(companion.waitForFinished(30000));
    EXPECT_EQ(companion.exitStatus(), QProcess::CrashExit);  // ended by the signal
    EXPECT_TRUE(scratch_files().isEmpty()) << scratch_files().join(' ').toStdString();
}

}  // namespace
}  // namespace coordconv
