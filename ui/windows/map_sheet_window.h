// The map sheet window "1:1万图幅号计算" (object name "FormTFH"): the 1:10,000 sheet
// containing a point and its eight neighbours, from latitude and longitude,
// from Gauss plane coordinates (typed or picked in the CAD drawing) or from a
// typed sheet number, in the new or the old numbering form. Its choices are
// read from the settings file when it is created and written back when it is
// destroyed.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <QWidget>
#include <array>
#include <optional>
#include <string>

#include "ui/kit/ellipsoid_boxes.h"
#include "table/user_dialogs.h"
#include "tools/cad/cad_automation.h"
#include "tools/cad/sheet_point_pick.h"
#include "tools/sheets/map_sheet.h"
#include "tools/sheets/rectangular_sheets.h"
#include "tools/sheets/sheet_settings.h"

namespace coordconv {

class MapSheetWindow : public QWidget {
    Q_OBJECT
public:
    // `attach` reaches the running CAD program for the point pick;
    // `settings_path` is the settings file (Merivox.ini beside the program).
    MapSheetWindow(QWidget* owner, UserDialogs& dialogs, CadAttach attach,
                   std::string settings_path = SettingsFilePath());
    ~MapSheetWindow() override;

    // The nine fields of the junction table, row by row from the north-west;
    // index SheetJunctionTable::kCentre is the sheet itself.
    const std::array<QLineEdit*, 9>& JunctionFields() const { return junction_; }
    EllipsoidBoxes& Ellipsoid() { return *ellipsoid_; }
    QTabWidget* Pages() const { return pages_; }
    // The choices as the settings file keeps them.
    MapSheetSettings CurrentSettings() const;
    // The boxes of the plane-coordinate page.
    PlaneSheetFields PlaneFields() const;

    // The coordinate system list's preset, also applied when the window is shown.
    void ApplySystemPreset() { ellipsoid_->ApplyPreset(); }
    void PickPointInCad();               // "CAD图上获取点位坐标..."
    void SheetsFromPlaneCoordinates();   // "计算" from plane coordinates
    void SheetsFromSheetNumberText();    // "计算" from a sheet number
    void SheetsFromLatitudeLongitude();  // "计算" from latitude and longitude
    void ShowCorners();   // "角点坐标": the corners of the sheet in the centre of the table
    void ExportIndex();   // "接合表导出…": the sheets of an area, as a DXF drawing or a list

    // The scale drop-down's choice, an index in kSheetScales; for the
    // rectangular sheets at its end, their scale's index.
    int Scale() const;
    // The denominator of the rectangular sheets chosen, if they are.
    std::optional<long> RectangularScale() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* BuildJunctionTable();
    QWidget* BuildOutputForm();
    QWidget* BuildGeodeticPage();
    QWidget* BuildPlanePage();
    QWidget* BuildSheetNumberPage();
    // The remembered choices, read when the window is created and written
    // when it is destroyed.
    void LoadSettings();
    void SaveSettings();
    void Show(const SheetJunctionTable& table);
    void Show(const ScaledJunction& found, std::optional<long double> plane_y);
    void Show(const RectangularSheet& sheet);
    QWidget* BuildSheetTools();
    // The plane of the corners: the zone of the plane input's y, or of the sheet's centre.
    FramePlane CornerPlane(const MapSheet& sheet) const;
    bool NewForm() const { return radio_new_->isChecked(); }

    UserDialogs& dialogs_;
    CadAttach attach_;
    std::string settings_path_;

    std::array<QLineEdit*, 9> junction_{};
    QRadioButton* radio_new_ = nullptr;        // numbers shown in the new form
    QRadioButton* radio_old_ = nullptr;        // numbers shown in the old form
    QTabWidget* pages_ = nullptr;              // geodetic, plane, sheet number
    QLineEdit* longitude_ = nullptr;           // packed ddd.mmss
    QLineEdit* latitude_ = nullptr;            // packed ddd.mmss
    QLineEdit* plane_x_ = nullptr;             // northing (m)
    QLineEdit* plane_y_ = nullptr;             // easting with zone number (m)
    EllipsoidBoxes* ellipsoid_ = nullptr;      // coordinate system, a, 1/f
    QComboBox* zone_ = nullptr;                // zone width, "3度带" or "6度带"
    QLineEdit* x_shift_ = nullptr;             // added to the plane x
    QLineEdit* y_shift_ = nullptr;             // added to the plane y
    QRadioButton* radio_input_old_ = nullptr;  // a typed number in the old form
    QRadioButton* radio_input_new_ = nullptr;  // a typed number in the new form
    QLineEdit* sheet_number_ = nullptr;        // the typed sheet number
    QComboBox* scale_ = nullptr;               // the scale drop-down

    // The sheet in the centre of the table after the last computation, and
    // the easting (with zone number) of the plane point it came from.
    std::optional<MapSheet> shown_sheet_;
    std::optional<long double> shown_plane_y_;
    std::optional<RectangularSheet> shown_rectangular_;
};

}  // namespace coordconv
