// What a user needs after the runtime could not be started because its file is missing:
// where the path to it breaks, and which variable named the place.
#pragma once

#include <cstdio>

namespace vantrel::launcher {

class JavaCommandLine;

/// After a failed start of the runtime: when the file that start needs (the runtime program,
/// or in-process its VM library) is missing, writes one line to err naming the deepest folder
/// on its path that exists and what that folder lacks (or the file that stands where a
/// folder should), and the variable that placed the runtime with what it must name.
/// Nothing when the file is there (the start failed for another reason).
void explainMissingRuntime(FILE *err, JavaCommandLine &cmd);

} // namespace vantrel::launcher
