// Test helper: what a console shows after text was written to it through a C stream. Used
// by the launcher's and the runtime's tests of their console output.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

namespace console_test {

/// Gives writer a C stream on this process's console, then reads back (in UTF-8) the given
/// number of characters the console shows from where the writing began. Nothing when the
/// process has no console with a screen to read: a POSIX terminal is no such console, and
/// under Wine a program whose standard streams are not a terminal has none.
std::optional<std::string> consoleShows(const std::function<void(FILE *)> &writer, std::size_t characters);

} // namespace console_test
