// Failures in S-record text: the record exception and its malformed-record kind.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel::memory {

/// Base of the failures found in record text.
class RecordException : public std::runtime_error {
public:
  explicit RecordException(const std::string &message) : std::runtime_error(message) {}
  /// The message.
  std::string getMessage() const { return what(); }
};

/// Text that is not a well-formed S-record.
class InvalidDataRecordException : public RecordException {
public:
  explicit InvalidDataRecordException(const std::string &message) : RecordException(message) {}
};

} // namespace vantrel::memory
