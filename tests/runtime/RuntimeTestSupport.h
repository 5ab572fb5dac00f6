// Helpers of the runtime and chain tests: running a program and collecting its output, paths
// in the form the programs under test use, and the locations of the built files.
#pragma once

#include "support/ChildRun.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace runtime_test {

using vantrel::testing::EnvChanges;
using vantrel::testing::hostPath;
using RunResult = vantrel::testing::ChildRun;

/// Runs command (program first; each element passed intact) with this process's
/// environment changed by env, and waits for it; CR LF in its output becomes LF.
RunResult run(const std::vector<std::string> &command, const EnvChanges &env = {});

/// A new empty folder under the build tree's test area (build form, UTF-8): named after
/// tag, or, with name, the folder name (any UTF-8 name) inside such a folder.
std::string makeTempDir(const std::string &tag, const std::string &name = "");

/// Whether the programs under test are Windows programs.
bool isWindows();

/// Separator of class paths and PATH lists for the programs under test.
char listSeparator();

/// Copies a file (build form paths, UTF-8); false on failure.
bool copyFile(const std::string &from, const std::string &to);

/// The whole file (UTF-8 path), or nothing.
std::optional<std::string> readText(const std::string &path);

} // namespace runtime_test
