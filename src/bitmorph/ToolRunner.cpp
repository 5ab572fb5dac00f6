// The converter polling loop shared by every flow.
#include "bitmorph/ToolRunner.h"

#include "platform/childText.h"
#include "platform/file.h"
#include "platform/interrupt.h"
#include "utilities/Launcher.h"
#include "utilities/Utilities.h"

namespace vantrel::bitmorph {

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
  // A start that fails is not reported here: the runner then reports "not running", no
  // output and exit value -1, and the flow finds the tool's result file missing.
  outcome.launched = launcher_->launch();
  platform::ChildTextDecoder decoder; // a tool built for the ANSI code page writes in it
  while (launcher_->running()) {
    const std::string text = decoder.decode(launcher_->read());
    if (echo && !text.empty()) {
      *echo << text;
      echo->flush();
    }
    utilities::Utilities::sleep(1);
  }
  // A tool that ended because the run is being interrupted has no results: the run goes
  // no further.
  platform::stopIfInterrupted(launcher_->childStatus());
  // Once running() is false every byte the tool wrote is already collected.
  outcome.tail = decoder.decode(launcher_->read()) + decoder.finish();
  outcome.exitValue = launcher_->exitValue();
  // A tool that finished its work completed the files it wrote (--save keeps them when the
  // run is interrupted later); one that failed or was stopped may have left them half done.
  if (outcome.launched && outcome.exitValue == 0) platform::markFilesCompleteOnInterrupt();
  return outcome;
}

const char *executableSuffix() {
  return BITMORPH_EXECUTABLE_SUFFIX;
}

} // namespace vantrel::bitmorph
