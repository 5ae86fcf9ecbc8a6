// The box the CAD windows (map sheet point pick, geodetic annotation) show
// when no CAD program runs.
#pragma once

#include "table/user_dialogs.h"
#include "tools/cad/cad_automation.h"

namespace coordconv {

// kCadNotRunningText in a box titled "Information", with an information icon
// and the single button Yes.
inline void ShowCadNotRunning(UserDialogs& dialogs) {
    dialogs.ShowMessageWithButton("Information", kCadNotRunningText, MessageIcon::Information, MessageButton::Yes);
}

}  // namespace coordconv
