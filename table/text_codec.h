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
std::string DecodeFileText(std::string_view bytes, FileEncoding encoding);
std::string EncodeFileText(std::string_view utf8, FileEncoding encoding);
// The same, writing into (DecodeInto) or appending to (AppendEncoded) a
// string whose storage is reused from line to line.
void DecodeInto(std::string_view bytes, FileEncoding encoding, std::string& utf8);
void AppendEncoded(std::string_view utf8, FileEncoding encoding, std::string& bytes);

}  // namespace coordconv
