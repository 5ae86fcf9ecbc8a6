// Command errors and the floating-point status check.
//
// Every failure of a window command (a text that is not a number, a division
// by zero, an invalid operation, an overflow, a file that cannot be read) is a
// CommandError carrying the text the user sees in the common error box.
//
// Floating-point faults are not trapped: the arithmetic runs with masked
// exceptions, and the commands test the sticky status flags at well-defined
// points, before a result is written, so an infinity or a NaN never reaches
// a table.
#pragma once

#include <stdexcept>
#include <string>

namespace coordconv {

class CommandError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr const char* kDivisionByZeroText = "Floating point division by zero";
inline constexpr const char* kInvalidOperationText = "Invalid floating point operation";
inline constexpr const char* kOverflowText = "Floating point overflow";

// The text of the common error box: the message with a full stop added unless
// it already ends with "." or a character that sorts before it (a blank, "!").
std::string ErrorBoxText(const std::string& message);

// Clears the division-by-zero, invalid and overflow status flags; called when a
// command starts so that earlier work (the toolkit's own drawing, say) cannot
// be blamed on it.
void ClearFloatingPointFlags();

// Throws the CommandError for the first raised flag, in the order division by
// zero, invalid operation, overflow; returns quietly when none is raised.
void RaiseFloatingPointErrors();

// Clears the flags on construction; a command holds one for its duration.
class FloatingPointScope {
public:
    FloatingPointScope() { ClearFloatingPointFlags(); }
    FloatingPointScope(const FloatingPointScope&) = delete;
    FloatingPointScope& operator=(const FloatingPointScope&) = delete;
};

}  // namespace coordconv
