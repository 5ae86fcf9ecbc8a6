#include "ui/kit/precision_report_window.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "ui/kit/command_runner.h"
#include "report/precision_report_document.h"
#include "ui/kit/point_table_commands.h"
#include "ui/kit/qt_text.h"

namespace coordconv {

PrecisionReportWindow::PrecisionReportWindow(QWidget* owner, UserDialogs& dialogs)
    : QWidget(owner, Qt::Window), dialogs_(dialogs) {
    setObjectName("FormReport");
    resize(860, 720);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    auto* bar = new QToolBar(this);
    bar->setObjectName("ToolBar1");
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto* save = new QToolButton(bar);
    save->setObjectName("ToolButton1");
    save->setText("另存为");
    bar->addWidget(save);
    connect(save, &QToolButton::clicked, this, [this] { SaveAsClick(); });
    layout->addWidget(bar);
    text_ = new QTextBrowser(this);
    text_->setObjectName("ReportText");
    layout->addWidget(text_, 1);
}

void PrecisionReportWindow::ShowReport(const PrecisionReport& report) {
    report_ = report;
    setWindowTitle(ToQString(report.description.caption) + " 精度报告");
    text_->document()->addResource(QTextDocument::ImageResource, QUrl("plot.png"), ResidualPlotImage(report, 1280, 960));
    text_->setHtml(PrecisionReportHtml(report, "plot.png"));
}

void PrecisionReportWindow::SaveAsClick() {
    RunCommand(dialogs_, [this] {
        FileDialogSpec spec;
        spec.title = "另存为";
        spec.filter_name = "PDF, HTML (*.pdf *.html)";
        spec.filter_pattern = "*.pdf *.html";
        spec.default_extension = "pdf";
        const std::optional<std::string> path = AskSavePath(dialogs_, spec);
        if (path) WritePrecisionReport(*path, report_);
    });
}

}  // namespace coordconv
