// One entry per menu item whose window or command exists.
#include "ui/app/tool_registry.h"

#include "cadlink/attach_running_cad.h"
#include "ui/kit/command_runner.h"
#include "ui/windows/geodetic_annotation_window.h"
#include "ui/windows/map_sheet_window.h"
#include "tools/cad/plane_annotation_command.h"
#include "ui/windows/four_3d_window.h"
#include "ui/windows/seven_parameter_window.h"
#include "ui/windows/height_fit_window.h"
#include "ui/windows/plane_four_window.h"
#include "ui/windows/polynomial_window.h"
#include "ui/windows/compensation_window.h"
#include "ui/windows/gauss_window.h"
#include "ui/windows/utm_window.h"
#include "ui/windows/zone_change_window.h"

namespace coordconv {
namespace {

template <typename Window>
MenuAction OpenWindow(const char* item) {
    return {item, [](QWidget* owner, UserDialogs& dialogs) -> QWidget* { return new Window(owner, dialogs); }, {}};
}

// A window that works in the running CAD program.
template <typename Window>
MenuAction OpenCadWindow(const char* item) {
    return {item,
            [](QWidget* owner, UserDialogs& dialogs) -> QWidget* {
                return new Window(owner, dialogs, AttachToRunningCad);
            },
            {}};
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
        OpenCadWindow<TFormTFH>("TFH"),
        OpenCadWindow<TFormBZBL>("bzBL"),
        {"bzXY", {}, [](QWidget*, UserDialogs& dialogs) { RunCommand(dialogs, [&dialogs] { bzXYClick(dialogs, AttachToRunningCad); }); }},
    };
}

}  // namespace coordconv
