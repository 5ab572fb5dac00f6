// Environment variables of this process for every OS: read, set or remove one, list all.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vantrel::platform {

/// The value of the variable, or nothing when it is not set.
std::optional<std::string> getEnvironmentVariable(const std::string &name);

/// Sets the variable (value given) or removes it (nothing); children started afterwards
/// with an inherited environment see the change. False when the OS refuses (a bad name).
bool setEnvironmentVariable(const std::string &name, const std::optional<std::string> &value);

/// The whole environment of this process as "NAME=value" entries.
std::vector<std::string> environmentList();

} // namespace vantrel::platform
