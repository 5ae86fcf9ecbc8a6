// The main menu's command "CAD标注平面坐标": picked drawing points are
// labelled with their own coordinates, "X=" northing above and "Y=" easting
// below a shelf line. No window: the text height and the picks are asked at
// the CAD program's command line.
#pragma once

#include "table/user_dialogs.h"
#include "tools/cad/cad_automation.h"

namespace coordconv {

// Runs the annotation in the CAD program `attach` reaches. When none runs,
// shows "AutoCAD尚未打开！" in a box titled "坐标转换" without icon and with
// the single button OK. Failures before the first pick (no drawing, a text
// height that is not a number, a failing CAD call) throw CommandError for the
// common error box; the caller runs this inside it.
void RunPlaneAnnotationCommand(UserDialogs& dialogs, const CadAttach& attach);

}  // namespace coordconv
