// Programming error: an attribute asked of a record whose type lacks it.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel::memory {

/// Raised by a record getter whose attribute the record's type lacks: the caller skipped
/// the matching has-test. Not a failure of input.
class IllegalAttributeRequestException : public std::logic_error {
public:
  explicit IllegalAttributeRequestException(const std::string &message) : std::logic_error(message) {}
  /// The message.
  std::string getMessage() const { return what(); }
};

} // namespace vantrel::memory
