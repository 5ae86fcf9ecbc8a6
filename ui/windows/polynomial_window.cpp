#include "ui/windows/polynomial_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <array>

#include "ui/kit/qt_text.h"
#include "tools/plane/plane_four.h"
#include "ui/windows/plane_four_window.h"
#include "tools/plane/plane_proj.h"

namespace coordconv {
namespace {

// The coefficient table: column k gets trunc((table width - 30) * share k).
constexpr int kPolynomialCoefficientGridOffset = 30;
constexpr std::array<long double, 2> kCoefficientColumnShares = {0.2L, 0.8L};

FittingWindowLayout PolynomialWindowLayout() {
    FittingWindowLayout layout;
    layout.points = FittingPointLayout("坐标转换--二维多项式拟合模型", 1071, 641);
    layout.points.source_titles = PolynomialPointTitles(PolynomialForm::Plane);
    layout.points.result_titles = PolynomialPointTitles(PolynomialForm::Plane);
    layout.points.column_shares.assign(kPlanePointColumnShares.begin(), kPlanePointColumnShares.end());
    layout.points.column_width_offset = kPlanePointGridOffset;
    layout.common_points = PolynomialLayout(PolynomialForm::Plane);
    layout.accuracy_line_offset = 360;
    layout.common_point_titles = PolynomialCommonPointTitles(PolynomialForm::Plane);
    layout.common_point_hint = kCommonPointHintHeightsUnused;
    layout.parameter_group_caption = "多项式系数";
    layout.parameter_group_width = 217;
    layout.solve_caption = "解算系数";
    return layout;
}

QComboBox* NewItemBox(const QString& name, const std::vector<std::string>& items, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    for (const std::string& item : items) box->addItem(ToQString(item));
    box->setCurrentIndex(0);
    return box;
}

}  // namespace

PolynomialWindow::PolynomialWindow(QWidget* owner, UserDialogs& dialogs) : FittingWindow(owner, dialogs, PolynomialWindowLayout()) {
    setObjectName("FormPoly");
    Result().setToolTip(ToQString(kHeightsNotConvertedHint));

    // Above the common points: "坐标形式", then "多项式模型".
    auto* choice = new QWidget(this);
    choice->setObjectName("Panel2");
    auto* choice_row = new QHBoxLayout(choice);
    choice_row->setContentsMargins(4, 2, 4, 2);
    form_ = NewItemBox("ComboBox2", PolynomialFormNames(), choice);
    order_ = NewItemBox("ComboBox1", PolynomialOrderNames(), choice);
    choice_row->addWidget(new QLabel("坐标形式", choice));
    choice_row->addWidget(form_);
    choice_row->addSpacing(16);
    choice_row->addWidget(new QLabel("多项式模型", choice));
    choice_row->addWidget(order_);
    choice_row->addStretch(1);
    AddAboveCommonPoints(choice);

    // The coefficient group: "dH=", then the coefficient table.
    auto* shift = new QWidget(ParameterGroupBox());
    shift->setObjectName("Panel3");
    auto* shift_row = new QHBoxLayout(shift);
    shift_row->setContentsMargins(4, 2, 4, 2);
    height_shift_ = new QLineEdit("0", shift);
    height_shift_->setObjectName("EditDH");
    QPalette palette = height_shift_->palette();
    palette.setColor(QPalette::Text, Qt::blue);
    height_shift_->setPalette(palette);
    auto* shift_label = new QLabel("dH=", shift);
    shift_label->setBuddy(height_shift_);
    shift_row->addWidget(shift_label);
    shift_row->addWidget(height_shift_, 1);
    ParameterArea()->addWidget(shift);
    coefficients_ = new CoefficientGrid(NewPolynomialCoefficientTable(0), ParameterGroupBox());
    coefficients_->setObjectName("StringGrid4");
    coefficients_->SetDialogs(dialogs_);
    coefficients_->SetColumnShares({kCoefficientColumnShares.begin(), kCoefficientColumnShares.end()},
                                   kPolynomialCoefficientGridOffset);
    ParameterArea()->addWidget(coefficients_, 1);

    connect(order_, &QComboBox::currentIndexChanged, this, [this] { OrderChanged(); });
    connect(form_, &QComboBox::currentIndexChanged, this, [this] { FormChanged(); });
    AddProjExportButton([this] { return PolynomialProjExport(Fields(), coefficients_->Table()); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    SetConvertCommand([this] { ConvertPoints(); });
    EnableDrawingConversion([this] { return PolynomialPointConversion(Fields(), coefficients_->Table()); });
}

PolynomialFields PolynomialWindow::Fields() const {
    PolynomialFields fields;
    fields.order_index = order_->currentIndex();
    fields.form = form_->currentIndex() == static_cast<int>(PolynomialForm::Ellipsoid) ? PolynomialForm::Ellipsoid
                                                                                        : PolynomialForm::Plane;
    fields.height_shift = ToStdString(height_shift_->text());
    return fields;
}

void PolynomialWindow::OnShow() {
    OrderChanged();
    FormChanged();
}

void PolynomialWindow::OrderChanged() {
    const std::vector<std::string> labels = PolynomialCoefficientLabels(order_->currentIndex());
    coefficients_->Edit([&](CoefficientTable& table) { table.SetLabels(labels); });
}

void PolynomialWindow::FormChanged() {
    const PolynomialForm form = Fields().form;
    SetCommonPointTitles(PolynomialCommonPointTitles(form));
    SetGridTitles(Source(), PolynomialPointTitles(form));
    SetGridTitles(Result(), PolynomialPointTitles(form));
}

FittingRun PolynomialWindow::Solve(PointTable& common_points) {
    return ShowingFields(SolvePolynomial(Fields(), coefficients_->Table(), common_points),
                         [this](const PolynomialParameters& parameters) {
                             height_shift_->setText(ToQString(parameters.fields.height_shift));
                             coefficients_->Edit([&](CoefficientTable& table) { table = parameters.coefficients; });
                         });
}

void PolynomialWindow::ConvertPoints() {
    ConvertSourceRows(PolynomialConversion(Fields(), coefficients_->Table()));
}

void PolynomialWindow::SaveParameters() {
    Run([this] { SaveCoefficients(*coefficients_, Dialogs()); });
}

void PolynomialWindow::LoadParameters() {
    Run([this] { LoadCoefficients(*coefficients_, Dialogs()); });
}

}  // namespace coordconv
