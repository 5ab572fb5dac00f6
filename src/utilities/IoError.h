// The error raised by the file utilities' throwing operations when a file cannot be written.
#pragma once

#include <stdexcept>

namespace vantrel::utilities {

/// A file could not be opened, written or closed; what() names the file.
class IoError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

} // namespace vantrel::utilities
