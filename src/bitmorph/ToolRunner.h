// Runs one external tool (the converter or the object-copy tool) to its end, echoing its
// standard output as it arrives.
#pragma once

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
  int exitValue = -1;    ///< its exit status; -1 when it never started
  std::string tail;      ///< output collected after the last poll, not yet printed
};

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
  /// output left when it has ended is returned in the outcome, unprinted. Errors of the
  /// process layer propagate.
  ToolOutcome run(std::ostream *echo);

private:
  std::vector<std::string> command_;
  std::unique_ptr<utilities::Launcher> launcher_;
};

/// The host's executable-file suffix (".exe" on Windows, empty elsewhere), fixed at build time.
const char *executableSuffix();

} // namespace vantrel::bitmorph
