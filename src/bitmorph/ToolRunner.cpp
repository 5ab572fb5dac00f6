// The converter polling loop shared by every flow, and what a run's end tells.
#include "bitmorph/ToolRunner.h"

#include "bitmorph/Messages.h"
#include "platform/childText.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "platform/process.h"
#include "utilities/Launcher.h"
#include "utilities/Utilities.h"

#include <sstream>

namespace vantrel::bitmorph {

namespace {

/// Passes the tool's output on as it arrives.
void echoText(std::ostream *echo, const std::string &text) {
  if (!echo || text.empty()) return;
  *echo << text;
  echo->flush();
}

/// Why a tool could not be started: not found, or the OS's reason.
std::string launchFailure(const std::string &tool, const std::string &launchError) {
  if (!platform::findProgram(tool))
    return tool + messages::TOOL_NOT_FOUND + platform::skippedSearchNote(tool);
  return tool + messages::TOOL_SEPARATOR + launchError;
}

/// The last line that is not blank in text ("" when there is none), without its line end.
std::string lastLine(const std::string &text) {
  std::size_t end = text.find_last_not_of(" \t\r\n");
  if (end == std::string::npos) return "";
  const std::size_t start = text.find_last_of("\r\n", end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end + 1 - (start == std::string::npos ? 0 : start + 1));
}

} // namespace

ToolRunner::ToolRunner(std::vector<std::string> command)
    : command_(std::move(command)), launcher_(utilities::Launcher::getInstance(command_)) {}

ToolRunner::~ToolRunner() = default;
ToolRunner::ToolRunner(ToolRunner &&) noexcept = default;
ToolRunner &ToolRunner::operator=(ToolRunner &&) noexcept = default;

void ToolRunner::printCommand(std::ostream &out) const {
  for (const auto &arg : command_)
    out << arg << ' ';
  out << platform::lineSeparator();
  out.flush();
}

ToolOutcome ToolRunner::run(std::ostream *echo) {
  ToolOutcome outcome;
  outcome.launched = launcher_->launch();
  if (!outcome.launched) {
    // The flow finds the tool's result file missing; the cause is told first.
    outcome.cause = launchFailure(command_.front(), launcher_->launchError());
    return outcome;
  }
  // A tool that asks a question ("Continue? [y/N]") reads the end of its input and goes
  // on, or fails, rather than waiting for an answer nobody gives.
  launcher_->closeInput();
  platform::ChildTextDecoder decoder; // a tool built for the ANSI code page writes in it
  while (launcher_->running()) {
    echoText(echo, decoder.decode(launcher_->read()));
    utilities::Utilities::sleep(1);
  }
  // A run being stopped noted the stop before it passed it on to the tool: it goes no
  // further than here, whatever the tool left.
  platform::stopIfInterrupted();
  // Once running() is false every byte the tool wrote is already collected.
  outcome.tail = decoder.decode(launcher_->read()) + decoder.finish();
  platform::ChildTextDecoder errorDecoder;
  outcome.errorText = errorDecoder.decode(launcher_->readStdErr()) + errorDecoder.finish();
  const platform::ChildStatus status = launcher_->childStatus();
  outcome.exitValue = status.exitValue();
  // A tool that crashed (a Windows console interruption included) may have left half a
  // file, and one that exited with an error status tells that what it wrote is no result
  // (a wrapper script whose converter crashed exits with 139): either way the step failed.
  outcome.crashed = platform::endedByCrash(status);
  outcome.failed = outcome.crashed || outcome.exitValue != 0;
  if (outcome.failed) {
    // The tool's own last words usually say why; they come first, without --debug.
    outcome.cause = command_.front() + " " + platform::describeEnding(status);
    const std::string why = lastLine(outcome.errorText);
    if (!why.empty()) outcome.cause += messages::TOOL_SEPARATOR + why;
  }
  return outcome;
}

void logToolOutcome(const ToolOutcome &outcome, const std::string &tool, bool debug, const ToolLog &log) {
  const bool failed = !outcome.cause.empty();
  if (failed) log.severe(outcome.cause);
  if (!debug) return;
  std::istringstream lines(outcome.errorText);
  for (std::string line; std::getline(lines, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string text = tool + messages::TOOL_STANDARD_ERROR + line;
    if (failed) {
      log.severe(text);
    } else {
      log.info(text);
    }
  }
}

} // namespace vantrel::bitmorph
