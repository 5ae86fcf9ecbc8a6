#include "table/text_codec.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace coordconv {
namespace {

// Eight bytes at a time: any byte with its top bit set is not ASCII.
bool IsAscii(std::string_view bytes) {
    std::size_t i = 0;
    std::uint64_t high_bits = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, bytes.data() + i, 8);
        high_bits |= word;
    }
    for (; i < bytes.size(); ++i) high_bits |= static_cast<unsigned char>(bytes[i]);
    return (high_bits & 0x8080808080808080ULL) == 0;
}

// Undecodable bytes are held as U+10FF00 + byte: UTF-8 F4 8F BC..BF xx.
constexpr std::string_view kHeldBytePrefix = "\xF4\x8F";

void AppendHeldByte(unsigned char byte, std::string& utf8) {
    utf8 += kHeldBytePrefix;
    utf8.push_back(static_cast<char>(0xBC | (byte >> 6)));
    utf8.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
}

bool InRange(unsigned char byte, unsigned char low, unsigned char high) { return byte >= low && byte <= high; }

// Length of the GB18030 sequence at `at` by its byte pattern: 1 for ASCII,
// 2 (lead 81..FE, trail 40..7E or 80..FE), 4 (81..FE 30..39 81..FE 30..39),
// 0 when the bytes form no sequence.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(bytes[at + k]); };
    if (byte(0) < 0x80) return 1;
    if (!InRange(byte(0), 0x81, 0xFE) || at + 1 >= bytes.size()) return 0;
    if (InRange(byte(1), 0x40, 0x7E) || InRange(byte(1), 0x80, 0xFE)) return 2;
    if (InRange(byte(1), 0x30, 0x39) && at + 3 < bytes.size() && InRange(byte(2), 0x81, 0xFE) &&
        InRange(byte(3), 0x30, 0x39))
        return 4;
    return 0;
}

std::string DecodeGb18030(std::string_view bytes, bool& clean) {
    // Stateless: a sequence cut off at the end is an error, not held back.
    QStringDecoder decoder("GB18030", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    std::string utf8 = text.toStdString();
    clean = !decoder.hasError() && utf8.find(kHeldBytePrefix) == std::string::npos;
    return utf8;
}

// Sequence by sequence: what decodes cleanly is taken, every byte of what
// does not is held.
std::string DecodeHoldingBytes(std::string_view bytes) {
    std::string utf8;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 1) {
            utf8.push_back(bytes[at++]);
            continue;
        }
        bool clean = false;
        const std::string character = length == 0 ? std::string() : DecodeGb18030(bytes.substr(at, length), clean);
        if (clean) {
            utf8 += character;
        } else {
            for (std::size_t k = 0; k < std::max<std::size_t>(length, 1); ++k)
                AppendHeldByte(static_cast<unsigned char>(bytes[at + k]), utf8);
        }
        at += std::max<std::size_t>(length, 1);
    }
    return utf8;
}

std::string EncodeGb18030(std::string_view utf8) {
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return bytes.toStdString();
}

}  // namespace

std::string DecodeFileText(std::string_view bytes, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8 || IsAscii(bytes)) return std::string(bytes);
    bool clean = false;
    std::string utf8 = DecodeGb18030(bytes, clean);
    return clean ? utf8 : DecodeHoldingBytes(bytes);
}

std::string EncodeFileText(std::string_view utf8, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8 || IsAscii(utf8)) return std::string(utf8);
    std::string bytes;
    std::size_t run = 0;
    std::size_t search = 0;
    for (;;) {
        const std::size_t held = utf8.find(kHeldBytePrefix, search);
        if (held == std::string_view::npos) break;
        search = held + 1;
        if (held + 3 >= utf8.size() || !InRange(static_cast<unsigned char>(utf8[held + 2]), 0xBC, 0xBF)) continue;
        bytes += EncodeGb18030(utf8.substr(run, held - run));
        bytes.push_back(static_cast<char>(((static_cast<unsigned char>(utf8[held + 2]) & 3) << 6) |
                                          (static_cast<unsigned char>(utf8[held + 3]) & 0x3F)));
        run = held + 4;
        search = run;
    }
    bytes += EncodeGb18030(utf8.substr(run));
    return bytes;
}

void DecodeInto(std::string_view bytes, FileEncoding encoding, std::string& utf8) {
    if (encoding == FileEncoding::Utf8 || IsAscii(bytes)) {
        utf8.assign(bytes);
    } else {
        utf8 = DecodeFileText(bytes, encoding);
    }
}

void AppendEncoded(std::string_view utf8, FileEncoding encoding, std::string& bytes) {
    if (encoding == FileEncoding::Utf8 || IsAscii(utf8)) {
        bytes.append(utf8);
    } else {
        bytes += EncodeFileText(utf8, encoding);
    }
}

std::string WithHeldBytesReplaced(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    std::size_t at = 0;
    while (at < utf8.size()) {
        const std::size_t held = utf8.find(kHeldBytePrefix, at);
        if (held == std::string_view::npos || held + 4 > utf8.size()) {
            text.append(utf8.substr(at));
            break;
        }
        text.append(utf8.substr(at, held - at));
        const auto third = static_cast<unsigned char>(utf8[held + 2]);
        if (third >= 0xBC && third <= 0xBF) {
            text += "\xEF\xBF\xBD";  // U+FFFD
        } else {
            text.append(utf8.substr(held, 4));  // U+10F000..U+10FBFF: a character of its own
        }
        at = held + 4;
    }
    return text;
}

}  // namespace coordconv
