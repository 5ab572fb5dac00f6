// S-record image: reading through the streaming reader, writing through the record writer.
#include "memory/SrecordMemory.h"

#include "memory/MemoryMessages.h"
#include "memory/SrecordReader.h"
#include "memory/SrecordWriter.h"

#include <stdexcept>

namespace vantrel::memory {

SrecordMemory::SrecordMemory(std::int64_t base, std::int64_t end, const std::string &name)
    : ConcatinatingMemory(base, end), srecName_(name) {}

SrecordMemory &SrecordMemory::read(const std::string &file, std::int64_t offset) {
  if (offset < 0) throw std::invalid_argument(messages::OFFSET_POSITIVE);
  SrecordReader(*this, offset).readFile(file);
  return *this;
}

SrecordMemory &SrecordMemory::readText(std::string_view text, std::int64_t offset) {
  if (offset < 0) throw std::invalid_argument(messages::OFFSET_POSITIVE);
  SrecordReader(*this, offset).readText(text);
  return *this;
}

bool SrecordMemory::write(const std::string &file) const {
  std::string reason;
  const bool written = writeSrecordFile(*this, srecHeader_, file, SRECORD_LEN, &reason);
  writeFailure_.reset();
  if (!reason.empty())
    writeFailure_ = messages::CANNOT_WRITE_FILE + file + messages::REASON_SEPARATOR + reason;
  return written;
}

std::string SrecordMemory::toString() const {
  return srecName_ + ": " + ConcatinatingMemory::toString();
}

} // namespace vantrel::memory
