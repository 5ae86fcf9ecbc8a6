// What the four datum windows (Bursa-Wolf, 3D and 2D seven-parameter, 3D
// four-parameter) share on top of the fitting-window frame: the two settings
// groups "原椭球及坐标系参数设置" and "新椭球及坐标系参数设置" with their
// coordinate-system lists (ComboBox1, ComboBox2), a and 1/f boxes, central
// meridians (EditLL2 follows EditLL1), Y constants and coordinate forms
// (ComboBoxO, ComboBoxN, which title the point grids and the common points).
// A model window adds its parameter edits, its solve and its convert.
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

// Where one datum window differs from the others around its model.
struct DatumWindowSpec {
    std::string caption;
    int width = 1056;  // outer size in pixels
    int height = 647;
    CommonPointLayout common_points;
    std::string solve_caption;  // ToolButton13
    const char* const* form_items = kDatumFormItems3d;  // the two items of ComboBoxO / ComboBoxN
    std::string form_hint = kDatumFormHint;             // empty: no hint
    std::vector<long double> point_shares = {std::begin(kDatumPointGridShares), std::end(kDatumPointGridShares)};
    int written_result_columns = 4;  // "数据另存" of StringGrid2
    std::string result_hint;         // StringGrid2's hint
    std::string common_point_hint = kCommonPointHint;
    int parameter_group_width = 224;
};

class DatumWindow : public FittingWindow {
    Q_OBJECT
public:
    DatumWindow(QWidget* owner, UserDialogs& dialogs, const DatumWindowSpec& spec);

    EllipsoidBoxes& SourceEllipsoid() { return *source_ellipsoid_; }  // ComboBox1, EditA1, EditF1
    EllipsoidBoxes& TargetEllipsoid() { return *target_ellipsoid_; }  // ComboBox2, EditA2, EditF2
    QComboBox* SourceForm() const { return source_form_; }              // ComboBoxO
    QComboBox* TargetForm() const { return target_form_; }              // ComboBoxN
    QLineEdit* SourceCentralMeridian() const { return central_meridian1_; }  // EditLL1
    QLineEdit* TargetCentralMeridian() const { return central_meridian2_; }  // EditLL2

    // The texts of both settings groups as the commands read them.
    DatumFields Fields() const;
    // The source zone's meridian and Y constant, for the import dialog's checks.
    PlausibilitySettings CheckSettings() const override;

    // FormShow: the four change handlers in this order; they write every
    // column title.
    void FormShow();
    void ComboBox1Change() { source_ellipsoid_->ApplyPreset(); }
    void ComboBox2Change() { target_ellipsoid_->ApplyPreset(); }
    // The coordinate forms title StringGrid1 (source) or StringGrid2
    // (target) and the matching columns of StringGrid3.
    void ComboBoxOChange();
    void ComboBoxNChange();
    // Every change of EditLL1 is copied into EditLL2.
    void EditLL1Change();

protected:
    void OnShow() override { FormShow(); }

    // Adds the labelled parameter edits, each starting as "0".
    void AddParameterEdits(const ParameterFieldSpec* specs, int count);

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
