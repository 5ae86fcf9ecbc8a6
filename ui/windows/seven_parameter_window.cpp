#include "ui/windows/seven_parameter_window.h"

#include "tools/datum/seven_2d.h"
#include "tools/datum/seven_3d.h"

namespace coordconv {
namespace {

// The parameter edits in parameter-file order (SevenParameterFields), and the
// two-dimensional window's eighth, the height change dH.
constexpr ParameterEditSpec kSevenParameterEdits[kSevenParameterCount] = {
    {"EditTx", "Tx=", "X平移"},     {"EditTy", "Ty=", "Y平移"},     {"EditTz", "Tz=", "Z平移"},
    {"EditRx", "Rx(\")=", "X旋转"}, {"EditRy", "Ry(\")=", "Y旋转"}, {"EditRz", "Rz(\")=", "Z旋转"},
    {"EditD", "D=", "尺度变化"}};
constexpr ParameterEditSpec kHeightChangeEdit = {"EditDH", "dH=", "高程变化"};
// The two-dimensional window's point tables: shares of (table width - 34).
constexpr long double kSeven2dPointGridShares[4] = {0.20L, 0.28L, 0.28L, 0.24L};

// The window of a model; the two-dimensional one (eight parameters) has its
// own form items, grid shares and hints, the 3D ones differ in size only.
DatumWindowSpec SevenParameterSpec(const SevenParameterModel& model) {
    DatumWindowSpec spec;
    spec.caption = model.caption;
    spec.solve_caption = "解算七参数";
    spec.common_points = model.layout();
    if (&model == &kBursaWolfModel) return spec;
    spec.width = 1057;
    spec.height = 650;
    if (model.parameter_count == kSeven2dParameterCount) {
        spec.form_items = kDatumFormItems2d;
        spec.form_hint.clear();
        spec.point_shares.assign(std::begin(kSeven2dPointGridShares), std::end(kSeven2dPointGridShares));
        spec.written_result_columns = model.saved_result_columns;
        spec.result_hint = kHeightsNotConvertedHint;
        spec.common_point_hint = kCommonPointHintHeightsUnused;
    }
    return spec;
}

}  // namespace

SevenParameterWindow::SevenParameterWindow(QWidget* owner, UserDialogs& dialogs, const SevenParameterModel& model,
                                           const char* object_name)
    : DatumWindow(owner, dialogs, SevenParameterSpec(model)), model_(model) {
    setObjectName(object_name);
    AddParameterEdits(kSevenParameterEdits, kSevenParameterCount);
    if (model.parameter_count == kSeven2dParameterCount) height_change_ = AddParameterEdit(kHeightChangeEdit);
    if (model.proj_export != nullptr)
        AddProjExportButton([this] { return model_.proj_export(Fields(), ParameterTexts()); });
    SetConvertCommand([this] { ConvertPoints(); });
    SetSolveCommand([this](PointTable& common_points) {
        return ShowingFields(model_.solve(Fields(), ParameterTexts(), common_points),
                             [this](const std::vector<std::string>& texts) { SetParameterTexts(texts); });
    });
    EnableDrawingConversion([this] { return model_.point_conversion(Fields(), ParameterTexts()); });
}

SevenParameterFields SevenParameterWindow::Parameters() const {
    return SevenParameterFieldsFromLines(ParameterTexts());
}

void SevenParameterWindow::ConvertPoints() { ConvertSourceRows(model_.conversion(Fields(), ParameterTexts())); }

}  // namespace coordconv
