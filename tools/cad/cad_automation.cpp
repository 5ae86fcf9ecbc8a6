#include "tools/cad/cad_automation.h"

#include "core/number_text.h"

namespace coordconv {

long double CadValueToNumber(const CadValue& value) {
    if (const auto* integer = std::get_if<std::int32_t>(&value)) return *integer;
    if (const auto* real = std::get_if<double>(&value)) return *real;
    const std::string& text = std::get<std::string>(value);
    try {
        return TextToNumber(text);
    } catch (const CommandError&) {
        throw CommandError("Could not convert variant of type (String) into type (Double)");
    }
}

}  // namespace coordconv
