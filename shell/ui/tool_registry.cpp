// One entry per menu item whose window or command exists.
#include "shell/ui/tool_registry.h"

#include "shell/ui/command_runner.h"
#include "tools/cad/geodetic_annotation_window.h"
#include "tools/cad/map_sheet_window.h"
#include "tools/cad/plane_annotation_command.h"
#include "tools/datum/four_3d_window.h"
#include "tools/datum/seven_parameter_window.h"
#include "tools/height/height_fit_window.h"
#include "tools/plane/plane_four_window.h"
#include "tools/plane/polynomial_window.h"
#include "tools/projection/compensation_window.h"
#include "tools/projection/gauss_window.h"
#include "tools/projection/utm_window.h"
#include "tools/projection/zone_change_window.h"

namespace coordconv {
namespace {

template <typename Window>
MenuAction OpenWindow(const char* item) {
    return {item, [](QWidget* owner, UserDialogs& dialogs) -> QWidget* { return new Window(owner, dialogs); }, {}};
}

}  // namespace

std::vector<MenuAction> MenuActions() {
    return {
        OpenWindow<TFormGSZS>("gsZS"),
        OpenWindow<TFormGSFS>("gsFS"),
        OpenWindow<TFormUTMZS>("utmZS"),
        OpenWindow<TFormUTMFS>("utmFS"),
        OpenWindow<TFormZBHD>("zbHD"),
        OpenWindow<TFormGCDC>("gcDC"),
        OpenWindow<TForm2d4p>("ew4c"),
        OpenWindow<TFormPoly>("Poly"),
        OpenWindow<TFormGCNH>("GPS1"),
        OpenWindow<TFormEllConBuerSha>("BuerSha"),
        OpenWindow<TFormEllCon3d7p>("sw7C"),
        OpenWindow<TFormEllCon2d7p>("ew7C"),
        OpenWindow<TFormEllCon3d4p>("sw4C"),
        OpenWindow<TFormTFH>("TFH"),
        OpenWindow<TFormBZBL>("bzBL"),
        {"bzXY", {}, [](QWidget*, UserDialogs& dialogs) { RunCommand(dialogs, [&dialogs] { bzXYClick(dialogs); }); }},
    };
}

}  // namespace coordconv
