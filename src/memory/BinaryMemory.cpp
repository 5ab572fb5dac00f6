// Raw binary image: whole-file load at the window's start, gap-filling atomic writer.
#include "memory/BinaryMemory.h"

#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "platform/file.h"
#include "platform/pages.h"

#include <algorithm>
#include <stdexcept>

namespace vantrel::memory {

namespace {

std::string notFound(const std::string &file) {
  return messages::BINARY_FILE_PREFIX + file + messages::BINARY_NOT_FOUND_SUFFIX;
}

/// Reads exactly n bytes into out; false on an error or a short read.
bool readExactly(platform::InputFile &in, std::uint8_t *out, std::size_t n) {
  while (n != 0) {
    const std::int64_t got = in.read(out, n);
    if (got <= 0) return false;
    out += got;
    n -= static_cast<std::size_t>(got);
  }
  return true;
}

} // namespace

BinaryMemory::BinaryMemory(std::int64_t base, std::int64_t end, const std::string &name)
    : ConcatinatingMemory(base, end), binaryName_(name) {}

BinaryMemory &BinaryMemory::read(const std::string &file, std::int64_t offset) {
  if (offset < 0) throw std::invalid_argument(messages::OFFSET_POSITIVE);
  const std::optional<platform::FileStatus> status = platform::statFile(file);
  // A directory is no file: reported like a missing one.
  std::uint64_t size = status && !status->isDirectory ? status->size : 0;
  if (size == 0) throw RWMemoryException(notFound(file));
  // Where a view leaves the file free (to be removed on a stop, replaced by another run),
  // the image holds the file's own pages: no copy, no fresh memory. Elsewhere, and where
  // the OS will not map the file, its bytes are read into a block of the image.
  std::unique_ptr<platform::MappedFile> view;
  if (platform::mappedFilesStayRemovable()) {
    std::string why;
    view = platform::MappedFile::open(file, why);
    if (view) size = view->size(); // what the view holds is what the image gets
  }
  if (static_cast<std::uint64_t>(end() - base()) + 1 < size)
    throw RWMemoryException(messages::BINARY_FILE_PREFIX + file + messages::BINARY_TOO_LARGE_SUFFIX);
  if (static_cast<std::uint64_t>(offset) > size)
    throw std::invalid_argument(messages::OFFSET_EXCEEDS_FILE + file);
  // The bytes before the offset are left out; those after it keep their file positions.
  const auto count = static_cast<std::size_t>(size - static_cast<std::uint64_t>(offset));
  Block block;
  if (view) {
    block.data = view->data() + offset;
    block.size = count;
    block.keeper = std::shared_ptr<platform::MappedFile>(std::move(view));
  } else {
    platform::InputFile in;
    if (!in.open(file)) throw RWMemoryException(notFound(file));
    const std::string readError =
        messages::BINARY_READ_ERROR_PREFIX + file + messages::BINARY_READ_ERROR_SUFFIX;
    std::uint8_t skipped[4096];
    for (std::int64_t left = offset; left > 0;) {
      const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, sizeof skipped));
      if (!readExactly(in, skipped, n)) throw RWMemoryException(readError);
      left -= static_cast<std::int64_t>(n);
    }
    // Read straight into the block the image keeps: never filled first, copied once.
    if (count != 0) {
      block = allocateBlock(count);
      if (!readExactly(in, block.data, count)) throw RWMemoryException(readError);
    }
    in.close();
  }
  if (add(base() + offset, std::move(block)).has_value()) throw RWMemoryException(messages::BINARY_ADD_ERROR);
  return *this;
}

bool BinaryMemory::write(const std::string &file) const {
  platform::OutputFile out;
  if (!out.open(file, platform::OutputFile::Mode::Atomic)) return false;
  static const Bytes fill(std::size_t{64} << 10, 0xFF);
  std::int64_t pos = base();
  for (SegmentKey key : iterator()) {
    const Segment *s = segment(key);
    const std::int64_t a = base() + key.value;
    if (pos > a) throw std::runtime_error(messages::OVERLAPPING_SEGMENTS);
    for (std::int64_t gap = a - pos; gap > 0;) {
      const auto n =
          static_cast<std::size_t>(std::min<std::int64_t>(gap, static_cast<std::int64_t>(fill.size())));
      out.write(fill.data(), n);
      gap -= static_cast<std::int64_t>(n);
    }
    // The segment's chunks go out in place.
    s->visit(0, static_cast<std::size_t>(s->length()),
             [&out](const std::uint8_t *p, std::size_t n) { out.write(p, n); });
    pos = a + s->length();
  }
  return out.commit();
}

std::string BinaryMemory::toString() const {
  return binaryName_ + ": " + ConcatinatingMemory::toString();
}

} // namespace vantrel::memory
