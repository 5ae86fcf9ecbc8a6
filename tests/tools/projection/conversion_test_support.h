// Running one row through a window's convert command, and catching the text
// of the error box a command ends with.
#pragma once

#include <functional>
#include <string>

#include "core/errors.h"
#include "table/row_conversion.h"

namespace coordconv::testing {

struct Row {
    std::string cells[3];
};

inline Row ConvertRow(const RowConversion& convert, const std::string& name, const std::string& first,
                      const std::string& second) {
    const std::string source[3] = {name, first, second};
    Row result;
    convert(source, result.cells);
    return result;
}

// The error text the command ends with, or "" when it succeeds.
inline std::string ErrorOf(const std::function<void()>& command) {
    const FloatingPointScope scope;
    try {
        command();
    } catch (const CommandError& e) {
        return e.what();
    }
    return "";
}

}  // namespace coordconv::testing
