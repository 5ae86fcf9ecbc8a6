// CadAutomation over a local socket to the companion CAD program
// coordconv-cad (protocol: cad_companion_protocol.h). Every call waits for
// its reply: picks and typed answers as long as the user takes, the other
// calls at most kReplyTimeoutMs. Works without an event loop.
#pragma once

#include <memory>
#include <string>

#include "tools/cad/cad_automation.h"

namespace coordconv {

inline constexpr int kCompanionConnectTimeoutMs = 3000;
inline constexpr int kReplyTimeoutMs = 30000;

// Attaches to the companion listening under `server_name` (a name or a socket
// path); nullptr when none listens there.
std::unique_ptr<CadAutomation> ConnectToCadCompanion(const std::string& server_name);

}  // namespace coordconv
