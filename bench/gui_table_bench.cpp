// Drives a "高斯投影正算" window headless through a million-point file:
// "文件导入", "转换计算", "数据另存" and a scroll to the last row, printing the
// seconds of each step and the peak memory of the process.
//
//   build/coordconv_gui_bench [POINTS]    (QT_QPA_PLATFORM=offscreen by default)
#include <QApplication>
#include <QScrollBar>
#include <chrono>
#include <cstdio>
#include <random>
#include <sys/resource.h>

#include "tests/fake_dialogs.h"
#include "ui/windows/gauss_window.h"

namespace {

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const long points = argc > 1 ? std::atol(argv[1]) : 1000000;

    const std::string input = "/tmp/coordconv_gui_bench_in.txt";
    const std::string output = "/tmp/coordconv_gui_bench_out.txt";
    {
        std::FILE* file = std::fopen(input.c_str(), "wb");
        std::mt19937 random(1);
        std::uniform_int_distribution<int> minutes(0, 59);
        for (long i = 0; i < points; ++i)
            std::fprintf(file, "\xb5\xe3%ld,%d.%02d%02d%04d,%d.%02d%02d%04d\r\n", i, 18 + static_cast<int>(i % 35),
                         minutes(random), minutes(random), static_cast<int>(i % 10000), 114 + static_cast<int>(i % 6),
                         minutes(random), minutes(random), static_cast<int>(i % 9999));
        std::fclose(file);
    }
    std::printf("points: %ld, memory before the window: %.0f MB\n", points, PeakMegabytes());

    coordconv::testing::FakeDialogs dialogs;
    coordconv::GaussForwardWindow window(nullptr, dialogs);
    window.show();
    window.findChild<QLineEdit*>("EditLL")->setText("117");
    QApplication::processEvents();

    const auto total = std::chrono::steady_clock::now();
    auto step = std::chrono::steady_clock::now();
    dialogs.open_files = {input};
    window.Button(3)->click();
    QApplication::processEvents();
    std::printf("文件导入  %.2f s  (%d rows)\n", Seconds(step), window.Source().Table().RowCount() - 1);

    step = std::chrono::steady_clock::now();
    window.Button(6)->click();
    QApplication::processEvents();
    std::printf("转换计算  %.2f s\n", Seconds(step));

    step = std::chrono::steady_clock::now();
    std::remove(output.c_str());
    dialogs.save_files = {output};
    window.Button(7)->click();
    std::printf("数据另存  %.2f s\n", Seconds(step));

    step = std::chrono::steady_clock::now();
    for (coordconv::PointGrid* grid : {&window.Source(), &window.Result()}) {
        grid->scrollToBottom();
        QApplication::processEvents();
        grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum() / 2);
        QApplication::processEvents();
    }
    std::printf("scrolling %.2f s\n", Seconds(step));
    std::printf("total     %.2f s, peak memory %.0f MB, errors shown: %zu\n", Seconds(total), PeakMegabytes(),
                dialogs.errors.size());
    std::remove(input.c_str());
    std::remove(output.c_str());
    return dialogs.errors.empty() ? 0 : 1;
}
