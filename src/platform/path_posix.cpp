// POSIX path text: '/' is the only separator.
#include "platform/path.h"

namespace vantrel::platform {

hostText::HostSystem hostSystem() {
  return hostText::HostSystem::Posix;
}

} // namespace vantrel::platform
