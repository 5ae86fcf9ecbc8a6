#include "ui/windows/plane_four_window.h"

#include "tools/plane/plane_proj.h"
#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

FittingWindowLayout PlaneFourWindowLayout() {
    FittingWindowLayout layout;
    layout.points = FittingPointLayout("平面坐标转换--二维四参数模型", 1071, 640);
    layout.points.source_titles = PlaneFourPointTitles();
    layout.points.result_titles = PlaneFourPointTitles();
    layout.points.column_shares.assign(kPlanePointColumnShares.begin(), kPlanePointColumnShares.end());
    layout.points.column_width_offset = kPlanePointGridOffset;
    layout.common_points = PlaneFourLayout();
    layout.common_point_titles = PlaneFourCommonPointTitles();
    layout.common_point_hint = kCommonPointHintHeightsUnused;
    layout.parameter_group_width = 224;
    layout.solve_caption = "解算四参数";
    return layout;
}

}  // namespace

PlaneFourWindow::PlaneFourWindow(QWidget* owner, UserDialogs& dialogs) : FittingWindow(owner, dialogs, PlaneFourWindowLayout()) {
    setObjectName("Form2d4p");
    Result().setToolTip(ToQString(kHeightsNotConvertedHint));
    // The parameter file holds the edits in this order.
    dx_ = AddParameterEdit("EditA", "dx=", "");
    dy_ = AddParameterEdit("EditB", "dy=", "y平移");
    rotation_ = AddParameterEdit("EditC", "R(\")=", "绕坐标原点水平旋转");
    scale_ = AddParameterEdit("EditD", "m=", "尺度变化");
    height_shift_ = AddParameterEdit("EditDH", "dH=", "高程变化");
    AddProjExportButton([this] { return PlaneFourProjExport(Fields()); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    SetConvertCommand([this] { ConvertPoints(); });
    EnableDrawingConversion([this] { return PlaneFourPointConversion(Fields()); });
}

PlaneFourFields PlaneFourWindow::Fields() const {
    PlaneFourFields fields;
    fields.dx = ToStdString(dx_->text());
    fields.dy = ToStdString(dy_->text());
    fields.rotation = ToStdString(rotation_->text());
    fields.scale = ToStdString(scale_->text());
    fields.height_shift = ToStdString(height_shift_->text());
    return fields;
}

void PlaneFourWindow::ShowFields(const PlaneFourFields& fields) {
    dx_->setText(ToQString(fields.dx));
    dy_->setText(ToQString(fields.dy));
    rotation_->setText(ToQString(fields.rotation));
    scale_->setText(ToQString(fields.scale));
    height_shift_->setText(ToQString(fields.height_shift));
}

FittingRun PlaneFourWindow::Solve(PointTable& common_points) {
    return ShowingFields(SolvePlaneFour(Fields(), common_points),
                         [this](const PlaneFourFields& fields) { ShowFields(fields); });
}

void PlaneFourWindow::ConvertPoints() { ConvertSourceRows(PlaneFourConversion(Fields())); }

}  // namespace coordconv
