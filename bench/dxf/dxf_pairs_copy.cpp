// The floor of the drawing benchmark: reads a DXF's group-code/value pairs
// line by line and writes them out unchanged, with the same buffer sizes
// as coordconv-cli and nothing else.
//
//   dxf_pairs_copy IN.dxf OUT.dxf
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::FILE* in = std::fopen(argv[1], "rb");
    std::FILE* out = std::fopen(argv[2], "wb");
    if (in == nullptr || out == nullptr) return 1;
    std::vector<char> buffer(1 << 22);
    std::string pending;
    std::string output;
    long pairs = 0;
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), in)) > 0) {
        pending.append(buffer.data(), got);
        std::size_t start = 0;
        for (;;) {
            const char* code_end = static_cast<const char*>(std::memchr(pending.data() + start, '\n', pending.size() - start));
            if (code_end == nullptr) break;
            const std::size_t value_start = code_end - pending.data() + 1;
            const char* value_end = static_cast<const char*>(std::memchr(pending.data() + value_start, '\n', pending.size() - value_start));
            if (value_end == nullptr) break;
            const std::size_t end = value_end - pending.data() + 1;
            output.append(pending, start, end - start);
            ++pairs;
            start = end;
        }
        pending.erase(0, start);
        if (output.size() >= (1u << 20)) {
            std::fwrite(output.data(), 1, output.size(), out);
            output.clear();
        }
    }
    output += pending;
    std::fwrite(output.data(), 1, output.size(), out);
    std::fclose(in);
    return std::fclose(out) == 0 && pairs > 0 ? 0 : 1;
}
