#include "ui/windows/height_fit_window.h"

#include <QHBoxLayout>
#include <QLabel>

#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

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
    layout.common_point_titles = HeightFitCommonPointTitles();
    layout.common_group_caption = "公共点坐标及高程";
    layout.common_point_hint = kCommonPointHintSentence;
    layout.parameter_group_caption = "高程拟合参数";
    layout.parameter_group_width = 217;
    layout.solve_caption = "解算参数";
    return layout;
}

}  // namespace

TFormGCNH::TFormGCNH(QWidget* owner, UserDialogs& dialogs) : FittingWindow(owner, dialogs, HeightFitWindowLayout()) {
    setObjectName("FormGCNH");

    // The coefficient group: "拟合模型" ComboBox2, then StringGrid4.
    auto* model = new QWidget(ParameterGroupBox());
    model->setObjectName("Panel3");
    auto* model_row = new QHBoxLayout(model);
    model_row->setContentsMargins(4, 2, 4, 2);
    surface_ = new QComboBox(model);
    surface_->setObjectName("ComboBox2");
    for (const std::string& item : HeightSurfaceItems()) surface_->addItem(ToQString(item));
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

    connect(surface_, &QComboBox::currentIndexChanged, this, [this] { ComboBox2Change(); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    SetConvertCommand([this] { ToolButton6Click(); });
}

void TFormGCNH::ComboBox2Change() {
    const std::vector<std::string> labels = HeightSurfaceLabels(surface_->currentIndex());
    coefficients_->Edit([&](CoefficientTable& table) { table.SetLabels(labels); });
}

FittingRun TFormGCNH::Solve(PointTable& common_points) {
    return ShowingFields(SolveHeightFit(surface_->currentIndex(), coefficients_->Table(), common_points),
                         [this](const CoefficientTable& coefficients) {
                             coefficients_->Edit([&](CoefficientTable& table) { table = coefficients; });
                         });
}

void TFormGCNH::ToolButton6Click() {
    ConvertSourceRows(HeightFitConversion(surface_->currentIndex(), coefficients_->Table()));
}

void TFormGCNH::ToolButton14Click() {
    Run([this] { SaveCoefficients(*coefficients_, Dialogs()); });
}

void TFormGCNH::ToolButton15Click() {
    Run([this] { LoadCoefficients(*coefficients_, Dialogs()); });
}

}  // namespace coordconv
