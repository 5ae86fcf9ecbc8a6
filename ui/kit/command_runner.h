// Runs one window command: clears the floating-point status, runs the
// command, and reports any failure in the common error box. A failure ends
// only that command; what it wrote so far stays.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "table/user_dialogs.h"

namespace coordconv {

// Runs the command with clear floating-point flags; returns the failure's
// text, or nothing when it finished.
std::optional<std::string> TryCommand(const std::function<void()>& command);

// TryCommand, then the failure in the common error box. Returns true when the
// command finished without failure.
bool RunCommand(UserDialogs& dialogs, const std::function<void()>& command);

}  // namespace coordconv
