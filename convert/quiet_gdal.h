// A stretch of work with GDAL inside a command: the drivers registered once,
// GDAL's messages kept from the terminal (the command reports its own
// error, with GDAL's last message), and the floating-point status flags
// GDAL's own arithmetic leaves put back, so the command's checks blame no
// row of its own for them.
#pragma once

#include <cfenv>
#include <string>

namespace coordconv {

class QuietGdal {
public:
    QuietGdal();
    ~QuietGdal();
    QuietGdal(const QuietGdal&) = delete;
    QuietGdal& operator=(const QuietGdal&) = delete;

private:
    std::fexcept_t flags_;
};

// " (<GDAL's last error message>)", or "" when GDAL gave none.
std::string LastGdalMessage();

}  // namespace coordconv
