// POSIX side of the scratch folders' removal: the library's remove_all has no length limit.
#include "support/ScratchDir.h"

namespace vantrel::testing {

void removeTree(const std::filesystem::path &folder) {
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

} // namespace vantrel::testing
