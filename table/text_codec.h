// The code page of the program's text files. Files are GBK (code page 936),
// read and written through the GB18030 converter, a lossless superset; the
// program itself holds UTF-8. UTF-8 files are taken as they are.
#pragma once

#include <string>
#include <string_view>

namespace coordconv {

enum class FileEncoding { Gbk, Utf8 };

// One line (or any text without a split multi-byte character) from the file's
// code page to UTF-8, and back. ASCII passes unchanged without a converter.
// A byte that is no GBK/GB18030 character (0x80, 0xFF, a lead byte without
// its trail) is held as the code point U+10FF00 + byte and written back as
// that byte, so names the program cannot read keep their bytes through
// import and save; a file character in that range is held byte by byte the
// same way.
std::string DecodeFileText(std::string_view bytes, FileEncoding encoding);
std::string EncodeFileText(std::string_view utf8, FileEncoding encoding);
// The same, writing into (DecodeInto) or appending to (AppendEncoded) a
// string whose storage is reused from line to line.
void DecodeInto(std::string_view bytes, FileEncoding encoding, std::string& utf8);
void AppendEncoded(std::string_view utf8, FileEncoding encoding, std::string& bytes);

// The text for a reader rather than a file (the precision report's JSON,
// HTML and PDF): every held byte (U+10FF00 + byte, a noncharacter that JSON
// readers and browsers reject or show as boxes) becomes U+FFFD, the
// replacement character; all else is unchanged.
std::string WithHeldBytesReplaced(std::string_view utf8);

}  // namespace coordconv
