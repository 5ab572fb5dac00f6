// Win32 side of page allocation: committed private pages from VirtualAlloc. Large pages
// need a privilege that ordinary accounts lack, so none are asked for.
#include "platform/pages.h"

#include <windows.h>

namespace vantrel::platform {

void *allocatePages(std::size_t bytes) {
  return ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
}

void releasePages(void *block, std::size_t) {
  if (block) ::VirtualFree(block, 0, MEM_RELEASE);
}

} // namespace vantrel::platform
