// The geodetic annotation window "CAD标注地理坐标" (`TFormBZBL`): points
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

class TFormBZBL : public QWidget {
    Q_OBJECT
public:
    // Where the window opens: its own place, not the screen centre.
    static constexpr QPoint kDesignedPosition{160, 120};

    // `attach` reaches the running CAD program; `settings_path` is the
    // settings file (Merivox.ini beside the program).
    TFormBZBL(QWidget* owner, UserDialogs& dialogs, CadAttach attach,
              std::string settings_path = SettingsFilePath());
    ~TFormBZBL() override;

    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    // The settings as the settings file keeps them.
    GeodeticAnnotationSettings CurrentSettings() const;
    // The fields as "开始标注" reads them.
    GeodeticAnnotationFields Fields() const;
    // The decimals of the seconds: the spin edit's text as a whole number in
    // 0..6; a text that is none counts as 0.
    int SecondDecimals() const;

    // The preset handler, also run when the window is shown.
    void ComboBox1Change() { ellipsoid_->ApplyPreset(); }
    void Button1Click();  // "开始标注"

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildCoordinateSystemGroup();
    QWidget* BuildStyleGroup();
    void FormCreate();
    void FormDestroy();

    UserDialogs& dialogs_;
    CadAttach attach_;
    std::string settings_path_;

    EllipsoidBoxes* ellipsoid_ = nullptr;  // ComboBox1, EditA, EditF
    QComboBox* zone_ = nullptr;            // ComboBox2
    QLineEdit* edit_xx_ = nullptr;         // EditXX
    QLineEdit* edit_yy_ = nullptr;         // EditYY
    QLineEdit* text_height_ = nullptr;     // EditTxtH
    QSpinBox* decimals_ = nullptr;         // SpinEdit1
    QCheckBox* draw_circle_ = nullptr;     // CheckBox1
    QLineEdit* circle_radius_ = nullptr;   // EditCR
    QCheckBox* draw_leader_ = nullptr;     // CheckBox2
};

}  // namespace coordconv
