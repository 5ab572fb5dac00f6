// POSIX side of the environment: getenv, setenv/unsetenv and environ.
#include <cstdlib>

#include "platform/environment.h"

extern char **environ;

namespace vantrel::platform {

std::optional<std::string> getEnvironmentVariable(const std::string &name) {
  const char *value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

bool setEnvironmentVariable(const std::string &name, const std::optional<std::string> &value) {
  if (name.empty() || name.find('=') != std::string::npos) return false;
  if (value) return ::setenv(name.c_str(), value->c_str(), 1) == 0;
  return ::unsetenv(name.c_str()) == 0;
}

std::vector<std::string> environmentList() {
  std::vector<std::string> entries;
  for (char **entry = environ; entry && *entry; ++entry)
    entries.emplace_back(*entry);
  return entries;
}

} // namespace vantrel::platform
