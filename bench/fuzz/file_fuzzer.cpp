// libFuzzer target for the coordinate file reader: any bytes read as a file
// (GBK or UTF-8) must import without crash, give one row per line, and write
// back through the atomic writer.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "core/errors.h"
#include "table/coordinate_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace coordconv;
    char path[] = "/tmp/coordconv-fuzz-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0) return 0;
    if (write(fd, data, size) != static_cast<ssize_t>(size)) __builtin_trap();
    close(fd);
    std::size_t lines = 0;
    for (std::size_t i = 0; i < size; ++i) lines += data[i] == '\n';
    if (size > 0 && data[size - 1] != '\n') ++lines;
    for (const FileEncoding encoding : {FileEncoding::Gbk, FileEncoding::Utf8}) {
        PointTable table({"a", "b", "c", "d"});
        ImportCoordinateFile(path, FieldSplit::Fitting, encoding, table);
        if (static_cast<std::size_t>(table.RowCount()) != std::max<std::size_t>(lines, 1) + 1) __builtin_trap();
        const std::string out = std::string(path) + ".out";
        SaveCoordinateFile(out, table, 4, encoding);
        std::remove(out.c_str());
    }
    std::remove(path);
    return 0;
}
