#include "shell/text_codec.h"

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

namespace coordconv {
namespace {

bool IsAscii(std::string_view bytes) {
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
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
