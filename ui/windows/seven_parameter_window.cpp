#include "ui/windows/seven_parameter_window.h"

#include "ui/kit/qt_text.h"
#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"

namespace coordconv {
namespace {

DatumWindowSpec SevenParameterSpec(SevenParameterWindow::Model model) {
    DatumWindowSpec spec;
    spec.solve_caption = kBursaWolfSolveCaption;
    switch (model) {
        case SevenParameterWindow::Model::BursaWolf:
            spec.caption = kBursaWolfCaption;
            spec.common_points = BursaWolfLayout();
            break;
        case SevenParameterWindow::Model::Seven3d:
            spec.caption = kSeven3dCaption;
            spec.width = 1057;
            spec.height = 650;
            spec.common_points = Seven3dLayout();
            break;
        case SevenParameterWindow::Model::Seven2d:
            spec.caption = kSeven2dCaption;
            spec.width = 1057;
            spec.height = 650;
            spec.common_points = Seven2dLayout();
            spec.form_items = kDatumFormItems2d;
            spec.form_hint.clear();
            spec.point_shares.assign(std::begin(kSeven2dPointGridShares), std::end(kSeven2dPointGridShares));
            spec.written_result_columns = kSeven2dSavedResultColumns;
            spec.result_hint = kSeven2dResultHint;
            spec.common_point_hint = kSeven2dCommonPointHint;
            break;
    }
    return spec;
}

}  // namespace

SevenParameterWindow::SevenParameterWindow(QWidget* owner, UserDialogs& dialogs, Model model)
    : DatumWindow(owner, dialogs, SevenParameterSpec(model)), model_(model) {
    setObjectName(model == Model::BursaWolf ? "FormEllConBuerSha"
                  : model == Model::Seven3d ? "FormEllCon3d7p"
                                            : "FormEllCon2d7p");
    AddParameterEdits(kSevenParameterSpecs, kSevenParameterCount);
    if (model == Model::Seven2d)
        height_change_ = AddParameterEdit(kHeightChangeSpec.name, QString::fromUtf8(kHeightChangeSpec.label),
                                          QString::fromUtf8(kHeightChangeSpec.hint));
    SetConvertCommand([this] { ToolButton6Click(); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
}

SevenParameterFields SevenParameterWindow::Parameters() const {
    return SevenParameterFieldsFromLines(ParameterTexts());
}

std::string SevenParameterWindow::HeightChangeText() const {
    return height_change_ != nullptr ? ToStdString(height_change_->text()) : std::string();
}

void SevenParameterWindow::ShowParameters(const SevenParameterFields& parameters, const std::string& height_change) {
    SetParameterTexts(model_ == Model::Seven2d ? Seven2dParameterLines(parameters, height_change)
                                               : SevenParameterLines(parameters));
}

void SevenParameterWindow::ToolButton6Click() {
    const DatumFields settings = Fields();
    const SevenParameterFields parameters = Parameters();
    RowConversion convert;
    switch (model_) {
        case Model::BursaWolf: convert = BursaWolfConversion(settings, parameters); break;
        case Model::Seven3d: convert = Seven3dConversion(settings, parameters); break;
        case Model::Seven2d: convert = Seven2dConversion(settings, parameters, HeightChangeText()); break;
    }
    ConvertSourceRows(convert);
}

AccuracyReport SevenParameterWindow::Solve(PointTable& common_points) {
    const DatumFields settings = Fields();
    SevenParameterFields parameters = Parameters();
    std::string height_change = HeightChangeText();
    return SolveThenShow(
        [&] {
            switch (model_) {
                case Model::BursaWolf: return SolveBursaWolf(settings, parameters, common_points, dialogs_);
                case Model::Seven3d: return SolveSeven3d(settings, parameters, common_points, dialogs_);
                case Model::Seven2d: break;
            }
            return SolveSeven2d(settings, parameters, height_change, common_points, dialogs_);
        },
        [&] { ShowParameters(parameters, height_change); });
}

}  // namespace coordconv
