// POSIX side of page allocation: anonymous private mappings, with transparent huge pages
// requested where the kernel offers them on demand.
#include "platform/pages.h"

#include <sys/mman.h>

namespace vantrel::platform {

void *allocatePages(std::size_t bytes) {
  void *block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED)
    return nullptr;
#ifdef MADV_HUGEPAGE
  // Only advice: a kernel without huge pages leaves the mapping as it is.
  (void)::madvise(block, bytes, MADV_HUGEPAGE);
#endif
  return block;
}

void releasePages(void *block, std::size_t bytes) {
  if (block)
    ::munmap(block, bytes);
}

} // namespace vantrel::platform
