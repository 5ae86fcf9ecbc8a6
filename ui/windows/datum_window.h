// What the four datum windows (Bursa-Wolf, 3D and 2D seven-parameter, 3D
// four-parameter) share on top of the fitting-window frame: the two settings
// groups "原椭球及坐标系参数设置" and "新椭球及坐标系参数设置" with their
// coordinate-system lists, a and 1/f boxes, central meridians (the target's
// follows the source's), Y constants and coordinate forms (which title the
// point tables and the common points). A model window adds its parameter
// edits, its solve and its convert.
//
// Object names, source side / target side: coordinate system ComboBox1 /
// ComboBox2, a EditA1 / EditA2, 1/f EditF1 / EditF2, central meridian
// EditLL1 / EditLL2, Y constant EditYY1 / EditYY2, coordinate form ComboBoxO
// / ComboBoxN, the groups GroupBox1 / GroupBox2.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <iterator>
#include <string>
#include <vector>

#include "ui/kit/ellipsoid_boxes.h"
#include "tools/datum/datum_settings.h"
#include "ui/kit/fitting_window.h"

namespace coordconv {

// The coordinate-form choices of the 3D windows, and their hint.
inline constexpr const char* kDatumFormItems3d[2] = {"平面坐标及大地高(x,y,H)", "大地坐标及大地高(B,L,H)"};
// The choices in the two-dimensional seven-parameter window (no hint there).
inline constexpr const char* kDatumFormItems2d[2] = {"平面坐标(x,y)", "大地坐标(B,L)"};
inline constexpr const char* kDatumFormHint = "注意：大地高=正高+高程异常。若无法确定大地高，可将大地高置零。";
// Column shares of the source and converted point tables of (table width - 34)
// in the 3D windows.
inline constexpr long double kDatumPointGridShares[4] = {0.16L, 0.32L, 0.32L, 0.20L};

// Where one datum window differs from the others around its model.
struct DatumWindowSpec {
    std::string caption;
    int width = 1056;  // outer size in pixels
    int height = 647;
    CommonPointLayout common_points;
    int accuracy_line_offset = 375;  // accuracy line = common-point tool bar width - offset
    std::string solve_caption;
    const char* const* form_items = kDatumFormItems3d;  // the two coordinate forms
    std::string form_hint = kDatumFormHint;             // empty: no hint
    std::vector<long double> point_shares = {std::begin(kDatumPointGridShares), std::end(kDatumPointGridShares)};
    int written_result_columns = 4;  // "数据另存" of the converted points
    std::string result_hint;         // the converted points' hint
    std::string common_point_hint = kCommonPointHint;
    int parameter_group_width = 224;
};

class DatumWindow : public FittingWindow {
    Q_OBJECT
public:
    DatumWindow(QWidget* owner, UserDialogs& dialogs, const DatumWindowSpec& spec);

    EllipsoidBoxes& SourceEllipsoid() { return *source_ellipsoid_; }
    EllipsoidBoxes& TargetEllipsoid() { return *target_ellipsoid_; }
    QComboBox* SourceForm() const { return source_form_; }
    QComboBox* TargetForm() const { return target_form_; }
    QLineEdit* SourceCentralMeridian() const { return central_meridian1_; }
    QLineEdit* TargetCentralMeridian() const { return central_meridian2_; }

    // The texts of both settings groups as the commands read them.
    DatumFields Fields() const;
    // The source zone's meridian and Y constant, for the import dialog's checks.
    PlausibilitySettings CheckSettings() const override;

    // On showing: both presets and both forms in this order; they write
    // every column title.
    void ApplyAllSettings();
    void ApplySourcePreset() { source_ellipsoid_->ApplyPreset(); }
    void ApplyTargetPreset() { target_ellipsoid_->ApplyPreset(); }
    // The coordinate forms title the source (or converted) points and the
    // matching columns of the common points.
    void SourceFormChanged();
    void TargetFormChanged();
    // Every change of the source central meridian is copied into the target's.
    void SourceCentralMeridianEdited();

protected:
    void OnShow() override { ApplyAllSettings(); }

    // Adds the labelled parameter edits, each starting as "0".
    void AddParameterEdits(const ParameterEditSpec* specs, int count);

private:
    QWidget* MakeSettingsGroup(const QString& caption, const QString& group_name, bool source);
    void TitleCommonPoints();

    EllipsoidBoxes* source_ellipsoid_ = nullptr;
    EllipsoidBoxes* target_ellipsoid_ = nullptr;
    QLineEdit* central_meridian1_ = nullptr;
    QLineEdit* central_meridian2_ = nullptr;
    QLineEdit* y_constant1_ = nullptr;
    QLineEdit* y_constant2_ = nullptr;
    QComboBox* source_form_ = nullptr;
    QComboBox* target_form_ = nullptr;
};

}  // namespace coordconv
