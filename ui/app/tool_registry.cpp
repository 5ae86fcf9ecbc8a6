// The main menu: every menu, item and the window or command behind it.
#include "ui/app/tool_registry.h"

#include "cadlink/attach_running_cad.h"
#include "tools/cad/plane_annotation_command.h"
#include "ui/kit/command_runner.h"
#include "ui/windows/compensation_window.h"
#include "ui/windows/four_3d_window.h"
#include "ui/windows/gauss_window.h"
#include "ui/windows/geodetic_annotation_window.h"
#include "ui/windows/height_fit_window.h"
#include "ui/windows/map_sheet_window.h"
#include "ui/windows/plane_four_window.h"
#include "ui/windows/polynomial_window.h"
#include "ui/windows/seven_parameter_window.h"
#include "ui/windows/utm_window.h"
#include "ui/windows/zone_change_window.h"

namespace coordconv {
namespace {

template <typename Window>
MenuAction OpenWindow(const char* item, const char* caption) {
    return {item, caption,
            [](QWidget* owner, UserDialogs& dialogs) -> QWidget* { return new Window(owner, dialogs); }, {}};
}

// A window that works in the running CAD program.
template <typename Window>
MenuAction OpenCadWindow(const char* item, const char* caption) {
    return {item, caption,
            [](QWidget* owner, UserDialogs& dialogs) -> QWidget* {
                return new Window(owner, dialogs, AttachToRunningCad);
            },
            {}};
}

MenuAction RunCommandItem(const char* item, const char* caption,
                          std::function<void(QWidget* owner, UserDialogs& dialogs)> command) {
    return {item, caption, {}, std::move(command)};
}

// An item the main window handles itself.
MenuAction MainWindowItem(const char* item, const char* caption) { return {item, caption, {}, {}}; }

}  // namespace

std::vector<MenuGroup> MainMenu() {
    return {
        {"ZBBH",
         "坐标变换",
         {OpenWindow<GaussForwardWindow>("gsZS", "高斯投影正算"),
          OpenWindow<GaussInverseWindow>("gsFS", "高斯投影反算"),
          OpenWindow<UtmForwardWindow>("utmZS", "墨卡托投影正算"),
          OpenWindow<UtmInverseWindow>("utmFS", "墨卡托投影反算"),
          OpenWindow<ZoneChangeWindow>("zbHD", "坐标换带"),
          OpenWindow<CompensationWindow>("gcDC", "抵偿高程面坐标转换")}},
        {"TQBH",
         "椭球基准变换",
         {OpenWindow<BursaWolfWindow>("BuerSha", "布尔沙模型"),
          OpenWindow<Seven3dWindow>("sw7C", "三维七参数模型"),
          OpenWindow<Seven2dWindow>("ew7C", "二维七参数模型"),
          OpenWindow<Four3dWindow>("sw4C", "三维四参数模型")}},
        {"PMZB",
         "二维坐标转换",
         {OpenWindow<PlaneFourWindow>("ew4c", "二维四参数模型"), OpenWindow<PolynomialWindow>("Poly", "二维多项式模型")}},
        {"GCNH", " 高程拟合", {OpenWindow<HeightFitWindow>("GPS1", "GPS高程拟合")}},
        {"Tools",
         "工具",
         {OpenCadWindow<MapSheetWindow>("TFH", "图幅号计算"),
          OpenCadWindow<GeodeticAnnotationWindow>("bzBL", "CAD标注地理坐标"),
          RunCommandItem("bzXY", "CAD标注平面坐标",
                         [](QWidget*, UserDialogs& dialogs) {
                             RunCommand(dialogs, [&dialogs] { RunPlaneAnnotationCommand(dialogs, AttachToRunningCad); });
                         })}},
        {"Help", "帮助", {MainWindowItem(kHelpItem, "系统帮助"), MainWindowItem(kAboutItem, "关于...")}},
    };
}

}  // namespace coordconv
