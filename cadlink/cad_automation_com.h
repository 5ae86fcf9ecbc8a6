// CadAutomation through the COM automation server of a running AutoCAD
// (ProgID "AutoCAD.Application"), every member called by name through
// IDispatch. Windows only.
#pragma once

#ifdef _WIN32

#include <memory>

#include "tools/cad/cad_automation.h"

namespace coordconv {

// The running AutoCAD (GetActiveObject); nullptr when none is registered as
// running. Never starts AutoCAD.
std::unique_ptr<CadAutomation> AttachToAutoCad();

}  // namespace coordconv

#endif
