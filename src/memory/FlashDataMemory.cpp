// The flash image wrapper: delegation to its S-record image and the header-text rule.
#include "memory/FlashDataMemory.h"

#include "memory/MemoryMessages.h"
#include "memory/RWMemoryException.h"
#include "memory/Srec.h"
#include "platform/path.h"

#include <stdexcept>

namespace vantrel::memory {

namespace {

/// Window of an image read from a file without a window of its own.
constexpr std::int64_t READ_WINDOW_END = 0x7FFFFFFF;

} // namespace

FlashDataMemory::FlashDataMemory(const std::string &name) : flashName_(name) {}

FlashDataMemory::FlashDataMemory(std::int64_t base, std::int64_t end, const std::string &name)
    : flashName_(name), myMemory_(std::make_unique<SrecordMemory>(base, end, name)) {}

OptionalBytes FlashDataMemory::add(std::int64_t addr, const Bytes &data) {
  return myMemory_ ? myMemory_->add(addr, data) : std::nullopt;
}

OptionalBytes FlashDataMemory::add(std::int64_t addr, Bytes &&data) {
  return myMemory_ ? myMemory_->add(addr, std::move(data)) : std::nullopt;
}

OptionalBytes FlashDataMemory::add(std::int64_t addr, const OptionalBytes &data) {
  return myMemory_ ? myMemory_->add(addr, data) : std::nullopt;
}

OptionalBytes FlashDataMemory::add(std::int64_t addr, Segment &&run) {
  if (myMemory_) return myMemory_->add(addr, std::move(run));
  run.clear();
  return std::nullopt;
}

std::int64_t FlashDataMemory::base() const {
  return myMemory_ ? myMemory_->base() : -1;
}
std::int64_t FlashDataMemory::end() const {
  return myMemory_ ? myMemory_->end() : -1;
}
bool FlashDataMemory::copy(const Memory *other) {
  return myMemory_ ? myMemory_->copy(other) : false;
}
OptionalBytes FlashDataMemory::get(std::int64_t addr) const {
  return myMemory_ ? myMemory_->get(addr) : std::nullopt;
}
OptionalBytes FlashDataMemory::get(SegmentKey key) const {
  return myMemory_ ? myMemory_->get(key) : std::nullopt;
}

OptionalBytes FlashDataMemory::get(std::int64_t addr, std::int64_t len) const {
  return myMemory_ ? myMemory_->get(addr, len) : std::nullopt;
}

std::int64_t FlashDataMemory::getAddr(SegmentKey key) const {
  return myMemory_ ? myMemory_->getAddr(key) : -1;
}

std::optional<std::string> FlashDataMemory::getName() const {
  if (!myMemory_) return std::nullopt;
  return myMemory_->getName();
}

bool FlashDataMemory::has(std::int64_t addr) const {
  return myMemory_ ? myMemory_->has(addr) : false;
}

std::int64_t FlashDataMemory::intersection(std::int64_t addr, std::int64_t len) const {
  return myMemory_ ? myMemory_->intersection(addr, len) : 0;
}

bool FlashDataMemory::isEmpty() const {
  return myMemory_ ? myMemory_->isEmpty() : true;
}

std::optional<std::vector<SegmentKey>> FlashDataMemory::iterator() const {
  if (!myMemory_) return std::nullopt;
  return myMemory_->iterator();
}

const SrecordMemory &FlashDataMemory::image() const {
  if (!myMemory_) throw std::logic_error(messages::NO_FLASH_IMAGE);
  return *myMemory_;
}

std::int64_t FlashDataMemory::getLastDataAddr() const {
  const SrecordMemory &memory = image();
  std::int64_t last = -1;
  for (SegmentKey key : memory.iterator())
    last = std::max(last, memory.getAddr(key) + memory.getLen(key) - 1);
  return last;
}

std::int64_t FlashDataMemory::estimateSize() const {
  return image().total();
}

SrecordMemory &FlashDataMemory::read(const std::string &file) {
  if (myMemory_) throw RWMemoryException(messages::PREDEFINED_FLASH);
  // The image is kept only when the whole file was read.
  auto memory = std::make_unique<SrecordMemory>(0, READ_WINDOW_END, "");
  memory->read(file, 0);
  myMemory_ = std::move(memory);
  return *myMemory_;
}

bool FlashDataMemory::write(const std::string &file) {
  return write(file, file);
}

bool FlashDataMemory::write(const std::string &file, const std::string &header) {
  if (!myMemory_) return false;
  myMemory_->setHeader(headerText(header));
  return myMemory_->write(file);
}

std::optional<std::string> FlashDataMemory::getWriteFailure() const {
  return myMemory_ ? myMemory_->getWriteFailure() : std::nullopt;
}

std::string FlashDataMemory::toString() const {
  return "FLASH: " + image().toString();
}

std::string FlashDataMemory::headerText(const std::string &path) {
  // The host's separators decide: on Linux a backslash is part of the file's name.
  return Srec::firstCharacters(std::string(platform::lastComponent(path)), MAX_SREC_HEADER_LENGTH);
}

} // namespace vantrel::memory
