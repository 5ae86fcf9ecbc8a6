#include "ui/windows/four_3d_window.h"

#include "ui/kit/qt_text.h"

namespace coordconv {
namespace {

DatumWindowSpec FourParameterSpec() {
    DatumWindowSpec spec;
    spec.caption = kFour3dCaption;
    spec.width = 1056;
    spec.height = 648;
    spec.common_points = Four3dLayout();
    spec.solve_caption = kFour3dSolveCaption;
    // Room for the region centre's labels.
    spec.parameter_group_width = 260;
    return spec;
}

}  // namespace

TFormEllCon3d4p::TFormEllCon3d4p(QWidget* owner, UserDialogs& dialogs)
    : DatumWindow(owner, dialogs, FourParameterSpec()) {
    setObjectName("FormEllCon3d4p");
    AddParameterEdits(kFourParameterSpecs, kFour3dParameterCount);
    QToolButton* centre =
        AddCommonPointButton("ToolButton17", QString::fromUtf8(kRegionCentreCaption), [this] { ToolButton17Click(); });
    centre->setToolTip(QString::fromUtf8(kRegionCentreHint));
    SetConvertCommand([this] { ToolButton6Click(); });
    SetSolveCommand([this](PointTable& common_points) { return Solve(common_points); });
    EnableDrawingConversion([this] { return Four3dPointConversion(Fields(), Parameters()); });
}

FourParameterFields TFormEllCon3d4p::Parameters() const { return FourParameterFieldsFromLines(ParameterTexts()); }

void TFormEllCon3d4p::ToolButton6Click() {
    ConvertSourceRows(Four3dConversion(Fields(), Parameters()));
}

void TFormEllCon3d4p::ToolButton17Click() {
    Run([this] {
        FourParameterFields parameters = Parameters();
        const RegionCentreTexts centre = ComputeRegionCentre(Fields(), CommonPoints().Table());
        parameters.b0 = centre.b0;
        parameters.l0 = centre.l0;
        SetParameterTexts(FourParameterLines(parameters));
    });
}

FittingRun TFormEllCon3d4p::Solve(PointTable& common_points) {
    return ShowingFields(SolveFour3d(Fields(), Parameters(), common_points),
                         [this](const FourParameterFields& fields) { SetParameterTexts(FourParameterLines(fields)); });
}

}  // namespace coordconv
