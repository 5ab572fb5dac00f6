// The failure type of the suite tools' library; each tool's entry point turns it into a
// message on standard error and a non-zero exit status.
#pragma once

#include <stdexcept>
#include <string>

namespace vantrel::suite {

/// A conversion that cannot go on: bad input, unreadable or unwritable file. what() is the
/// complete message the user sees (after "Error: ").
class SuiteError : public std::runtime_error {
public:
  explicit SuiteError(const std::string &message) : std::runtime_error(message) {}
};

} // namespace vantrel::suite
