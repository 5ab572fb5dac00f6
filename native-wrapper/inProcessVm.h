// The in-process start of the Java runtime, called by JavaCommandLine::run when
// "--wrapper-load-jvm-in-process" was given.
#pragma once

namespace vantrel::launcher {

class JavaCommandLine;

/// Runs the launch command inside the launcher's own process, the whole in-process run:
/// builds the command string (which merges the heap options into the VM options), echoes
/// it to the out stream when verbose, returns 0 without loading anything when exec is off,
/// then creates the VM from the library below cmd.getJreDir(), calls the main class's
/// static main with the arguments and destroys the VM. 0 when main returned, -1 when the
/// start failed (after its message).
int runInProcessVm(JavaCommandLine &cmd);

} // namespace vantrel::launcher
