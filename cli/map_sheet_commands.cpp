// coordconv-cli tools of the map sheet windows.
#include "cli/tools.h"

namespace coordconv::cli {

std::vector<Tool> MapSheetTools() { return {}; }

}  // namespace coordconv::cli
