// POSIX side of page allocation: anonymous private mappings, with transparent huge pages
// requested where the kernel offers them on demand.
#include "platform/pages.h"

#include <sys/mman.h>

#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define BITMORPH_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BITMORPH_ADDRESS_SANITIZER 1
#endif
#endif

namespace vantrel::platform {

#ifdef BITMORPH_ADDRESS_SANITIZER
// Under the address sanitizer the blocks come from its heap, so that it watches their bounds.
void *allocatePages(std::size_t bytes) {
  return std::calloc(bytes, 1);
}
void releasePages(void *block, std::size_t) {
  std::free(block);
}
#else
void *allocatePages(std::size_t bytes) {
  void *block = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (block == MAP_FAILED) return nullptr;
#ifdef MADV_HUGEPAGE
  // Only advice: a kernel without huge pages leaves the mapping as it is.
  (void)::madvise(block, bytes, MADV_HUGEPAGE);
#endif
  return block;
}

void releasePages(void *block, std::size_t bytes) {
  if (block) ::munmap(block, bytes);
}
#endif

} // namespace vantrel::platform
