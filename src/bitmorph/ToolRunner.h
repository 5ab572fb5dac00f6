// Runs one external tool (the converter or the object-copy tool) to its end, echoing its
// standard output as it arrives, and tells how it ended.
#pragma once

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vantrel::utilities {
class Launcher;
}

namespace vantrel::bitmorph {

/// What one tool run left behind.
struct ToolOutcome {
  bool launched = false; ///< the program could be started
  bool crashed = false;  ///< it ended by a crash (platform::endedByCrash)
  /// It crashed or exited with a status other than 0: a failed step, whose files are never
  /// read. A tool reports success by its status 0 and nothing else.
  bool failed = false;
  int exitValue = -1;    ///< its exit status; -1 when it never started
  std::string tail;      ///< output collected after the last poll, not yet printed
  std::string errorText; ///< everything it wrote to standard error
  /// Why the step failed, naming the tool, how it ended and the last line it wrote to
  /// standard error ("prexa_cpf: not found on the search path", "prexa_cpf exited with
  /// status 1: Error: ..."); "" when it started and succeeded.
  std::string cause;
};

/// Where a flow logs what a tool run tells: its severe and its info lines.
struct ToolLog {
  std::function<void(const std::string &)> severe;
  std::function<void(const std::string &)> info;
};

/// Logs the cause of a failed run as a severe line, and with debug each line of the tool's
/// standard error (severe when the run failed, info otherwise).
void logToolOutcome(const ToolOutcome &outcome, const std::string &tool, bool debug, const ToolLog &log);

/// One tool run: created with its argument list (the runner is created at once, so a flow
/// can build all its runs before starting the first), run once.
class ToolRunner {
public:
  explicit ToolRunner(std::vector<std::string> command);
  ~ToolRunner();
  ToolRunner(ToolRunner &&) noexcept;
  ToolRunner &operator=(ToolRunner &&) noexcept;

  /// The argument list, program first.
  const std::vector<std::string> &command() const { return command_; }

  /// Prints each argument followed by one blank, then the platform's line end.
  void printCommand(std::ostream &out) const;

  /// Starts the tool and polls it every millisecond while it runs; the output collected
  /// so far goes to echo as UTF-8 (platform::ChildTextDecoder) when echo is given. The
  /// output left when it has ended is returned in the outcome, unprinted. The tool's
  /// standard input is closed at once: it never waits for an answer. A run that is
  /// being stopped goes no further than the tool's end (the clean-up ends the process).
  /// Errors of the process layer propagate.
  ToolOutcome run(std::ostream *echo);

private:
  std::vector<std::string> command_;
  std::unique_ptr<utilities::Launcher> launcher_;
};

} // namespace vantrel::bitmorph
