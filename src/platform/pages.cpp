// File views for every OS: their lifetime and the count of those open.
#include "platform/pages.h"

#include <atomic>

namespace vantrel::platform {

namespace {
std::atomic<std::size_t> openViews{0};
} // namespace

MappedFile::MappedFile(std::uint8_t *data, std::size_t size) : data_(data), size_(size) {
  ++openViews;
}

MappedFile::~MappedFile() {
  detail::unmapView(data_, size_);
  --openViews;
}

std::size_t liveFileViews() {
  return openViews.load();
}

} // namespace vantrel::platform
