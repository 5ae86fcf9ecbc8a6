#include "ui/kit/command_runner.h"

#include <exception>
#include <new>

#include "core/errors.h"

namespace coordconv {

std::optional<std::string> TryCommand(const std::function<void()>& command) {
    try {
        const FloatingPointScope floating_point;
        command();
        return std::nullopt;
    } catch (const std::bad_alloc&) {
        return "Out of memory";
    } catch (const std::exception& error) {
        return error.what();
    }
}

bool RunCommand(UserDialogs& dialogs, const std::function<void()>& command) {
    const std::optional<std::string> failure = TryCommand(command);
    if (failure) dialogs.ShowError(*failure);
    return !failure;
}

}  // namespace coordconv
