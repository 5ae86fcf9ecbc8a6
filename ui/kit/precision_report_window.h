// The precision report window of a fitting window ("精度报告"): modeless, one
// per fitting window, showing the report of the latest solve (settings,
// parameters with sigmas, correlations, the point table, the verdict and the
// residual plot); "另存为" writes it as PDF, HTML or JSON by the extension.
#pragma once

#include <QTextBrowser>
#include <QToolBar>
#include <QWidget>

#include "fitting/precision_report.h"
#include "table/user_dialogs.h"

namespace coordconv {

class PrecisionReportWindow : public QWidget {
    Q_OBJECT
public:
    PrecisionReportWindow(QWidget* owner, UserDialogs& dialogs);

    // Shows `report` in place of the one shown.
    void ShowReport(const PrecisionReport& report);
    const PrecisionReport& Report() const { return report_; }
    QTextBrowser* Text() const { return text_; }

    // "另存为".
    void SaveAsClick();

private:
    UserDialogs& dialogs_;
    QTextBrowser* text_;
    PrecisionReport report_;
};

}  // namespace coordconv
