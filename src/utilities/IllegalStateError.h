// The error raised when an object is asked for something its state does not allow.
#pragma once

#include <stdexcept>

namespace vantrel::utilities {

/// An operation called in a state that does not allow it (a broken internal promise).
class IllegalStateError : public std::logic_error {
public:
  using std::logic_error::logic_error;
};

} // namespace vantrel::utilities
