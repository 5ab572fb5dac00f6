// A memory image read from and written to raw binary files laid from the window's start.
#pragma once

#include "memory/ConcatinatingMemory.h"
#include "memory/RWMemory.h"

namespace vantrel::memory {

/// An image whose file is nothing but its bytes: byte k of the file is the byte at
/// base() + k. Written back, the gaps up to the end of the last segment are 0xFF. A raw
/// file has no header and no start address.
class BinaryMemory : public ConcatinatingMemory, public RWMemory {
public:
  /// An empty image with window base..end (inclusive).
  BinaryMemory(std::int64_t base, std::int64_t end, const std::string &name);

  std::optional<std::string> getHeader() const override { return std::nullopt; }
  void setHeader(const std::optional<std::string> &) override {}
  std::string getName() const override { return binaryName_; }
  std::int64_t getStart() const override { return 0; }
  void setStart(std::int64_t) override {}
  bool hasStart() const override { return false; }

  /// Loads the whole file at base(). RWMemoryException "File: <file> not found, exiting"
  /// (missing, empty or unopenable), "File: <file> too large, exiting" (larger than the
  /// window), "Error reading file:<file>, exiting" (read error or short read), "Error
  /// adding data to Binary memory, exiting".
  BinaryMemory &read(const std::string &file) override { return read(file, 0); }
  /// Loads the bytes from file position offset on at base() + offset, so the file still
  /// maps byte for byte onto the window. An offset past the file's end is an invalid-
  /// argument error "Offset exceeds length of file: <file>".
  BinaryMemory &read(const std::string &file, std::int64_t offset) override;

  /// Writes base() up to the last byte of the last segment, 0xFF in the gaps, replacing
  /// the file only when everything was written; false on any error. Overlapping segments
  /// are a runtime error.
  bool write(const std::string &file) const override;

  /// The name, ": ", then the image text.
  std::string toString() const override;

protected:
  void setName(const std::string &name) { binaryName_ = name; }

private:
  std::string binaryName_;
};

} // namespace vantrel::memory
