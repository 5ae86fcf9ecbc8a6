// coordconv-cli tools of the datum windows.
#include "cli/tools.h"

namespace coordconv::cli {

std::vector<Tool> DatumTools() { return {}; }

}  // namespace coordconv::cli
