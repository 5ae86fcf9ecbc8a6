// Prints, for every number text of the file named on the command line, what
// the computation core makes of it: the value read back in fixed and general
// formats, as a packed angle, through Gauss-Krüger both ways and through
// geocentric coordinates. Built for Linux and for Windows; the two outputs of
// one file must be equal byte for byte.
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>

#include "core/errors.h"
#include "core/gauss_kruger.h"
#include "core/geocentric.h"
#include "core/number_text.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace coordconv {
namespace {

// The ellipsoid of the "2000国家大地坐标系" preset.
constexpr long double kA = 6378137.0L;
const long double kF = 1.0L / 298.257222101L;

void PrintLine(const std::string& text) {
    std::printf("[%s]", text.c_str());
    try {
        ClearFloatingPointFlags();
        const long double v = TextToNumber(text);
        std::printf(" %s %s", FormatGeneral(v).c_str(), FormatFixed(v, 12).c_str());
        for (const int decimals : {0, 3, 6, 9}) std::printf(" %s", FormatFixedByDigits(v, decimals).c_str());
        std::printf(" dms %s %s %s", FormatFixed(DmsTextToDegrees(text), 15).c_str(),
                    FormatFixed(DegreesToDms(v), 15).c_str(), FormatDms(v, 4).c_str());
        // The text as a latitude (folded into +-89 degrees) 2.5 degrees off
        // the central meridian, forward and back.
        const long double latitude = std::fmod(v, 89.0L);
        const PlanePoint plane = GaussForward(kA, kF, latitude, 2.5L);
        const GeodeticOffset back = GaussInverse(kA, kF, plane.x, plane.y);
        std::printf(" gk %s %s %s %s", FormatFixed(plane.x, 6).c_str(), FormatFixed(plane.y, 6).c_str(),
                    FormatFixed(back.latitude, 12).c_str(), FormatFixed(back.longitude, 12).c_str());
        const Cartesian xyz = GeodeticToCartesian(kA, kF, latitude, 116.5L, 50.0L);
        const Geodetic blh = CartesianToGeodetic(kA, kF, xyz.X, xyz.Y, xyz.Z);
        std::printf(" xyz %s %s %s %s %s %s", FormatFixed(xyz.X, 6).c_str(), FormatFixed(xyz.Y, 6).c_str(),
                    FormatFixed(xyz.Z, 6).c_str(), FormatFixed(blh.B, 12).c_str(), FormatFixed(blh.L, 12).c_str(),
                    FormatFixed(blh.H, 6).c_str());
        RaiseFloatingPointErrors();
    } catch (const std::exception& error) {
        std::printf(" error %s", error.what());
    }
    std::printf("\n");
}

}  // namespace
}  // namespace coordconv

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: number_digits TEXTS\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // "\n" as on Linux, for a byte comparison
#endif
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        coordconv::PrintLine(line);
    }
    return 0;
}
