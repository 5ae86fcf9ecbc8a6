// coordconv-cad: a small CAD program that stands in for a running AutoCAD.
//
//   coordconv-cad [drawing.dxf] [--server NAME]
//   coordconv-cad [drawing.dxf] [--server NAME] --script FILE --save OUT.dxf [--stay]
//
// It shows the drawing and answers the automation calls of coordconv's CAD
// commands on the local socket NAME (default: $COORDCONV_CAD_SERVER or
// "coordconv-cad"). With --script the picks and typed answers come from FILE
// (see script_input.h); when the first client has disconnected the drawing is
// written to OUT.dxf and the program ends (with --stay it stays open).
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>

#include "cadlink/cad_companion_protocol.h"
#include "companion/companion_server.h"
#include "companion/companion_window.h"
#include "companion/drawing_view.h"
#include "companion/script_input.h"
#include "table/safe_file.h"

using namespace coordconv;
using namespace coordconv::companion;

namespace {

// A scripted run that no client ever reaches ends after this long.
constexpr int kScriptedIdleLimitMs = 120000;

int Fail(const QString& message, int status) {
    std::fprintf(stderr, "coordconv-cad: %s\n", message.toUtf8().constData());
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    RemoveTemporaryFilesOnInterrupt();
    QApplication app(argc, argv);
    QApplication::setApplicationName("coordconv-cad");

    QCommandLineParser parser;
    parser.setApplicationDescription("coordconv 的配套 CAD 程序：显示图形，为坐标转换的 CAD 命令取点和绘图。");
    parser.addHelpOption();
    parser.addPositionalArgument("drawing", "要打开的 DXF 图形", "[drawing.dxf]");
    const QCommandLineOption server_option("server", "本地套接字名", "NAME", cad_protocol::DefaultServerName());
    const QCommandLineOption script_option("script", "从脚本文件读取取点和输入（测试用）", "FILE");
    const QCommandLineOption save_option("save", "脚本运行结束时将图形写入此 DXF 文件", "OUT");
    const QCommandLineOption stay_option("stay", "脚本运行结束后不退出");
    parser.addOptions({server_option, script_option, save_option, stay_option});
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) return Fail("只能打开一个图形", 2);
    const bool scripted = parser.isSet(script_option);
    if (!scripted && (parser.isSet(save_option) || parser.isSet(stay_option)))
        return Fail("--save 和 --stay 只用于 --script", 2);

    CadDrawing drawing;
    QString drawing_path;
    if (!positional.isEmpty()) {
        drawing_path = QFileInfo(positional[0]).absoluteFilePath();
        if (QFileInfo::exists(drawing_path)) {
            try {
                drawing = LoadDxf(drawing_path.toStdString());
            } catch (const CommandError& error) {
                return Fail(QString::fromStdString(error.what()), 1);
            }
        } else if (scripted) {
            return Fail("找不到图形 " + drawing_path, 1);
        }
    }

    CompanionWindow window(drawing, drawing_path);
    ScriptInput script;
    if (scripted) {
        QString error;
        if (!script.Load(parser.value(script_option), error)) return Fail(error, 2);
        script.SetWindow(&window);
        window.Log("脚本模式: " + parser.value(script_option));
    }
    InputSource& input = scripted ? static_cast<InputSource&>(script) : window;
    DrawingSession session(drawing, input);
    CompanionServer server(session);
    QString error;
    if (!server.Listen(parser.value(server_option), error)) return Fail(error, 2);
    window.ReportSkipped();
    window.Log("等待 coordconv 连接: " + server.FullServerName());
    window.show();
    std::printf("coordconv-cad listening on %s\n", server.FullServerName().toUtf8().constData());
    std::fflush(stdout);

    // Scripted runs: the drawing is written when the first client has left.
    const QString save_path = parser.value(save_option);
    const bool stay = parser.isSet(stay_option);
    QTimer idle;
    if (scripted) {
        idle.setSingleShot(true);
        QObject::connect(&idle, &QTimer::timeout, &app, [] {
            std::fprintf(stderr, "coordconv-cad: no client connected\n");
            QApplication::exit(3);
        });
        idle.start(kScriptedIdleLimitMs);
        QObject::connect(&server, &CompanionServer::ClientConnected, &idle, &QTimer::stop);
        QObject::connect(&server, &CompanionServer::ClientDisconnected, &app, [&](int remaining) {
            if (remaining > 0) return;
            window.View().ZoomExtents();
            int status = 0;
            if (!save_path.isEmpty()) {
                try {
                    SaveDxf(drawing, save_path.toStdString());
                    window.Log("已保存 " + save_path);
                } catch (const CommandError& e) {
                    std::fprintf(stderr, "coordconv-cad: %s\n", e.what());
                    status = 1;
                }
            }
            if (script.Unused() > 0)
                std::fprintf(stderr, "coordconv-cad: %d script lines not used\n", script.Unused());
            if (!stay) QApplication::exit(status);
        });
    }
    return QApplication::exec();
}
