// Texts of the converters' JSON summaries.
#pragma once

#include <string>

namespace coordconv {

// `text` (UTF-8, or the bytes a file held) as a JSON string: quotes and
// backslashes escaped, control characters as \u00XX, other bytes unchanged.
std::string JsonString(const std::string& text);

}  // namespace coordconv
