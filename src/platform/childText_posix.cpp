// POSIX: a child's text is its locale's, shown as it is.
#include "platform/childText.h"

namespace vantrel::platform {

std::string fromSystemCodePage(std::string_view bytes) {
  return std::string(bytes);
}

} // namespace vantrel::platform
