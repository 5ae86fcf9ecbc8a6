#include "ui/windows/four_3d_window.h"

#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

// The parameter edits in parameter-file order (FourParameterFields).
constexpr ParameterEditSpec kFourParameterEdits[kFour3dParameterCount] = {
    {"EditTx", "Tx=", "X平移"},
    {"EditTy", "Ty=", "Y平移"},
    {"EditTz", "Tz=", "Z平移"},
    {"EditR", "R(\")=", "绕区域中心水平旋转"},
    {"EditBB0", "区域中心纬度B0=", "度.分分秒秒"},
    {"EditLL0", "区域中心经度L0=", "度.分分秒秒"}};

DatumWindowSpec FourParameterSpec() {
    DatumWindowSpec spec;
    spec.caption = kFour3dCaption;
    spec.width = 1056;
    spec.height = 648;
    spec.common_points = Four3dLayout();
    spec.accuracy_line_offset = 427;  // one more button, "区域中心"
    spec.solve_caption = "解算四参数";
    // Room for the region centre's labels.
    spec.parameter_group_width = 260;
    return spec;
}

}  // namespace

Four3dWindow::Four3dWindow(QWidget* owner, UserDialogs& dialogs)
    : DatumWindow(owner, dialogs, FourParameterSpec()) {
    setObjectName("FormEllCon3d4p");
    AddParameterEdits(kFourParameterEdits, kFour3dParameterCount);
    QToolButton* centre = AddCommonPointButton("ToolButton17", "区域中心", [this] { ProposeRegionCentre(); });
    centre->setToolTip(QString::fromUtf8(kRegionCentreHint));
    SetConvertCommand([this] { ConvertPoints(); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    EnableDrawingConversion([this] { return Four3dPointConversion(Fields(), Parameters()); });
}

FourParameterFields Four3dWindow::Parameters() const { return FourParameterFieldsFromLines(ParameterTexts()); }

void Four3dWindow::ConvertPoints() {
    ConvertSourceRows(Four3dConversion(Fields(), Parameters()));
}

void Four3dWindow::ProposeRegionCentre() {
    Run([this] {
        FourParameterFields parameters = Parameters();
        const RegionCentreTexts centre = ComputeRegionCentre(Fields(), CommonPoints().Table());
        parameters.b0 = centre.b0;
        parameters.l0 = centre.l0;
        SetParameterTexts(FourParameterLines(parameters));
    });
}

FittingRun Four3dWindow::Solve(PointTable& common_points) {
    return ShowingFields(SolveFour3d(Fields(), Parameters(), common_points),
                         [this](const FourParameterFields& fields) { SetParameterTexts(FourParameterLines(fields)); });
}

}  // namespace coordconv
