// Builds command lists that run the tests' child program, and guards that restore what a
// test changes in its own process (a variable, the current folder).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "TestChild.h"
#include "platform/environment.h"
#include "support/ChildRun.h"

namespace vantrel::testing {

/// The child program followed by the given steps.
inline std::vector<std::string> child(std::vector<std::string> steps) {
  steps.insert(steps.begin(), CHILD_PATH);
  return steps;
}

/// Restores an environment variable of this process when the test ends.
class VariableGuard {
public:
  explicit VariableGuard(std::string name)
      : name_(std::move(name)), old_(platform::getEnvironmentVariable(name_)) {}
  ~VariableGuard() { platform::setEnvironmentVariable(name_, old_); }
  VariableGuard(const VariableGuard &) = delete;
  VariableGuard &operator=(const VariableGuard &) = delete;

private:
  std::string name_;
  std::optional<std::string> old_;
};

/// Makes folder the current folder until the test ends.
class CurrentFolderGuard {
public:
  explicit CurrentFolderGuard(const std::filesystem::path &folder) : old_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolderGuard() {
    std::error_code ec;
    std::filesystem::current_path(old_, ec);
  }
  CurrentFolderGuard(const CurrentFolderGuard &) = delete;
  CurrentFolderGuard &operator=(const CurrentFolderGuard &) = delete;

private:
  std::filesystem::path old_;
};

} // namespace vantrel::testing
