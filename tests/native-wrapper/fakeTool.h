// The shared part of the launcher's test doubles: each defines toolMain; the process entry
// (fakeToolEntry_posix.cpp / fakeToolEntry_win32.cpp) hands it UTF-8 arguments and binary
// standard output, as the programs they stand for get.
#pragma once

#include <optional>
#include <string>
#include <vector>

/// The test double's work; args holds the program name first, in UTF-8.
int toolMain(const std::vector<std::string> &args);

/// Value of an environment variable in UTF-8; nothing when it is unset.
std::optional<std::string> toolEnv(const char *name);

/// Appends text to the file named in UTF-8 (the call log of the fake Cygwin tools).
void appendToFile(const std::string &path, const std::string &text);
