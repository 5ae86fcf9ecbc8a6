#include "ui/windows/height_fit_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <array>

#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

// Column k of the coefficient table gets trunc((table width - 28) * share k),
// of the point tables trunc((table width - 29) * share k), of the common
// points trunc((table width - 30) * share k).
constexpr int kHeightCoefficientGridOffset = 28;
constexpr std::array<long double, 2> kHeightCoefficientColumnShares = {0.2L, 0.8L};
constexpr int kHeightPointGridOffset = 29;
constexpr std::array<long double, 4> kHeightPointColumnShares = {0.16L, 0.32L, 0.32L, 0.2L};

FittingWindowLayout HeightFitWindowLayout() {
    FittingWindowLayout layout;
    layout.points = FittingPointLayout("GPS高程拟合", 959, 559);
    layout.points.source_group_caption = "GPS大地高";
    layout.points.result_group_caption = "似大地水准面高";
    layout.points.source_titles = HeightFitSourceTitles();
    layout.points.result_titles = HeightFitResultTitles();
    layout.points.column_shares.assign(kHeightPointColumnShares.begin(), kHeightPointColumnShares.end());
    layout.points.column_width_offset = kHeightPointGridOffset;
    layout.common_points = HeightFitLayout();
    layout.common_point_shares = {0.11L, 0.17L, 0.17L, 0.14L, 0.14L, 0.11L, 0.08L, 0.08L};
    layout.common_point_width_offset = 30;
    layout.accuracy_line_offset = 360;
    layout.common_point_titles = HeightFitCommonPointTitles();
    layout.common_group_caption = "公共点坐标及高程";
    layout.common_point_hint = kCommonPointHintSentence;
    layout.parameter_group_caption = "高程拟合参数";
    layout.parameter_group_width = 217;
    layout.solve_caption = "解算参数";
    return layout;
}

}  // namespace

HeightFitWindow::HeightFitWindow(QWidget* owner, UserDialogs& dialogs) : FittingWindow(owner, dialogs, HeightFitWindowLayout()) {
    setObjectName("FormGCNH");

    // The coefficient group: "拟合模型", then the coefficient table.
    auto* model = new QWidget(ParameterGroupBox());
    model->setObjectName("Panel3");
    auto* model_row = new QHBoxLayout(model);
    model_row->setContentsMargins(4, 2, 4, 2);
    surface_ = new QComboBox(model);
    surface_->setObjectName("ComboBox2");
    for (const std::string& item : HeightSurfaceNames()) surface_->addItem(ToQString(item));
    surface_->setCurrentIndex(0);
    model_row->addWidget(new QLabel("拟合模型", model));
    model_row->addWidget(surface_, 1);
    ParameterArea()->addWidget(model);
    coefficients_ = new CoefficientGrid(NewHeightFitCoefficientTable(0), ParameterGroupBox());
    coefficients_->setObjectName("StringGrid4");
    coefficients_->SetDialogs(dialogs_);
    coefficients_->SetColumnShares({kHeightCoefficientColumnShares.begin(), kHeightCoefficientColumnShares.end()},
                                   kHeightCoefficientGridOffset);
    ParameterArea()->addWidget(coefficients_, 1);

    connect(surface_, &QComboBox::currentIndexChanged, this, [this] { SurfaceModelChanged(); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    SetConvertCommand([this] { ConvertPoints(); });
}

void HeightFitWindow::SurfaceModelChanged() {
    const std::vector<std::string> labels = HeightSurfaceLabels(surface_->currentIndex());
    coefficients_->Edit([&](CoefficientTable& table) { table.SetLabels(labels); });
}

FittingRun HeightFitWindow::Solve(PointTable& common_points) {
    return ShowingFields(SolveHeightFit(surface_->currentIndex(), coefficients_->Table(), common_points),
                         [this](const CoefficientTable& coefficients) {
                             coefficients_->Edit([&](CoefficientTable& table) { table = coefficients; });
                         });
}

void HeightFitWindow::ConvertPoints() {
    ConvertSourceRows(HeightFitConversion(surface_->currentIndex(), coefficients_->Table()));
}

void HeightFitWindow::SaveParameters() {
    Run([this] { SaveCoefficients(*coefficients_, Dialogs()); });
}

void HeightFitWindow::LoadParameters() {
    Run([this] { LoadCoefficients(*coefficients_, Dialogs()); });
}

}  // namespace coordconv
