// The running CAD program the annotation commands draw in: AutoCAD through
// COM automation on Windows, the coordconv-cad companion over its local
// socket elsewhere.
#include "cadlink/attach_running_cad.h"

#ifdef _WIN32
#include "cadlink/cad_automation_com.h"
#else
#include "cadlink/cad_companion_client.h"
#include "cadlink/cad_companion_protocol.h"
#endif

namespace coordconv {

std::unique_ptr<CadAutomation> AttachToRunningCad() {
#ifdef _WIN32
    return AttachToAutoCad();
#else
    return ConnectToCadCompanion(cad_protocol::DefaultServerName().toStdString());
#endif
}

}  // namespace coordconv
