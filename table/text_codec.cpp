#include "table/text_codec.h"

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

}  // namespace

std::string DecodeFileText(std::string_view bytes, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8 || IsAscii(bytes)) return std::string(bytes);
    QStringDecoder decoder("GB18030");
    const QString text = decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return text.toStdString();
}

std::string EncodeFileText(std::string_view utf8, FileEncoding encoding) {
    if (encoding == FileEncoding::Utf8 || IsAscii(utf8)) return std::string(utf8);
    QStringEncoder encoder("GB18030");
    const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return bytes.toStdString();
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

}  // namespace coordconv
