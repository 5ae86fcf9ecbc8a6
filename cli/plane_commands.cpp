// coordconv-cli tools of the plane windows.
#include "cli/tools.h"

namespace coordconv::cli {

std::vector<Tool> PlaneTools() { return {}; }

}  // namespace coordconv::cli
