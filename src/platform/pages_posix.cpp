// POSIX side of pages from the OS: anonymous private mappings, with transparent huge pages
// requested where the kernel offers them on demand, and private views of whole files.
#include "platform/pages.h"

#include "platform/systemError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
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

namespace {

// Older C library headers lack it; kernels before 5.14 answer EINVAL, which only costs the
// prefetch.
#ifndef MADV_POPULATE_READ
#define MADV_POPULATE_READ 22
#endif

/// Closes a descriptor when it goes out of scope; the view keeps the file by itself.
struct Descriptor {
  int fd;
  ~Descriptor() {
    if (fd >= 0) ::close(fd);
  }
};

} // namespace

void detail::unmapView(std::uint8_t *data, std::size_t size) {
  ::munmap(data, size);
}

std::unique_ptr<MappedFile> MappedFile::open(const std::string &path, std::string &why) {
  why.clear();
  // Non-blocking, so that a pipe met at path cannot hold the open up; regular files ignore
  // the flag.
  Descriptor file{-1};
  do
    file.fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  while (file.fd < 0 && errno == EINTR);
  if (file.fd < 0) {
    why = detail::describeSystemError(errno);
    return nullptr;
  }
  struct stat st;
  if (::fstat(file.fd, &st) != 0) {
    why = detail::describeSystemError(errno);
    return nullptr;
  }
  if (!S_ISREG(st.st_mode) || st.st_size <= 0) return nullptr;
  const auto size = static_cast<std::size_t>(st.st_size);
  // Private and writable: the holder may change its copy (a header, mirrored bits) without
  // touching the file; only the pages it writes are copied.
  void *view = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE, file.fd, 0);
  if (view == MAP_FAILED) {
    why = detail::describeSystemError(errno);
    return nullptr;
  }
  // Bring every page in now, in one call, rather than one fault at a time later.
  (void)::madvise(view, size, MADV_POPULATE_READ);
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<std::uint8_t *>(view), size));
}

bool mappedFilesStayRemovable() {
  return true;
}

} // namespace vantrel::platform
