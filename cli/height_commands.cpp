// coordconv-cli tools of the height windows.
#include "cli/tools.h"

namespace coordconv::cli {

std::vector<Tool> HeightTools() { return {}; }

}  // namespace coordconv::cli
