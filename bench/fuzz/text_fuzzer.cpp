// libFuzzer target for the texts every user can type or import: TextToNumber,
// the packed-angle reading (fast route against the literal one), SplitFields
// and both line splits. A crash, a hang, or a disagreement of the two angle
// routes is a finding.
//
//   bench/fuzz/run_fuzzers.sh [SECONDS]
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "core/errors.h"
#include "core/number_text.h"
#include "table/coordinate_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    using namespace coordconv;
    bool number_ok = true;
    long double value = 0;
    try {
        value = TextToNumber(text);
    } catch (const CommandError&) {
        number_ok = false;
    }
    try {
        const long double fast = DmsTextToDegrees(text);
        if (!number_ok) __builtin_trap();  // the fast route accepted a text the literal one rejects
        const long double literal = DmsToDegrees(value);
        if (std::memcmp(&fast, &literal, 10) != 0) __builtin_trap();
        if (FormatFixed(value, 4) != FormatFixedByDigits(value, 4)) __builtin_trap();
        if (FormatFixed(value, 10) != FormatFixedByDigits(value, 10)) __builtin_trap();
        (void)FormatDms(fast, 2);
        (void)FormatGeneral(value);
    } catch (const CommandError&) {
        if (number_ok) __builtin_trap();
    }
    for (int count : {0, 1, 3, 4, 13}) {
        if (SplitFields(text, count).size() != static_cast<std::size_t>(count)) __builtin_trap();
        if (SplitLine(text, count, FieldSplit::Projection).size() != static_cast<std::size_t>(count)) __builtin_trap();
    }
    return 0;
}
