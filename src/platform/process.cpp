// Process code shared by every OS: exit values, the program search and the opening of a
// start (its checks and messages); process_posix.cpp / process_win32.cpp create the child.
#include "platform/process.h"

#include "hostText/ProgramSearch.h"
#include "platform/PlatformMessages.h"
#include "platform/interruptRegistry.h"
#include "platform/path.h"
#include "platform/processSpawn.h"

#include <cstdio>

namespace vantrel::platform {

int ChildStatus::exitValue() const {
  switch (state) {
  case State::Exited:
    return code;
  case State::Signaled:
    // Where only one integer exists, a death by signal S reads as 128 + S, as shells show it.
    return 128 + code;
  case State::Running:
  case State::Failed:
    break;
  }
  return -1;
}

std::string describeEnding(const ChildStatus &status) {
  switch (status.state) {
  case ChildStatus::State::Signaled: {
    const std::string name = detail::signalName(status.code);
    return msg::ENDED_BY_SIGNAL + std::to_string(status.code) + (name.empty() ? "" : " (" + name + ")");
  }
  case ChildStatus::State::Exited:
    if (endedByCrash(status)) {
      // A Windows status reads as the unsigned NTSTATUS it is, as the system's tools show it.
      char hex[16];
      std::snprintf(hex, sizeof hex, "%08X", static_cast<unsigned>(status.code));
      return msg::ENDED_WITH_STATUS + std::string(hex);
    }
    return msg::EXITED_WITH_STATUS + std::to_string(status.code);
  case ChildStatus::State::Failed:
    return msg::ENDING_UNKNOWN + std::to_string(status.code);
  case ChildStatus::State::Running:
    break;
  }
  return msg::STILL_RUNNING;
}

std::string detail::cannotRunProgram(const std::string &name, const std::string &reason) {
  return msg::CANNOT_RUN_PROGRAM + name + msg::CANNOT_RUN_PROGRAM_REASON + reason;
}

std::string programFileName(const std::string &name) {
  return hostText::programFileName(name, hostSystem());
}

namespace {

/// The program file a path stands for, when this OS would start it. On Windows only ".exe"
/// files count: Windows never runs a program found by name without that suffix, so such a
/// file earlier on PATH must not hide the real program.
std::optional<std::string> programFile(const std::string &path) {
  std::string file = programFileName(path);
  if (detail::isProgramFile(file)) return file;
  return std::nullopt;
}

} // namespace

std::optional<std::string> findProgram(const std::string &name) {
  if (name.empty()) return std::nullopt;
  // A name with a folder in it says where the program is, the current folder included.
  if (hostText::namesFolder(name, hostSystem())) return programFile(name).value_or(name);
  // Only absolute folders of PATH are searched: through an empty or relative entry any file
  // of that name in the current folder (a download, a planted tool) would run in place of
  // the real one.
  for (const std::string &candidate : hostText::programCandidates(name, detail::searchPath(), hostSystem()))
    if (auto found = programFile(candidate)) return found;
  return std::nullopt;
}

std::string skippedSearchNote(const std::string &name) {
  if (name.empty() || hostText::namesFolder(name, hostSystem())) return "";
  for (const std::string &entry : hostText::skippedSearchEntries(detail::searchPath(), hostSystem())) {
    if (!programFile(hostText::inSkippedEntry(entry, name, hostSystem()))) continue;
    return msg::SKIPPED_ENTRY + (entry.empty() ? std::string(msg::EMPTY_ENTRY) : "\"" + entry + "\"") +
           msg::SKIPPED_ENTRY_HOLDS;
  }
  return "";
}

std::unique_ptr<ChildProcess> ChildProcess::start(const std::vector<std::string> &command,
                                                  const std::optional<std::vector<std::string>> &environment,
                                                  std::string &error) {
  if (command.empty() || command[0].empty()) {
    error = msg::NO_PROGRAM_GIVEN;
    return nullptr;
  }
  const std::optional<std::string> program = findProgram(command[0]);
  if (!program) {
    error = detail::cannotRunProgram(command[0], detail::programNotFoundReason());
    return nullptr;
  }
  // Started and registered under the registry's lock: an interruption's clean-up either
  // finds the child or is already under way, and then nothing more is started.
  auto registryLock = detail::lockInterruptRegistry();
  std::unique_ptr<ChildProcess> child = spawn(*program, command, environment, error);
  if (child) detail::registerChild(child.get());
  return child;
}

} // namespace vantrel::platform
