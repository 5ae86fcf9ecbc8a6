#include "shell/ui/command_runner.h"

#include <exception>
#include <new>

#include "core/errors.h"

namespace coordconv {

bool RunCommand(UserDialogs& dialogs, const std::function<void()>& command) {
    try {
        const FloatingPointScope floating_point;
        command();
        return true;
    } catch (const std::bad_alloc&) {
        dialogs.ShowError("Out of memory");
    } catch (const std::exception& error) {
        dialogs.ShowError(error.what());
    }
    return false;
}

}  // namespace coordconv
