#pragma once

#include <cstddef>
#include <string_view>

namespace coordconv {

// Length in bytes that a UTF-8 text takes in the GBK code page, without a
// code table: an ASCII character takes 1 byte, any other character of the
// Basic Multilingual Plane 2 bytes (GBK's double-byte form, which holds the
// Chinese characters, the full-width forms and the signs ° ′ ″ of the
// labels), a character beyond it 4 bytes (GB18030's four-byte form).
// Exact for every character GBK can encode; a BMP character outside GBK,
// which GB18030 writes in 4 bytes, is counted as 2, and so is a byte that
// is not part of a well-formed UTF-8 sequence.
std::size_t GbkByteCount(std::string_view utf8);

}  // namespace coordconv
