// The launcher's one start of a program on POSIX (fork and exec), used by its OS layer for the
// runtime and the tool commands, and by the launcher tests for the programs they stop.
#pragma once

#include <signal.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace vantrel::launcher::platform {

/// How startProgram sets the child up between fork and exec.
struct ProgramStart {
  int standardOutput = -1;        ///< made the child's standard output (-1: inherited)
  int standardError = -1;         ///< made the child's standard error (-1: inherited)
  bool ownGroup = false;          ///< the child leads a process group of its own
  int parentDeathSignal = 0;      ///< Linux: sent to the child when the starting thread ends (0: none)
  const sigset_t *mask = nullptr; ///< the child's signal mask (nothing: the caller's)
};

/// Starts the program file program with words as its argv (words[0] first) in this process's
/// environment. The child starts with the default action for every signal this process
/// catches (signals it ignores stay ignored). Returns 0 and sets pid, or returns the errno of
/// the failed start: one of the fork or of the exec (a program that cannot be run is a
/// failed start, never a child's exit status).
int startProgram(const std::string &program, const std::vector<std::string> &words, const ProgramStart &how,
                 pid_t &pid);

} // namespace vantrel::launcher::platform
