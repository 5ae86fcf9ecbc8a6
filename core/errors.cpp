#include "core/errors.h"

#include <cfenv>

namespace coordconv {

std::string ErrorBoxText(const std::string& message) {
    if (!message.empty() && static_cast<unsigned char>(message.back()) <= '.') return message;
    return message + ".";
}

void ClearFloatingPointFlags() { std::feclearexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW); }

void RaiseFloatingPointErrors() {
    const int raised = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    if (raised == 0) return;
    ClearFloatingPointFlags();
    if (raised & FE_DIVBYZERO) throw CommandError(kDivisionByZeroText);
    if (raised & FE_INVALID) throw CommandError(kInvalidOperationText);
    throw CommandError(kOverflowText);
}

}  // namespace coordconv
