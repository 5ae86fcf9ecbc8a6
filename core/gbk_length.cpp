#include "core/gbk_length.h"

namespace coordconv {

std::size_t GbkByteCount(std::string_view utf8) {
    std::size_t bytes = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        std::size_t sequence = 1;
        if (lead >= 0xF0 && lead <= 0xF4) sequence = 4;
        else if (lead >= 0xE0) sequence = lead <= 0xEF ? 3 : 1;
        else if (lead >= 0xC2) sequence = 2;
        bool well_formed = i + sequence <= utf8.size();
        for (std::size_t k = 1; well_formed && k < sequence; ++k)
            well_formed = (static_cast<unsigned char>(utf8[i + k]) & 0xC0) == 0x80;
        if (!well_formed) sequence = 1;
        if (lead < 0x80) bytes += 1;
        else bytes += well_formed && sequence == 4 ? 4 : 2;
        i += sequence;
    }
    return bytes;
}

}  // namespace coordconv
