// Runs one window command: clears the floating-point status, runs the
// command, and reports any failure in the common error box. A failure ends
// only that command; what it wrote so far stays.
#pragma once

#include <functional>

#include "shell/user_dialogs.h"

namespace coordconv {

// Returns true when the command finished without failure.
bool RunCommand(UserDialogs& dialogs, const std::function<void()>& command);

}  // namespace coordconv
