// Windows path text: '\' and '/' both separate components, and a drive prefix ends one.
#include "platform/path.h"

namespace vantrel::platform {

hostText::HostSystem hostSystem() {
  return hostText::HostSystem::Windows;
}

} // namespace vantrel::platform
