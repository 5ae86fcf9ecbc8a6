// The geodetic annotation window "CAD标注地理坐标" (object name "FormBZBL"): points
// picked in the drawing of the running CAD program are labelled with their
// latitude and longitude, computed from the drawing coordinates shifted into
// a national Gauss zone. Its settings are read from the settings file when it
// is created and written back when it is destroyed.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QWidget>
#include <string>

#include "ui/kit/ellipsoid_boxes.h"
#include "table/user_dialogs.h"
#include "tools/cad/annotation.h"
#include "tools/cad/cad_automation.h"
#include "tools/cad/settings.h"

namespace coordconv {

class GeodeticAnnotationWindow : public QWidget {
    Q_OBJECT
public:
    // Where the window opens: its own place, not the screen centre.
    static constexpr QPoint kDesignedPosition{160, 120};

    // `attach` reaches the running CAD program; `settings_path` is the
    // settings file (Merivox.ini beside the program).
    GeodeticAnnotationWindow(QWidget* owner, UserDialogs& dialogs, CadAttach attach,
                             std::string settings_path = SettingsFilePath());
    ~GeodeticAnnotationWindow() override;

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    // The settings as the settings file keeps them.
    GeodeticAnnotationSettings CurrentSettings() const;
    // The fields as "开始标注" reads them.
    GeodeticAnnotationFields Fields() const;
    // The decimals of the seconds: the spin edit's text as a whole number in
    // 0..6; a text that is none counts as 0.
    int SecondDecimals() const;

    // The coordinate system list's preset, also applied when the window is shown.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    // "开始标注": the picking loop in the running CAD program.
    void StartAnnotation();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildCoordinateSystemGroup();
    QWidget* BuildStyleGroup();
    // The remembered choices, read when the window is created and written
    // when it is destroyed.
    void LoadSettings();
    void SaveSettings();

    UserDialogs& dialogs_;
    CadAttach attach_;
    std::string settings_path_;

    EllipsoidBoxes* ellipsoid_ = nullptr;  // coordinate system, a, 1/f
    QComboBox* zone_ = nullptr;            // zone width, "3度带" or "6度带"
    QLineEdit* x_shift_ = nullptr;         // added to the drawing's northing
    QLineEdit* y_shift_ = nullptr;         // added to the drawing's easting
    QLineEdit* text_height_ = nullptr;
    QSpinBox* decimals_ = nullptr;         // decimals of the seconds
    QCheckBox* draw_circle_ = nullptr;
    QLineEdit* circle_radius_ = nullptr;
    QCheckBox* draw_leader_ = nullptr;
};

}  // namespace coordconv
