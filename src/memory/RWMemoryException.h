// The failure of reading an image file.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel::memory {

/// Reading an image file failed; callers report getMessage() to the user.
class RWMemoryException : public std::runtime_error {
public:
  explicit RWMemoryException(const std::string &message) : std::runtime_error(message) {}
  /// The message.
  std::string getMessage() const { return what(); }
};

} // namespace vantrel::memory
