// Running one row through a window's convert command, and catching the text
// of the error box a command ends with.
#pragma once

#include <functional>
#include <string>

#include "core/errors.h"
#include "table/row_conversion.h"
#include "tests/test_support.h"

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

}  // namespace coordconv::testing
