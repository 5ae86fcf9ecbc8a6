// The running CAD program of this platform, for the annotation commands and
// the map sheet window's point pick. The application passes it to them as
// their CadAttach; tests pass their own.
#pragma once

#include <memory>

#include "tools/cad/cad_automation.h"

namespace coordconv {

// AutoCAD through COM on Windows, the companion coordconv-cad elsewhere
// (server name from the environment variable COORDCONV_CAD_SERVER, else
// "coordconv-cad"). nullptr when none runs.
std::unique_ptr<CadAutomation> AttachToRunningCad();

}  // namespace coordconv
