// Growable byte buffer: appends within the capacity, growth by the doubling-then-linear rule.
#include "flashDevice/ByteArray.h"

namespace vantrel::flashDevice {

ByteArray::ByteArray() : ByteArray(static_cast<std::size_t>(INITIAL_SIZE)) {}

ByteArray::ByteArray(std::size_t n) : capacity_(n) {
  data_.reserve(n);
}

void ByteArray::append(const Bytes &bytes) {
  append(bytes.data(), bytes.size());
}

void ByteArray::append(const std::uint8_t *data, std::size_t n) {
  if (n == 0) return;
  if (pos_ + count_ + n > capacity_) grow(count_ + n);
  data_.insert(data_.end(), data, data + n);
  count_ += n;
}

void ByteArray::grow(std::size_t needed) {
  std::size_t newCapacity = capacity_;
  if (needed > capacity_) {
    // Small buffers roughly double; large ones grow in GROWTH_LIMIT steps. The new
    // capacity is the smallest multiple of the step above what is needed.
    std::size_t step = capacity_ + 1;
    if (step >= static_cast<std::size_t>(GROWTH_LIMIT))
      step = GROWTH_LIMIT;
    else
      step = 2 * step;
    newCapacity = (needed / step + 1) * step;
  }
  // The held bytes move to the start of the storage.
  Bytes moved;
  moved.reserve(newCapacity);
  moved.insert(moved.end(), data_.begin() + static_cast<std::ptrdiff_t>(pos_), data_.end());
  data_.swap(moved);
  capacity_ = newCapacity;
  pos_ = 0;
}

Bytes ByteArray::getBytes() const {
  return Bytes(data_.begin() + static_cast<std::ptrdiff_t>(pos_), data_.end());
}

Bytes ByteArray::takeBytes() {
  Bytes result;
  if (pos_ == 0)
    result.swap(data_);
  else
    result = getBytes();
  data_.clear();
  data_.shrink_to_fit();
  capacity_ = 0;
  count_ = 0;
  pos_ = 0;
  return result;
}

} // namespace vantrel::flashDevice
