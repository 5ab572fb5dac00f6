// Whole pages straight from the OS: fresh blocks for the multi-megabyte buffers that hold
// images, and read-only views of whole files.
//
// Fresh anonymous pages arrive zeroed. Where the OS offers large pages on request, these
// blocks ask for them, so that filling a 64 MiB image costs a few dozen page faults rather
// than sixteen thousand. A file view shares the pages the OS already holds for the file,
// so bringing a file in costs no copy and no fresh pages at all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vantrel::platform {

/// Size from which allocatePages is worth its system call; smaller blocks belong to the
/// ordinary heap.
constexpr std::size_t LARGE_BLOCK_BYTES = std::size_t{1} << 20;

/// A block of at least bytes bytes, zeroed, aligned to a page; nullptr when the OS
/// refuses. bytes must not be 0.
void *allocatePages(std::size_t bytes);

/// Returns a block from allocatePages; bytes is the size it was asked for.
void releasePages(void *block, std::size_t bytes);

/// A view of a whole regular file, its pages brought in when it is made. The view is the
/// holder's own copy: writing into it changes neither the file nor another view (pages are
/// copied on their first write). The view ends, and the file is let go, when the object
/// goes.
///
/// While a view is open the file's contents show through it: a file truncated under a view
/// leaves the vanished pages unreadable, so only files this program owns for the time of
/// the view are worth mapping. On Windows a mapped file can be neither removed nor replaced
/// until its view ends (see mappedFilesStayRemovable).
class MappedFile {
public:
  ~MappedFile();
  MappedFile(const MappedFile &) = delete;
  MappedFile &operator=(const MappedFile &) = delete;

  /// The file's bytes.
  std::uint8_t *data() const { return data_; }
  /// Their number.
  std::size_t size() const { return size_; }

  /// A view of the file at path; nullptr, with the OS's reason in why (empty when there is
  /// none), when it cannot be opened or mapped, or is empty or no regular file (a folder,
  /// a pipe, a device): such files are read instead.
  static std::unique_ptr<MappedFile> open(const std::string &path, std::string &why);

private:
  MappedFile(std::uint8_t *data, std::size_t size);
  std::uint8_t *data_;
  std::size_t size_;
};

/// How many file views this process holds now: a view that outlives what holds its bytes
/// keeps a file held (on Windows, unremovable) for nothing.
std::size_t liveFileViews();

namespace detail {
/// Ends a view made by MappedFile::open (each OS's half defines it).
void unmapView(std::uint8_t *data, std::size_t size);
} // namespace detail

/// True where a file stays free to be removed, renamed over or rewritten while a view of it
/// is open (POSIX); false where the view holds it (Windows), so a file that a run removes
/// on a stop, or that another program may replace, is read there rather than mapped.
bool mappedFilesStayRemovable();

} // namespace vantrel::platform
