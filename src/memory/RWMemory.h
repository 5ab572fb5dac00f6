// Images that are read from and written to files.
#pragma once

#include "memory/Memory.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vantrel::memory {

/// A memory image that loads itself from a file and writes itself to one.
class RWMemory : public virtual Memory {
public:
  /// Header text, or nothing.
  virtual std::optional<std::string> getHeader() const = 0;
  /// The image's name.
  virtual std::string getName() const = 0;
  /// Start address.
  virtual std::int64_t getStart() const = 0;
  /// Whether a start address is set.
  virtual bool hasStart() const = 0;
  /// read(file, 0).
  virtual RWMemory &read(const std::string &file) = 0;
  /// Loads the file into this image with an offset; returns this image. Fails with
  /// RWMemoryException; a negative offset is an invalid-argument error.
  virtual RWMemory &read(const std::string &file, std::int64_t offset) = 0;
  /// Sets the header text (nothing removes it).
  virtual void setHeader(const std::optional<std::string> &text) = 0;
  /// Sets the start address.
  virtual void setStart(std::int64_t addr) = 0;
  /// Writes the image to the file, replacing it only when everything was written; true on
  /// success.
  virtual bool write(const std::string &file) const = 0;
};

} // namespace vantrel::memory
